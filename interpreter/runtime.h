// The whole running system: configuration, console, speech and the
// interpreter's state, owned by one object so that a test can build a fresh one.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console/config.h"
#include "platform/audio/audio_output.h"
#include "console/console_window.h"
#include "interpreter/interpreter_state.h"
#include "speech/speech_service.h"

namespace morventa {

struct RuntimeOptions {
  ConfigLocations locations;
  FrontEndFactory front_end;
  Transcript transcript;
  // The sound output; the one MORVENTA_AUDIO names when left empty.
  std::unique_ptr<AudioOutput> audio;
  std::vector<std::string> params;  // Windows-1252, as the script sees them
};

class Runtime {
 public:
  explicit Runtime(RuntimeOptions options);

  Config config;
  ConsoleWindow console;
  SpeechService speech;
  InterpreterState interp;
  std::vector<std::string> params;
  // Status of the last file, network or window operation, read by CHECA.
  int operation_status = 0;

  // Shown and spoken writes: every message of the system goes through these.
  void WriteSpoken(std::string_view ansi_text);
  void WriteLineSpoken(std::string_view ansi_text);
  void WriteNumberSpoken(int64_t n);
};

}  // namespace morventa
