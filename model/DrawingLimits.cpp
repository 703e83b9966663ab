#include "model/DrawingLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zavora {

namespace {

float clampTo(double value, double low, double high, double ifNotANumber)
{
    if (std::isnan(value))
        return static_cast<float>(ifNotANumber);
    return static_cast<float>(std::clamp(value, low, high));
}

} // namespace

float clampCoordinate(double value)
{
    return clampTo(value, -kMaxCoordinate, kMaxCoordinate, 0);
}

float clampFontSize(double size)
{
    return clampTo(size, kMinFontSize, kMaxFontSize, kMinFontSize);
}

float clampLeading(double leading)
{
    return clampTo(leading, 0, kMaxLeading, 0);
}

float clampLineWidth(double width)
{
    return clampTo(width, 0, kMaxCoordinate, 0);
}

ArcAngles saneArcAngles(float start, float end)
{
    const double from = clampCoordinate(start);
    const double to = std::isnan(end) ? from : double(clampCoordinate(end));
    if (std::fabs(from) <= kMaxPlainArcAngle && std::fabs(to) <= kMaxPlainArcAngle)
        return { static_cast<float>(from), static_cast<float>(to) };
    // As arc reads them: an end below the start gains whole turns until it is
    // not; an end a turn or more beyond draws the whole ellipse.
    double sweep = to - from;
    if (sweep >= 360)
        sweep = 360;
    else if (sweep < 0)
        sweep = std::fmod(sweep, 360.0) + (std::fmod(sweep, 360.0) < 0 ? 360 : 0);
    const double first = degreesInOneTurn(from);
    return { static_cast<float>(first), static_cast<float>(first + sweep) };
}

bool isSingular(const Matrix& m)
{
    const double ad = double(m.a) * m.d;
    const double bc = double(m.b) * m.c;
    const double determinant = ad - bc;
    if (!std::isfinite(determinant))
        return true;
    // Interpreters invert in single precision: a determinant this small
    // against its two products is rounding noise, and one below the smallest
    // float is 0.
    return std::fabs(determinant) <= 1e-6 * (std::fabs(ad) + std::fabs(bc))
        || std::fabs(determinant) < std::numeric_limits<float>::min();
}

Matrix invertibleMatrix(const Matrix& m)
{
    Matrix out { clampCoordinate(m.a), clampCoordinate(m.b), clampCoordinate(m.c), clampCoordinate(m.d),
        clampCoordinate(m.tx), clampCoordinate(m.ty) };
    if (!isSingular(out))
        return out;
    // Small enough to hide what it shows, large enough to survive the
    // writers' four significant digits and their zeroing below 0.0001.
    constexpr double kSmallest = 0.001;
    const double a = out.a, b = out.b, c = out.c, d = out.d;
    const double first = std::hypot(a, b), second = std::hypot(c, d);
    if (std::max(first, second) < kSmallest)
        return { float(kSmallest), 0, 0, float(kSmallest), out.tx, out.ty };
    // Add a hundredth of the long side, turned a quarter, to the short one:
    // the determinant becomes that hundredth times the long side squared.
    if (first >= second) {
        const double k = std::max(0.01 * first, kSmallest) / first;
        out.c = float(c - b * k);
        out.d = float(d + a * k);
    } else {
        const double k = std::max(0.01 * second, kSmallest) / second;
        out.a = float(a + d * k);
        out.b = float(b - c * k);
    }
    return out;
}

} // namespace zavora
