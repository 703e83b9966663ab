#pragma once
// DeviceContext: the small set of GDI-style device-context calls that the
// raster ports, the screen canvas and the metafile writer draw through.
// Integer device coordinates, y down, as GDI has them. Backends: a raster one
// over a QImage (platform/qt) and a Windows metafile recorder
// (MetafileDeviceContext).
//
// Pens, brushes and the other attributes are plain values selected into the
// context (the recorder turns each selection into its object records); the
// base class keeps them and the SaveDC stack so every backend agrees on them.

#include "platform/GlyphMask.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace zavora {

// Device coordinates stay within what the rasterisers handle: every value
// bound for a device (a page render, the screen, a repaint rectangle) is
// brought inside this range, not a number as 0, before it is rounded.
constexpr double kDeviceCoordinateLimit = double(1 << 27);
inline double clampDeviceCoordinate(double v)
{
    return std::isnan(v) ? 0 : std::clamp(v, -kDeviceCoordinateLimit, kDeviceCoordinateLimit);
}
// To the nearest device pixel, halves away from zero.
inline int32_t roundToDevice(double v)
{
    return int32_t(std::lround(clampDeviceCoordinate(v)));
}

// 0x00BBGGRR: red in the low byte, as a GDI colour reference.
using ColorRef = uint32_t;
constexpr ColorRef makeColorRef(int red, int green, int blue)
{
    return ColorRef(red & 0xff) | ColorRef(green & 0xff) << 8 | ColorRef(blue & 0xff) << 16;
}
constexpr int redOf(ColorRef c)
{
    return int(c & 0xff);
}
constexpr int greenOf(ColorRef c)
{
    return int((c >> 8) & 0xff);
}
constexpr int blueOf(ColorRef c)
{
    return int((c >> 16) & 0xff);
}
constexpr ColorRef kBlackRef = 0x000000;
constexpr ColorRef kWhiteRef = 0xffffff;

struct DcPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const DcPoint&) const = default;
};

// GDI pen styles (the PS_ values). Styled pens are always cosmetic, one pixel wide.
enum class PenStyle : int32_t { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Null = 5 };
enum class PenCap : int32_t { Round = 0, Square = 1, Flat = 2 };
enum class PenJoin : int32_t { Round = 0, Bevel = 1, Miter = 2 };

// The on/off run lengths in pixels of a styled cosmetic pen; empty for the others.
std::span<const int> penDashPattern(PenStyle style);

struct DcPen {
    PenStyle style = PenStyle::Solid;
    int32_t width = 1; // pixels; widths up to 1 draw one pixel wide
    ColorRef color = kBlackRef;
    // false: a CreatePen pen (round caps and joins when wider than 1);
    // true: an ExtCreatePen geometric pen with the cap and join below.
    bool geometric = false;
    PenCap cap = PenCap::Round;
    PenJoin join = PenJoin::Round;
    bool operator==(const DcPen&) const = default;

    static DcPen null() { return { PenStyle::Null, 0, kBlackRef }; }
    static DcPen solid(ColorRef color, int32_t width) { return { PenStyle::Solid, width, color }; }
    // A one-pixel styled pen (Dash, Dot, DashDot, DashDotDot or Solid).
    static DcPen cosmetic(PenStyle style, ColorRef color) { return { style, 1, color }; }
    // Geometric solid pen with flat ends and mitre joins (the path pen).
    static DcPen geometricFlat(ColorRef color, int32_t width)
    {
        return { PenStyle::Solid, width, color, true, PenCap::Flat, PenJoin::Miter };
    }
    bool isNull() const { return style == PenStyle::Null; }
};

// 8 x 8 monochrome pattern, top row first, bit 7 the leftmost pixel; a set bit
// is ink, painted in the context's text colour, a clear bit in its background colour.
using PatternBits = std::array<uint8_t, 8>;

enum class BrushStyle : int32_t { Solid = 0, Null = 1, Pattern = 3 };

struct DcBrush {
    BrushStyle style = BrushStyle::Solid;
    ColorRef color = kWhiteRef; // solid brushes
    PatternBits pattern {}; // pattern brushes
    bool operator==(const DcBrush&) const = default;

    static DcBrush null() { return { BrushStyle::Null, kWhiteRef, {} }; }
    static DcBrush solid(ColorRef color) { return { BrushStyle::Solid, color, {} }; }
    static DcBrush patterned(const PatternBits& bits) { return { BrushStyle::Pattern, kWhiteRef, bits }; }
    bool isNull() const { return style == BrushStyle::Null; }
};

// The binary raster modes in use (GDI's R2_ values).
enum class Rop2 : int32_t { Not = 6, XorPen = 7, CopyPen = 13 };
enum class PolyFillMode : int32_t { Alternate = 1, Winding = 2 };
enum class BkMode : int32_t { Transparent = 1, Opaque = 2 };

// Ternary raster operations of BitBlt and PatBlt (GDI's codes).
enum class RasterOp : uint32_t {
    SrcCopy = 0x00CC0020,
    PatCopy = 0x00F00021,
    DstInvert = 0x00550009,
    Blackness = 0x00000042,
    Whiteness = 0x00FF0062,
};

// 24-bit pixels, three bytes red, green, blue; `stride` bytes from one row to
// the next, top row first.
struct RgbImageView {
    const uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    bool isValid() const { return pixels && width > 0 && height > 0 && stride >= width * 3; }
};

// Everything SaveDC keeps.
struct DcState {
    DcPen pen;
    DcBrush brush;
    ColorRef textColor = kBlackRef;
    ColorRef bkColor = kWhiteRef;
    BkMode bkMode = BkMode::Opaque;
    Rop2 rop2 = Rop2::CopyPen;
    PolyFillMode fillMode = PolyFillMode::Alternate;
    DcPoint position;
};

class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    // --- attributes: each setter returns the previous value ---------------
    virtual DcPen selectPen(const DcPen& pen);
    virtual DcBrush selectBrush(const DcBrush& brush);
    virtual ColorRef setTextColor(ColorRef color);
    virtual ColorRef setBkColor(ColorRef color);
    virtual BkMode setBkMode(BkMode mode);
    virtual Rop2 setRop2(Rop2 mode);
    virtual PolyFillMode setPolyFillMode(PolyFillMode mode);
    const DcState& state() const { return m_state; }

    // Smoothed (antialiased) edges for what is drawn from now on, where the
    // backend has them; returns the setting before. Inverted drawing is never
    // smoothed. Backends without smoothing ignore it and return false.
    virtual bool setSmoothing(bool on)
    {
        (void)on;
        return false;
    }
    virtual bool smoothing() const { return false; }

    // SaveDC / RestoreDC(-1): attributes and current position.
    virtual void saveDC();
    // False (and nothing changes) when nothing was saved.
    virtual bool restoreDC();

    // --- figures; inside a path bracket they add to the path instead --------
    virtual void moveTo(DcPoint point) = 0;
    // Draws from the current position up to, not including, the point.
    virtual void lineTo(DcPoint point) = 0;
    virtual void polyline(std::span<const DcPoint> points) = 0;
    // moveTo and lineTo in fractional pixels, for the edges a smoothing
    // device draws: it keeps the fractions, so flattened curves show no
    // facets; the others round to whole pixels.
    virtual void moveToExact(double x, double y) { moveTo({ roundToDevice(x), roundToDevice(y) }); }
    virtual void lineToExact(double x, double y) { lineTo({ roundToDevice(x), roundToDevice(y) }); }
    // Fills with the brush under the fill mode, then outlines with the pen.
    virtual void polygon(std::span<const DcPoint> points) = 0;
    // counts[i] points of `points` per polygon; all filled as one area.
    virtual void polyPolygon(std::span<const DcPoint> points, std::span<const int32_t> counts) = 0;
    virtual void polyPolyline(std::span<const DcPoint> points, std::span<const int32_t> counts) = 0;
    // Fills polygons given in fractional pixels (x, y pairs) with the brush,
    // without an outline. A smoothing device keeps the fractions, so small
    // glyphs stay legible; the others round to whole pixels, as polyPolygon.
    virtual void fillPolygons(std::span<const double> xy, std::span<const int32_t> counts);

    // Paints a glyph's coverage in the text colour under the raster mode:
    // copying blends gray coverage over what lies beneath, NOT and XOR act
    // on the pixels at least half covered (drawn twice, they vanish). The
    // pen's device pixel is `origin`. False when this context cannot (it
    // keeps no pixels, or a path bracket is open): the caller then fills the
    // glyph's outline instead.
    virtual bool paintGlyphMask(const GlyphMask& mask, DcPoint origin)
    {
        (void)mask, (void)origin;
        return false;
    }

    // --- the path bracket ----------------------------------------------------
    // Starts a new path (discarding an unfinished one).
    virtual void beginPath() = 0;
    // Cubic segments from the current position: three points each.
    virtual void polyBezierTo(std::span<const DcPoint> points) = 0;
    virtual void closeFigure() = 0;
    virtual void endPath() = 0;
    virtual void abortPath() = 0;
    // Each consumes the path ended by endPath; without one they do nothing.
    // Filling closes open figures; StrokeAndFillPath strokes them closed too.
    virtual void fillPath() = 0;
    virtual void strokePath() = 0;
    virtual void strokeAndFillPath() = 0;

    // --- pixels -------------------------------------------------------------
    // Sets one pixel whatever the raster mode.
    virtual void setPixel(DcPoint point, ColorRef color) = 0;
    // PatCopy, DstInvert, Blackness or Whiteness over the rectangle;
    // false for any other operation.
    virtual bool patBlt(int32_t x, int32_t y, int32_t width, int32_t height, RasterOp op) = 0;
    // SrcCopy from `source` (any context whose pixels can be read); false for
    // any other operation.
    virtual bool bitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const DeviceContext& source,
        int32_t sourceX, int32_t sourceY, RasterOp op)
        = 0;
    // Copies the source rectangle of `image` onto the destination rectangle,
    // stretched; a negative destination extent mirrors the image on that axis.
    virtual bool stretchDIBits(int32_t x, int32_t y, int32_t width, int32_t height, const RgbImageView& image,
        int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight)
        = 0;
    // Maps the whole image onto the parallelogram whose top-left, top-right and
    // bottom-left corners are given (rotated and skewed images). False when the
    // backend cannot, and the caller falls back to stretchDIBits.
    virtual bool plgBlt(const RgbImageView& image, DcPoint topLeft, DcPoint topRight, DcPoint bottomLeft)
    {
        (void)image, (void)topLeft, (void)topRight, (void)bottomLeft;
        return false;
    }

    // The pixels of a rectangle as 0x00RRGGBB, row by row; false when this
    // context keeps no pixels (a recorder) or the rectangle leaves it.
    virtual bool readPixels(
        int32_t x, int32_t y, int32_t width, int32_t height, std::vector<uint32_t>& out) const
    {
        (void)x, (void)y, (void)width, (void)height, (void)out;
        return false;
    }

protected:
    DcState m_state;

private:
    std::vector<DcState> m_saved;
};

} // namespace zavora
