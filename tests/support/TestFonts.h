#pragma once
// Fonts for tests that need no font file: metrics set directly (by default
// ascent 700, descent -200 and every character 500 units wide), and a
// catalogue of them installed as the current font lookup for its lifetime.

#include "model/FontEntry.h"
#include "model/FontLookup.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zavora::testfonts {

struct FontShape {
    bool trueType = false;
    int style = 0; // FontEntry::kBold | kItalic
    bool symbol = false;
    int ascent = 700;
    int descent = -200;
    int width = 500; // every character; 0 leaves the widths empty
    std::string face; // the name when empty
};

class FixedFont : public FontEntry {
public:
    using Shape = FontShape;

    explicit FixedFont(std::string name, const FontShape& shape = FontShape())
        : m_name(std::move(name))
        , m_face(shape.face.empty() ? m_name : shape.face)
        , m_trueType(shape.trueType)
        , m_style(shape.style)
    {
        m_metrics.ascent = shape.ascent;
        m_metrics.descent = shape.descent;
        m_metrics.bold = shape.style & kBold;
        m_metrics.italic = shape.style & kItalic;
        m_metrics.symbol = shape.symbol;
        if (shape.width)
            m_metrics.widths.fill(shape.width);
        m_metrics.metricsLoaded = true;
    }
    bool isTrueType() const override { return m_trueType; }
    std::string postScriptName() const override { return m_name; }
    std::string faceName() const override { return m_face; }
    int styleBits() const override { return m_style; }
    const FontMetrics& metrics() const override { return m_metrics; }
    bool download(OutputStream&, const DownloadOptions&) const override { return false; }

    // Tests that measure set the widths themselves.
    FontMetrics m_metrics;

private:
    std::string m_name;
    std::string m_face;
    bool m_trueType;
    int m_style;
};

class FixedCatalogue : public FontLookup {
public:
    explicit FixedCatalogue(const std::vector<std::string>& names, const FontShape& shape = FontShape())
    {
        for (const std::string& name : names)
            m_fonts.push_back(std::make_unique<FixedFont>(name, shape));
        m_previous = current();
        setCurrent(this);
    }
    ~FixedCatalogue() override { setCurrent(m_previous); }
    FixedCatalogue(const FixedCatalogue&) = delete;
    FixedCatalogue& operator=(const FixedCatalogue&) = delete;

    const FontEntry* find(std::string_view name) const override
    {
        for (const auto& font : m_fonts)
            if (font->postScriptName() == name)
                return font.get();
        return nullptr;
    }
    const FontEntry* firstFont() const override { return m_fonts.empty() ? nullptr : m_fonts.front().get(); }

private:
    std::vector<std::unique_ptr<FixedFont>> m_fonts;
    const FontLookup* m_previous = nullptr;
};

} // namespace zavora::testfonts
