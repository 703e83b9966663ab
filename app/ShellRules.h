#pragma once
// The small start-up rules of the shell, kept free of the toolkit: which
// edition the executable's name asks for, the file named on the command line
// and the frame's title.

#include <string>
#include <string_view>
#include <vector>

namespace zavora {

// True when the executable's file name (after its last '/') starts with
// "zform", ignoring case.
bool isFormsEdition(std::string_view executablePath);
// "Zavora Forms" for the forms edition, else "Zavora Draw".
std::string productNameFor(bool formsEdition);

// The drawing file a command line names: the text between the quotes when
// it starts and ends with a double quote (and is at least 2 long), else the
// whole line. Empty when no file is named.
std::string commandLineFileName(std::string_view commandLine);
// The arguments after the program name joined by single blanks, so that an
// unquoted name with blanks split by the shell is taken whole.
std::string joinArguments(const std::vector<std::string>& arguments);

// "<file name part> - <product>", the name part being what follows the last
// '/'; "untitled" for an unnamed drawing.
std::string frameTitle(std::string_view fileName, std::string_view productName);

// The native file name for a drawing read from another format: its own
// extension (a dot after the last '/') replaced by ".zvx", or ".zvx" added.
std::string nativeNameFor(std::string_view path);

} // namespace zavora
