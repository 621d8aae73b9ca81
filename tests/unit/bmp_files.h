// BMP files made byte by byte for the picture tests, so each test shows the
// header field it breaks.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace morventa::testing {

inline void PutLe(std::string& b, size_t at, uint32_t v, int size) {
  for (int i = 0; i < size; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

struct BmpLayout {
  int width = 1;
  int height = 1;          // negative: rows stored from the top
  int bit_count = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> table;  // 0xRRGGBB colour table entries
  uint32_t colours_used = 0;
  std::string bits;             // the stored rows, padding included
};

// File header, 40-byte information header, colour table, bits.
inline std::string BmpBytes(const BmpLayout& l) {
  const size_t bits_at = 54 + 4 * l.table.size();
  std::string b(bits_at, '\0');
  b[0] = 'B';
  b[1] = 'M';
  PutLe(b, 2, static_cast<uint32_t>(bits_at + l.bits.size()), 4);
  PutLe(b, 10, static_cast<uint32_t>(bits_at), 4);
  PutLe(b, 14, 40, 4);
  PutLe(b, 18, static_cast<uint32_t>(l.width), 4);
  PutLe(b, 22, static_cast<uint32_t>(l.height), 4);
  PutLe(b, 26, 1, 2);
  PutLe(b, 28, static_cast<uint32_t>(l.bit_count), 2);
  PutLe(b, 30, l.compression, 4);
  PutLe(b, 46, l.colours_used, 4);
  for (size_t i = 0; i < l.table.size(); ++i) PutLe(b, 54 + 4 * i, l.table[i], 4);
  return b + l.bits;
}

// A 24-bit picture from its pixels, top row first, stored bottom-up.
inline std::string Bmp24(int width, int height, const std::vector<uint32_t>& top_down) {
  BmpLayout l;
  l.width = width;
  l.height = height;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  for (int y = height - 1; y >= 0; --y) {
    std::string row(stride, '\0');
    for (int x = 0; x < width; ++x) PutLe(row, 3 * static_cast<size_t>(x), top_down[y * width + x], 3);
    l.bits += row;
  }
  return BmpBytes(l);
}

inline void WriteBmp(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace morventa::testing
