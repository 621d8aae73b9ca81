#include "speech/speech_service.h"

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "console/config.h"
#include "console/console_window.h"
#include "interpreter/text_rules.h"
#include "platform/audio/audio_output.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

bool FileExists(const std::string& ansi_path) {
  return access(AnsiToUtf8(ansi_path).c_str(), R_OK) == 0;
}

// Letters and the bytes above 127 make words; the space joins them into runs.
bool IsWordChar(unsigned char c) {
  return c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}
bool IsLetter(unsigned char c) { return c != ' ' && IsWordChar(c); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Keys of [SINTETIZADOR] whose value is yes unless it starts with N.
bool PresentAndNotNo(const std::string& value) {
  return !value.empty() && value[0] != 'N' && value[0] != 'n';
}

int NumberOr(const std::string& value, int fallback) {
  const auto n = ToInteger(value);
  return n ? *n : fallback;
}

// Sets a flag for a scope and puts the old value back, also when the console
// closes under us.
class FlagOverride {
 public:
  FlagOverride(WavePlayer& wave, bool (WavePlayer::*get)() const, void (WavePlayer::*set)(bool),
               bool value)
      : wave_(wave), set_(set), old_((wave.*get)()) {
    (wave_.*set_)(value);
  }
  ~FlagOverride() { (wave_.*set_)(old_); }

 private:
  WavePlayer& wave_;
  void (WavePlayer::*set_)(bool);
  bool old_;
};

std::string ReadSysFile(const std::string& path) {
  std::ifstream in(path);
  std::string value;
  std::getline(in, value);
  return Trim(value);
}

}  // namespace

SynthParams ReadSynthParams(const Config& config, int speed_level) {
  const std::string digit = DecimalText(speed_level);
  const auto key = [&](const char* name) {
    return config.ReadSetting("SINTETIZADOR", std::string(name) + digit);
  };
  SynthParams p;
  p.cut = NumberOr(key("CORTEFON"), 0);
  p.floor = NumberOr(key("SOBRAFON"), 0);
  p.word_gap = NumberOr(key("INTERPAL"), 0);
  p.cut_flag = PresentAndNotNo(key("CORTAFALA"));
  p.fast_flag = PresentAndNotNo(key("RAPIDINHO"));
  p.pause_point = NumberOr(key("PAUSAPONTO"), 250);
  p.pause_comma = NumberOr(key("PAUSAVIRG"), 150);
  p.pause_colon = NumberOr(key("PAUSADOISPONTOS"), 200);
  return p;
}

SpeechService::SpeechService(Config& config, ConsoleWindow& console, Transcript transcript,
                             std::unique_ptr<AudioOutput> output)
    : config_(config),
      console_(console),
      transcript_(std::move(transcript)),
      wave_(console, std::move(output)),
      voice_(static_cast<DiphoneSink&>(*this)),
      random_(std::random_device{}()) {}

SpeechService::~SpeechService() = default;

void SpeechService::StartSpeech(int speed, std::string_view sounds_dir) {
  // Low vision first: with the magnifier on, the console opens at once.
  const LowVisionSettings low_vision = config_.ReadLowVision();
  if (low_vision.factor != 0) {
    console_.MagnifierSet(low_vision.factor, {low_vision.letter_colour, low_vision.background_colour,
                                              low_vision.cursor_colour});
  }
  // The legacy flag is itself read with the fallback as it stood before.
  config_.set_legacy_fallback(config_.ReadLegacyFlag());
  speed_level_ = speed <= 0 ? config_.SpeedLevel() : speed;
  if (speed_level_ < 1 || speed_level_ > 5) speed_level_ = 3;
  params_ = ReadSynthParams(config_, speed_level_);
  voice_.SetSynthParams(params_.cut, params_.floor, params_.word_gap);
  wave_.set_cut_flag(params_.cut_flag);
  wave_.set_fast_flag(params_.fast_flag);
  const int code = voice_.DiphoneOpen(config_);
  if (code != kDiphoneReady) {
    console_.ConsoleOutput(Ansi("Erro de inicialização: ") + DecimalText(code) + "\r\n");
    console_.ConsoleOutput("Banco de dados de voz: DIFONES2\r\n");
    voice_.DiphoneClose();
    console_.BasicLineInput();
    throw SpeechStartFailed{code};
  }
  sounds_dir_ = WithSlash(std::string(sounds_dir));
  letters_dir_ = WithSlash(config_.LettersDir());
  // External engines ([TRADUTOR] SAPI) are not available yet: the built-in
  // path speaks, as it does whenever an engine does not open.
}

void SpeechService::ShutdownSpeech() {
  WaitWhileSpeaking();
  StopSpeech();
  voice_.DiphoneClose();
}

void SpeechService::WaitForEvent() { console_.WaitEvents(10); }

void SpeechService::WaitWhileSpeaking() {
  while (IsSpeaking()) WaitForEvent();
}

bool SpeechService::IsSpeaking() {
  if (console_.KeyPending()) {
    StopSpeech();
    return false;
  }
  return wave_.WaveBusy();
}

void SpeechService::WaitUtterance() {
  if (!utterance_pending_) return;
  WaitWhileSpeaking();
  utterance_pending_ = false;
}

void SpeechService::StopSpeech() {
  wave_.WaveReset();
  stop_requested_ = true;
}

void SpeechService::SpeakText(std::string_view ansi_text) {
  if (TrimView(ansi_text).empty()) return;
  transcript_.Record("fala", ansi_text);
  std::string text(ansi_text);
  text += ' ';
  stop_requested_ = false;
  unsigned char previous_other = ' ';
  int repeats = 0;
  size_t i = 0;
  while (!stop_requested_ && i < text.size()) {
    if (console_.KeyPending()) {
      StopSpeech();
      break;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '0') {
      PlaySound("_zero");
      ++i;
      continue;
    }
    if (IsDigit(c)) {
      size_t end = i;
      bool hyphen = false;
      while (end < text.size() && (IsDigit(text[end]) || text[end] == '-')) {
        hyphen |= text[end] == '-';
        ++end;
      }
      const std::string run = text.substr(i, end - i);
      if (hyphen || run.size() >= 7) {
        SpellText(run);
      } else {
        SpeakNumberWords(*ToInteger(run), false);
      }
      i = end;
      continue;
    }
    if (IsWordChar(c)) {
      size_t end = i;
      while (end < text.size() && IsWordChar(static_cast<unsigned char>(text[end]))) ++end;
      const std::string run = text.substr(i, end - i);
      // The run carries the blanks around it; "www" alone is spelled.
      if (UpperText(TrimView(run)) == "WWW") {
        SpellText(TrimView(run));
      } else if (voice_.is_open()) {
        voice_.DiphoneSpeak(voice_.TranscribeText(std::string_view(run).substr(0, 999)), false);
      }
      i = end;
      // A hyphenated word is two words with nothing between them.
      if (i + 1 < text.size() && text[i] == '-' && IsLetter(static_cast<unsigned char>(text[i + 1])))
        ++i;
      continue;
    }
    // Punctuation, symbols and control characters. From the fifth of a kind
    // on, a character is only a click.
    unsigned char spoken = c;
    if (c == previous_other) {
      if (++repeats > 3) {
        PlayClick();
        spoken = ' ';
      }
    } else {
      repeats = 0;
      previous_other = c;
    }
    const std::string_view rest = std::string_view(text).substr(i);
    if (c == '-') {
      const unsigned char next = rest.size() < 3 ? ' ' : static_cast<unsigned char>(rest[1]);
      if (next == ' ' || next == '-') {
        SpeakPunctuation(rest);
      } else if (IsDigit(next)) {
        PlaySound("_MENOS");
      } else {
        SpeakChar('-');
      }
    } else if (rest.compare(0, 3, "://") == 0) {
      SpellText(":");  // in addresses the colon is spelled, without a pause
    } else {
      switch (spoken) {
        case '(': case ')': case ',': case '.': case ':': case ';':
          SpeakPunctuation(rest);
          break;
        case '\t':
          PlaySound("_FON9");
          break;
        case ' ': case '\r': case '\n':
          break;
        default:
          if (!console_.KeyPending()) SpeakChar(spoken);
          break;
      }
    }
    ++i;
  }
}

void SpeechService::SpeakPunctuation(std::string_view text) {
  if (console_.KeyPending()) return;
  WaitWhileSpeaking();
  const unsigned char c = static_cast<unsigned char>(text[0]);
  SpeakChar(c);
  const bool space_follows = text.size() > 1 && text[1] == ' ';
  switch (c) {
    case '(': case ')': case ':': case ';':
      PauseMs(params_.pause_colon);
      break;
    case '.':
      if (space_follows) PauseMs(params_.pause_point);
      break;
    case ',': case '-':
      if (space_follows) PauseMs(params_.pause_comma);
      break;
    default:
      break;
  }
}

void SpeechService::SpellText(std::string_view ansi_text) {
  transcript_.Record("soletra", ansi_text);
  for (unsigned char c : ansi_text) {
    if (console_.KeyPending()) break;
    if (c == '\t') {
      PlaySound("_FON9");
    } else {
      SpeakChar(c);
    }
  }
}

void SpeechService::SpeakChar(unsigned char c) {
  WaitUtterance();
  if ((c >= 1 && c <= 11) || (c >= 13 && c <= 31)) return;
  transcript_.Record("letra", DecimalText(c));
  std::string path = letters_dir_ + "_" + DecimalText(c) + ".wav";
  if (!FileExists(path)) path = letters_dir_ + "_unknown.wav";
  wave_.PlayWaveFile(path);
}

std::string SpeechService::SoundPath(std::string_view name) const {
  const std::string& dir = (!name.empty() && name[0] == '_') ? letters_dir_ : sounds_dir_;
  return dir + std::string(name) + ".wav";
}

void SpeechService::PlaySound(std::string_view name) {
  WaitUtterance();
  transcript_.Record("som", name);
  wave_.PlayWaveFile(SoundPath(name));
}

bool SpeechService::SoundExists(std::string_view name) const { return FileExists(SoundPath(name)); }

void SpeechService::PlayImageAndWait(std::span<const uint8_t> image) {
  WaitUtterance();
  wave_.PlayWaveImage(image);
  WaitWhileSpeaking();
}

void SpeechService::PlayClick() {
  WaitUtterance();
  transcript_.Record("clique");
  uint8_t image[kWaveHeaderSize + 256];
  BuildWaveHeader(image, 256);
  std::uniform_int_distribution<int> noise(128, 187);
  for (int k = 0; k < 64; ++k) image[kWaveHeaderSize + k] = static_cast<uint8_t>(noise(random_));
  for (int k = 64; k < 256; ++k) image[kWaveHeaderSize + k] = kSilence;
  FlagOverride no_cut(wave_, &WavePlayer::cut_flag, &WavePlayer::set_cut_flag, false);
  wave_.PlayWaveImage(image);
  WaitWhileSpeaking();
}

void SpeechService::PlayBeep() {
  WaitUtterance();
  transcript_.Record("bipe");
  // A beep says "no": keys typed ahead are not wanted any more.
  while (console_.KeyPending()) console_.TakeKey();
  static constexpr uint8_t kRamp[8] = {128, 112, 96, 80, 64, 80, 96, 112};
  uint8_t image[kWaveHeaderSize + 512];
  BuildWaveHeader(image, 512);
  for (int k = 0; k < 512; ++k) image[kWaveHeaderSize + k] = kRamp[k % 8];
  image[kWaveHeaderSize + 511] = kSilence;
  wave_.PlayWaveImage(image);
  WaitWhileSpeaking();
}

void SpeechService::PauseMs(int ms) {
  for (int k = 0; k < ms / 50; ++k) {
    if (!console_.KeyPending()) console_.DelayMs(50);
  }
}

uint8_t SpeechService::ReadKeySpoken() {
  const uint8_t key = console_.TakeKey();
  StopSpeech();
  SpeakChar(key);
  return key;
}

void SpeechService::PlayFileAndWait(const std::string& ansi_path) {
  wave_.PlayWaveFile(ansi_path);
  WaitWhileSpeaking();
}

void SpeechService::PlayTouchTones(std::string_view ansi_text) {
  FlagOverride no_fast(wave_, &WavePlayer::fast_flag, &WavePlayer::set_fast_flag, false);
  for (unsigned char c : ansi_text) {
    c = UpperChar(c);
    if (c == '#' || c == '*' || IsDigit(c)) {
      const std::string name = std::string("dtmf_") + static_cast<char>(c == '*' ? 'X' : c);
      transcript_.Record("som", name);
      PlayFileAndWait(letters_dir_ + name + ".wav");
      PauseMs(100);
    } else if (c == ',') {
      PauseMs(1000);
    }
  }
}

void SpeechService::SpeakBattery() {
  bool has_battery = false, has_mains = false, mains_online = false;
  std::string capacity;
  const std::string base = "/sys/class/power_supply/";
  if (DIR* dir = opendir(base.c_str())) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      const std::string supply = base + entry->d_name + "/";
      const std::string type = ReadSysFile(supply + "type");
      if (type == "Battery" && ReadSysFile(supply + "present") != "0") {
        if (!has_battery) capacity = ReadSysFile(supply + "capacity");
        has_battery = true;
      } else if (type == "Mains" || type == "USB") {
        has_mains = true;
        mains_online |= ReadSysFile(supply + "online") == "1";
      }
    }
    closedir(dir);
  }
  if (!has_battery || capacity.empty()) {
    PlaySound("_SEMBAT");
  } else {
    SpeakText(capacity + "%");
  }
  if (has_mains && !mains_online) PlaySound("_SEMENER");
}

void SpeechService::NoteWordFile(std::string_view name) { transcript_.Record("som", name); }

void SpeechService::SpeakNumberWords(int64_t n, bool feminine) {
  morventa::SpeakNumberWords(*this, n, feminine);
}

void SpeechService::SpeakTime(int hours, int minutes) { morventa::SpeakTime(*this, hours, minutes); }

void SpeechService::SpeakDate(int day, int month, int year) {
  morventa::SpeakDate(*this, day, month, year);
}

}  // namespace morventa
