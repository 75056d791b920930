#include "gui/TabStrip.h"

#include <QApplication>
#include <QFrame>
#include <QSignalBlocker>
#include <QTabBar>

namespace vb::gui {

TabStrip::TabStrip(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)), m_panel(new QFrame(this)) {
    m_bar->setExpanding(false);
    m_bar->setDrawBase(false);
    m_bar->setUsesScrollButtons(false);
    m_panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_panel->lower();
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        showPages();
        emit tabChosen(index);
    });
}

void TabStrip::setTabs(const std::vector<QString>& captions) {
    const QSignalBlocker blocker(m_bar);
    const int current = m_bar->currentIndex();
    for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
        if (i < m_bar->count())
            m_bar->setTabText(i, captions[static_cast<std::size_t>(i)]);
        else
            m_bar->addTab(captions[static_cast<std::size_t>(i)]);
    }
    while (m_bar->count() > static_cast<int>(captions.size())) m_bar->removeTab(m_bar->count() - 1);
    if (current >= 0 && current < m_bar->count()) m_bar->setCurrentIndex(current);
    showPages();
}

void TabStrip::showTab(int index) {
    {
        const QSignalBlocker blocker(m_bar);
        m_bar->setCurrentIndex(index);
    }
    showPages();
}

void TabStrip::addPage(QWidget* page, int index) {
    m_pages.emplace_back(page, index);
    m_captionHeight = page->geometry().top();
    resizeEvent(nullptr);
    showPages();
}

void TabStrip::showPages() {
    const QWidget* focus = QApplication::focusWidget();
    for (auto& [page, index] : m_pages) {
        const bool shown = index == m_bar->currentIndex();
        // When the page that holds the focus goes, the tabs take the focus.
        // Left to Qt it would move on to the next control of the whole
        // window, and a text box reached that way has its text selected,
        // ready to be replaced by the next key.
        if (!shown && page->isVisible() && page->isAncestorOf(focus)) m_bar->setFocus(Qt::OtherFocusReason);
        page->setVisible(shown);
    }
}

void TabStrip::resizeEvent(QResizeEvent*) {
    m_bar->setGeometry(0, 0, width(), m_captionHeight);
    m_panel->setGeometry(0, m_captionHeight - 1, width(), height() - m_captionHeight + 1);
}

}  // namespace vb::gui
