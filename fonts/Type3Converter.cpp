#include "fonts/Type3Converter.h"

#include "platform/FontSystem.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zavora {

namespace {

// Simple glyph point flags.
constexpr int kOnCurve = 0x01;
constexpr int kXShort = 0x02;
constexpr int kYShort = 0x04;
constexpr int kRepeat = 0x08;
constexpr int kXSameOrPositive = 0x10;
constexpr int kYSameOrPositive = 0x20;

// Composite glyph component flags.
constexpr int kArgsAreWords = 0x0001;
constexpr int kArgsAreOffsets = 0x0002;
constexpr int kHaveScale = 0x0008;
constexpr int kMoreComponents = 0x0020;
constexpr int kHaveXYScale = 0x0040;
constexpr int kHaveTwoByTwo = 0x0080;
constexpr int kScaledComponentOffset = 0x0800;
constexpr int kUnscaledComponentOffset = 0x1000;

const char kHeaderProcedures[] = "25 dict begin\r\n"
                                 "/_d{bind def}bind def\r\n"
                                 "/_m{moveto}_d\r\n"
                                 "/_l{lineto}_d\r\n"
                                 // Non-zero winding, as TrueType outlines are filled:
                                 // overlapping contours stay ink.
                                 "/_cl{closepath fill}_d\r\n"
                                 "/_c{curveto}_d\r\n"
                                 "/_sc{7 -1 roll{setcachedevice}{pop pop pop pop pop pop}ifelse}_d\r\n"
                                 "/_e{exec}_d\r\n";

const char kTrailer[] = "\r\n"
                        "/BuildGlyph\r\n"
                        " {exch begin\r\n"
                        " CharStrings exch\r\n"
                        " 2 copy known not{pop /.notdef}if\r\n"
                        " true 3 1 roll get exec\r\n"
                        " end}_d\r\n"
                        "\r\n"
                        "/BuildChar {\r\n"
                        " 1 index /Encoding get exch get\r\n"
                        " 1 index /BuildGlyph get exec\r\n"
                        "}_d\r\n"
                        "\r\n"
                        "FontName currentdict end definefont pop\r\n"
                        "%%EOF\r\n";

double f2dot14(std::int16_t v)
{
    return v / 16384.0;
}

} // namespace

bool Type3Converter::writeFont()
{
    auto hhea = table(sfntTag('h', 'h', 'e', 'a'));
    if (!hhea)
        return false;
    auto loca = table(sfntTag('l', 'o', 'c', 'a'));
    if (!loca)
        return false;
    auto glyf = table(sfntTag('g', 'l', 'y', 'f'));
    if (!glyf)
        return false;
    auto hmtx = table(sfntTag('h', 'm', 't', 'x'));
    if (!hmtx)
        return false;
    m_loca = *loca;
    m_glyf = *glyf;
    m_hmtx = *hmtx;
    m_numberOfHMetrics = std::min<int>(hhea->u16(34), int(m_hmtx.size() / 4));
    m_procedureCost = 0;
    readComponents();
    writeHeader();
    writeCharStrings("/.notdef{0 0 0 0 0 0 _sc}_d\r\n", [&](int glyph, const std::string& name) {
        put("/%s{\r\n", name.c_str());
        writeGlyph(glyph);
        putText("}_d\r\n");
    });
    putText(kTrailer);
    return true;
}

void Type3Converter::writeHeader()
{
    putText("%!PS-Adobe-3.0 Resource-Font\r\n");
    put("%%%%Title: %s\r\n", commentText(m_names.fullName).c_str());
    if (!m_names.notice.empty())
        put("%%%%Copyright: %s\r\n", commentText(m_names.notice).c_str());
    putText("%%Creator: Converted from TrueType by Zavora Draw\r\n");
    putText(kHeaderProcedures);
    put("/FontName /%s def\r\n", fontName().c_str());
    putText("/PaintType 0 def\r\n");
    putText("/FontMatrix[.001 0 0 .001 0 0]def\r\n");
    put("/FontBBox[%d %d %d %d]def\r\n", m_bbox[0], m_bbox[1], m_bbox[2], m_bbox[3]);
    putText("/FontType 3 def\r\n");
    writeEncoding();
    writeFontInfo(std::string::npos);
}

std::span<const std::uint8_t> Type3Converter::glyphData(int glyph) const
{
    std::size_t from, to;
    if (m_indexToLocFormat == 1) {
        if (!m_loca.has(4 * std::size_t(glyph), 8))
            return {};
        from = m_loca.u32(4 * std::size_t(glyph));
        to = m_loca.u32(4 * std::size_t(glyph) + 4);
    } else {
        if (!m_loca.has(2 * std::size_t(glyph), 4))
            return {};
        from = 2u * m_loca.u16(2 * std::size_t(glyph));
        to = 2u * m_loca.u16(2 * std::size_t(glyph) + 2);
    }
    if (to <= from || !m_glyf.has(from, to - from))
        return {};
    return m_glyf.slice(from, to - from);
}

void Type3Converter::writeOperator(Operator op, const char* format, ...)
{
    static constexpr int kCost[] = { 7, 3, 3, 7, 1 }; // in Operator order
    if (m_splitting) {
        const int opCost = kCost[static_cast<int>(op)];
        m_procedureCost += opCost;
        if (m_procedureCost > kMaxProcedureCost) {
            putText("}_e{\r\n");
            m_procedureCost = opCost + 3;
        }
    }
    va_list args;
    va_start(args, format);
    appendFormatted(outputBuffer(), format, args);
    va_end(args);
}

void Type3Converter::writeGlyph(int glyph)
{
    const BigEndianBytes data(glyphData(glyph));
    int contours = 0;
    int box[4] = {};
    if (data.has(0, 10)) {
        contours = data.s16(0);
        for (int k = 0; k < 4; ++k)
            box[k] = scaled(data.s16(2 + 2 * std::size_t(k)));
    }
    const int advanceEntry = std::min(glyph, m_numberOfHMetrics - 1);
    const int advance = advanceEntry >= 0 ? scaled(m_hmtx.u16(4 * std::size_t(advanceEntry))) : 0;

    Outline outline;
    const bool simple = contours > 0 && parseOutline(data, contours, outline);
    m_splitting = simple && outline.points.size() > std::size_t(kSplitPoints);
    if (m_splitting) {
        putText("{");
        m_procedureCost = 1;
    }
    writeOperator(Operator::SetCache, "%d 0 %d %d %d %d _sc\r\n", advance, box[0], box[1], box[2], box[3]);
    if (simple) {
        for (int contour : contourOrder(outline))
            writeContour(outline, contour);
        writeOperator(Operator::Fill, "_cl\r\n");
    } else if (contours < 0) {
        writeComposite(glyph);
    }
    if (m_splitting && m_procedureCost != 0)
        putText("}_e\r\n");
    m_splitting = false;
    m_procedureCost = 0;
    flushOutput();
}

bool Type3Converter::parseOutline(const BigEndianBytes& data, int contours, Outline& outline) const
{
    std::size_t at = 10;
    if (!data.has(at, 2 * std::size_t(contours) + 2))
        return false;
    int previous = -1;
    for (int c = 0; c < contours; ++c, at += 2) {
        const int end = data.u16(at);
        // End points go up; anything else is not an outline.
        if (end <= previous)
            return false;
        outline.endPoints.push_back(end);
        previous = end;
    }
    const std::size_t pointCount = std::size_t(previous) + 1;
    at += 2 + data.u16(at); // the instructions
    std::vector<std::uint8_t> flags;
    flags.reserve(pointCount);
    while (flags.size() < pointCount) {
        if (!data.has(at, 1))
            return false;
        const std::uint8_t flag = data.u8(at++);
        flags.push_back(flag);
        if (flag & kRepeat) {
            if (!data.has(at, 1))
                return false;
            const int repeat = data.u8(at++);
            if (flags.size() + std::size_t(repeat) > pointCount) {
                errorBox(
                    "Error in flags x=%d, ct=%d, num_pts=%d", int(flags.size()) - 1, repeat, int(pointCount));
                return false;
            }
            flags.insert(flags.end(), std::size_t(repeat), flag);
        }
    }
    outline.points.resize(pointCount);
    auto readCoordinates = [&](int shortBit, int sameOrPositiveBit, bool isX) {
        int value = 0;
        for (std::size_t i = 0; i < pointCount; ++i) {
            const std::uint8_t flag = flags[i];
            if (flag & shortBit) {
                if (!data.has(at, 1))
                    return false;
                const int delta = data.u8(at++);
                value += (flag & sameOrPositiveBit) ? delta : -delta;
            } else if (!(flag & sameOrPositiveBit)) {
                if (!data.has(at, 2))
                    return false;
                value += data.s16(at);
                at += 2;
            }
            (isX ? outline.points[i].x : outline.points[i].y) = value;
        }
        return true;
    };
    if (!readCoordinates(kXShort, kXSameOrPositive, true)
        || !readCoordinates(kYShort, kYSameOrPositive, false))
        return false;
    for (std::size_t i = 0; i < pointCount; ++i) {
        Point& p = outline.points[i];
        p = { scaled(p.x), scaled(p.y), (flags[i] & kOnCurve) != 0 };
    }
    return true;
}

std::vector<int> Type3Converter::contourOrder(const Outline& outline) const
{
    const int count = int(outline.endPoints.size());
    auto first = [&](int c) { return c == 0 ? 0 : outline.endPoints[std::size_t(c) - 1] + 1; };
    auto last = [&](int c) { return outline.endPoints[std::size_t(c)]; };
    std::vector<long long> area(std::size_t(count), 0);
    for (int c = 0; c < count; ++c) {
        for (int i = first(c); i <= last(c); ++i) {
            const Point& p = outline.points[std::size_t(i)];
            const Point& q = outline.points[std::size_t(i == last(c) ? first(c) : i + 1)];
            area[std::size_t(c)] += static_cast<long long>(q.y) * p.x - static_cast<long long>(q.x) * p.y;
        }
    }
    // How far inside outer contour `outer` the point lies: the signed distance
    // from the edges at the outer contour's point nearest to it, negative
    // inside (outer contours run clockwise, their inside on the right).
    auto containment = [&](int outer, const Point& p) {
        int nearest = first(outer);
        long long best = std::numeric_limits<long long>::max();
        for (int i = first(outer); i <= last(outer); ++i) {
            const Point& q = outline.points[std::size_t(i)];
            const long long dx = q.x - p.x, dy = q.y - p.y;
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                nearest = i;
            }
        }
        const int n = last(outer) - first(outer) + 1;
        auto at = [&](int i) {
            return outline.points[std::size_t(first(outer) + ((i - first(outer)) % n + n) % n)];
        };
        const Point& q = at(nearest);
        const Point& before = at(nearest - 1);
        const Point& after = at(nearest + 1);
        auto side = [&](const Point& a, const Point& b) {
            const double ex = b.x - a.x, ey = b.y - a.y;
            const double length = std::hypot(ex, ey);
            return length == 0 ? 0.0 : (ex * (p.y - a.y) - ey * (p.x - a.x)) / length;
        };
        const double in = side(before, q), out = side(q, after);
        const double turn
            = double(q.x - before.x) * (after.y - q.y) - double(q.y - before.y) * (after.x - q.x);
        // At a convex corner the point must be inside both edges, at a
        // reflex one inside either.
        return turn <= 0 ? std::max(in, out) : std::min(in, out);
    };
    std::vector<int> enclosing(std::size_t(count), -1);
    for (int c = 0; c < count; ++c) {
        if (area[std::size_t(c)] <= 0)
            continue;
        const Point& start = outline.points[std::size_t(first(c))];
        double closest = -std::numeric_limits<double>::infinity();
        for (int outer = 0; outer < count; ++outer) {
            if (area[std::size_t(outer)] >= 0)
                continue;
            const double m = containment(outer, start);
            if (m < 0 && m > closest) {
                closest = m;
                enclosing[std::size_t(c)] = outer;
            }
        }
    }
    // Holes by their enclosing contour (-1: none), in contour order.
    std::vector<std::vector<int>> holesOf(std::size_t(count) + 1);
    for (int c = 0; c < count; ++c)
        if (area[std::size_t(c)] > 0)
            holesOf[std::size_t(enclosing[std::size_t(c)] + 1)].push_back(c);
    std::vector<bool> visited(std::size_t(count), false);
    std::vector<int> order = { 0 };
    visited[0] = true;
    int current = area[0] < 0 ? 0 : -1;
    int nextOuter = 0;
    for (;;) {
        int next = -1;
        for (int hole : holesOf[std::size_t(current + 1)])
            if (!visited[std::size_t(hole)]) {
                next = hole;
                break;
            }
        if (next < 0) {
            while (
                nextOuter < count && (visited[std::size_t(nextOuter)] || area[std::size_t(nextOuter)] >= 0))
                ++nextOuter;
            if (nextOuter == count)
                break;
            next = current = nextOuter;
        }
        visited[std::size_t(next)] = true;
        order.push_back(next);
    }
    // Contours no outer one encloses (a font drawn the other way round) are
    // still ink.
    for (int c = 0; c < count; ++c)
        if (!visited[std::size_t(c)] && area[std::size_t(c)] != 0)
            order.push_back(c);
    return order;
}

void Type3Converter::writeContour(const Outline& outline, int contour)
{
    const int from = contour == 0 ? 0 : outline.endPoints[std::size_t(contour) - 1] + 1;
    const int to = outline.endPoints[std::size_t(contour)];
    const int n = to - from + 1;
    auto point = [&](int i) { return outline.points[std::size_t(from + i % n)]; };
    // Start on an on-curve point; a contour of off-curve points only starts
    // between its last and first points.
    int startIndex = -1;
    for (int i = 0; i < n && startIndex < 0; ++i)
        if (point(i).onCurve)
            startIndex = i;
    Point start;
    int walkFrom;
    if (startIndex >= 0) {
        start = point(startIndex);
        walkFrom = startIndex + 1;
    } else {
        start = { (point(n - 1).x + point(0).x) / 2, (point(n - 1).y + point(0).y) / 2, true };
        walkFrom = 0;
    }
    writeOperator(Operator::MoveTo, "%d %d _m\r\n", start.x, start.y);
    Point current = start;
    std::vector<Point> offCurve;
    const int walkTo = startIndex >= 0 ? startIndex + n : n;
    for (int i = walkFrom; i < walkTo; ++i) {
        const Point p = point(i);
        if (!p.onCurve) {
            offCurve.push_back(p);
            continue;
        }
        if (offCurve.empty())
            writeOperator(Operator::LineTo, "%d %d _l\r\n", p.x, p.y);
        else
            writeCurves(current, offCurve, p);
        offCurve.clear();
        current = p;
    }
    if (offCurve.empty())
        writeOperator(Operator::LineTo, "%d %d _l\r\n", start.x, start.y);
    else
        writeCurves(current, offCurve, start);
}

void Type3Converter::writeCurves(Point from, const std::vector<Point>& offCurve, Point to)
{
    for (std::size_t k = 0; k < offCurve.size(); ++k) {
        const Point& q = offCurve[k];
        const Point s
            = k == 0 ? from : Point { (offCurve[k - 1].x + q.x) / 2, (offCurve[k - 1].y + q.y) / 2 };
        const Point e = k + 1 == offCurve.size()
            ? to
            : Point { (q.x + offCurve[k + 1].x) / 2, (q.y + offCurve[k + 1].y) / 2 };
        writeOperator(Operator::CurveTo, "%d %d %d %d %d %d _c\r\n", (2 * q.x + s.x) / 3, (2 * q.y + s.y) / 3,
            (2 * q.x + e.x) / 3, (2 * q.y + e.y) / 3, e.x, e.y);
    }
}

std::vector<Type3Converter::Component> Type3Converter::components(int glyph) const
{
    std::vector<Component> list;
    const BigEndianBytes data(glyphData(glyph));
    if (!data.has(0, 10) || data.s16(0) >= 0)
        return list;
    std::size_t at = 10;
    for (;;) {
        if (!data.has(at, 4))
            break;
        const int flags = data.u16(at);
        Component c;
        c.glyph = data.u16(at + 2);
        at += 4;
        const std::size_t argBytes = (flags & kArgsAreWords) ? 4 : 2;
        if (!data.has(at, argBytes))
            break;
        if (flags & kArgsAreWords) {
            c.arg1 = data.s16(at);
            c.arg2 = data.s16(at + 2);
        } else {
            c.arg1 = static_cast<std::int8_t>(data.u8(at));
            c.arg2 = static_cast<std::int8_t>(data.u8(at + 1));
        }
        at += argBytes;
        c.offsets = (flags & kArgsAreOffsets) != 0;
        // A component's own scale or 2 x 2 transform: drawn with it.
        const std::size_t scaleWords = (flags & kHaveTwoByTwo) ? 4
            : (flags & kHaveXYScale)                           ? 2
            : (flags & kHaveScale)                             ? 1
                                                               : 0;
        if (!data.has(at, 2 * scaleWords))
            break;
        if (scaleWords == 1) {
            c.matrix[0] = c.matrix[3] = f2dot14(data.s16(at));
        } else if (scaleWords == 2) {
            c.matrix[0] = f2dot14(data.s16(at));
            c.matrix[3] = f2dot14(data.s16(at + 2));
        } else if (scaleWords == 4) {
            for (int k = 0; k < 4; ++k)
                c.matrix[std::size_t(k)] = f2dot14(data.s16(at + 2 * std::size_t(k)));
        }
        at += 2 * scaleWords;
        c.transformed = c.matrix != std::array<double, 4> { 1, 0, 0, 1 };
        c.scaledOffset = (flags & kScaledComponentOffset) && !(flags & kUnscaledComponentOffset);
        list.push_back(c);
        if (!(flags & kMoreComponents))
            break;
    }
    return list;
}

void Type3Converter::writeComposite(int glyph)
{
    const std::vector<std::string>& names = glyphNames();
    for (const Component& c : m_components[std::size_t(glyph)]) {
        if (c.glyph >= m_numGlyphs || c.closesCycle)
            continue;
        double dx = 0, dy = 0;
        if (!c.offsets) {
            put("%% unimplemented shift, arg1=%d, arg2=%d\r\n", c.arg1, c.arg2);
        } else {
            dx = c.arg1;
            dy = c.arg2;
            if (c.scaledOffset) {
                const double x = dx;
                dx = c.matrix[0] * x + c.matrix[2] * dy;
                dy = c.matrix[1] * x + c.matrix[3] * dy;
            }
        }
        const int x = scaled(int(std::lround(dx))), y = scaled(int(std::lround(dy)));
        const bool bracket = x != 0 || y != 0 || c.transformed;
        if (x != 0 || y != 0)
            put("gsave %d %d translate\r\n", x, y);
        else if (bracket)
            putText("gsave\r\n");
        if (c.transformed)
            put("[%g %g %g %g 0 0] concat\r\n", c.matrix[0], c.matrix[1], c.matrix[2], c.matrix[3]);
        put("false CharStrings /%s get exec\r\n", names[std::size_t(c.glyph)].c_str());
        if (bracket)
            putText("grestore\r\n");
    }
}

void Type3Converter::readComponents()
{
    m_components.assign(std::size_t(m_numGlyphs), {});
    for (int glyph = 0; glyph < m_numGlyphs; ++glyph)
        m_components[std::size_t(glyph)] = components(glyph);
    // Depth-first over the component graph without recursion: a component
    // leading back to a glyph still being walked closes a cycle.
    enum class State : std::uint8_t { New, Walking, Done };
    std::vector<State> state(std::size_t(m_numGlyphs), State::New);
    struct Frame {
        int glyph;
        std::size_t next = 0;
    };
    for (int root = 0; root < m_numGlyphs; ++root) {
        if (state[std::size_t(root)] != State::New)
            continue;
        std::vector<Frame> stack;
        stack.push_back({ root });
        state[std::size_t(root)] = State::Walking;
        while (!stack.empty()) {
            Frame& top = stack.back();
            std::vector<Component>& parts = m_components[std::size_t(top.glyph)];
            if (top.next == parts.size()) {
                state[std::size_t(top.glyph)] = State::Done;
                stack.pop_back();
                continue;
            }
            const std::size_t position = top.next++;
            const int child = parts[position].glyph;
            if (child >= m_numGlyphs)
                continue;
            if (state[std::size_t(child)] == State::Walking) {
                parts[position].closesCycle = true;
            } else if (state[std::size_t(child)] == State::New) {
                state[std::size_t(child)] = State::Walking;
                stack.push_back({ child });
            }
        }
    }
}

} // namespace zavora
