#include "app/ShellRules.h"

#include <strings.h>

namespace zavora {

bool isFormsEdition(std::string_view executablePath)
{
    std::size_t slash = executablePath.rfind('/');
    std::string_view name
        = slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    return name.size() >= 5 && strncasecmp(name.data(), "zform", 5) == 0;
}

std::string productNameFor(bool formsEdition)
{
    return formsEdition ? "Zavora Forms" : "Zavora Draw";
}

std::string commandLineFileName(std::string_view commandLine)
{
    if (commandLine.size() >= 2 && commandLine.front() == '"' && commandLine.back() == '"')
        return std::string(commandLine.substr(1, commandLine.size() - 2));
    return std::string(commandLine);
}

std::string joinArguments(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += argument;
    }
    return line;
}

std::string frameTitle(std::string_view fileName, std::string_view productName)
{
    // A relative name without a folder is still a name: only an empty one
    // is untitled.
    std::string title;
    if (fileName.empty()) {
        title = "untitled";
    } else {
        std::size_t slash = fileName.rfind('/');
        title = std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
    }
    title += " - ";
    title += productName;
    return title;
}

std::string nativeNameFor(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    return std::string(hasExtension ? path.substr(0, dot) : path) + ".zvx";
}

} // namespace zavora
