// The text encodings of the language: UTF-8 as web pages send it, base64 and
// quoted-printable. Texts are byte strings; nothing here keeps state between
// calls, and no input makes a conversion fail.
#pragma once

#include <string>
#include <string_view>

namespace morventa {

// UTF8PARAANSI: each two-byte sequence (a lead byte 192 to 223 and whatever
// byte follows it) becomes the low byte of its code point; every other byte is
// kept. Three- and four-byte sequences therefore pass through unchanged, and a
// lead byte at the very end pairs with a blank.
std::string Utf8PairsToAnsi(std::string_view text);

// Standard base64 (RFC 4648 alphabet), one line, padded with "=".
std::string Base64Encode(std::string_view bytes);
// Skips every byte outside the alphabet and stops at the first "="; an
// incomplete last group gives the bytes its characters determine.
std::string Base64Decode(std::string_view text);

// Every control byte, "=" and every byte from 127 up become "=" and two
// upper-case hexadecimal digits; no soft line breaks.
std::string QuotedPrintableEncode(std::string_view bytes);
// A final "=" is dropped; "=" with two hexadecimal digits becomes their byte;
// anything else is kept as it stands.
std::string QuotedPrintableDecode(std::string_view text);

// For a URL: A-Z, a-z, 0-9 and "-._~" stay; every other byte becomes "%"
// and two upper-case hexadecimal digits.
std::string PercentEncode(std::string_view bytes);

// The file forms stream their data, so files of any size convert in little
// memory. Names are the system's. Encoding writes 64-character lines ending
// in CR LF; false when the source is missing or the destination cannot be
// made (a read error midway ends the text there).
bool EncodeFileBase64(const std::string& source, const std::string& destination);
// False when either file cannot be opened, or reading or writing fails.
bool DecodeFileBase64(const std::string& source, const std::string& destination);

class Runtime;
// The in-place commands: the argument's value, converted, goes back into the
// argument, which must therefore be a variable.
bool ConvertInPlace(Runtime& rt, std::string_view args, std::string (*convert)(std::string_view));

}  // namespace morventa
