// A fresh runtime whose user presses each key only when the program waits for
// one (tests/doubles/paced_keyboard.h), with the speech transcript kept in a
// file of the test's own directory and the clipboard inside the process.
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/doubles/paced_keyboard.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {

class PacedRuntime {
 public:
  PacedRuntime() : dir_(MakeEmptyDir()), display_(std::make_shared<PacedDisplay>()) {
    RuntimeOptions options;
    options.locations = ConfigLocations{dir_, dir_, dir_};
    options.front_end = PacedKeyboard(display_);
    options.audio = MakeNullAudioOutput();
    options.transcript = Transcript(dir_ + "/transcript");
    rt_ = std::make_unique<Runtime>(std::move(options));
    rt_->console.set_clipboard(MakeProcessClipboard());
    ResetInterpreter(*rt_);
  }
  ~PacedRuntime() {
    rt_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  PacedRuntime(const PacedRuntime&) = delete;
  PacedRuntime& operator=(const PacedRuntime&) = delete;

  Runtime& rt() { return *rt_; }
  PacedDisplay& display() { return *display_; }

  // Keys in the notation of tests/support/run_program.h, pressed one at each
  // wait for a key.
  void Press(const std::string& notation) { PressLater(*display_, notation); }
  // Executes script lines (UTF-8) as the run loop would; false at the first
  // that fails.
  bool Lines(std::initializer_list<std::string_view> utf8_lines) {
    for (auto line : utf8_lines)
      if (!ExecuteLine(*rt_, Ansi(line), false)) return false;
    return true;
  }
  // A letter variable ("a") or a named one ("$nome"), Windows-1252.
  std::string& Var(std::string_view name) {
    auto& vars = rt_->interp.variables;
    if (!name.empty() && name[0] == '$') return vars.Slot(*vars.SlotOfName(UpperText(name.substr(1))));
    return vars.Slot(SimpleUpper(static_cast<unsigned char>(name[0])));
  }

  // The whole transcript so far, UTF-8.
  std::string SpeechSoFar() const {
    std::ifstream in(dir_ + "/transcript", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  // Speech events since the last call, one a line as the transcript has them
  // (UTF-8), joined by " | ".
  std::string TakeSpeech() {
    const std::string all = SpeechSoFar();
    std::string fresh = all.substr(std::min(seen_, all.size()));
    seen_ = all.size();
    std::string joined;
    std::istringstream lines(fresh);
    for (std::string line; std::getline(lines, line);) {
      if (!joined.empty()) joined += " | ";
      joined += line;
    }
    return joined;
  }

  // A row of the grid as UTF-8, trailing blanks removed.
  std::string Row(int row) const {
    std::string text;
    for (int c = 1; c <= kColumns; ++c) text += static_cast<char>(rt_->console.CellChar(row, c));
    text.erase(text.find_last_not_of(' ') + 1);
    return AnsiToUtf8(text);
  }

 private:
  std::string dir_;
  std::shared_ptr<PacedDisplay> display_;
  std::unique_ptr<Runtime> rt_;
  size_t seen_ = 0;
};

}  // namespace morventa::testing
