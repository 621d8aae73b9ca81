// quintera FILE [PARAM ...]: runs a QUINTERA script in the speaking console.
//
// Exit status: 0 the script ended normally, 1 a command failed, 2 the script
// could not be loaded, 3 the console was closed before the script ended,
// 4 the voice could not start (its data is missing).
#include <cstdio>
#include <string>
#include <vector>

#include "interpreter/program_entry.h"
#include "interpreter/script_loader.h"
#include "system/text_encoding.h"

int main(int argc, char** argv) {
  using namespace morventa;
  if (argc < 2) {
    std::fprintf(stderr, "uso: quintera ARQUIVO [PARÂMETRO ...]\n");
    return 2;
  }
  std::vector<std::string> lines;
  std::string err;
  if (!LoadScript(argv[1], lines, &err)) {
    std::fprintf(stderr, "quintera: %s: %s\n", argv[1], err.c_str());
    return 2;
  }
  return RunScriptProgram("quintera - " + BoundaryToAnsi(argv[1]), lines,
                          std::vector<std::string>(argv + 2, argv + argc));
}
