#include "interpreter/script_loader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "interpreter/script_store.h"
#include "system/text_encoding.h"

namespace morventa {

bool SplitScript(const std::string& contents, std::vector<std::string>& lines, std::string* err) {
  // Editors that save UTF-8 often put a byte-order mark in front; it is no
  // part of the first line.
  std::string_view body = contents;
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  const std::string text = BoundaryToAnsi(body);
  lines.clear();
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    size_t cut = end;
    if (cut > from && text[cut - 1] == '\r') --cut;
    if (lines.size() == static_cast<size_t>(ScriptStore::kMaxLines)) {
      if (err) {
        *err = "o script tem mais de " + std::to_string(ScriptStore::kMaxLines) +
               " linhas, o máximo que o interpretador guarda";
      }
      return false;
    }
    lines.push_back(text.substr(from, cut - from));
    from = last ? end : end + 1;
  }
  return true;
}

bool LoadScript(const std::string& path, std::vector<std::string>& lines, std::string* err) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (err) *err = "não foi possível abrir o script: " + std::string(std::strerror(errno));
    return false;
  }
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) {
    if (err) *err = "não foi possível ler o script";
    return false;
  }
  return SplitScript(contents.str(), lines, err);
}

}  // namespace morventa
