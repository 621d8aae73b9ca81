#include "speech/diphone/diphone_voice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "console/config.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr size_t kRecordSize = 15;
constexpr size_t kMaxUnitName = 8;
constexpr size_t kMaxTokenLength = 40;
constexpr size_t kMaxPlayName = 12;
// A "/" ends a token this long: the rules write syllables without blanks
// and a word would otherwise become one unit nobody recorded.
constexpr size_t kLongToken = 9;
constexpr int kNoiseSamples = 300;
// The largest piece one image can take after a flush (EnsureRoom flushes at
// Fill + k >= size, so a full image is one byte short).
constexpr size_t kMaxPiece = kDiphoneImageSize - kWaveHeaderSize - 1;

bool IsSynthVowel(char c) { return std::string_view("AEIOUaeiouwy").find(c) != std::string_view::npos; }
bool IsSynthConsonant(char c) {
  return std::string_view("bcdfgjklmnpqrstvxz").find(c) != std::string_view::npos;
}
bool IsGlide(char c) { return c == 'w' || c == 'y'; }
bool IsMark(char c) { return c == '^' || c == '~'; }
bool IsStressedVowel(char c) { return std::string_view("AEIOU").find(c) != std::string_view::npos; }

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(SimpleUpper(static_cast<unsigned char>(c)));
  return out;
}

uint32_t GetLe(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

int PauseSamples(char c) {
  switch (c) {
    case ',': return 4000;
    case '.': return 8000;
    case ':': return 8000;
    case ';': return 6000;
    default: return -1;
  }
}

}  // namespace

DiphoneVoice::DiphoneVoice(DiphoneSink& sink) : sink_(sink) {}

DiphoneVoice::~DiphoneVoice() = default;

int DiphoneVoice::DiphoneOpen(const Config& config) {
  return OpenFrom(config.LettersDir(), config.DiphonesDir());
}

int DiphoneVoice::OpenFrom(std::string_view letters_dir, std::string_view diphones_dir) {
  DiphoneClose();
  const std::string letters = WithSlash(AnsiToUtf8(letters_dir));
  const std::string diphones = WithSlash(AnsiToUtf8(diphones_dir));
  if (!IsDirectory(letters) || !IsDirectory(diphones)) return kDiphoneNoDatabase;

  std::ifstream ind(diphones + "DIFONES2.IND", std::ios::binary);
  if (!ind) return kDiphoneNoDatabase;
  const std::vector<uint8_t> raw((std::istreambuf_iterator<char>(ind)), std::istreambuf_iterator<char>());
  std::unique_ptr<std::FILE, FileCloser> data(std::fopen((diphones + "DIFONES2.DIF").c_str(), "rb"));
  if (!data) return kDiphoneNoDatabase;

  std::vector<UnitRecord> index;
  index.reserve(raw.size() / kRecordSize);
  for (size_t at = 0; at + kRecordSize <= raw.size(); at += kRecordSize) {
    const uint8_t* r = raw.data() + at;
    const size_t length = std::min<size_t>(r[0], kMaxUnitName);
    index.push_back(UnitRecord{std::string(reinterpret_cast<const char*>(r + 1), length),
                               static_cast<uint16_t>(GetLe(r + 9, 2)),
                               static_cast<int32_t>(GetLe(r + 11, 4))});
  }

  if (!transcriber_.LoadRules(diphones + "regras.rgr") ||
      !transcriber_.LoadExceptions(diphones + "portug.exc")) {
    transcriber_.FreeRules();
    return kDiphoneNoRules;
  }

  index_ = std::move(index);
  unit_data_ = std::move(data);
  letters_dir_ = letters;
  image_.assign(kDiphoneImageSize, kSilence);
  fill_ = kWaveHeaderSize;
  return kDiphoneReady;
}

void DiphoneVoice::DiphoneClose() {
  image_.clear();
  image_.shrink_to_fit();
  transcriber_.FreeRules();
  unit_data_.reset();
  index_.clear();
  index_.shrink_to_fit();
}

void DiphoneVoice::SetSynthParams(int cut, int floor, int word_gap) {
  cut_ = cut;
  floor_ = floor;
  word_gap_ = word_gap;
}

bool DiphoneVoice::HasUnit(std::string_view name) const {
  return FindUnit(AsciiUpper(name)) != nullptr;
}

// ---------------------------------------------------------------- speaking

void DiphoneVoice::DiphoneSpeak(std::string_view s, bool spell_punctuation) {
  if (!is_open()) return;
  fill_ = kWaveHeaderSize;
  stress_level_ = 1;
  size_t pos = 0;
  while (pos < s.size()) {
    const std::string token = ReadToken(s, pos, spell_punctuation);
    SplitWord(token, 1.0);
    // A gap after every word ("]") and every long token cut at "/"; none
    // after a syllable ended by a blank, none after the last token.
    if (pos < s.size() && pos >= 1 && s[pos - 1] != ' ') AppendSilence(word_gap_);
  }
  FlushOutput();
}

std::string DiphoneVoice::ReadToken(std::string_view s, size_t& pos, bool spell_punctuation) {
  if (pos < s.size() && s[pos] == '[') {
    stress_level_ = 1;
    ++pos;
  }
  std::string token;
  auto add = [&token](char c) {
    if (token.size() < kMaxTokenLength) token += c;
  };
  while (pos < s.size()) {
    const char c = s[pos++];
    if (c == ' ' || c == ']') break;
    if (c == '/') {
      if (token.size() >= kLongToken) break;
    } else if (c == '_') {
      add('_');
      if (pos < s.size()) add(s[pos++]);  // the letter itself, whatever it is
    } else if (c == '|') {
      for (const char t : std::string_view("_TRACO")) add(t);
    } else {
      add(c);
    }
  }
  if (!spell_punctuation && token.size() == 2 && token[0] == '_') {
    if (const int pause = PauseSamples(token[1]); pause > 0) {
      token.clear();
      AppendSilence(pause);
    }
  }
  return token;
}

void DiphoneVoice::SplitWord(const std::string& w, double scale) {
  const size_t n = w.size();
  if (n == 0) return;
  if (n == 1) {
    PlayMarkedUnit(w, scale);
    return;
  }
  if (n > 2) {
    // A consonant cluster: its first consonant sounds alone (c-risto), but
    // dj, nh, rr, ks and tch are recorded as one sound.
    const std::string_view pair = std::string_view(w).substr(0, 2);
    if (IsSynthConsonant(w[0]) && IsSynthConsonant(w[1]) && pair != "dj" && pair != "nh" &&
        pair != "rr" && pair != "ks" && w.compare(0, 3, "tch") != 0) {
      PlayMarkedUnit(w.substr(0, 1), 1.0);
      SplitWord(w.substr(1), scale);
      return;
    }
    if (EndsWith(w, "rr")) {
      SplitWord(w.substr(0, n - 2), scale);
      PlayMarkedUnit("rr", scale);
      return;
    }
    if (IsSynthConsonant(w[n - 1])) {
      SplitWord(w.substr(0, n - 1), scale);
      SplitWord(w.substr(n - 1), scale);
      return;
    }
  }
  if (IsGlide(w[n - 1])) {
    const char before = w[n - 2];
    if (IsSynthVowel(before) && n > 2) {
      SplitWord(w.substr(0, n - 1), 0.6);
      PlayMarkedUnit(w.substr(n - 2), scale);
      return;
    }
    if (IsMark(before) && n >= 3) {
      // A diphthong with a mark (pa~w): the syllable up to the vowel, then
      // vowel, glide and mark as one unit (a w ~ -> $awTIL).
      if (n > 3) {
        if (before == '~') {
          SplitWord(w.substr(0, n - 2) + "^", 0.6);
        } else {
          SplitWord(w.substr(0, n - 1), 0.6);
        }
      }
      PlayMarkedUnit(std::string{w[n - 3], w[n - 1], w[n - 2]}, scale);
      return;
    }
  }
  if (w != "_s" && w[n - 1] == 's') {
    SplitWord(w.substr(0, n - 1), 0.7);
    PlayMarkedUnit("s", scale);
    return;
  }
  PlayMarkedUnit(w, scale);
}

void DiphoneVoice::PlayMarkedUnit(const std::string& u, double scale) {
  if (u.empty()) return;
  if (u[0] == '_') {
    // A letter played from its own sound file: "_b" is "_98".
    if (u.size() < 2) return;
    PlayTokenUnit("_" + std::to_string(static_cast<unsigned char>(u[1])), scale);
    return;
  }
  std::string name = "$";
  bool stressed = false;
  for (const char c : u) {
    if (IsStressedVowel(c)) {
      stress_level_ = 2;
      stressed = true;
      name += c;
    } else if (c == '^') {
      PlayTokenUnit(name + "CIRC", scale);
      name = "$";
    } else if (c == '~') {
      PlayTokenUnit(name + "TIL", scale);
      name = "$";
    } else {
      name += c;
    }
  }
  if (name != "$") PlayTokenUnit(name, scale);
  if (stressed) stress_level_ = 0;  // the rest of the word is post-stress
}

void DiphoneVoice::PlayTokenUnit(const std::string& name, double scale) {
  UnitTrace trace;
  if (PlayUnit(name, stress_level_, scale, 0, trace)) {
    ++counts_.direct;
  } else if (trace.noise) {
    ++counts_.noise;
  } else if (trace.found_any) {
    ++counts_.fallback;
  } else {
    ++counts_.silent;
  }
}

bool DiphoneVoice::PlayUnit(std::string name, int level, double scale, int depth,
                            UnitTrace& trace) {
  if (name.size() > kMaxPlayName) name.resize(kMaxPlayName);
  const bool found = name[0] == '_' ? PlayUnitFile(name) : AppendUnit(name, level, scale);
  if (observer_) observer_(UnitRequest{name, level, scale, found, depth});
  if (found) {
    trace.found_any = true;
    return true;
  }
  const size_t n = name.size();
  if (n <= 2) {
    AppendNoise();
    trace.noise = true;
    return false;
  }
  const char last = name[n - 1];
  if (IsSynthVowel(last)) {
    PlayUnit(name.substr(0, n - 1), level, scale * 0.9, depth + 1, trace);
    PlayUnit(std::string("$") + last, level, scale, depth + 1, trace);
  } else if (EndsWith(name, "CIRC") && n > 6) {
    PlayUnit(name.substr(0, n - 5), level, scale * 0.9, depth + 1, trace);
    PlayUnit("$" + name.substr(n - 5), level, scale, depth + 1, trace);
  } else if (EndsWith(name, "TIL")) {
    // A nasal vowel: the plain (i, u) or closed vowel, then the nasal unit.
    const std::string base = name.substr(0, n - 3);
    const unsigned char v = SimpleUpper(static_cast<unsigned char>(base.back()));
    if (v == 'I' || v == 'U') {
      PlayUnit(base, level, scale * 0.9, depth + 1, trace);
    } else {
      PlayUnit(base + "CIRC", 2, scale * 0.9, depth + 1, trace);
    }
    PlayUnit("$nn", 1, 0.9, depth + 1, trace);
  }
  return false;
}

// ---------------------------------------------------------------- units

const DiphoneVoice::UnitRecord* DiphoneVoice::FindUnit(std::string_view upper_name) const {
  auto it = std::lower_bound(index_.begin(), index_.end(), upper_name,
                             [](const UnitRecord& r, std::string_view n) { return r.name < n; });
  if (it == index_.end() || it->name != upper_name) return nullptr;
  return &*it;
}

bool DiphoneVoice::AppendUnit(const std::string& name, int level, double scale) {
  const std::string upper = AsciiUpper(name);
  const UnitRecord* unit = FindUnit(upper);
  if (!unit) return false;

  long length = unit->count;
  if (level < 2 && upper.size() > 2) {
    // Unstressed: drop the tail, but keep at least Floor samples.
    length = unit->count - cut_;
    if (length < floor_) length = std::min<long>(unit->count, floor_);
  }
  long wanted = static_cast<long>(std::nearbyint(scale * static_cast<double>(length)));
  wanted = std::clamp<long>(wanted, 0, unit->count);
  if (wanted == 0 || unit->offset < 0) return true;

  std::FILE* f = unit_data_.get();
  if (std::fseek(f, unit->offset, SEEK_SET) != 0) return true;
  auto remaining = static_cast<size_t>(wanted);
  while (remaining > 0) {
    const size_t piece = std::min(remaining, kMaxPiece);
    EnsureRoom(piece);
    const size_t got = std::fread(image_.data() + fill_, 1, piece, f);
    fill_ += got;
    if (got < piece) break;  // the data file ends early: play what is there
    remaining -= piece;
  }
  return true;
}

bool DiphoneVoice::PlayUnitFile(const std::string& name) {
  const std::string path = letters_dir_ + AnsiToUtf8(name) + ".wav";
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  std::FILE* f = file.get();
  uint8_t riff[12];
  if (std::fread(riff, 1, 12, f) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0)
    return false;
  uint8_t chunk[8];
  while (std::fread(chunk, 1, 8, f) == 8) {
    const uint32_t size = GetLe(chunk + 4, 4);
    if (std::memcmp(chunk, "data", 4) != 0) {
      // "fmt " and anything else: skip it, with the pad byte of odd sizes.
      if (std::fseek(f, static_cast<long>(size) + (size & 1), SEEK_CUR) != 0) return false;
      continue;
    }
    // Read in pieces: a file longer than the image is played image by image.
    size_t remaining = size;
    while (remaining > 0) {
      const size_t piece = std::min<size_t>(remaining, kMaxPiece);
      EnsureRoom(piece);
      const size_t got = std::fread(image_.data() + fill_, 1, piece, f);
      fill_ += got;
      if (got < piece) break;
      remaining -= piece;
    }
    return true;
  }
  return false;
}

void DiphoneVoice::AppendNoise() {
  EnsureRoom(kNoiseSamples);
  for (int i = 0; i < kNoiseSamples; ++i) image_[fill_++] = static_cast<uint8_t>(128 + noise_() % 80);
}

void DiphoneVoice::AppendSilence(int samples) {
  for (int i = 0; i < samples / 100; ++i) {
    EnsureRoom(100);
    std::memset(image_.data() + fill_, kSilence, 100);
    fill_ += 100;
  }
}

void DiphoneVoice::EnsureRoom(size_t k) {
  if (fill_ + k < kDiphoneImageSize) return;
  FlushOutput();
  while (sink_.IsSpeaking()) sink_.WaitForEvent();
}

void DiphoneVoice::FlushOutput() {
  if (fill_ <= kWaveHeaderSize) return;
  BuildWaveHeader(image_.data(), static_cast<uint32_t>(fill_ - kWaveHeaderSize));
  sink_.PlayImageAndWait(std::span<const uint8_t>(image_.data(), fill_));
  fill_ = kWaveHeaderSize;
}

}  // namespace morventa
