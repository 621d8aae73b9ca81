// The speaking line editor: the user types, moves, selects, copies and pastes
// in a field on the grid while every action is confirmed by speech, recorded
// cues, clicks and beeps. Every line a script reads from the user goes
// through it.
#pragma once

#include <cstdint>
#include <string>

namespace morventa {

class Runtime;

// What the editor keeps for the whole run.
struct LineEditorSettings {
  // Every character typed is spoken back; F4 in the editor toggles it.
  bool key_echo = true;
};

// Edits field in place at (column, row), showing width characters of it, at
// most limit characters long (capped at 2,048). Returns the byte that ended
// editing: Enter 13, Escape 27, Tab 9, Ctrl+Enter 10, Ctrl+B 2, or the code
// of the function or cursor key that did. The field comes back without
// trailing spaces; the screen shows its first characters and the cursor
// stands at its start.
uint8_t LineEditor(Runtime& rt, std::string& field, int column, int row, int width, int limit);

// The editor at the console's cursor, as wide as the row leaves room for.
uint8_t EditAtCursor(Runtime& rt, std::string& field, int limit);

// The script's ordinary line input: up to 255 characters from an empty field;
// Escape gives the empty text and blanks what was typed; the console always
// goes on to the next line. Returns the ending byte as LineEditor does.
uint8_t ReadLineSpoken(Runtime& rt, std::string& field);

}  // namespace morventa
