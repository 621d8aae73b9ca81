// The voice-data builder: records the console's own voice data from
// espeak-ng at build time.
//
//   build_voice_data DATA_DIR OUT_DIR
//
// reads DATA_DIR/units.txt, letras.txt, regras.rgr and portug.exc and makes
//   OUT_DIR/difones/DIFONES2.IND, DIFONES2.DIF  the unit database
//   OUT_DIR/difones/regras.rgr, portug.exc      copies, where the voice loads them
//   OUT_DIR/letras/NAME.wav                     every sound of letras.txt
//   OUT_DIR/letras/rapido/NAME.wav              the same, spoken faster
//   OUT_DIR/letras/dtmf_C.wav                   the touch tones
// All sound is 11025 Hz, 8-bit unsigned, mono, with the 44-byte header.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/espeak_recorder.h"
#include "tools/sound_shaping.h"
#include "tools/unit_database.h"
#include "tools/voice_inventory.h"

namespace morventa {
namespace {

namespace fs = std::filesystem;

// espeak-ng peaks at about three quarters of full scale; lift it so that the
// 8-bit samples use their range.
constexpr double kGain = 1.25;
// Below this magnitude (of 32767) a recording's edge counts as silence.
constexpr int kSilenceThreshold = 300;

// Units are spoken nearly monotone: they are joined with no pitch contour of
// their own, and a falling contour on every syllable sounds like a list.
constexpr SpeakingStyle kUnitStyle{.words_per_minute = 240, .pitch = 45, .range = 8};
constexpr SpeakingStyle kWordStyle{.words_per_minute = 175, .pitch = 45, .range = 50};
constexpr SpeakingStyle kCapitalStyle{.words_per_minute = 175, .pitch = 75, .range = 50};
// rapido/: for the speeds that cut speech short; played unshortened.
constexpr int kFastWordsPerMinute = 270;

constexpr int Ms(int ms) { return kVoiceRate * ms / 1000; }

struct TouchToneSpec {
  const char* name;
  double low_hz, high_hz;
};
// "*" is stored under "X": the file name stays portable.
constexpr TouchToneSpec kTouchTones[] = {
    {"dtmf_1", 697, 1209}, {"dtmf_2", 697, 1336}, {"dtmf_3", 697, 1477},
    {"dtmf_4", 770, 1209}, {"dtmf_5", 770, 1336}, {"dtmf_6", 770, 1477},
    {"dtmf_7", 852, 1209}, {"dtmf_8", 852, 1336}, {"dtmf_9", 852, 1477},
    {"dtmf_X", 941, 1209}, {"dtmf_0", 941, 1336}, {"dtmf_#", 941, 1477},
};

// Records one text and shapes it: trimmed, at 11025 Hz, 8-bit, with soft
// edges. keep_before/keep_after are in output samples.
bool Shape(EspeakRecorder& recorder, const std::string& text, const SpeakingStyle& style,
           int keep_before, int keep_after, std::vector<uint8_t>* out, std::string* err) {
  const std::vector<int16_t> raw = recorder.Record(text, style);
  const int rate = recorder.sample_rate();
  const std::vector<int16_t> trimmed =
      TrimSilence(raw, kSilenceThreshold, static_cast<size_t>(keep_before) * rate / kVoiceRate,
                  static_cast<size_t>(keep_after) * rate / kVoiceRate);
  if (trimmed.empty()) {
    *err = "espeak-ng produced no sound for: " + text;
    return false;
  }
  *out = ToUnsigned8(Resample(trimmed, rate, kVoiceRate), kGain);
  FadeEdges(*out, static_cast<size_t>(Ms(2)));
  return true;
}

bool BuildUnits(EspeakRecorder& recorder, const fs::path& data_dir, const fs::path& out_dir,
                std::string* err) {
  std::vector<UnitSpec> inventory;
  if (!ReadUnitInventory((data_dir / "units.txt").string(), &inventory, err)) return false;
  std::vector<UnitRecording> units;
  units.reserve(inventory.size());
  for (const UnitSpec& spec : inventory) {
    UnitRecording unit{spec.name, {}};
    // A stop's closure is silence: keep a little of it, so that a unit
    // starting with p, t or k does not burst straight out of the vowel
    // before it.
    if (!Shape(recorder, "[[" + spec.phonemes + "]]", kUnitStyle, Ms(12), Ms(4), &unit.samples,
               err)) {
      return false;
    }
    units.push_back(std::move(unit));
  }
  return WriteUnitDatabase(std::move(units), (out_dir / "DIFONES2.IND").string(),
                           (out_dir / "DIFONES2.DIF").string(), err);
}

bool WriteWave(const fs::path& path, const std::vector<uint8_t>& samples, std::string* err) {
  return WriteBytes(path.string(), WaveImage(samples), err);
}

bool BuildLetters(EspeakRecorder& recorder, const fs::path& data_dir, const fs::path& out_dir,
                  std::string* err) {
  std::vector<SoundSpec> sounds;
  if (!ReadSoundList((data_dir / "letras.txt").string(), &sounds, err)) return false;
  fs::create_directories(out_dir / "rapido");
  for (const SoundSpec& sound : sounds) {
    SpeakingStyle style = sound.high_pitch ? kCapitalStyle : kWordStyle;
    std::vector<uint8_t> samples;
    // Word files are joined end to end into numbers and dates: a short tail
    // keeps the words apart.
    if (!Shape(recorder, sound.text, style, Ms(5), Ms(25), &samples, err) ||
        !WriteWave(out_dir / (sound.name + ".wav"), samples, err)) {
      return false;
    }
    style.words_per_minute = kFastWordsPerMinute;
    if (!Shape(recorder, sound.text, style, Ms(3), Ms(10), &samples, err) ||
        !WriteWave(out_dir / "rapido" / (sound.name + ".wav"), samples, err)) {
      return false;
    }
  }
  for (const TouchToneSpec& tone : kTouchTones) {
    if (!WriteWave(out_dir / (std::string(tone.name) + ".wav"),
                   TouchTone(tone.low_hz, tone.high_hz, 0.15), err)) {
      return false;
    }
  }
  return true;
}

bool CopyRules(const fs::path& data_dir, const fs::path& out_dir, std::string* err) {
  for (const char* name : {"regras.rgr", "portug.exc"}) {
    std::error_code ec;
    fs::copy_file(data_dir / name, out_dir / name, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      *err = (data_dir / name).string() + ": " + ec.message();
      return false;
    }
  }
  return true;
}

int Run(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_DIR OUT_DIR\n", argv[0]);
    return 2;
  }
  const fs::path data_dir = argv[1];
  const fs::path out_dir = argv[2];
  std::string err;
  std::error_code ec;
  fs::create_directories(out_dir / "difones", ec);
  fs::create_directories(out_dir / "letras", ec);
  std::unique_ptr<EspeakRecorder> recorder = EspeakRecorder::Open(&err);
  const bool ok = recorder != nullptr &&
                  CopyRules(data_dir, out_dir / "difones", &err) &&
                  BuildUnits(*recorder, data_dir, out_dir / "difones", &err) &&
                  BuildLetters(*recorder, data_dir, out_dir / "letras", &err);
  if (!ok) {
    std::fprintf(stderr, "build_voice_data: %s\n", err.c_str());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace morventa

int main(int argc, char** argv) { return morventa::Run(argc, argv); }
