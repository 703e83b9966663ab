#include "output/IllustratorPort.h"

#include "model/DrawingLimits.h"
#include "model/FontEntry.h"
#include "model/OutlineGeometry.h"
#include "platform/NumberFormat.h"

namespace zavora {

bool IllustratorPort::beginPage(const DocumentInfo& info, bool, ProgressMonitor*)
{
    writerState().resetCache();
    putText("%!PS-Adobe-2.0 EPSF-1.2\r\n");
    putText("%%Creator: Adobe Illustrator(TM) for Windows, version 4.0\r\n");
    put("%%%%BoundingBox: %d %d %d %d\r\n", info.x0, info.y0, info.x1, info.y1);
    put("%%%%TemplateBox: %d %d %d %d\r\n", info.x0, info.y0, info.x1, info.y1);
    putText("%%EndComments\r\n%%BeginProlog\r\n%%EndProlog\r\n%%BeginSetup\r\n%%EndSetup\r\n");
    // The state the cache starts from: white fill, black line.
    putText("0 0 0 0 k\r\n1 1 1 0 K\r\n");
    writerState().fillColorWritten = true;
    return true;
}

void IllustratorPort::endPage(ProgressMonitor*)
{
    putText("%%Trailer\r\n");
    flush();
}

void IllustratorPort::writeStyle(const PaintStyle& style)
{
    writeFillColor(style);
    writeLineAttributes(style);
}

namespace {

// "x y" of the point mapped to page space.
void appendPagePair(std::string& out, const Matrix& m, float x, float y)
{
    char buf[kNumberBufferSize];
    out.append(buf, formatGeneral(buf, clampCoordinate(double(m.a) * x + double(m.c) * y + m.tx)));
    out += ' ';
    out.append(buf, formatGeneral(buf, clampCoordinate(double(m.b) * x + double(m.d) * y + m.ty)));
}

} // namespace

void IllustratorPort::appendPoint(std::string& out, const Matrix& m, float x, float y, const char* op)
{
    appendPagePair(out, m, x, y);
    out += ' ';
    out += op;
    out += "\r\n";
}

void IllustratorPort::appendSegment(
    std::string& out, const Matrix& m, const BezierNode& from, const BezierNode& to, const char* op)
{
    appendPagePair(out, m, from.outX, from.outY);
    out += ' ';
    appendPagePair(out, m, to.inX, to.inY);
    out += ' ';
    appendPoint(out, m, to.x, to.y, op);
}

// The base conversions to curve paths, which this port writes in page space.
void IllustratorPort::ellipse(
    const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry)
{
    OutputPort::ellipse(style, matrix, cx, cy, rx, ry);
}

void IllustratorPort::arc(const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx,
    float ry, float start, float end, int arrow1, int arrow2)
{
    OutputPort::arc(style, matrix, cx, cy, rx, ry, start, end, arrow1, arrow2);
}

void IllustratorPort::roundRectangle(
    const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2, float rx, float ry)
{
    OutputPort::roundRectangle(style, matrix, x1, y1, x2, y2, rx, ry);
}

void IllustratorPort::image(const Matrix&, const ImageObject&) { }

void IllustratorPort::paintPath(const PaintStyle& style, const std::string& path, bool closed)
{
    writeStyle(style);
    putText(path);
    writePaintOperator(style, closed);
}

void IllustratorPort::strokeLine(const PaintStyle& style, const std::string& path)
{
    writeLineAttributes(style);
    putText(path);
    // The format's own operator for an open, unfilled path: stroke or none.
    PaintStyle unfilled = style;
    unfilled.setFillOn(false);
    writePaintOperator(unfilled, false);
}

void IllustratorPort::line(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2,
    float y2, int arrow1, int arrow2)
{
    std::string path;
    appendPoint(path, matrix, x1, y1, "m");
    appendPoint(path, matrix, x2, y2, lineTo());
    strokeLine(style, path);
    drawArrowheads(*this, style, matrix, { { x1, y1 }, { x2, y2 }, { x2, y2 }, { x1, y1 } }, arrow1, arrow2);
}

void IllustratorPort::polyline(const PaintStyle& style, const Matrix& matrix, const PointList& points,
    bool closed, int arrow1, int arrow2)
{
    if (points.empty())
        return;
    std::string path;
    appendPoint(path, matrix, points[0].x, points[0].y, "m");
    for (std::size_t i = 1; i < points.size(); ++i)
        appendPoint(path, matrix, points[i].x, points[i].y, lineTo());
    if (closed)
        appendPoint(path, matrix, points[0].x, points[0].y, lineTo());
    paintPath(style, path, closed);
    if (closed)
        return;
    if (auto ends = polylineEnds(points))
        drawArrowheads(*this, style, matrix, *ends, arrow1, arrow2);
}

void IllustratorPort::curvePath(
    const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed, int arrow1, int arrow2)
{
    if (nodes.empty())
        return;
    std::string path;
    appendPoint(path, matrix, nodes[0].x, nodes[0].y, "m");
    auto segment = [&](const BezierNode& from, const BezierNode& to) {
        appendSegment(path, matrix, from, to, curveTo(to));
    };
    for (std::size_t j = 1; j < nodes.size(); ++j)
        segment(nodes[j - 1], nodes[j]);
    if (closed)
        segment(nodes.back(), nodes.front());
    paintPath(style, path, closed);
    if (closed)
        return;
    if (auto ends = curveEnds(nodes))
        drawArrowheads(*this, style, matrix, *ends, arrow1, arrow2);
}

void IllustratorPort::rectangle(
    const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2)
{
    std::string path;
    appendPoint(path, matrix, x1, y1, "m");
    appendPoint(path, matrix, x1, y2, "L");
    appendPoint(path, matrix, x2, y2, "L");
    appendPoint(path, matrix, x2, y1, "L");
    appendPoint(path, matrix, x1, y1, "L");
    paintPath(style, path, true);
}

void IllustratorPort::text(const PaintStyle& style, const Matrix& matrix, const std::string& text,
    const FontEntry* font, float size, float leading, TextAlign align, const float box[4])
{
    // The format has no justification: such text is set flush left.
    if (align == TextAlign::Justified)
        align = TextAlign::Left;
    beginTextBlock(style, matrix, font, size, leading, align, box);
    // One "t" per line; paragraph ends and line breaks alike end a line.
    const std::string_view all = text;
    std::size_t start = 0;
    for (;;) {
        const std::size_t stop = all.find_first_of("\r\n", start);
        const bool atEnd = stop == std::string_view::npos;
        const std::string_view piece = all.substr(start, atEnd ? std::string_view::npos : stop - start);
        if (atEnd && piece.empty() && start > 0)
            break;
        put("(%s) t\r\n", escapePostScriptString(piece).c_str());
        if (atEnd)
            break;
        start = stop + 1;
    }
    putText("T\r\n");
}

} // namespace zavora
