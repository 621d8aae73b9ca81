// Every input a fuzzer ever crashed us with (tests/fuzz/regressions/<target>/)
// and every seed (tests/fuzz/corpus/<target>/) goes through its fuzz target
// again, in the ordinary build and under the sanitizers. A target aborts on a
// broken invariant, so passing means the input runs clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fuzz/targets.h"

namespace morventa::fuzz {
namespace {

namespace fs = std::filesystem;

struct Target {
  const char* name;
  void (*run)(std::string_view bytes);
};

constexpr Target kTargets[] = {
    {"execute_line", [](std::string_view bytes) { ExecuteLineInput(bytes); }},
    {"script_loader", ScriptLoaderInput},
    {"key_decoder", KeyDecoderInput},
};

std::vector<fs::path> Inputs(const std::string& target) {
  std::vector<fs::path> files;
  for (const char* kind : {"regressions", "corpus"}) {
    const fs::path dir = fs::path(FUZZ_DIR) / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void PrintTo(const Target& target, std::ostream* os) { *os << target.name; }

class FuzzInputs : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzInputs, RunClean) {
  const auto files = Inputs(GetParam().name);
  EXPECT_FALSE(files.empty()) << "no seeds for " << GetParam().name;
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    GetParam().run(Contents(file));
  }
}

// A target that stopped before the script's first line would pass every
// input and find nothing: the seeds must really run.
TEST(FuzzTargets, ExecuteLineRunsTheScript) {
  const std::string written = ExecuteLineInput(Contents(fs::path(FUZZ_DIR) / "corpus/execute_line/repete"));
  EXPECT_NE(written.find("A soma \xE9 15"), std::string::npos) << written;
}

INSTANTIATE_TEST_SUITE_P(AllTargets, FuzzInputs, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace morventa::fuzz
