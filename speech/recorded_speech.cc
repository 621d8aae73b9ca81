#include "speech/recorded_speech.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "speech/wave_player.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

// The words are file names too, hence no accents.
constexpr const char* kUnits[10] = {"zero", "um",   "dois", "tres", "quatro",
                                    "cinco", "seis", "sete", "oito", "nove"};
constexpr const char* kTeens[10] = {"dez",    "onze",      "doze",      "treze",   "quatorze",
                                    "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
constexpr const char* kTens[10] = {"",          "",         "vinte",   "trinta",  "quarenta",
                                   "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
constexpr const char* kHundreds[10] = {"",           "cento",      "duzentos",   "trezentos",
                                       "quatrocentos", "quinhentos", "seiscentos", "setecentos",
                                       "oitocentos", "novecentos"};

struct Scale {
  const char* singular;
  const char* plural;
};
// Trillions, billions, millions, thousands (UTF-8 here, Windows-1252 when used).
constexpr Scale kScales[4] = {
    {"trilhão", "trilhões"}, {"bilhão", "bilhões"}, {"milhão", "milhões"}, {"mil", "mil"}};

constexpr const char* kWeekdays[7] = {"Domingo", "Segunda", "Terca", "Quarta",
                                      "Quinta",  "Sexta",   "Sabado"};
constexpr const char* kMonths[12] = {"Janeiro", "Fevereiro", "Marco",    "Abril",
                                     "Maio",    "Junho",     "Julho",    "Agosto",
                                     "Setembro", "Outubro",  "Novembro", "Dezembro"};

// The largest image PlayWordFiles joins words into.
constexpr size_t kWordImageSamples = 30000;
// A word file's own header, skipped: the words are recorded like the images.
constexpr long kWordFileHeader = 44;

std::string GroupWords(const char* digits) {
  const int h = digits[0] - '0';
  const int t = digits[1] - '0';
  const int u = digits[2] - '0';
  if (h == 0 && t == 0 && u == 0) return "";
  if (h == 1 && t == 0 && u == 0) return "cem";
  std::string words;
  if (h != 0) {
    words += kHundreds[h];
    if (t == 0 && u == 0) return words;
    words += " e ";
  }
  if (t == 1) return words + kTeens[u];
  if (t != 0) {
    words += kTens[t];
    if (u == 0) return words;
    words += " e ";
  }
  if (u != 0) words += kUnits[u];
  return words;
}

// Days since 1 January 1970 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

int Weekday(int year, int month, int day) {
  const int64_t days = DaysFromCivil(year, month, day);
  // 1 January 1970 was a Thursday (4).
  return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string NumberWords(int64_t n) {
  if (n <= 0) return "zero";
  char digits[16];
  std::snprintf(digits, sizeof digits, "%015lld",
                static_cast<long long>(n % 1'000'000'000'000'000));
  if (std::string_view(digits) == "000000000000000") return "zero";
  int last = 4;
  while (GroupWords(digits + 3 * last).empty()) --last;
  std::string words;
  bool earlier = false;
  for (int group = 0; group < 5; ++group) {
    const std::string group_words = GroupWords(digits + 3 * group);
    if (group_words.empty()) continue;
    if (group == last && earlier) words += "e ";
    words += group_words;
    if (group < 4) {
      const bool one = std::string_view(digits + 3 * group, 3) == "001";
      words += ' ';
      words += Ansi(one ? kScales[group].singular : kScales[group].plural);
      words += ' ';
    }
    earlier = true;
  }
  // "um mil" is just "mil"; "um milhão" stays.
  if (words.starts_with("um mil") && !words.starts_with("um milh")) words.erase(0, 3);
  while (!words.empty() && words.back() == ' ') words.pop_back();
  return words;
}

void PlayWordFiles(RecordedSpeechHost& host, std::string_view ansi_words, bool feminine) {
  std::vector<std::string> words;
  for (size_t at = 0; at < ansi_words.size();) {
    const size_t end = std::min(ansi_words.find(' ', at), ansi_words.size());
    if (end > at) words.emplace_back(ansi_words.substr(at, end - at));
    at = end + 1;
  }

  std::vector<uint8_t> image(kWaveHeaderSize + kWordImageSamples);
  size_t filled = 0;
  auto play = [&] {
    BuildWaveHeader(image.data(), static_cast<uint32_t>(filled));
    host.PlayImageAndWait(std::span<const uint8_t>(image.data(), kWaveHeaderSize + filled));
    while (host.IsSpeaking()) host.WaitForEvents();
    filled = 0;
  };

  const std::string a_tilde = Ansi("ã");
  const std::string o_tilde = Ansi("õ");
  for (size_t i = 0; i < words.size(); ++i) {
    std::string word;
    for (char c : words[i]) {
      if (c == a_tilde[0]) c = 'a';
      if (c == o_tilde[0]) c = 'o';
      word += c;
    }
    // Cut to 8 characters, "dezessete" would be "dezesse" like "dezesseis".
    if (word == "dezessete") word = "dezeset";
    std::string name = "_" + word;
    if (name.size() > 8) name.resize(8);
    if (feminine && i + 1 == words.size()) {
      if (name == "_um") name = "_uma";
      if (name == "_dois") name = "_duas";
    }

    std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen(AnsiToUtf8(host.LettersDir() + name + ".wav").c_str(), "rb"));
    if (!file) continue;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) continue;
    const long size = std::ftell(file.get());
    if (size < kWordFileHeader || std::fseek(file.get(), kWordFileHeader, SEEK_SET) != 0) continue;
    size_t length = static_cast<size_t>(size - kWordFileHeader);
    host.NoteWordFile(name);

    if (filled + length > kWordImageSamples) play();
    // A word too long for one image is played on its own, an image at a time.
    const bool alone = length > kWordImageSamples;
    while (length > 0) {
      const size_t piece = std::min(length, kWordImageSamples - filled);
      const size_t got = std::fread(image.data() + kWaveHeaderSize + filled, 1, piece, file.get());
      filled += got;
      if (got < piece) break;
      length -= got;
      if (length > 0) play();
    }
    if (alone && filled > 0) play();
  }
  if (filled > 0) play();
}

void SpeakNumberWords(RecordedSpeechHost& host, int64_t n, bool feminine) {
  PlayWordFiles(host, NumberWords(n), feminine);
}

void SpeakTime(RecordedSpeechHost& host, int hours, int minutes) {
  SpeakNumberWords(host, hours, true);
  host.PlaySound(hours < 2 ? "_hora" : "_horas");
  if (minutes != 0) {
    SpeakNumberWords(host, minutes, false);
    host.PlaySound(minutes < 2 ? "_minuto" : "_minutos");
  }
}

void SpeakDate(RecordedSpeechHost& host, int day, int month, int year) {
  const bool known_month = month >= 1 && month <= 12;
  if (known_month) host.PlaySound(std::string("_") + kWeekdays[Weekday(year, month, day)]);
  if (day == 1) {
    host.PlaySound("_primeir");
  } else {
    SpeakNumberWords(host, day, false);
  }
  host.PlaySound("_de");
  if (known_month) host.PlaySound(("_" + std::string(kMonths[month - 1])).substr(0, 8));
  host.PlaySound("_de");
  // Years are spoken the way people say them in this century: "dois mil e
  // dez"; before 2000 only the last two digits.
  if (year >= 2000) SpeakNumberWords(host, 2000, false);
  if (year > 2000) host.PlaySound("_e");
  if (year % 100 != 0) SpeakNumberWords(host, year % 100, false);
}

}  // namespace morventa
