// The single door through which the console and the interpreter make sound.
// The built-in path speaks words with the console's own diphone voice,
// numbers from recorded word files and every other character from its
// recorded sound; everything goes out through the wave player. A pending key
// stops it all at once and stays queued for the reader. Every event is also
// written to the transcript when one is open.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>

#include "speech/diphone/diphone_voice.h"
#include "speech/recorded_speech.h"
#include "speech/transcript.h"
#include "speech/wave_player.h"

namespace morventa {

class AudioOutput;
class Config;
class ConsoleWindow;

// What the speed level selects ([SINTETIZADOR] keys with the speed digit).
struct SynthParams {
  int cut = 0;         // CORTEFON: samples cut from unstressed units
  int floor = 0;       // SOBRAFON: shortest length a cut unit keeps
  int word_gap = 0;    // INTERPAL: silence between words, in samples
  bool cut_flag = false;   // CORTAFALA: drop pitch periods, prefer rapido/
  bool fast_flag = false;  // RAPIDINHO: play at 1.5 times the rate
  int pause_point = 250;   // PAUSAPONTO, ms
  int pause_comma = 150;   // PAUSAVIRG, ms
  int pause_colon = 200;   // PAUSADOISPONTOS, ms
};
SynthParams ReadSynthParams(const Config& config, int speed_level);

// The voice could not start: the program ends once the user has read why.
struct SpeechStartFailed {
  int code;
};

class SpeechService : private DiphoneSink, private RecordedSpeechHost {
 public:
  SpeechService(Config& config, ConsoleWindow& console, Transcript transcript,
                std::unique_ptr<AudioOutput> output);
  ~SpeechService() override;

  // speed 0 or less takes the level from the configuration; a level outside
  // 1..5 becomes 3. sounds_dir holds the script's own named sounds. When the
  // voice cannot start, tells the user, waits for Enter and throws
  // SpeechStartFailed.
  void StartSpeech(int speed, std::string_view sounds_dir);
  void ShutdownSpeech();

  void SpeakText(std::string_view ansi_text);
  void SpellText(std::string_view ansi_text);
  void SpeakChar(unsigned char c);
  void PlaySound(std::string_view name) override;
  bool SoundExists(std::string_view name) const;
  void PlayClick();
  void PlayBeep();
  void PlayImageAndWait(std::span<const uint8_t> image) override;
  void PauseMs(int ms);
  // True while anything is sounding; a pending key stops it all (false).
  bool IsSpeaking() override;
  void WaitUtterance();
  void StopSpeech();
  // Takes a key, stops speech and speaks the key.
  uint8_t ReadKeySpoken();
  void PlayTouchTones(std::string_view ansi_text);
  void SpeakBattery();
  void SpeakNumberWords(int64_t n, bool feminine);
  void SpeakTime(int hours, int minutes);
  void SpeakDate(int day, int month, int year);

  int speed_level() const { return speed_level_; }
  const SynthParams& synth_params() const { return params_; }
  const std::string& sounds_dir() const { return sounds_dir_; }
  const std::string& letters_dir() const { return letters_dir_; }
  WavePlayer& wave_player() { return wave_; }
  DiphoneVoice& diphone_voice() { return voice_; }
  Transcript& transcript() { return transcript_; }

 private:
  // DiphoneSink and RecordedSpeechHost.
  void WaitForEvent() override;
  void WaitForEvents() override { WaitForEvent(); }
  void NoteWordFile(std::string_view name) override;
  std::string LettersDir() override { return letters_dir_; }

  void WaitWhileSpeaking();
  void SpeakPunctuation(std::string_view text);
  // The file a sound name stands for: "_x" in the letters directory, any
  // other name in the script's sound directory (Windows-1252 path).
  std::string SoundPath(std::string_view name) const;
  void PlayFileAndWait(const std::string& ansi_path);

  Config& config_;
  ConsoleWindow& console_;
  Transcript transcript_;
  WavePlayer wave_;
  DiphoneVoice voice_;
  int speed_level_ = 3;
  SynthParams params_;
  std::string sounds_dir_;
  std::string letters_dir_;
  bool stop_requested_ = false;
  bool utterance_pending_ = true;
  std::minstd_rand random_;
};

}  // namespace morventa
