#include "raster/GdiPort.h"

#include "model/FontEntry.h"
#include "model/ImageObject.h"
#include "model/OutlineGeometry.h"
#include "model/TextLayout.h"
#include "model/TextObject.h"
#include "model/TextPaintSinks.h"
#include "raster/DeviceRounding.h"
#include "raster/DeviceTextCanvas.h"
#include "raster/HatchPatterns.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

DcPoint truncatedPoint(Point p)
{
    return { truncateToDevice(p.x), truncateToDevice(p.y) };
}
DcPoint roundedPoint(float x, float y)
{
    return { roundHalfUpToDevice(x), roundHalfUpToDevice(y) };
}

int colorByte(float percent)
{
    if (std::isnan(percent))
        return 0;
    // Out-of-range components wrap through the mask as the conversion always did.
    const float value = std::fmax(-1.0e6f, std::fmin(1.0e6f, percent * 255 / 100));
    return int(value) & 0xff;
}

PathElement element(PathKind kind, Point p = {})
{
    PathElement e;
    e.kind = kind;
    e.x1 = p.x;
    e.y1 = p.y;
    return e;
}

PathElement curveElement(Point c1, Point c2, Point end)
{
    PathElement e;
    e.kind = PathKind::Curve;
    e.x1 = c1.x, e.y1 = c1.y;
    e.x2 = c2.x, e.y2 = c2.y;
    e.x3 = end.x, e.y3 = end.y;
    return e;
}

// One sub-path of a compound path, flattened to device floats.
struct Run {
    PointList points;
    bool closed = false;
};

std::vector<Run> flattenElements(const std::vector<PathElement>& elements)
{
    std::vector<Run> runs;
    Point current;
    Point start;
    auto openRun = [&]() -> Run& {
        if (runs.empty() || runs.back().closed) {
            runs.push_back({ { current }, false });
        }
        return runs.back();
    };
    for (const PathElement& e : elements) {
        switch (e.kind) {
        case PathKind::Move:
            current = start = { e.x1, e.y1 };
            runs.push_back({ { current }, false });
            break;
        case PathKind::Line:
            current = { e.x1, e.y1 };
            openRun().points.push_back(current);
            break;
        case PathKind::Curve: {
            Run& run = openRun();
            const Point end { e.x3, e.y3 };
            flattenBezier(run.points, current, { e.x1, e.y1 }, { e.x2, e.y2 }, end, kDeviceFlatness);
            current = end;
            break;
        }
        case PathKind::Close:
            if (!runs.empty() && !runs.back().closed) {
                runs.back().closed = true;
                current = start;
            }
            break;
        }
    }
    return runs;
}

bool hasOpenFigure(const std::vector<PathElement>& elements)
{
    bool open = false;
    for (const PathElement& e : elements) {
        if (e.kind == PathKind::Move) {
            if (open)
                return true;
            open = true;
        } else if (e.kind == PathKind::Close) {
            open = false;
        } else {
            open = true;
        }
    }
    return open;
}

} // namespace

PenStyle dashPenStyle(int dashIndex)
{
    switch (dashIndex) {
    case 0:
        return PenStyle::Dash;
    case 1:
        return PenStyle::Dot;
    case 2:
        return PenStyle::DashDot;
    default:
        return PenStyle::DashDotDot;
    }
}

ColorRef gdiColor(const Color& color)
{
    return makeColorRef(colorByte(color.red), colorByte(color.green), colorByte(color.blue));
}

GdiPort::StyleSelection::StyleSelection(GdiPort& port, const PaintStyle& style, bool pathPen)
    : m_dc(*port.m_dc)
{
    DcPen pen = DcPen::null();
    if (style.strokeOn()) {
        const ColorRef ink = gdiColor(style.lineColor());
        if (style.isDashed()) {
            // Dashed lines are one pixel wide on a raster device, whatever the width field says.
            pen = DcPen::cosmetic(dashPenStyle(style.dashIndex()), ink);
        } else {
            const int32_t width = std::max(1, roundHalfUpToDevice(style.lineWidth() * port.m_scale));
            pen = pathPen ? DcPen::geometricFlat(ink, width) : DcPen::solid(ink, width);
        }
    }
    DcBrush brush = DcBrush::null();
    if (style.fillOn()) {
        const HatchPattern* hatch = style.hasPattern() ? hatchPattern(style.fillPattern()) : nullptr;
        if (hatch) {
            // Black ink over the fill colour.
            brush = DcBrush::patterned(hatch->rows);
            m_previousText = m_dc.setTextColor(kBlackRef);
            m_previousBack = m_dc.setBkColor(gdiColor(style.fillColor()));
            m_hatchSelected = true;
        } else {
            brush = DcBrush::solid(gdiColor(style.fillColor()));
        }
    }
    m_previousPen = m_dc.selectPen(pen);
    m_previousBrush = m_dc.selectBrush(brush);
}

GdiPort::StyleSelection::~StyleSelection()
{
    m_dc.selectPen(m_previousPen);
    m_dc.selectBrush(m_previousBrush);
    if (m_hatchSelected) {
        m_dc.setTextColor(m_previousText);
        m_dc.setBkColor(m_previousBack);
    }
}

GdiPort::GdiPort(DeviceContext& dc, const Matrix& pageToDevice)
    : m_dc(&dc)
    , m_pageToDevice(pageToDevice)
{ }

bool GdiPort::beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor)
{
    (void)info, (void)downloadFonts, (void)monitor;
    return true;
}

void GdiPort::endPage(ProgressMonitor* monitor)
{
    (void)monitor;
}

void GdiPort::beginCompoundPath()
{
    ++m_groupDepth;
}

void GdiPort::endCompoundPath()
{
    if (m_groupDepth <= 0)
        return;
    if (--m_groupDepth == 0)
        flushCompoundPath();
}

KMatrix GdiPort::deviceMatrix(const Matrix& matrix) const
{
    return multiply(KMatrix(matrix), KMatrix(m_pageToDevice));
}

void GdiPort::appendPending(const PaintStyle& style, const std::vector<PathElement>& elements)
{
    // The compound path paints with the style of its last child.
    m_pendingStyle = style;
    m_pendingPath.insert(m_pendingPath.end(), elements.begin(), elements.end());
}

std::vector<PathElement> GdiPort::runElements(
    const Matrix& matrix, const PointList& points, bool closed) const
{
    const KMatrix m = deviceMatrix(matrix);
    std::vector<PathElement> out;
    out.reserve(points.size() + 1);
    for (size_t i = 0; i < points.size(); ++i)
        out.push_back(element(i == 0 ? PathKind::Move : PathKind::Line, transformPoint(m, points[i])));
    if (closed && !points.empty())
        out.push_back(element(PathKind::Close));
    return out;
}

std::vector<PathElement> GdiPort::curveElements(
    const Matrix& matrix, const NodeList& nodes, bool closed) const
{
    std::vector<PathElement> out;
    if (nodes.empty())
        return out;
    const KMatrix m = deviceMatrix(matrix);
    auto segment = [&](const BezierNode& from, const BezierNode& to) {
        out.push_back(curveElement(transformPoint(m, { from.outX, from.outY }),
            transformPoint(m, { to.inX, to.inY }), transformPoint(m, { to.x, to.y })));
    };
    out.push_back(element(PathKind::Move, transformPoint(m, { nodes[0].x, nodes[0].y })));
    for (size_t i = 1; i < nodes.size(); ++i)
        segment(nodes[i - 1], nodes[i]);
    if (closed) {
        if (nodes.size() > 1)
            segment(nodes.back(), nodes.front());
        out.push_back(element(PathKind::Close));
    }
    return out;
}

void GdiPort::drawRun(const PaintStyle& style, const std::vector<DcPoint>& points, bool closed)
{
    if (points.size() < 2 || (!style.strokeOn() && !style.fillOn()))
        return;
    StyleSelection selection(*this, style, false);
    if (closed) {
        m_dc->polygon(points);
    } else if (!style.fillOn()) {
        m_dc->polyline(points);
    } else if (!style.strokeOn()) {
        m_dc->polygon(points);
    } else {
        // Filled closed, stroked open: the closing edge gets no stroke.
        m_dc->saveDC();
        m_dc->selectPen(DcPen::null());
        m_dc->polygon(points);
        m_dc->restoreDC();
        m_dc->polyline(points);
    }
}

void GdiPort::line(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
    int arrow1, int arrow2)
{
    const PointList points { { x1, y1 }, { x2, y2 } };
    if (m_groupDepth > 0) {
        appendPending(style, runElements(matrix, points, false));
        return;
    }
    if (style.strokeOn()) {
        const KMatrix m = deviceMatrix(matrix);
        StyleSelection selection(*this, style, false);
        m_dc->moveTo(truncatedPoint(transformPoint(m, points[0])));
        m_dc->lineTo(truncatedPoint(transformPoint(m, points[1])));
    }
    if (auto ends = polylineEnds(points))
        drawArrowheads(*this, style, matrix, *ends, arrow1, arrow2);
}

void GdiPort::polyline(const PaintStyle& style, const Matrix& matrix, const PointList& points, bool closed,
    int arrow1, int arrow2)
{
    if (m_groupDepth > 0) {
        appendPending(style, runElements(matrix, points, closed));
        return;
    }
    const KMatrix m = deviceMatrix(matrix);
    std::vector<DcPoint> device;
    device.reserve(points.size());
    for (Point p : points)
        device.push_back(truncatedPoint(transformPoint(m, p)));
    drawRun(style, device, closed);
    if (auto ends = polylineEnds(points))
        drawArrowheads(*this, style, matrix, *ends, arrow1, arrow2);
}

void GdiPort::curvePath(
    const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed, int arrow1, int arrow2)
{
    if (m_groupDepth > 0) {
        appendPending(style, curveElements(matrix, nodes, closed));
        return;
    }
    // Flattened in device pixels, so curves stay smooth at any resolution.
    const KMatrix m = deviceMatrix(matrix);
    NodeList device = nodes;
    for (BezierNode& n : device) {
        const Point anchor = transformPoint(m, { n.x, n.y });
        const Point in = transformPoint(m, { n.inX, n.inY });
        const Point out = transformPoint(m, { n.outX, n.outY });
        n.x = anchor.x, n.y = anchor.y;
        n.inX = in.x, n.inY = in.y;
        n.outX = out.x, n.outY = out.y;
    }
    const PointList flat = flattenNodes(device, closed, kDeviceFlatness);
    std::vector<DcPoint> points;
    points.reserve(flat.size());
    for (Point p : flat)
        points.push_back(truncatedPoint(p));
    drawRun(style, points, closed);
    if (auto ends = curveEnds(nodes))
        drawArrowheads(*this, style, matrix, *ends, arrow1, arrow2);
}

GdiPort::TextFrame GdiPort::textFrame(const float box[4])
{
    if (!box)
        return {};
    return { std::min(box[0], box[2]), std::max(box[0], box[2]), std::max(box[1], box[3]) };
}

void GdiPort::text(const PaintStyle& style, const Matrix& matrix, const std::string& text,
    const FontEntry* font, float size, float leading, TextAlign align, const float box[4])
{
    font = drawableFont(font);
    if (!font || text.empty() || !(size > 0))
        return;
    const auto [left, right, top] = textFrame(box);

    DeviceTextCanvas canvas(*m_dc, KMatrix(m_pageToDevice));
    canvas.concat(matrix);
    canvas.setTextColor(style.textColor());
    canvas.selectFont(font, size);

    constexpr std::size_t kMaxLine = TextLayoutSink::kMaxLineLength;
    double baseline = top - font->ascent(size);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string::npos)
            stop = text.size();
        // A longer stretch without a break goes on as further lines.
        const bool cut = stop - start > kMaxLine;
        if (cut)
            stop = start + kMaxLine;
        const std::string_view line(text.data() + start, stop - start);
        const double width = font->stringWidth(line, size);
        double x = left;
        double extra = 0;
        switch (align) {
        case TextAlign::Centre:
            x = (left + right) / 2 - width / 2;
            break;
        case TextAlign::Right:
            x = right - width;
            break;
        case TextAlign::Justified: {
            // A paragraph's last line is set flush left.
            const bool hardEnd = stop == text.size() || (!cut && text[stop] == '\r');
            const auto spaces = std::count(line.begin(), line.end(), ' ');
            if (!hardEnd && spaces > 0)
                extra = (right - left - width) / double(spaces);
            break;
        }
        default:
            break;
        }
        canvas.drawText(float(x), float(baseline), line, extra);
        baseline -= leading;
        start = cut ? stop : stop + 1;
    }
}

void GdiPort::textBlock(const TextObject& object)
{
    if (!object.font())
        return;
    // The layout walk the screen draws with: a run starts a line of its own
    // and keeps its font and size, which text() above, with one font for the
    // whole block, cannot do.
    DeviceTextCanvas canvas(*m_dc, KMatrix(m_pageToDevice));
    TextDrawSink::instance().draw(object, canvas);
}

void GdiPort::rectangle(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2)
{
    // Four transformed corners, so a rotated rectangle stays exact.
    const PointList corners { { x1, y1 }, { x2, y1 }, { x2, y2 }, { x1, y2 } };
    polyline(style, matrix, corners, true, kArrowNone, kArrowNone);
}

void GdiPort::image(const Matrix& matrix, const ImageObject& image)
{
    if (m_groupDepth > 0 || !image.hasPixels())
        return;
    const RgbImageView view { image.pixels().data(), image.width(), image.height(), image.width() * 3 };
    if (!view.isValid())
        return;
    // Row 0 is the top of the unit square.
    const KMatrix m = deviceMatrix(matrix);
    const DcPoint topLeft = truncatedPoint(transformPoint(m, { 0, 1 }));
    const DcPoint topRight = truncatedPoint(transformPoint(m, { 1, 1 }));
    const DcPoint bottomLeft = truncatedPoint(transformPoint(m, { 0, 0 }));
    const bool axisAligned = topLeft.y == topRight.y && topLeft.x == bottomLeft.x;
    if (!axisAligned && m_dc->plgBlt(view, topLeft, topRight, bottomLeft))
        return;
    const DcPoint bottomRight = truncatedPoint(transformPoint(m, { 1, 0 }));
    m_dc->stretchDIBits(topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y, view, 0,
        0, view.width, view.height);
}

std::vector<PathElement> GdiPort::takePendingPath()
{
    std::vector<PathElement> elements = std::move(m_pendingPath);
    m_pendingPath.clear();
    return elements;
}

void GdiPort::flushCompoundPath()
{
    const std::vector<PathElement> elements = takePendingPath();
    const PaintStyle& style = m_pendingStyle;
    if (elements.empty() || (!style.strokeOn() && !style.fillOn()))
        return;

    std::vector<DcPoint> points;
    std::vector<int32_t> counts;
    bool anyOpen = false;
    for (const Run& run : flattenElements(elements)) {
        if (run.points.size() < 2)
            continue;
        for (Point p : run.points)
            points.push_back(truncatedPoint(p));
        int32_t count = int32_t(run.points.size());
        if (run.closed) {
            // Stroked as polylines, closed runs need their closing point.
            const DcPoint first = points[points.size() - size_t(count)];
            points.push_back(first);
            ++count;
        } else {
            anyOpen = true;
        }
        counts.push_back(count);
    }
    if (counts.empty())
        return;

    StyleSelection selection(*this, style, false);
    if (!style.fillOn()) {
        m_dc->polyPolyline(points, counts);
        return;
    }
    // Inner outlines become holes.
    const PolyFillMode previousMode = m_dc->setPolyFillMode(PolyFillMode::Alternate);
    if (anyOpen && style.strokeOn()) {
        m_dc->saveDC();
        m_dc->selectPen(DcPen::null());
        m_dc->polyPolygon(points, counts);
        m_dc->restoreDC();
        m_dc->polyPolyline(points, counts);
    } else {
        m_dc->polyPolygon(points, counts);
    }
    m_dc->setPolyFillMode(previousMode);
}

void GdiPort::drawPath(const std::vector<PathElement>& elements, const PaintStyle& style)
{
    if (elements.empty())
        return;
    auto build = [&] {
        m_dc->beginPath();
        for (const PathElement& e : elements) {
            switch (e.kind) {
            case PathKind::Move:
                m_dc->moveTo(roundedPoint(e.x1, e.y1));
                break;
            case PathKind::Line:
                m_dc->lineTo(roundedPoint(e.x1, e.y1));
                break;
            case PathKind::Curve: {
                const DcPoint controls[3]
                    = { roundedPoint(e.x1, e.y1), roundedPoint(e.x2, e.y2), roundedPoint(e.x3, e.y3) };
                m_dc->polyBezierTo(controls);
                break;
            }
            case PathKind::Close:
                m_dc->closeFigure();
                break;
            }
        }
        m_dc->endPath();
    };
    const bool fill = style.fillOn();
    const bool stroke = style.strokeOn();
    if (!fill && !stroke)
        return;
    StyleSelection selection(*this, style, true);
    const BkMode previousMode = m_dc->setBkMode(BkMode::Transparent);
    build();
    if (fill && stroke && hasOpenFigure(elements)) {
        m_dc->saveDC();
        m_dc->selectPen(DcPen::null());
        m_dc->fillPath();
        m_dc->restoreDC();
        build();
        m_dc->strokePath();
    } else if (fill && stroke) {
        m_dc->strokeAndFillPath();
    } else if (stroke) {
        m_dc->strokePath();
    } else {
        m_dc->fillPath();
    }
    m_dc->setBkMode(previousMode);
}

void GdiPort::drawCurveAsPath(
    const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed, int arrow1, int arrow2)
{
    if (m_groupDepth > 0) {
        appendPending(style, curveElements(matrix, nodes, closed));
        return;
    }
    drawPath(curveElements(matrix, nodes, closed), style);
    if (auto ends = curveEnds(nodes))
        drawArrowheads(*this, style, matrix, *ends, arrow1, arrow2);
}

} // namespace zavora
