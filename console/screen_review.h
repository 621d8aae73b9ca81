// Screen review: the user leaves whatever waited for keys (the line editor,
// a menu) to read the screen by character, word, line, colour block and
// screen, search it and copy it, and comes back exactly where they were.
#pragma once

#include <string>

namespace morventa {

class Runtime;

// What review keeps from one visit to the next.
struct ReviewMemory {
  // The last text searched for with F5; Ctrl+F5 looks for it again.
  std::string search_text;
};

// Runs screen review until Escape; the console cursor comes back to where it
// stood.
void ReviewScreen(Runtime& rt);

}  // namespace morventa
