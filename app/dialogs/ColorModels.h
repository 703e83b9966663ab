#pragma once
// The colour dialog's three models. Every component is a percentage 0..100;
// the hue too, as a share of a full turn.

namespace zavora {

struct Rgb {
    double red = 0;
    double green = 0;
    double blue = 0;
};

struct Hsb {
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
};

struct CmykPercent {
    double cyan = 0;
    double magenta = 0;
    double yellow = 0;
    double black = 0;
};

// A grey has no hue: its hue is 0, and its saturation 0.
Hsb rgbToHsb(const Rgb& rgb);
// Six-sector conversion; a hue of 100 is the same as 0.
Rgb hsbToRgb(const Hsb& hsb);
// Black is always 0 going this way.
CmykPercent rgbToCmyk(const Rgb& rgb);
// Black adds to each ink, limited to full ink.
Rgb cmykToRgb(const CmykPercent& cmyk);

} // namespace zavora
