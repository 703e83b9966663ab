#include "fonts/PfmFile.h"

#include <cstdlib>

namespace zavora {

namespace {

// Field offsets of the PFM header and its extension.
constexpr std::size_t kAscent = 74;
constexpr std::size_t kCharSet = 85;
constexpr std::size_t kPixWidth = 86;
constexpr std::size_t kPitchAndFamily = 90;
constexpr std::size_t kFirstChar = 95;
constexpr std::size_t kLastChar = 96;
constexpr std::size_t kExtMetricsOffset = 119;
constexpr std::size_t kExtentTable = 123;
constexpr std::size_t kDriverInfo = 139;
constexpr std::size_t kHeaderSize = 147;
// Offsets inside the extended text metrics.
constexpr std::size_t kEtmCapHeight = 14;
constexpr std::size_t kEtmXHeight = 16;
constexpr std::size_t kEtmLowerCaseDescent = 20;
constexpr std::size_t kEtmSlant = 22;
constexpr std::size_t kEtmSize = 24;

constexpr int kSymbolCharSet = 2;
constexpr int kFamilyRoman = 0x10;
constexpr int kFamilyScript = 0x40;

int u16(const std::vector<std::uint8_t>& d, std::size_t at) { return d[at] | (d[at + 1] << 8); }
int s16(const std::vector<std::uint8_t>& d, std::size_t at) { return static_cast<std::int16_t>(u16(d, at)); }
std::uint32_t u32(const std::vector<std::uint8_t>& d, std::size_t at)
{
    return std::uint32_t(d[at]) | (std::uint32_t(d[at + 1]) << 8) | (std::uint32_t(d[at + 2]) << 16)
        | (std::uint32_t(d[at + 3]) << 24);
}

} // namespace

std::optional<std::string> PfmFile::postScriptName(const std::vector<std::uint8_t>& data)
{
    if (data.size() < kDriverInfo + 4)
        return std::nullopt;
    std::size_t offset = u32(data, kDriverInfo);
    std::string name;
    for (std::size_t i = offset; i < data.size(); ++i) {
        if (data[i] == 0) {
            if (name.empty())
                return std::nullopt;
            return name;
        }
        if (name.size() == 63)
            return std::nullopt;
        name += static_cast<char>(data[i]);
    }
    return std::nullopt; // no terminator inside the file
}

std::optional<FontMetrics> PfmFile::metrics(const std::vector<std::uint8_t>& data)
{
    if (data.size() < kHeaderSize)
        return std::nullopt;
    FontMetrics m;
    m.ascent = u16(data, kAscent);
    int charSet = data[kCharSet];
    int pitchAndFamily = data[kPitchAndFamily];
    m.symbol = charSet == kSymbolCharSet;
    // The low bit set means variable pitch.
    m.fixedPitch = (pitchAndFamily & 1) == 0;
    m.serif = (pitchAndFamily & 0xF0) == kFamilyRoman;
    m.script = (pitchAndFamily & 0xF0) == kFamilyScript;
    m.firstChar = data[kFirstChar];
    m.lastChar = data[kLastChar];
    if (m.lastChar < m.firstChar)
        return std::nullopt;

    std::size_t etm = u32(data, kExtMetricsOffset);
    if (etm && etm <= data.size() && data.size() - etm >= kEtmSize) {
        m.capHeight = s16(data, etm + kEtmCapHeight);
        m.xHeight = s16(data, etm + kEtmXHeight);
        m.descent = -std::abs(s16(data, etm + kEtmLowerCaseDescent));
        m.italicAngle = s16(data, etm + kEtmSlant) / 10.0;
    }

    std::size_t extents = u32(data, kExtentTable);
    std::size_t count = static_cast<std::size_t>(m.lastChar - m.firstChar + 1);
    if (extents) {
        if (extents > data.size() || (data.size() - extents) / 2 < count)
            return std::nullopt;
        for (std::size_t i = 0; i < count; ++i)
            m.widths[m.firstChar + i] = u16(data, extents + 2 * i);
    } else {
        // A fixed-pitch font without an extent table: every character is the pitch.
        int width = u16(data, kPixWidth);
        for (std::size_t i = 0; i < count; ++i)
            m.widths[m.firstChar + i] = width;
    }
    return m;
}

} // namespace zavora
