// The console's own voice: concatenation of recorded speech units.
//
// DiphoneSpeak takes the phonetic string of TranscribeText
// (speech/diphone/transcription.h), cuts it into tokens and tokens into
// units, looks each unit up and collects the samples into one 64000-byte WAV
// image (11025 Hz, 8-bit unsigned, mono) that it plays through a DiphoneSink
// whenever it fills up and at the end.
//
// The phonetic string (what the rule outputs of regras.rgr build up):
//   "[" starts a word (the next stressed vowel is its stress), "]" ends it;
//   a blank or "]" ends a token (a syllable); "/" is dropped, except that it
//   ends a token already 9 characters long; a gap of silence (INTERPAL)
//   follows every "]" and every "/" that ended a token, except at the end;
//   "_" + c is the letter c from its sound file "_" + code of c + ".wav";
//   "|" is "_TRACO", which plays as "_84" (the letter T);
//   upper-case A E I O U is the stressed vowel: the unit holding it plays
//   whole, every other unit of more than one letter loses Cut samples from
//   its end (keeping at least Floor);
//   "^" after a vowel closes it, "~" nasalises it.
// A token is cut into units: a leading consonant pair (but dj, nh, rr, ks,
// tch) gives its first consonant alone; a final consonant or "rr" is a unit
// of its own; vowel + w/y ends in a diphthong unit; what remains is one unit
// named "$" + its letters ("kaza" asks for $KAZA).
//
// Files it reads (directories from Config::DiphonesDir() and
// Config::LettersDir(); both must exist):
//
//   DIFONES2.IND  the unit index: 15-byte records, no header, the record
//                 count is the file size / 15 (a trailing partial record is
//                 ignored). Records are sorted ascending by name in byte
//                 order, a name that is a prefix of another first (plain
//                 std::string order); the lookup is a bisection and misses
//                 names of an unsorted index.
//                   offset 0  1 byte   name length, 0..8
//                   offset 1  8 bytes  name, upper case; bytes past the
//                                      length are ignored
//                   offset 9  2 bytes  sample count, unsigned little-endian
//                   offset 11 4 bytes  byte offset of the samples in
//                                      DIFONES2.DIF, signed little-endian
//   DIFONES2.DIF  raw 8-bit unsigned mono samples at 11025 Hz, one stretch
//                 per unit (a stretch cut short by the end of the file plays
//                 what is there).
//   regras.rgr, portug.exc   the transcription rules and exceptions
//                 (speech/letter_rules.h, diphone variant), in DiphonesDir.
//   LettersDir/_NNN.wav      units named "_" + a character's decimal code:
//                 RIFF/WAVE files; the bytes of the first "data" chunk are
//                 appended as they are, so they should be 11025 Hz 8-bit mono.
//
// Unit names the synthesizer asks for (what the database must provide):
//   "$" + the letters of a syllable token, upper case ("$KA", "$RISTO");
//   "$" + vowel(s) + "CIRC" for a closed vowel ("$ECIRC", "$PACIRC");
//   "$" + ... + "TIL" for a nasal; when missing, the closed (or, for i and u,
//   plain) unit followed by "$NN"; "$" + one letter for single sounds.
// A missing name ending in a vowel falls back to the name without that vowel
// (at 0.9 of the length) followed by "$" + the vowel; a missing name of at
// most two characters ("$B") becomes 300 samples of noise.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "speech/diphone/transcription.h"
#include "speech/wave_image.h"

namespace morventa {

class Config;

// Where the voice's sound goes; the speech service plays it with the wave
// player, tests record it.
class DiphoneSink {
 public:
  virtual ~DiphoneSink() = default;
  // Plays one WAV image (44-byte header, then samples) and returns when it
  // has been played or a key stopped it.
  virtual void PlayImageAndWait(std::span<const uint8_t> image) = 0;
  // True while anything still sounds (a pending key stops it all: false).
  virtual bool IsSpeaking() = 0;
  // Blocks until something may have changed (a block played, a key).
  virtual void WaitForEvent() = 0;
};

// DiphoneOpen results, the failure codes StartSpeech reports.
constexpr int kDiphoneReady = 0;
constexpr int kDiphoneNoDatabase = 1;  // a directory or DIFONES2 file missing
constexpr int kDiphoneNoRules = 2;     // regras.rgr or portug.exc unreadable

constexpr size_t kDiphoneImageSize = 64000;

// One unit the synthesizer asked for, reported to the observer as soon as
// its direct look-up is done (so a fallback's parts follow their parent).
struct UnitRequest {
  std::string name;   // as asked, before upper-casing ("$kaza", "_98")
  int level = 0;      // StressLevel: 2 stressed, below 2 shortened
  double scale = 1.0;
  bool found = false; // in the index, or the sound file held a data chunk
  int depth = 0;      // 0 for a unit of a token, 1 and more for fallbacks
};
using UnitObserver = std::function<void(const UnitRequest&)>;

// What became of the units asked for by tokens (depth 0), for coverage.
struct UnitLookupCounts {
  uint64_t direct = 0;    // found as asked
  uint64_t fallback = 0;  // not found; its fallbacks played something, no noise
  uint64_t noise = 0;     // ended (at least partly) in noise
  uint64_t silent = 0;    // nothing at all was played for it
};

class DiphoneVoice {
 public:
  explicit DiphoneVoice(DiphoneSink& sink);
  ~DiphoneVoice();
  DiphoneVoice(const DiphoneVoice&) = delete;
  DiphoneVoice& operator=(const DiphoneVoice&) = delete;

  // Reads the directories from the configuration; returns kDiphoneReady,
  // kDiphoneNoDatabase or kDiphoneNoRules.
  int DiphoneOpen(const Config& config);
  // The same with the directories given (Windows-1252 paths, as the
  // configuration holds them).
  int OpenFrom(std::string_view letters_dir, std::string_view diphones_dir);
  void DiphoneClose();
  bool is_open() const { return !image_.empty(); }

  // cut, floor and word gap in samples (SINTETIZADOR CORTEFON, SOBRAFON,
  // INTERPAL of the speed in force).
  void SetSynthParams(int cut, int floor, int word_gap);

  // Plays a phonetic string; returns when it has been played or stopped.
  // With spell_punctuation clear the tokens "_," "_." "_:" "_;" are pauses.
  void DiphoneSpeak(std::string_view phonetic, bool spell_punctuation);

  const Transcriber& transcriber() const { return transcriber_; }
  std::string TranscribeText(std::string_view text) const {
    return transcriber_.TranscribeText(text);
  }

  // Coverage: whether the index holds a unit (name upper-cased as looked up),
  // and what became of the units asked for so far.
  bool HasUnit(std::string_view name) const;
  size_t unit_count() const { return index_.size(); }
  const UnitLookupCounts& counts() const { return counts_; }
  void ResetCounts() { counts_ = {}; }
  void SetUnitObserver(UnitObserver observer) { observer_ = std::move(observer); }

 private:
  struct UnitRecord {
    std::string name;
    uint16_t count;
    int32_t offset;
  };
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  // What happened while one token unit and its fallbacks played.
  struct UnitTrace {
    bool found_any = false;
    bool noise = false;
  };

  std::string ReadToken(std::string_view s, size_t& pos, bool spell_punctuation);
  void SplitWord(const std::string& w, double scale);
  void PlayMarkedUnit(const std::string& u, double scale);
  void PlayTokenUnit(const std::string& name, double scale);
  // True when the unit itself was found (its fallbacks do not count).
  bool PlayUnit(std::string name, int level, double scale, int depth, UnitTrace& trace);
  const UnitRecord* FindUnit(std::string_view upper_name) const;
  bool AppendUnit(const std::string& name, int level, double scale);
  bool PlayUnitFile(const std::string& name);
  void AppendNoise();
  void AppendSilence(int samples);
  void EnsureRoom(size_t k);
  void FlushOutput();

  DiphoneSink& sink_;
  Transcriber transcriber_;
  std::vector<UnitRecord> index_;
  std::unique_ptr<std::FILE, FileCloser> unit_data_;
  std::string letters_dir_;  // Linux path with a trailing "/"
  std::vector<uint8_t> image_;
  size_t fill_ = kWaveHeaderSize;
  int stress_level_ = 1;

  int cut_ = 400;
  int floor_ = 0;
  int word_gap_ = 100;

  std::minstd_rand noise_;
  UnitLookupCounts counts_;
  UnitObserver observer_;
};

}  // namespace morventa
