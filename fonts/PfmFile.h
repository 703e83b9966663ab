#pragma once
// Printer Font Metrics files (the Windows metrics of a Type 1 font): the
// PostScript name and the metrics the catalogue needs. Every offset is checked
// against the data, so a short or damaged file fails cleanly.

#include "model/FontEntry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zavora {

class PfmFile {
public:
    // The PostScript name: the 32-bit offset at byte 139 points to a
    // NUL-terminated name of 1 to 63 characters.
    static std::optional<std::string> postScriptName(const std::vector<std::uint8_t>& data);
    // Ascent, descent, cap and x height, italic angle, character set, pitch
    // and family, first and last character and the widths. Style flags and the
    // bounding box are not in the file and stay unset.
    static std::optional<FontMetrics> metrics(const std::vector<std::uint8_t>& data);
};

} // namespace zavora
