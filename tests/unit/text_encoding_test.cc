#include "system/text_encoding.h"

#include <gtest/gtest.h>

namespace morventa {
namespace {

struct EncodingCase {
  const char* utf8;
  const char* ansi;
};

// Both directions of the boundary: accents, the 0x80..0x9F block, and the
// characters the code page cannot hold.
TEST(TextEncoding, Utf8AndWindows1252) {
  const EncodingCase cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"ação", "a\xE7\xE3o"},
      {"€ “x” —", "\x80 \x93x\x94 \x97"},
      {"ÿ", "\xFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
    EXPECT_EQ(AnsiToUtf8(c.ansi), c.utf8) << c.utf8;
  }
  EXPECT_EQ(Utf8ToAnsi("日本"), "??");
  EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi(AnsiToUtf8("\x81\x8D\x8F\x90\x9D"))), AnsiToUtf8("\x81\x8D\x8F\x90\x9D"));
}

TEST(TextEncoding, BoundaryRuleTakesInvalidUtf8AsWindows1252) {
  EXPECT_EQ(BoundaryToAnsi("a\xE7\xE3o"), "a\xE7\xE3o");  // not UTF-8: kept
  EXPECT_EQ(BoundaryToAnsi("ação"), "a\xE7\xE3o");
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));      // cut short
}

}  // namespace
}  // namespace morventa
