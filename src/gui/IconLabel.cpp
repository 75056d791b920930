#include "gui/IconLabel.h"

#include <QPainter>

namespace vb::gui {

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/velobridge.png").arg(size), QSize(size, size));
    return icon;
}

void IconLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int side = std::min(metrics.height(), height());
    const int gap = metrics.averageCharWidth() / 2;
    const int textWidth = metrics.horizontalAdvance(text());
    const int left = std::max(0, (width() - side - gap - textWidth) / 2);
    window()->windowIcon().paint(&painter, QRect(left, (height() - side) / 2, side, side));
    painter.drawText(QRect(left + side + gap, 0, width() - left - side - gap, height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

}  // namespace vb::gui
