#pragma once
// Numbers for file formats, written the same whatever the process locale is
// (Qt adopts the user's locale, where printf("%g") would write "0,5").
// Every writer formats its numbers here.

#include <cstddef>
#include <string>
#include <string_view>

namespace zavora {

// Large enough for any result below, including "%.Nf" of 1e308 with N up to kMaxFixedDecimals.
constexpr std::size_t kNumberBufferSize = 384;
constexpr int kMaxFixedDecimals = 60;

// Each function writes into buf (at least kNumberBufferSize bytes, not zero
// terminated) and returns the number of characters written.

// printf "%.<precision>g" (6 by default): significant digits, trailing zeros
// trimmed, exponent form for exponents below -4 or at least the precision.
std::size_t formatGeneral(char* buf, double value, int precision = 6);
// printf "%.<decimals>f"; decimals is clamped to 0..kMaxFixedDecimals.
std::size_t formatFixed(char* buf, double value, int decimals);
// printf "%.<decimals>e"; decimals is clamped to 0..kMaxFixedDecimals.
std::size_t formatScientific(char* buf, double value, int decimals);
// Matrix entries: "%.4g", with magnitudes below 0.0001 written as "0".
std::size_t formatMatrixNumber(char* buf, double value);
// SVG numbers: "%.3f" without trailing zeros or a trailing dot; never "-0".
std::size_t formatSvgNumber(char* buf, double value);

// Convenience forms returning a string.
std::string formatGeneral(double value, int precision = 6);
std::string formatFixed(double value, int decimals);
std::string formatMatrixNumber(double value);
std::string formatSvgNumber(double value);

} // namespace zavora
