#include "app/dialogs/DialogValues.h"

#include "model/DrawingLimits.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zavora {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<int> parseWholeNumber(std::string_view text)
{
    text = trimmed(text);
    // from_chars takes no '+'.
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> parseNumber(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int gridSpacing(std::string_view text)
{
    const auto value = parseWholeNumber(text);
    return value && *value >= 1 && *value <= 72 ? *value : 1;
}

int moveDistance(std::string_view text)
{
    constexpr int kLimit = static_cast<int>(kMaxCoordinate);
    return std::clamp(parseWholeNumber(text).value_or(0), -kLimit, kLimit);
}

int scalePercent(std::string_view text)
{
    const auto value = parseWholeNumber(text);
    return value && *value != 0 ? std::clamp(*value, -kMaxScalePercent, kMaxScalePercent) : 100;
}

int rotateAngle(std::string_view text)
{
    return parseWholeNumber(text).value_or(0);
}

int zoomPercent(std::string_view text, int currentPercent)
{
    return std::clamp(parseWholeNumber(text).value_or(currentPercent), kMinZoomPercent, kMaxZoomPercent);
}

std::optional<int> paperSide(std::string_view text)
{
    const auto value = parseWholeNumber(text);
    if (!value || *value < kMinPaperSize || *value > kMaxPaperSize)
        return std::nullopt;
    return value;
}

int jpegQualityForLevel(int level)
{
    return level <= 0 ? 25 : level == 1 ? 75 : 100;
}

int jpegLevelForQuality(int quality)
{
    if (quality >= 76)
        return 2;
    return quality > 25 ? 1 : 0;
}

} // namespace zavora
