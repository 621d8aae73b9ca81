// The magnifier strip as the console hands it to a front end: which part of
// a text is shown around a position, which character stands highlighted, and
// the factor and colours the speech start-up reads from [BAIXAVISAO].
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/unit/paced_runtime.h"

namespace morventa::testing {
namespace {

struct Show {
  int position;
  const char* text;  // what the strip shows
  int highlight;
};

struct StripCase {
  const char* what;
  int factor;
  std::vector<Show> shows;  // of the alphabet, one after the other
};

class Magnifier : public ::testing::TestWithParam<StripCase> {};

TEST_P(Magnifier, ShowsAWindowOfTheTextThatFollowsThePosition) {
  PacedRuntime t;
  t.rt().console.MagnifierSet(GetParam().factor, {});
  std::vector<std::string> expected, got;
  for (const Show& s : GetParam().shows) {
    t.rt().console.MagnifierShow("abcdefghijklmnopqrstuvwxyz", s.position);
    expected.push_back(std::string(s.text) + " @" + std::to_string(s.highlight));
  }
  for (const MagnifierView& v : t.display().magnifier) got.push_back(v.text + " @" + std::to_string(v.highlight));
  EXPECT_EQ(got, expected);
}

const StripCase kStrips[] = {
    {"factor 8 shows ten characters", 8,
     {{1, "abcdefghij", -1}, {5, "abcdefghij", 3}, {11, "abcdefghij", 9}, {12, "bcdefghijk", 9},
      {3, "bcdefghijk", 0}, {2, "abcdefghij", 0}, {0, "abcdefghij", -1}}},
    {"jumps far ahead and back", 8, {{26, "pqrstuvwxy", 9}, {27, "qrstuvwxyz", 9}, {30, "tuvwxyz   ", 9},
                                      {9, "hijklmnopq", 0}}},
    {"factor 3 shows 26 characters", 3, {{1, "abcdefghijklmnopqrstuvwxyz", -1}, {27, "abcdefghijklmnopqrstuvwxyz", 25}}},
    {"factor 0 shows nothing", 0, {}},
};
INSTANTIATE_TEST_SUITE_P(Console, Magnifier, ::testing::ValuesIn(kStrips));

TEST(Magnifier, SettingTheFactorAgainStartsAtTheTextsBeginning) {
  PacedRuntime t;
  auto& console = t.rt().console;
  console.MagnifierSet(8, {2, 1, 4});
  console.MagnifierShow("abcdefghijklmnopqrstuvwxyz", 20);
  console.MagnifierSet(8, {2, 1, 4});
  console.MagnifierShow("abcdefghijklmnopqrstuvwxyz", 5);
  const auto& shown = t.display().magnifier;
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "abcdefghij");
  EXPECT_EQ(shown[1].letter_colour, 2);
  EXPECT_EQ(shown[1].background_colour, 1);
  EXPECT_EQ(shown[1].highlight_colour, 4);
  // Turning it off takes the strip away.
  console.MagnifierSet(0, {});
  EXPECT_EQ(t.display().magnifier_hides, 1);
}

TEST(Magnifier, TheSpeechStartUpGivesItItsFactorAndColours) {
  PacedRuntime t;
  std::ofstream(t.rt().config.ConfigDirectory() + "/Orbela.ini")
      << "[BAIXAVISAO]\nAMPLIACAO=12\nCORLETRA=2\nCORCURSOR=99\n[TRADUTOR]\nDIRLETRAS=" << MORVENTA_SOUND_DIR
      << "/letras\nDIRDIFONES=" << MORVENTA_SOUND_DIR << "/difones\n";
  t.rt().speech.StartSpeech(0, "");
  EXPECT_TRUE(t.rt().console.created());
  EXPECT_EQ(t.rt().console.magnifier_factor(), 3);
  t.rt().console.MagnifierShow("abc", 2);
  ASSERT_EQ(t.display().magnifier.size(), 1u);
  EXPECT_EQ(t.display().magnifier[0].letter_colour, 2);
  EXPECT_EQ(t.display().magnifier[0].background_colour, 6);
  EXPECT_EQ(t.display().magnifier[0].highlight_colour, 3);
}

TEST(Magnifier, WithoutAFactorTheConsoleWaitsForItsFirstUse) {
  PacedRuntime t;
  std::ofstream(t.rt().config.ConfigDirectory() + "/Orbela.ini")
      << "[TRADUTOR]\nDIRLETRAS=" << MORVENTA_SOUND_DIR << "/letras\nDIRDIFONES=" << MORVENTA_SOUND_DIR
      << "/difones\n";
  t.rt().speech.StartSpeech(0, "");
  EXPECT_FALSE(t.rt().console.created());
  EXPECT_EQ(t.rt().console.magnifier_factor(), 0);
}

}  // namespace
}  // namespace morventa::testing
