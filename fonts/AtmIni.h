#pragma once
// The ATM.INI font list: a "[Fonts]" section of lines
//   menu name[,BOLD|ITALIC|BOLDITALIC]=pfm path,pfb path

#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class AtmIni {
public:
    struct Entry {
        std::string menuName;
        std::string styleWord; // "" when the line has none
        int styleBits = 0;
        std::string pfmPath;
        std::string pfbPath;
        // The settings key of the entry's PostScript name: "menu,STYLE" or "menu".
        std::string settingsKey() const;
    };

    static AtmIni parse(std::string_view text);

    bool sectionFound = false;
    std::vector<Entry> entries;
};

} // namespace zavora
