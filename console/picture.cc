#include "console/picture.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace morventa {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;
// Far beyond any screen; a header claiming more is taken as broken rather
// than as a reason to allocate gigabytes.
constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// The whole file; false when it cannot be read or is larger than any
// picture we take.
bool ReadAll(const std::string& path, std::vector<uint8_t>* bytes) {
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  uint8_t buf[16384];
  for (;;) {
    const size_t n = std::fread(buf, 1, sizeof buf, f.get());
    bytes->insert(bytes->end(), buf, buf + n);
    if (n < sizeof buf) return !std::ferror(f.get());
    if (bytes->size() > kMaxPixels * 4 + 65536) return false;
  }
}

// One channel of a bit-field pixel, widened to 8 bits.
uint32_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!(mask & (1u << shift))) ++shift;
  const uint32_t max = mask >> shift;
  return ((pixel & mask) >> shift) * 255 / max;
}

}  // namespace

bool LoadBmpPicture(const std::string& path, Picture* picture) {
  std::vector<uint8_t> b;
  if (!ReadAll(path, &b)) return false;
  if (b.size() < kFileHeaderSize + kInfoHeaderSize) return false;
  if (U32(b, kFileHeaderSize) != kInfoHeaderSize) return false;
  const uint32_t bits_offset = U32(b, 10);
  const int32_t width = static_cast<int32_t>(U32(b, 18));
  const int32_t height = static_cast<int32_t>(U32(b, 22));
  const int bit_count = U16(b, 28);
  const uint32_t compression = U32(b, 30);
  uint32_t colours_used = U32(b, 46);
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  const int64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
  if (width * rows > kMaxPixels) return false;
  switch (bit_count) {
    case 1: case 4: case 8: case 24:
      if (compression != kRgb) return false;
      break;
    case 16: case 32:
      if (compression != kRgb && compression != kBitFields) return false;
      break;
    default:
      return false;
  }
  // The colour table follows the header. A count of 0 means the full table
  // for the depth, as every writer of BMP files means it.
  std::vector<uint32_t> table;
  if (bit_count <= 8) {
    if (colours_used == 0 || colours_used > (1u << bit_count)) colours_used = 1u << bit_count;
    const size_t table_at = kFileHeaderSize + kInfoHeaderSize;
    if (b.size() < table_at + 4 * size_t{colours_used}) return false;
    for (uint32_t i = 0; i < colours_used; ++i) {
      const size_t at = table_at + 4 * i;
      table.push_back((b[at + 2] << 16) | (b[at + 1] << 8) | b[at]);
    }
    table.resize(size_t{1} << bit_count, 0);
  }
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (bit_count == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
  if (compression == kBitFields) {
    const size_t at = kFileHeaderSize + kInfoHeaderSize;
    if (b.size() < at + 12) return false;
    for (int i = 0; i < 3; ++i) masks[i] = U32(b, at + 4 * i);
  }
  const int64_t stride = (static_cast<int64_t>(width) * bit_count + 31) / 32 * 4;
  const int64_t image_size = rows * stride;
  if (bits_offset > b.size() || static_cast<int64_t>(b.size() - bits_offset) < image_size) return false;

  Picture out;
  out.width = width;
  out.height = static_cast<int>(rows);
  out.pixels.resize(static_cast<size_t>(width * rows));
  for (int64_t y = 0; y < rows; ++y) {
    // Rows are stored from the bottom up unless the height is negative.
    const int64_t stored = height > 0 ? rows - 1 - y : y;
    const uint8_t* row = b.data() + bits_offset + stored * stride;
    uint32_t* dst = out.pixels.data() + y * width;
    for (int x = 0; x < width; ++x) {
      switch (bit_count) {
        case 1: dst[x] = table[(row[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: dst[x] = table[(row[x / 2] >> (x % 2 ? 0 : 4)) & 15]; break;
        case 8: dst[x] = table[row[x]]; break;
        case 24: dst[x] = (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x]; break;
        default: {
          const uint32_t p = bit_count == 16 ? uint32_t{row[2 * x]} | (row[2 * x + 1] << 8)
                                             : uint32_t{row[4 * x]} | (row[4 * x + 1] << 8) |
                                                   (row[4 * x + 2] << 16) |
                                                   (static_cast<uint32_t>(row[4 * x + 3]) << 24);
          dst[x] = (Channel(p, masks[0]) << 16) | (Channel(p, masks[1]) << 8) | Channel(p, masks[2]);
        }
      }
    }
  }
  *picture = std::move(out);
  return true;
}

}  // namespace morventa
