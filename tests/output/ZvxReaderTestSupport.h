#pragma once
// Shared pieces of the reader tests: native files built around a body, a
// read into a fresh list, and a font catalogue that needs no font files.

#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/GroupObject.h"
#include "model/ObjectList.h"
#include "model/PathObjects.h"
#include "output/ZvxReader.h"
#include "platform/Reporter.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zavora::readtest {

// The body's lines end in LF in the test source; the file gets CR LF.
inline std::string crlf(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// A native file as the writer lays it out, around the given page body.
inline std::string nativeFile(std::string_view body, std::string_view setupLines = "%ZVX g 9 9 0 1\n",
    std::string_view orientation = "Portrait")
{
    std::string text = "%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: Zavora Draw, Version 3.6\n%%Title: t.zvx\n"
                       "%%BoundingBox: 0 0 100 100\n%%Orientation: ";
    text += orientation;
    text += "\n%%EndComments\n%%BeginProlog\n/ZVXDict 100 dict def\nZVXDict begin\n/m /moveto load def\n"
            "/b { closepath B } bind def\nend\n%%EndProlog\n%%BeginSetup\n";
    text += setupLines;
    text += "ZVXDict begin\n%%EndSetup\n%%Page: 1 1\n%%BeginPageSetup\n/_ZVX_savepage save def\n\n"
            "0 0 1 1 0 0 m\nnewpath\n%%EndPageSetup\n";
    text += body;
    text += "%%PageTrailer\n_ZVX_savepage restore\n%%Trailer\nend\nshowpage\n%%EOF\n";
    return crlf(text);
}

struct ReadOutcome {
    ZvxReadResult result = ZvxReadResult::Damaged;
    OwnedObjects objects;
    DocumentInfo info;
    std::vector<std::string> missingFonts;
    std::vector<RecordingReporter::Message> messages;
};

inline ReadOutcome readText(std::string_view bytes, const std::string& path = "/tmp/t.zvx")
{
    RecordingReporter reporter;
    ReadOutcome out;
    out.info.landscape = false;
    ZvxReader reader(out.objects, &out.info, &out.missingFonts);
    out.result = reader.readBytes(bytes, path);
    out.messages = reporter.messages();
    return out;
}

inline ReadOutcome readBody(std::string_view body)
{
    return readText(nativeFile(body));
}

template <class T> const T* as(const std::unique_ptr<DrawObject>& object)
{
    return dynamic_cast<const T*>(object.get());
}

// A font with fixed metrics: ascent 700, 500 units a character.
class TestFont : public FontEntry {
public:
    explicit TestFont(std::string name)
        : m_name(std::move(name))
    {
        m_metrics.ascent = 700;
        m_metrics.descent = -200;
        m_metrics.widths.fill(500);
        m_metrics.metricsLoaded = true;
    }
    bool isTrueType() const override { return false; }
    std::string postScriptName() const override { return m_name; }
    std::string faceName() const override { return m_name; }
    int styleBits() const override { return 0; }
    const FontMetrics& metrics() const override { return m_metrics; }
    bool download(OutputStream&, const DownloadOptions&) const override { return false; }

private:
    std::string m_name;
    FontMetrics m_metrics;
};

// Installed as the current catalogue for its lifetime.
class TestCatalogue : public FontLookup {
public:
    explicit TestCatalogue(std::vector<std::string> names)
    {
        for (auto& name : names)
            m_fonts.push_back(std::make_unique<TestFont>(name));
        m_previous = current();
        setCurrent(this);
    }
    ~TestCatalogue() override { setCurrent(m_previous); }
    const FontEntry* find(std::string_view name) const override
    {
        for (const auto& font : m_fonts)
            if (font->postScriptName() == name)
                return font.get();
        return nullptr;
    }
    const FontEntry* firstFont() const override { return m_fonts.empty() ? nullptr : m_fonts.front().get(); }

private:
    std::vector<std::unique_ptr<TestFont>> m_fonts;
    const FontLookup* m_previous = nullptr;
};

} // namespace zavora::readtest
