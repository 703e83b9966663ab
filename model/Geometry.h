#pragma once
// Value types of the drawing model. Drawing coordinates are PostScript points
// (1/72 inch), x to the right and y upwards. Object matrices are six floats in
// PostScript order; the geometry kernel computes in doubles (KMatrix).

#include <cstdint>

namespace zavora {

struct Point {
    float x = 0;
    float y = 0;
    bool operator==(const Point&) const = default;
};

// Device pixels.
struct IntPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const IntPoint&) const = default;
};

// A bounding box in drawing coordinates; all four -1 means "not computed".
struct Rect {
    float left = -1;
    float bottom = -1;
    float right = -1;
    float top = -1;
    bool operator==(const Rect&) const = default;

    bool isUncomputed() const { return left == -1 && bottom == -1 && right == -1 && top == -1; }
    float width() const { return right - left; }
    float height() const { return top - bottom; }
};

// The control-point distance of a quarter circle of radius 1 drawn as one
// cubic Bezier segment: every ellipse and arc outline uses it.
constexpr double kQuarterCircleKappa = 0.5522848;

// Object space to drawing space: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct Matrix {
    float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool operator==(const Matrix&) const = default;
};

// The kernel's double-precision matrix, same layout as Matrix.
struct KMatrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool operator==(const KMatrix&) const = default;

    KMatrix() = default;
    KMatrix(double a_, double b_, double c_, double d_, double tx_, double ty_)
        : a(a_), b(b_), c(c_), d(d_), tx(tx_), ty(ty_) { }
    explicit KMatrix(const Matrix& m) : a(m.a), b(m.b), c(m.c), d(m.d), tx(m.tx), ty(m.ty) { }
    Matrix toMatrix() const;
};

// Grid spacing in points; snapping applies only when snap is non-zero.
struct Grid {
    int32_t gx = 0;
    int32_t gy = 0;
    int32_t spare = 0;
    int32_t snap = 0;
    bool operator==(const Grid&) const = default;
};

// A then B (PostScript concat order): the result maps through A first.
KMatrix multiply(const KMatrix& first, const KMatrix& then);

// Inverse; a determinant in [-0.0001, 0.0001) yields six entries of 1.0e8.
KMatrix invert(const KMatrix& m);

Point transformPoint(const KMatrix& m, Point p);
Point transformDelta(const KMatrix& m, Point p);

// The rectangle with left <= right and bottom <= top.
Rect normalized(const Rect& r);

// An angle in degrees brought into [0, 360).
double degreesInOneTurn(double degrees);

// Whether the segment a-b has a point in the closed, normalized rectangle r.
bool segmentMeetsRect(Point a, Point b, const Rect& r);

// Grid snap: floor(v / g + 0.5) * g on each axis when snapping is on (the
// nearest grid line, halves rounding up); a spacing <= 0 leaves that axis alone.
Point snapToGrid(Point p, const Grid& grid);

} // namespace zavora
