// The console window's speed on a virtual X server (Xvfb): writing and
// scrolling 10,000 lines with every scroll repainted and with pixels moved
// (LENTO), one typed character drawn as a changed cell and as a full repaint,
// and the time from a key event at the X server to its byte in the KeyQueue.
// Run by hand: bin/window_bench (see README.md here).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "console/config.h"
#include "console/console_window.h"
#include "platform/window/window_front_end.h"
#include "tests/doubles/orbela_environment.h"
#include "tests/doubles/virtual_desktop.h"

namespace morventa {
namespace {

using testing::OrbelaEnvironment;
using testing::VirtualDesktop;

VirtualDesktop& Desktop() {
  static VirtualDesktop* desktop = [] {
    auto* d = new VirtualDesktop();
    if (d->available()) setenv("DISPLAY", d->display_name().c_str(), 1);
    return d;
  }();
  return *desktop;
}

// A console in its window, with the letters of a common desktop (13 x 28
// pixels, as derived from a 1024 x 768 work area).
struct WindowConsole {
  explicit WindowConsole(bool fast_scroll) {
    env.WriteUserIni(std::string("[VIDEO]\nFONTE=DejaVu Sans Mono\nLARGURALETRA=12\nALTURALETRA=28\nLENTO=") +
                     (fast_scroll ? "S" : "N") + "\n");
    config = std::make_unique<Config>(env.locations());
    console = std::make_unique<ConsoleWindow>(*config, [] {
      std::string error;
      return MakeWindowFrontEnd(&error);
    });
    console->EnsureConsole();
  }
  OrbelaEnvironment env;
  std::unique_ptr<Config> config;
  std::unique_ptr<ConsoleWindow> console;
};

void BM_Write10000Lines(benchmark::State& state) {
  if (!Desktop().available()) return state.SkipWithError("Xvfb could not start");
  WindowConsole w(state.range(0) != 0);
  const std::string line = "Linha de texto com quarenta e poucos caracteres, 0123456789\r\n";
  for (auto _ : state) {
    // As ESCREVE writes: one hand-over and one pump per line.
    for (int i = 0; i < 10000; ++i) w.console->ConsoleOutput(line);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Write10000Lines)->ArgName("lento")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TypeOneCharacter(benchmark::State& state) {
  if (!Desktop().available()) return state.SkipWithError("Xvfb could not start");
  WindowConsole w(false);
  const bool full_repaint = state.range(0) != 0;
  for (int r = 0; r < 24; ++r) w.console->PutText(std::string(79, 'x') + "\r\n");
  int column = 1;
  for (auto _ : state) {
    w.console->MoveCursor(column, 10);
    w.console->PutText("a");
    if (full_repaint) w.console->RepaintRequested();
    w.console->KeyPending();
    column = column % 79 + 1;
  }
}
BENCHMARK(BM_TypeOneCharacter)->ArgName("full_repaint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_KeyEventToKeyQueue(benchmark::State& state) {
  if (!Desktop().available()) return state.SkipWithError("Xvfb could not start");
  WindowConsole w(false);
  const unsigned long window = Desktop().WaitForWindowOf(getpid(), 10000);
  Desktop().Focus(window);
  w.console->KeyPending();
  for (auto _ : state) {
    Desktop().PressKeys("a");
    benchmark::DoNotOptimize(w.console->TakeKey());
  }
}
BENCHMARK(BM_KeyEventToKeyQueue)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morventa

BENCHMARK_MAIN();
