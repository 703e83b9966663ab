// zavora-convert: opens a drawing as the program's Open does and writes it
// through the same export routine, without a display.

#include "cli/ConvertOptions.h"
#include "export/Export.h"
#include "fonts/FontCatalogue.h"
#include "model/Drawing.h"
#include "platform/Profile.h"
#include "platform/Reporter.h"
#include "platform/freetype/FreeTypeFontSystem.h"
#include "platform/jpeg/TurboJpegEncoder.h"
#include "platform/qt/QtPngEncoder.h"
#include "platform/qt/QtRasterSurface.h"

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

    QtSurfaceFactory surfaces;
    QtPngEncoder pngEncoder;
    TurboJpegEncoder jpegEncoder;
    ExportOptions options = request->exportOptions;
    options.pixelsPerPoint = static_cast<float>(request->dpi) / 72.0f;
    options.surfaces = &surfaces;
    options.pngEncoder = &pngEncoder;
    options.jpegEncoder = &jpegEncoder;

    const std::optional<ExportKind> kind = exportKindForPath(request->output);
    if (!kind)
        return fail("cannot tell the output format from the name " + request->output);
    if (!isExportAvailable(*kind, options))
        return fail("writing " + request->output + " is not supported by this version");

    ConsoleReporter console;
    FreeTypeFontSystem fontSystem;
    Profile settings(Profile::defaultPath());
    FontCatalogue catalogue(fontSystem, settings, FontCatalogue::atmIniBeside(settings));
    catalogue.load();

    Drawing drawing;
    if (openDrawing(drawing, request->input) != ZvxReadResult::Read)
        return 1; // the reader has reported why

    if (!exportToFile(drawing, *kind, request->output, options, nullptr))
        return 1;
    return console.failed() ? 1 : 0;
}
