#pragma once
// Command-line parsing of zavora-convert, kept apart from main so it can be tested.

#include "export/Export.h"

#include <optional>
#include <string>
#include <vector>

namespace zavora {

struct ConvertRequest {
    std::string input;
    std::string output;
    ExportOptions exportOptions;
    // What the output's extension asks for (a form with --form); nothing
    // when the extension is not known.
    std::optional<ExportKind> kind;
    int dpi = 72; // bitmap outputs
    bool help = false;
};

// Parses the arguments after the program name. On a usage error returns
// nothing and sets `error` to a one-line message.
std::optional<ConvertRequest> parseConvertArguments(const std::vector<std::string>& args, std::string& error);

// The usage text.
const char* convertUsage();

} // namespace zavora
