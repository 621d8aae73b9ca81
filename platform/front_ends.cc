#include "platform/front_ends.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "platform/terminal/stream_front_ends.h"

namespace morventa {

FrontEndFactory ChooseFrontEnd() {
  const char* wanted = std::getenv("MORVENTA_CONSOLE");
  const std::string_view choice = wanted ? wanted : "";
  if (choice == "terminal") return MakeTerminalFrontEnd;
  if (choice == "plain") return MakePlainFrontEnd;
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return MakeTerminalFrontEnd;
  return MakePlainFrontEnd;
}

}  // namespace morventa
