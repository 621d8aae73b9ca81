// Every tests/scripts/NAME.q runs through the real quintera in plain mode.
// Beside it: NAME.keys (keys typed, in key notation), NAME.args (one parameter
// a line), NAME.ini (the user's Orbela.ini), NAME.out (expected console text),
// NAME.fala (expected speech transcript), NAME.status (expected exit status,
// 0 when absent). A missing .out or .fala is not checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/run_program.h"

namespace morventa::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ScriptNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(SCRIPT_TESTS_DIR)) {
    if (entry.path().extension() == ".q") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Sibling(const std::string& name, const std::string& ext) {
  return std::string(SCRIPT_TESTS_DIR) + "/" + name + ext;
}

bool Exists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      out.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

class ScriptTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ScriptTest, MatchesExpectedConsoleAndSpeech) {
  const std::string name = GetParam();
  const std::string home = MakeTempDir();
  fs::create_directories(home + "/config/Orbela");
  if (Exists(Sibling(name, ".ini")))
    fs::copy_file(Sibling(name, ".ini"), home + "/config/Orbela/Orbela.ini");
  std::vector<std::string> argv = {QUINTERA_BINARY, Sibling(name, ".q")};
  if (Exists(Sibling(name, ".args"))) {
    for (const auto& a : Lines(ReadFile(Sibling(name, ".args")))) argv.push_back(a);
  }
  const std::string keys =
      Exists(Sibling(name, ".keys")) ? KeyBytes(ReadFile(Sibling(name, ".keys"))) : "";
  const std::string transcript = home + "/transcript";
  const auto result = RunProgram(argv, keys,
                                 {{"MORVENTA_CONSOLE", "plain"},
                                  {"MORVENTA_AUDIO", "null"},
                                  // No display: the clipboard is the program's own.
                                  {"DISPLAY", ""},
                                  {"WAYLAND_DISPLAY", ""},
                                  {"MORVENTA_TRANSCRIPT", transcript},
                                  {"HOME", home},
                                  {"XDG_CONFIG_HOME", home + "/config"}},
                                 home);
  // MORVENTA_UPDATE_GOLDEN=1 rewrites the expected files from this run, for
  // a change that alters what is said on purpose; review the diff.
  if (const char* update = std::getenv("MORVENTA_UPDATE_GOLDEN"); update && *update == '1') {
    if (Exists(Sibling(name, ".out"))) WriteFile(Sibling(name, ".out"), result.out);
    if (Exists(Sibling(name, ".fala"))) WriteFile(Sibling(name, ".fala"), ReadFile(transcript));
  }
  int expected_status = 0;
  if (Exists(Sibling(name, ".status"))) expected_status = std::stoi(ReadFile(Sibling(name, ".status")));
  EXPECT_EQ(result.status, expected_status) << "stderr: " << result.err << "\nstdout:\n" << result.out;
  if (Exists(Sibling(name, ".out"))) {
    EXPECT_EQ(result.out, ReadFile(Sibling(name, ".out"))) << "console text of " << name;
  }
  if (Exists(Sibling(name, ".fala"))) {
    EXPECT_EQ(ReadFile(transcript), ReadFile(Sibling(name, ".fala"))) << "transcript of " << name;
  }
  fs::remove_all(home);
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptTest, ::testing::ValuesIn(ScriptNames()),
                         [](const auto& info) {
                           std::string n = info.param;
                           std::replace_if(n.begin(), n.end(), [](char c) { return !isalnum(static_cast<unsigned char>(c)); }, '_');
                           return n;
                         });

}  // namespace
}  // namespace morventa::testing
