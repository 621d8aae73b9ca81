// Windows-1252 inside, UTF-8 at every boundary with Linux.
#pragma once

#include <string>
#include <string_view>

namespace morventa {

// True when the bytes form valid UTF-8 (overlongs and surrogates refused).
bool IsValidUtf8(std::string_view bytes);

// Each Windows-1252 byte to its UTF-8 form. The five bytes the code page leaves
// undefined map to the C1 control of the same value, so the conversion round-trips.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to Windows-1252; a character the code page cannot hold becomes "?".
// Invalid sequences are taken byte by byte as Windows-1252.
std::string Utf8ToAnsi(std::string_view utf8);

// The rule for text arriving from Linux (files, names, parameters): UTF-8 when
// it is valid UTF-8, Windows-1252 as it stands otherwise.
std::string BoundaryToAnsi(std::string_view bytes);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);

// Windows-1252 byte for a Unicode code point, or -1 when the code page lacks it.
int AnsiFromCodePoint(char32_t cp);
// Unicode code point of a Windows-1252 byte.
char32_t CodePointFromAnsi(unsigned char byte);

// Portuguese literals in our UTF-8 sources become the system's Windows-1252 text.
inline std::string Ansi(std::string_view utf8_literal) { return Utf8ToAnsi(utf8_literal); }

}  // namespace morventa
