#include "raster/ScreenCanvas.h"

#include "model/DrawObject.h"
#include "model/Drawing.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/OutlineGeometry.h"
#include "model/PathObjects.h"
#include "platform/DebugLog.h"
#include "platform/Reporter.h"
#include "raster/DeviceRounding.h"
#include "raster/DeviceTextCanvas.h"
#include "raster/GdiPort.h"
#include "raster/HatchPatterns.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

constexpr ColorRef kLightGrey = 0xc0c0c0;
// XOR with white inverts every bit under the pen.
constexpr ColorRef kInvertingPen = kWhiteRef;
constexpr const char* kNoMemory = "Insufficient memory - Please reduce window size";

int32_t nearestPixel(double v)
{
    return truncateToDevice(float(std::floor(v + 0.5)));
}

// The kernel keeps colours as fractions; the screen converts percentages.
ColorRef kernelColor()
{
    const GraphicsState& s = kernel().state();
    return gdiColor({ s.red * 100, s.green * 100, s.blue * 100 });
}

// The widest stroke among the objects, containers searched through.
float widestStroke(const OwnedObjects& objects)
{
    float widest = 0;
    for (const auto& object : objects) {
        if (const auto* group = dynamic_cast<const GroupObject*>(object.get()))
            widest = std::max(widest, widestStroke(group->children()));
        else if (const auto* compound = dynamic_cast<const CompoundPathObject*>(object.get()))
            widest = std::max(widest, widestStroke(compound->children()));
        else
            widest = std::max(widest, object->style().strokeWidth());
    }
    return std::isfinite(widest) ? widest : 0;
}

} // namespace

ScreenCanvas::ScreenCanvas(SurfaceFactory& factory)
    : m_factory(factory)
{ }

ScreenCanvas::~ScreenCanvas() = default;

bool ScreenCanvas::createBuffers(int32_t width, int32_t height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    bool all = true;
    auto make = [&](std::unique_ptr<RasterSurface>& surface) {
        surface.reset();
        surface = m_factory.createSurface(m_width, m_height);
        if (!surface) {
            errorBox("%s", kNoMemory);
            all = false;
            return;
        }
        surface->setAntialiasing(m_antialias);
    };
    make(m_window);
    for (auto& buffer : m_buffers)
        make(buffer);
    return all;
}

void ScreenCanvas::setAntialiasing(bool on)
{
    m_antialias = on;
    if (m_window)
        m_window->setAntialiasing(on);
    for (auto& buffer : m_buffers) {
        if (buffer)
            buffer->setAntialiasing(on);
    }
}

DeviceContext* ScreenCanvas::currentTarget()
{
    switch (m_target) {
    case DrawTarget::Buffer:
        return m_buffers[size_t(ScreenBuffer::View)] ? &m_buffers[size_t(ScreenBuffer::View)]->dc() : nullptr;
    case DrawTarget::Direct:
        return m_window ? &m_window->dc() : nullptr;
    case DrawTarget::Inverted:
        break;
    }
    return nullptr;
}

DeviceContext* ScreenCanvas::paintDc()
{
    if (m_scratch)
        return m_scratch;
    if (m_target == DrawTarget::Buffer)
        return currentTarget();
    return m_window ? &m_window->dc() : nullptr;
}

bool ScreenCanvas::inverted() const
{
    return m_target == DrawTarget::Inverted;
}

bool ScreenCanvas::onWindow() const
{
    return !m_scratch && m_target != DrawTarget::Buffer;
}

void ScreenCanvas::invalidate(PixelRect rect)
{
    if (!m_invalidate)
        return;
    if (rect.isWhole()) {
        m_invalidate(0, 0, m_width, m_height);
        return;
    }
    // Right and bottom are made exclusive.
    m_invalidate(rect.x0, rect.y0, rect.x1 - rect.x0 + 1, rect.y1 - rect.y0 + 1);
}

void ScreenCanvas::touched(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!onWindow())
        return;
    PixelRect rect { left, top, right, bottom };
    if (clipToWindow(rect))
        invalidate(rect);
}

void ScreenCanvas::touched(std::span<const DcPoint> points, int32_t pad)
{
    if (!onWindow() || points.empty())
        return;
    int64_t left = points[0].x, right = left, top = points[0].y, bottom = top;
    for (DcPoint p : points) {
        left = std::min<int64_t>(left, p.x);
        right = std::max<int64_t>(right, p.x);
        top = std::min<int64_t>(top, p.y);
        bottom = std::max<int64_t>(bottom, p.y);
    }
    auto clamp = [](int64_t v) { return int32_t(clampDeviceCoordinate(double(v))); };
    touched(clamp(left - pad), clamp(top - pad), clamp(right + pad), clamp(bottom + pad));
}

bool ScreenCanvas::clipToWindow(PixelRect& rect) const
{
    if (rect.isWhole()) {
        rect = { 0, 0, m_width - 1, m_height - 1 };
    } else {
        if (rect.x0 > rect.x1)
            std::swap(rect.x0, rect.x1);
        if (rect.y0 > rect.y1)
            std::swap(rect.y0, rect.y1);
        rect.x0 = std::max(rect.x0, 0);
        rect.y0 = std::max(rect.y0, 0);
        rect.x1 = std::min(rect.x1, m_width - 1);
        rect.y1 = std::min(rect.y1, m_height - 1);
    }
    return rect.x0 <= rect.x1 && rect.y0 <= rect.y1;
}

// --- blits -----------------------------------------------------------------

bool ScreenCanvas::copyBufferToWindow(ScreenBuffer from, PixelRect rect)
{
    RasterSurface* source = buffer(from);
    if (!source || !m_window)
        return false;
    if (!clipToWindow(rect))
        return true;
    const bool done = m_window->dc().bitBlt(
        rect.x0, rect.y0, rect.x1 - rect.x0 + 1, rect.y1 - rect.y0 + 1, source->dc(), rect.x0, rect.y0, RasterOp::SrcCopy);
    if (done)
        invalidate(rect);
    return done;
}

bool ScreenCanvas::copyBufferToBuffer(ScreenBuffer from, ScreenBuffer to, PixelRect rect)
{
    RasterSurface* source = buffer(from);
    RasterSurface* target = buffer(to);
    if (!source || !target)
        return false;
    if (!clipToWindow(rect))
        return true;
    return target->dc().bitBlt(
        rect.x0, rect.y0, rect.x1 - rect.x0 + 1, rect.y1 - rect.y0 + 1, source->dc(), rect.x0, rect.y0, RasterOp::SrcCopy);
}

void ScreenCanvas::clear(PixelRect rect)
{
    DeviceContext* dc = paintDc();
    if (!dc || !clipToWindow(rect))
        return;
    dc->patBlt(rect.x0, rect.y0, rect.x1 - rect.x0 + 1, rect.y1 - rect.y0 + 1, RasterOp::Whiteness);
    touched(rect.x0, rect.y0, rect.x1, rect.y1);
}

// --- objects -----------------------------------------------------------------

void ScreenCanvas::drawObject(const DrawObject& object, int mode)
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.setCtm(m_view);
    object.drawOnScreen(*this, mode);
}

void ScreenCanvas::redraw(const Drawing& drawing, int mode, PixelRect area)
{
    DeviceContext* dc = paintDc();
    if (!dc)
        return;
    GraphicsKernel& k = kernel();
    if (area.isWhole()) {
        StateSaver saver;
        k.setCtm(m_view);
        drawing.redraw(*this, mode);
        return;
    }
    if (!clipToWindow(area))
        return;
    const int32_t w = area.x1 - area.x0 + 1, h = area.y1 - area.y0 + 1;
    std::unique_ptr<RasterSurface> scratch = m_factory.createSurface(w, h);
    if (!scratch || !scratch->dc().bitBlt(0, 0, w, h, *dc, area.x0, area.y0, RasterOp::SrcCopy)) {
        debugLog("Redraw: no scratch buffer for %d x %d pixels", w, h);
        return;
    }
    scratch->setAntialiasing(m_antialias);

    // Objects are picked by their box with the stroke; arrowheads and mitred
    // corners reach further (ten line widths at most), so the area is grown
    // by that much before it becomes the drawing's clip.
    const KMatrix inverse = invert(m_view);
    Rect clip;
    bool first = true;
    for (Point corner : { Point { float(area.x0), float(area.y0) },
             Point { float(area.x1 + 1), float(area.y0) }, Point { float(area.x0), float(area.y1 + 1) },
             Point { float(area.x1 + 1), float(area.y1 + 1) } }) {
        const Point p = transformPoint(inverse, corner);
        if (first) {
            clip = { p.x, p.y, p.x, p.y };
            first = false;
        }
        clip.left = std::min(clip.left, p.x);
        clip.right = std::max(clip.right, p.x);
        clip.bottom = std::min(clip.bottom, p.y);
        clip.top = std::max(clip.top, p.y);
    }
    const Point onePixel = transformDelta(inverse, { 2, 2 });
    const float margin = 10 * widestStroke(drawing.objects()) + std::hypot(onePixel.x, onePixel.y);
    clip.left -= margin, clip.bottom -= margin, clip.right += margin, clip.top += margin;

    m_scratch = &scratch->dc();
    {
        StateSaver saver;
        k.setCtm(multiply(m_view, KMatrix(1, 0, 0, 1, -area.x0, -area.y0)));
        drawing.redraw(*this, mode, clip);
    }
    m_scratch = nullptr;
    dc->bitBlt(area.x0, area.y0, w, h, scratch->dc(), 0, 0, RasterOp::SrcCopy);
    touched(area.x0, area.y0, area.x1, area.y1);
}

void ScreenCanvas::drawHandles(const DrawObject& object)
{
    object.drawHandles(*this);
}

// --- routines ------------------------------------------------------------

DcBrush ScreenCanvas::fillBrush(DeviceContext& dc, int hatch, ColorRef fill, ColorRef hatchColor)
{
    if (hatch == kNoPattern)
        return DcBrush::solid(fill);
    const HatchPattern* pattern = hatchPattern(hatch);
    if (!pattern)
        return DcBrush::null(); // an empty hatch brush fills nothing
    dc.setTextColor(hatchColor);
    dc.setBkColor(fill);
    return DcBrush::patterned(pattern->rows);
}

void ScreenCanvas::paintPolylines(
    std::span<const DcPoint> points, std::span<const int32_t> counts, ColorRef color, int32_t width, int dash)
{
    DeviceContext* dc = paintDc();
    if (!dc || points.empty())
        return;
    dc->saveDC();
    if (inverted()) {
        dc->selectPen(DcPen::solid(kInvertingPen, 1));
        dc->setRop2(Rop2::XorPen);
    } else if (isValidDashIndex(dash)) {
        dc->selectPen(DcPen::cosmetic(dashPenStyle(dash), color));
    } else {
        dc->selectPen(DcPen::solid(color, std::max(width, 1)));
    }
    dc->polyPolyline(points, counts);
    dc->restoreDC();
    touched(points, std::max(width, 1) / 2 + 2);
}

void ScreenCanvas::polylines(std::span<const DcPoint> points, std::span<const int32_t> counts,
    const Color& color, int32_t width, int dash)
{
    paintPolylines(points, counts, gdiColor(color), width, dash);
}

void ScreenCanvas::paintPolygons(std::span<const DcPoint> points, std::span<const int32_t> counts,
    ColorRef fill, int hatch, ColorRef hatchColor)
{
    DeviceContext* dc = paintDc();
    if (!dc || points.empty())
        return;
    dc->saveDC();
    dc->selectPen(DcPen::null());
    dc->setPolyFillMode(PolyFillMode::Alternate);
    if (inverted()) {
        dc->selectBrush(DcBrush::solid(kBlackRef));
        dc->setRop2(Rop2::Not);
    } else {
        dc->selectBrush(fillBrush(*dc, hatch, fill, hatchColor));
    }
    dc->polyPolygon(points, counts);
    dc->restoreDC();
    touched(points, 1);
}

void ScreenCanvas::polygons(std::span<const DcPoint> points, std::span<const int32_t> counts,
    const Color& fill, int hatch, const Color& hatchColor)
{
    paintPolygons(points, counts, gdiColor(fill), hatch, gdiColor(hatchColor));
}

void ScreenCanvas::paintPath(const std::vector<PathElement>& elements, const PathPaint& paint)
{
    DeviceContext* dc = paintDc();
    if (!dc || elements.empty() || (!paint.stroke && !paint.fill))
        return;
    dc->saveDC();
    dc->setBkMode(BkMode::Transparent);
    dc->setPolyFillMode(PolyFillMode::Alternate);
    DcPen pen = DcPen::null();
    if (paint.stroke) {
        pen = isValidDashIndex(paint.dash)
            ? DcPen::cosmetic(dashPenStyle(paint.dash), paint.strokeColor)
            : DcPen::geometricFlat(paint.strokeColor, std::max(paint.width, 1));
    }
    DcBrush brush = DcBrush::null();
    if (inverted()) {
        dc->setRop2(Rop2::Not);
        if (paint.fill)
            brush = DcBrush::solid(kBlackRef);
    } else if (paint.fill) {
        brush = fillBrush(*dc, paint.hatch, paint.fillColor, paint.hatchColor);
    }
    dc->selectPen(pen);
    dc->selectBrush(brush);

    // Curves are flattened here, in device pixels, to within a quarter pixel
    // (as GDI does inside PolyBezierTo); the rasteriser then only sees
    // straight edges, short enough that no facet shows at any zoom. Smoothed
    // edges keep their fractions: rounded vertices would show as facets.
    const bool exact = dc->smoothing() && !inverted();
    // Whole-pixel vertices are up to half a pixel off the curve anyway.
    const float flatness = exact ? kDeviceFlatness : 2 * kDeviceFlatness;
    std::vector<DcPoint>& points = m_points;
    points.clear();
    enum class Step { Move, Line, CurvePoint };
    auto to = [&](Point p, Step step) {
        const DcPoint d { roundHalfUpToDevice(p.x), roundHalfUpToDevice(p.y) };
        // A flattened curve's points that round onto the last are left out.
        if (step == Step::CurvePoint && !exact && !points.empty() && d == points.back())
            return;
        const bool move = step == Step::Move;
        points.push_back(d);
        if (exact)
            move ? dc->moveToExact(p.x, p.y) : dc->lineToExact(p.x, p.y);
        else
            move ? dc->moveTo(d) : dc->lineTo(d);
    };
    Point current, start;
    dc->beginPath();
    for (const PathElement& e : elements) {
        switch (e.kind) {
        case PathKind::Move:
            current = start = { e.x1, e.y1 };
            to(current, Step::Move);
            break;
        case PathKind::Line:
            current = { e.x1, e.y1 };
            to(current, Step::Line);
            break;
        case PathKind::Curve: {
            const Point end { e.x3, e.y3 };
            m_curve.clear();
            flattenBezier(m_curve, current, { e.x1, e.y1 }, { e.x2, e.y2 }, end, flatness);
            for (Point p : m_curve)
                to(p, Step::CurvePoint);
            current = end;
            break;
        }
        case PathKind::Close:
            current = start;
            dc->closeFigure();
            break;
        }
    }
    dc->endPath();
    if (paint.fill && paint.stroke)
        dc->strokeAndFillPath();
    else if (paint.stroke)
        dc->strokePath();
    else
        dc->fillPath();
    dc->restoreDC();
    // A mitre reaches up to five widths beyond its corner.
    touched(points, paint.stroke ? 5 * std::max(paint.width, 1) + 2 : 2);
}

void ScreenCanvas::path(const std::vector<PathElement>& elements, bool stroke, bool fill,
    const Color& strokeColor, int32_t width, int dash, const Color& fillColor, int hatch,
    const Color& hatchColor)
{
    PathPaint paint;
    paint.stroke = stroke;
    paint.fill = fill;
    paint.strokeColor = gdiColor(strokeColor);
    paint.width = width;
    paint.dash = dash;
    paint.fillColor = gdiColor(fillColor);
    paint.hatch = hatch;
    paint.hatchColor = gdiColor(hatchColor);
    paintPath(elements, paint);
}

void ScreenCanvas::handleMark(DcPoint centre)
{
    DeviceContext* dc = paintDc();
    if (!dc)
        return;
    const int32_t half = kHandleSize / 2;
    const int32_t x = centre.x - half, y = centre.y - half;
    if (inverted()) {
        dc->patBlt(x, y, kHandleSize, kHandleSize, RasterOp::DstInvert);
    } else {
        const DcBrush previous = dc->selectBrush(DcBrush::solid(kBlackRef));
        dc->patBlt(x, y, kHandleSize, kHandleSize, RasterOp::PatCopy);
        dc->selectBrush(previous);
    }
    touched(x, y, x + kHandleSize - 1, y + kHandleSize - 1);
}

void ScreenCanvas::pageShadow(PixelRect page)
{
    DeviceContext* dc = paintDc();
    if (!dc || page.isWhole())
        return;
    if (page.x0 > page.x1)
        std::swap(page.x0, page.x1);
    if (page.y0 > page.y1)
        std::swap(page.y0, page.y1);
    const int32_t w = page.x1 - page.x0 + 1, h = page.y1 - page.y0 + 1;
    const int32_t s = kShadowWidth;
    dc->saveDC();
    // The frame: four one-pixel strips just inside the page.
    dc->selectBrush(DcBrush::solid(kBlackRef));
    dc->patBlt(page.x0, page.y0, w, 1, RasterOp::PatCopy);
    dc->patBlt(page.x0, page.y1, w, 1, RasterOp::PatCopy);
    dc->patBlt(page.x0, page.y0, 1, h, RasterOp::PatCopy);
    dc->patBlt(page.x1, page.y0, 1, h, RasterOp::PatCopy);
    // The shadow, as if the page lay above the window.
    dc->selectBrush(DcBrush::solid(kLightGrey));
    dc->patBlt(page.x1 + 1, page.y0 + s, s, h, RasterOp::PatCopy);
    dc->patBlt(page.x0 + s, page.y1 + 1, w - s, s, RasterOp::PatCopy);
    dc->restoreDC();
    touched(page.x0, page.y0, page.x1 + s, page.y1 + s);
}

bool ScreenCanvas::gridDots(const Grid& grid, PixelRect area)
{
    DeviceContext* dc = paintDc();
    if (!dc || grid.gx <= 0 || grid.gy <= 0)
        return true;
    const Point stepX = transformDelta(m_view, { float(grid.gx), 0 });
    const Point stepY = transformDelta(m_view, { 0, float(grid.gy) });
    const double dx = std::hypot(stepX.x, stepX.y), dy = std::hypot(stepY.x, stepY.y);
    if (dx < 3 || dy < 3)
        return false;
    if (!clipToWindow(area))
        return true;
    const bool sparse = dx < 12 || dy < 12;

    // The grid indexes whose points can fall inside the area.
    const KMatrix inverse = invert(m_view);
    double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;
    for (Point corner : { Point { float(area.x0), float(area.y0) },
             Point { float(area.x1 + 1), float(area.y0) }, Point { float(area.x0), float(area.y1 + 1) },
             Point { float(area.x1 + 1), float(area.y1 + 1) } }) {
        const Point p = transformPoint(inverse, corner);
        left = std::min<double>(left, p.x), right = std::max<double>(right, p.x);
        bottom = std::min<double>(bottom, p.y), top = std::max<double>(top, p.y);
    }
    const int64_t i0 = int64_t(std::floor(left / grid.gx)), i1 = int64_t(std::ceil(right / grid.gx));
    const int64_t j0 = int64_t(std::floor(bottom / grid.gy)), j1 = int64_t(std::ceil(top / grid.gy));
    for (int64_t j = j0; j <= j1; ++j) {
        for (int64_t i = i0; i <= i1; ++i) {
            if (sparse && i % 5 != 0 && j % 5 != 0)
                continue;
            const double x = m_view.a * i * grid.gx + m_view.c * j * grid.gy + m_view.tx;
            const double y = m_view.b * i * grid.gx + m_view.d * j * grid.gy + m_view.ty;
            const DcPoint p { nearestPixel(x), nearestPixel(y) };
            if (p.x >= area.x0 && p.x <= area.x1 && p.y >= area.y0 && p.y <= area.y1)
                dc->setPixel(p, kBlackRef);
        }
    }
    touched(area.x0, area.y0, area.x1, area.y1);
    return true;
}

// --- ScreenPainter -----------------------------------------------------------

void ScreenCanvas::fillPath()
{
    GraphicsKernel& k = kernel();
    const std::vector<PathElement> elements = k.takePath();
    PathPaint paint;
    paint.fill = true;
    paint.fillColor = kernelColor();
    paint.hatch = k.state().fillPattern;
    paint.hatchColor = kBlackRef;
    paintPath(elements, paint);
}

void ScreenCanvas::strokePath()
{
    GraphicsKernel& k = kernel();
    const std::vector<PathElement> elements = k.takePath();
    PathPaint paint;
    paint.stroke = true;
    paint.strokeColor = kernelColor();
    paint.width = std::max(1, roundHalfUpToDevice(std::fabs(k.state().lineWidth)));
    paint.dash = k.state().pen;
    paintPath(elements, paint);
}

bool ScreenCanvas::fillAndStrokePath(const Color& strokeColor)
{
    GraphicsKernel& k = kernel();
    const std::vector<PathElement> elements = k.takePath();
    PathPaint fill;
    fill.fill = true;
    fill.fillColor = kernelColor();
    fill.hatch = k.state().fillPattern;
    fill.hatchColor = kBlackRef;
    // The same colour the kernel would hand strokePath.
    k.setColor(strokeColor.red / 100, strokeColor.green / 100, strokeColor.blue / 100);
    PathPaint stroke;
    stroke.stroke = true;
    stroke.strokeColor = kernelColor();
    stroke.width = std::max(1, roundHalfUpToDevice(std::fabs(k.state().lineWidth)));
    stroke.dash = k.state().pen;
    // Painting both at once closes every figure, so only closed outlines may.
    bool closed = !elements.empty() && elements.back().kind == PathKind::Close;
    for (size_t i = 1; closed && i < elements.size(); ++i)
        closed = elements[i].kind != PathKind::Move || elements[i - 1].kind == PathKind::Close;
    if (!closed) {
        paintPath(elements, fill);
        paintPath(elements, stroke);
        return true;
    }
    PathPaint both = stroke;
    both.fill = true;
    both.fillColor = fill.fillColor;
    both.hatch = fill.hatch;
    both.hatchColor = fill.hatchColor;
    paintPath(elements, both);
    return true;
}

void ScreenCanvas::arrowhead(int code, Point tip, Point previous, float scale)
{
    const GraphicsKernel& k = kernel();
    const PointList outline = arrowheadOutline(code, tip, previous, scale);
    if (outline.size() < 3)
        return;
    std::vector<DcPoint> points;
    points.reserve(outline.size());
    for (Point p : outline) {
        const Point d = k.transform(p);
        points.push_back({ truncateToDevice(d.x), truncateToDevice(d.y) });
    }
    const int32_t count = int32_t(points.size());
    paintPolygons(points, std::span<const int32_t>(&count, 1), kernelColor(), kNoPattern, kBlackRef);
}

void ScreenCanvas::image(const ImageObject& image)
{
    DeviceContext* dc = paintDc();
    if (!dc || !image.hasPixels())
        return;
    const KMatrix& ctm = kernel().ctm();
    GdiPort port(*dc, ctm.toMatrix());
    port.image(image.matrix(), image);
    if (onWindow()) {
        const KMatrix m = multiply(KMatrix(image.matrix()), ctm);
        std::vector<DcPoint> corners;
        for (Point p : { Point { 0, 0 }, Point { 1, 0 }, Point { 1, 1 }, Point { 0, 1 } }) {
            const Point d = transformPoint(m, p);
            corners.push_back({ truncateToDevice(d.x), truncateToDevice(d.y) });
        }
        touched(corners, 2);
    }
}

void ScreenCanvas::paintText(const std::function<void(TextCanvas&)>& paint)
{
    DeviceContext* dc = paintDc();
    if (!dc)
        return;
    const bool smooth = m_smoothText && !inverted();
    const bool wasSmooth = smooth ? dc->setSmoothing(true) : false;
    DeviceTextCanvas canvas(*dc, kernel().ctm(), inverted());
    paint(canvas);
    if (smooth)
        dc->setSmoothing(wasSmooth);
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    if (canvas.touched(left, top, right, bottom))
        touched(left - 2, top - 2, right + 2, bottom + 2);
}

// --- HandlePainter -----------------------------------------------------------

DcPoint ScreenCanvas::toPixel(Point drawing) const
{
    const Point p = transformPoint(m_view, drawing);
    return { roundHalfUpToDevice(p.x), roundHalfUpToDevice(p.y) };
}

void ScreenCanvas::mark(Point point)
{
    handleMark(toPixel(point));
}

void ScreenCanvas::controlLine(Point anchor, Point control)
{
    const DcPoint points[] = { toPixel(anchor), toPixel(control) };
    const int32_t count = 2;
    paintPolylines(points, std::span<const int32_t>(&count, 1), kBlackRef, 1, kSolidDash);
}

} // namespace zavora
