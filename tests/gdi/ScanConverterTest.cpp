#include "platform/ScanConverter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace zavora {
namespace {

constexpr int kSize = 64;

// How many times each pixel of a kSize square was emitted.
std::vector<int> coverage(ScanConverter& converter, bool winding, int size = kSize)
{
    std::vector<ScanSpan> spans;
    converter.rasterize(winding, size, size, spans);
    converter.reset();
    std::vector<int> hits(size_t(size) * size, 0);
    int lastY = -1;
    for (const ScanSpan& s : spans) {
        EXPECT_GE(s.y, lastY); // rows come in order
        lastY = s.y;
        EXPECT_GE(s.x0, 0);
        EXPECT_LE(s.x1, size);
        for (int x = s.x0; x < s.x1; ++x)
            ++hits[size_t(s.y) * size + size_t(x)];
    }
    return hits;
}

// Even-odd crossing test at a sample point, independent of the converter.
bool insidePolygon(const std::vector<ScanPoint>& poly, double x, double y)
{
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const ScanPoint a = poly[i], b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

TEST(ScanConverter, FiguresSharingAnEdgeTakeEachPixelOnce)
{
    // A square cut along its diagonal into two triangles, and a fan of
    // wedges round a centre: together they cover the whole without overlap.
    ScanConverter converter;
    converter.addPolygon(std::vector<ScanPoint> { { 4, 4 }, { 44, 4 }, { 44, 34 } });
    converter.addPolygon(std::vector<ScanPoint> { { 4, 4 }, { 44, 34 }, { 4, 34 } });
    std::vector<int> hits = coverage(converter, false);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            ASSERT_EQ(hits[size_t(y) * kSize + size_t(x)], x >= 4 && x < 44 && y >= 4 && y < 34 ? 1 : 0)
                << x << "," << y;

    const ScanPoint centre { 31.3, 29.7 };
    for (int i = 0; i < 7; ++i) {
        const double a0 = i * 2 * M_PI / 7, a1 = (i + 1) * 2 * M_PI / 7;
        converter.addPolygon(
            std::vector<ScanPoint> { centre, { centre.x + 25 * std::cos(a0), centre.y + 25 * std::sin(a0) },
                { centre.x + 25 * std::cos(a1), centre.y + 25 * std::sin(a1) } });
    }
    hits = coverage(converter, true);
    for (int h : hits)
        ASSERT_LE(h, 1);
}

TEST(ScanConverter, FillRulesAndFarAwayPoints)
{
    // A five-pointed star drawn in one stroke: its middle is a hole under
    // even-odd and ink under winding.
    std::vector<ScanPoint> star;
    for (int i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 4 * M_PI / 5;
        star.push_back({ 32 + 28 * std::cos(a), 32 + 28 * std::sin(a) });
    }
    ScanConverter converter;
    converter.addPolygon(star);
    EXPECT_EQ(coverage(converter, false)[32 * kSize + 32], 0);
    converter.addPolygon(star);
    EXPECT_EQ(coverage(converter, true)[32 * kSize + 32], 1);

    // Corners a long way outside: the whole buffer, once, and nothing beyond it.
    converter.addPolygon(std::vector<ScanPoint> { { -3e9, -2e9 }, { 4e9, -1e9 }, { 1e9, 5e9 } });
    for (int h : coverage(converter, false))
        ASSERT_EQ(h, 1);
    converter.addPolygon(std::vector<ScanPoint> { { -1e9, 10 }, { -5e8, 10 }, { -5e8, 20 } });
    for (int h : coverage(converter, false))
        ASSERT_EQ(h, 0);
    // Non-finite points are dropped, not drawn.
    converter.addPolygon(std::vector<ScanPoint> { { NAN, 0 }, { 10, 10 }, { 0, INFINITY } });
    for (int h : coverage(converter, true))
        ASSERT_EQ(h, 0);
}

TEST(ScanConverter, ScribblesOfManyEdgesFillAsTheCrossingTestSays)
{
    // Hundreds of edges crossing every row, changing places from row to row.
    std::mt19937 random(12);
    std::uniform_real_distribution<double> coord(-5, kSize + 5);
    for (int count : { 7, 60, 800 }) {
        std::vector<ScanPoint> scribble;
        for (int i = 0; i < count; ++i)
            scribble.push_back({ coord(random), coord(random) });
        ScanConverter converter;
        converter.addPolygon(scribble);
        const std::vector<int> hits = coverage(converter, false);
        int wrong = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                wrong += (hits[size_t(y) * kSize + size_t(x)] == 1)
                    != insidePolygon(scribble, x + 0.5, y + 0.5);
        EXPECT_LE(wrong, count / 100) << count << " points";
    }
}

// The pieces a flat-ended, mitred pen is made of, tested one by one at a
// point: the segments' rectangles and each corner's mitre or bevel.
bool insideStrokePieces(const std::vector<ScanPoint>& p, bool closed, double width, double x, double y)
{
    const size_t n = p.size();
    const double h = width / 2;
    auto normal = [&](size_t i) {
        const ScanPoint a = p[i], b = p[(i + 1) % n];
        const double l = std::hypot(b.x - a.x, b.y - a.y);
        return ScanPoint { -(b.y - a.y) / l * h, (b.x - a.x) / l * h };
    };
    for (size_t i = 0; i + (closed ? 0 : 1) < n; ++i) {
        const ScanPoint a = p[i], b = p[(i + 1) % n], m = normal(i);
        if (insidePolygon({ { a.x + m.x, a.y + m.y }, { b.x + m.x, b.y + m.y }, { b.x - m.x, b.y - m.y },
                              { a.x - m.x, a.y - m.y } },
                x, y))
            return true;
    }
    for (size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
        const ScanPoint c = p[i], m1 = normal((i + n - 1) % n), m2 = normal(i);
        // The outer side is the one whose offset points lie furthest apart from the inner ones.
        for (double s : { 1.0, -1.0 }) {
            const ScanPoint a { c.x + s * m1.x, c.y + s * m1.y }, b { c.x + s * m2.x, c.y + s * m2.y };
            // The mitre point: where the two offset lines meet.
            const double d1x = m1.y, d1y = -m1.x, d2x = m2.y, d2y = -m2.x; // along the segments
            const double det = d1x * d2y - d1y * d2x;
            std::vector<ScanPoint> piece { c, a, b };
            if (det != 0) {
                const double t = ((b.x - a.x) * d2y - (b.y - a.y) * d2x) / det;
                const ScanPoint tip { a.x + t * d1x, a.y + t * d1y };
                if (t > 0 && std::hypot(tip.x - c.x, tip.y - c.y) <= 10 * h)
                    piece = { c, a, tip, b };
            }
            if (insidePolygon(piece, x, y))
                return true;
        }
    }
    return false;
}

TEST(ScanConverter, WideStrokesCoverTheirSegmentsAndCornersExactly)
{
    // Random zigzags, open and closed, with sharp and shallow turns (mitres
    // beyond the limit become bevels), against the pieces tested one at a
    // time at each pixel's centre.
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coord(4, 60), widths(1.5, 9);
    int mismatches = 0, ink = 0;
    for (int round = 0; round < 60; ++round) {
        std::vector<ScanPoint> points;
        const int count = 2 + int(random() % 5);
        for (int i = 0; i < count; ++i)
            points.push_back({ coord(random), coord(random) });
        const bool closed = round % 3 == 0 && count > 2;
        const double width = widths(random);
        ScanConverter converter;
        addWideStroke(converter, points, closed, width);
        const std::vector<int> hits = coverage(converter, true);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const int h = hits[size_t(y) * kSize + size_t(x)];
                ASSERT_LE(h, 1);
                ink += h;
                mismatches += (h == 1) != insideStrokePieces(points, closed, width, x + 0.5, y + 0.5);
            }
    }
    EXPECT_GT(ink, 5000);
    // Only a centre lying within rounding of an edge may go either way.
    EXPECT_LE(mismatches, 3);

    // Nothing for coincident points or a zero width.
    ScanConverter converter;
    addWideStroke(converter, std::vector<ScanPoint> { { 9, 9 }, { 9, 9 } }, false, 5);
    addWideStroke(converter, std::vector<ScanPoint> { { 9, 9 }, { 30, 9 } }, false, 0);
    EXPECT_TRUE(converter.isEmpty());
}

// The pixels of a thin line in a buffer of the given size, in no particular order.
std::vector<std::pair<int, int>> thinLine(int x0, int y0, int x1, int y1, int width, int height)
{
    std::vector<ScanSpan> spans;
    addThinLine(x0, y0, x1, y1, width, height, spans);
    std::vector<std::pair<int, int>> pixels;
    for (const ScanSpan& s : spans)
        for (int x = s.x0; x < s.x1; ++x)
            pixels.push_back({ x, s.y });
    std::sort(pixels.begin(), pixels.end());
    return pixels;
}

TEST(ScanConverter, ThinLinesStepAlongTheLongerAxisAndLeaveOutTheirEnd)
{
    std::mt19937 random(9);
    for (int round = 0; round < 300; ++round) {
        const int x0 = int(random() % 40), y0 = int(random() % 40), x1 = int(random() % 40),
                  y1 = int(random() % 40);
        const auto pixels = thinLine(x0, y0, x1, y1, 40, 40);
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        ASSERT_EQ(int(pixels.size()), steps);
        if (steps == 0)
            continue;
        // The first point is drawn, the last is not, and every pixel lies
        // within half a pixel of the true line across its longer axis.
        EXPECT_TRUE(std::binary_search(pixels.begin(), pixels.end(), std::pair { x0, y0 }));
        EXPECT_FALSE(std::binary_search(pixels.begin(), pixels.end(), std::pair { x1, y1 }));
        const bool across = std::abs(x1 - x0) >= std::abs(y1 - y0);
        for (auto [x, y] : pixels) {
            const double off = across ? y - (y0 + double(x - x0) * (y1 - y0) / (x1 - x0))
                                      : x - (x0 + double(y - y0) * (x1 - x0) / (y1 - y0));
            ASSERT_LE(std::abs(off), 0.5) << x0 << "," << y0 << " " << x1 << "," << y1;
        }
    }
}

TEST(ScanConverter, ThinLinesClipToTheBufferWithoutWalkingTheRest)
{
    // Lines starting well outside: what falls inside is what the same line
    // gives in a buffer big enough to hold it, shifted back.
    std::mt19937 random(4);
    for (int round = 0; round < 200; ++round) {
        const int x0 = int(random() % 400) - 200, y0 = int(random() % 400) - 200;
        const int x1 = int(random() % 400) - 200, y1 = int(random() % 400) - 200;
        const auto clipped = thinLine(x0, y0, x1, y1, 30, 20);
        std::vector<std::pair<int, int>> expected;
        for (auto [x, y] : thinLine(x0 + 200, y0 + 200, x1 + 200, y1 + 200, 400, 400))
            if (x >= 200 && x < 230 && y >= 200 && y < 220)
                expected.push_back({ x - 200, y - 200 });
        ASSERT_EQ(clipped, expected) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
    // A line billions of pixels long is cut to the buffer's few.
    EXPECT_EQ(thinLine(-2000000000, 5, 2000000000, 5, 30, 20).size(), 30u);
    EXPECT_EQ(thinLine(7, -2000000000, 8, 2000000000, 30, 20).size(), 20u);
}

} // namespace
} // namespace zavora
