// The interpreter's hot paths one at a time: ExecuteLine on the lines loops
// are made of, bracketed expressions, and SUBSTITUI on a page of HTML, the
// size the translator cuts its answers from.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "interpreter/dispatch.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "interpreter/variables.h"
#include "platform/audio/audio_output.h"
#include "system/text_encoding.h"
#include "tests/doubles/recording_front_end.h"

namespace morventa {
namespace {

// A runtime on the display stand-in, silent, with configuration from an empty
// directory and a few variables set as a running script would have them.
class BenchRuntime {
 public:
  BenchRuntime() {
    char pattern[] = "/tmp/morventa-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    RuntimeOptions options;
    options.locations = ConfigLocations{dir_, dir_, dir_};
    options.front_end = testing::RecordingFrontEnd(std::make_shared<testing::DisplayRecord>());
    options.audio = MakeNullAudioOutput();
    rt_ = std::make_unique<Runtime>(std::move(options));
    ResetInterpreter(*rt_);
    for (const char* line : {"seja s 0", "seja i 500", "seja $n 41", "seja $total 1000",
                             "seja $frase \"o rato roeu a roupa do rei\"", "seja t \"abcdef\""}) {
      ExecuteLine(*rt_, line, false);
    }
  }
  ~BenchRuntime() {
    rt_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  Runtime& rt() { return *rt_; }

 private:
  std::string dir_;
  std::unique_ptr<Runtime> rt_;
};

// Lines that stay the same size however often they run (no output, no growth).
const char* const kLines[] = {
    "soma s 1",
    "soma $n i",
    "* um comentário",
    "seja $total (s*2+$n)",
    "se $n < 1000000 soma s 1",
    "se $frase *=* \"roupa\" seja a 1",
    "copia c t 2 4",
    "seja p palavra 3 $frase",
};

void BM_ExecuteLine(benchmark::State& state) {
  BenchRuntime bench;
  const std::string line = Ansi(kLines[state.range(0)]);
  state.SetLabel(kLines[state.range(0)]);
  for (auto _ : state) {
    const bool ok = ExecuteLine(bench.rt(), line, false);
    benchmark::DoNotOptimize(ok);
    // Keep counters in the 32-bit range SOMA accepts.
    if (bench.rt().interp.variables.Slot('S').size() > 8) bench.rt().interp.variables.Slot('S') = "0";
  }
}
BENCHMARK(BM_ExecuteLine)->DenseRange(0, std::size(kLines) - 1);

const char* const kExpressions[] = {
    "1+2)",
    "(s*2+$n)-i/3)",
    "((1+2)*(3+4)-(5*6)/(7-8)+$total*$n-i)",
};

void BM_EvaluateExpression(benchmark::State& state) {
  BenchRuntime bench;
  const std::string text = kExpressions[state.range(0)];
  state.SetLabel(text);
  for (auto _ : state) {
    std::string_view rest = text;
    int64_t result;
    const bool ok = EvaluateExpression(bench.rt(), rest, result);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_EvaluateExpression)->DenseRange(0, std::size(kExpressions) - 1);

// About 6 KB of the kind of HTML the translator reads, entities and all.
std::string HtmlPage() {
  std::string page;
  while (page.size() < 6 * 1024) {
    page += "<div class=\"result-container\">Caf&eacute; &amp; p&atilde;o, "
            "&quot;sempre&quot; &lt;quente&gt; na padaria do bairro.</div> ";
  }
  return page;
}

// SUBSTITUI the way scripts use it: an entity that occurs now and then, and
// every blank (a match in every few characters).
const char* const kReplacements[] = {
    "substitui t \"&amp;\" \"&\"",
    "substitui t \" \" \"%20\"",
};

void BM_Substitui(benchmark::State& state) {
  BenchRuntime bench;
  const std::string page = HtmlPage();
  const std::string line = kReplacements[state.range(0)];
  state.SetLabel(line);
  std::string& t = bench.rt().interp.variables.Slot('T');
  for (auto _ : state) {
    t = page;
    const bool ok = ExecuteLine(bench.rt(), line, false);
    benchmark::DoNotOptimize(ok);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Substitui)->DenseRange(0, std::size(kReplacements) - 1);

}  // namespace
}  // namespace morventa

BENCHMARK_MAIN();
