#include "app/dialogs/ColorModels.h"

#include <algorithm>
#include <cmath>

namespace zavora {

Hsb rgbToHsb(const Rgb& rgb)
{
    const double r = rgb.red / 100;
    const double g = rgb.green / 100;
    const double b = rgb.blue / 100;
    const double max = std::max({ r, g, b });
    const double min = std::min({ r, g, b });
    const double saturation = std::abs(max) < 0.001 ? 0 : (max - min) / max;
    double hue = 0;
    if (saturation >= 0.001) {
        const double delta = max - min;
        if (r == max)
            hue = 60 * ((g - b) / delta);
        else if (g == max)
            hue = 60 * (2 + (b - r) / delta);
        else
            hue = 60 * (4 + (r - g) / delta);
        if (hue < 0)
            hue += 360;
    }
    return { hue * 100 / 360, saturation * 100, max * 100 };
}

Rgb hsbToRgb(const Hsb& hsb)
{
    const double s = std::clamp(hsb.saturation / 100, 0.0, 1.0);
    const double v = std::clamp(hsb.brightness / 100, 0.0, 1.0);
    if (s <= 0)
        return { v * 100, v * 100, v * 100 };
    double h = std::fmod(hsb.hue * 360 / 100, 360.0);
    if (h < 0)
        h += 360;
    h /= 60;
    const int sector = std::min(static_cast<int>(std::floor(h)), 5);
    const double f = h - sector;
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    double r = 0, g = 0, b = 0;
    switch (sector) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
    }
    return { r * 100, g * 100, b * 100 };
}

CmykPercent rgbToCmyk(const Rgb& rgb)
{
    return { 100 - rgb.red, 100 - rgb.green, 100 - rgb.blue, 0 };
}

Rgb cmykToRgb(const CmykPercent& cmyk)
{
    return { 100 - std::min(100.0, cmyk.cyan + cmyk.black), 100 - std::min(100.0, cmyk.magenta + cmyk.black),
        100 - std::min(100.0, cmyk.yellow + cmyk.black) };
}

} // namespace zavora
