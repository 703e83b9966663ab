#pragma once
// GDI's integer conversions of device coordinates held as floats, shared by
// the raster ports: truncation toward zero, and halves rounded up, both kept
// within the range a device context addresses.

#include "platform/DeviceContext.h"

#include <cstdint>

namespace zavora {

inline int32_t truncateToDevice(float v)
{
    return int32_t(clampDeviceCoordinate(v));
}

inline int32_t roundHalfUpToDevice(float v)
{
    return truncateToDevice(v + 0.5f);
}

} // namespace zavora
