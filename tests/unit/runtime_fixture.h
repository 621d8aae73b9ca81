// A fresh runtime for one test: configuration from an empty directory, the
// console shown on a recording stand-in, no transcript. Lines and values are
// written in UTF-8 in the tests and converted to the system's Windows-1252.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/dispatch.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "platform/audio/audio_output.h"
#include "platform/clipboard.h"
#include "system/text_encoding.h"
#include "tests/doubles/recording_front_end.h"

namespace morventa::testing {

inline std::string MakeEmptyDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/morventa-unit-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  return pattern;
}

class TestRuntime {
 public:
  // orbela_ini, when given, is the user's configuration file. Sound goes to
  // the given output, or nowhere.
  explicit TestRuntime(std::vector<std::string> params = {}, std::string_view orbela_ini = {},
                       std::unique_ptr<AudioOutput> audio = nullptr,
                       Transcript transcript = Transcript())
      : dir_(MakeEmptyDir()), display_(std::make_shared<DisplayRecord>()) {
    if (!orbela_ini.empty()) {
      std::ofstream(dir_ + "/Orbela.ini", std::ios::binary) << orbela_ini;
    }
    RuntimeOptions options;
    options.locations = ConfigLocations{dir_, dir_, dir_};
    options.front_end = RecordingFrontEnd(display_);
    options.params = std::move(params);
    options.audio = audio ? std::move(audio) : MakeNullAudioOutput();
    options.transcript = std::move(transcript);
    rt_ = std::make_unique<Runtime>(std::move(options));
    // The user's own clipboard stays out of the tests.
    rt_->console.set_clipboard(MakeProcessClipboard());
    ResetInterpreter(*rt_);
  }
  ~TestRuntime() {
    rt_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TestRuntime(const TestRuntime&) = delete;
  TestRuntime& operator=(const TestRuntime&) = delete;

  Runtime& rt() { return *rt_; }
  const std::string& dir() const { return dir_; }
  // Keys the user types, one at each wait for events.
  void Type(std::string_view ansi_keys) { display_->keys += ansi_keys; }

  // Executes one script line as the run loop would.
  bool Line(std::string_view utf8_line) { return ExecuteLine(*rt_, Ansi(utf8_line), false); }

  // A letter variable ("a") or a named one ("$nome").
  std::string& Var(std::string_view name) {
    auto& vars = rt_->interp.variables;
    if (!name.empty() && name[0] == '$') return vars.Slot(*vars.SlotOfName(UpperText(name.substr(1))));
    return vars.Slot(SimpleUpper(static_cast<unsigned char>(name[0])));
  }

  // What the display was asked to show (title, hides and restores).
  const DisplayRecord& display() const { return *display_; }

  // Console text written since the last call, Windows-1252.
  std::string TakeWritten() {
    std::string text = std::move(display_->text);
    display_->text.clear();
    return text;
  }

 private:
  std::string dir_;
  std::shared_ptr<DisplayRecord> display_;
  std::unique_ptr<Runtime> rt_;
};

}  // namespace morventa::testing
