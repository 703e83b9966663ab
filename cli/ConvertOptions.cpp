#include "cli/ConvertOptions.h"

#include <charconv>

namespace zavora {

namespace {

template <typename Number>
bool parseNumber(const std::string& text, Number& out)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

} // namespace

const char* convertUsage()
{
    return "usage: zavora-convert [options] IN OUT\n"
           "  IN   a drawing (.zvx), an Illustrator 88 file (.ai), a metafile (.wmf),\n"
           "       a picture (.bmp .jpg .gif .png) or a text file (.txt)\n"
           "  OUT  the output; its extension chooses the format\n"
           "       (.zvx .eps .ps .ai .pdf .svg .wmf .bmp .tif .gif .jpg .png)\n"
           "options:\n"
           "  --include-fonts      embed the fonts used by text in PostScript output\n"
           "  --substitute-fonts   write TrueType fonts under standard PostScript names\n"
           "  --type3 | --type42   how embedded TrueType fonts are converted (default type42)\n"
           "  --preview            EPS: attach a screen preview\n"
           "  --border N           EPS: margin around the drawing in points (default 9)\n"
           "  --form NAME          .ps: a PostScript Level 2 form of that name\n"
           "  --dpi N              bitmap outputs: resolution (default 72)\n"
           "  --smoothing 1|2|4    BMP, GIF, JPEG, PNG: draw this many times larger and\n"
           "                       average down (default 1)\n"
           "  --quality N          JPEG: quality from 1 to 100 (default 75)\n"
           "  --interlace          GIF: interlaced rows\n"
           "  --transparent        GIF: white is transparent\n"
           "  -h, --help           this text\n";
}

std::optional<ConvertRequest> parseConvertArguments(const std::vector<std::string>& args, std::string& error)
{
    ConvertRequest request;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* name) -> const std::string* {
            if (i + 1 >= args.size()) {
                error = std::string(name) + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        if (arg == "-h" || arg == "--help") {
            request.help = true;
            return request;
        } else if (arg == "--include-fonts") {
            request.exportOptions.includeFonts = true;
        } else if (arg == "--substitute-fonts") {
            request.exportOptions.substituteFonts = true;
        } else if (arg == "--type3") {
            request.exportOptions.downloadForm = FontDownloadForm::Type3;
        } else if (arg == "--type42") {
            request.exportOptions.downloadForm = FontDownloadForm::Type42;
        } else if (arg == "--preview") {
            request.exportOptions.preview = true;
        } else if (arg == "--border") {
            const std::string* v = value("--border");
            if (!v)
                return std::nullopt;
            int border = 0;
            if (!parseNumber(*v, border) || border < 0 || border > 1000) {
                error = "--border takes a whole number of points from 0 to 1000";
                return std::nullopt;
            }
            request.exportOptions.border = static_cast<float>(border);
        } else if (arg == "--form") {
            const std::string* v = value("--form");
            if (!v)
                return std::nullopt;
            if (v->empty() || v->size() > std::size_t(kMaxFormNameLength)) {
                error = "--form takes a name of 1 to 64 characters";
                return std::nullopt;
            }
            request.exportOptions.formName = *v;
        } else if (arg == "--dpi") {
            const std::string* v = value("--dpi");
            if (!v)
                return std::nullopt;
            if (!parseNumber(*v, request.dpi) || request.dpi < 1 || request.dpi > 2400) {
                error = "--dpi takes a whole number from 1 to 2400";
                return std::nullopt;
            }
        } else if (arg == "--smoothing") {
            const std::string* v = value("--smoothing");
            if (!v)
                return std::nullopt;
            int factor = 0;
            if (!parseNumber(*v, factor) || (factor != 1 && factor != 2 && factor != 4)) {
                error = "--smoothing takes 1, 2 or 4";
                return std::nullopt;
            }
            request.exportOptions.smoothing = Smoothing(factor);
        } else if (arg == "--quality") {
            const std::string* v = value("--quality");
            if (!v)
                return std::nullopt;
            if (!parseNumber(*v, request.exportOptions.jpegQuality) || request.exportOptions.jpegQuality < 1
                || request.exportOptions.jpegQuality > 100) {
                error = "--quality takes a whole number from 1 to 100";
                return std::nullopt;
            }
        } else if (arg == "--interlace") {
            request.exportOptions.gifInterlace = true;
        } else if (arg == "--transparent") {
            request.exportOptions.gifTransparent = true;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        error = "expected an input and an output file";
        return std::nullopt;
    }
    request.input = files[0];
    request.output = files[1];
    request.kind = exportKindForPath(request.output);
    if (!request.exportOptions.formName.empty()) {
        if (request.kind != ExportKind::PostScript) {
            error = "--form needs a .ps output";
            return std::nullopt;
        }
        request.kind = ExportKind::Form;
    }
    return request;
}

} // namespace zavora
