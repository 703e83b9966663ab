#pragma once
// ScanConverter: turns figures of straight edges into horizontal pixel runs,
// for the raster device context's own filling of polygons and wide lines.
//
// A pixel belongs to the area when its centre does, the centre taken an
// infinitesimal step up and to the left: a centre lying exactly on an edge
// goes with the side above or left of it. So an area given on whole pixel
// corners covers the pixels whose top-left corner lies inside it, its right
// and bottom edges stay out, and two areas that share an edge never both
// take a pixel of it. Every pixel of a figure set is emitted at most once,
// which the bitwise raster modes rely on.
//
// addWideStroke builds the area a geometric pen covers along a polyline
// (flat ends, mitred corners) as figures wound the same way round, to be
// filled with the winding rule.

#include <cstdint>
#include <span>
#include <vector>

namespace zavora {

struct ScanPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ScanPoint&) const = default;
};

// Pixels x0 <= x < x1 of row y.
struct ScanSpan {
    int32_t y;
    int32_t x0;
    int32_t x1;
};

class ScanConverter {
public:
    // Forgets every edge.
    void reset();
    // Starts a figure; the one before is closed first.
    void moveTo(ScanPoint p);
    void lineTo(ScanPoint p);
    // Joins the figure's last point to its first.
    void closeFigure();
    // A whole closed figure.
    void addPolygon(std::span<const ScanPoint> points);
    bool isEmpty() const { return m_edges.empty() && !m_open; }

    // The runs inside the (closed) figures within 0 <= x < width,
    // 0 <= y < height, top row first and left to right in each row. The
    // figures are used up.
    void rasterize(bool winding, int32_t width, int32_t height, std::vector<ScanSpan>& out);

private:
    struct Edge {
        double x; // at the top end
        double y; // of the top end
        double slope; // dx per dy
        int64_t firstRow;
        int64_t lastRow;
        int32_t direction; // +1 when the figure runs downwards along it
    };
    // An edge crossing the current row, and where.
    struct Active {
        double x;
        double slope;
        int64_t lastRow;
        int32_t direction;
    };
    void addEdge(ScanPoint from, ScanPoint to);

    std::vector<Edge> m_edges;
    std::vector<Active> m_active;
    ScanPoint m_start, m_last;
    bool m_open = false;
};

// Appends the pixels of a one-pixel line from (x0, y0) towards (x1, y1) that
// lie within width x height: one pixel per step along the longer axis, from
// the first point up to but not including the last, the other coordinate
// rounded to the nearest pixel (halves away from the first point). A line to
// its own starting point has no pixels.
void addThinLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height,
    std::vector<ScanSpan>& out);

// GDI's default mitre limit: the mitre's length over the pen's width.
constexpr double kDefaultMiterLimit = 10.0;

// Adds the area of a pen `width` pixels wide drawn along the polyline (closed
// back to its first point when `closed`): each segment a rectangle ending
// flat at its end points, each corner filled with a mitre, or bevelled when
// the mitre would be longer than `miterLimit` widths. Fill with the winding rule.
void addWideStroke(ScanConverter& converter, std::span<const ScanPoint> points, bool closed, double width,
    double miterLimit = kDefaultMiterLimit);

} // namespace zavora
