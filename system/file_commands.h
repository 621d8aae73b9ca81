// What the file and directory commands keep between lines, and the pieces of
// them worth testing alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morventa {

// The one directory search of BUSCA, from a search with a pattern until
// BUSCA FIM or until BUSCA PRÓXIMO runs out. Names are the system's (UTF-8).
class DirectorySearch {
 public:
  struct Entry {
    std::string name;
    bool directory = false;
  };

  // Starts a new search, replacing the last one. Candidates are regular files
  // and, in directory mode, directories; names beginning with "." are hidden
  // and never found. The last part of the pattern may hold the shell's
  // wildcards. Entries come in name order.
  void Start(const std::string& host_pattern, bool directory_mode);
  // The next entry, or none (and the search is over).
  std::optional<Entry> Next();
  void End();

 private:
  std::vector<Entry> entries_;
  size_t next_ = 0;
};

// A size as HTAMARQ shows it: two decimals with the given separator and a
// unit, "512,00 B", "1,50KB", "1,00 MB".
std::string ReadableSize(int64_t bytes, std::string_view decimal_point);
// The decimal separator of the user's locale (LC_NUMERIC), Windows-1252.
std::string UserDecimalPoint();

}  // namespace morventa
