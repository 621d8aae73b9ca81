// The lists the voice-data builder works from, kept as data under data/:
// the unit inventory of the diphone voice (units.txt) and the recorded
// sounds of the letters directory (letras.txt). Both formats are described
// at the top of their files.
#pragma once

#include <string>
#include <vector>

namespace morventa {

// The index stores at most 8 name characters.
constexpr size_t kUnitNameLimit = 8;

struct UnitSpec {
  std::string name;      // "$KA", "$PACIRC", "$AWTIL"
  std::string phonemes;  // espeak-ng phonemes, without the "[[ ]]"
};

struct SoundSpec {
  std::string name;  // file name without ".wav": "_65", "_FON65", "_dezeset"
  std::string text;  // UTF-8, may hold "[[...]]" phonemes
  bool high_pitch = false;
};

// units.txt expanded: the onset x vowel grid (in file order, names longer
// than kUnitNameLimit left out), then the single units. false with a message
// naming the line on a malformed line, a name that is not "$" + upper-case
// letters, a single unit longer than the limit, or a name given twice.
bool ReadUnitInventory(const std::string& path, std::vector<UnitSpec>* units, std::string* err);

// letras.txt: one SoundSpec per line. false with a message naming the line on
// a malformed line or a name given twice.
bool ReadSoundList(const std::string& path, std::vector<SoundSpec>* sounds, std::string* err);

}  // namespace morventa
