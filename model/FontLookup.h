#pragma once
// What the model needs from the font catalogue: finding a font by its
// PostScript name and the first font. The catalogue in fonts/ sits above the
// model, so it installs itself here as the process-wide current lookup.

#include <string_view>

namespace zavora {

class FontEntry;

class FontLookup {
public:
    virtual ~FontLookup() = default;

    virtual const FontEntry* find(std::string_view postScriptName) const = 0;
    // nullptr when the catalogue is empty.
    virtual const FontEntry* firstFont() const = 0;

    // The installed catalogue, or nullptr (an empty catalogue).
    static const FontLookup* current();
    // Not owned; nullptr uninstalls.
    static void setCurrent(const FontLookup* lookup);
};

} // namespace zavora
