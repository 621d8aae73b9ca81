// The wave player: block rules, WAV parsing, speed-ups, keys and the
// messages of blocks that come back with an error.
#include "speech/wave_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "console/config.h"
#include "console/console_window.h"
#include "tests/doubles/held_sound_device.h"
#include "tests/doubles/orbela_environment.h"
#include "tests/doubles/scripted_display.h"
#include "tests/unit/wave_fixtures.h"

namespace morventa::testing {
namespace {

Bytes Filled(size_t count, uint8_t value) { return Bytes(count, value); }

// A voiced sound in miniature: a peak of 250 every period samples, each
// followed by tail samples fading from 245, and silence (128) between them.
Bytes PulseTrain(int count, int period, int tail = 0) {
  Bytes bytes(count, 128);
  for (int i = 0; i < count; ++i) {
    const int phase = i % period;
    if (phase == 0) bytes[i] = 250;
    else if (phase <= tail) bytes[i] = static_cast<uint8_t>(250 - 5 * phase);
  }
  return bytes;
}

// The same sound as 16-bit samples whose high bytes, top bit flipped, are it.
Bytes Widened(const Bytes& eight_bit) {
  Bytes out;
  for (uint8_t b : eight_bit) {
    out.push_back(0x37);
    out.push_back(static_cast<uint8_t>(b ^ 0x80));
  }
  return out;
}

class WavePlayerTest : public ::testing::Test {
 protected:
  // A player on the file output, so that what it plays can be read back.
  WavePlayer& FilePlayer() {
    player_ = std::make_unique<WavePlayer>(console_, MakeFileAudioOutput(played_path_));
    return *player_;
  }
  // A player on a sound card that holds its blocks.
  WavePlayer& HeldPlayer() {
    player_ = std::make_unique<WavePlayer>(console_, HeldSoundDevice(device_));
    return *player_;
  }

  std::string Fixture(const std::string& name, const std::string& bytes) {
    const std::string path = env_.root() + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteBytes(path, bytes);
    return path;
  }

  Wave Played() const { return ReadWave(played_path_); }
  bool NothingPlayed() const { return !std::filesystem::exists(played_path_); }

  OrbelaEnvironment env_;
  Config config_{env_.locations()};
  std::shared_ptr<DisplayLog> display_ = std::make_shared<DisplayLog>();
  ConsoleWindow console_{config_, ScriptedDisplay(display_)};
  std::shared_ptr<SoundDeviceLog> device_ = std::make_shared<SoundDeviceLog>();
  std::string played_path_ = env_.root() + "/played.wav";
  std::unique_ptr<WavePlayer> player_;
};

// 8-bit mono data leaves in pieces of 8192 bytes; a rest just over one piece
// is split 7936 + rest; a piece shorter than 256 bytes is padded with silence,
// and every piece but a full one ends on a silent byte.
TEST_F(WavePlayerTest, EightBitMonoFilesLeaveInTheDesignedPieces) {
  struct Case {
    size_t data_bytes;
    std::vector<size_t> pieces;
  };
  const Case cases[] = {
      {100, {100}},          {256, {256}},         {8192, {8192}},
      {8300, {7936, 364}},   {8447, {7936, 511}},  {8448, {8192, 256}},
      {20000, {8192, 8192, 3616}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data_bytes);
    std::filesystem::remove(played_path_);
    WavePlayer& player = FilePlayer();
    const std::string file = Fixture("sound.wav", WaveFile(11025, 8, 1, Filled(c.data_bytes, 200)));
    EXPECT_EQ(player.PlayWaveFile(file), 0);
    Bytes expected;
    for (size_t piece : c.pieces) {
      Bytes block = Filled(piece, 200);
      block.resize(std::max<size_t>(piece, 256), 128);
      if (piece != 8192) block.back() = 128;
      expected.insert(expected.end(), block.begin(), block.end());
    }
    const Wave played = Played();
    ASSERT_TRUE(played.valid);
    EXPECT_EQ(played.data, expected);
    EXPECT_EQ(player.queued_blocks(), 0);
  }
}

TEST_F(WavePlayerTest, OtherFormatsAreNeitherPaddedNorSilenced) {
  WavePlayer& player = FilePlayer();
  const Bytes data = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(player.PlayWaveFile(Fixture("s.wav", WaveFile(22050, 16, 2, data))), 0);
  const Wave played = Played();
  EXPECT_EQ(played.rate, 22050);
  EXPECT_EQ(played.bits, 16);
  EXPECT_EQ(played.channels, 2);
  EXPECT_EQ(played.data, data);
}

TEST_F(WavePlayerTest, FilesAreFoundByTheirChunks) {
  const Bytes data = Filled(300, 90);
  struct Case {
    const char* what;
    std::string bytes;
    int result;
  };
  const Case cases[] = {
      {"LIST chunk before data", WaveFile(11025, 8, 1, data, Chunk("LIST", "INFOabcd")), 0},
      {"odd-sized chunks are padded", WaveFile(11025, 8, 1, data, Chunk("LIST", "odd") + Chunk("fact", "x")), 0},
      {"riff in lower case", "riff" + WaveFile(11025, 8, 1, data).substr(4), 0},
      {"no data chunk", WaveFile(11025, 8, 1, data, Chunk("LIST", "INFO"), false), -1},
      {"not RIFF", "RIFX" + WaveFile(11025, 8, 1, data).substr(4), -1},
      {"no format chunk first", "RIFF" + Le(4, 4) + "WAVE" + Chunk("data", AsString(data)), -1},
      {"cut short in the format", WaveFile(11025, 8, 1, data).substr(0, 30), -1},
      {"empty file", "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(played_path_);
    WavePlayer& player = FilePlayer();
    EXPECT_EQ(player.PlayWaveFile(Fixture("chunks.wav", c.bytes)), c.result);
    if (c.result == 0) {
      Bytes expected = data;
      expected.back() = 128;
      EXPECT_EQ(Played().data, expected);
    } else {
      EXPECT_TRUE(NothingPlayed());
    }
  }
  EXPECT_EQ(FilePlayer().PlayWaveFile(env_.root() + "/missing.wav"), -1);
  EXPECT_TRUE(NothingPlayed());
}

TEST_F(WavePlayerTest, FastFlagPlaysAtOneAndAHalfTimesTheRateRoundedToEven) {
  struct Case {
    int rate, played_rate;
  };
  for (const Case c : {Case{11025, 16538}, Case{11027, 16540}, Case{16000, 24000}}) {
    SCOPED_TRACE(c.rate);
    std::filesystem::remove(played_path_);
    WavePlayer& player = FilePlayer();
    player.set_fast_flag(true);
    EXPECT_EQ(player.PlayWaveFile(Fixture("f.wav", WaveFile(c.rate, 8, 1, Filled(500, 99)))), 0);
    EXPECT_EQ(Played().rate, c.played_rate);
    EXPECT_EQ(Played().data.size(), 500u);
  }
}

TEST_F(WavePlayerTest, CutFlagPrefersTheRapidoRecordingAndPlaysItWhole) {
  WavePlayer& player = FilePlayer();
  player.set_cut_flag(true);
  const Bytes fast = Filled(1500, 60);
  const std::string slow = Fixture("x/_65.wav", WaveFile(11025, 8, 1, PulseTrain(2000, 100)));
  Fixture("x/rapido/_65.wav", WaveFile(11025, 8, 1, fast));
  EXPECT_EQ(player.PlayWaveFile(slow), 0);
  Bytes expected = fast;
  expected.back() = 128;
  EXPECT_EQ(Played().data, expected);
  EXPECT_TRUE(player.cut_flag());
}

TEST_F(WavePlayerTest, CutFlagWithoutRapidoShortensMonoSpeech) {
  struct Case {
    const char* what;
    int bits;
    Bytes data;
  };
  const Case cases[] = {
      {"8-bit", 8, PulseTrain(2000, 100)},
      {"16-bit, narrowed to 8-bit", 16, Widened(PulseTrain(2000, 100))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(played_path_);
    WavePlayer& player = FilePlayer();
    player.set_cut_flag(true);
    EXPECT_EQ(player.PlayWaveFile(Fixture("y/_65.wav", WaveFile(11025, c.bits, 1, c.data))), 0);
    const Wave played = Played();
    EXPECT_EQ(played.bits, 8);
    EXPECT_EQ(played.data.size(), 1008u);
  }
}

TEST_F(WavePlayerTest, PendingKeyBeforePlayingPlaysNothingAndStaysQueued) {
  WavePlayer& player = FilePlayer();
  const std::string file = Fixture("k.wav", WaveFile(11025, 8, 1, Filled(3000, 70)));
  display_->Type("x");
  EXPECT_EQ(player.PlayWaveFile(file), 0);
  EXPECT_TRUE(NothingPlayed());
  ASSERT_TRUE(console_.KeyPending());
  EXPECT_EQ(console_.TakeKey(), 'x');
}

TEST_F(WavePlayerTest, KeyPressedMidPlayDiscardsTheQueueAndStaysQueued) {
  WavePlayer& player = HeldPlayer();
  device_->finish_per_poll = 0;
  device_->on_write = [this] {
    if (device_->writes() == 2) display_->Type("x");
  };
  const std::string file = Fixture("k.wav", WaveFile(11025, 8, 1, Filled(5 * 8192, 70)));
  EXPECT_EQ(player.PlayWaveFile(file), 0);
  EXPECT_EQ(device_->writes(), 2);
  EXPECT_EQ(device_->events.back(), "finish 2");
  EXPECT_NE(std::find(device_->events.begin(), device_->events.end(), "reset"),
            device_->events.end());
  EXPECT_EQ(player.queued_blocks(), 0);
  EXPECT_EQ(console_.TakeKey(), 'x');
}

TEST_F(WavePlayerTest, AtMostSixteenBlocksAreQueuedInSixteenSlots) {
  WavePlayer& player = HeldPlayer();
  device_->finish_per_poll = 0;
  // The device plays nothing; the user gives up once the queue is full.
  device_->on_write = [this] {
    if (device_->writes() == 16) display_->Type("x");
  };
  const Bytes data = Filled(20 * 8192, 70);
  EXPECT_EQ(player.PlaySamples(data.data(), data.size(), 11025, 1, 8), 0);
  EXPECT_EQ(device_->writes(), 16);
  EXPECT_EQ(device_->events[16], "write 16 8192");
  EXPECT_EQ(player.queued_blocks(), 0);
  EXPECT_EQ(console_.TakeKey(), 'x');
  // The slots go round: the next block takes slot 1 again.
  device_->on_write = nullptr;
  device_->finish_per_poll = 1;
  EXPECT_EQ(player.PlaySamples(data.data(), 300, 11025, 1, 8), 0);
  EXPECT_EQ(device_->events.back(), "write 1 300");
}

TEST_F(WavePlayerTest, NoWaitReturnsOnceQueued) {
  WavePlayer& player = HeldPlayer();
  device_->finish_per_poll = 0;
  player.set_no_wait(true);
  EXPECT_EQ(player.PlayWaveFile(Fixture("n.wav", WaveFile(11025, 8, 1, Filled(3 * 8192, 70)))), 0);
  EXPECT_EQ(player.queued_blocks(), 3);
  EXPECT_TRUE(player.WaveBusy());
  player.WaveReset();
  EXPECT_FALSE(player.WaveBusy());
}

TEST_F(WavePlayerTest, FormatChangeWaitsForTheQueueBeforeReopening) {
  WavePlayer& player = HeldPlayer();
  const Bytes data = Filled(2 * 8192, 70);
  EXPECT_EQ(player.PlaySamples(data.data(), data.size(), 11025, 1, 8), 0);
  EXPECT_EQ(player.PlaySamples(data.data(), 1000, 16000, 1, 16), 0);
  const std::vector<std::string> expected = {
      "open 11025/8/1", "write 1 8192", "finish 1", "write 2 8192", "finish 2",
      "close",          "open 16000/16/1", "write 3 1000"};
  EXPECT_EQ(device_->events, expected);
}

TEST_F(WavePlayerTest, DeviceThatCannotOpenGivesItsStatusAndShowsNothing) {
  WavePlayer& player = HeldPlayer();
  device_->open_status = kAudioNoDriver;
  EXPECT_EQ(player.PlayWaveFile(Fixture("o.wav", WaveFile(11025, 8, 1, Filled(300, 70)))),
            kAudioNoDriver);
  EXPECT_EQ(device_->writes(), 0);
  EXPECT_EQ(display_->written, "");
}

TEST_F(WavePlayerTest, BlocksReturnedWithAnErrorAreShownAndWaitForEnter) {
  struct Case {
    int status;
    std::string shown;
  };
  const Case cases[] = {
      {5, "Specified device handle is invalid.\r\n"},
      {6, "No device driver is present.\r\n"},
      {7, "Unable to allocate or lock memory.\r\n"},
      {33, "The data block pointed to by the pwh parameter is still in queue\r\n"},
      {11, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    display_->written.clear();
    WavePlayer& player = HeldPlayer();
    device_->finish_status = c.status;
    // Keys typed while the block plays: only Enter ends the wait.
    device_->on_write = [this] { display_->Type("a\r"); };
    EXPECT_EQ(player.PlayWaveFile(Fixture("e.wav", WaveFile(11025, 8, 1, Filled(300, 70)))), 0);
    EXPECT_EQ(display_->written, c.shown);
    EXPECT_EQ(player.queued_blocks(), 0);
    EXPECT_FALSE(console_.KeyPending());
  }
}

TEST_F(WavePlayerTest, ImagesBuiltByTheProgramPlay) {
  WavePlayer& player = FilePlayer();
  std::vector<uint8_t> image(44 + 400, 77);
  BuildWaveHeader(image.data(), 400);
  EXPECT_EQ(player.PlayWaveImage(image), 0);
  const Wave played = Played();
  ASSERT_TRUE(played.valid);
  EXPECT_EQ(played.rate, 11025);
  EXPECT_EQ(played.bits, 8);
  EXPECT_EQ(played.channels, 1);
  Bytes expected = Filled(400, 77);
  expected.back() = 128;
  EXPECT_EQ(played.data, expected);

  std::vector<uint8_t> broken = image;
  broken[12] = 'F';
  EXPECT_EQ(player.PlayWaveImage(broken), -1);
  EXPECT_EQ(player.PlayWaveImage(std::span<const uint8_t>(image.data(), 20)), -1);
}

TEST(BuildWaveHeader, WritesTheCanonicalHeader) {
  uint8_t header[44];
  BuildWaveHeader(header, 1000);
  const std::string expected = "RIFF" + Le(1036, 4) + "WAVEfmt " + Le(16, 4) + Le(1, 2) +
                               Le(1, 2) + Le(11025, 4) + Le(11025, 4) + Le(1, 2) + Le(8, 2) +
                               "data" + Le(1000, 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header), 44), expected);
}

TEST(CutPeriods, DropsEveryOtherPitchPeriod) {
  struct Case {
    const char* what;
    Bytes bytes;
    int bits, rate;
    int count;
  };
  const Case cases[] = {
      {"11025 Hz, period 100", PulseTrain(2000, 100), 8, 11025, 1008},
      {"16000 Hz, period 400", PulseTrain(4000, 400), 8, 16000, 2003},
      {"16-bit is narrowed first", Widened(PulseTrain(2000, 100)), 16, 11025, 1008},
      {"ends only on a quiet sample", PulseTrain(2000, 100, 9), 8, 11025, 1010},
      {"under 1000 samples untouched", PulseTrain(999, 100), 8, 11025, 999},
      {"under 1000 samples after narrowing", Widened(PulseTrain(999, 100)), 16, 11025, 999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = c.bytes;
    EXPECT_EQ(CutPeriods(bytes.data(), static_cast<int>(bytes.size()), c.bits, c.rate), c.count);
  }
}

TEST(CutPeriods, KeepsTheStartAndWholePeriods) {
  const Bytes original = PulseTrain(2000, 100);
  Bytes bytes = original;
  ASSERT_EQ(CutPeriods(bytes.data(), 2000, 8, 11025), 1008);
  // Up to the first peak as it was; then the periods 300..400, 500..600, ...
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 200, original.begin()));
  EXPECT_TRUE(std::equal(bytes.begin() + 200, bytes.begin() + 301, original.begin() + 300));
  EXPECT_TRUE(std::equal(bytes.begin() + 301, bytes.begin() + 402, original.begin() + 500));
  // 16-bit samples give the same sound as their high bytes.
  Bytes wide = Widened(original);
  ASSERT_EQ(CutPeriods(wide.data(), 4000, 16, 11025), 1008);
  EXPECT_TRUE(std::equal(wide.begin(), wide.begin() + 1008, bytes.begin()));
}

}  // namespace
}  // namespace morventa::testing
