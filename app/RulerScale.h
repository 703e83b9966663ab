#pragma once
// The rulers' tick tables: which ticks a ruler draws and their labels, for a
// unit and a zoom. Ticks are counted from the page origin in both directions.

#include <string>
#include <vector>

namespace zavora {

// Labelled, medium and small tick every n base steps; 0 for none.
struct TickSpacing {
    int label = 0, medium = 0, small = 0;
    bool operator==(const TickSpacing&) const = default;
};

struct RulerTick {
    enum class Kind { Label, Medium, Small };
    double position = 0; // pixels along the ruler
    Kind kind = Kind::Small;
    std::string label; // labelled ticks only
};

class RulerScale {
public:
    // Points per base step: 1/8 inch, 1 point or 5 mm.
    static double baseStep(int unit);
    // The table row for d, the on-screen length of one base step in pixels.
    static TickSpacing spacing(int unit, double d);
    // Across-the-ruler start and end (pixels) of a labelled tick.
    static int labelTickEnd(int unit) { return unit == 2 ? 20 : 19; }

    // The ticks between 0 and length pixels; the page origin lies at
    // originPixel and one point is pixelsPerPoint pixels in direction (+1 or -1).
    static std::vector<RulerTick> ticks(
        int unit, double pixelsPerPoint, double originPixel, int direction, int length);
};

} // namespace zavora
