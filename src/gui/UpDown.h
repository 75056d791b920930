#pragma once
// The small up-down control that stands at the right of a number box: two
// arrow buttons, one above the other, that repeat while held. It only
// reports the steps; the window model writes the new number into the box.

#include <QWidget>

class QToolButton;

namespace vb::gui {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    /// +1 for the up arrow, -1 for the down arrow.
    void stepped(int direction);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace vb::gui
