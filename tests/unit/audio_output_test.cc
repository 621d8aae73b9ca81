// The sound outputs the product ships: the WAV file, the null output, the
// choice among them, and the sound device when there is none.
#include "platform/audio/audio_output.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tests/doubles/orbela_environment.h"
#include "tests/unit/wave_fixtures.h"

namespace morventa::testing {
namespace {

std::vector<uint32_t> Tags(const std::vector<FinishedBlock>& blocks) {
  std::vector<uint32_t> tags;
  for (const FinishedBlock& b : blocks) {
    EXPECT_EQ(b.status, kAudioOk);
    tags.push_back(b.tag);
  }
  return tags;
}

class AudioOutputTest : public ::testing::Test {
 protected:
  OrbelaEnvironment env_;
  std::string path_ = env_.root() + "/out.wav";
};

TEST_F(AudioOutputTest, FileIsAValidWaveAfterEveryBlock) {
  auto output = MakeFileAudioOutput(path_);
  EXPECT_EQ(output->Write(1, nullptr, 0), kAudioInvalidHandle);
  ASSERT_EQ(output->Open({11025, 8, 1}), kAudioOk);
  const Bytes first = {1, 2, 3};
  const Bytes second = {4, 5};
  ASSERT_EQ(output->Write(7, first.data(), first.size()), kAudioOk);
  Wave wave = ReadWave(path_);
  ASSERT_TRUE(wave.valid);
  EXPECT_EQ(wave.data, first);
  ASSERT_EQ(output->Write(8, second.data(), second.size()), kAudioOk);
  wave = ReadWave(path_);
  ASSERT_TRUE(wave.valid);
  EXPECT_EQ(wave.rate, 11025);
  EXPECT_EQ(wave.bits, 8);
  EXPECT_EQ(wave.channels, 1);
  EXPECT_EQ(wave.data, (Bytes{1, 2, 3, 4, 5}));
  // Every block is finished at once.
  EXPECT_EQ(Tags(output->TakeFinished()), (std::vector<uint32_t>{7, 8}));
  EXPECT_TRUE(output->TakeFinished().empty());
}

TEST_F(AudioOutputTest, FileKeepsItsFirstFormatAndConvertsLaterBlocks) {
  struct Case {
    const char* what;
    AudioFormat first, later;
    Bytes played, written;
  };
  const Case cases[] = {
      {"16-bit narrowed", {11025, 8, 1}, {11025, 16, 1},
       {0x00, 0x80, 0xFF, 0x7F, 0x00, 0x00}, {0, 255, 128}},
      {"8-bit widened", {11025, 16, 1}, {11025, 8, 1}, {129, 0}, {0x00, 0x01, 0x00, 0x80}},
      {"stereo mixed", {11025, 8, 1}, {11025, 8, 2}, {100, 200, 0, 255}, {150, 127}},
      {"mono doubled", {11025, 8, 2}, {11025, 8, 1}, {100, 7}, {100, 100, 7, 7}},
      {"twice the rate", {11025, 8, 1}, {22050, 8, 1}, {1, 2, 3, 4}, {2, 4}},
      {"half the rate", {11025, 8, 1}, {5512, 8, 1}, {10, 20}, {10, 10, 20, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(path_);
    auto output = MakeFileAudioOutput(path_);
    ASSERT_EQ(output->Open(c.first), kAudioOk);
    ASSERT_EQ(output->Open(c.later), kAudioOk);
    ASSERT_EQ(output->Write(1, c.played.data(), c.played.size()), kAudioOk);
    const Wave wave = ReadWave(path_);
    ASSERT_TRUE(wave.valid);
    EXPECT_EQ(AudioFormat({wave.rate, wave.bits, wave.channels}), c.first);
    EXPECT_EQ(wave.data, c.written);
  }
}

TEST_F(AudioOutputTest, FormatsNoOutputPlaysAreRefused) {
  std::unique_ptr<AudioOutput> outputs[] = {MakeFileAudioOutput(path_), MakeNullAudioOutput()};
  for (auto& output : outputs) {
    EXPECT_EQ(output->Open({11025, 24, 1}), kAudioBadFormat);
    EXPECT_EQ(output->Open({11025, 8, 3}), kAudioBadFormat);
    EXPECT_FALSE(output->IsOpen());
  }
}

TEST_F(AudioOutputTest, NullDiscardsAndFinishesAtOnce) {
  auto output = MakeNullAudioOutput();
  const Bytes data = {1, 2, 3};
  EXPECT_EQ(output->Write(1, data.data(), data.size()), kAudioInvalidHandle);
  ASSERT_EQ(output->Open({16000, 16, 1}), kAudioOk);
  EXPECT_EQ(output->Write(3, data.data(), data.size()), kAudioOk);
  EXPECT_EQ(output->Write(4, data.data(), data.size()), kAudioOk);
  EXPECT_EQ(Tags(output->TakeFinished()), (std::vector<uint32_t>{3, 4}));
}

// With no sound system at all (as on a build machine) the device reports
// that no driver is present and plays nothing.
TEST_F(AudioOutputTest, DeviceWithoutSoundSystemReportsNoDriver) {
  setenv("SDL_AUDIODRIVER", "no-such-sound-system", 1);
  for (const char* selection : {"", "device", "file:"}) {
    SCOPED_TRACE(selection);
    auto output = MakeAudioOutput(selection);
    EXPECT_EQ(output->Open({11025, 8, 1}), kAudioNoDriver);
    EXPECT_FALSE(output->IsOpen());
    const Bytes data = {1};
    EXPECT_EQ(output->Write(1, data.data(), 1), kAudioInvalidHandle);
    EXPECT_TRUE(output->TakeFinished().empty());
  }
  unsetenv("SDL_AUDIODRIVER");
}

TEST_F(AudioOutputTest, SelectionNamesTheBackend) {
  const Bytes data = {9, 9};
  auto file = MakeAudioOutput("file:" + path_);
  ASSERT_EQ(file->Open({11025, 8, 1}), kAudioOk);
  ASSERT_EQ(file->Write(1, data.data(), data.size()), kAudioOk);
  EXPECT_EQ(ReadWave(path_).data, data);

  std::filesystem::remove(path_);
  auto null = MakeAudioOutput("null");
  ASSERT_EQ(null->Open({11025, 8, 1}), kAudioOk);
  ASSERT_EQ(null->Write(1, data.data(), data.size()), kAudioOk);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

}  // namespace
}  // namespace morventa::testing
