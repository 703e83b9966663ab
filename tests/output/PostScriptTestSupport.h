#pragma once
// Shared pieces of the PostScript writer tests: a font with fixed metrics,
// the fixed clock, a port run into memory, and Ghostscript as the referee.

#include "model/FontEntry.h"
#include "model/OutputPort.h"
#include "output/PostScriptPort.h"
#include "platform/OutputStream.h"
#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zavora::testing {

// A font that needs no file: Helvetica-like metrics, 500 units per character.
class FixedFont : public testfonts::FixedFont {
public:
    explicit FixedFont(std::string name, bool trueType = false, int style = 0, bool symbol = false)
        : testfonts::FixedFont(std::move(name),
            { .trueType = trueType, .style = style, .symbol = symbol, .ascent = 718, .descent = -207 })
    { }
};

// Sat Dec  5 21:49:31 2026.
inline std::tm fixedTime()
{
    return std::tm { .tm_sec = 31, .tm_min = 49, .tm_hour = 21, .tm_mday = 5, .tm_mon = 11, .tm_year = 126 };
}

inline DocumentInfo pageInfo(int x0 = 0, int y0 = 0, int x1 = 200, int y1 = 150)
{
    return DocumentInfo {
        .x0 = x0, .y0 = y0, .x1 = x1, .y1 = y1, .title = "test.zvx", .gridSettings = { 9, 9, 0, 1 }
    };
}

// Filled with `fill` and outlined `lineWidth` wide; fillOnly() has no outline.
inline PaintStyle filled(const Color& fill, float lineWidth = 1)
{
    PaintStyle style;
    style.setFillColor(fill);
    style.setLineWidth(lineWidth);
    return style;
}
inline PaintStyle fillOnly(const Color& fill)
{
    PaintStyle style = filled(fill);
    style.setLineInvisible();
    return style;
}

// Runs `body` between beginPage and endPage of a port of type P on a memory stream.
template <class P = PostScriptPort>
std::string writeDocument(const std::function<void(P&)>& body, const DocumentInfo& info = pageInfo(),
    std::vector<const FontEntry*> fonts = {}, bool substituteFonts = false)
{
    MemoryOutputStream stream;
    P port(stream);
    port.setClock(fixedTime);
    port.setDocumentFonts(std::move(fonts));
    port.setFontOptions(substituteFonts, {});
    port.beginPage(info, false, nullptr);
    body(port);
    port.endPage(nullptr);
    return stream.data();
}

// The lines between "%%EndPageSetup" and "%%PageTrailer", CR LF kept.
inline std::string pageBody(const std::string& document)
{
    const std::string begin = "%%EndPageSetup\r\n";
    std::size_t start = document.find(begin);
    std::size_t stop = document.find("%%PageTrailer\r\n");
    if (start == std::string::npos || stop == std::string::npos || stop < start)
        return "<no page body>";
    start += begin.size();
    return document.substr(start, stop - start);
}

// Per process; removed at exit unless ZAVORA_KEEP_SCRATCH is set (to look at renders).
inline std::filesystem::path scratchDirectory()
{
    struct Dir {
        std::filesystem::path path
            = std::filesystem::temp_directory_path() / ("zavora-pswriter-" + std::to_string(::getpid()));
        ~Dir()
        {
            std::error_code ec;
            if (!std::getenv("ZAVORA_KEEP_SCRATCH"))
                std::filesystem::remove_all(path, ec);
        }
    };
    static Dir dir;
    std::filesystem::create_directories(dir.path);
    return dir.path;
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Byte-exact comparison with tests/golden/<port>/<name>.<port>; ZAVORA_REGENERATE_GOLDEN=1
// rewrites the file instead (review the diff).
inline void checkGolden(const std::string& port, const std::string& name, const std::string& actual)
{
    const std::filesystem::path path
        = std::filesystem::path(ZAVORA_SOURCE_DIR) / "tests" / "golden" / port / (name + "." + port);
    const char* regenerate = std::getenv("ZAVORA_REGENERATE_GOLDEN");
    if (regenerate && std::string(regenerate) == "1") {
        std::filesystem::create_directories(path.parent_path());
        writeFile(path, actual);
        std::printf("regenerated %s\n", path.c_str());
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing; run with ZAVORA_REGENERATE_GOLDEN=1";
    const std::string expected = readFile(path);
    if (expected == actual)
        return;
    const auto at = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first;
    const std::filesystem::path written = scratchDirectory() / (name + ".actual." + port);
    writeFile(written, actual);
    ADD_FAILURE() << path << " differs at byte " << (at - expected.begin()) << "; compare with " << written;
}

// Asked once: every render would otherwise start a second gs first.
inline bool ghostscriptAvailable()
{
    static const bool available = std::system("gs --version > /dev/null 2>&1") == 0;
    return available;
}

// An RGB raster read back from Ghostscript's ppmraw device.
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    struct Pixel {
        int r, g, b;
        bool dark() const { return r + g + b < 200; }
        bool white() const { return r > 235 && g > 235 && b > 235; }
    };
    Pixel at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return { -1, -1, -1 };
        const uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return { p[0], p[1], p[2] };
    }
};

struct GhostscriptRun {
    int status = -1;
    std::string messages; // stdout and stderr
    Raster raster;
    bool ok() const { return status == 0 && messages.find("Error") == std::string::npos; }
};

// Two RGB images of one size, channel by channel: the mean difference (0..255)
// and the share of pixels with a channel off by more than 64.
struct PixelDifference {
    double mean = 255;
    double share = 1;
};

inline PixelDifference pixelDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size() || a.empty())
        return {};
    std::size_t differing = 0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); i += 3) {
        int worst = 0;
        for (std::size_t c = i; c < i + 3; ++c) {
            const int delta = std::abs(int(a[c]) - int(b[c]));
            sum += delta;
            worst = std::max(worst, delta);
        }
        differing += worst > 64 ? 1 : 0;
    }
    return { sum / double(a.size()), double(differing) / double(a.size() / 3) };
}

inline bool parsePpm(const std::string& data, Raster& raster)
{
    std::istringstream in(data);
    std::string magic;
    int maxValue = 0;
    in >> magic >> std::ws;
    if (in.peek() == '#') // Ghostscript names itself in one comment line
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    in >> raster.width >> raster.height >> maxValue;
    if (magic != "P6" || raster.width <= 0 || raster.height <= 0 || maxValue != 255)
        return false;
    in.get();
    raster.rgb.resize(static_cast<std::size_t>(raster.width) * raster.height * 3);
    in.read(reinterpret_cast<char*>(raster.rgb.data()), static_cast<std::streamsize>(raster.rgb.size()));
    return static_cast<std::size_t>(in.gcount()) == raster.rgb.size();
}

// Runs gs with `arguments` on the program; what it prints lands in messages.
// Fails the calling test when gs is missing.
inline GhostscriptRun runGhostscript(
    const std::string& program, const std::string& name, const std::string& arguments)
{
    GhostscriptRun run;
    if (!ghostscriptAvailable()) {
        ADD_FAILURE() << "Ghostscript (gs) is not installed; it is needed to check the PostScript output";
        return run;
    }
    const std::filesystem::path input = scratchDirectory() / (name + ".ps");
    const std::filesystem::path log = scratchDirectory() / (name + ".log");
    writeFile(input, program);
    const std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE " + arguments + " '" + input.string()
        + "' > '" + log.string() + "' 2>&1";
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.messages = readFile(log);
    return run;
}

// Renders the PostScript with Ghostscript at `dpi`, cropped to the bounding
// box when epsCrop is set.
inline GhostscriptRun renderWithGhostscript(
    const std::string& postScript, const std::string& name, int dpi = 72, bool epsCrop = true)
{
    const std::filesystem::path output = scratchDirectory() / (name + ".ppm");
    std::filesystem::remove(output);
    GhostscriptRun run = runGhostscript(postScript, name,
        "-dUseFastColor -sDEVICE=ppmraw -r" + std::to_string(dpi) + (epsCrop ? " -dEPSCrop" : "") + " -o '"
            + output.string() + "'");
    if (!parsePpm(readFile(output), run.raster))
        run.raster = {};
    return run;
}

// A command line run through the shell; what it prints (stdout and stderr)
// comes back. For the PDF referees (qpdf, pdftoppm, pdffonts, pdftotext).
struct ToolRun {
    int status = -1;
    std::string output;
};

inline ToolRun runTool(const std::string& command, const std::string& name)
{
    const std::filesystem::path log = scratchDirectory() / (name + ".out");
    const int raw = std::system((command + " > '" + log.string() + "' 2>&1").c_str());
    return { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(log) };
}

} // namespace zavora::testing
