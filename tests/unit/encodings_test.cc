// The text encodings: UTF-8 pairs, base64 and quoted-printable, in place and
// file to file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "system/encodings.h"
#include "tests/support/run_program.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

struct Conversion {
  std::string in;
  std::string out;
};

TEST(Utf8PairsToAnsi, TakesTwoByteSequencesOnly) {
  const Conversion cases[] = {
      {"\xC3\xA7", "\xE7"},                          // ç
      {"a\xC3\xA7\xC3\xA3o", "a\xE7\xE3o"},          // ação
      {"\xC3\x87", "\xC7"},                          // Ç
      {"\xE2\x82\xAC", "\xE2\x82\xAC"},              // the euro sign stays three bytes
      {"\xC5\x93", "\x53"},                          // U+0153 keeps its low byte
      {"\xC3", "\xE0"},                              // a lead at the end pairs with a blank
      {"\xC3" "A", "\xC1"},                          // the next byte is taken whatever it is
      {"\xA9x", "\xA9x"},                            // a stray continuation byte is kept
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},      // four bytes pass through
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8PairsToAnsi(c.in), c.out) << c.in;
}

TEST(Base64, EncodesInOneLinePadded) {
  const Conversion cases[] = {
      {"", ""},
      {"a", "YQ=="},
      {"ab", "YWI="},
      {"abc", "YWJj"},
      {"\xE9t\xE9", "6XTp"},
      {std::string("\0\xFF", 2), "AP8="},
      {std::string(60, 'z'), "enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Base64Encode(c.in), c.out) << c.in;
    EXPECT_EQ(Base64Decode(c.out), c.in) << c.out;
  }
}

TEST(Base64, DecodingSkipsStrangersAndStopsAtTheFirstPad) {
  const Conversion cases[] = {
      {"YW Jj", "abc"},
      {"YW\r\nJj", "abc"},
      {"Y*W!Jj", "abc"},
      {"YQ==YWJj", "a"},
      {"YQ", "a"},      // an incomplete group gives what its characters determine
      {"YWJjZ", "abc"},
      {"=YWJj", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Base64Decode(c.in), c.out) << c.in;
}

TEST(QuotedPrintable, EncodesControlsEqualsAndHighBytes) {
  const Conversion cases[] = {
      {"a=b", "a=3Db"},
      {"caf\xE9", "caf=E9"},
      {"a b\r\n", "a b=0D=0A"},
      {"~\x7F", "~=7F"},
      {std::string(100, 'x'), std::string(100, 'x')},  // no soft line breaks
  };
  for (const auto& c : cases) EXPECT_EQ(QuotedPrintableEncode(c.in), c.out) << c.in;
}

TEST(QuotedPrintable, DecodesEscapesAndKeepsWhatIsNotOne) {
  const Conversion cases[] = {
      {"a=3Db", "a=b"},
      {"caf=e9", "caf\xE9"},
      {"linha=", "linha"},            // a soft break at the end
      {"a=\r\nb", "a=\r\nb"},         // inside the text it stays
      {"=4", "=4"},                   // fewer than two characters after it
      {"x=4", "x=4"},
      {"=GZ", "=GZ"},
      {"100=", "100"},
      {"==41", "=A"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuotedPrintableDecode(c.in), c.out) << c.in;
}

TEST(InPlaceCommands, ConvertTheVariableTheyRead) {
  const struct {
    const char* line;
    std::string before;
    bool ok;
    std::string after;
  } cases[] = {
      {"ansiparautf8 v", "a\xE7\xE3o", true, "a\xC3\xA7\xC3\xA3o"},
      {"ansiparautf8 v", "\x80", true, "\xE2\x82\xAC"},
      {"utf8paraansi v", "\xC3\xA7", true, "\xE7"},
      {"codbase64 v", "a", true, "YQ=="},
      {"decodbase64 v", "YWJj", true, "abc"},
      {"adquoted v", "=\xE9", true, "=3D=E9"},
      {"removequoted v", "=3D=E9=", true, "=\xE9"},
      {"codbase64 v resto ignorado", "a", true, "YQ=="},
      {"codbase64 \"a\"", "x", false, "x"},
      {"codbase64 (1+1)", "x", false, "x"},
      {"codbase64", "x", false, "x"},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    t.Var("v") = c.before;
    EXPECT_EQ(t.Line(c.line), c.ok) << c.line;
    EXPECT_EQ(t.Var("v"), c.after) << c.line;
    EXPECT_EQ(t.TakeWritten(), "") << c.line;
  }
  TestRuntime t;
  t.Var("$texto") = "ab";
  ASSERT_TRUE(t.Line("codbase64 $texto"));
  EXPECT_EQ(t.Var("$texto"), "YWI=");
}

TEST(Base64Files, EncodeIn64CharacterLines) {
  std::string bytes49;
  for (int i = 0; i < 49; ++i) bytes49 += static_cast<char>(i * 5);
  const std::string line1 = Base64Encode(bytes49.substr(0, 48));
  ASSERT_EQ(line1.size(), 64u);
  const struct {
    std::string source;
    std::string encoded;
  } cases[] = {
      {bytes49, line1 + "\r\n" + Base64Encode(bytes49.substr(48)) + "\r\n"},
      {bytes49.substr(0, 48), line1 + "\r\n"},
      {bytes49.substr(0, 48) + bytes49.substr(0, 48), line1 + "\r\n" + line1 + "\r\n"},
      {"", ""},
      {"ab", "YWI=\r\n"},
  };
  for (const auto& c : cases) {
    TestRuntime t;
    WriteFile(t.dir() + "/origem", c.source);
    ASSERT_TRUE(t.Line("codarqbase64 \"" + t.dir() + "/origem\" \"" + t.dir() + "/b64\""));
    EXPECT_EQ(ReadFile(t.dir() + "/b64"), c.encoded) << c.source.size() << " bytes";
    ASSERT_TRUE(t.Line("decodarqbase64 \"" + t.dir() + "/b64\" \"" + t.dir() + "/volta\""));
    EXPECT_EQ(ReadFile(t.dir() + "/volta"), c.source) << c.source.size() << " bytes";
  }
}

TEST(Base64Files, LargeFilesStreamThroughAndComeBackWhole) {
  TestRuntime t;
  std::string bytes;
  for (int i = 0; i < 300000; ++i) bytes += static_cast<char>((i * 31) ^ (i >> 8));
  WriteFile(t.dir() + "/grande", bytes);
  ASSERT_TRUE(t.Line("codarqbase64 \"" + t.dir() + "/grande\" \"" + t.dir() + "/b64\""));
  const std::string encoded = ReadFile(t.dir() + "/b64");
  EXPECT_EQ(encoded.substr(0, 66), Base64Encode(bytes.substr(0, 48)) + "\r\n");
  ASSERT_TRUE(t.Line("decodarqbase64 \"" + t.dir() + "/b64\" \"" + t.dir() + "/volta\""));
  EXPECT_EQ(ReadFile(t.dir() + "/volta"), bytes);
}

TEST(Base64Files, DecodingStopsAtThePadAndFailsWithoutItsFiles) {
  TestRuntime t;
  const std::string d = t.dir();
  WriteFile(d + "/texto", "YW\r\nJj YQ==ZZZZ\r\n");
  ASSERT_TRUE(t.Line("decodarqbase64 \"" + d + "/texto\" \"" + d + "/bytes\""));
  EXPECT_EQ(ReadFile(d + "/bytes"), "abca");
  EXPECT_FALSE(t.Line("decodarqbase64 \"" + d + "/nada\" \"" + d + "/bytes\""));
  EXPECT_FALSE(t.Line("codarqbase64 \"" + d + "/nada\" \"" + d + "/b64\""));
  EXPECT_FALSE(t.Line("codarqbase64 \"" + d + "/texto\" \"" + d + "/sem/pasta\""));
  EXPECT_FALSE(t.Line("decodarqbase64 \"" + d + "/texto\" \"" + d + "/sem/pasta\""));
  // The destination is never the source it would wipe out.
  EXPECT_FALSE(t.Line("codarqbase64 \"" + d + "/texto\" \"" + d + "/texto\""));
  EXPECT_EQ(ReadFile(d + "/texto"), "YW\r\nJj YQ==ZZZZ\r\n");
  EXPECT_FALSE(t.Line("codarqbase64 \"" + d + "/texto\""));
  EXPECT_EQ(t.TakeWritten(), "");
}

}  // namespace
}  // namespace morventa::testing
