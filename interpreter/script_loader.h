// Reading a script file and the program's parameters from Linux.
#pragma once

#include <string>
#include <vector>

namespace morventa {

// Reads the file as UTF-8 when it is valid UTF-8, as Windows-1252 otherwise,
// and splits it into lines (LF or CR LF). Fails with a Portuguese message when
// the file cannot be read or holds more lines than the script store.
bool LoadScript(const std::string& path, std::vector<std::string>& lines, std::string* err);
// Splits file contents into Windows-1252 lines; the same rules as LoadScript.
bool SplitScript(const std::string& contents, std::vector<std::string>& lines, std::string* err);

}  // namespace morventa
