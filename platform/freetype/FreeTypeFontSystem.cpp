#include "platform/freetype/FreeTypeFontSystem.h"

#include "platform/DebugLog.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TYPE1_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zavora {

struct FreeTypeFontSystem::Library {
    FT_Library ft = nullptr;
    // Our own fontconfig configuration, so nothing is left behind at exit.
    FcConfig* config = nullptr;
    ~Library()
    {
        if (ft)
            FT_Done_FreeType(ft);
        if (config)
            FcConfigDestroy(config);
    }
};

namespace {

std::string fcString(FcPattern* pattern, const char* object, int n = 0)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) == FcResultMatch && value)
        return reinterpret_cast<const char*>(value);
    return {};
}

// The legacy family or style name: fontconfig lists the typographic names
// first and the legacy (menu) names after them, so take the last English one.
std::string lastEnglish(FcPattern* pattern, const char* object, const char* langObject)
{
    std::string chosen;
    for (int n = 0;; ++n) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch)
            break;
        std::string lang = fcString(pattern, langObject, n);
        if (n == 0 || lang.rfind("en", 0) == 0)
            chosen = reinterpret_cast<const char*>(value);
    }
    return chosen;
}

// Windows-1252's printable characters that Latin-1 shares with Unicode.
bool coversAnsi(FcCharSet* charset)
{
    if (!charset)
        return false;
    for (FcChar32 c = 0x20; c <= 0xFF; ++c) {
        if (c >= 0x7F && c < 0xA0)
            continue;
        if (!FcCharSetHasChar(charset, c))
            return false;
    }
    return true;
}

class FreeTypeFace : public FontFace {
public:
    FreeTypeFace(std::shared_ptr<FreeTypeFontSystem::Library> library, FT_Face face)
        : m_library(std::move(library))
        , m_face(face)
    {
        for (int i = 0; i < face->num_charmaps; ++i) {
            if (face->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL)
                m_symbolMap = face->charmaps[i];
            else if (face->charmaps[i]->encoding == FT_ENCODING_UNICODE && !m_unicodeMap)
                m_unicodeMap = face->charmaps[i];
            else if ((face->charmaps[i]->encoding == FT_ENCODING_ADOBE_CUSTOM
                         || face->charmaps[i]->encoding == FT_ENCODING_ADOBE_STANDARD)
                && !m_builtinMap)
                m_builtinMap = face->charmaps[i];
        }
    }
    ~FreeTypeFace() override { FT_Done_Face(m_face); }

    FaceMetrics metrics() const override;
    std::optional<int> advance(std::uint32_t code, CharCode kind) const override
    {
        FT_UInt glyph = glyphIndex(code, kind);
        if (!glyph)
            return std::nullopt;
        return advanceOf(glyph);
    }
    int defaultAdvance() const override { return advanceOf(0); }
    std::optional<std::vector<std::uint8_t>> sfntTable(std::uint32_t tag) const override;
    std::string postScriptName() const override
    {
        const char* name = FT_Get_Postscript_Name(m_face);
        return name ? name : "";
    }
    bool outline(std::uint32_t code, CharCode kind, OutlineSink& sink) const override;
    std::optional<GlyphMask> renderGlyph(std::uint32_t code, CharCode kind, const GlyphRaster& raster) const override;

private:
    FT_UInt glyphIndex(std::uint32_t code, CharCode kind) const
    {
        if (kind == CharCode::FontCode) {
            // TrueType symbol fonts map their codes at 0xF000 + code.
            if (m_symbolMap) {
                FT_Set_Charmap(m_face, m_symbolMap);
                FT_UInt g = FT_Get_Char_Index(m_face, 0xF000 + code);
                return g ? g : FT_Get_Char_Index(m_face, code);
            }
            if (m_builtinMap) {
                FT_Set_Charmap(m_face, m_builtinMap);
                return FT_Get_Char_Index(m_face, code);
            }
        }
        if (!m_unicodeMap)
            return 0;
        FT_Set_Charmap(m_face, m_unicodeMap);
        return FT_Get_Char_Index(m_face, code);
    }
    int advanceOf(FT_UInt glyph) const
    {
        FT_Fixed value = 0;
        if (FT_Get_Advance(m_face, glyph, FT_LOAD_NO_SCALE, &value) != 0)
            return 0;
        return static_cast<int>(value);
    }
    std::optional<int> glyphHeight(std::uint32_t code, CharCode kind) const
    {
        FT_UInt glyph = glyphIndex(code, kind);
        if (!glyph || FT_Load_Glyph(m_face, glyph, FT_LOAD_NO_SCALE) != 0
            || m_face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return std::nullopt;
        FT_BBox box;
        FT_Outline_Get_CBox(&m_face->glyph->outline, &box);
        return static_cast<int>(box.yMax);
    }

    std::shared_ptr<FreeTypeFontSystem::Library> m_library;
    FT_Face m_face;
    FT_CharMap m_symbolMap = nullptr;
    FT_CharMap m_unicodeMap = nullptr;
    FT_CharMap m_builtinMap = nullptr; // a Type 1 font's own encoding
    // The character size last set, in 26.6 points at 72 dpi (pixels):
    // setting it again runs a TrueType font's preparation program.
    mutable FT_F26Dot6 m_charWidth = 0, m_charHeight = 0;
};

FaceMetrics FreeTypeFace::metrics() const
{
    FaceMetrics m;
    m.unitsPerEm = m_face->units_per_EM ? m_face->units_per_EM : 1000;
    m.ascender = m_face->ascender;
    m.descender = m_face->descender;
    m.xMin = static_cast<int>(m_face->bbox.xMin);
    m.yMin = static_cast<int>(m_face->bbox.yMin);
    m.xMax = static_cast<int>(m_face->bbox.xMax);
    m.yMax = static_cast<int>(m_face->bbox.yMax);
    m.fixedPitch = FT_IS_FIXED_WIDTH(m_face);
    m.symbol = m_symbolMap != nullptr;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        if (os2->version >= 2) {
            m.capHeight = os2->sCapHeight;
            m.xHeight = os2->sxHeight;
        }
        int familyClass = os2->sFamilyClass >> 8;
        m.serif = (familyClass >= 1 && familyClass <= 5) || familyClass == 7
            || (familyClass == 0 && os2->panose[0] == 2 && os2->panose[1] >= 2 && os2->panose[1] <= 10);
        m.script = familyClass == 10 || os2->panose[0] == 3;
    }
    if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_POST))) {
        m.italicAngle = post->italicAngle / 65536.0;
        m.fixedPitch = m.fixedPitch || post->isFixedPitch != 0;
    } else {
        PS_FontInfoRec info;
        if (FT_Get_PS_Font_Info(m_face, &info) == 0) {
            m.italicAngle = info.italic_angle;
            m.fixedPitch = m.fixedPitch || info.is_fixed_pitch;
        }
    }
    // Fonts without the OS/2 version 2 fields: measure the letters themselves.
    if (m.capHeight == 0)
        m.capHeight = glyphHeight('H', CharCode::Unicode).value_or(0);
    if (m.xHeight == 0)
        m.xHeight = glyphHeight('x', CharCode::Unicode).value_or(0);
    return m;
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    out[at] = std::uint8_t(v >> 24);
    out[at + 1] = std::uint8_t(v >> 16);
    out[at + 2] = std::uint8_t(v >> 8);
    out[at + 3] = std::uint8_t(v);
}

std::optional<std::vector<std::uint8_t>> FreeTypeFace::sfntTable(std::uint32_t tag) const
{
    if (!FT_IS_SFNT(m_face))
        return std::nullopt;
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(m_face, tag, 0, nullptr, &length) != 0)
        return std::nullopt;
    std::vector<std::uint8_t> data(length);
    if (length && FT_Load_Sfnt_Table(m_face, tag, 0, data.data(), &length) != 0)
        return std::nullopt;
    if (tag != 0 || data.size() < 4 || std::memcmp(data.data(), "ttcf", 4) != 0)
        return data;

    // A face of a collection: rebuild it as a font file of its own.
    FT_ULong count = 0;
    FT_Sfnt_Table_Info(m_face, 0, nullptr, &count);
    struct Table {
        FT_ULong tag;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Table> tables;
    for (FT_UInt i = 0; i < count; ++i) {
        FT_ULong t = 0, len = 0;
        if (FT_Sfnt_Table_Info(m_face, i, &t, &len) != 0)
            return std::nullopt;
        Table table { t, std::vector<std::uint8_t>(len) };
        if (len && FT_Load_Sfnt_Table(m_face, t, 0, table.bytes.data(), &len) != 0)
            return std::nullopt;
        tables.push_back(std::move(table));
    }
    std::sort(tables.begin(), tables.end(), [](const Table& a, const Table& b) { return a.tag < b.tag; });
    std::uint16_t n = static_cast<std::uint16_t>(tables.size());
    std::uint16_t power = 1, log2 = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++log2;
    }
    std::size_t headerSize = 12 + 16 * tables.size();
    std::vector<std::uint8_t> out(headerSize);
    std::uint32_t version = 0x00010000u;
    for (const Table& t : tables)
        if (t.tag == sfntTag('C', 'F', 'F', ' '))
            version = sfntTag('O', 'T', 'T', 'O');
    put32(out, 0, version);
    out[4] = std::uint8_t(n >> 8);
    out[5] = std::uint8_t(n);
    std::uint16_t searchRange = static_cast<std::uint16_t>(power * 16);
    out[6] = std::uint8_t(searchRange >> 8);
    out[7] = std::uint8_t(searchRange);
    out[8] = 0;
    out[9] = std::uint8_t(log2);
    std::uint16_t rangeShift = static_cast<std::uint16_t>(n * 16 - searchRange);
    out[10] = std::uint8_t(rangeShift >> 8);
    out[11] = std::uint8_t(rangeShift);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const Table& t = tables[i];
        std::size_t offset = out.size();
        out.insert(out.end(), t.bytes.begin(), t.bytes.end());
        out.resize((out.size() + 3) & ~std::size_t(3), 0);
        std::uint32_t sum = 0;
        for (std::size_t k = offset; k < out.size(); k += 4)
            sum += (std::uint32_t(out[k]) << 24) | (std::uint32_t(out[k + 1]) << 16) | (std::uint32_t(out[k + 2]) << 8)
                | out[k + 3];
        std::size_t entry = 12 + 16 * i;
        put32(out, entry, static_cast<std::uint32_t>(t.tag));
        put32(out, entry + 4, sum);
        put32(out, entry + 8, static_cast<std::uint32_t>(offset));
        put32(out, entry + 12, static_cast<std::uint32_t>(t.bytes.size()));
    }
    return out;
}

struct DecomposeContext {
    OutlineSink* sink;
};

int moveToCallback(const FT_Vector* to, void* user)
{
    static_cast<DecomposeContext*>(user)->sink->moveTo(double(to->x), double(to->y));
    return 0;
}
int lineToCallback(const FT_Vector* to, void* user)
{
    static_cast<DecomposeContext*>(user)->sink->lineTo(double(to->x), double(to->y));
    return 0;
}
int conicToCallback(const FT_Vector* c, const FT_Vector* to, void* user)
{
    static_cast<DecomposeContext*>(user)->sink->conicTo(double(c->x), double(c->y), double(to->x), double(to->y));
    return 0;
}
int cubicToCallback(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    static_cast<DecomposeContext*>(user)->sink->cubicTo(
        double(c1->x), double(c1->y), double(c2->x), double(c2->y), double(to->x), double(to->y));
    return 0;
}

bool FreeTypeFace::outline(std::uint32_t code, CharCode kind, OutlineSink& sink) const
{
    FT_UInt glyph = glyphIndex(code, kind);
    if (!glyph || FT_Load_Glyph(m_face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0
        || m_face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    FT_Outline_Funcs funcs {};
    funcs.move_to = moveToCallback;
    funcs.line_to = lineToCallback;
    funcs.conic_to = conicToCallback;
    funcs.cubic_to = cubicToCallback;
    DecomposeContext context { &sink };
    return FT_Outline_Decompose(&m_face->glyph->outline, &funcs, &context) == 0;
}

// 16.16 fixed point.
FT_Fixed fixed(double v)
{
    return static_cast<FT_Fixed>(std::lround(v * 65536.0));
}

std::optional<GlyphMask> FreeTypeFace::renderGlyph(std::uint32_t code, CharCode kind, const GlyphRaster& raster) const
{
    // The lengths of the em's two axes on the device set the character size,
    // what is left of the mapping (turn, skew, mirror) goes in as a transform
    // applied after hinting.
    const double width = std::hypot(raster.xx, raster.yx), height = std::hypot(raster.xy, raster.yy);
    constexpr double kLargest = 1 << 14; // pixels; FreeType's 26.6 sizes stay well within range
    if (!(width >= 1.0 / 64 && height >= 1.0 / 64 && width < kLargest && height < kLargest))
        return std::nullopt;
    FT_UInt glyph = glyphIndex(code, kind);
    if (!glyph)
        return std::nullopt;
    const FT_F26Dot6 charWidth = std::max<FT_F26Dot6>(1, std::lround(width * 64));
    const FT_F26Dot6 charHeight = std::max<FT_F26Dot6>(1, std::lround(height * 64));
    if (charWidth != m_charWidth || charHeight != m_charHeight) {
        if (FT_Set_Char_Size(m_face, charWidth, charHeight, 72, 72) != 0) {
            m_charWidth = m_charHeight = 0;
            return std::nullopt;
        }
        m_charWidth = charWidth;
        m_charHeight = charHeight;
    }
    // FreeType's y axis points up, the device's down.
    FT_Matrix matrix { fixed(raster.xx / width), fixed(raster.xy / height), fixed(-raster.yx / width),
        fixed(-raster.yy / height) };
    FT_Vector delta { static_cast<FT_Pos>(std::lround(raster.penX * 64)),
        static_cast<FT_Pos>(-std::lround(raster.penY * 64)) };
    const bool mono = raster.depth == MaskDepth::Mono;
    FT_Set_Transform(m_face, &matrix, &delta);
    const FT_Int32 flags = FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    FT_Error error = FT_Load_Glyph(m_face, glyph, flags);
    FT_Set_Transform(m_face, nullptr, nullptr);
    FT_GlyphSlot slot = m_face->glyph;
    if (error != 0 || slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return std::nullopt;
    if (mono) {
        // Thin stems and serifs keep a pixel however they fall on the grid.
        slot->outline.flags &= ~FT_OUTLINE_IGNORE_DROPOUTS;
        slot->outline.flags |= FT_OUTLINE_SMART_DROPOUTS | FT_OUTLINE_INCLUDE_STUBS;
    }
    if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return std::nullopt;
    const FT_Bitmap& bitmap = slot->bitmap;
    GlyphMask mask;
    mask.depth = raster.depth;
    if (bitmap.rows == 0 || bitmap.width == 0 || !bitmap.buffer)
        return mask;
    if (bitmap.pixel_mode != (mono ? FT_PIXEL_MODE_MONO : FT_PIXEL_MODE_GRAY))
        return std::nullopt;
    mask.left = slot->bitmap_left;
    mask.top = slot->bitmap_top;
    mask.width = static_cast<int32_t>(bitmap.width);
    mask.height = static_cast<int32_t>(bitmap.rows);
    mask.stride = mono ? (mask.width + 7) / 8 : mask.width;
    mask.bits.resize(std::size_t(mask.stride) * std::size_t(mask.height));
    for (int32_t row = 0; row < mask.height; ++row) {
        // A negative pitch stores the rows bottom up.
        const unsigned char* from = bitmap.pitch >= 0
            ? bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch
            : bitmap.buffer + std::ptrdiff_t(mask.height - 1 - row) * -bitmap.pitch;
        std::memcpy(mask.bits.data() + std::size_t(row) * std::size_t(mask.stride), from, std::size_t(mask.stride));
    }
    return mask;
}

} // namespace

FreeTypeFontSystem::FreeTypeFontSystem()
    : m_library(std::make_shared<Library>())
{
    if (FT_Init_FreeType(&m_library->ft) != 0) {
        m_library->ft = nullptr;
        debugLog("FreeType could not be initialised");
    }
}

FreeTypeFontSystem::~FreeTypeFontSystem() = default;

std::vector<FontFileInfo> FreeTypeFontSystem::enumerate()
{
    std::vector<FontFileInfo> fonts;
    if (!m_library->config)
        m_library->config = FcInitLoadConfigAndFonts();
    if (!m_library->config) {
        debugLog("fontconfig could not be initialised");
        return fonts;
    }
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_FAMILYLANG, FC_STYLE, FC_STYLELANG,
        FC_POSTSCRIPT_NAME, FC_WEIGHT, FC_SLANT, FC_FONTFORMAT, FC_CHARSET,
#ifdef FC_SYMBOL
        FC_SYMBOL,
#endif
        nullptr);
    FcFontSet* set = FcFontList(m_library->config, pattern, objects);
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        FontFileInfo info;
        info.path = fcString(font, FC_FILE);
        if (info.path.empty())
            continue;
        int index = 0;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        // Named instances of variable fonts share the file; the default instance stands for them.
        if (index >> 16)
            continue;
        info.index = index;
        std::string format = fcString(font, FC_FONTFORMAT);
        info.format = format == "TrueType" ? FontFileInfo::Format::TrueType
            : format == "Type 1"           ? FontFileInfo::Format::Type1
                                           : FontFileInfo::Format::Other;
        info.family = lastEnglish(font, FC_FAMILY, FC_FAMILYLANG);
        info.style = lastEnglish(font, FC_STYLE, FC_STYLELANG);
        info.postScriptName = fcString(font, FC_POSTSCRIPT_NAME);
        double weight = FC_WEIGHT_REGULAR;
        FcPatternGetDouble(font, FC_WEIGHT, 0, &weight);
        info.weight = FcWeightToOpenType(static_cast<int>(weight));
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(font, FC_SLANT, 0, &slant);
        info.italic = slant != FC_SLANT_ROMAN;
        FcCharSet* charset = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) == FcResultMatch)
            info.coversAnsi = coversAnsi(charset);
#ifdef FC_SYMBOL
        FcBool symbol = FcFalse;
        if (FcPatternGetBool(font, FC_SYMBOL, 0, &symbol) == FcResultMatch)
            info.symbol = symbol;
#endif
        fonts.push_back(std::move(info));
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    std::sort(fonts.begin(), fonts.end(), [](const FontFileInfo& a, const FontFileInfo& b) {
        return a.path != b.path ? a.path < b.path : a.index < b.index;
    });
    return fonts;
}

std::unique_ptr<FontFace> FreeTypeFontSystem::open(const std::filesystem::path& path, int index)
{
    if (!m_library->ft)
        return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(m_library->ft, path.c_str(), index, &face) != 0)
        return nullptr;
    if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        return nullptr;
    }
    return std::make_unique<FreeTypeFace>(m_library, face);
}

FontSystem& systemFontSystem()
{
    static FreeTypeFontSystem system;
    return system;
}

} // namespace zavora
