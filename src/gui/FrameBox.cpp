#include "gui/FrameBox.h"

#include <QPainter>
#include <QStyle>

namespace vb::gui {

void FrameBox::setCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    update();
}

void FrameBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineTop = metrics.height() / 2;
    // Etched: a dark line with a light one just inside it.
    const QRect outer(0, lineTop, width() - 1, height() - lineTop - 1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(outer.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(outer.adjusted(1, 1, 0, 0));
    if (m_caption.isEmpty()) return;
    const int textLeft = 6;
    const QRect textRect(textLeft, 0, metrics.horizontalAdvance(m_caption) + 4, metrics.height());
    painter.fillRect(textRect, palette().color(QPalette::Window));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignCenter, m_caption);
}

}  // namespace vb::gui
