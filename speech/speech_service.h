// The single door through which the console and the interpreter make sound.
// Every event is also written to the transcript when one is open.
#pragma once

#include <string>
#include <string_view>

#include "speech/transcript.h"

namespace morventa {

class Config;
class ConsoleWindow;

class SpeechService {
 public:
  SpeechService(const Config& config, ConsoleWindow& console, Transcript transcript);

  // speed 0 takes the level from the configuration; sounds_dir is the
  // directory of the script's own named sounds.
  void StartSpeech(int speed, std::string_view sounds_dir);
  void ShutdownSpeech();

  void SpeakText(std::string_view ansi_text);
  void SpellText(std::string_view ansi_text);
  void SpeakChar(unsigned char c);
  void PlaySound(std::string_view name);
  void PlayClick();
  void PlayBeep();
  // True while anything is sounding; a pending key stops it all.
  bool IsSpeaking();
  void StopSpeech();

  int speed_level() const { return speed_level_; }
  const std::string& sounds_dir() const { return sounds_dir_; }
  const std::string& letters_dir() const { return letters_dir_; }
  Transcript& transcript() { return transcript_; }

 private:
  const Config& config_;
  ConsoleWindow& console_;
  Transcript transcript_;
  int speed_level_ = 3;
  std::string sounds_dir_;
  std::string letters_dir_;
};

}  // namespace morventa
