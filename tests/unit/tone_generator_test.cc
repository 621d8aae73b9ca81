// The console's looping tone: the square wave it plays, and how it reaches
// its own sound output while the console pumps.
#include "console/tone_generator.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/run_program.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

TEST(ToneGenerator, TheImageIsOneSecondOfSquareWave) {
  struct Case {
    int frequency;
    int low_samples;                    // at level 96 in the second
    std::vector<std::pair<int, int>> at;  // sample index, level
  } cases[] = {
      // p = 25: samples 0..11 low, then high up to cycle 1 at 25; cycle 3 at 75.
      {440, 440 * 12, {{0, 96}, {11, 96}, {12, 160}, {24, 160}, {25, 96}, {75, 96}, {86, 96}, {87, 160}}},
      // Cycles start at k * 11.025: the 40th at 441, not 440.
      {1000, 1000 * 5, {{0, 96}, {4, 96}, {5, 160}, {440, 160}, {441, 96}}},
      {100, 100 * 55, {{0, 96}, {54, 96}, {55, 160}, {110, 96}}},
      // Cycles of one sample have no low half; above the rate, no cycle at all.
      {11025, 0, {{0, 160}}},
      {20000, 0, {{0, 160}}},
  };
  for (const auto& c : cases) {
    const auto image = ToneGenerator::SquareWaveImage(c.frequency);
    ASSERT_EQ(image.size(), 44u + 11025) << c.frequency;
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "RIFF");
    EXPECT_EQ(Le(image, 4, 4), image.size() - 8);
    EXPECT_EQ(std::string(image.begin() + 8, image.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le(image, 20, 2), 1u);      // PCM
    EXPECT_EQ(Le(image, 22, 2), 1u);      // mono
    EXPECT_EQ(Le(image, 24, 4), 11025u);  // rate
    EXPECT_EQ(Le(image, 34, 2), 8u);      // bits
    EXPECT_EQ(std::string(image.begin() + 36, image.begin() + 40), "data");
    EXPECT_EQ(Le(image, 40, 4), 11025u);
    const uint8_t* pcm = image.data() + 44;
    EXPECT_EQ(pcm[11024], 128) << c.frequency;
    EXPECT_EQ(std::count(pcm, pcm + 11025, 96), c.low_samples) << c.frequency;
    EXPECT_EQ(std::count(pcm, pcm + 11025, 160), 11025 - 1 - c.low_samples) << c.frequency;
    for (const auto& [index, level] : c.at) EXPECT_EQ(pcm[index], level) << c.frequency << " @" << index;
  }
  EXPECT_TRUE(ToneGenerator::SquareWaveImage(0).empty());
  EXPECT_TRUE(ToneGenerator::SquareWaveImage(-5).empty());
}

TEST(ToneGenerator, TheToneLoopsOnItsOwnOutputUntilSwitchedOff) {
  const std::string dir = MakeTempDir();
  const std::string path = dir + "/tom.wav";
  TestRuntime t;
  t.rt().console.set_tone_output([&] { return MakeFileAudioOutput(path); });
  t.rt().console.ToneOn(0);
  EXPECT_FALSE(t.rt().console.tone_playing());
  EXPECT_FALSE(std::filesystem::exists(path));
  t.rt().console.ToneOn(440);
  EXPECT_TRUE(t.rt().console.tone_playing());
  t.rt().console.KeyPending();  // a pump keeps it fed
  t.rt().console.ToneOff();
  EXPECT_FALSE(t.rt().console.tone_playing());
  const std::string wav = ReadFile(path);
  const auto image = ToneGenerator::SquareWaveImage(440);
  const std::string second(image.begin() + 44, image.end());
  // Whole seconds of the wave, queued ahead of the clock.
  ASSERT_GT(wav.size(), 44u);
  const std::string data = wav.substr(44);
  ASSERT_EQ(data.size() % second.size(), 0u);
  EXPECT_GE(data.size() / second.size(), 2u);
  for (size_t at = 0; at < data.size(); at += second.size()) {
    EXPECT_EQ(data.compare(at, second.size(), second), 0) << "second " << at / second.size();
  }
  std::filesystem::remove_all(dir);
}

TEST(ToneGenerator, WithAFileOutputTheToneHasAFileOfItsOwn) {
  const std::string dir = MakeTempDir();
  const char* old = getenv("MORVENTA_AUDIO");
  const std::string saved = old ? old : "";
  struct Case {
    std::string selection;
    std::string written;
  } cases[] = {
      {"file:" + dir + "/saida.wav", dir + "/saida.tom.wav"},
      {"file:" + dir + "/saida", dir + "/saida.tom"},
      {"file:" + dir + "/pasta.d/saida", dir + "/pasta.d/saida.tom"},
  };
  std::filesystem::create_directory(dir + "/pasta.d");
  for (const auto& c : cases) {
    setenv("MORVENTA_AUDIO", c.selection.c_str(), 1);
    ToneGenerator tone([] { return AudioOutputFromEnvironment("tom"); });
    tone.On(800);
    tone.Off();
    EXPECT_TRUE(std::filesystem::exists(c.written)) << c.selection;
  }
  if (old) {
    setenv("MORVENTA_AUDIO", saved.c_str(), 1);
  } else {
    unsetenv("MORVENTA_AUDIO");
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace morventa::testing
