#pragma once
// RasterDeviceContext: the device context over a QImage in Format_RGB32 (the
// screen buffers, bitmap export). Drawing goes through QPainter with
// antialiasing off, so every call is pixel-exact and repeatable; the raster
// modes are real bitwise operations on the RGB bits (XOR, NOT), and BitBlt,
// PatBlt and SetPixel write the pixels directly.
//
// Filling follows GDI's convention: a polygon covers the pixels whose top-left
// corner lies inside it, so its right and bottom edges stay unfilled, and a
// line leaves out its last pixel. Aliased fills of straight-edged figures,
// wide solid lines (flat and mitred, or round all over) and copied
// one-pixel solid lines go through our own scan converter straight into the
// pixels; smoothed drawing, styled pens, inverted one-pixel lines and Bezier
// curves go through QPainter. Known differences from GDI: the interior pixels
// of slanted edges may differ by one where the two scan conversions disagree,
// and Bezier curves are flattened by QPainter rather than by GDI's routine.

#include "platform/DeviceContext.h"
#include "platform/ScanConverter.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <memory>

namespace zavora {

class RasterDeviceContext : public DeviceContext {
public:
    // A white buffer of the given size (an empty one when the size is not positive).
    RasterDeviceContext(int32_t width, int32_t height);
    // Draws into a copy of `image`, converted to RGB32 when needed.
    explicit RasterDeviceContext(const QImage& image);
    ~RasterDeviceContext() override;
    RasterDeviceContext(const RasterDeviceContext&) = delete;
    RasterDeviceContext& operator=(const RasterDeviceContext&) = delete;

    int32_t width() const { return m_image.width(); }
    int32_t height() const { return m_image.height(); }
    bool isValid() const { return !m_image.isNull(); }
    // The pixels drawn so far (finishes any pending painting).
    const QImage& image();
    // 0x00RRGGBB at (x, y); 0 outside the buffer.
    uint32_t pixel(int32_t x, int32_t y) const;

    // Antialiased drawing for the screen's quality view. Inverted (NOT, XOR)
    // drawing is never antialiased, so a second drawing still erases the first.
    void setAntialiasing(bool on) { m_antialias = on; }
    bool antialiasing() const { return m_antialias; }
    bool setSmoothing(bool on) override
    {
        const bool was = m_antialias;
        m_antialias = on;
        return was;
    }
    bool smoothing() const override { return m_antialias; }

    void moveTo(DcPoint point) override;
    void lineTo(DcPoint point) override;
    void moveToExact(double x, double y) override;
    void lineToExact(double x, double y) override;
    void polyline(std::span<const DcPoint> points) override;
    void polygon(std::span<const DcPoint> points) override;
    void polyPolygon(std::span<const DcPoint> points, std::span<const int32_t> counts) override;
    void polyPolyline(std::span<const DcPoint> points, std::span<const int32_t> counts) override;
    void fillPolygons(std::span<const double> xy, std::span<const int32_t> counts) override;
    bool paintGlyphMask(const GlyphMask& mask, DcPoint origin) override;

    void beginPath() override;
    void polyBezierTo(std::span<const DcPoint> points) override;
    void closeFigure() override;
    void endPath() override;
    void abortPath() override;
    void fillPath() override;
    void strokePath() override;
    void strokeAndFillPath() override;

    void setPixel(DcPoint point, ColorRef color) override;
    bool patBlt(int32_t x, int32_t y, int32_t width, int32_t height, RasterOp op) override;
    bool bitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const DeviceContext& source,
        int32_t sourceX, int32_t sourceY, RasterOp op) override;
    bool stretchDIBits(int32_t x, int32_t y, int32_t width, int32_t height, const RgbImageView& image,
        int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight) override;
    bool plgBlt(const RgbImageView& image, DcPoint topLeft, DcPoint topRight, DcPoint bottomLeft) override;
    bool readPixels(
        int32_t x, int32_t y, int32_t width, int32_t height, std::vector<uint32_t>& out) const override;

private:
    enum class PathState { None, Open, Closed };

    QPainter& painter();
    void endPainting();
    // Sets the painter's pen, brush, composition and hints from the context
    // state; `pen`/`brush` false leave that part out.
    void preparePainter(bool pen, bool brush);
    QPen makePen() const;
    QBrush makeBrush();
    // Strokes `path` with the current pen, with GDI's opaque gaps for styled pens.
    void strokeQtPath(const QPainterPath& path);
    void drawPolylineRun(std::span<const DcPoint> points);
    const QPainterPath& builtPath(bool closeAll);
    // Whether the path bracket holds one upright rectangle, and which.
    bool figuresAreRect(QRect& rect) const;
    // Fills the built path with the current brush.
    void fillBuilt(const QPainterPath& path, bool isRect, const QRect& rect);
    bool drawMappedImage(const RgbImageView& image, const QTransform& transform);

    // The scan-converted paths: whether the brush / the pen can be painted
    // as spans under the current state, and painting m_converter's figures.
    bool spanFill() const;
    bool spanStroke() const;
    // The area the (wide) pen covers along m_run, into m_converter.
    void addPenArea(bool closed);
    bool spanThinLine() const;
    // One-pixel lines through the points (back to the first when closed) with the pen.
    void thinLineSpans(std::span<const ScanPoint> points, bool closed);
    void fillSpans(bool winding);
    void strokeSpans();
    void paintSpans(bool withPen);
    // The path bracket's figures into m_converter, as outlines or as the
    // areas the pen covers along them.
    bool figuresHaveCurves() const;
    void figuresToConverter(bool closeAll, bool stroke);
    // Fills and/or strokes the ended path bracket and discards it.
    void paintBracket(bool fill, bool stroke, bool closeAll);
    uint32_t* writableBits();

    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    bool m_antialias = false;

    // What preparePainter last gave the painter: QPainter marks its state
    // dirty on every set, and the engine then redoes its setup per call.
    struct Applied {
        bool valid = false;
        bool hints = false;
        Rop2 rop = Rop2::CopyPen;
        bool hasPen = false, hasBrush = false;
        DcPen pen;
        DcBrush brush;
        ColorRef ink = 0, back = 0;
    };
    Applied m_applied;
    QPainterPath m_path; // reused so a redraw does not allocate per object
    ScanConverter m_converter;
    std::vector<ScanSpan> m_spans;
    std::vector<ScanPoint> m_run;

    // The path bracket, kept as GDI elements until it is painted.
    struct Segment {
        bool curve = false;
        QPointF c1, c2; // curves only
        QPointF end;
    };
    struct Figure {
        QPointF start;
        std::vector<Segment> segments;
        bool closed = false;
    };
    Figure& currentFigure();
    Figure& newFigure(QPointF start);
    std::vector<Figure> m_figures; // the first m_figureCount are in use
    size_t m_figureCount = 0;
    PathState m_pathState = PathState::None;

    // The texture of the last pattern brush, rebuilt when its colours change.
    QImage m_patternTile;
    PatternBits m_tileBits {};
    ColorRef m_tileInk = 0, m_tileBack = 0;
    bool m_tileValid = false;
};

} // namespace zavora
