#include "../output/PostScriptTestSupport.h"
#include "FontTestSupport.h"
#include "tests/support/SystemFonts.h"

#include "fonts/FontCatalogue.h"
#include "fonts/Type1Font.h"
#include "platform/OutputStream.h"
#include "platform/Profile.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

using namespace zavora;
using namespace zavora::test;

namespace {

const std::filesystem::path kUrw = "/usr/share/fonts/type1/urw-base35";

std::string segment(int type, const std::string& data)
{
    std::string s;
    s += char(128);
    s += char(type);
    if (type != 3) {
        std::uint32_t n = std::uint32_t(data.size());
        for (int i = 0; i < 4; ++i)
            s += char((n >> (8 * i)) & 255);
        s += data;
    }
    return s;
}

class Type1Catalogue : public ::testing::Test {
protected:
    void SetUp() override { ZAVORA_REQUIRE_FILE(kUrw / "NimbusSans-Regular.afm"); }
    RecordingReporter m_loadMessages; // while the machine's fonts load
    testfonts::SystemCatalogue m_system;
    FontCatalogue* m_catalogue = &m_system.catalogue();
};

} // namespace

TEST_F(Type1Catalogue, HelveticaWidthsAreTheAfmWidths)
{
    EXPECT_TRUE(m_loadMessages.messages().empty());
    const FontEntry* helvetica = m_catalogue->find("Helvetica");
    ASSERT_NE(helvetica, nullptr);
    const auto* type1 = dynamic_cast<const Type1Font*>(helvetica);
    ASSERT_NE(type1, nullptr);
    EXPECT_EQ(type1->metricsPath().extension(), ".afm");

    // Read the AFM here on its own: code and name of every glyph.
    std::map<int, int> byCode;
    std::map<std::string, int> byName;
    std::istringstream afm(readText(type1->metricsPath()));
    std::string line;
    while (std::getline(afm, line)) {
        int code = 0, width = 0;
        char name[64];
        if (std::sscanf(line.c_str(), "C %d ; WX %d ; N %63s", &code, &width, name) == 3) {
            byName[name] = width;
            if (code >= 0)
                byCode[code] = width;
        }
    }
    ASSERT_GT(byName.size(), 300u);
    const FontMetrics& m = helvetica->metrics();
    ASSERT_TRUE(m.metricsLoaded);
    // Printable ASCII is the AFM's standard encoding, except the two quotes.
    for (int c = 32; c < 127; ++c) {
        if (c == '\'' || c == '`')
            continue;
        EXPECT_EQ(m.widths[c], byCode.at(c)) << "code " << c;
    }
    const std::map<int, const char*> windows = { { '\'', "quotesingle" }, { '`', "grave" }, { 0x80, "Euro" },
        { 0x92, "quoteright" }, { 0x93, "quotedblleft" }, { 0x97, "emdash" }, { 0xA0, "space" },
        { 0xC4, "Adieresis" }, { 0xDF, "germandbls" }, { 0xE9, "eacute" }, { 0xFF, "ydieresis" } };
    for (auto [code, name] : windows)
        EXPECT_EQ(m.widths[code], byName.at(name)) << name;
    EXPECT_EQ(m.widths[0x81], 0); // unused in Windows-1252
    EXPECT_EQ(m.capHeight, 729);
    EXPECT_EQ(m.xHeight, 524);
    ASSERT_TRUE(m.bboxLoaded);
    EXPECT_EQ(m.bbox, (std::array<int, 4> { -210, -299, 1032, 1075 }));
}

TEST(Type1Program, PfbSegmentsBecomeTextAndHex)
{
    std::string binary;
    for (int i = 0; i < 40; ++i)
        binary += char(i * 7);
    std::string pfb = segment(1, "%!FontType1\rline two\r\nthree\n") + segment(2, binary)
        + segment(1, "cleartomark\r") + segment(3, "");
    std::string text;
    // Whether a real PFB's text is a usable program, Ghostscript says below.
    ASSERT_TRUE(Type1Font::programText({ pfb.begin(), pfb.end() }, text));
    EXPECT_EQ(text.rfind("%!FontType1\r\nline two\r\nthree\r\n00070e", 0), 0u) << "line ends, then hex";

    // No end segment, a length past the end, an unknown type: all fail.
    for (const std::string& bad :
        { segment(1, "abc"), pfb.substr(0, 20), segment(4, "abc") + segment(3, ""), std::string() }) {
        EXPECT_FALSE(Type1Font::programText({ bad.begin(), bad.end() }, text));
        EXPECT_TRUE(text.empty());
    }
}

// The catalogue's download of a standard name that another font's .t1 file
// stands behind, renamed to the name the document uses: it runs, defines that
// name and has CR LF line ends.
TEST_F(Type1Catalogue, DownloadedProgramRunsInGhostscript)
{
    const FontEntry* helvetica = m_catalogue->find("Helvetica");
    ASSERT_NE(helvetica, nullptr);
    MemoryOutputStream downloaded;
    ASSERT_TRUE(helvetica->download(downloaded, {}));
    const std::string& text = downloaded.data();
    for (std::size_t pos = text.find("\n"); pos != std::string::npos; pos = text.find("\n", pos + 1))
        ASSERT_EQ(text[pos - 1], '\r') << "bare line feed at " << pos;
    const auto run = zavora::testing::runGhostscript("%!PS\r\n" + text
            + "/Helvetica findfont /FontName get /Helvetica eq { (NAME-OK) print } if\r\n"
              "/Helvetica findfont 24 scalefont setfont 72 72 moveto (Zavora) show showpage\r\n",
        "program", "-dNOFONTMAP -sDEVICE=nullpage");
    ASSERT_TRUE(run.ok()) << run.messages;
    EXPECT_NE(run.messages.find("NAME-OK"), std::string::npos) << run.messages;
    EXPECT_EQ(Type1Font::findFontBBox(readBytes(kUrw / "NimbusSans-Regular.t1")),
        (std::array<int, 4> { -210, -299, 1032, 1075 }));
}
