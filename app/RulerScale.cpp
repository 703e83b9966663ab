#include "app/RulerScale.h"

#include <cmath>
#include <cstdlib>

namespace zavora {

double RulerScale::baseStep(int unit)
{
    switch (unit) {
    case 1:
        return 1;
    case 2:
        return 14.173228;
    default:
        return 9;
    }
}

TickSpacing RulerScale::spacing(int unit, double d)
{
    switch (unit) {
    case 1:
        if (d > 6)
            return { 18, 0, 3 };
        if (d > 4)
            return { 18, 0, 9 };
        if (d > 2)
            return { 36, 18, 9 };
        if (d > 0.7)
            return { 72, 36, 18 };
        if (d > 0.4)
            return { 144, 72, 36 };
        return { 288, 144, 72 };
    case 2:
        if (d > 18)
            return { 2, 0, 1 };
        if (d > 12)
            return { 4, 2, 1 };
        if (d > 6)
            return { 8, 4, 2 };
        return { 16, 8, 4 };
    default:
        if (d > 7)
            return { 8, 4, 1 };
        if (d > 5)
            return { 8, 4, 2 };
        if (d > 4)
            return { 8, 4, 0 };
        if (d > 3)
            return { 16, 8, 4 };
        return { 16, 8, 0 };
    }
}

std::vector<RulerTick> RulerScale::ticks(
    int unit, double pixelsPerPoint, double originPixel, int direction, int length)
{
    std::vector<RulerTick> out;
    const double d = baseStep(unit) * pixelsPerPoint;
    if (!(d > 0) || !std::isfinite(originPixel) || length <= 0)
        return out;
    const TickSpacing s = spacing(unit, d);
    // The smallest step that draws anything bounds the work per ruler.
    const int finest = s.small ? s.small : (s.medium ? s.medium : s.label);
    const double step = d * direction;
    double a = (0 - originPixel) / step, b = (length - originPixel) / step;
    if (a > b)
        std::swap(a, b);
    if (b - a > 1e6)
        return out;
    long first = static_cast<long>(std::floor(a / finest)) * finest;
    long last = static_cast<long>(std::ceil(b));
    const int divisor = unit == 1 ? 1 : (unit == 2 ? 2 : 8);
    for (long i = first; i <= last; i += finest) {
        double position = originPixel + i * step;
        if (position < 0 || position > length)
            continue;
        RulerTick tick;
        tick.position = position;
        if (i % s.label == 0) {
            tick.kind = RulerTick::Kind::Label;
            tick.label = std::to_string(std::labs(i) / divisor);
        } else if (s.medium && i % s.medium == 0) {
            tick.kind = RulerTick::Kind::Medium;
        } else if (s.small && i % s.small == 0) {
            tick.kind = RulerTick::Kind::Small;
        } else {
            continue;
        }
        out.push_back(std::move(tick));
    }
    return out;
}

} // namespace zavora
