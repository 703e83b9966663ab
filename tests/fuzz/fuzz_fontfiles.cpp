// The font metadata readers: ATM.INI lists, AFM and PFM files, 'name' tables
// and Type 1 programs. The first byte picks the reader.
#include "fonts/AfmFile.h"
#include "fonts/AtmIni.h"
#include "fonts/PfmFile.h"
#include "fonts/TrueTypeFont.h"
#include "fonts/Type1Font.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zavora;
    if (size == 0)
        return 0;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    switch (data[0] % 5) {
    case 0: {
        AtmIni list = AtmIni::parse(text);
        for (const auto& e : list.entries)
            if (e.menuName.empty() || e.pfmPath.empty() || e.pfbPath.empty())
                std::abort();
        break;
    }
    case 1:
        if (auto afm = AfmFile::parse(text))
            for (int c = 0; c < 256; ++c)
                afm->glyphByCode(c);
        break;
    case 2:
        if (auto name = PfmFile::postScriptName(bytes))
            if (name->empty() || name->size() > 63)
                std::abort();
        PfmFile::metrics(bytes);
        break;
    case 3:
        if (auto name = TrueTypeFont::postScriptNameFromNameTable(bytes))
            if (!TrueTypeFont::isValidPostScriptName(*name))
                std::abort();
        break;
    default: {
        std::string out;
        Type1Font::programText(bytes, out);
        Type1Font::findFontBBox(bytes);
        break;
    }
    }
    return 0;
}
