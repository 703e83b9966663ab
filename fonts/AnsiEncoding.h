#pragma once
// Text is stored as Windows-1252 bytes; fonts are looked up by Unicode or by
// glyph name, so both mappings live here.

#include <cstdint>

namespace zavora {

// The Unicode character of a Windows-1252 code, or 0 for the five unused codes
// and the control codes.
char32_t ansiToUnicode(unsigned char code);
// The Windows-1252 code of a printable Unicode character, or -1 when the
// code page has none.
int unicodeToAnsi(char32_t character);
// The PostScript glyph name of a Windows-1252 code, or nullptr where there is none.
const char* ansiGlyphName(unsigned char code);

} // namespace zavora
