#pragma once
// A label that shows the window's icon before its text, the two centred
// together. The icon is as high as a line of the label's text.

#include <QIcon>
#include <QLabel>

namespace vb::gui {

/// The program's icon, at every size it was rendered in.
QIcon programIcon();

class IconLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vb::gui
