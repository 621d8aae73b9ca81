// SEJA: assignment and the built-in functions.
#include <string>

#include "console/clock.h"
#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

std::string TwoDigits(int n) {
  std::string s = DecimalText(n);
  return n < 10 ? "0" + s : s;
}

const char* const kDayNames[7] = {"Domingo", "Segunda", "Ter\xE7" "a", "Quarta",
                                  "Quinta",  "Sexta",   "S\xE1" "bado"};

// ---- Functions of the whole rest ("SEJA v DATA") ---------------------------

std::string Params(Runtime& rt) {
  std::string out = DecimalText(static_cast<int64_t>(rt.params.size()));
  for (const auto& p : rt.params) {
    out += ' ';
    for (char c : p) {
      if (c == ' ') out += "%20";
      else out += c;
    }
  }
  return out;
}

std::string Date(Runtime&) {
  const LocalDateTime t = LocalNow();
  return TwoDigits(t.day) + "/" + TwoDigits(t.month) + "/" + DecimalText(t.year);
}

std::string Crlf(Runtime&) { return "\r\n"; }

std::string Time(Runtime&) {
  const LocalDateTime t = LocalNow();
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

std::string Day(Runtime&) { return kDayNames[LocalNow().weekday]; }

std::string Elapsed(Runtime& rt) {
  const LocalDateTime t = LocalNow();
  int days = t.weekday - rt.interp.elapsed_base_weekday;
  if (days < 0) days += 7;
  const int64_t now =
      (((static_cast<int64_t>(t.hour) + 24 * days) * 60 + t.minute) * 60 + t.second) * 100 +
      t.hundredths;
  return DecimalText(now - rt.interp.elapsed_base_time);
}

struct WholeFunction {
  std::string_view word;
  std::string (*compute)(Runtime&);
};

constexpr WholeFunction kWholeFunctions[] = {
    {"PARAMS", Params}, {"DATA", Date}, {"CRLF", Crlf},
    {"HORA", Time},     {"DIA", Day},   {"TEMPO", Elapsed},
};

// ---- Functions with operands ("SEJA v POS x y") -----------------------------

bool Length(Runtime&, const std::string&, const std::string& x, std::string& out) {
  out = DecimalText(static_cast<int64_t>(x.size()));
  return true;
}

bool Capitals(Runtime&, const std::string&, const std::string& x, std::string& out) {
  out = UpperText(x);
  return true;
}

bool TrimFunction(Runtime&, const std::string&, const std::string& x, std::string& out) {
  out = Trim(x);
  return true;
}

bool Pos(Runtime&, const std::string& x, const std::string& y, std::string& out) {
  size_t at = std::string::npos;
  if (!x.empty() && !y.empty()) at = y.find(x);
  out = at == std::string::npos ? "0" : DecimalText(static_cast<int64_t>(at + 1));
  return true;
}

bool Rand(Runtime& rt, const std::string&, const std::string& x, std::string& out) {
  const auto n = ToInteger(x);
  if (!n) return false;
  uint32_t& seed = rt.interp.random_seed;
  seed = seed * 134775813u + 1u;
  // The count is taken as its unsigned 32-bit pattern, so a negative count
  // yields a number from 0 to 2^32 + count - 1: never negative, never a crash.
  const uint64_t product = static_cast<uint64_t>(seed) * static_cast<uint32_t>(*n);
  out = DecimalText(static_cast<int64_t>(product >> 32));
  return true;
}

bool Word(Runtime&, const std::string& x, const std::string& y, std::string& out) {
  const auto n = ToInteger(x);
  if (!n || *n < 1) return false;
  std::string_view rest = y;
  for (int32_t k = 1; k < *n && !rest.empty(); ++k) {
    const size_t blank = rest.find(' ');
    rest = blank == std::string_view::npos ? std::string_view() : TrimView(rest.substr(blank + 1));
  }
  const size_t blank = rest.find(' ');
  out.assign(blank == std::string_view::npos ? rest : rest.substr(0, blank));
  return true;
}

bool Chr(Runtime&, const std::string&, const std::string& x, std::string& out) {
  out.clear();
  std::string_view v = x;
  if (v.size() > 4 && v[3] == '#') {
    for (int i = 0; i < 3; ++i)
      if (v[i] != '0' && v[i] != '1') return true;
    v.remove_prefix(3);
  } else if (v.empty() || v[0] != '#') {
    return true;
  }
  v.remove_prefix(1);
  if (v.empty() || v[0] == '0') return true;
  const auto code = ToInteger(v);
  if (code) out = std::string(1, static_cast<char>(*code & 0xFF));
  return true;
}

bool Asc(Runtime&, const std::string&, const std::string& x, std::string& out) {
  out = x.size() == 1 ? "#" + DecimalText(static_cast<unsigned char>(x[0])) : std::string();
  return true;
}

struct OperandFunction {
  std::string_view prefix;  // the blank is part of it
  bool two_operands;
  bool (*compute)(Runtime&, const std::string& first, const std::string& last, std::string& out);
};

constexpr OperandFunction kOperandFunctions[] = {
    {"TAMANHO ", false, Length}, {"MAIUSC ", false, Capitals}, {"TRIM ", false, TrimFunction},
    {"POS ", true, Pos},         {"RAND ", false, Rand},       {"PALAVRA ", true, Word},
    {"CHR ", false, Chr},        {"ASC ", false, Asc},
};

}  // namespace

bool SejaCommand(Runtime& rt, std::string_view args) {
  const auto slot = TakeVariable(rt, args);
  if (!slot || args.empty()) return false;
  if (args[0] == '=') {
    args = TrimView(args.substr(1));
    if (args.empty()) return false;
  }
  for (const auto& f : kWholeFunctions) {
    if (EqualsUpper(args, f.word)) {
      rt.interp.variables.Slot(*slot) = f.compute(rt);
      return true;
    }
  }
  for (const auto& f : kOperandFunctions) {
    if (!StartsWithUpper(args, f.prefix)) continue;
    args = TrimView(args.substr(f.prefix.size()));
    std::string first, last, result;
    if (f.two_operands && !EvaluateValue(rt, args, first)) return false;
    if (!EvaluateValue(rt, args, last) || !args.empty()) return false;
    if (!f.compute(rt, first, last, result)) return false;
    rt.interp.variables.Slot(*slot) = std::move(result);
    return true;
  }
  std::string value;
  if (!EvaluateValue(rt, args, value)) return false;
  rt.interp.variables.Slot(*slot) = std::move(value);
  return args.empty();
}

}  // namespace morventa
