#include "speech/transcript.h"

#include <cstdlib>

#include "system/text_encoding.h"

namespace morventa {

Transcript::Transcript(const std::string& path) : file_(std::fopen(path.c_str(), "ab")) {}

Transcript::~Transcript() {
  if (file_) std::fclose(file_);
}

Transcript Transcript::FromEnvironment() {
  const char* path = std::getenv("MORVENTA_TRANSCRIPT");
  if (!path || !*path) return Transcript();
  return Transcript(path);
}

void Transcript::Record(std::string_view kind, std::string_view ansi_text) {
  if (!file_) return;
  std::string line(kind);
  line += ": ";
  // One event, one line: line breaks inside the text are shown as blanks.
  for (char c : AnsiToUtf8(ansi_text)) line += (c == '\r' || c == '\n') ? ' ' : c;
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

void Transcript::Record(std::string_view event) {
  if (!file_) return;
  std::string line(event);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

}  // namespace morventa
