// morventa-light [WORKING DIRECTORY]: the translator, the script the program
// carries, run in the speaking console.
//
// The parameters matter only when ~/morventa-light is missing: joined by
// blanks, they name the working directory, so a path with blanks may be
// given unquoted. Exit status as quintera's: 0 normal end, 1 a command
// failed, 3 the console was closed, 4 the voice could not start.
#include <string>
#include <vector>

#include "interpreter/program_entry.h"
#include "script/translator_script.h"

int main(int argc, char** argv) {
  using namespace morventa;
  const auto script = TranslatorScript();
  return RunScriptProgram("morventa-light", std::vector<std::string>(script.begin(), script.end()),
                          std::vector<std::string>(argv + 1, argv + argc));
}
