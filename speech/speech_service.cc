#include "speech/speech_service.h"

#include "console/config.h"
#include "console/console_window.h"
#include "interpreter/text_rules.h"

namespace morventa {
namespace {

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

SpeechService::SpeechService(const Config& config, ConsoleWindow& console,
                             Transcript transcript)
    : config_(config), console_(console), transcript_(std::move(transcript)) {}

void SpeechService::StartSpeech(int speed, std::string_view sounds_dir) {
  speed_level_ = (speed >= 1 && speed <= 5) ? speed : config_.SpeedLevel();
  sounds_dir_ = WithSlash(std::string(sounds_dir));
  letters_dir_ = WithSlash(config_.LettersDir());
}

void SpeechService::ShutdownSpeech() { StopSpeech(); }

void SpeechService::SpeakText(std::string_view ansi_text) {
  if (TrimView(ansi_text).empty()) return;
  transcript_.Record("fala", ansi_text);
}

void SpeechService::SpellText(std::string_view ansi_text) {
  transcript_.Record("soletra", ansi_text);
}

void SpeechService::SpeakChar(unsigned char c) {
  transcript_.Record("letra", DecimalText(c));
}

void SpeechService::PlaySound(std::string_view name) { transcript_.Record("som", name); }

void SpeechService::PlayClick() { transcript_.Record("clique"); }

void SpeechService::PlayBeep() { transcript_.Record("bipe"); }

bool SpeechService::IsSpeaking() {
  if (console_.KeyPending()) StopSpeech();
  return false;
}

void SpeechService::StopSpeech() {}

}  // namespace morventa
