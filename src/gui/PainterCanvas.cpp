#include "gui/PainterCanvas.h"

#include <QPen>
#include <algorithm>

#include "gui/Twips.h"

namespace vb::gui {

PainterCanvas::PainterCanvas(QPainter& painter, int originLeft, int originTop, QColor face)
    : m_painter(painter), m_originLeft(originLeft), m_originTop(originTop), m_face(face) {
    applyPen();
}

QPointF PainterCanvas::toPixels(double x, double y) const {
    return {(x - m_originLeft) / kTwipsPerPixel, (y - m_originTop) / kTwipsPerPixel};
}

void PainterCanvas::applyPen() {
    QPen pen(m_colour, m_penPixels);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    m_painter.setPen(pen);
}

void PainterCanvas::clearRect(int left, int top, int width, int height) {
    m_painter.fillRect(pxRect({left - m_originLeft, top - m_originTop, width, height}), m_face);
}

void PainterCanvas::setPenColour(Rgb colour) {
    m_colour = QColor(colour.r, colour.g, colour.b);
    applyPen();
}

void PainterCanvas::setPenWidth(int width) {
    m_penPixels = std::max(kMinPenPixels, width / kTwipsPerPixel);
    applyPen();
}

void PainterCanvas::point(double x, double y) { m_painter.drawPoint(toPixels(x, y)); }

void PainterCanvas::line(double x1, double y1, double x2, double y2) {
    m_painter.drawLine(toPixels(x1, y1), toPixels(x2, y2));
}

}  // namespace vb::gui
