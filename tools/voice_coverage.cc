// How well the diphone voice's data covers real text: transcribes a
// Portuguese corpus with our regras.rgr and portug.exc, speaks it into a
// sink that discards the sound, and reports the share of unit look-ups that
// were found directly, found only through a fallback, and that ended in
// noise, with the units most often missing.
//
//   voice_coverage [--show] [--require PERCENT] SOUND_DIR CORPUS_FILE...
//
// SOUND_DIR holds letras/ and difones/ (the builder's output directory).
// --show prints every word with its phonetic string and the units it asked
// for. --require makes the exit status 1 when fewer than PERCENT of the
// look-ups were found directly or any ended in noise.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "speech/diphone/diphone_voice.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

// Nothing sounds: the tool only counts look-ups.
class SilentSink : public DiphoneSink {
 public:
  void PlayImageAndWait(std::span<const uint8_t>) override {}
  bool IsSpeaking() override { return false; }
  void WaitForEvent() override {}
};

struct Miss {
  uint64_t count = 0;
  std::set<std::string> words;
};

bool IsWordByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

// The words of a text the way the speech service hands them to the voice:
// runs of letters (bytes from 128 up count as letters), Windows-1252.
std::vector<std::string> Words(const std::string& ansi) {
  std::vector<std::string> words;
  std::string word;
  for (const char ch : ansi) {
    if (IsWordByte(static_cast<unsigned char>(ch))) {
      word += ch;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

double Percent(uint64_t part, uint64_t whole) { return whole == 0 ? 0.0 : 100.0 * part / whole; }

int Run(int argc, char** argv) {
  bool show = false;
  double required = -1;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--show") {
      show = true;
    } else if (arg == "--require" && i + 1 < argc) {
      required = std::atof(argv[++i]);
    } else {
      args.push_back(arg);
    }
  }
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: voice_coverage [--show] [--require PERCENT] SOUND_DIR CORPUS...\n");
    return 2;
  }

  SilentSink sink;
  DiphoneVoice voice(sink);
  const std::string sound_dir = Utf8ToAnsi(args[0]);
  const int opened = voice.OpenFrom(sound_dir + "/letras", sound_dir + "/difones");
  if (opened != kDiphoneReady) {
    std::fprintf(stderr, "voice_coverage: cannot open the voice in %s (code %d)\n",
                 args[0].c_str(), opened);
    return 2;
  }

  std::string current_word;
  std::string shown_units;
  std::map<std::string, Miss> misses;
  voice.SetUnitObserver([&](const UnitRequest& request) {
    if (request.depth != 0) return;
    if (show) shown_units += " " + request.name + (request.found ? "" : "?");
    if (!request.found) {
      Miss& miss = misses[request.name];
      ++miss.count;
      if (miss.words.size() < 4) miss.words.insert(current_word);
    }
  });

  uint64_t word_count = 0;
  for (size_t f = 1; f < args.size(); ++f) {
    std::ifstream in(args[f], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "voice_coverage: cannot open %s\n", args[f].c_str());
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    for (const std::string& word : Words(Utf8ToAnsi(text.str()))) {
      ++word_count;
      current_word = AnsiToUtf8(word);
      shown_units.clear();
      const std::string phonetic = voice.TranscribeText(word);
      voice.DiphoneSpeak(phonetic, false);
      if (show) {
        std::printf("%-20s %-34s%s\n", current_word.c_str(), AnsiToUtf8(phonetic).c_str(),
                    shown_units.c_str());
      }
    }
  }

  const UnitLookupCounts& c = voice.counts();
  const uint64_t total = c.direct + c.fallback + c.noise + c.silent;
  std::printf("words %llu, unit look-ups %llu, units in the database %zu\n",
              static_cast<unsigned long long>(word_count), static_cast<unsigned long long>(total),
              voice.unit_count());
  std::printf("  found directly     %8llu  %6.2f%%\n", static_cast<unsigned long long>(c.direct),
              Percent(c.direct, total));
  std::printf("  through a fallback %8llu  %6.2f%%\n", static_cast<unsigned long long>(c.fallback),
              Percent(c.fallback, total));
  std::printf("  ended in noise     %8llu  %6.2f%%\n", static_cast<unsigned long long>(c.noise),
              Percent(c.noise, total));
  std::printf("  silent             %8llu  %6.2f%%\n", static_cast<unsigned long long>(c.silent),
              Percent(c.silent, total));

  std::vector<std::pair<std::string, Miss>> ranked(misses.begin(), misses.end());
  std::sort(ranked.begin(), ranked.end(),
            [](const auto& a, const auto& b) { return a.second.count > b.second.count; });
  if (!ranked.empty()) std::printf("missing units (count, example words):\n");
  for (size_t i = 0; i < ranked.size() && i < 40; ++i) {
    std::string examples;
    for (const std::string& w : ranked[i].second.words) examples += " " + w;
    std::printf("  %-10s %6llu %s\n", ranked[i].first.c_str(),
                static_cast<unsigned long long>(ranked[i].second.count), examples.c_str());
  }

  if (required >= 0 && (Percent(c.direct, total) < required || c.noise > 0)) return 1;
  return 0;
}

}  // namespace
}  // namespace morventa

int main(int argc, char** argv) { return morventa::Run(argc, argv); }
