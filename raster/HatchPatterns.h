#pragma once
// The nine hatch patterns as the 8 x 8 monochrome bitmaps that the screen and
// the bitmap outputs paint with a pattern brush (ink in black over the fill
// colour). Toolkit-free: the device contexts take the bits as they are.

#include "model/PaintStyle.h"
#include "platform/DeviceContext.h"

#include <cstdint>

namespace zavora {

struct HatchPattern {
    uint16_t resourceId; // the bitmap resource identifier
    PatternBits rows; // top row first, bit 7 the leftmost pixel, set bits are ink
};

// Pattern 0..8 (see patternName() in model/PaintStyle.h); nullptr out of range.
const HatchPattern* hatchPattern(int index);

} // namespace zavora
