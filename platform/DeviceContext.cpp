#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace zavora {

namespace {

// The nearest pixel (halves up), within the device range (NaN becomes 0).
int32_t roundToPixel(double v)
{
    return int32_t(std::floor(clampDeviceCoordinate(v) + 0.5));
}

// The run lengths GDI uses for its styled cosmetic pens.
constexpr int kDash[] = { 18, 6 };
constexpr int kDot[] = { 3, 3 };
constexpr int kDashDot[] = { 9, 6, 3, 6 };
constexpr int kDashDotDot[] = { 9, 3, 3, 3, 3, 3 };

} // namespace

std::span<const int> penDashPattern(PenStyle style)
{
    switch (style) {
    case PenStyle::Dash:
        return kDash;
    case PenStyle::Dot:
        return kDot;
    case PenStyle::DashDot:
        return kDashDot;
    case PenStyle::DashDotDot:
        return kDashDotDot;
    default:
        return {};
    }
}

DcPen DeviceContext::selectPen(const DcPen& pen)
{
    DcPen previous = m_state.pen;
    m_state.pen = pen;
    return previous;
}

DcBrush DeviceContext::selectBrush(const DcBrush& brush)
{
    DcBrush previous = m_state.brush;
    m_state.brush = brush;
    return previous;
}

ColorRef DeviceContext::setTextColor(ColorRef color)
{
    ColorRef previous = m_state.textColor;
    m_state.textColor = color & 0xffffff;
    return previous;
}

ColorRef DeviceContext::setBkColor(ColorRef color)
{
    ColorRef previous = m_state.bkColor;
    m_state.bkColor = color & 0xffffff;
    return previous;
}

BkMode DeviceContext::setBkMode(BkMode mode)
{
    BkMode previous = m_state.bkMode;
    m_state.bkMode = mode;
    return previous;
}

Rop2 DeviceContext::setRop2(Rop2 mode)
{
    Rop2 previous = m_state.rop2;
    m_state.rop2 = mode;
    return previous;
}

PolyFillMode DeviceContext::setPolyFillMode(PolyFillMode mode)
{
    PolyFillMode previous = m_state.fillMode;
    m_state.fillMode = mode;
    return previous;
}

void DeviceContext::saveDC()
{
    m_saved.push_back(m_state);
}

bool DeviceContext::restoreDC()
{
    if (m_saved.empty())
        return false;
    m_state = m_saved.back();
    m_saved.pop_back();
    return true;
}

void DeviceContext::fillPolygons(std::span<const double> xy, std::span<const int32_t> counts)
{
    // Points that round onto their predecessor are dropped.
    std::vector<DcPoint> points;
    std::vector<int32_t> rounded;
    points.reserve(xy.size() / 2);
    std::size_t next = 0;
    for (int32_t count : counts) {
        if (count < 0 || next + 2 * std::size_t(count) > xy.size())
            break;
        const std::size_t first = points.size();
        for (int32_t i = 0; i < count; ++i, next += 2) {
            const DcPoint q { roundToPixel(xy[next]), roundToPixel(xy[next + 1]) };
            if (points.size() > first && points.back() == q)
                continue;
            points.push_back(q);
        }
        rounded.push_back(int32_t(points.size() - first));
    }
    const DcPen pen = selectPen(DcPen::null());
    polyPolygon(points, rounded);
    selectPen(pen);
}

} // namespace zavora
