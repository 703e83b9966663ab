#pragma once
// The fixed PostScript text of the native and PostScript outputs: the
// procedure set that defines every operator the writer uses, and the nine
// hatch pattern fonts defined at page setup. Both are returned with CR LF
// line ends, ready to be copied to the stream.

#include <string_view>

namespace zavora {

// The name of the dictionary the procedure set lives in.
constexpr std::string_view kProcSetDictionary = "ZVXDict";

// The procedure set: the definitions that go between "ZVXDict begin" and "end".
std::string_view postScriptProcSet();

// The same for a form: images are drawn from arrays of grey rows by `imga`
// ("rows matrix w h imga") instead of from the file by `img`.
std::string_view postScriptFormProcSet();

// The nine pattern font blocks, each followed by one empty line.
std::string_view postScriptPatternFonts();

} // namespace zavora
