// Commands that change a variable in place: arithmetic and text surgery.
#include <algorithm>
#include <charconv>
#include <string>

#include "console/clock.h"
#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

bool ReadTrimmedInteger(Runtime& rt, std::string_view& args, int64_t& out) {
  std::string value;
  if (!EvaluateValue(rt, args, value)) return false;
  const auto n = ToInteger(TrimView(value));
  if (!n) return false;
  out = *n;
  return true;
}

// SUBTRAI, MULTIPLICA and DIVIDE share one handler that takes the operator.
bool Arithmetic(Runtime& rt, std::string_view args, char op) {
  const auto slot = TakeVariable(rt, args);
  if (!slot || args.empty()) return false;
  std::string& target = rt.interp.variables.Slot(*slot);
  const auto left = ToInteger(target);
  if (!left) return false;
  int32_t right;
  if (!EvaluateInteger(rt, args, right)) return false;
  int32_t result;
  switch (op) {
    case '-': result = Wrap32(static_cast<int64_t>(*left) - right); break;
    case '*': result = Wrap32(static_cast<int64_t>(*left) * right); break;
    default:
      if (right == 0) {
        rt.WriteLineSpoken(Ansi("Divisão por zero"));
        return false;
      }
      // -2147483648 / -1 wraps like every other overflow of these commands.
      result = Wrap32(static_cast<int64_t>(*left) / right);
      break;
  }
  target = DecimalText(result);
  return args.empty();
}

// SUBSTITUI's rule: positions are tested right to left, each once, on the
// text as changed by the replacements made further right, so a replacement can
// pair with the characters on its left into a new match. Replacing in place
// would move the rest of the text at every match, time that grows with the
// square of the length; instead the changed text right of the position is
// kept reversed, so that every step only adds at its end. An empty x matches
// at every position, the end included.
std::string ReplaceRightToLeft(const std::string& t, const std::string& x, const std::string& y) {
  const size_t n = t.size();
  const size_t m = x.size();
  std::string rev;  // the text from position p + 1 on, as changed so far, reversed
  rev.reserve(n + (m == 0 ? (n + 1) * y.size() : y.size()));
  const auto add_replacement = [&] { rev.append(y.rbegin(), y.rend()); };
  if (m == 0) {
    add_replacement();
    for (size_t p = n; p-- > 0;) {
      rev += t[p];
      add_replacement();
    }
  } else {
    for (size_t k = n; k > n - m + 1; --k) rev += t[k - 1];
    for (size_t p = n - m + 1; p-- > 0;) {
      // The window at p: t[p], then the first m - 1 characters of the changed text.
      bool match = t[p] == x[0] && rev.size() >= m - 1;
      for (size_t j = 1; match && j < m; ++j) match = rev[rev.size() - j] == x[j];
      if (match) {
        rev.resize(rev.size() - (m - 1));
        add_replacement();
      } else {
        rev += t[p];
      }
    }
  }
  std::reverse(rev.begin(), rev.end());
  return rev;
}

}  // namespace

bool SomaCommand(Runtime& rt, std::string_view args) {
  const auto slot = TakeVariable(rt, args);
  if (!slot || args.empty()) return false;
  int32_t x;
  if (!EvaluateInteger(rt, args, x)) return false;
  std::string& text = rt.interp.variables.Slot(*slot);
  size_t head = text.size();
  while (head > 0 && text[head - 1] >= '0' && text[head - 1] <= '9') --head;
  if (head > 0 && text[head - 1] == '-') --head;
  const std::string_view tail = std::string_view(text).substr(head);
  int32_t value = 0;
  if (!tail.empty() && tail != "-") {
    // A counter beyond 32 bits is refused rather than silently misread.
    const auto n = ToInteger(tail);
    if (!n) return false;
    value = *n;
  }
  // The new tail is written straight over the old one: SOMA is the counter of
  // most loops.
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, Wrap32(static_cast<int64_t>(value) + x)).ptr;
  text.replace(head, std::string::npos, digits, static_cast<size_t>(end - digits));
  return true;
}

bool SubtraiCommand(Runtime& rt, std::string_view args) { return Arithmetic(rt, args, '-'); }
bool MultiplicaCommand(Runtime& rt, std::string_view args) { return Arithmetic(rt, args, '*'); }
bool DivideCommand(Runtime& rt, std::string_view args) { return Arithmetic(rt, args, '/'); }

bool ConcatenaCommand(Runtime& rt, std::string_view args) {
  const auto slot = TakeVariable(rt, args);
  if (!slot) return false;
  std::string x;
  if (!EvaluateValue(rt, args, x) || !args.empty()) return false;
  rt.interp.variables.Slot(*slot) += x;
  return true;
}

bool CopiaCommand(Runtime& rt, std::string_view args) {
  const auto target = TakeVariable(rt, args);
  if (!target) return false;
  const auto source = TakeVariable(rt, args);
  if (!source) return false;
  int64_t first, last;
  if (!ReadTrimmedInteger(rt, args, first) || !ReadTrimmedInteger(rt, args, last)) return false;
  const std::string& text = rt.interp.variables.Slot(*source);
  const int64_t length = last - first + 1;
  const int64_t start = first < 1 ? 1 : first;
  std::string part;
  if (start <= static_cast<int64_t>(text.size()) && length >= 1)
    part = text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length));
  rt.interp.variables.Slot(*target) = std::move(part);
  return true;
}

bool DeletaCommand(Runtime& rt, std::string_view args) {
  const auto slot = TakeVariable(rt, args);
  if (!slot) return false;
  int32_t at, count;
  if (!EvaluateInteger(rt, args, at) || !EvaluateInteger(rt, args, count)) return false;
  std::string& text = rt.interp.variables.Slot(*slot);
  if (at >= 1 && at <= static_cast<int64_t>(text.size()) && count >= 1)
    text.erase(static_cast<size_t>(at - 1), static_cast<size_t>(count));
  return true;
}

bool SubstituiCommand(Runtime& rt, std::string_view args) {
  const auto slot = TakeVariable(rt, args);
  if (!slot) return false;
  std::string x, y;
  if (!EvaluateValue(rt, args, x) || !EvaluateValue(rt, args, y)) return false;
  std::string& t = rt.interp.variables.Slot(*slot);
  if (t.size() < x.size()) return true;
  t = ReplaceRightToLeft(t, x, y);
  return true;
}

bool RandomizaCommand(Runtime& rt, std::string_view args) {
  if (!args.empty()) return false;
  rt.interp.random_seed = UtcMillisecondsOfDay();
  return true;
}

}  // namespace morventa
