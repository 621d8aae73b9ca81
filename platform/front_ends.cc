#include "platform/front_ends.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/terminal/stream_front_ends.h"
#include "platform/window/window_front_end.h"

namespace morventa {
namespace {

FrontEndFactory StreamFrontEnd() {
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return MakeTerminalFrontEnd;
  return MakePlainFrontEnd;
}

// A window, or the console in the terminal or the pipe when the desktop
// refuses one: the user keeps a console either way and is told why.
FrontEndFactory WindowFrontEnd() {
  return [] {
    std::string error;
    if (auto window = MakeWindowFrontEnd(&error)) return window;
    std::fprintf(stderr, "morventa: a janela do console não pôde ser aberta (%s)\n", error.c_str());
    return StreamFrontEnd()();
  };
}

}  // namespace

FrontEndFactory ChooseFrontEnd() {
  const char* wanted = std::getenv("MORVENTA_CONSOLE");
  const std::string_view choice = wanted ? wanted : "";
  if (choice == "terminal") return MakeTerminalFrontEnd;
  if (choice == "plain") return MakePlainFrontEnd;
  if (choice == "window" || WindowDisplayReachable()) return WindowFrontEnd();
  return StreamFrontEnd();
}

}  // namespace morventa
