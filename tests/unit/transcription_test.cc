// TranscribeText: from Portuguese text to the diphone voice's phonetic string.
#include "speech/diphone/transcription.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "system/text_encoding.h"
#include "tests/unit/diphone_fixtures.h"

namespace morventa {
namespace {

using testing::TempDir;
using testing::WriteFile;

// Lower-case outputs for a few letters, so the stress mark shows as an
// upper-case vowel; every other letter falls to its spelled default.
constexpr std::string_view kRules =
    "; fixture rules\n"
    "(C)=k|\n(A)=a|\n(SS)=s|\n(S)=s|\n(P)=p|\n(E)=e|\n(L)=l|\n(O)=o|\n(M)=m|\n(R)=r|\n"
    "(X)=abcdefghijklmn|\n";

class TranscribeTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "regras.rgr", kRules);
    WriteFile(dir_ / "portug.exc", "mesa=meza\n");
    ASSERT_TRUE(transcriber_.LoadRules(dir_ / "regras.rgr"));
    ASSERT_TRUE(transcriber_.LoadExceptions(dir_ / "portug.exc"));
  }
  TempDir dir_;
  Transcriber transcriber_;
};

TEST_F(TranscribeTextTest, Outputs) {
  struct Case {
    std::string text;  // Windows-1252
    std::string phonetic;
  };
  const Case cases[] = {
      // Stress marks: the first a of casa, the e of papel, the o of sol
      // (one vowel, final l), nothing on mar (one vowel, other ending).
      {"casa", "[k/A/s/a]"},
      {"papel", "[p/a/p/E/l]"},
      {"sol", "[s/O/l]"},
      {"mar", "[m/a/r]"},
      {"CASA PAPEL", "[k/A/s/a][p/a/p/E/l]"},
      {"ai", "[A/ /_I]"},  // stressed on its first letter
      {"rua", "[r/ /_U/a]"},
      // Written accents: no automatic mark.
      {Ansi("sofá"), "[s/o/ /_F/a/ /_']"},
      {Ansi("mãe"), "[m/a/ /_~/e]"},
      // The W/Y rule: a lone w keeps its w; next to a letter it is u.
      {"w", "[ /_w]"},
      {"wa", "[ /_U/a]"},
      {"y", "[ /_y]"},
      {"ya", "[ /_I/a]"},
      // d'água: the apostrophe after d goes, á is a and its mark.
      {Ansi("d'água"), "[ /_D/a/ /_'/ /_G/ /_U/a]"},
      // No vowel: spelled character by character.
      {"bcd", "[ /_b][ /_c][ /_d]"},
      {Ansi("ç"), "[ /_s][ /_s]"},
      // A Center of two letters moves on by two.
      {"passo", "[p/A/s/o]"},
      // Exceptions, with a final s set aside and the word then marked.
      {"mesas", "[m/E/ /_Z/a/s]"},
      // A rule output is kept to 11 characters.
      {"xo", "[abcdefghijk/o]"},
      // Control codes and unmapped codes are spelled as the NUL.
      {"\xBA", std::string("[ /_\0]", 6)},
      {"\x07", std::string("[ /_\0]", 6)},
      {"a\x09" "e", std::string("[a][ /_\0][e]", 12)},
      {"", ""},
      {"   ", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(transcriber_.TranscribeText(c.text), c.phonetic) << AnsiToUtf8(c.text);
  }
}

TEST_F(TranscribeTextTest, AWordLongerThanTheBufferIsCut) {
  const std::string text = std::string(300, 'a') + " bcd";
  const std::string out = transcriber_.TranscribeText(text);
  const size_t first_word_end = out.find(']');
  ASSERT_NE(first_word_end, std::string::npos);
  const std::string first = out.substr(0, first_word_end + 1);
  EXPECT_EQ(std::count(first.begin(), first.end(), '/'), 255);  // 256 letters
  EXPECT_EQ(out.substr(first_word_end + 1), "[ /_b][ /_c][ /_d]");
}

}  // namespace
}  // namespace morventa
