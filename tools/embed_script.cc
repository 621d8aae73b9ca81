// embed_script SCRIPT OUTPUT.cc: turns a UTF-8 QUINTERA script into a C++
// source holding its lines as the interpreter stores them (Windows-1252), so
// the program carries its script and reads no file to start.
//
// The script must be valid UTF-8 and every character must exist in
// Windows-1252: the loader would quietly take a stray byte as Windows-1252 or
// a missing character as "?", and a message the user hears would be wrong.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interpreter/script_loader.h"
#include "system/text_encoding.h"

namespace {

// Octal escapes end after three digits, so a following digit or letter can
// never run into them as it would into a hexadecimal one.
std::string CppLiteral(const std::string& ansi) {
  std::string out = "\"";
  for (unsigned char c : ansi) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace morventa;
  if (argc != 3) {
    std::fprintf(stderr, "uso: embed_script SCRIPT SAIDA.cc\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  if (!in) {
    std::fprintf(stderr, "embed_script: %s: não foi possível ler o script\n", argv[1]);
    return 1;
  }
  const std::string utf8 = contents.str();
  if (!IsValidUtf8(utf8) || AnsiToUtf8(Utf8ToAnsi(utf8)) != utf8) {
    std::fprintf(stderr, "embed_script: %s: o script deve ser UTF-8 com caracteres do Windows-1252\n",
                 argv[1]);
    return 1;
  }
  std::vector<std::string> lines;
  std::string err;
  if (!SplitScript(utf8, lines, &err)) {
    std::fprintf(stderr, "embed_script: %s: %s\n", argv[1], err.c_str());
    return 1;
  }
  std::ostringstream cc;
  cc << "// Generated from " << argv[1] << " by embed_script; edit the script, not this file.\n"
     << "#include \"script/translator_script.h\"\n\n"
     << "namespace morventa {\nnamespace {\n\nconstexpr std::string_view kLines[] = {\n";
  for (const auto& line : lines) cc << "    " << CppLiteral(line) << ",\n";
  cc << "};\n\n}  // namespace\n\n"
     << "std::span<const std::string_view> TranslatorScript() { return kLines; }\n\n"
     << "}  // namespace morventa\n";
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << cc.str();
  if (!out.flush()) {
    std::fprintf(stderr, "embed_script: %s: não foi possível escrever\n", argv[2]);
    return 1;
  }
  return 0;
}
