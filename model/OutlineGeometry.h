#pragma once
// Outline geometry shared by the ports: elliptic arcs as Bezier nodes, Bezier
// flattening, and the filled arrowhead outlines of the ports that have no
// arrowhead procedure of their own. Object space throughout.

#include "model/OutputPort.h"

#include <optional>

namespace zavora {

// Appends the counter-clockwise arc about (cx, cy) with radii rx, ry from
// `start` to `end` degrees, in pieces of at most 90 degrees. Both angles are
// first brought into 0..360; equal angles (or non-finite ones) append nothing.
// The first node lands after any nodes already in the list, joining them with
// a straight segment.
void appendArcNodes(NodeList& nodes, float cx, float cy, float rx, float ry, float start, float end);

// How far a curve flattened for a raster device may stray, in device pixels:
// a quarter pixel keeps circles smooth (no visible facets) at every zoom.
constexpr float kDeviceFlatness = 0.25f;

// Flattens the cubic p0..p3 into `out`: appends the points after p0 (the
// caller adds p0), ending with p3. A segment is flat when both control points
// lie within `tolerance` of the chord's line, or when the chord is shorter
// than sqrt(0.001).
void flattenBezier(PointList& out, Point p0, Point p1, Point p2, Point p3, float tolerance = 1);

// The whole node list flattened: the first anchor, then every segment (and
// the closing one when closed). Fewer than two nodes give the anchors as they are.
PointList flattenNodes(const NodeList& nodes, bool closed, float tolerance = 1);

// The two ends of an open outline: each tip and the point before it.
struct OutlineEnds {
    Point firstTip, firstPrevious;
    Point lastTip, lastPrevious;
};

// Ends of a polyline (nothing for fewer than two points).
std::optional<OutlineEnds> polylineEnds(const PointList& points);
// Ends of a Bezier path: the previous points are the second (next-to-last)
// point of the flattened first (last) segment. Nothing for fewer than two nodes.
std::optional<OutlineEnds> curveEnds(const NodeList& nodes);

// The arrowhead of `code` at `tip`, pointing away from `previous`, scaled by
// `scale`. Codes 0..4: the tip followed by the shape's points. The circle
// (radius 3) and the square (5 x 5) lie about the tip: their outlines alone,
// the circle as kCircleArrowPoints points. Empty for none or an unknown code.
constexpr int kCircleArrowPoints = 64;
PointList arrowheadOutline(int code, Point tip, Point previous, float scale);

// The arrowhead size factor: the stroke width, 1 for dashed lines.
float arrowheadScale(const PaintStyle& style);

// The style arrowheads are painted with: the construction defaults with line
// width 0, stroke off, fill on, and line and fill colour set to the object's
// line colour.
PaintStyle arrowheadStyle(const PaintStyle& objectStyle);

// Sends each end's arrowhead outline to port.polyline (closed, no arrows)
// under the object's matrix with arrowheadStyle(style); codes without a shape
// send nothing. Only open outlines have arrowheads: the caller checks.
void drawArrowheads(OutputPort& port, const PaintStyle& style, const Matrix& matrix, const OutlineEnds& ends,
    int arrow1, int arrow2);

} // namespace zavora
