// Text to phonetic transcription for the console's diphone voice.
//
// TranscribeText turns a run of Portuguese words (Windows-1252) into the
// phonetic string DiphoneVoice::DiphoneSpeak plays:
//
//   - for each word "[" + the outputs of its letter positions separated by
//     "/" + "]"; a letter no rule matches gives " /_" + the letter upper-cased
//     (the blank ends the syllable token, "_" + letter plays the letter's own
//     sound file);
//   - a word with no vowel (consonants and punctuation only), an empty word
//     or one starting with the NUL character is spelled: "[ /_" + character
//     + "]" for each character.
//
// Before that the text is prepared: w/W becomes u and y/Y becomes i next to a
// letter; an apostrophe right after d/D is dropped; accented letters become
// the base letter followed by a mark (á -> a', ã -> a~, ê -> e^, ü -> u",
// ç -> ss, ñ -> nh); control codes and codes from 128 up that the character
// map does not know become " \0 ", so the NUL is spelled and plays "_0.wav".
// Words are lower-cased (A-Z), looked up in the exception table, and, when
// they carry no accent mark, get their stressed vowel upper-cased by the
// Portuguese stress rule; a rule whose Output contains a vowel then has the
// first vowel of its Output upper-cased where the word's letter is stressed.
// A word is cut to 256 characters.
//
// The rules and exceptions are those of letter_rules.h in the diphone
// variant; see there for the file formats.
#pragma once

#include <string>
#include <string_view>

#include "speech/letter_rules.h"

namespace morventa {

constexpr size_t kTranscriptionWordLimit = 256;

class Transcriber {
 public:
  Transcriber()
      : rules_(RuleVariant::kDiphone), exceptions_(RuleVariant::kDiphone) {}

  // Linux paths; false when the file cannot be opened.
  bool LoadRules(const std::string& path) { return rules_.LoadRules(path); }
  bool LoadExceptions(const std::string& path) { return exceptions_.LoadExceptions(path); }
  void FreeRules() {
    rules_.FreeRules();
    exceptions_.Clear();
  }

  std::string TranscribeText(std::string_view text) const;

  const RuleSet& rules() const { return rules_; }
  const ExceptionTable& exceptions() const { return exceptions_; }

 private:
  RuleSet rules_;
  ExceptionTable exceptions_;
};

}  // namespace morventa
