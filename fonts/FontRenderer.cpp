#include "fonts/FontRenderer.h"

#include "fonts/AnsiEncoding.h"
#include "platform/FontSystem.h"

#include <algorithm>
#include <cctype>

namespace zavora {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Places font-unit outlines at a pen position and size.
class PlacedSink : public OutlineSink {
public:
    PlacedSink(OutlineSink& out, double scale)
        : m_out(out)
        , m_scale(scale)
    {
    }
    void setOrigin(double x, double y)
    {
        m_x = x;
        m_y = y;
    }
    void moveTo(double x, double y) override { m_out.moveTo(px(x), py(y)); }
    void lineTo(double x, double y) override { m_out.lineTo(px(x), py(y)); }
    void conicTo(double cx, double cy, double x, double y) override { m_out.conicTo(px(cx), py(cy), px(x), py(y)); }
    void cubicTo(double ax, double ay, double bx, double by, double x, double y) override
    {
        m_out.cubicTo(px(ax), py(ay), px(bx), py(by), px(x), py(y));
    }

private:
    double px(double x) const { return m_x + x * m_scale; }
    double py(double y) const { return m_y + y * m_scale; }

    OutlineSink& m_out;
    double m_scale;
    double m_x = 0, m_y = 0;
};

} // namespace

const FontEntry* FontRenderer::find(std::string_view postScriptName) const
{
    for (const auto& entry : m_entries)
        if (entry->postScriptName() == postScriptName)
            return entry.get();
    return nullptr;
}

const FontEntry* FontRenderer::findFace(std::string_view faceName, int styleBits) const
{
    for (const auto& entry : m_entries)
        if (entry->styleBits() == styleBits && sameName(entry->faceName(), faceName))
            return entry.get();
    return nullptr;
}

bool FontRenderer::owns(const FontEntry& font) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const auto& e) { return e.get() == &font; });
}

std::optional<GlyphCode> FontRenderer::glyphCode(const FontEntry& font, unsigned char c)
{
    if (font.metrics().symbol)
        return GlyphCode { c, CharCode::FontCode };
    if (char32_t u = ansiToUnicode(c))
        return GlyphCode { std::uint32_t(u), CharCode::Unicode };
    return std::nullopt;
}

bool FontRenderer::drawString(OutlineSink& sink, double x, double y, const FontEntry& font, double size,
    std::string_view text) const
{
    const std::shared_ptr<FaceCache::Face> opened = face(font);
    if (!opened || opened->unitsPerEm() <= 0)
        return false;
    std::vector<int> widths;
    font.charWidths(text, size, widths);
    PlacedSink placed(sink, size / opened->unitsPerEm());
    double pen = x;
    for (std::size_t i = 0; i < text.size(); ++i) {
        placed.setOrigin(pen, y);
        if (const auto glyph = glyphCode(font, static_cast<unsigned char>(text[i])))
            opened->font().outline(glyph->code, glyph->kind, placed);
        pen += widths[i];
    }
    return true;
}

} // namespace zavora
