#include "interpreter/runtime.h"

#include "interpreter/text_rules.h"

namespace morventa {

Runtime::Runtime(RuntimeOptions options)
    : config(std::move(options.locations)),
      console(config, std::move(options.front_end)),
      speech(config, console, std::move(options.transcript),
             options.audio ? std::move(options.audio) : AudioOutputFromEnvironment()),
      params(std::move(options.params)) {}

void Runtime::WriteSpoken(std::string_view ansi_text) {
  console.ConsoleOutput(ansi_text);
  speech.SpeakText(ansi_text);
}

void Runtime::WriteLineSpoken(std::string_view ansi_text) {
  WriteSpoken(ansi_text);
  console.ConsoleOutput("\r\n");
}

void Runtime::WriteNumberSpoken(int64_t n) { WriteSpoken(DecimalText(n)); }

}  // namespace morventa
