// The BMP loader of the picture over the console: the depths and row orders
// it draws, and the files it refuses, leaving whatever was shown before.
#include "console/picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/doubles/orbela_environment.h"
#include "tests/unit/bmp_files.h"

namespace morventa::testing {
namespace {

struct BmpCase {
  const char* what;
  BmpLayout layout;
  std::vector<uint32_t> pixels;  // expected, top row first; empty: refused
};

class BmpLoading : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpLoading, DrawsWhatTheHeaderDescribesOrRefusesTheFile) {
  OrbelaEnvironment dir;
  const std::string path = dir.root() + "/imagem.bmp";
  WriteBmp(path, BmpBytes(GetParam().layout));
  Picture picture;
  picture.width = 7;
  const bool loaded = LoadBmpPicture(path, &picture);
  if (GetParam().pixels.empty()) {
    EXPECT_FALSE(loaded);
    EXPECT_EQ(picture.width, 7) << "a refused file leaves the picture alone";
    return;
  }
  ASSERT_TRUE(loaded);
  EXPECT_EQ(picture.width, GetParam().layout.width);
  EXPECT_EQ(picture.pixels, GetParam().pixels);
}

// Rows of two pixels (bytes as stored, padded to four).
const std::string kRows24 = std::string("\x00\x00\xFF" "\x00\xFF\x00" "\x00\x00", 8) +  // red, green (bottom)
                            std::string("\xFF\x00\x00" "\xFF\xFF\xFF" "\x00\x00", 8);   // blue, white (top)

const BmpCase kBmps[] = {
    {"24 bits, bottom row first", {2, 2, 24, 0, {}, 0, kRows24}, {0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FF00}},
    {"24 bits, top row first", {2, -2, 24, 0, {}, 0, kRows24}, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}},
    {"8 bits through two colours", {3, 1, 8, 0, {0x112233, 0xAABBCC}, 2, std::string("\x01\x00\x01\x00", 4)},
     {0xAABBCC, 0x112233, 0xAABBCC}},
    {"1 bit", {3, 1, 1, 0, {0x000000, 0xFFFFFF}, 2, std::string("\xA0\x00\x00\x00", 4)},
     {0xFFFFFF, 0x000000, 0xFFFFFF}},
    {"4 bits", {2, 1, 4, 0, std::vector<uint32_t>(16, 0x010203), 16, std::string("\x0F\x00\x00\x00", 4)},
     {0x010203, 0x010203}},
    {"32 bits", {1, 1, 32, 0, {}, 0, std::string("\x30\x20\x10\x00", 4)}, {0x102030}},
    {"16 bits, five bits a colour", {1, 1, 16, 0, {}, 0, std::string("\x1F\x7C\x00\x00", 4)}, {0xFF00FF}},
    {"no colour count means the whole table",
     {1, 1, 8, 0, std::vector<uint32_t>(256, 0x445566), 0, std::string("\xFF\x00\x00\x00", 4)}, {0x445566}},
    {"bits cut short", {2, 2, 24, 0, {}, 0, kRows24.substr(0, 12)}, {}},
    {"run-length compressed", {2, 1, 8, 1, {0, 0}, 2, std::string("\x02\x01\x00\x01", 4)}, {}},
    {"an unknown depth", {1, 1, 7, 0, {}, 0, std::string(4, '\0')}, {}},
    {"no width", {0, 1, 24, 0, {}, 0, std::string(4, '\0')}, {}},
    {"a colour table beyond the file", {1, 1, 8, 0, {}, 200, std::string(4, '\0')}, {}},
};
INSTANTIATE_TEST_SUITE_P(Picture, BmpLoading, ::testing::ValuesIn(kBmps));

TEST(BmpLoading, RefusesHeadersOfAnotherSizeAndMissingFiles) {
  OrbelaEnvironment dir;
  Picture picture;
  for (uint32_t header : {12u, 108u, 124u}) {
    std::string bytes = Bmp24(1, 1, {0xFFFFFF});
    PutLe(bytes, 14, header, 4);
    WriteBmp(dir.root() + "/h.bmp", bytes);
    EXPECT_FALSE(LoadBmpPicture(dir.root() + "/h.bmp", &picture)) << header;
  }
  EXPECT_FALSE(LoadBmpPicture(dir.root() + "/nenhum.bmp", &picture));
  WriteBmp(dir.root() + "/curto.bmp", "BM");
  EXPECT_FALSE(LoadBmpPicture(dir.root() + "/curto.bmp", &picture));
}

}  // namespace
}  // namespace morventa::testing
