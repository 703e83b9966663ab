#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace zavora;
namespace fs = std::filesystem;

namespace {

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string tmpl = (fs::temp_directory_path() / "zavora-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        m_dir = tmpl;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::string read(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), {} };
    }
    static void write(const fs::path& p, const std::string& text)
    {
        std::ofstream(p, std::ios::binary) << text;
    }

    fs::path m_dir;
};

} // namespace

// Another instance, made before the file existed, reads what this one wrote.
TEST_F(ProfileFile, CreatedOnFirstWriteInItsFolderAndReadBack)
{
    fs::path file = m_dir / "zavora" / "zavora.ini";
    Profile profile(file), again(file);
    EXPECT_EQ(again.getInt("Startup", "Ruler", 1), 1);
    EXPECT_FALSE(fs::exists(file));
    ASSERT_TRUE(profile.putInt("Startup", "Ruler", 0));
    ASSERT_TRUE(profile.putString("Misc", "OpenDir", "/home/u/drawings"));
    ASSERT_TRUE(profile.putInt("Startup", "Width", -640));
    EXPECT_EQ(read(file), "[Startup]\r\nRuler=0\r\nWidth=-640\r\n\r\n[Misc]\r\nOpenDir=/home/u/drawings\r\n");

    EXPECT_EQ(again.getInt("STARTUP", "ruler", 1), 0);
    EXPECT_EQ(again.getInt("startup", "WIDTH", 0), -640);
    EXPECT_EQ(again.getString("misc", "opendir", "."), "/home/u/drawings");
    EXPECT_EQ(again.getString("Misc", "ExportDir", "."), ".");
    // No temporary files left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(ProfileFile, IntegersAreTheLeadingDecimalText)
{
    write(m_dir / "z.ini", "[Options]\nA=12px\nB=abc\nC= -7\nD=99999999999\nE=\n");
    Profile profile(m_dir / "z.ini");
    std::vector<int> values;
    for (const char* key : { "A", "B", "C", "D", "E", "F" })
        values.push_back(profile.getInt("Options", key, 5));
    EXPECT_EQ(values, (std::vector<int> { 12, 0, -7, 2147483647, 0, 5 }));
}

TEST_F(ProfileFile, OddFilesAreUpdatedWithoutLosingAnything)
{
    fs::path file = m_dir / "z.ini";
    std::string odd = "; comment\n[Broken\r\nno equals sign here\r\n[Misc]\r"
                      "=value without key\r\nVersion = 360\r\nVersion=1\r\n[misc]\r\nVersion=2\r\n"
                      "binary\x01\xff=x\r\n[Misc]";
    write(file, odd);
    Profile profile(file);
    // First section and first key win, as the platform's profile functions do.
    EXPECT_EQ(profile.getInt("misc", "VERSION", 0), 360);
    EXPECT_EQ(profile.getString("Misc", "binary\x01\xff", ""), "");
    ASSERT_TRUE(profile.putInt("MISC", "version", 361));
    ASSERT_TRUE(profile.putInt("Misc", "Units", 2));
    // Every other line is still there, in order; the key keeps its spelling
    // and the new one joins the first [Misc].
    EXPECT_EQ(read(file),
        "; comment\r\n[Broken\r\nno equals sign here\r\n[Misc]\r\n=value without key\r\n"
        "Version=361\r\nVersion=1\r\nUnits=2\r\n[misc]\r\nVersion=2\r\nbinary\x01\xff=x\r\n[Misc]\r\n");
}

TEST_F(ProfileFile, RefusesEntriesThatWouldCorruptTheFile)
{
    fs::path file = m_dir / "z.ini";
    Profile profile(file);
    ASSERT_TRUE(profile.putString("Misc", "OpenDir", "/a"));
    EXPECT_FALSE(profile.putString("Misc", "OpenDir", "/b\r\n[Startup]\r\nMaximized=1"));
    EXPECT_FALSE(profile.putString("Misc", "a=b", "1"));
    EXPECT_FALSE(profile.putString("Mi]sc", "a", "1"));
    EXPECT_FALSE(profile.putString("Misc", "", "1"));
    EXPECT_EQ(read(file), "[Misc]\r\nOpenDir=/a\r\n");
}

TEST_F(ProfileFile, FailedWritesLeaveFileAndValuesUnchanged)
{
    // A file under a plain file, and a name too long for the temporary file
    // beside it: failures that permissions cannot give to root.
    write(m_dir / "plain", "x");
    const fs::path longName = m_dir / (std::string(250, 'z') + ".ini");
    write(longName, "[Misc]\nUnits=1\n");
    for (const auto& [file, units] :
        { std::pair { m_dir / "plain" / "z.ini", 7 }, std::pair { longName, 1 } }) {
        Profile profile(file);
        EXPECT_FALSE(profile.putInt("Misc", "Units", 3));
        EXPECT_EQ(profile.getInt("Misc", "Units", 7), units);
    }
    EXPECT_EQ(read(m_dir / "plain"), "x");
    EXPECT_EQ(read(longName), "[Misc]\nUnits=1\n");
}

// An absolute one is where the shell tests find the settings file.
TEST(ProfilePath, IgnoresARelativeXdgConfigHome)
{
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    if (const char* home = std::getenv("HOME"); home && *home) {
        EXPECT_EQ(Profile::defaultPath(), fs::path(home) / ".config/zavora/zavora.ini");
    }
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}
