#include "gui/IconLabel.h"

#include <QPainter>
#include <algorithm>

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
    const QIcon icon = window()->windowIcon();
    // The largest size the icon was drawn at that fits a line of text, so
    // that it is shown unscaled.
    const int line = std::min(metrics.height(), height());
    int side = 0;
    for (const QSize& size : icon.availableSizes())
        if (size.height() <= line) side = std::max(side, size.height());
    if (side == 0) side = line;
    const int gap = metrics.averageCharWidth() / 2;
    const int textWidth = metrics.horizontalAdvance(text());
    const int left = std::max(0, (width() - side - gap - textWidth) / 2);
    icon.paint(&painter, QRect(left, (height() - side) / 2, side, side));
    painter.drawText(QRect(left + side + gap, 0, width() - left - side - gap, height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

}  // namespace vb::gui
