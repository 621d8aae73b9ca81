#include "console/config.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr size_t kSettingLimit = 254;  // what a 255-byte buffer holds
constexpr size_t kPlainLimit = 79;     // what an 80-byte buffer holds

bool FileExists(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(static_cast<unsigned char>(a[i])) != UpperChar(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string ParentDir(const std::string& dir) {
  const size_t slash = dir.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return dir.substr(0, slash);
}

// A TABCORES entry: decimal digits, perhaps signed, perhaps after blanks.
std::optional<int> DecimalEntry(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  size_t digits = i + (i < text.size() && (text[i] == '-' || text[i] == '+') ? 1 : 0);
  if (digits == text.size()) return std::nullopt;
  for (size_t k = digits; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return std::nullopt;
  const auto n = ToInteger(text);
  if (!n) return std::nullopt;
  return *n;
}

// An integer key within [low, high], or the fallback.
int NumberIn(const std::string& value, int low, int high, int fallback) {
  const auto n = ToInteger(value);
  if (!n || *n < low || *n > high) return fallback;
  return *n;
}

}  // namespace

ConfigLocations ConfigLocations::FromEnvironment() {
  ConfigLocations loc;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string base;
  if (xdg && *xdg == '/') {
    base = xdg;
  } else {
    base = std::string(home ? home : "") + "/.config";
  }
  loc.user_dir = BoundaryToAnsi(base + "/Orbela");
  loc.system_dir = "/etc";
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string exe = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(".");
  const size_t slash = exe.find_last_of('/');
  loc.program_dir = BoundaryToAnsi(slash == std::string::npos ? "." : exe.substr(0, slash));
  if (loc.program_dir.empty()) loc.program_dir = "/";
  return loc;
}

bool IsYes(std::string_view value) {
  return !value.empty() && UpperChar(static_cast<unsigned char>(value[0])) == 'S';
}

Config::Config(ConfigLocations locations) : locations_(std::move(locations)) {}

std::string Config::ConfigDirectory() const {
  const std::string user_file = locations_.user_dir + "/Orbela.ini";
  if (!FileExists(AnsiToUtf8(user_file)) &&
      FileExists(AnsiToUtf8(locations_.system_dir + "/Orbela.ini")))
    return locations_.system_dir;
  return locations_.user_dir;
}

std::optional<std::string> Config::RawRead(const std::string& file, std::string_view section,
                                           std::string_view key) const {
  std::ifstream in(AnsiToUtf8(file), std::ios::binary);
  if (!in) return std::nullopt;
  std::string raw;
  bool in_section = false;
  bool first = true;
  while (std::getline(in, raw)) {
    if (first && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
    first = false;
    const std::string line = Trim(BoundaryToAnsi(raw));
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      in_section = close != std::string::npos &&
                   SameName(TrimView(std::string_view(line).substr(1, close - 1)), section);
      continue;
    }
    if (!in_section) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (!SameName(TrimView(std::string_view(line).substr(0, eq)), key)) continue;
    std::string value = Trim(std::string_view(line).substr(eq + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
        value.back() == value[0])
      value = value.substr(1, value.size() - 2);
    return value;
  }
  return std::nullopt;
}

std::string Config::ReadSetting(std::string_view section, std::string_view key) const {
  std::string value = RawRead(ConfigDirectory() + "/Orbela.ini", section, key).value_or("");
  if (value.empty() && legacy_fallback_)
    value = RawRead(locations_.system_dir + "/Orbela.ini", section, key).value_or("");
  if (value.size() > kSettingLimit) value.resize(kSettingLimit);
  return ExpandShorthands(std::move(value));
}

std::string Config::PlainRead(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
  std::string value =
      RawRead(ConfigDirectory() + "/Orbela.ini", section, key).value_or(std::string(fallback));
  if (value.size() > kPlainLimit) value.resize(kPlainLimit);
  return value;
}

// "@" alone is the program directory; "@@/" the configuration directory;
// "@/" the environment's program directory (PGMORBELA). Text put in by a
// replacement is never scanned again, so a value naming itself cannot loop.
std::string Config::ExpandShorthands(std::string value) const {
  if (value == "@") return locations_.program_dir;
  if (value.find('@') == std::string::npos) return value;
  struct Piece {
    std::string text;
    bool inserted;
  };
  std::vector<Piece> pieces{{value, false}};
  const auto replace_all = [&pieces](std::string_view token, const std::string& with) {
    std::vector<Piece> out;
    for (auto& piece : pieces) {
      if (piece.inserted) {
        out.push_back(std::move(piece));
        continue;
      }
      size_t from = 0, at;
      while ((at = piece.text.find(token, from)) != std::string::npos) {
        out.push_back({piece.text.substr(from, at - from), false});
        out.push_back({with, true});
        from = at + token.size();
      }
      out.push_back({piece.text.substr(from), false});
    }
    pieces = std::move(out);
  };
  const auto has_token = [&pieces](std::string_view token) {
    for (const auto& piece : pieces)
      if (!piece.inserted && piece.text.find(token) != std::string::npos) return true;
    return false;
  };
  if (has_token("@@/")) replace_all("@@/", ConfigDirectory() + "/");
  if (has_token("@/")) {
    // The environment's program directory, read without expansion: a value that
    // is empty or itself uses "@" stands for our own program directory.
    std::string pgm = RawRead(ConfigDirectory() + "/Orbela.ini", "ORBELA", "PGMORBELA").value_or("");
    if (pgm.empty() && legacy_fallback_)
      pgm = RawRead(locations_.system_dir + "/Orbela.ini", "ORBELA", "PGMORBELA").value_or("");
    if (pgm.empty() || pgm.find('@') != std::string::npos) pgm = locations_.program_dir;
    while (pgm.size() > 1 && pgm.back() == '/') pgm.pop_back();
    // While an "@/" is left, its value's first "@" gives way (the slash stays).
    while (has_token("@/")) {
      for (size_t k = 0; k < pieces.size(); ++k) {
        const size_t at = pieces[k].inserted ? std::string::npos : pieces[k].text.find('@');
        if (at == std::string::npos) continue;
        Piece before{pieces[k].text.substr(0, at), false};
        Piece after{pieces[k].text.substr(at + 1), false};
        pieces[k] = {pgm, true};
        pieces.insert(pieces.begin() + static_cast<long>(k) + 1, std::move(after));
        pieces.insert(pieces.begin() + static_cast<long>(k), std::move(before));
        break;
      }
    }
  }
  std::string out;
  for (const auto& piece : pieces) out += piece.text;
  return out;
}

std::string Config::DataDir() const {
  return ParentDir(locations_.program_dir) + "/share/morventa-light";
}

std::string Config::LettersDir() const {
  std::string v = ReadSetting("TRADUTOR", "DIRLETRAS");
  return v.empty() ? DataDir() + "/som/letras" : v;
}

std::string Config::DiphonesDir() const {
  std::string v = ReadSetting("TRADUTOR", "DIRDIFONES");
  return v.empty() ? DataDir() + "/som/difones" : v;
}

std::string Config::ScriptSoundsDir() const { return ReadSetting("QUINTERA", "DIRQUINTERA"); }

int Config::NetworkWaitMicroseconds() const {
  const auto n = ToInteger(ReadSetting("ORBELA", "TIMEOUT_REDE"));
  // One readiness wait is meant to be short: a negative wait or one of a
  // second or more is held to the nearest the wait can be.
  return n ? std::clamp(*n, 0, 999999) : 20000;
}

bool Config::VerifyCertificates() const {
  const std::string v = ReadSetting("ORBELA", "VERIFICA_CERTIFICADO");
  return v.empty() || (v[0] != '0' && UpperChar(static_cast<unsigned char>(v[0])) != 'N');
}

std::string Config::ConnectTo() const { return ReadSetting("ORBELA", "CONECTA_EM"); }

int Config::ProgramReturnWaitMs() const {
  return NumberIn(ReadSetting("ORBELA", "TEMPOESPERAPROGVOLTAR"), 0, 1000, 1000);
}

int Config::SpeedLevel() const { return NumberIn(ReadSetting("TRADUTOR", "VELOCIDADE"), 1, 5, 3); }

bool Config::ReadLegacyFlag() const { return IsYes(ReadSetting("ORBELA", "LEGADO")); }

VideoSettings Config::ReadVideo() const {
  VideoSettings v;
  for (int i = 0; i < 16; ++i) v.colour_map[i] = i;
  std::string table = PlainRead("VIDEO", "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15");
  table += ',';
  size_t from = 0;
  for (int i = 0; i < 16; ++i) {
    const size_t comma = table.find(',', from);
    if (comma == std::string::npos) break;
    const auto n = DecimalEntry(std::string_view(table).substr(from, comma - from));
    if (!n) break;
    v.colour_map[i] = *n;
    from = comma + 1;
  }
  v.colours_fixed = IsYes(PlainRead("VIDEO", "CORESFIXAS", "N"));
  v.fast_scroll = IsYes(PlainRead("VIDEO", "LENTO", "N"));
  const int back = NumberIn(PlainRead("VIDEO", "CORFUNDO", "0"), INT32_MIN, INT32_MAX, 0);
  const int fore = NumberIn(PlainRead("VIDEO", "CORLETRA", "15"), INT32_MIN, INT32_MAX, 15);
  // CORFUNDO x 16 + CORLETRA taken as one byte, out-of-range values included.
  v.initial_attribute =
      static_cast<uint8_t>((static_cast<unsigned>(back) << 4) + static_cast<unsigned>(fore));
  v.font_face = PlainRead("VIDEO", "FONTE", "Lucida Console");
  v.letter_width = NumberIn(PlainRead("VIDEO", "LARGURALETRA", ""), 1, 1000, 0);
  v.letter_height = NumberIn(PlainRead("VIDEO", "ALTURALETRA", ""), 1, 1000, 0);
  v.letter_weight = NumberIn(PlainRead("VIDEO", "PESOLETRA", "700"), 1, 1000, 700);
  v.normal_size = IsYes(PlainRead("VIDEO", "CANTOTELA", "SIM"));
  return v;
}

LowVisionSettings Config::ReadLowVision() const {
  LowVisionSettings s;
  const std::string factor = ReadSetting("BAIXAVISAO", "AMPLIACAO");
  s.factor = factor.empty() ? 0 : NumberIn(factor, 0, 10, 3);
  s.letter_colour = NumberIn(ReadSetting("BAIXAVISAO", "CORLETRA"), 0, 15, 14);
  s.background_colour = NumberIn(ReadSetting("BAIXAVISAO", "CORFUNDO"), 0, 15, 6);
  s.cursor_colour = NumberIn(ReadSetting("BAIXAVISAO", "CORCURSOR"), 0, 15, 3);
  return s;
}

int Config::BrailleMode() const {
  const std::string v = PlainRead("BRAILLE", "MODO", "0");
  const int mode = v.empty() ? 0 : (static_cast<unsigned char>(v[0]) & 3);
  return mode == 3 ? 1 : mode;
}

}  // namespace morventa
