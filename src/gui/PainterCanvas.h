#pragma once
// The drawing port of the route view painted with QPainter. The route view
// draws in twips of the window's client area; the canvas moves them to the
// painted widget's own origin and scales them to pixels. Lines that follow on
// from each other in one pen are kept and painted as one polyline (a profile
// of 32,765 rows is one or three of them), which is what makes a large ride
// quick to draw with a wide pen.

#include <QColor>
#include <QList>
#include <QPainter>
#include <QPointF>

#include "route/Canvas.h"

namespace vb::gui {

class PainterCanvas : public Canvas {
public:
    /// Paints on `painter`, whose device's top-left corner stands at
    /// (`originLeft`, `originTop`) twips of the client area; `face` is the
    /// window's face colour that clearRect fills with.
    PainterCanvas(QPainter& painter, int originLeft, int originTop, QColor face);
    ~PainterCanvas() override;
    PainterCanvas(const PainterCanvas&) = delete;
    PainterCanvas& operator=(const PainterCanvas&) = delete;

    void clearRect(int left, int top, int width, int height) override;
    void setPenColour(Rgb colour) override;
    void setPenWidth(int width) override;
    void point(double x, double y) override;
    void line(double x1, double y1, double x2, double y2) override;

    /// Narrowest pen on screen; the drawing port gives pen widths in pixels.
    static constexpr double kMinPenPixels = 1.0;

private:
    QPointF toPixels(double x, double y) const;
    void applyPen();
    /// Paints the lines kept so far.
    void flush();

    QPainter& m_painter;
    int m_originLeft;
    int m_originTop;
    QColor m_face;
    QColor m_colour = Qt::black;
    double m_penPixels = kMinPenPixels;
    QList<QPointF> m_polyline;
};

}  // namespace vb::gui
