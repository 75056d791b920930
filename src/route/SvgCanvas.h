#pragma once
// SvgCanvas: a Canvas that writes an SVG drawing in twips of the window's
// client area. Lines that join end to start in one colour and width become
// one polyline, so a profile of thousands of rows stays a few elements. It
// also writes the window's labels (text) and outlines, which the Canvas port
// does not carry.

#include <string>
#include <string_view>
#include <vector>

#include "route/Canvas.h"

namespace vb {

/// The window's face colour, with which clearRect fills.
inline constexpr Rgb kFaceColour{240, 240, 240};

class SvgCanvas : public Canvas {
public:
    /// A drawing that shows the rectangle (left, top, width, height) of the client area.
    SvgCanvas(int left, int top, int width, int height);

    void clearRect(int left, int top, int width, int height) override;
    void setPenColour(Rgb colour) override;
    void setPenWidth(int width) override;
    void point(double x, double y) override;
    void line(double x1, double y1, double x2, double y2) override;

    /// Black text (UTF-8) in the window's font with its top left corner at (x, y).
    void text(double x, double y, std::string_view utf8);
    /// A black rectangle outline one pixel wide.
    void outline(int left, int top, int width, int height);

    /// The whole drawing as an SVG document.
    std::string svg() const;

private:
    void endPolyline();
    std::string polylineElement() const;

    int m_left, m_top, m_width, m_height;
    Rgb m_pen{};
    int m_penWidth = 1;
    std::string m_body;
    // The polyline being extended: its points as "x,y" texts, colour and width.
    std::vector<std::string> m_points;
    double m_endX = 0, m_endY = 0;
    Rgb m_polyColour{};
    int m_polyWidth = 0;
};

}  // namespace vb
