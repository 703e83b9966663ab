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
#include "tests/support/TestFonts.h"

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

// Fonts with fixed metrics: ascent 700, 500 units a character.
using TestCatalogue = testfonts::FixedCatalogue;

} // namespace zavora::readtest
