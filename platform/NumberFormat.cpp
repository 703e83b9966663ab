#include "platform/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zavora {

namespace {

// to_chars with a precision is specified as printf in the "C" locale, so it
// gives printf's digits and rounding without consulting the locale.
std::size_t toChars(char* buf, double value, std::chars_format format, int precision)
{
    auto result = std::to_chars(buf, buf + kNumberBufferSize, value, format, precision);
    return result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - buf) : 0;
}

template <typename Fn> std::string toString(Fn fn)
{
    char buf[kNumberBufferSize];
    return std::string(buf, fn(buf));
}

} // namespace

std::size_t formatGeneral(char* buf, double value, int precision)
{
    // printf treats a negative precision as absent and 0 as 1.
    if (precision < 0)
        precision = 6;
    return toChars(buf, value, std::chars_format::general, std::min(precision, 100));
}

std::size_t formatFixed(char* buf, double value, int decimals)
{
    return toChars(buf, value, std::chars_format::fixed, std::clamp(decimals, 0, kMaxFixedDecimals));
}

std::size_t formatScientific(char* buf, double value, int decimals)
{
    return toChars(buf, value, std::chars_format::scientific, std::clamp(decimals, 0, kMaxFixedDecimals));
}

std::size_t formatMatrixNumber(char* buf, double value)
{
    if (std::fabs(value) < 0.0001) {
        buf[0] = '0';
        return 1;
    }
    return formatGeneral(buf, value, 4);
}

std::size_t formatSvgNumber(char* buf, double value)
{
    std::size_t n = formatFixed(buf, value, 3);
    if (std::find(buf, buf + n, '.') != buf + n) {
        while (n > 0 && buf[n - 1] == '0')
            --n;
        if (n > 0 && buf[n - 1] == '.')
            --n;
    }
    if (n == 2 && buf[0] == '-' && buf[1] == '0') {
        buf[0] = '0';
        n = 1;
    }
    return n;
}

std::string formatGeneral(double value, int precision)
{
    return toString([&](char* buf) { return formatGeneral(buf, value, precision); });
}

std::string formatFixed(double value, int decimals)
{
    return toString([&](char* buf) { return formatFixed(buf, value, decimals); });
}

std::string formatMatrixNumber(double value)
{
    return toString([&](char* buf) { return formatMatrixNumber(buf, value); });
}

std::string formatSvgNumber(double value)
{
    return toString([&](char* buf) { return formatSvgNumber(buf, value); });
}

} // namespace zavora
