#include "platform/qt/RasterDeviceContext.h"

#include "platform/DebugLog.h"

#include <QPolygon>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <type_traits>

namespace zavora {

namespace {

constexpr uint32_t kOpaque = 0xff000000u;

QRgb toQRgb(ColorRef c)
{
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}

uint32_t toPixel(ColorRef c)
{
    return kOpaque | toQRgb(c);
}

QPolygon toPolygon(std::span<const DcPoint> points)
{
    QPolygon polygon(int(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        polygon[int(i)] = QPoint(points[i].x, points[i].y);
    return polygon;
}

QPointF toPointF(DcPoint p)
{
    return QPointF(p.x, p.y);
}

ScanPoint toScanPoint(DcPoint p)
{
    return { double(p.x), double(p.y) };
}

ScanPoint toScanPoint(QPointF p)
{
    return { p.x(), p.y() };
}

Qt::FillRule fillRule(PolyFillMode mode)
{
    return mode == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
}

// Clips the rectangle x, y, w, h to 0..limitW x 0..limitH, moving the
// companion origin (sx, sy) along; false when nothing is left.
bool clipRect(
    int32_t& x, int32_t& y, int32_t& w, int32_t& h, int32_t& sx, int32_t& sy, int32_t limitW, int32_t limitH)
{
    if (x < 0) {
        w += x, sx -= x, x = 0;
    }
    if (y < 0) {
        h += y, sy -= y, y = 0;
    }
    w = std::min<int64_t>(w, int64_t(limitW) - x);
    h = std::min<int64_t>(h, int64_t(limitH) - y);
    return w > 0 && h > 0;
}

// The counts of a poly-figure call, checked against the points they share out.
bool countsFit(std::span<const DcPoint> points, std::span<const int32_t> counts)
{
    int64_t total = 0;
    for (int32_t count : counts) {
        if (count < 0)
            return false;
        total += count;
    }
    return total <= int64_t(points.size());
}

// Adds a closed figure wound clockwise on the page (negative shoelace area
// with y down), so figures added this way fill as their union under the
// winding rule; a figure without area is left out.
void addClockwise(ScanConverter& converter, std::span<ScanPoint> figure)
{
    double area = 0;
    for (size_t i = 0, n = figure.size(); i < n; ++i) {
        const ScanPoint a = figure[i], b = figure[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    if (area == 0 || !std::isfinite(area))
        return;
    if (area > 0)
        std::reverse(figure.begin(), figure.end());
    converter.addPolygon(figure);
}

// The area a round pen (CreatePen, wider than a pixel) covers along a
// polyline: each segment's rectangle, a disc at each end and at each corner
// that turns enough for it to show, and the outer bevel of the gentler
// corners (a flattened curve's), whose round join differs from it by far
// less than a pixel.
void addRoundStroke(ScanConverter& converter, std::span<const ScanPoint> points, bool closed, double width)
{
    thread_local std::vector<ScanPoint> p;
    p.clear();
    for (ScanPoint q : points) {
        if (!std::isfinite(q.x) || !std::isfinite(q.y))
            return;
        if (p.empty() || !(q == p.back()))
            p.push_back(q);
    }
    if (closed && p.size() > 1 && p.front() == p.back())
        p.pop_back();
    if (p.empty() || !(width > 1) || !std::isfinite(width))
        return;
    const double half = width / 2;
    const int discPoints = std::clamp(int(std::ceil(width * 1.6)), 8, 96);
    auto disc = [&](ScanPoint c) {
        thread_local std::vector<ScanPoint> ring;
        ring.clear();
        for (int k = 0; k < discPoints; ++k) {
            const double angle = 2 * std::numbers::pi * k / discPoints;
            ring.push_back({ c.x + half * std::cos(angle), c.y + half * std::sin(angle) });
        }
        addClockwise(converter, ring);
    };
    const size_t n = p.size();
    if (n == 1) {
        disc(p[0]);
        return;
    }
    const size_t segments = closed ? n : n - 1;
    auto normal = [&](size_t i) {
        const ScanPoint a = p[i], b = p[(i + 1) % n];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        return ScanPoint { -(b.y - a.y) / length * half, (b.x - a.x) / length * half };
    };
    for (size_t i = 0; i < segments; ++i) {
        const ScanPoint a = p[i], b = p[(i + 1) % n], m = normal(i);
        ScanPoint quad[] = { { a.x + m.x, a.y + m.y }, { b.x + m.x, b.y + m.y }, { b.x - m.x, b.y - m.y },
            { a.x - m.x, a.y - m.y } };
        addClockwise(converter, quad);
    }
    for (size_t i = 0; i < n; ++i) {
        if (!closed && (i == 0 || i == n - 1)) {
            disc(p[i]);
            continue;
        }
        const ScanPoint in = normal((i + n - 1) % n), out = normal(i), c = p[i];
        // cos of the turn, from the normals (half long each).
        const double cosine = (in.x * out.x + in.y * out.y) / (half * half);
        // How far the round join stands beyond the bevel: half (1 - cos(turn / 2)).
        if (half * (1 - std::sqrt(std::max(0.0, (1 + cosine) / 2))) > 0.25) {
            disc(c);
            continue;
        }
        const double cross = in.x * out.y - in.y * out.x;
        if (cross == 0)
            continue;
        const double sign = cross < 0 ? 1 : -1;
        ScanPoint bevel[]
            = { c, { c.x + sign * in.x, c.y + sign * in.y }, { c.x + sign * out.x, c.y + sign * out.y } };
        addClockwise(converter, bevel);
    }
}

} // namespace

RasterDeviceContext::RasterDeviceContext(int32_t width, int32_t height)
{
    if (width > 0 && height > 0) {
        m_image = QImage(width, height, QImage::Format_RGB32);
        if (!m_image.isNull())
            m_image.fill(0xffffffffu);
    }
}

RasterDeviceContext::RasterDeviceContext(const QImage& image)
    : m_image(image.convertToFormat(QImage::Format_RGB32))
{
    m_image.detach();
}

RasterDeviceContext::~RasterDeviceContext() = default;

const QImage& RasterDeviceContext::image()
{
    endPainting();
    return m_image;
}

uint32_t RasterDeviceContext::pixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return 0;
    return reinterpret_cast<const uint32_t*>(m_image.constScanLine(y))[x] & 0xffffffu;
}

QPainter& RasterDeviceContext::painter()
{
    if (!m_painter) {
        // The painter writes into the buffer in place: no other copy may share it.
        m_image.detach();
        m_painter = std::make_unique<QPainter>(&m_image);
    }
    return *m_painter;
}

void RasterDeviceContext::endPainting()
{
    m_painter.reset();
    m_applied.valid = false;
}

uint32_t* RasterDeviceContext::writableBits()
{
    endPainting();
    return reinterpret_cast<uint32_t*>(m_image.bits());
}

QPen RasterDeviceContext::makePen() const
{
    const DcPen& pen = m_state.pen;
    if (pen.isNull())
        return QPen(Qt::NoPen);
    const QColor color(toQRgb(pen.color));
    const std::span<const int> dashes = penDashPattern(pen.style);
    if (!dashes.empty() || pen.width <= 1) {
        // Cosmetic one-pixel pen; the flat cap leaves out a line's last pixel as GDI does.
        QPen thin(color, 0);
        thin.setCapStyle(Qt::FlatCap);
        thin.setJoinStyle(Qt::MiterJoin);
        if (!dashes.empty())
            thin.setDashPattern(QList<qreal>(dashes.begin(), dashes.end()));
        return thin;
    }
    QPen wide(color, pen.width);
    if (pen.geometric) {
        wide.setCapStyle(pen.cap == PenCap::Flat ? Qt::FlatCap
                : pen.cap == PenCap::Square      ? Qt::SquareCap
                                                 : Qt::RoundCap);
        wide.setJoinStyle(pen.join == PenJoin::Miter ? Qt::MiterJoin
                : pen.join == PenJoin::Bevel         ? Qt::BevelJoin
                                                     : Qt::RoundJoin);
        // GDI's default mitre limit of 10 measures the whole mitre; QPainter's
        // counts from the join point, so half of it.
        wide.setMiterLimit(5);
    } else {
        wide.setCapStyle(Qt::RoundCap);
        wide.setJoinStyle(Qt::RoundJoin);
    }
    return wide;
}

QBrush RasterDeviceContext::makeBrush()
{
    const DcBrush& brush = m_state.brush;
    switch (brush.style) {
    case BrushStyle::Null:
        return QBrush(Qt::NoBrush);
    case BrushStyle::Solid:
        return QBrush(QColor(toQRgb(brush.color)));
    case BrushStyle::Pattern:
        break;
    }
    // The tile takes the colours in force now, as a GDI pattern brush does when it paints.
    if (!m_tileValid || m_tileBits != brush.pattern || m_tileInk != m_state.textColor
        || m_tileBack != m_state.bkColor) {
        m_patternTile = QImage(8, 8, QImage::Format_RGB32);
        const uint32_t ink = toPixel(m_state.textColor);
        const uint32_t back = toPixel(m_state.bkColor);
        for (int y = 0; y < 8; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(m_patternTile.scanLine(y));
            for (int x = 0; x < 8; ++x)
                row[x] = (brush.pattern[y] >> (7 - x)) & 1 ? ink : back;
        }
        m_tileBits = brush.pattern;
        m_tileInk = m_state.textColor;
        m_tileBack = m_state.bkColor;
        m_tileValid = true;
    }
    return QBrush(m_patternTile);
}

void RasterDeviceContext::preparePainter(bool pen, bool brush)
{
    QPainter& p = painter();
    const bool inverted = m_state.rop2 != Rop2::CopyPen;
    const bool hints = m_antialias && !inverted;
    Applied& a = m_applied;
    if (!a.valid || a.hints != hints) {
        p.setRenderHint(QPainter::Antialiasing, hints);
        p.setRenderHint(QPainter::SmoothPixmapTransform, hints);
    }
    if (!a.valid || a.rop != m_state.rop2) {
        switch (m_state.rop2) {
        case Rop2::CopyPen:
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            break;
        case Rop2::XorPen:
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            break;
        case Rop2::Not:
            p.setCompositionMode(QPainter::RasterOp_NotDestination);
            break;
        }
    }
    if (!a.valid || a.hasPen != pen || (pen && !(a.pen == m_state.pen)))
        p.setPen(pen ? makePen() : QPen(Qt::NoPen));
    // A pattern brush also depends on the text and background colours.
    const bool patterned = brush && m_state.brush.style == BrushStyle::Pattern;
    if (!a.valid || a.hasBrush != brush || (brush && !(a.brush == m_state.brush))
        || (patterned && (a.ink != m_state.textColor || a.back != m_state.bkColor))) {
        p.setBrush(brush ? makeBrush() : QBrush(Qt::NoBrush));
    }
    if (!a.valid) {
        // Pattern brushes line up with the device origin, as GDI's do.
        p.setBrushOrigin(0, 0);
        p.resetTransform();
    }
    a.valid = true;
    a.hints = hints;
    a.rop = m_state.rop2;
    a.hasPen = pen;
    a.pen = m_state.pen;
    a.hasBrush = brush;
    a.brush = m_state.brush;
    a.ink = m_state.textColor;
    a.back = m_state.bkColor;
}

void RasterDeviceContext::strokeQtPath(const QPainterPath& path)
{
    if (m_state.pen.isNull() || m_image.isNull())
        return;
    const bool styled = !penDashPattern(m_state.pen.style).empty();
    if (styled && m_state.bkMode == BkMode::Opaque && m_state.rop2 == Rop2::CopyPen) {
        // An opaque styled pen paints its gaps in the background colour.
        preparePainter(false, false);
        QPen gaps(QColor(toQRgb(m_state.bkColor)), 0);
        gaps.setCapStyle(Qt::FlatCap);
        painter().setPen(gaps);
        m_applied.valid = false;
        painter().drawPath(path);
    }
    preparePainter(true, false);
    painter().drawPath(path);
}

void RasterDeviceContext::drawPolylineRun(std::span<const DcPoint> points)
{
    if (points.size() < 2)
        return;
    const bool wide = spanStroke();
    if (wide || spanThinLine()) {
        m_run.clear();
        for (DcPoint p : points)
            m_run.push_back(toScanPoint(p));
        if (wide) {
            addPenArea(false);
            strokeSpans();
        } else {
            thinLineSpans(m_run, false);
        }
        return;
    }
    QPainterPath path(toPointF(points[0]));
    for (size_t i = 1; i < points.size(); ++i)
        path.lineTo(toPointF(points[i]));
    strokeQtPath(path);
}

RasterDeviceContext::Figure& RasterDeviceContext::newFigure(QPointF start)
{
    // Slots of earlier paths are reused with their segment storage.
    if (m_figureCount == m_figures.size())
        m_figures.emplace_back();
    Figure& figure = m_figures[m_figureCount++];
    figure.start = start;
    figure.segments.clear();
    figure.closed = false;
    return figure;
}

RasterDeviceContext::Figure& RasterDeviceContext::currentFigure()
{
    if (m_figureCount == 0 || m_figures[m_figureCount - 1].closed)
        return newFigure(toPointF(m_state.position));
    return m_figures[m_figureCount - 1];
}

void RasterDeviceContext::moveTo(DcPoint point)
{
    if (m_pathState == PathState::Open) {
        newFigure(toPointF(point));
    }
    m_state.position = point;
}

void RasterDeviceContext::lineTo(DcPoint point)
{
    if (m_pathState == PathState::Open) {
        currentFigure().segments.push_back({ false, {}, {}, toPointF(point) });
    } else {
        const DcPoint run[] = { m_state.position, point };
        drawPolylineRun(run);
    }
    m_state.position = point;
}

void RasterDeviceContext::moveToExact(double x, double y)
{
    const DcPoint rounded { roundToDevice(x), roundToDevice(y) };
    if (m_pathState != PathState::Open || !m_antialias)
        return moveTo(rounded);
    newFigure(QPointF(clampDeviceCoordinate(x), clampDeviceCoordinate(y)));
    m_state.position = rounded;
}

void RasterDeviceContext::lineToExact(double x, double y)
{
    const DcPoint rounded { roundToDevice(x), roundToDevice(y) };
    if (m_pathState != PathState::Open || !m_antialias)
        return lineTo(rounded);
    currentFigure().segments.push_back(
        { false, {}, {}, QPointF(clampDeviceCoordinate(x), clampDeviceCoordinate(y)) });
    m_state.position = rounded;
}

void RasterDeviceContext::polyline(std::span<const DcPoint> points)
{
    if (points.size() < 2)
        return;
    if (m_pathState == PathState::Open) {
        moveTo(points[0]);
        for (size_t i = 1; i < points.size(); ++i)
            lineTo(points[i]);
        return;
    }
    drawPolylineRun(points);
}

void RasterDeviceContext::polygon(std::span<const DcPoint> points)
{
    if (points.size() < 2)
        return;
    const int32_t count = int32_t(points.size());
    polyPolygon(points, std::span<const int32_t>(&count, 1));
}

void RasterDeviceContext::polyPolygon(std::span<const DcPoint> points, std::span<const int32_t> counts)
{
    if (!countsFit(points, counts)) {
        debugLog("PolyPolygon: %zu counts do not fit %zu points", counts.size(), points.size());
        return;
    }
    if (m_pathState == PathState::Open) {
        size_t start = 0;
        for (int32_t count : counts) {
            std::span<const DcPoint> run = points.subspan(start, size_t(count));
            start += size_t(count);
            if (run.size() < 2)
                continue;
            polyline(run);
            closeFigure();
        }
        return;
    }
    if (m_image.isNull())
        return;
    const bool brush = !m_state.brush.isNull();
    const bool pen = !m_state.pen.isNull();
    const bool fastFill = brush && spanFill();
    const bool wide = spanStroke();
    const bool fastStroke = pen && (wide || spanThinLine());
    // Each run as a scan-converter figure (or pen area), and as a QPainter
    // path only when QPainter draws part of it.
    QPainterPath path;
    path.setFillRule(fillRule(m_state.fillMode));
    const bool needPath = (brush && !fastFill) || (pen && !fastStroke);
    auto eachRun = [&](auto visit) {
        size_t start = 0;
        for (int32_t count : counts) {
            std::span<const DcPoint> run = points.subspan(start, size_t(count));
            start += size_t(count);
            if (run.size() >= 2)
                visit(run);
        }
    };
    auto scanRun = [&](std::span<const DcPoint> run) {
        m_run.clear();
        for (DcPoint p : run)
            m_run.push_back(toScanPoint(p));
    };
    if (needPath) {
        eachRun([&](std::span<const DcPoint> run) {
            path.addPolygon(QPolygonF(toPolygon(run)));
            path.closeSubpath();
        });
        if (path.isEmpty())
            return;
    }
    // Interior first, then the outline over it, as GDI paints a polygon.
    if (fastFill) {
        eachRun([&](std::span<const DcPoint> run) {
            scanRun(run);
            m_converter.addPolygon(m_run);
        });
        fillSpans(m_state.fillMode == PolyFillMode::Winding);
    } else if (brush) {
        preparePainter(false, true);
        painter().drawPath(path);
    }
    if (fastStroke && wide) {
        eachRun([&](std::span<const DcPoint> run) {
            scanRun(run);
            addPenArea(true);
        });
        strokeSpans();
    } else if (fastStroke) {
        eachRun([&](std::span<const DcPoint> run) {
            scanRun(run);
            thinLineSpans(m_run, true);
        });
    } else if (pen) {
        strokeQtPath(path);
    }
}

void RasterDeviceContext::fillPolygons(std::span<const double> xy, std::span<const int32_t> counts)
{
    // Only smoothed copying keeps the fractions; everything else follows the
    // whole-pixel rules.
    const bool smooth = m_antialias && m_state.rop2 == Rop2::CopyPen && m_pathState != PathState::Open
        && !m_image.isNull() && !m_state.brush.isNull();
    if (!smooth)
        return DeviceContext::fillPolygons(xy, counts);
    QPainterPath path;
    path.setFillRule(fillRule(m_state.fillMode));
    std::size_t next = 0;
    for (int32_t count : counts) {
        if (count < 0 || next + 2 * std::size_t(count) > xy.size())
            break;
        for (int32_t i = 0; i < count; ++i, next += 2) {
            const QPointF p(xy[next], xy[next + 1]);
            if (i == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        path.closeSubpath();
    }
    preparePainter(false, true);
    painter().drawPath(path);
}

bool RasterDeviceContext::paintGlyphMask(const GlyphMask& mask, DcPoint origin)
{
    if (m_image.isNull() || m_pathState == PathState::Open)
        return false;
    if (mask.empty())
        return true;
    const int64_t left = int64_t(origin.x) + mask.left, top = int64_t(origin.y) - mask.top;
    const int64_t x0 = std::max<int64_t>(left, 0), x1 = std::min<int64_t>(left + mask.width, m_image.width());
    const int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(top + mask.height, m_image.height());
    if (x0 >= x1 || y0 >= y1)
        return true;
    // Straight into the pixels, as the spans are: the painter, if any,
    // writes into the same ones, so the order of drawing holds.
    auto* bits = reinterpret_cast<uint32_t*>(m_image.bits());
    const size_t stride = size_t(m_image.bytesPerLine() / 4);
    const uint32_t ink = toPixel(m_state.textColor);
    // One loop per depth and raster mode, so the inner one does not branch on them.
    auto paint = [&](auto gray, auto apply) {
        for (int64_t y = y0; y < y1; ++y) {
            uint32_t* row = bits + size_t(y) * stride;
            const uint8_t* cover = mask.bits.data() + size_t(y - top) * size_t(mask.stride);
            for (int64_t x = x0; x < x1; ++x) {
                const int64_t column = x - left;
                if constexpr (decltype(gray)::value) {
                    if (const uint32_t amount = cover[column])
                        apply(row[x], amount);
                } else if ((column & 7) == 0 && cover[column >> 3] == 0 && x + 8 <= x1) {
                    x += 7; // eight clear pixels
                } else if ((cover[column >> 3] >> (7 - (column & 7))) & 1) {
                    apply(row[x], 255u);
                }
            }
        }
    };
    auto byDepth = [&](auto apply) {
        if (mask.depth == MaskDepth::Gray)
            paint(std::true_type {}, apply);
        else
            paint(std::false_type {}, apply);
    };
    switch (m_state.rop2) {
    case Rop2::Not:
        byDepth([](uint32_t& pixel, uint32_t amount) {
            if (amount >= 128)
                pixel = ~pixel | kOpaque;
        });
        break;
    case Rop2::XorPen:
        byDepth([ink](uint32_t& pixel, uint32_t amount) {
            if (amount >= 128)
                pixel = (pixel ^ ink) | kOpaque;
        });
        break;
    case Rop2::CopyPen:
        byDepth([ink](uint32_t& pixel, uint32_t amount) {
            if (amount == 255) {
                pixel = ink;
                return;
            }
            // Each channel moves from the background towards the ink by the
            // coverage, red and blue side by side: x / 255 rounded is
            // (x + 128 + ((x + 128) >> 8)) >> 8 for x up to 255 * 255.
            const uint32_t rest = 255 - amount;
            uint32_t rb = (ink & 0xff00ffu) * amount + (pixel & 0xff00ffu) * rest + 0x800080u;
            rb = ((rb + ((rb >> 8) & 0xff00ffu)) >> 8) & 0xff00ffu;
            uint32_t g = (ink & 0x00ff00u) * amount + (pixel & 0x00ff00u) * rest + 0x008000u;
            g = ((g + ((g >> 8) & 0x00ff00u)) >> 8) & 0x00ff00u;
            pixel = kOpaque | rb | g;
        });
        break;
    }
    return true;
}

void RasterDeviceContext::polyPolyline(std::span<const DcPoint> points, std::span<const int32_t> counts)
{
    if (!countsFit(points, counts)) {
        debugLog("PolyPolyline: %zu counts do not fit %zu points", counts.size(), points.size());
        return;
    }
    size_t start = 0;
    for (int32_t count : counts) {
        polyline(points.subspan(start, size_t(count)));
        start += size_t(count);
    }
}

void RasterDeviceContext::beginPath()
{
    m_figureCount = 0;
    m_pathState = PathState::Open;
}

void RasterDeviceContext::polyBezierTo(std::span<const DcPoint> points)
{
    const size_t whole = points.size() - points.size() % 3;
    if (whole == 0)
        return;
    if (m_pathState == PathState::Open) {
        Figure& figure = currentFigure();
        for (size_t i = 0; i < whole; i += 3)
            figure.segments.push_back(
                { true, toPointF(points[i]), toPointF(points[i + 1]), toPointF(points[i + 2]) });
    } else {
        QPainterPath path(toPointF(m_state.position));
        for (size_t i = 0; i < whole; i += 3)
            path.cubicTo(toPointF(points[i]), toPointF(points[i + 1]), toPointF(points[i + 2]));
        strokeQtPath(path);
    }
    m_state.position = points[whole - 1];
}

void RasterDeviceContext::closeFigure()
{
    if (m_pathState != PathState::Open || m_figureCount == 0 || m_figures[m_figureCount - 1].closed)
        return;
    Figure& last = m_figures[m_figureCount - 1];
    last.closed = true;
    m_state.position = { int32_t(last.start.x()), int32_t(last.start.y()) };
}

void RasterDeviceContext::endPath()
{
    if (m_pathState == PathState::Open)
        m_pathState = PathState::Closed;
}

void RasterDeviceContext::abortPath()
{
    m_figureCount = 0;
    m_pathState = PathState::None;
}

bool RasterDeviceContext::figuresAreRect(QRect& rect) const
{
    if (m_figureCount != 1)
        return false;
    const Figure& figure = m_figures[0];
    QPointF corners[5];
    size_t count = 0;
    corners[count++] = figure.start;
    for (const Segment& segment : figure.segments) {
        if (segment.curve || count == 5)
            return false;
        corners[count++] = segment.end;
    }
    if (count == 5 && corners[4] == corners[0])
        --count;
    if (count != 4)
        return false;
    const QPointF &a = corners[0], &b = corners[1], &c = corners[2], &d = corners[3];
    const bool upright = a.x() == b.x() && b.y() == c.y() && c.x() == d.x() && d.y() == a.y();
    const bool across = a.y() == b.y() && b.x() == c.x() && c.y() == d.y() && d.x() == a.x();
    if (!upright && !across)
        return false;
    const int x0 = int(std::min(a.x(), c.x())), x1 = int(std::max(a.x(), c.x()));
    const int y0 = int(std::min(a.y(), c.y())), y1 = int(std::max(a.y(), c.y()));
    if (x0 == x1 || y0 == y1)
        return false;
    rect = QRect(x0, y0, x1 - x0, y1 - y0);
    return true;
}

void RasterDeviceContext::fillBuilt(const QPainterPath& path, bool isRect, const QRect& rect)
{
    preparePainter(false, true);
    // An aliased upright rectangle covers the same pixels as its outline
    // filled, and the engine fills it as spans without rasterising.
    if (isRect && !m_antialias && m_state.rop2 == Rop2::CopyPen)
        painter().drawRect(rect);
    else
        painter().drawPath(path);
}

const QPainterPath& RasterDeviceContext::builtPath(bool closeAll)
{
    QPainterPath& path = m_path;
    path.clear();
    path.setFillRule(fillRule(m_state.fillMode));
    for (size_t i = 0; i < m_figureCount; ++i) {
        const Figure& figure = m_figures[i];
        if (figure.segments.empty())
            continue;
        path.moveTo(figure.start);
        for (const Segment& segment : figure.segments) {
            if (segment.curve)
                path.cubicTo(segment.c1, segment.c2, segment.end);
            else
                path.lineTo(segment.end);
        }
        if (figure.closed || closeAll)
            path.closeSubpath();
    }
    return path;
}

bool RasterDeviceContext::figuresHaveCurves() const
{
    for (size_t i = 0; i < m_figureCount; ++i)
        for (const Segment& segment : m_figures[i].segments)
            if (segment.curve)
                return true;
    return false;
}

void RasterDeviceContext::figuresToConverter(bool closeAll, bool stroke)
{
    for (size_t i = 0; i < m_figureCount; ++i) {
        const Figure& figure = m_figures[i];
        if (figure.segments.empty())
            continue;
        m_run.clear();
        m_run.push_back(toScanPoint(figure.start));
        for (const Segment& segment : figure.segments)
            m_run.push_back(toScanPoint(segment.end));
        if (stroke && spanStroke())
            addPenArea(figure.closed || closeAll);
        else if (stroke)
            thinLineSpans(m_run, figure.closed || closeAll);
        else
            m_converter.addPolygon(m_run);
    }
}

void RasterDeviceContext::paintBracket(bool fill, bool stroke, bool closeAll)
{
    if (m_pathState != PathState::Closed)
        return;
    fill = fill && !m_state.brush.isNull() && !m_image.isNull();
    stroke = stroke && !m_state.pen.isNull() && !m_image.isNull();
    const bool curves = (fill || stroke) && figuresHaveCurves();
    const bool fastFill = fill && !curves && spanFill();
    const bool fastStroke = stroke && !curves && (spanStroke() || spanThinLine());
    const QPainterPath* path = nullptr;
    QRect rect;
    bool isRect = false;
    if ((fill && !fastFill) || (stroke && !fastStroke)) {
        path = &builtPath(closeAll);
        isRect = figuresAreRect(rect);
    }
    if (fastFill) {
        figuresToConverter(true, false);
        fillSpans(m_state.fillMode == PolyFillMode::Winding);
    } else if (fill) {
        fillBuilt(*path, isRect, rect);
    }
    if (fastStroke) {
        figuresToConverter(closeAll, true);
        if (spanStroke())
            strokeSpans();
    } else if (stroke) {
        strokeQtPath(*path);
    }
    abortPath();
}

void RasterDeviceContext::fillPath()
{
    paintBracket(true, false, true);
}

void RasterDeviceContext::strokePath()
{
    paintBracket(false, true, false);
}

void RasterDeviceContext::strokeAndFillPath()
{
    paintBracket(true, true, true);
}

bool RasterDeviceContext::spanFill() const
{
    // Smoothed copying stays with QPainter; inverted drawing is never smoothed.
    if (m_image.isNull() || (m_antialias && m_state.rop2 == Rop2::CopyPen))
        return false;
    return m_state.brush.style == BrushStyle::Solid || m_state.brush.style == BrushStyle::Pattern;
}

bool RasterDeviceContext::spanStroke() const
{
    if (m_image.isNull() || (m_antialias && m_state.rop2 == Rop2::CopyPen))
        return false;
    const DcPen& pen = m_state.pen;
    if (pen.style != PenStyle::Solid || pen.width <= 1)
        return false;
    // Flat and mitred (the path pen), or round all over (a CreatePen pen).
    return !pen.geometric || (pen.cap == PenCap::Flat && pen.join == PenJoin::Miter)
        || (pen.cap == PenCap::Round && pen.join == PenJoin::Round);
}

void RasterDeviceContext::addPenArea(bool closed)
{
    const DcPen& pen = m_state.pen;
    if (pen.geometric && pen.cap == PenCap::Flat)
        addWideStroke(m_converter, m_run, closed, pen.width);
    else
        addRoundStroke(m_converter, m_run, closed, pen.width);
}

bool RasterDeviceContext::spanThinLine() const
{
    // Copying only: inverted lines keep QPainter's joining of their
    // segments, so that each pixel of a figure is inverted once.
    if (m_image.isNull() || m_antialias || m_state.rop2 != Rop2::CopyPen)
        return false;
    const DcPen& pen = m_state.pen;
    return pen.style == PenStyle::Solid && pen.width <= 1;
}

void RasterDeviceContext::thinLineSpans(std::span<const ScanPoint> points, bool closed)
{
    m_spans.clear();
    const size_t n = points.size();
    if (n < 2)
        return;
    for (size_t i = 0; i + (closed ? 0 : 1) < n; ++i) {
        const ScanPoint a = points[i], b = points[(i + 1) % n];
        addThinLine(int32_t(a.x), int32_t(a.y), int32_t(b.x), int32_t(b.y), m_image.width(), m_image.height(),
            m_spans);
    }
    paintSpans(true);
}

void RasterDeviceContext::fillSpans(bool winding)
{
    m_converter.rasterize(winding, m_image.width(), m_image.height(), m_spans);
    m_converter.reset();
    paintSpans(false);
}

void RasterDeviceContext::strokeSpans()
{
    // The pen's area is the union of its pieces.
    m_converter.rasterize(true, m_image.width(), m_image.height(), m_spans);
    m_converter.reset();
    paintSpans(true);
}

void RasterDeviceContext::paintSpans(bool withPen)
{
    if (m_spans.empty())
        return;
    // The painter, when there is one, writes into these same pixels as it
    // goes, so the two kinds of drawing keep their order.
    auto* bits = reinterpret_cast<uint32_t*>(m_image.bits());
    const size_t stride = size_t(m_image.bytesPerLine() / 4);
    const Rop2 rop = m_state.rop2;
    const DcBrush& brush = m_state.brush;
    const bool patterned = !withPen && brush.style == BrushStyle::Pattern;
    const uint32_t solid = toPixel(withPen ? m_state.pen.color : brush.color);
    const uint32_t ink = toPixel(m_state.textColor);
    const uint32_t back = toPixel(m_state.bkColor);
    if (rop == Rop2::Not) {
        for (const ScanSpan& span : m_spans) {
            uint32_t* row = bits + size_t(span.y) * stride;
            for (int32_t x = span.x0; x < span.x1; ++x)
                row[x] = ~row[x] | kOpaque;
        }
    } else if (patterned) {
        // Lined up with the device origin, as GDI's pattern brushes are.
        for (const ScanSpan& span : m_spans) {
            uint32_t* row = bits + size_t(span.y) * stride;
            const uint8_t pattern = brush.pattern[size_t(span.y & 7)];
            for (int32_t x = span.x0; x < span.x1; ++x) {
                const uint32_t source = (pattern >> (7 - (x & 7))) & 1 ? ink : back;
                row[x] = rop == Rop2::CopyPen ? source : (row[x] ^ source) | kOpaque;
            }
        }
    } else if (rop == Rop2::CopyPen) {
        for (const ScanSpan& span : m_spans)
            std::fill(
                bits + size_t(span.y) * stride + span.x0, bits + size_t(span.y) * stride + span.x1, solid);
    } else {
        for (const ScanSpan& span : m_spans) {
            uint32_t* row = bits + size_t(span.y) * stride;
            for (int32_t x = span.x0; x < span.x1; ++x)
                row[x] = (row[x] ^ solid) | kOpaque;
        }
    }
}

void RasterDeviceContext::setPixel(DcPoint point, ColorRef color)
{
    if (point.x < 0 || point.y < 0 || point.x >= m_image.width() || point.y >= m_image.height())
        return;
    uint32_t* bits = writableBits();
    bits[size_t(point.y) * size_t(m_image.bytesPerLine() / 4) + size_t(point.x)] = toPixel(color);
}

bool RasterDeviceContext::patBlt(int32_t x, int32_t y, int32_t width, int32_t height, RasterOp op)
{
    if (op != RasterOp::PatCopy && op != RasterOp::DstInvert && op != RasterOp::Blackness
        && op != RasterOp::Whiteness)
        return false;
    // Negative extents grow the rectangle leftwards or upwards.
    int64_t left = x, top = y, right = int64_t(x) + width, bottom = int64_t(y) + height;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, m_image.width());
    bottom = std::min<int64_t>(bottom, m_image.height());
    if (left >= right || top >= bottom)
        return true;
    const DcBrush& brush = m_state.brush;
    if (op == RasterOp::PatCopy && brush.isNull())
        return true;
    const uint32_t ink = toPixel(m_state.textColor);
    const uint32_t back = toPixel(m_state.bkColor);
    const uint32_t solid = toPixel(brush.color);
    uint32_t* bits = writableBits();
    const size_t stride = size_t(m_image.bytesPerLine() / 4);
    for (int64_t py = top; py < bottom; ++py) {
        uint32_t* row = bits + size_t(py) * stride;
        for (int64_t px = left; px < right; ++px) {
            uint32_t pattern = solid;
            if (brush.style == BrushStyle::Pattern)
                pattern = (brush.pattern[py & 7] >> (7 - (px & 7))) & 1 ? ink : back;
            switch (op) {
            case RasterOp::PatCopy:
                row[px] = pattern;
                break;
            case RasterOp::DstInvert:
                row[px] = ~row[px] | kOpaque;
                break;
            case RasterOp::Blackness:
                row[px] = kOpaque;
                break;
            default:
                row[px] = 0xffffffffu;
                break;
            }
        }
    }
    return true;
}

bool RasterDeviceContext::readPixels(
    int32_t x, int32_t y, int32_t width, int32_t height, std::vector<uint32_t>& out) const
{
    if (width < 0 || height < 0 || x < 0 || y < 0 || int64_t(x) + width > m_image.width()
        || int64_t(y) + height > m_image.height())
        return false;
    out.resize(size_t(width) * size_t(height));
    for (int32_t row = 0; row < height; ++row) {
        const auto* line = reinterpret_cast<const uint32_t*>(m_image.constScanLine(y + row)) + x;
        for (int32_t col = 0; col < width; ++col)
            out[size_t(row) * size_t(width) + size_t(col)] = line[col] & 0xffffffu;
    }
    return true;
}

bool RasterDeviceContext::bitBlt(int32_t x, int32_t y, int32_t width, int32_t height,
    const DeviceContext& source, int32_t sourceX, int32_t sourceY, RasterOp op)
{
    if (op != RasterOp::SrcCopy)
        return false;
    if (width < 0 || height < 0)
        return false;
    if (!clipRect(x, y, width, height, sourceX, sourceY, m_image.width(), m_image.height()))
        return true;
    if (const auto* raster = dynamic_cast<const RasterDeviceContext*>(&source)) {
        // Only what the source holds is copied; the rest of the destination stays.
        if (!clipRect(sourceX, sourceY, width, height, x, y, raster->width(), raster->height()))
            return true;
    }
    // Read first: the source may be this very buffer, overlapping the destination.
    std::vector<uint32_t> pixels;
    if (!source.readPixels(sourceX, sourceY, width, height, pixels))
        return false;
    uint32_t* bits = writableBits();
    const size_t stride = size_t(m_image.bytesPerLine() / 4);
    for (int32_t row = 0; row < height; ++row) {
        uint32_t* line = bits + size_t(y + row) * stride + size_t(x);
        const uint32_t* from = pixels.data() + size_t(row) * size_t(width);
        for (int32_t col = 0; col < width; ++col)
            line[col] = from[col] | kOpaque;
    }
    return true;
}

bool RasterDeviceContext::drawMappedImage(const RgbImageView& image, const QTransform& transform)
{
    if (!image.isValid() || m_image.isNull())
        return false;
    const QImage wrapped(image.pixels, image.width, image.height, image.stride, QImage::Format_RGB888);
    QPainter& p = painter();
    const Rop2 rop = m_state.rop2;
    // Images are copied whatever the line mode.
    m_state.rop2 = Rop2::CopyPen;
    preparePainter(false, false);
    m_state.rop2 = rop;
    p.setTransform(transform);
    p.drawImage(QPointF(0, 0), wrapped);
    p.resetTransform();
    m_applied.valid = false;
    return true;
}

bool RasterDeviceContext::stretchDIBits(int32_t x, int32_t y, int32_t width, int32_t height,
    const RgbImageView& image, int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight)
{
    if (!image.isValid() || sourceWidth <= 0 || sourceHeight <= 0)
        return false;
    if (sourceX < 0 || sourceY < 0 || int64_t(sourceX) + sourceWidth > image.width
        || int64_t(sourceY) + sourceHeight > image.height)
        return false;
    if (width == 0 || height == 0)
        return true;
    RgbImageView part = image;
    part.pixels = image.pixels + size_t(sourceY) * size_t(image.stride) + size_t(sourceX) * 3;
    part.width = sourceWidth;
    part.height = sourceHeight;
    const qreal sx = qreal(width) / sourceWidth;
    const qreal sy = qreal(height) / sourceHeight;
    return drawMappedImage(part, QTransform(sx, 0, 0, sy, x, y));
}

bool RasterDeviceContext::plgBlt(
    const RgbImageView& image, DcPoint topLeft, DcPoint topRight, DcPoint bottomLeft)
{
    if (!image.isValid())
        return false;
    const qreal w = image.width;
    const qreal h = image.height;
    const QTransform transform((topRight.x - topLeft.x) / w, (topRight.y - topLeft.y) / w,
        (bottomLeft.x - topLeft.x) / h, (bottomLeft.y - topLeft.y) / h, topLeft.x, topLeft.y);
    if (!transform.isInvertible())
        return true; // a degenerate parallelogram covers nothing
    return drawMappedImage(image, transform);
}

} // namespace zavora
