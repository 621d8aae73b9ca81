#include "tests/fuzz/targets.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "console/config.h"
#include "console/console_window.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "interpreter/script_loader.h"
#include "interpreter/script_store.h"
#include "platform/audio/audio_output.h"
#include "platform/terminal/key_decoder.h"
#include "tests/doubles/recording_front_end.h"

namespace morventa::fuzz {
namespace {

// Lines of one input, and the budget that keeps every input short: enough
// lines for loops and calls to go round, and texts that can grow but never
// fill the memory.
constexpr int kMaxScriptLines = 8;
constexpr int64_t kMaxExecutedLines = 2000;
constexpr size_t kMaxTextBytes = 4096;

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "broken invariant: %s\n", what);
  std::abort();
}

// The words a made-up script may run: the language itself, the console and
// speech, text conversions. Everything that touches files, programs, the
// network, the clipboard or the desktop, and waits that only pass time, stay
// out. Words not in the table yet fail as unknown ones anyway.
bool AllowedCommand(std::string_view word) {
  static constexpr std::string_view kAllowed[] = {
      "DEBUG",      "SEJA",       "TELA",         "COR",          "FUNDO",     "OBSERVA",
      "ESCREVE",    "BIPA",       "SOMA",         "SUBTRAI",      "MULTIPLICA", "DIVIDE",
      "CONCATENA",  "COPIA",      "SOLETRA",      "LISTA",        "FALAHORA",  "TITULO",
      "T\xCDTULO",  "DELETA",     "SUBSTITUI",    "FALA",         "L\xCA",     "LE",
      "CHECA",      "CMD",        "DESVIA",       "SE",           "SENAO",     "SEN\xC3O",
      "ENQUANTO",   "REPETE",     "FIM",          "TERMINA",      "CHAMA",     "RETORNA",
      "RANDOMIZA",  "MENU",       "ANSIPARAUTF8", "UTF8PARAANSI", "HTTP",      "CODBASE64",
      "REMOVEQUOTED", "ADQUOTED", "DECODBASE64",
  };
  return std::find(std::begin(kAllowed), std::end(kAllowed), word) != std::end(kAllowed);
}

// One empty configuration directory for the whole fuzzing process.
const std::string& ConfigDir() {
  static const std::string* dir = [] {
    setenv("MORVENTA_AUDIO", "null", 1);
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/morventa-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) Broken("no temporary directory");
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ConfigDir(), ignored);
    });
    return new std::string(pattern);
  }();
  return *dir;
}

ConfigLocations Locations() { return ConfigLocations{ConfigDir(), ConfigDir(), ConfigDir()}; }

}  // namespace

std::string ExecuteLineInput(std::string_view bytes) {
  RuntimeOptions options;
  options.locations = Locations();
  const auto display = std::make_shared<testing::DisplayRecord>();
  options.front_end = testing::RecordingFrontEnd(display);
  options.audio = MakeNullAudioOutput();
  options.params = {"um", "dois tres"};
  Runtime rt(std::move(options));
  RunLimits limits;
  limits.max_lines = kMaxExecutedLines;
  limits.max_text_bytes = kMaxTextBytes;
  limits.allow_command = AllowedCommand;
  try {
    // No StartUp: the voice's data is not what is being fuzzed, and without
    // it the start-up would end every run before its first line.
    ResetInterpreter(rt);
    int n = 0;
    while (n < kMaxScriptLines && !bytes.empty()) {
      const size_t end = std::min(bytes.find('\n'), bytes.size());
      StoreLine(rt, bytes.substr(0, end), ++n);
      bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    const RunOutcome result = RunScript(rt, limits);
    if (result.outcome != 0 && result.outcome != 1) Broken("run outcome");
    if (rt.interp.script.line_count() != 0) Broken("a script can run twice");
  } catch (const ConsoleClosed&) {
    // A key was needed and none came: the user closed the console.
  }
  return display->text;
}

void ScriptLoaderInput(std::string_view bytes) {
  std::vector<std::string> lines;
  std::string err;
  const bool ok = SplitScript(std::string(bytes), lines, &err);
  if (ok != err.empty()) Broken("a message exactly when the load fails");
  if (lines.size() > static_cast<size_t>(ScriptStore::kMaxLines)) Broken("more lines than the store");
  for (const auto& line : lines) {
    if (line.find('\n') != std::string::npos) Broken("a line holds a line feed");
  }
  if (ok) {
    // Every line is one script line: storing them fills the store in order.
    ScriptStore store;
    for (size_t i = 0; i < lines.size(); ++i) store.StoreLine(lines[i], static_cast<int>(i + 1));
    if (store.line_count() != static_cast<int>(lines.size())) Broken("line count");
  }
}

void KeyDecoderInput(std::string_view bytes) {
  if (bytes.empty()) return;
  const unsigned char control = static_cast<unsigned char>(bytes[0]);
  bytes.remove_prefix(1);
  const bool alt_prefix = control & 1;
  const size_t read_size = 1 + (control >> 1) % 16;

  Config config(Locations());
  ConsoleWindow console(config, testing::RecordingFrontEnd(std::make_shared<testing::DisplayRecord>()));
  KeyDecoder decoder(alt_prefix);
  try {
    while (!bytes.empty()) {
      const size_t n = std::min(read_size, bytes.size());
      decoder.Feed(bytes.substr(0, n), console);
      bytes.remove_prefix(n);
      if (console.key_queue().size() > KeyQueue::kCapacity) Broken("key queue over capacity");
      while (console.KeyPending()) console.TakeKey();
    }
    decoder.Flush(console);
    if (decoder.pending()) Broken("bytes pending after a flush");
    while (console.KeyPending()) console.TakeKey();
  } catch (const ConsoleClosed&) {
    // Ctrl+Break or a close arrived among the keys.
  }
}

}  // namespace morventa::fuzz
