#include "FontTestSupport.h"

#include "fonts/AtmIni.h"
#include "fonts/PfmFile.h"
#include "fonts/Type1Font.h"
#include "fonts/Type1Renderer.h"
#include "platform/Profile.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

using namespace zavora;
using namespace zavora::test;

namespace {

// Little-endian, `size` bytes at `at`.
void put(std::string& d, std::size_t at, std::uint32_t v, int size = 2)
{
    for (int i = 0; i < size; ++i)
        d[at + i] = char((v >> (8 * i)) & 255);
}

// A small PFM: header, extended metrics, extent table for 32..126, then the name.
std::string makePfm(const std::string& name)
{
    std::string d(147, '\0');
    put(d, 0, 0x100);
    put(d, 74, 683); // ascent
    d[85] = 0; // ANSI
    d[90] = char(0x11); // variable pitch, roman family
    d[95] = 32;
    d[96] = 126;
    std::size_t etm = d.size();
    d.resize(d.size() + 52, '\0');
    put(d, etm, 52);
    put(d, etm + 14, 662); // cap height
    put(d, etm + 16, 457); // x height
    put(d, etm + 20, 217); // descender
    put(d, etm + 22, 0); // slant
    put(d, 119, std::uint32_t(etm), 4);
    std::size_t extents = d.size();
    for (int c = 32; c <= 126; ++c) {
        d.resize(d.size() + 2);
        put(d, d.size() - 2, c == 'A' ? 722 : 500);
    }
    put(d, 123, std::uint32_t(extents), 4);
    put(d, 139, std::uint32_t(d.size()), 4);
    d += name;
    d += '\0';
    put(d, 2, std::uint32_t(d.size()), 4);
    return d;
}

std::vector<std::uint8_t> bytes(const std::string& s)
{
    return { s.begin(), s.end() };
}

// Each entry as "settings key=PFM,PFB": the key carries the menu name and style.
std::vector<std::string> summary(const AtmIni& list)
{
    std::vector<std::string> out;
    for (const auto& entry : list.entries)
        out.push_back(entry.settingsKey() + "=" + entry.pfmPath + "," + entry.pfbPath);
    return out;
}

} // namespace

TEST(AtmIniParser, TokenizerStyleWordsAndSection)
{
    AtmIni list = AtmIni::parse("[Other]\nTimes=a.pfm,a.pfb\n[Fonts]\n"
                                "; a comment line\n"
                                "Times,BOLD=c:\\psfonts\\pfm\\tib.pfm,c:\\psfonts\\tib.pfb\r\n"
                                "  Times New Roman PS ,ITALIC= x.pfm ,x.pfb\n"
                                "Times,ITALIC =w.pfm,w.pfb\n" // "ITALIC " is not a style word
                                "Times,BOLDITALIC=y.pfm,y.pfb\n"
                                "Times,bold=z.pfm,z.pfb\n" // style words are upper case
                                "MinionMM=m.pfm,m.pfb\n" // multiple master
                                "Missing=onlyone.pfm\n"
                                "Extra=a.pfm,b.pfb,c\n"
                                "=a.pfm,b.pfb\n"
                                "Plain=p.pfm,p.pfb\n"
                                "\n"
                                "After=blank.pfm,blank.pfb\n");
    ASSERT_TRUE(list.sectionFound);
    // Words run to the next ',' or '=' and keep inner and trailing blanks.
    EXPECT_EQ(summary(list),
        (std::vector<std::string> { "Times,BOLD=c:\\psfonts\\pfm\\tib.pfm,c:\\psfonts\\tib.pfb",
            "Times New Roman PS ,ITALIC=x.pfm ,x.pfb", "Times,BOLDITALIC=y.pfm,y.pfb",
            "Plain=p.pfm,p.pfb" }));

    EXPECT_FALSE(AtmIni::parse("[Font]\nTimes=a,b\n").sectionFound);
    EXPECT_EQ(
        summary(AtmIni::parse("[Fonts] trailing\nTimes=a,b")), std::vector<std::string> { "Times=a,b" });
    // An over-long line is skipped whole, not read in pieces.
    std::string longLine = "Long=" + std::string(300, 'p') + ".pfm,x.pfb\n";
    EXPECT_EQ(summary(AtmIni::parse("[Fonts]\n" + longLine + "Short=s.pfm,s.pfb\n")),
        std::vector<std::string> { "Short=s.pfm,s.pfb" });
}

TEST(PfmFile, NameAtOffset139AndMetrics)
{
    std::string pfm = makePfm("Times-Bold");
    EXPECT_EQ(PfmFile::postScriptName(bytes(pfm)), "Times-Bold");
    auto m = PfmFile::metrics(bytes(pfm));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->ascent, 683);
    EXPECT_EQ(m->descent, -217);
    EXPECT_EQ(m->capHeight, 662);
    EXPECT_EQ(m->xHeight, 457);
    EXPECT_EQ(m->widths['A'], 722);
    EXPECT_EQ(m->widths[127], 0);
    EXPECT_TRUE(m->serif);
    EXPECT_FALSE(m->fixedPitch);

    EXPECT_FALSE(PfmFile::postScriptName(bytes(makePfm(""))));
    EXPECT_FALSE(PfmFile::postScriptName(bytes(makePfm(std::string(64, 'N')))));
    EXPECT_EQ(PfmFile::postScriptName(bytes(makePfm(std::string(63, 'N')))), std::string(63, 'N'));
    // Offsets pointing outside the file, and cut-off files, fail.
    std::string bad = pfm;
    put(bad, 139, 0xFFFFFFF0u, 4);
    EXPECT_FALSE(PfmFile::postScriptName(bytes(bad)));
    for (std::size_t cut : { std::size_t(0), std::size_t(100), std::size_t(146), pfm.size() - 1 })
        EXPECT_FALSE(PfmFile::postScriptName(bytes(pfm.substr(0, cut)))) << cut;
    EXPECT_FALSE(PfmFile::metrics(bytes(pfm.substr(0, 200))));
}

class AtmIniCatalogue : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& name, const std::string& content)
    {
        std::filesystem::path p = m_dir.path() / name;
        writeBytes(p, content);
        return p;
    }
    TempFolder m_dir;
    ListedFontSystem m_fonts; // no system fonts: only the list counts
};

TEST_F(AtmIniCatalogue, BoldEntryNamedFromPfmAndCachedUnderItsKey)
{
    auto pfm = write("tib.pfm", makePfm("Times-Bold"));
    auto atm = write("atm.ini",
        "[Setup]\nQLCDir=x\n\n[Fonts]\nTimes,BOLD=" + pfm.string() + "," + (m_dir.path() / "tib.pfb").string()
            + "\n");
    Profile settings(m_dir.path() / "zavora.ini");
    RecordingReporter messages;
    Type1Renderer renderer(m_fonts, settings, atm);
    renderer.setStandardFolders({});
    renderer.loadCatalogue();
    EXPECT_TRUE(messages.messages().empty());
    ASSERT_EQ(renderer.entries().size(), 1u);
    const FontEntry& font = *renderer.entries()[0];
    EXPECT_EQ(font.postScriptName(), "Times-Bold");
    EXPECT_EQ(font.metrics().widths['A'], 722);
    EXPECT_TRUE(font.metrics().bold);
    EXPECT_EQ(renderer.findFace("times", FontEntry::kBold), &font);
    EXPECT_EQ(settings.getString("Fonts", "Times,BOLD", ""), "Times-Bold");

    // The next start takes the name from the settings, not the PFM.
    ASSERT_TRUE(settings.putString("Fonts", "Times,BOLD", "Times-Bold-Cached"));
    renderer.loadCatalogue();
    ASSERT_EQ(renderer.entries().size(), 1u);
    EXPECT_EQ(renderer.entries()[0]->postScriptName(), "Times-Bold-Cached");
}

TEST_F(AtmIniCatalogue, MissingSectionAndEmptySectionAreReported)
{
    Profile settings(m_dir.path() / "zavora.ini");
    // The messages and the face names the catalogue ends with.
    auto load = [&](const std::filesystem::path& list) {
        RecordingReporter messages;
        Type1Renderer renderer(m_fonts, settings, list);
        renderer.setStandardFolders({});
        renderer.loadCatalogue();
        std::vector<std::string> seen;
        for (const auto& message : messages.messages())
            seen.push_back(message.text);
        for (const auto& entry : renderer.entries())
            seen.push_back(entry->faceName());
        return seen;
    };
    EXPECT_EQ(load(write("atm.ini", "[Setup]\nx=1\n")),
        std::vector<std::string> { "Can't find [Fonts] section in ATM.INI" });
    // The catalogue is not left empty.
    EXPECT_EQ(load(write("atm.ini", "[Fonts]\nBroken=nopfm.pfm,x.pfb\n")),
        (std::vector<std::string> { "No fonts in [Fonts] section in ATM.INI", "Arial" }));
    // No list at all is the normal case here: nothing to report.
    EXPECT_TRUE(load(m_dir.path() / "absent.ini").empty());
}
