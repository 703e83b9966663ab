#include "cli/ConvertOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace zavora;
namespace fs = std::filesystem;

TEST(ConvertArguments, OptionsAndFiles)
{
    std::string error;
    auto request = parseConvertArguments(
        { "--include-fonts", "--type3", "--border", "12", "--smoothing", "4", "--quality", "90", "in.zvx",
            "out.eps" },
        error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->input, "in.zvx");
    EXPECT_EQ(request->output, "out.eps");
    EXPECT_EQ(request->kind, ExportKind::Eps);
    EXPECT_TRUE(request->exportOptions.includeFonts);
    EXPECT_EQ(request->exportOptions.downloadForm, FontDownloadForm::Type3);
    EXPECT_EQ(request->exportOptions.border, 12);
    EXPECT_EQ(request->exportOptions.smoothing, Smoothing::Quadruple);
    EXPECT_EQ(request->exportOptions.jpegQuality, 90);

    const std::vector<std::string> refused[] = {
        { "--form", "Logo", "in.zvx", "out.eps" }, { "--form", std::string(65, 'x'), "in.zvx", "out.ps" },
        { "in.zvx" }, { "--border", "x", "a", "b" }, { "--dpi" }, { "--smoothing", "3", "a", "b" },
        { "--smoothing", "x", "a", "b" }, { "--quality", "0", "a", "b" }, { "--quality", "101", "a", "b" },
        { "--frobnicate", "a", "b" },
    };
    for (const auto& arguments : refused) {
        EXPECT_FALSE(parseConvertArguments(arguments, error)) << arguments[0];
        EXPECT_TRUE(arguments.size() == 1 || error.find(arguments[0]) != std::string::npos) << error;
    }
    EXPECT_EQ(error, "unknown option --frobnicate");
}

namespace {

struct ConvertRun {
    int status;
    std::string errors;
};

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The converter run in a scratch folder that also holds its settings.
class ConvertProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }

    ConvertRun convert(const std::string& arguments)
    {
        const fs::path err = dir / "convert.err";
        const int raw = std::system((std::string(ZAVORA_CONVERT) + " " + arguments + " 2>" + err.string()).c_str());
        return { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(err) };
    }
    // Converts `from` into the file `name` of the folder and reads that back.
    std::string converted(const std::string& options, const fs::path& from, const std::string& name)
    {
        const ConvertRun run = convert(options + " " + from.string() + " " + (dir / name).string());
        EXPECT_EQ(run.status, 0) << name << ": " << run.errors;
        return slurp(dir / name);
    }

    const fs::path golfer = fs::path(ZAVORA_TEST_DATA_DIR) / "ai" / "golfer.eps";
    const fs::path dir = fs::temp_directory_path() / "zavora-convert-test";
};

} // namespace

// The converter end to end: an Illustrator file in, every format out, and a
// second conversion of the native file gives the same drawing back.
TEST_F(ConvertProgram, IllustratorToNativeAndEveryFormat)
{
    ASSERT_TRUE(fs::exists(golfer)) << golfer;
    const std::string native = converted("", golfer, "golfer.zvx");
    EXPECT_EQ(native.rfind("%!PS-Adobe-3.0 EPSF-3.0\r\n", 0), 0u);
    // Same objects: identical bodies after the header's title and date.
    auto body = [](const std::string& s) { return s.substr(s.find("%%EndComments")); };
    const fs::path zvx = dir / "golfer.zvx";
    EXPECT_EQ(body(converted("", zvx, "again.zvx")), body(native));
    EXPECT_EQ(converted("", zvx, "golfer.ps").find("%ZVX u"), std::string::npos);
    EXPECT_NE(converted("--form Golfer", zvx, "form.ps").find("/Golfer Golfer /Form defineresource pop"),
        std::string::npos);
    // The options reach the files.
    const struct {
        const char* name;
        const char* options;
        std::string head;
    } heads[] = {
        { "golfer.ai", "", "%!PS-Adobe-2.0 EPSF-1.2\r\n" },
        { "golfer.eps", "--preview --border 4", "\xC5\xD0\xD3\xC6" },
        { "golfer.gif", "--transparent --interlace --smoothing 2", "GIF89a" },
        { "golfer.jpg", "--quality 40", "\xFF\xD8\xFF" },
        { "golfer.tif", "", "II*" },
        { "golfer.bmp", "--smoothing 4", "BM" },
        { "golfer.svg", "", "<?xml version=\"1.0\" standalone=\"no\"?>\r\n" },
    };
    for (const auto& h : heads)
        EXPECT_EQ(converted(h.options, zvx, h.name).substr(0, h.head.size()), h.head) << h.name;
    // The converter opens the Illustrator file it wrote.
    converted("", dir / "golfer.ai", "back.zvx");
}

// A metafile written, then read back in as Insert would read it; one that
// holds nothing to draw is an error, not an empty drawing.
TEST_F(ConvertProgram, MetafileOutAndBackIn)
{
    EXPECT_EQ(converted("", golfer, "golfer.wmf").substr(0, 4), std::string("\xD7\xCD\xC6\x9A"));
    EXPECT_NE(converted("", dir / "golfer.wmf", "back.zvx").find("%%EndComments"), std::string::npos);

    // The header of an empty metafile and its end record, nothing between.
    std::ofstream(dir / "empty.wmf", std::ios::binary)
        << std::string("\1\0\x9\0\0\3\xc\0\0\0\0\0\3\0\0\0\0\0\3\0\0\0\0\0", 24);
    ConvertRun empty = convert((dir / "empty.wmf").string() + " " + (dir / "empty.zvx").string());
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.errors.find("nothing that can be inserted"), std::string::npos) << empty.errors;
    EXPECT_FALSE(fs::exists(dir / "empty.zvx"));
}

TEST_F(ConvertProgram, FailuresSayWhyAndExitNonZero)
{
    ConvertRun missing = convert((dir / "none.zvx").string() + " " + (dir / "out.zvx").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("Unable to open"), std::string::npos) << missing.errors;
    EXPECT_EQ(std::count(missing.errors.begin(), missing.errors.end(), '\n'), 1) << missing.errors;
    EXPECT_FALSE(fs::exists(dir / "out.zvx"));

    ConvertRun unknown = convert((dir / "a.zvx").string() + " " + (dir / "out.xyz").string());
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.errors.find("cannot tell the output format"), std::string::npos);

    EXPECT_EQ(convert("").status, 2);
}
