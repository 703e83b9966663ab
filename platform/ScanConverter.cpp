#include "platform/ScanConverter.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

// floor() for the coordinates in use (well inside 64 bits), without a library call.
int64_t floorToInt(double v)
{
    const auto i = int64_t(v);
    return i - (double(i) > v);
}

bool finite(ScanPoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

} // namespace

void ScanConverter::reset()
{
    m_edges.clear();
    m_open = false;
}

void ScanConverter::moveTo(ScanPoint p)
{
    closeFigure();
    m_start = m_last = p;
    m_open = true;
}

void ScanConverter::lineTo(ScanPoint p)
{
    if (!m_open) {
        moveTo(p);
        return;
    }
    addEdge(m_last, p);
    m_last = p;
}

void ScanConverter::closeFigure()
{
    if (!m_open)
        return;
    addEdge(m_last, m_start);
    m_open = false;
}

void ScanConverter::addPolygon(std::span<const ScanPoint> points)
{
    if (points.size() < 2)
        return;
    moveTo(points[0]);
    for (size_t i = 1; i < points.size(); ++i)
        lineTo(points[i]);
    closeFigure();
}

void ScanConverter::addEdge(ScanPoint from, ScanPoint to)
{
    if (from.y == to.y || !finite(from) || !finite(to))
        return;
    const int32_t direction = to.y > from.y ? 1 : -1;
    if (direction < 0)
        std::swap(from, to);
    // Row y samples y + 0.5 (nudged upwards): the edge crosses it when
    // top < y + 0.5 <= bottom.
    Edge e;
    e.x = from.x;
    e.y = from.y;
    e.slope = (to.x - from.x) / (to.y - from.y);
    // Far beyond any buffer either way is as good as infinitely far.
    constexpr double kFar = 1e15;
    const double top = from.y > -kFar ? from.y : -kFar, bottom = to.y < kFar ? to.y : kFar;
    e.firstRow = floorToInt(top - 0.5) + 1;
    e.lastRow = floorToInt(bottom - 0.5);
    e.direction = direction;
    if (e.firstRow <= e.lastRow)
        m_edges.push_back(e);
}

void ScanConverter::rasterize(bool winding, int32_t width, int32_t height, std::vector<ScanSpan>& out)
{
    closeFigure();
    out.clear();
    if (width <= 0 || height <= 0 || m_edges.empty()) {
        m_edges.clear();
        return;
    }

    // Edges by their first row within the buffer; those wholly above or below drop out.
    size_t kept = 0;
    for (const Edge& e : m_edges) {
        if (e.lastRow < 0 || e.firstRow >= height)
            continue;
        Edge& k = m_edges[kept++];
        k = e;
        k.firstRow = std::max<int64_t>(k.firstRow, 0);
        k.lastRow = std::min<int64_t>(k.lastRow, height - 1);
    }
    m_edges.resize(kept);
    if (m_edges.empty())
        return;
    std::sort(
        m_edges.begin(), m_edges.end(), [](const Edge& a, const Edge& b) { return a.firstRow < b.firstRow; });

    m_active.clear();
    size_t next = 0;
    int64_t y = m_edges[0].firstRow;
    while (next < m_edges.size() || !m_active.empty()) {
        if (m_active.empty())
            y = std::max(y, m_edges[next].firstRow);
        const double sampleY = double(y) + 0.5;
        for (Active& a : m_active)
            a.x += a.slope;
        while (next < m_edges.size() && m_edges[next].firstRow <= y) {
            const Edge& e = m_edges[next++];
            m_active.push_back({ e.x + (sampleY - e.y) * e.slope, e.slope, e.lastRow, e.direction });
        }

        // The crossings stay in the order of the row before but where edges
        // cross or join, so insertion sort has little to do; a figure whose
        // many edges all change places (a scribble) gets a full sort instead.
        const auto byX = [](const Active& a, const Active& b) { return a.x < b.x; };
        size_t budget = 4 * m_active.size() + 16;
        for (size_t i = 1; i < m_active.size(); ++i) {
            if (!(m_active[i - 1].x > m_active[i].x))
                continue;
            const Active a = m_active[i];
            size_t j = i;
            for (; j > 0 && m_active[j - 1].x > a.x && budget > 0; --j, --budget)
                m_active[j] = m_active[j - 1];
            m_active[j] = a;
            if (budget == 0) {
                std::sort(m_active.begin(), m_active.end(), byX);
                break;
            }
        }

        int32_t count = 0;
        double start = 0;
        const double limit = double(width) + 1;
        for (const Active& a : m_active) {
            const int32_t before = count;
            count = winding ? count + a.direction : count ^ 1;
            if (before == 0) {
                start = a.x;
            } else if (count == 0) {
                // Centres c with start < c <= x, nudged left: pixels
                // floor(start - 0.5) + 1 up to floor(x - 0.5).
                const int64_t x0 = std::max<int64_t>(floorToInt(std::clamp(start, -1.0, limit) - 0.5) + 1, 0);
                const int64_t x1
                    = std::min<int64_t>(floorToInt(std::clamp(a.x, -1.0, limit) - 0.5) + 1, width);
                if (x0 < x1)
                    out.push_back({ int32_t(y), int32_t(x0), int32_t(x1) });
            }
        }

        // Edges that end on this row leave.
        size_t staying = 0;
        for (const Active& a : m_active)
            if (a.lastRow > y)
                m_active[staying++] = a;
        m_active.resize(staying);
        ++y;
    }
    m_edges.clear();
}

void addThinLine(
    int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height, std::vector<ScanSpan>& out)
{
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool across = adx >= ady; // x is the longer axis
    const int64_t steps = across ? adx : ady;
    if (steps == 0 || width <= 0 || height <= 0)
        return;
    // Along the major axis m (step sm), across it the minor axis n (step sn).
    const int64_t m0 = across ? x0 : y0, n0 = across ? y0 : x0;
    const int64_t sm = (across ? dx : dy) < 0 ? -1 : 1, sn = (across ? dy : dx) < 0 ? -1 : 1;
    const int64_t rise = across ? ady : adx;
    const int64_t mLimit = across ? width : height, nLimit = across ? height : width;

    // The steps whose major coordinate lies inside the buffer.
    int64_t first = 0, last = steps - 1;
    if (sm > 0) {
        first = std::max<int64_t>(first, -m0);
        last = std::min<int64_t>(last, mLimit - 1 - m0);
    } else {
        first = std::max<int64_t>(first, m0 - (mLimit - 1));
        last = std::min<int64_t>(last, m0);
    }
    if (first > last)
        return;
    // Step i lies round(i * rise / steps) across: (2 i rise + steps) / (2 steps),
    // carried on from one step to the next as a remainder.
    const int64_t twice = 2 * steps;
    int64_t offset, remainder;
    if (first < (int64_t(1) << 30) && rise < (int64_t(1) << 31)) {
        const int64_t numerator = 2 * first * rise + steps;
        offset = numerator / twice;
        remainder = numerator % twice;
    } else {
        const __int128 numerator = __int128(2) * first * rise + steps;
        offset = int64_t(numerator / twice);
        remainder = int64_t(numerator % twice);
    }
    bool open = false;
    for (int64_t i = first; i <= last; ++i) {
        const int64_t m = m0 + sm * i, n = n0 + sn * offset;
        if (n >= 0 && n < nLimit) {
            if (!across) {
                out.push_back({ int32_t(m), int32_t(n), int32_t(n + 1) });
            } else if (open && out.back().y == n && (out.back().x1 == m || out.back().x0 == m + 1)) {
                // Another pixel of the same row: the run grows.
                out.back().x0 = std::min(out.back().x0, int32_t(m));
                out.back().x1 = std::max(out.back().x1, int32_t(m + 1));
            } else {
                out.push_back({ int32_t(n), int32_t(m), int32_t(m + 1) });
                open = true;
            }
        }
        remainder += 2 * rise;
        if (remainder >= twice) {
            remainder -= twice;
            ++offset;
        }
    }
}

void addWideStroke(
    ScanConverter& converter, std::span<const ScanPoint> points, bool closed, double width, double miterLimit)
{
    // Repeated points make no segment.
    thread_local std::vector<ScanPoint> p, left, right;
    p.clear();
    for (ScanPoint q : points) {
        if (!finite(q))
            return;
        if (p.empty() || !(q == p.back()))
            p.push_back(q);
    }
    if (closed && p.size() > 1 && p.front() == p.back())
        p.pop_back();
    if (p.size() < 2 || !(width > 0) || !std::isfinite(width))
        return;
    const size_t n = p.size();
    const double half = width / 2;
    const double reach = miterLimit * half;

    struct Side {
        double dx, dy; // unit direction
        double nx, ny; // normal to the left, half the width long
    };
    auto side = [&](size_t i) {
        const ScanPoint a = p[i], b = p[(i + 1) % n];
        const double length = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
        const double dx = (b.x - a.x) / length, dy = (b.y - a.y) / length;
        return Side { dx, dy, -dy * half, dx * half };
    };

    // The outline is what is left of the segments' rectangles and the
    // corners' mitres once the edges they share cancel out: the left edges
    // forwards, the right ones backwards. At each corner the outer side goes
    // round the mitre (or straight across, bevelled) and the inner side
    // through the corner point itself, so the rectangles' overlap there keeps
    // a winding number of one or more.
    left.clear();
    right.clear();
    auto corner = [&](size_t i, const Side& in, const Side& out) {
        const ScanPoint c = p[i];
        const double cross = in.dx * out.dy - in.dy * out.dx;
        const double cosine = in.dx * out.dx + in.dy * out.dy;
        left.push_back({ c.x + in.nx, c.y + in.ny });
        right.push_back({ c.x - in.nx, c.y - in.ny });
        if (cross != 0 || cosine < 0) {
            // The left side is the outer one when the outline turns that way.
            std::vector<ScanPoint>& outer = cross < 0 ? left : right;
            std::vector<ScanPoint>& inner = cross < 0 ? right : left;
            const double sign = cross < 0 ? 1 : -1;
            inner.push_back(c);
            if (cross != 0 && 1 + cosine > 0) {
                const double mx = sign * (in.nx + out.nx) / (1 + cosine);
                const double my = sign * (in.ny + out.ny) / (1 + cosine);
                if (mx * mx + my * my <= reach * reach)
                    outer.push_back({ c.x + mx, c.y + my });
            } else {
                outer.push_back(c); // turning right back: both sides pass the point
            }
        }
        left.push_back({ c.x + out.nx, c.y + out.ny });
        right.push_back({ c.x - out.nx, c.y - out.ny });
    };

    if (closed) {
        Side in = side(n - 1);
        for (size_t i = 0; i < n; ++i) {
            const Side out = side(i);
            corner(i, in, out);
            in = out;
        }
        converter.addPolygon(left);
        std::reverse(right.begin(), right.end());
        converter.addPolygon(right);
        return;
    }
    Side in = side(0);
    left.push_back({ p[0].x + in.nx, p[0].y + in.ny });
    right.push_back({ p[0].x - in.nx, p[0].y - in.ny });
    for (size_t i = 1; i + 1 < n; ++i) {
        const Side out = side(i);
        corner(i, in, out);
        in = out;
    }
    left.push_back({ p[n - 1].x + in.nx, p[n - 1].y + in.ny });
    right.push_back({ p[n - 1].x - in.nx, p[n - 1].y - in.ny });
    // Flat ends: the outline crosses straight over from one side to the other.
    left.insert(left.end(), right.rbegin(), right.rend());
    converter.addPolygon(left);
}

} // namespace zavora
