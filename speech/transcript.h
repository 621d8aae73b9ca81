// A written record of every speech event, for sighted helpers and for tests:
// one UTF-8 line per event, appended to the file MORVENTA_TRANSCRIPT names.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace morventa {

class Transcript {
 public:
  Transcript() = default;
  explicit Transcript(const std::string& path);
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  static Transcript FromEnvironment();
  Transcript(Transcript&& other) noexcept : file_(other.file_) { other.file_ = nullptr; }
  Transcript& operator=(Transcript&& other) noexcept {
    std::swap(file_, other.file_);
    return *this;
  }

  bool active() const { return file_ != nullptr; }
  // kind is "fala", "soletra", "letra", "som"; text is Windows-1252.
  void Record(std::string_view kind, std::string_view ansi_text);
  // Events without text: "clique", "bipe".
  void Record(std::string_view event);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace morventa
