#include "tools/voice_inventory.h"

#include <fstream>
#include <set>
#include <sstream>

namespace morventa {
namespace {

// Calls line_fn(number, text) for every line that is neither empty nor a
// ";" comment, without its line end.
template <typename Fn>
bool ForEachDataLine(const std::string& path, std::string* err, Fn line_fn) {
  std::ifstream in(path);
  if (!in) {
    *err = path + ": cannot open";
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == ';') continue;
    if (!line_fn(number, line)) return false;
  }
  return true;
}

bool IsUnitName(const std::string& name) {
  if (name.size() < 2 || name[0] != '$') return false;
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] < 'A' || name[i] > 'Z') return false;
  }
  return true;
}

std::string Where(const std::string& path, int line) {
  return path + ":" + std::to_string(line) + ": ";
}

}  // namespace

bool ReadUnitInventory(const std::string& path, std::vector<UnitSpec>* units, std::string* err) {
  struct Part {
    std::string letters;
    std::string phonemes;
  };
  std::vector<Part> onsets, vowels;
  std::vector<UnitSpec> singles;
  bool ok = ForEachDataLine(path, err, [&](int number, const std::string& line) {
    std::istringstream fields(line);
    std::string kind, name, phonemes, extra;
    fields >> kind >> name >> phonemes >> extra;
    if (!extra.empty() || name.empty()) {
      *err = Where(path, number) + "expected: KIND NAME PHONEMES";
      return false;
    }
    if (kind == "onset" && (name == "-") == phonemes.empty()) {
      // "-" is the empty onset: the vowel alone.
      if (name == "-") name.clear();
      onsets.push_back({name, phonemes});
    } else if (kind == "vowel" && !phonemes.empty()) {
      vowels.push_back({name, phonemes});
    } else if (kind == "unit" && !phonemes.empty()) {
      if (!IsUnitName(name) || name.size() > kUnitNameLimit) {
        *err = Where(path, number) + "a unit name is \"$\" and at most 7 capital letters: " + name;
        return false;
      }
      singles.push_back({name, phonemes});
    } else {
      *err = Where(path, number) + "unknown line kind or missing phonemes: " + kind;
      return false;
    }
    return true;
  });
  if (!ok) return false;

  units->clear();
  for (const Part& onset : onsets) {
    for (const Part& vowel : vowels) {
      std::string name = "$" + onset.letters + vowel.letters;
      if (name.size() > kUnitNameLimit) continue;
      if (!IsUnitName(name)) {
        *err = path + ": not a unit name: " + name;
        return false;
      }
      units->push_back({name, onset.phonemes + "'" + vowel.phonemes});
    }
  }
  units->insert(units->end(), singles.begin(), singles.end());

  std::set<std::string> seen;
  for (const UnitSpec& unit : *units) {
    if (!seen.insert(unit.name).second) {
      *err = path + ": unit given twice: " + unit.name;
      return false;
    }
  }
  return true;
}

bool ReadSoundList(const std::string& path, std::vector<SoundSpec>* sounds, std::string* err) {
  sounds->clear();
  std::set<std::string> seen;
  return ForEachDataLine(path, err, [&](int number, const std::string& line) {
    const size_t bar = line.find('|');
    if (bar == std::string::npos || bar == 0 || bar + 1 == line.size()) {
      *err = Where(path, number) + "expected: NAME|TEXT or NAME|TEXT|alto";
      return false;
    }
    SoundSpec sound;
    sound.name = line.substr(0, bar);
    sound.text = line.substr(bar + 1);
    const size_t option = sound.text.find('|');
    if (option != std::string::npos) {
      if (sound.text.substr(option + 1) != "alto") {
        *err = Where(path, number) + "the only option is \"alto\"";
        return false;
      }
      sound.high_pitch = true;
      sound.text.resize(option);
    }
    if (sound.name.find_first_of("/ \t") != std::string::npos) {
      *err = Where(path, number) + "a sound name is a plain file name: " + sound.name;
      return false;
    }
    if (!seen.insert(sound.name).second) {
      *err = Where(path, number) + "sound given twice: " + sound.name;
      return false;
    }
    sounds->push_back(std::move(sound));
    return true;
  });
}

}  // namespace morventa
