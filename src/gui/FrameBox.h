#pragma once
// A captioned frame as the layout expects it: an etched rectangle whose top
// line runs through the middle of the caption, so controls placed a line
// below the frame's top stand inside it.

#include <QString>
#include <QWidget>

namespace vb::gui {

class FrameBox : public QWidget {
    Q_OBJECT
public:
    explicit FrameBox(QWidget* parent = nullptr) : QWidget(parent) {}

    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
};

}  // namespace vb::gui
