// translator_bench [MEGABYTES ...]: the translator's file job, the real
// morventa-light in a pseudo-terminal, on a Portuguese text of each size
// (default 1 and 10 MB, made by repeating data/corpus) against the stand-in
// of the translation service on 127.0.0.1. For each size it prints the wall
// time of the job, the program's CPU time (user + system) in all and per
// request, and the program's peak resident memory, which should not grow
// with the file.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/doubles/translation_service.h"
#include "tests/support/pty_session.h"
#include "tests/support/run_program.h"

namespace fs = std::filesystem;
using namespace morventa::testing;

namespace {

std::string Corpus() {
  std::string text;
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(MORVENTA_CORPUS_DIR)) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (const auto& f : files) text += ReadFile(f.string());
  return text;
}

struct Result {
  double wall_s = 0, cpu_s = 0;
  long peak_kb = 0;
  size_t requests = 0;
  bool ok = false;
};

Result Run(double megabytes) {
  Result r;
  const std::string home = MakeTempDir();
  const std::string corpus = Corpus();
  std::string text;
  const size_t size = static_cast<size_t>(megabytes * 1024 * 1024);
  while (text.size() < size) text += corpus;
  text.resize(text.rfind('\n', size) + 1);
  WriteFile(home + "/texto.txt", text);
  fs::create_directories(home + "/morventa-light");
  TranslationService service;
  service.WriteAuthority(home + "/ca.pem");
  WriteFile(home + "/config/Orbela/Orbela.ini", service.Ini());

  rusage before{};
  getrusage(RUSAGE_CHILDREN, &before);
  PtySession s({MORVENTA_LIGHT_BINARY},
               {{"MORVENTA_CONSOLE", "terminal"},
                {"MORVENTA_AUDIO", "null"},
                {"DISPLAY", ""},
                {"WAYLAND_DISPLAY", ""},
                {"HOME", home},
                {"XDG_CONFIG_HOME", home + "/config"},
                {"SSL_CERT_FILE", home + "/ca.pem"}},
               home);
  // Português to Inglês, the file job; the menus wait for their keys.
  auto step = [&](const std::string& keys) {
    const size_t from = s.output().size();
    s.Send(KeyBytes(keys));
    return s.WaitUntil([&](const VtScreen& v) {
      return s.output().find("\x1b[?25l", from) != std::string::npos && v.cursor_visible();
    });
  };
  auto failed = [&](const char* what) {
    std::fprintf(stderr, "%s\n%s\n", what, s.screen().Text().c_str());
    return r;
  };
  if (!s.WaitForText("origem:")) return failed("no menu");
  if (!step("<Down><Down><Down><Down><Down><Enter>") || !step("<Down><Down><Down><Enter>") || !step("<Down><Enter>"))
    return failed("menus");
  const auto start = std::chrono::steady_clock::now();
  s.Send(KeyBytes("texto.txt<Enter>"));
  if (!s.WaitForText("Resultado salvo em", 3600 * 1000)) return failed("file job");
  r.wall_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!step("")) return failed("back to the menus");
  s.Send(KeyBytes("<Esc>"));
  if (s.WaitExit() != 0) return failed("end");
  rusage after{};
  getrusage(RUSAGE_CHILDREN, &after);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  r.cpu_s = seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_stime);
  r.peak_kb = after.ru_maxrss;
  r.requests = service.requests().size();
  r.ok = true;
  fs::remove_all(home);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<double> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atof(argv[i]));
  if (sizes.empty()) sizes = {1, 10};
  std::printf("%-8s %10s %10s %10s %14s %12s\n", "size", "requests", "wall s", "CPU s", "CPU/request", "peak RSS");
  for (double mb : sizes) {
    const Result r = Run(mb);
    if (!r.ok) {
      std::printf("%.1f MB: the run failed\n", mb);
      return 1;
    }
    std::printf("%5.1f MB %10zu %10.2f %10.2f %11.2f ms %9ld KB\n", mb, r.requests, r.wall_s, r.cpu_s,
                1000 * r.cpu_s / static_cast<double>(r.requests), r.peak_kb);
  }
  return 0;
}
