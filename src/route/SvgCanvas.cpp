#include "route/SvgCanvas.h"

#include <cmath>
#include <cstdio>

#include "base/Text.h"

namespace vb {

namespace {

// Twips to a tenth, in the shortest form; a value that is not finite draws at 0.
std::string num(double value) {
    if (!std::isfinite(value)) return "0";
    return shortestDouble(roundHalfEven(value * 10) / 10 + 0.0);
}

std::string colourText(Rgb c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
    return buffer;
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string rectAttributes(int left, int top, int width, int height) {
    return "x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(top) + "\" width=\"" + std::to_string(width) +
           "\" height=\"" + std::to_string(height) + "\"";
}

// Twips of the window's 8-point font.
constexpr int kFontTwips = 160;

}  // namespace

SvgCanvas::SvgCanvas(int left, int top, int width, int height)
    : m_left(left), m_top(top), m_width(width), m_height(height) {}

void SvgCanvas::clearRect(int left, int top, int width, int height) {
    endPolyline();
    m_body += "<rect " + rectAttributes(left, top, width, height) + " fill=\"" + colourText(kFaceColour) + "\"/>\n";
}

void SvgCanvas::setPenColour(Rgb colour) { m_pen = colour; }

void SvgCanvas::setPenWidth(int width) { m_penWidth = width; }

void SvgCanvas::point(double x, double y) {
    endPolyline();
    m_body += "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(m_penWidth * kTwipsPerPixel / 2.0) + "\" fill=\"" +
              colourText(m_pen) + "\"/>\n";
}

void SvgCanvas::line(double x1, double y1, double x2, double y2) {
    const bool joins = !m_points.empty() && m_polyColour == m_pen && m_polyWidth == m_penWidth && m_endX == x1 &&
                       m_endY == y1;
    if (!joins) {
        endPolyline();
        m_polyColour = m_pen;
        m_polyWidth = m_penWidth;
        m_points.push_back(num(x1) + "," + num(y1));
    }
    m_points.push_back(num(x2) + "," + num(y2));
    m_endX = x2;
    m_endY = y2;
}

void SvgCanvas::text(double x, double y, std::string_view utf8) {
    endPolyline();
    m_body += "<text x=\"" + num(x) + "\" y=\"" + num(y + kFontTwips) + "\" font-family=\"sans-serif\" font-size=\"" +
              std::to_string(kFontTwips) + "\">" + escaped(utf8) + "</text>\n";
}

void SvgCanvas::outline(int left, int top, int width, int height) {
    endPolyline();
    m_body += "<rect " + rectAttributes(left, top, width, height) + " fill=\"none\" stroke=\"#000000\" stroke-width=\"" +
              std::to_string(kTwipsPerPixel) + "\"/>\n";
}

std::string SvgCanvas::polylineElement() const {
    if (m_points.empty()) return {};
    std::string points;
    for (const auto& p : m_points) {
        if (!points.empty()) points += ' ';
        points += p;
    }
    return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + colourText(m_polyColour) +
           "\" stroke-width=\"" + std::to_string(m_polyWidth * kTwipsPerPixel) +
           "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n";
}

void SvgCanvas::endPolyline() {
    m_body += polylineElement();
    m_points.clear();
}

std::string SvgCanvas::svg() const {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" +
           std::to_string(m_left) + " " + std::to_string(m_top) + " " + std::to_string(m_width) + " " +
           std::to_string(m_height) + "\" width=\"" + num(m_width / double(kTwipsPerPixel)) + "\" height=\"" +
           num(m_height / double(kTwipsPerPixel)) + "\">\n" + m_body + polylineElement() + "</svg>\n";
}

}  // namespace vb
