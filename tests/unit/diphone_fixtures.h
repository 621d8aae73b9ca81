// Small data files for the letter-rule and diphone-voice tables: a temporary
// directory removed at the end, rule and exception files, a DIFONES2 index
// and data file, and WAV sound files.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/run_program.h"

namespace morventa::testing {

class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/morventa-speech-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// One unit of a DIFONES2 fixture: `count` samples, all of value `sample`.
struct FixtureUnit {
  std::string name;  // upper case, at most 8 characters
  int count;
  uint8_t sample;
};

// Writes DIFONES2.IND and DIFONES2.DIF into dir; units must be given sorted.
inline void WriteDiphoneDatabase(const std::string& dir, const std::vector<FixtureUnit>& units) {
  std::string index, data;
  for (const FixtureUnit& u : units) {
    char record[15] = {};
    record[0] = static_cast<char>(u.name.size());
    u.name.copy(record + 1, 8);
    record[9] = static_cast<char>(u.count & 0xFF);
    record[10] = static_cast<char>((u.count >> 8) & 0xFF);
    const auto offset = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) record[11 + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
    index.append(record, 15);
    data.append(static_cast<size_t>(u.count), static_cast<char>(u.sample));
  }
  WriteFile(dir + "/DIFONES2.IND", index);
  WriteFile(dir + "/DIFONES2.DIF", data);
}

// A WAV file of 8-bit samples with a "fmt " chunk and a list chunk before
// the data, as editors write them.
inline std::string WaveFile(const std::string& samples) {
  auto le = [](uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  std::string fmt = le(1, 2) + le(1, 2) + le(11025, 4) + le(11025, 4) + le(1, 2) + le(8, 2);
  std::string body = "WAVE";
  body += "fmt " + le(16, 4) + fmt;
  body += "LIST" + le(3, 4) + "abc" + std::string(1, '\0');  // odd size, padded
  body += "data" + le(static_cast<uint32_t>(samples.size()), 4) + samples;
  return "RIFF" + le(static_cast<uint32_t>(body.size()), 4) + body;
}

}  // namespace morventa::testing
