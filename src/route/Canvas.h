#pragma once
// Canvas: the drawing port of the route view. The window's client area is
// drawn on in twips (1/1440 inch; 15 twips are one pixel at 96 dpi) with five
// primitives: clear a rectangle to
// the window's face colour, set the pen colour, set the pen width, set a
// point, draw a line. The desktop program paints them with its toolkit, the
// command line writes them as SVG, the tests record them.

#include <cstdint>
#include <vector>

namespace vb {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

/// Twips in one pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};

class Canvas {
public:
    virtual ~Canvas() = default;
    /// Fills the rectangle with the window's face colour.
    virtual void clearRect(int left, int top, int width, int height) = 0;
    /// Colour of the points and lines drawn from now on.
    virtual void setPenColour(Rgb colour) = 0;
    /// Width in pixels (not twips) of the points and lines drawn from now on.
    virtual void setPenWidth(int width) = 0;
    /// A single point at (x, y) in the pen's colour and width.
    virtual void point(double x, double y) = 0;
    /// A line from (x1, y1) to (x2, y2) in the pen's colour and width.
    virtual void line(double x1, double y1, double x2, double y2) = 0;
};

/// One recorded Canvas call. clearRect keeps left, top, width, height in
/// x1, y1, x2, y2; point keeps x1, y1; setPenWidth keeps `width`,
/// setPenColour `colour`. Unused fields stay 0.
struct CanvasOp {
    enum class Kind { clearRect, setPenColour, setPenWidth, point, line };
    Kind kind = Kind::clearRect;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb colour{};
    int width = 0;

    static CanvasOp clear(int left, int top, int width, int height) {
        return {Kind::clearRect, double(left), double(top), double(width), double(height), {}, 0};
    }
    static CanvasOp penColour(Rgb c) { return {Kind::setPenColour, 0, 0, 0, 0, c, 0}; }
    static CanvasOp penWidth(int w) { return {Kind::setPenWidth, 0, 0, 0, 0, {}, w}; }
    static CanvasOp dot(double x, double y) { return {Kind::point, x, y, 0, 0, {}, 0}; }
    static CanvasOp segment(double x1, double y1, double x2, double y2) {
        return {Kind::line, x1, y1, x2, y2, {}, 0};
    }
    bool operator==(const CanvasOp&) const = default;
};

/// A Canvas that keeps every call, in order, in `ops`.
class RecordingCanvas : public Canvas {
public:
    std::vector<CanvasOp> ops;

    void clearRect(int left, int top, int width, int height) override {
        ops.push_back(CanvasOp::clear(left, top, width, height));
    }
    void setPenColour(Rgb colour) override { ops.push_back(CanvasOp::penColour(colour)); }
    void setPenWidth(int width) override { ops.push_back(CanvasOp::penWidth(width)); }
    void point(double x, double y) override { ops.push_back(CanvasOp::dot(x, y)); }
    void line(double x1, double y1, double x2, double y2) override {
        ops.push_back(CanvasOp::segment(x1, y1, x2, y2));
    }
};

}  // namespace vb
