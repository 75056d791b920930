#include "gui/PainterCanvas.h"

#include <QPen>
#include <algorithm>

#include "gui/Twips.h"

namespace vb::gui {

PainterCanvas::PainterCanvas(QPainter& painter, int originLeft, int originTop, QColor face)
    : m_painter(painter), m_originLeft(originLeft), m_originTop(originTop), m_face(face) {
    applyPen();
}

PainterCanvas::~PainterCanvas() { flush(); }

QPointF PainterCanvas::toPixels(double x, double y) const {
    return {(x - m_originLeft) / kTwipsPerPixel, (y - m_originTop) / kTwipsPerPixel};
}

void PainterCanvas::flush() {
    if (m_polyline.size() > 1)
        m_painter.drawPolyline(m_polyline.constData(), static_cast<int>(m_polyline.size()));
    m_polyline.clear();
}

void PainterCanvas::applyPen() {
    flush();
    QPen pen(m_colour, m_penPixels);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    m_painter.setPen(pen);
}

void PainterCanvas::clearRect(int left, int top, int width, int height) {
    flush();
    m_painter.fillRect(pxRect({left - m_originLeft, top - m_originTop, width, height}), m_face);
}

void PainterCanvas::setPenColour(Rgb colour) {
    const QColor next(colour.r, colour.g, colour.b);
    if (next == m_colour) return;
    m_colour = next;
    applyPen();
}

void PainterCanvas::setPenWidth(int width) {
    const double pixels = std::max(kMinPenPixels, static_cast<double>(width));
    if (pixels == m_penPixels) return;
    m_penPixels = pixels;
    applyPen();
}

void PainterCanvas::point(double x, double y) {
    flush();
    m_painter.drawPoint(toPixels(x, y));
}

void PainterCanvas::line(double x1, double y1, double x2, double y2) {
    const QPointF from = toPixels(x1, y1);
    if (m_polyline.isEmpty() || m_polyline.back() != from) {
        flush();
        m_polyline.push_back(from);
    }
    m_polyline.push_back(toPixels(x2, y2));
}

}  // namespace vb::gui
