// The shell's toolkit-free rules: edition, command line, recent
// files, settings and the frame's layout arithmetic.
#include "app/FrameLayout.h"
#include "app/RecentFiles.h"
#include "app/ShellRules.h"
#include "app/ShellSettings.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace zavora {
namespace {

TEST(ShellRules, FormsEditionOnlyForNamesStartingWithZform)
{
    EXPECT_TRUE(isFormsEdition("/usr/bin/ZFORMDRAW"));
    EXPECT_TRUE(isFormsEdition("zform"));
    EXPECT_FALSE(isFormsEdition("/opt/zform/bin/myzform"));
    EXPECT_FALSE(isFormsEdition("/usr/bin/zfor"));
    EXPECT_EQ(productNameFor(true), "Zavora Forms");
    EXPECT_EQ(productNameFor(false), "Zavora Draw");
}

TEST(ShellRules, CommandLineNamesOneOptionallyQuotedFile)
{
    for (auto [line, name] : { std::pair { "\"\"", "" }, { "\"/tmp/a b/c.zvx\"", "/tmp/a b/c.zvx" },
             { "/tmp/a b/c.zvx", "/tmp/a b/c.zvx" }, { "\"", "\"" }, { "\"/tmp/x.zvx", "\"/tmp/x.zvx" } })
        EXPECT_EQ(commandLineFileName(line), name) << line;
    // Arguments split by the shell are joined back into one name.
    EXPECT_EQ(commandLineFileName(joinArguments({ "/tmp/a", "b/c.zvx" })), "/tmp/a b/c.zvx");
    EXPECT_EQ(joinArguments({}), "");
}

TEST(RecentFiles, MatchMovesToTheFrontIgnoringCaseElseTheLastFallsOff)
{
    RecentFiles r;
    for (const char* p : { "f.zvx", "e.zvx", "d.zvx", "/x/PIC.ZVX" })
        r.add(p);
    r.add("/X/pic.zvx");
    r.add("E.ZVX");
    EXPECT_EQ(r.entries(), (std::array<std::string, 4> { "E.ZVX", "/X/pic.zvx", "d.zvx", "f.zvx" }));
    r.add("new.zvx");
    EXPECT_EQ(r.entries(), (std::array<std::string, 4> { "new.zvx", "E.ZVX", "/X/pic.zvx", "d.zvx" }));
    // The empty slots of a fresh list fill from the front.
    RecentFiles fresh;
    fresh.add("a");
    fresh.add("b");
    EXPECT_EQ(fresh.entries(), (std::array<std::string, 4> { "b", "a", "", "" }));
}

class TempFolder {
public:
    TempFolder()
    {
        char name[] = "/tmp/zavora-shell-XXXXXX";
        m_path = mkdtemp(name);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

TEST(ShellSettings, EveryKeyIsWrittenAndReadBack)
{
    TempFolder dir;
    Profile profile(dir.path() / "zavora.ini");
    ShellSettings s;
    s.maximized = true;
    s.left = 10, s.top = 20, s.width = 800, s.height = 600;
    s.rulers = false, s.colorBar = false, s.shapeLibrary = true;
    s.units = 2, s.type42Ok = 1, s.substitutePsForTt = 1, s.exportFilter = 5, s.insertFilter = 3;
    s.openDir = "/home/u/My Drawings", s.exportDir = "/tmp", s.insertDir = "/srv";
    s.paperWidth = 842, s.paperHeight = 595;
    s.recentFiles.add("/a.zvx");
    s.recentFiles.add("/b c.zvx");
    ASSERT_TRUE(s.save(profile));

    const std::string text = profile.serialize();
    for (const char* line : { "Maximized=1", "Left=10", "Top=20", "Width=800", "Height=600", "Ruler=0",
             "Colorpal=0", "Shapelib=1", "Version=360", "Units=2", "Type42ok=1", "SubstPSforTT=1",
             "ExportFilter=5", "InsertFilter=3", "OpenDir=/home/u/My Drawings", "PaperWidth=842",
             "PaperHeight=595", "File0=/b c.zvx", "File1=/a.zvx", "File3=" })
        EXPECT_NE(text.find(line), std::string::npos) << line;

    // Read back and written again, every key comes out as it went in.
    Profile again(dir.path() / "zavora.ini");
    Profile copy(dir.path() / "copy.ini");
    ASSERT_TRUE(ShellSettings::load(again).save(copy));
    EXPECT_EQ(copy.serialize(), text);
}

TEST(ShellSettings, UnusablePageSizeAndUnitFallBack)
{
    TempFolder dir;
    Profile profile(dir.path() / "zavora.ini");
    profile.putInt("Options", "PaperWidth", 0);
    profile.putInt("Options", "PaperHeight", -50);
    profile.putInt("Options", "Units", 7);
    ShellSettings s = ShellSettings::load(profile);
    EXPECT_EQ(s.paperWidth, 612);
    EXPECT_EQ(s.paperHeight, 792);
    EXPECT_EQ(s.units, 2);
}

TEST(FrameLayout, HiddenPiecesGiveTheirRoomToTheDrawingWindow)
{
    FrameLayout rulers = FrameLayout::compute(1024, 768, true, false, false);
    EXPECT_EQ(rulers.verticalRuler, (LayoutRect { 54, 84, 26, 659 }));

    FrameLayout colour = FrameLayout::compute(640, 480, false, true, false);
    EXPECT_EQ(colour.client, (LayoutRect { 54, 58, 586, 375 }));
    EXPECT_EQ(colour.colorBar, (LayoutRect { 0, 433, 640, 22 }));
}

} // namespace
} // namespace zavora
