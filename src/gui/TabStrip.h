#pragma once
// A tab strip laid out the way the window model places things: the strip is
// one rectangle with the tab captions along its top and the pages below them,
// each page at its own place in the strip (a page's geometry is set by its
// owner before it is added).

#include <QWidget>
#include <vector>

class QTabBar;
class QFrame;

namespace vb::gui {

class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    QTabBar* tabBar() const { return m_bar; }
    /// Sets the tab captions, keeping the current tab where it can.
    void setTabs(const std::vector<QString>& captions);
    /// Shows tab `index` and its page (no signal).
    void showTab(int index);
    /// Adds the page of tab `index`; the strip shows it while that tab is
    /// current. The tabs take the height above the page.
    void addPage(QWidget* page, int index);

signals:
    /// The rider chose another tab.
    void tabChosen(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPages();

    QTabBar* m_bar;
    QFrame* m_panel;
    int m_captionHeight = 24;
    std::vector<std::pair<QWidget*, int>> m_pages;
};

}  // namespace vb::gui
