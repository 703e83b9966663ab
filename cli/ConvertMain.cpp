// zavora-convert: opens a drawing as the program's Open does and writes it
// through the same export routine, without a display.

#include "cli/ConvertOptions.h"
#include "fonts/FontCatalogue.h"
#include "model/Drawing.h"
#include "output/Export.h"
#include "platform/Profile.h"
#include "platform/Reporter.h"
#include "platform/freetype/FreeTypeFontSystem.h"
#include "platform/qt/PngWriter.h"
#include "platform/qt/QtRasterSurface.h"
#include "raster/PageRenderer.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

using namespace zavora;

namespace {

// Every message becomes one line on stderr; errors are remembered so the exit
// code tells a script that something went wrong.
class ConsoleReporter : public Reporter {
public:
    ConsoleReporter() { setReporter(this); }
    ~ConsoleReporter() override { setReporter(nullptr); }
    ConsoleReporter(const ConsoleReporter&) = delete;
    ConsoleReporter& operator=(const ConsoleReporter&) = delete;

    void error(const std::string& text) override
    {
        print("error", text);
        m_failed = true;
    }
    void warning(const std::string& text) override { print("warning", text); }
    void info(const std::string& text) override { print("note", text); }
    void status(const std::string&) override { }

    bool failed() const { return m_failed; }

private:
    static void print(const char* kind, const std::string& text)
    {
        std::string line;
        for (char c : text) {
            if (c == '\n') {
                if (!line.empty() && line.back() != ' ')
                    line += ": ";
            } else if (c != '\r') {
                line += c;
            }
        }
        std::fprintf(stderr, "zavora-convert: %s: %s\n", kind, line.c_str());
    }

    bool m_failed = false;
};

bool hasPngExtension(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".png";
}

// The page as the bitmap exports render it, written as PNG.
bool writePagePng(const Drawing& drawing, const ConvertRequest& request)
{
    QtSurfaceFactory factory;
    PageRenderSettings settings;
    settings.pixelsPerPoint = static_cast<float>(request.dpi) / 72.0f;
    RenderOptions options;
    const std::optional<RgbImage> image = renderPage(drawing, factory, settings, options);
    if (!image)
        return false;
    std::string error;
    if (!writePng(request.output, image->view(), error)) {
        errorBox("Unable to write to %s\n%s", request.output.c_str(), error.c_str());
        return false;
    }
    return true;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "zavora-convert: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string usageError;
    const std::optional<ConvertRequest> request = parseConvertArguments(args, usageError);
    if (!request) {
        std::fprintf(stderr, "zavora-convert: %s\n%s", usageError.c_str(), convertUsage());
        return 2;
    }
    if (request->help) {
        std::fputs(convertUsage(), stdout);
        return 0;
    }

    const bool png = hasPngExtension(request->output);
    const std::optional<ExportKind> kind = exportKindForPath(request->output);
    if (!kind && !png)
        return fail("cannot tell the output format from the name " + request->output);
    if (kind && !isExportAvailable(*kind))
        return fail("writing " + request->output + " is not supported by this version");

    ConsoleReporter console;
    FreeTypeFontSystem fontSystem;
    Profile settings(Profile::defaultPath());
    FontCatalogue catalogue(fontSystem, settings, FontCatalogue::atmIniBeside(settings));
    catalogue.load();

    Drawing drawing;
    if (openDrawing(drawing, request->input) != ZvxReadResult::Read)
        return 1; // the reader has reported why

    if (png) {
        if (!writePagePng(drawing, *request))
            return 1;
        return console.failed() ? 1 : 0;
    }
    if (!exportToFile(drawing, *kind, request->output, request->exportOptions, nullptr))
        return 1;
    return console.failed() ? 1 : 0;
}
