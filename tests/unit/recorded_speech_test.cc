// Numbers, times and dates spoken from recorded word files.
#include "speech/recorded_speech.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "console/config.h"
#include "console/console_window.h"
#include "speech/wave_player.h"
#include "system/text_encoding.h"
#include "tests/doubles/orbela_environment.h"
#include "tests/doubles/scripted_display.h"
#include "tests/unit/wave_fixtures.h"

namespace morventa::testing {
namespace {

using Names = std::vector<std::string>;

TEST(NumberWords, SaysIntegersInPortuguese) {
  struct Case {
    int64_t n;
    const char* words;  // UTF-8
  };
  const Case cases[] = {
      {0, "zero"},
      {1, "um"},
      {10, "dez"},
      {15, "quinze"},
      {17, "dezessete"},
      {21, "vinte e um"},
      {40, "quarenta"},
      {100, "cem"},
      {101, "cento e um"},
      {110, "cento e dez"},
      {200, "duzentos"},
      {999, "novecentos e noventa e nove"},
      {1000, "mil"},
      {1001, "mil e um"},
      {1100, "mil e cem"},
      {2000, "dois mil"},
      {2001, "dois mil e um"},
      {2340, "dois mil e trezentos e quarenta"},
      {17017, "dezessete mil e dezessete"},
      {1000000, "um milhão"},
      {2000000, "dois milhões"},
      {1001000, "um milhão e um mil"},
      {1234567, "um milhão duzentos e trinta e quatro mil e quinhentos e sessenta e sete"},
      {1000000000, "um bilhão"},
      {3000000000000, "tres trilhões"},
      {999999999999999,
       "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões "
       "novecentos e noventa e nove milhões novecentos e noventa e nove mil e "
       "novecentos e noventa e nove"},
      {1000000000000021, "vinte e um"},  // only the last 15 digits count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(NumberWords(c.n), Ansi(c.words));
  }
}

// The speech service's built-in path as recorded speech sees it: images and
// named sounds go through the wave player to the file output, and every
// sound played is noted by name, as the transcript shows it.
class WaveHost : public RecordedSpeechHost {
 public:
  WaveHost(ConsoleWindow& console, WavePlayer& player, std::string letters_dir)
      : console_(console), player_(player), letters_dir_(std::move(letters_dir)) {}

  void PlayImageAndWait(std::span<const uint8_t> image) override {
    images.push_back(image.size() - kWaveHeaderSize);
    player_.PlayWaveImage(image);
    while (player_.WaveBusy()) WaitForEvents();
  }
  bool IsSpeaking() override { return player_.WaveBusy(); }
  void WaitForEvents() override { console_.WaitEvents(0); }
  void PlaySound(std::string_view name) override {
    sounds.emplace_back(name);
    player_.PlayWaveFile(letters_dir_ + std::string(name) + ".wav");
  }
  void NoteWordFile(std::string_view name) override { sounds.emplace_back(name); }
  std::string LettersDir() override { return letters_dir_; }

  Names sounds;
  std::vector<size_t> images;  // sample bytes of each image played

 private:
  ConsoleWindow& console_;
  WavePlayer& player_;
  std::string letters_dir_;
};

const Names kRecordedWords = {
    "_zero",    "_um",      "_uma",     "_dois",    "_duas",    "_tres",    "_quatro",
    "_cinco",   "_seis",    "_sete",    "_oito",    "_nove",    "_dez",     "_onze",
    "_doze",    "_treze",   "_quatorz", "_quinze",  "_dezesse", "_dezeset", "_dezoito",
    "_dezenov", "_vinte",   "_trinta",  "_quarent", "_cinquen", "_sessent", "_setenta",
    "_oitenta", "_noventa", "_cem",     "_cento",   "_duzento", "_trezent", "_quatroc",
    "_quinhen", "_seiscen", "_setecen", "_oitocen", "_novecen", "_mil",     "_milhao",
    "_milhoes", "_bilhao",  "_bilhoes", "_trilhao", "_trilhoe", "_e",       "_hora",
    "_horas",   "_minuto",  "_minutos", "_primeir", "_de",      "_Domingo", "_Segunda",
    "_Terca",   "_Quarta",  "_Quinta",  "_Sexta",   "_Sabado",  "_Janeiro", "_Feverei",
    "_Marco",   "_Abril",   "_Maio",    "_Junho",   "_Julho",   "_Agosto",  "_Setembr",
    "_Outubro", "_Novembr", "_Dezembr",
};

class RecordedSpeechTest : public ::testing::Test {
 protected:
  RecordedSpeechTest() {
    std::filesystem::create_directories(letters_);
    // Every word file holds 50 samples of a value of its own.
    for (size_t i = 0; i < kRecordedWords.size(); ++i) {
      const auto value = static_cast<uint8_t>(i < 127 ? i + 1 : i + 2);
      values_[value] = kRecordedWords[i];
      WordFile(kRecordedWords[i], Bytes(50, value));
    }
  }

  void WordFile(const std::string& name, const Bytes& samples) {
    WriteBytes(letters_ + name + ".wav", WaveFile(11025, 8, 1, samples));
  }

  // The word files heard in the file output, in order.
  Names Heard() const {
    Names heard;
    uint8_t last = 128;
    for (uint8_t b : ReadWave(played_path_).data) {
      if (b == 128 || b == last) continue;
      heard.push_back(values_.at(b));
      last = b;
    }
    return heard;
  }

  OrbelaEnvironment env_;
  Config config_{env_.locations()};
  std::shared_ptr<DisplayLog> display_ = std::make_shared<DisplayLog>();
  ConsoleWindow console_{config_, ScriptedDisplay(display_)};
  std::string played_path_ = env_.root() + "/played.wav";
  WavePlayer player_{console_, MakeFileAudioOutput(played_path_)};
  std::string letters_ = env_.root() + "/letras/";
  WaveHost host_{console_, player_, letters_};
  std::map<uint8_t, std::string> values_;
};

TEST_F(RecordedSpeechTest, SpeakTimeSaysHoursInTheFeminine) {
  struct Case {
    int hours, minutes;
    Names sounds;
  };
  const Case cases[] = {
      {1, 1, {"_uma", "_hora", "_um", "_minuto"}},
      {2, 0, {"_duas", "_horas"}},
      {0, 2, {"_zero", "_hora", "_dois", "_minutos"}},
      {21, 32, {"_vinte", "_e", "_uma", "_horas", "_trinta", "_e", "_dois", "_minutos"}},
      {12, 17, {"_doze", "_horas", "_dezeset", "_minutos"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.hours) + ":" + std::to_string(c.minutes));
    host_.sounds.clear();
    SpeakTime(host_, c.hours, c.minutes);
    EXPECT_EQ(host_.sounds, c.sounds);
  }
}

TEST_F(RecordedSpeechTest, SpeakTimeIsHeardInOrder) {
  SpeakTime(host_, 1, 1);
  EXPECT_EQ(Heard(), (Names{"_uma", "_hora", "_um", "_minuto"}));
}

TEST_F(RecordedSpeechTest, SpeakDateSaysWeekdayDayMonthAndYear) {
  struct Case {
    int day, month, year;
    Names sounds;
  };
  const Case cases[] = {
      {1, 1, 2010,
       {"_Sexta", "_primeir", "_de", "_Janeiro", "_de", "_dois", "_mil", "_e", "_dez"}},
      {25, 12, 1999,
       {"_Sabado", "_vinte", "_e", "_cinco", "_de", "_Dezembr", "_de", "_noventa", "_e",
        "_nove"}},
      {17, 9, 2000, {"_Domingo", "_dezeset", "_de", "_Setembr", "_de", "_dois", "_mil"}},
      {14, 3, 2024,
       {"_Quinta", "_quatorz", "_de", "_Marco", "_de", "_dois", "_mil", "_e", "_vinte", "_e",
        "_quatro"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.day) + "/" + std::to_string(c.month) + "/" +
                 std::to_string(c.year));
    host_.sounds.clear();
    SpeakDate(host_, c.day, c.month, c.year);
    EXPECT_EQ(host_.sounds, c.sounds);
  }
}

TEST_F(RecordedSpeechTest, WordsBecomeFileNames) {
  struct Case {
    const char* words;  // UTF-8
    bool feminine;
    Names sounds;
  };
  const Case cases[] = {
      {"dezesseis dezessete", false, {"_dezesse", "_dezeset"}},
      {"quatorze quatrocentos", false, {"_quatorz", "_quatroc"}},
      {"dois milhões um trilhão dois trilhões", false,
       {"_dois", "_milhoes", "_um", "_trilhao", "_dois", "_trilhoe"}},
      {"um", true, {"_uma"}},
      {"vinte e dois", true, {"_vinte", "_e", "_duas"}},
      {"dois mil", true, {"_dois", "_mil"}},
      {"um mil", false, {"_um", "_mil"}},
      {"tres  nenhum quatro", false, {"_tres", "_quatro"}},  // no _nenhum.wav
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words);
    host_.sounds.clear();
    PlayWordFiles(host_, Ansi(c.words), c.feminine);
    EXPECT_EQ(host_.sounds, c.sounds);
  }
}

TEST_F(RecordedSpeechTest, WordsAreJoinedIntoImagesOfAtMost30000Samples) {
  struct Case {
    const char* what;
    std::map<std::string, size_t> sizes;
    const char* words;
    std::vector<size_t> images;
  };
  const Case cases[] = {
      {"two fit, the third starts a new image",
       {{"_aaa", 12000}, {"_bbb", 12000}, {"_ccc", 12000}}, "aaa bbb ccc", {24000, 12000}},
      {"exactly full", {{"_aaa", 15000}, {"_bbb", 15000}}, "aaa bbb", {30000}},
      {"a longer word plays alone, an image at a time",
       {{"_aaa", 1000}, {"_enorme", 70000}, {"_bbb", 1000}}, "aaa enorme bbb",
       {1000, 30000, 30000, 10000, 1000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& [name, size] : c.sizes) WordFile(name, Bytes(size, 99));
    host_.images.clear();
    PlayWordFiles(host_, c.words, false);
    EXPECT_EQ(host_.images, c.images);
  }
}

TEST_F(RecordedSpeechTest, NumbersAreHeardFromTheirWordFiles) {
  SpeakNumberWords(host_, 2340, false);
  EXPECT_EQ(Heard(), (Names{"_dois", "_mil", "_e", "_trezent", "_e", "_quarent"}));
}

}  // namespace
}  // namespace morventa::testing
