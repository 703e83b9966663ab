#include "model/Geometry.h"

#include <algorithm>
#include <cmath>

namespace zavora {

Matrix KMatrix::toMatrix() const
{
    return Matrix { static_cast<float>(a), static_cast<float>(b), static_cast<float>(c),
        static_cast<float>(d), static_cast<float>(tx), static_cast<float>(ty) };
}

KMatrix multiply(const KMatrix& first, const KMatrix& then)
{
    const KMatrix& p = first;
    const KMatrix& q = then;
    return KMatrix(p.a * q.a + p.b * q.c, p.a * q.b + p.b * q.d, p.c * q.a + p.d * q.c, p.c * q.b + p.d * q.d,
        p.tx * q.a + p.ty * q.c + q.tx, p.tx * q.b + p.ty * q.d + q.ty);
}

KMatrix invert(const KMatrix& m)
{
    const double det = m.a * m.d - m.b * m.c;
    // A (nearly) singular matrix maps far away instead of dividing by zero.
    if (det >= -0.0001 && det < 0.0001)
        return KMatrix(1.0e8, 1.0e8, 1.0e8, 1.0e8, 1.0e8, 1.0e8);
    return KMatrix(m.d / det, -m.b / det, -m.c / det, m.a / det, (m.c * m.ty - m.tx * m.d) / det,
        (m.tx * m.b - m.a * m.ty) / det);
}

Point transformPoint(const KMatrix& m, Point p)
{
    const double x = p.x;
    const double y = p.y;
    return Point { static_cast<float>(m.a * x + m.c * y + m.tx),
        static_cast<float>(m.b * x + m.d * y + m.ty) };
}

Point transformDelta(const KMatrix& m, Point p)
{
    const double x = p.x;
    const double y = p.y;
    return Point { static_cast<float>(m.a * x + m.c * y), static_cast<float>(m.b * x + m.d * y) };
}

double degreesInOneTurn(double degrees)
{
    double r = std::fmod(degrees, 360.0);
    if (r < 0)
        r += 360.0;
    return r >= 360.0 ? 0.0 : r;
}

Rect normalized(const Rect& r)
{
    return { std::min(r.left, r.right), std::min(r.bottom, r.top), std::max(r.left, r.right),
        std::max(r.bottom, r.top) };
}

// Liang-Barsky, in double so that the differences of the float coordinates are exact.
bool segmentMeetsRect(Point a, Point b, const Rect& r)
{
    double t0 = 0, t1 = 1;
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double p[4] = { -dx, dx, -dy, dy };
    const double q[4]
        = { double(a.x) - r.left, double(r.right) - a.x, double(a.y) - r.bottom, double(r.top) - a.y };
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

namespace {

float snapAxis(float v, int32_t spacing)
{
    // A zero or negative spacing has no grid lines to snap to.
    if (spacing <= 0)
        return v;
    const double g = spacing;
    // Half-up to the nearest line on both sides of zero; truncating would pull
    // negative values toward zero (-7 on a 5 grid would land on 0, not -5).
    return static_cast<float>(std::floor(v / g + 0.5) * g);
}

} // namespace

Point snapToGrid(Point p, const Grid& grid)
{
    if (!grid.snap)
        return p;
    return Point { snapAxis(p.x, grid.gx), snapAxis(p.y, grid.gy) };
}

} // namespace zavora
