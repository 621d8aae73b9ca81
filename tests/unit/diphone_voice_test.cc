// The diphone voice over a tiny DIFONES2 database the tests write: which
// units a phonetic string asks for, and which samples reach the sink.
#include "speech/diphone/diphone_voice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "console/config.h"
#include "tests/unit/diphone_fixtures.h"

namespace morventa {
namespace {

using testing::FixtureUnit;
using testing::TempDir;
using testing::WaveFile;
using testing::WriteDiphoneDatabase;
using testing::WriteFile;

// Stands in for the wave player: keeps every image it is given.
class RecordingSink : public DiphoneSink {
 public:
  void PlayImageAndWait(std::span<const uint8_t> image) override {
    images.emplace_back(image.begin(), image.end());
  }
  bool IsSpeaking() override { return false; }
  void WaitForEvent() override {}

  std::vector<uint8_t> Samples() const {
    std::vector<uint8_t> all;
    for (const auto& image : images) all.insert(all.end(), image.begin() + 44, image.end());
    return all;
  }
  std::vector<std::vector<uint8_t>> images;
};

std::string Describe(const UnitRequest& r) {
  char scale[16];
  std::snprintf(scale, sizeof scale, "%.2f", r.scale);
  return r.name + " " + std::to_string(r.level) + " " + scale + (r.found ? "" : " missing");
}

size_t CountOf(const std::vector<uint8_t>& samples, uint8_t value) {
  return static_cast<size_t>(std::count(samples.begin(), samples.end(), value));
}

class DiphoneVoiceTest : public ::testing::Test {
 protected:
  std::string letters() const { return dir_ / "letras"; }
  std::string diphones() const { return dir_ / "difones"; }

  void WriteVoice(const std::vector<FixtureUnit>& units) {
    WriteDiphoneDatabase(diphones(), units);
    WriteFile(diphones() + "/regras.rgr", "");
    WriteFile(diphones() + "/portug.exc", "");
    std::filesystem::create_directories(letters());
  }
  void Open(const std::vector<FixtureUnit>& units) {
    WriteVoice(units);
    ASSERT_EQ(voice_.OpenFrom(letters(), diphones()), kDiphoneReady);
    voice_.SetSynthParams(0, 0, 0);
    voice_.SetUnitObserver([this](const UnitRequest& r) { asked_.push_back(r); });
  }
  void Speak(std::string_view phonetic, bool spell_punctuation = false) {
    sink_.images.clear();
    asked_.clear();
    voice_.DiphoneSpeak(phonetic, spell_punctuation);
  }
  std::vector<std::string> Asked(int max_depth = 99) const {
    std::vector<std::string> names;
    for (const auto& r : asked_)
      if (r.depth <= max_depth) names.push_back(Describe(r));
    return names;
  }

  TempDir dir_;
  RecordingSink sink_;
  DiphoneVoice voice_{sink_};
  std::vector<UnitRequest> asked_;
};

TEST_F(DiphoneVoiceTest, UnitsAskedForByTokens) {
  Open({{"$A", 50, 10}, {"$AWCIRC", 40, 11}, {"$C", 30, 12}, {"$NN", 20, 13},
        {"$PACIRC", 100, 14}, {"$RISTO", 60, 15}});
  struct Case {
    const char* phonetic;
    std::vector<std::string> asked;
  };
  const Case cases[] = {
      // Neither $KAZA nor $KAZ: only $A sounds.
      {"kaza", {"$kaza 1 1.00 missing", "$kaz 1 0.90 missing", "$a 1 1.00"}},
      // A nasal diphthong: pa^ at 0.6, then a, w and the tilde as $awTIL,
      // missing, so the closed diphthong and the nasal unit.
      {"pa~w", {"$paCIRC 1 0.60", "$awTIL 1 1.00 missing", "$awCIRC 2 0.90", "$nn 1 0.90"}},
      // A cluster's first consonant alone at full length, then the rest.
      {"cristo", {"$c 1 1.00", "$risto 1 1.00"}},
      // A stressed unit plays at level 2; the letter after it at level 0.
      {"[kA ka]", {"$kA 2 1.00 missing", "$k 2 0.90 missing", "$A 2 1.00",
                   "$ka 0 1.00 missing", "$k 0 0.90 missing", "$a 0 1.00"}},
      // A final s after a vowel: the vowel at 0.7, then $s.
      {"as", {"$a 1 0.70", "$s 1 1.00 missing"}},
      // Letters from their own sound files, "|" as the letter T.
      {"_b", {"_98 1 1.00 missing"}},
      {"[|]", {"_84 1 1.00 missing"}},
      {"b", {"$b 1 1.00 missing"}},
  };
  for (const Case& c : cases) {
    Speak(c.phonetic);
    EXPECT_EQ(Asked(), c.asked) << c.phonetic;
  }
}

TEST_F(DiphoneVoiceTest, KazaWithoutItsUnitsPlaysOnlyA) {
  Open({{"$A", 50, 10}});
  Speak("kaza");
  ASSERT_EQ(sink_.images.size(), 1u);
  EXPECT_EQ(sink_.Samples(), std::vector<uint8_t>(50, 10));

  // The image carries the canonical header for 50 bytes of 11025 Hz 8-bit mono.
  const std::vector<uint8_t>& image = sink_.images[0];
  const uint8_t header[44] = {'R', 'I', 'F', 'F', 86, 0, 0, 0, 'W', 'A', 'V', 'E',
                              'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                              0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0,
                              'd', 'a', 't', 'a', 50, 0, 0, 0};
  EXPECT_TRUE(std::equal(header, header + 44, image.begin()));
}

TEST_F(DiphoneVoiceTest, WordGapsAndLongTokens) {
  Open({{"$A", 50, 10}, {"$E", 50, 20}});
  struct Case {
    const char* phonetic;
    int word_gap;
    size_t silence;
    std::vector<std::string> tokens;  // units asked for by the tokens themselves
  };
  const Case cases[] = {
      // A token of 9 characters ends at "/" and gets a gap; 8 continue.
      {"[aaaaaaaaa/e]", 300, 300, {"$aaaaaaaaa 1 1.00 missing", "$e 1 1.00"}},
      {"[aaaaaaaa/e]", 300, 0, {"$aaaaaaaae 1 1.00 missing"}},
      // A gap after every word but the last; none after a blank.
      {"[a][e]", 300, 300, {"$a 1 1.00", "$e 1 1.00"}},
      {"[a e]", 300, 0, {"$a 1 1.00", "$e 1 1.00"}},
      {"[a][e][a]", 300, 600, {"$a 1 1.00", "$e 1 1.00", "$a 1 1.00"}},
      // Silence comes in whole steps of 100 samples.
      {"[a][e]", 250, 200, {"$a 1 1.00", "$e 1 1.00"}},
  };
  for (const Case& c : cases) {
    voice_.SetSynthParams(0, 0, c.word_gap);
    Speak(c.phonetic);
    EXPECT_EQ(CountOf(sink_.Samples(), 128), c.silence) << c.phonetic;
    EXPECT_EQ(Asked(0), c.tokens) << c.phonetic;
  }
}

TEST_F(DiphoneVoiceTest, PunctuationTokensArePausesUnlessSpelled) {
  Open({{"$A", 50, 10}});
  WriteFile(letters() + "/_44.wav", WaveFile(std::string(30, '\x07')));
  struct Case {
    const char* phonetic;
    bool spell;
    std::vector<uint8_t> samples;
  };
  const Case cases[] = {
      {"[ /_,]", false, std::vector<uint8_t>(4000, 128)},
      {"[ /_.]", false, std::vector<uint8_t>(8000, 128)},
      {"[ /_:]", false, std::vector<uint8_t>(8000, 128)},
      {"[ /_;]", false, std::vector<uint8_t>(6000, 128)},
      {"[ /_,]", true, std::vector<uint8_t>(30, 7)},
  };
  for (const Case& c : cases) {
    Speak(c.phonetic, c.spell);
    EXPECT_EQ(sink_.Samples(), c.samples) << c.phonetic << (c.spell ? " spelled" : "");
  }
}

TEST_F(DiphoneVoiceTest, UnstressedUnitsAreShortened) {
  Open({{"$A", 50, 10}, {"$KA", 100, 20}});
  struct Case {
    int cut;
    int floor;
    const char* phonetic;
    size_t samples;
  };
  const Case cases[] = {
      {400, 0, "ka", 0},     // shorter than Cut, Floor 0: nothing
      {400, 50, "ka", 50},   // Floor keeps 50
      {400, 200, "ka", 100}, // but never more than the unit
      {30, 0, "ka", 70},
      {30, 80, "ka", 80},
      {400, 0, "kA", 100},   // stressed: whole
      {400, 0, "a", 50},     // two characters: whole
  };
  for (const Case& c : cases) {
    voice_.SetSynthParams(c.cut, c.floor, 0);
    Speak(c.phonetic);
    EXPECT_EQ(sink_.Samples().size(), c.samples)
        << c.phonetic << " cut " << c.cut << " floor " << c.floor;
  }
}

TEST_F(DiphoneVoiceTest, ScaledLengthsRoundHalfToEven) {
  struct Case {
    int count;
    size_t samples;
  };
  const Case cases[] = {{5, 4}, {15, 14}, {25, 22}, {10, 9}, {1, 1}};
  for (const Case& c : cases) {
    // $KAZ is a fallback of kaza at 0.9 of its length.
    Open({{"$A", 10, 10}, {"$KAZ", c.count, 30}});
    Speak("kaza");
    EXPECT_EQ(CountOf(sink_.Samples(), 30), c.samples) << c.count;
  }
}

TEST_F(DiphoneVoiceTest, LookupOutcomesAreCounted) {
  Open({{"$A", 10, 10}});
  Speak("[a][kaza][b][kx]");
  const UnitLookupCounts& n = voice_.counts();
  EXPECT_EQ(n.direct, 1u);    // a
  EXPECT_EQ(n.fallback, 1u);  // kaza through $a
  EXPECT_EQ(n.noise, 1u);     // b: a missing unit of two characters
  EXPECT_EQ(n.silent, 1u);    // kx: no fallback applies

  // The noise: 300 samples from 128 to 207 between a's and kaza's samples.
  const std::vector<uint8_t> samples = sink_.Samples();
  ASSERT_EQ(samples.size(), 10u + 10u + 300u);
  EXPECT_TRUE(std::all_of(samples.begin() + 20, samples.end(),
                          [](uint8_t s) { return s >= 128 && s <= 207; }));
  voice_.ResetCounts();
  EXPECT_EQ(voice_.counts().direct, 0u);
}

TEST_F(DiphoneVoiceTest, IndexBisectionWithPrefixNames) {
  const std::vector<FixtureUnit> units = {{"$A", 5, 1},   {"$AE", 5, 2}, {"$AEI", 5, 3},
                                          {"$AEIO", 5, 4}, {"$E", 5, 5},  {"$EA", 5, 6},
                                          {"$EAI", 5, 7}};
  Open(units);
  for (const FixtureUnit& u : units) {
    EXPECT_TRUE(voice_.HasUnit(u.name)) << u.name;
    std::string token = u.name.substr(1);
    for (char& ch : token) ch = static_cast<char>(ch + 32);
    Speak(token);
    EXPECT_EQ(sink_.Samples(), std::vector<uint8_t>(5, u.sample)) << token;
  }
  for (const char* absent : {"", "$", "$AA", "$AEIOU", "$AEO", "$EAIO", "$0", "$Z"}) {
    EXPECT_FALSE(voice_.HasUnit(absent)) << absent;
  }
  EXPECT_TRUE(voice_.HasUnit("$aei"));  // looked up upper-cased
  EXPECT_EQ(voice_.unit_count(), units.size());
}

TEST_F(DiphoneVoiceTest, ASoundFileLongerThanTheImagePlaysInPieces) {
  Open({{"$A", 10, 10}});
  WriteFile(letters() + "/_65.wav", WaveFile(std::string(70000, '\x09')));
  Speak("[ /_A]");
  ASSERT_EQ(sink_.images.size(), 2u);
  for (const auto& image : sink_.images) {
    EXPECT_LE(image.size(), kDiphoneImageSize);
    const uint32_t data = image[40] | image[41] << 8 | image[42] << 16 | image[43] << 24;
    EXPECT_EQ(data, image.size() - 44);
  }
  EXPECT_EQ(sink_.Samples(), std::vector<uint8_t>(70000, 9));
}

TEST_F(DiphoneVoiceTest, AnUnmappedCodeIsSpokenAsTheNulSound) {
  Open({{"$A", 10, 10}});
  WriteFile(letters() + "/_0.wav", WaveFile(std::string(20, '\x05')));
  Speak(voice_.TranscribeText("\xBA"));
  EXPECT_EQ(Asked(), std::vector<std::string>{"_0 1 1.00"});
  EXPECT_EQ(sink_.Samples(), std::vector<uint8_t>(20, 5));
}

TEST_F(DiphoneVoiceTest, OpenReportsWhatIsMissing) {
  struct Case {
    const char* missing;
    int code;
  };
  const Case cases[] = {
      {"", kDiphoneReady},
      {"letras", kDiphoneNoDatabase},
      {"difones", kDiphoneNoDatabase},
      {"difones/DIFONES2.IND", kDiphoneNoDatabase},
      {"difones/DIFONES2.DIF", kDiphoneNoDatabase},
      {"difones/regras.rgr", kDiphoneNoRules},
      {"difones/portug.exc", kDiphoneNoRules},
  };
  for (const Case& c : cases) {
    WriteVoice({{"$A", 10, 10}});
    if (*c.missing) std::filesystem::remove_all(dir_ / c.missing);
    DiphoneVoice voice(sink_);
    EXPECT_EQ(voice.OpenFrom(letters(), diphones()), c.code) << c.missing;
    EXPECT_EQ(voice.is_open(), c.code == kDiphoneReady) << c.missing;
  }
}

TEST_F(DiphoneVoiceTest, OpensFromTheConfiguredDirectoriesAndCloses) {
  WriteVoice({{"$A", 10, 10}});
  WriteFile(dir_ / "Orbela.ini",
            "[TRADUTOR]\nDIRLETRAS=" + letters() + "\nDIRDIFONES=" + diphones() + "\n");
  Config config(ConfigLocations{dir_.path(), dir_ / "nada", dir_.path()});
  ASSERT_EQ(voice_.DiphoneOpen(config), kDiphoneReady);
  voice_.SetSynthParams(0, 0, 0);
  Speak("a");
  EXPECT_EQ(sink_.Samples(), std::vector<uint8_t>(10, 10));

  voice_.DiphoneClose();
  EXPECT_FALSE(voice_.is_open());
  Speak("a");
  EXPECT_TRUE(sink_.images.empty());
}

}  // namespace
}  // namespace morventa
