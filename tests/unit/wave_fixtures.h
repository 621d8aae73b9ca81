// Small WAV files written by the tests, and a strict reader for the files the
// file output writes.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace morventa::testing {

using Bytes = std::vector<uint8_t>;

inline std::string Le(uint32_t value, int size) {
  std::string out;
  for (int i = 0; i < size; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

inline std::string Chunk(const std::string& id, const std::string& body) {
  std::string chunk = id + Le(static_cast<uint32_t>(body.size()), 4) + body;
  if (body.size() % 2) chunk += '\0';  // RIFF pads chunks to an even length
  return chunk;
}

inline std::string FormatBody(int rate, int bits, int channels) {
  const int align = channels * bits / 8;
  return Le(1, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
         Le(bits, 2);
}

inline std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A WAV file: the format chunk, the chunks given, then the data chunk
// (left out when data_chunk is false).
inline std::string WaveFile(int rate, int bits, int channels, const Bytes& data,
                            const std::string& chunks_before_data = "", bool data_chunk = true) {
  std::string body = "WAVE" + Chunk("fmt ", FormatBody(rate, bits, channels)) + chunks_before_data;
  if (data_chunk) body += Chunk("data", AsString(data));
  return "RIFF" + Le(static_cast<uint32_t>(body.size()), 4) + body;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Wave {
  bool valid = false;
  int rate = 0, bits = 0, channels = 0;
  Bytes data;
};

inline uint32_t GetLe(const std::string& s, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(s[at + i]);
  return value;
}

// Reads a canonical 44-byte-header PCM file; valid only when every size field
// agrees with the file's length.
inline Wave ReadWave(const std::string& path) {
  const std::string s = ReadBytes(path);
  Wave wave;
  if (s.size() < 44 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 8, "WAVEfmt ") != 0 ||
      s.compare(36, 4, "data") != 0 || GetLe(s, 16, 4) != 16 || GetLe(s, 20, 2) != 1) {
    return wave;
  }
  wave.channels = static_cast<int>(GetLe(s, 22, 2));
  wave.rate = static_cast<int>(GetLe(s, 24, 4));
  wave.bits = static_cast<int>(GetLe(s, 34, 2));
  const uint32_t align = wave.channels * wave.bits / 8;
  wave.valid = GetLe(s, 4, 4) == s.size() - 8 && GetLe(s, 40, 4) == s.size() - 44 &&
               GetLe(s, 32, 2) == align && GetLe(s, 28, 4) == wave.rate * align;
  wave.data.assign(s.begin() + 44, s.end());
  return wave;
}

}  // namespace morventa::testing
