#include "interpreter/variables.h"

#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

bool IsNameChar(unsigned char c) {
  c = SimpleUpper(c);
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsLetterOrDigit(unsigned char c) {
  c = SimpleUpper(c);
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsLetter(unsigned char c) {
  c = SimpleUpper(c);
  return c >= 'A' && c <= 'Z';
}

// The slot for a name already upper-cased; tells the user when the table is full.
std::optional<int> NameSlot(Runtime& rt, std::string_view upper_name) {
  const auto slot = rt.interp.variables.SlotOfName(upper_name);
  if (!slot) rt.WriteLineSpoken(Ansi("Muitas variáveis com nome no programa (máximo 101)"));
  return slot;
}

}  // namespace

std::optional<int> VariableTable::SlotOfName(std::string_view upper_name) {
  for (size_t i = 0; i < names_.size(); ++i) {
    // Compared byte by byte in place: names are a few letters long, shorter
    // than the call of a general comparison.
    const std::string& name = names_[i];
    if (name.size() != upper_name.size()) continue;
    size_t k = 0;
    while (k < name.size() && name[k] == upper_name[k]) ++k;
    if (k == name.size()) return kFirstNameSlot + static_cast<int>(i);
  }
  if (names_.size() >= kMaxNames) return std::nullopt;
  names_.emplace_back(upper_name);
  return kFirstNameSlot + static_cast<int>(names_.size() - 1);
}

void VariableTable::Clear() {
  for (auto& s : slots_) s.clear();
  names_.clear();
}

std::optional<int> TakeVariable(Runtime& rt, std::string_view& text) {
  text = TrimView(text);
  if (text.empty()) return std::nullopt;
  const unsigned char first = SimpleUpper(static_cast<unsigned char>(text[0]));
  if (first == '$') return TakeName(rt, text);
  if (first < 'A' || first > 'Z') return std::nullopt;
  text.remove_prefix(1);
  if (!text.empty() && IsLetterOrDigit(static_cast<unsigned char>(text[0]))) return std::nullopt;
  text = TrimView(text);
  return static_cast<int>(first);
}

std::optional<int> TakeName(Runtime& rt, std::string_view& text) {
  text.remove_prefix(1);  // the "$"
  size_t n = 0;
  char name[256];
  while (n < text.size() && IsNameChar(static_cast<unsigned char>(text[n]))) {
    if (n < sizeof name) name[n] = static_cast<char>(SimpleUpper(static_cast<unsigned char>(text[n])));
    ++n;
  }
  if (n == 0) return std::nullopt;
  // Names are short and read on every line that uses them: upper-cased on the
  // stack, copied only when very long.
  std::string long_name;
  std::string_view upper(name, n <= sizeof name ? n : 0);
  if (n > sizeof name) {
    long_name = UpperText(text.substr(0, n));
    upper = long_name;
  }
  text.remove_prefix(n);
  const auto slot = NameSlot(rt, upper);
  if (!slot) return std::nullopt;
  text = TrimView(text);
  return slot;
}

bool EvaluateValue(Runtime& rt, std::string_view& text, std::string& value) {
  text = TrimView(text);
  if (text.empty()) return false;
  const unsigned char first = static_cast<unsigned char>(text[0]);
  if (first == '-' || (first >= '0' && first <= '9')) {
    size_t n = 1;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
    value.assign(text.substr(0, n));
    text.remove_prefix(n);
  } else if (first == '"') {
    value.clear();
    for (;;) {
      text.remove_prefix(1);
      const size_t close = text.find('"');
      if (close == std::string_view::npos) {
        value += text;
        text = {};
        break;
      }
      value += text.substr(0, close);
      text.remove_prefix(close + 1);
      if (text.empty() || text[0] != '"') break;
      value += '"';
    }
  } else if (first == '$') {
    const auto slot = TakeName(rt, text);
    if (!slot) return false;
    value = rt.interp.variables.Slot(*slot);
    return true;  // TakeName has trimmed
  } else if (IsLetter(first)) {
    value = rt.interp.variables.Slot(SimpleUpper(first));
    text.remove_prefix(1);
  } else if (first == '(') {
    text.remove_prefix(1);
    int64_t result;
    if (!EvaluateExpression(rt, text, result)) return false;
    text = TrimView(text);
    if (text.empty() || text[0] != ')') return false;
    text.remove_prefix(1);
    value = DecimalText(result);
  } else {
    return false;
  }
  text = TrimView(text);
  return true;
}

std::optional<int> TakeChannel(std::string_view& text) {
  text = TrimView(text);
  if (text.empty() || text[0] != '#') return std::nullopt;
  text.remove_prefix(1);
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
  const int channel = text[0] - '0';
  text.remove_prefix(1);
  if (!text.empty() && text[0] != ' ') return std::nullopt;
  while (!text.empty() && text[0] == ' ') text.remove_prefix(1);
  return channel;
}

std::optional<std::string> TakeListName(std::string_view& text) {
  text = TrimView(text);
  if (text.size() < 2 || text[0] != '[') return std::nullopt;
  text.remove_prefix(1);
  std::string name;
  for (;;) {
    if (text.empty()) return std::nullopt;
    const char c = text[0];
    text.remove_prefix(1);
    if (c == ']' && !name.empty()) return name;
    name += c;
  }
}

bool EvaluateInteger(Runtime& rt, std::string_view& text, int32_t& result) {
  std::string value;
  if (!EvaluateValue(rt, text, value)) return false;
  const auto n = ToInteger(value);
  if (!n) return false;
  result = *n;
  return true;
}

// ---- Bracketed integer expressions ------------------------------------------

namespace {

enum class Tok { kEnd, kOpen, kClose, kMul, kAdd, kSub, kDiv, kNumber, kBad };

class ExpressionParser {
 public:
  ExpressionParser(Runtime& rt, std::string_view& text) : rt_(rt), text_(text) { Next(); }

  // Outcome of a rule: a value, an operand that is not there, or a failure
  // that ends the whole evaluation.
  enum class Result { kValue, kMissing, kFail };

  Result Expression(int64_t& out) {
    Result r = Term(out);
    if (r != Result::kValue) return r == Result::kMissing ? Result::kFail : r;
    while (tok_ == Tok::kAdd || tok_ == Tok::kSub) {
      const Tok op = tok_;
      Next();
      int64_t right;
      r = Term(right);
      if (r == Result::kFail) return r;
      if (r == Result::kMissing) {
        if (tok_ == Tok::kAdd || tok_ == Tok::kSub) return Result::kFail;
        break;
      }
      out = Wrap(op == Tok::kAdd ? static_cast<uint64_t>(out) + static_cast<uint64_t>(right)
                                 : static_cast<uint64_t>(out) - static_cast<uint64_t>(right));
    }
    return Result::kValue;
  }

  // Leaves the caller's text at the token that stopped the expression.
  void Finish() { text_ = token_start_; }

 private:
  static int64_t Wrap(uint64_t v) { return static_cast<int64_t>(v); }

  Result Term(int64_t& out) {
    Result r = Factor(out);
    if (r != Result::kValue) return r;
    while (tok_ == Tok::kMul || tok_ == Tok::kDiv) {
      const Tok op = tok_;
      Next();
      int64_t right;
      r = Factor(right);
      if (r == Result::kFail) return r;
      if (r == Result::kMissing) {
        if (tok_ == Tok::kMul || tok_ == Tok::kDiv) return Result::kFail;
        break;
      }
      if (op == Tok::kMul) {
        out = Wrap(static_cast<uint64_t>(out) * static_cast<uint64_t>(right));
      } else if (right == 0) {
        rt_.WriteLineSpoken(Ansi("Divisão por zero"));
        return Result::kFail;
      } else if (right == -1) {
        out = Wrap(0 - static_cast<uint64_t>(out));
      } else {
        out /= right;
      }
    }
    return Result::kValue;
  }

  Result Factor(int64_t& out) {
    switch (tok_) {
      case Tok::kNumber:
        out = number_;
        Next();
        return Result::kValue;
      case Tok::kOpen: {
        const Deeper deeper(depth_);
        if (depth_ > kMaxDepth) return Result::kFail;
        Next();
        const Result r = Expression(out);
        if (r != Result::kValue) return Result::kFail;
        if (tok_ != Tok::kClose) return Result::kFail;
        Next();
        return Result::kValue;
      }
      case Tok::kSub: {
        const Deeper deeper(depth_);
        if (depth_ > kMaxDepth) return Result::kFail;
        Next();
        const Result r = Factor(out);
        if (r != Result::kValue) return r;
        out = Wrap(0 - static_cast<uint64_t>(out));
        return Result::kValue;
      }
      default:
        return Result::kMissing;
    }
  }

  void Next() {
    while (!rest_.empty() && rest_[0] == ' ') rest_.remove_prefix(1);
    token_start_ = rest_;
    if (rest_.empty()) {
      tok_ = Tok::kEnd;
      return;
    }
    const unsigned char c = static_cast<unsigned char>(rest_[0]);
    switch (c) {
      case '(': tok_ = Tok::kOpen; rest_.remove_prefix(1); return;
      case ')': tok_ = Tok::kClose; rest_.remove_prefix(1); return;
      case '*': tok_ = Tok::kMul; rest_.remove_prefix(1); return;
      case '+': tok_ = Tok::kAdd; rest_.remove_prefix(1); return;
      case '-': tok_ = Tok::kSub; rest_.remove_prefix(1); return;
      case '/': tok_ = Tok::kDiv; rest_.remove_prefix(1); return;
      default: break;
    }
    if (c >= '0' && c <= '9') {
      uint32_t v = 0;
      while (!rest_.empty() && rest_[0] >= '0' && rest_[0] <= '9') {
        v = v * 10u + static_cast<uint32_t>(rest_[0] - '0');
        rest_.remove_prefix(1);
      }
      number_ = static_cast<int32_t>(v);
      tok_ = Tok::kNumber;
      return;
    }
    std::optional<int> slot;
    if (c == '$') {
      size_t n = 1;
      while (n < rest_.size() && IsLetterOrDigit(static_cast<unsigned char>(rest_[n]))) ++n;
      if (n > 1) slot = NameSlot(rt_, UpperText(rest_.substr(1, n - 1)));
      rest_.remove_prefix(n);
    } else if (IsLetter(c)) {
      slot = SimpleUpper(c);
      rest_.remove_prefix(1);
    } else {
      rest_.remove_prefix(1);
      tok_ = Tok::kBad;
      return;
    }
    const auto value = slot ? ToInteger(rt_.interp.variables.Slot(*slot)) : std::nullopt;
    if (!value) {
      tok_ = Tok::kBad;
      return;
    }
    number_ = *value;
    tok_ = Tok::kNumber;
  }

  // Brackets and signs nest by recursion; deeper than this the expression
  // fails rather than exhaust the stack (no one writes a thousand brackets).
  static constexpr int kMaxDepth = 1000;
  struct Deeper {
    int& depth;
    explicit Deeper(int& d) : depth(++d) {}
    ~Deeper() { --depth; }
  };

  Runtime& rt_;
  std::string_view& text_;
  int depth_ = 0;
  std::string_view rest_ = text_;
  std::string_view token_start_;
  Tok tok_ = Tok::kEnd;
  int64_t number_ = 0;
};

}  // namespace

bool EvaluateExpression(Runtime& rt, std::string_view& text, int64_t& result) {
  ExpressionParser parser(rt, text);
  const auto r = parser.Expression(result);
  if (r != ExpressionParser::Result::kValue) return false;
  parser.Finish();
  return true;
}

}  // namespace morventa
