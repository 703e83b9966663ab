#include "FontTestSupport.h"
#include "SfntBuilder.h"

#include "fonts/FontCatalogue.h"
#include "fonts/TrueTypeFont.h"
#include "fonts/TrueTypeRenderer.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

using namespace zavora;
using namespace zavora::test;

TEST(TrueTypeNames, MacintoshRecordFirstThenWindows)
{
    auto utf16 = [](const std::string& ascii) {
        std::string out;
        for (char c : ascii)
            out += std::string { '\0', c };
        return out;
    };
    auto name = [](const Bytes& table) {
        return TrueTypeFont::postScriptNameFromNameTable(table).value_or("<none>");
    };
    using Records = std::vector<SfntBuilder::NameRecord>;
    auto table = [](const Records& records) { return SfntBuilder::nameTable(records); };
    EXPECT_EQ(name(table({ { 3, 6, utf16("WinName") }, { 1, 4, "Full" }, { 1, 6, "MacName" } })), "MacName");
    EXPECT_EQ(name(table({ { 3, 6, utf16("WinName") }, { 1, 6, "" } })), "WinName");
    // Names that would break PostScript output are refused.
    for (const Records& bad : { Records { { 1, 6, "Bad Name" } }, Records { { 1, 6, "Bad/Name" } },
             Records { { 3, 6, utf16("Caf\xe9") } } })
        EXPECT_EQ(name(table(bad)), "<none>") << std::get<2>(bad[0]);
    // A record pointing past the table is skipped.
    Bytes cut = table({ { 1, 6, "Truncated" } });
    cut.resize(cut.size() - 3);
    EXPECT_EQ(name(cut), "<none>");
    EXPECT_EQ(name({}), "<none>");
}

class TrueTypeCatalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZAVORA_REQUIRE_FILE(corpusFile("Vera.ttf"));
        m_fonts.m_list = { listed(corpusFile("Vera.ttf"), "Bitstream Vera Sans", "Roman", 400, false),
            listed(corpusFile("OpenSansCondensed-LightItalic.ttf"), "Open Sans Condensed Light", "Italic",
                300, true),
            listed(corpusFile("Tuffy.ttf"), "Tuffy", "Bold", 700, false),
            // Same face and style again: listed once.
            listed(corpusFile("TestTTF.ttf"), "Bitstream Vera Sans", "Regular", 400, false),
            // No name table: skipped.
            listed(corpusFile("bogus_post_format_1.ttf"), "Bogus", "Regular", 400, false) };
        FontFileInfo uncovered = listed(corpusFile("K3.TTF"), "K3", "Regular", 400, false);
        uncovered.coversAnsi = false;
        m_fonts.m_list.push_back(uncovered);
    }
    TempFolder m_dir;
    ListedFontSystem m_fonts;
};

TEST_F(TrueTypeCatalogue, NamesAreCachedInTheSettingsAndMetricsScaledToTheEm)
{
    Profile settings(m_dir.path() / "zavora.ini");
    // Each entry as "settings key=name", the name as the settings now hold it.
    auto names = [&](const TrueTypeRenderer& renderer) {
        std::vector<std::string> out;
        for (const auto& entry : renderer.entries()) {
            const std::string key = TrueTypeRenderer::settingsKey(entry->faceName(), entry->styleBits());
            EXPECT_EQ(settings.getString("TrueType", key, ""), entry->postScriptName());
            out.push_back(key + "=" + entry->postScriptName());
        }
        return out;
    };
    TrueTypeRenderer renderer(m_fonts, settings);
    renderer.loadCatalogue();
    EXPECT_EQ(names(renderer),
        (std::vector<std::string> { "Bitstream Vera Sans=BitstreamVeraSans-Roman",
            "Open Sans Condensed Light,ITALIC=OpenSansCondensed-LightItalic", "Tuffy,BOLD=Tuffy" }));
    // Vera: 2048 units to the em, hhea ascender 1901 and descender -483,
    // advances A 1401, space 651, W 2025.
    const FontEntry* vera = renderer.findFace("bitstream vera sans", 0);
    ASSERT_NE(vera, nullptr);
    const FontMetrics& m = vera->metrics();
    ASSERT_TRUE(m.metricsLoaded);
    EXPECT_EQ((std::array { m.ascent, m.descent, m.widths['A'], m.widths[' '], m.widths['W'] }),
        (std::array { 928, -236, 684, 318, 989 }));

    // Second start: the names come from the settings without opening a font.
    ASSERT_TRUE(settings.putString("TrueType", "Tuffy,BOLD", "Tuffy-FromSettings"));
    m_fonts.m_list.pop_back(); // the bogus font would be opened again: it has no cached name
    m_fonts.m_list.erase(m_fonts.m_list.begin() + 4);
    m_fonts.opens = 0;
    TrueTypeRenderer again(m_fonts, settings);
    again.loadCatalogue();
    EXPECT_EQ(m_fonts.opens, 0);
    EXPECT_EQ(names(again).back(), "Tuffy,BOLD=Tuffy-FromSettings");
    EXPECT_EQ(
        TrueTypeRenderer::settingsKey("Arial", FontEntry::kBold | FontEntry::kItalic), "Arial,BOLDITALIC");
}
