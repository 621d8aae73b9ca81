#include "interpreter/control_flow.h"

#include <algorithm>

#include "interpreter/commands.h"
#include "interpreter/dispatch.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

enum class Op { kGe, kLe, kSame, kNe, kContains, kStartsWith, kEndsWith, kIn, kEq, kLt, kGt };

struct Operator {
  std::string_view text;  // compared after UpperText
  Op op;
};

// Tested in this order: longer operators first, so "<=" is never read as "<".
constexpr Operator kOperators[] = {
    {">=", Op::kGe}, {"<=", Op::kLe},         {"==", Op::kSame},     {"<>", Op::kNe},
    {"*=*", Op::kContains}, {"=*", Op::kStartsWith}, {"*=", Op::kEndsWith}, {"EM", Op::kIn},
    {"=", Op::kEq},  {"<", Op::kLt},          {">", Op::kGt},
};

// 1-based position of the first occurrence of needle, 0 when absent.
size_t Position(std::string_view hay, std::string_view needle) {
  const size_t at = hay.find(needle);
  return at == std::string_view::npos ? 0 : at + 1;
}

// A label argument: "@name" (no blank allowed) or a value naming the label.
bool TakeLabelArgument(Runtime& rt, std::string_view args, std::string& label) {
  if (!args.empty() && args[0] == '@') {
    label.assign(args.substr(1));
    return label.find(' ') == std::string::npos;
  }
  if (!EvaluateValue(rt, args, label)) return false;
  return args.empty();
}

// Upper-cases the caller's own copy of the label in place.
bool JumpToLabel(Runtime& rt, std::string& label) {
  for (char& c : label) c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
  const int line = rt.interp.script.FindLabel(label);
  if (line == 0) return false;
  rt.interp.current_line = line;
  return true;
}

void FindBlockEnd(Runtime& rt, ScriptStore::Block block) {
  const int end = rt.interp.script.NextBlockEnd(rt.interp.current_line, block);
  rt.interp.current_line = end ? end : rt.interp.script.line_count() + 1;
}

void SkipFalseBlock(Runtime& rt) {
  InterpreterState& s = rt.interp;
  int depth = 1;
  for (int n = s.current_line + 1; n <= s.script.line_count(); ++n) {
    const std::string& line = s.script.Normalised(n);
    if (line.compare(0, 3, "SE ") == 0) {
      std::string_view rest = std::string_view(line).substr(3);
      bool ignored;
      if (EvaluateCondition(rt, rest, ignored) && rest.empty()) ++depth;
    } else if (line == "FIM SE") {
      if (--depth == 0) {
        s.current_line = n;
        return;
      }
    } else if ((line == "SENAO" || line == "SEN\xC3O") && depth == 1) {
      s.current_line = n;
      return;
    }
  }
  s.current_line = s.script.line_count() + 1;
}

// A value's comparison form (ComparisonForm) read one character at a time in
// place: conditions run in every loop, and building the two forms cost more
// than the comparison itself.
class FormReader {
 public:
  explicit FormReader(std::string_view value) : value_(value) {
    numeric_ = true;
    for (char c : value) {
      if (c < '0' || c > '9') {
        numeric_ = false;
        break;
      }
    }
    if (numeric_) {
      // Twenty zeros in front, then the last 21 characters.
      const size_t padded = 20 + value.size();
      skip_ = padded > 21 ? padded - 21 : 0;
      size_ = padded - skip_;
    } else {
      size_ = value.size();
    }
  }
  size_t size() const { return size_; }
  unsigned char operator[](size_t i) const {
    if (!numeric_) return UpperChar(static_cast<unsigned char>(value_[i]));
    const size_t k = i + skip_;
    return k < 20 ? '0' : static_cast<unsigned char>(value_[k - 20]);
  }

 private:
  std::string_view value_;
  bool numeric_;
  size_t skip_ = 0;
  size_t size_;
};

bool AllDigits(std::string_view value) {
  for (char c : value)
    if (c < '0' || c > '9') return false;
  return true;
}

// Equal-length runs of bytes compared as unsigned, reduced to a sign.
int CompareBytes(std::string_view a, std::string_view b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
  }
  return 0;
}

// ComparisonForm(a).compare(ComparisonForm(b)), reduced to its sign.
int CompareForms(std::string_view a, std::string_view b) {
  if (!a.empty() && !b.empty() && AllDigits(a) && AllDigits(b)) {
    // Two numbers, the usual case in loops: both forms are 21 characters, the
    // last 21 digits with zeros in front, so only the digits need comparing.
    if (a.size() > 21) a.remove_prefix(a.size() - 21);
    if (b.size() > 21) b.remove_prefix(b.size() - 21);
    const int flip = a.size() < b.size() ? 1 : -1;  // make a the longer one
    if (flip == 1) std::swap(a, b);
    // The longer one's extra leading digits stand against zeros.
    const size_t extra = a.size() - b.size();
    for (size_t i = 0; i < extra; ++i) {
      if (a[i] != '0') return -flip;
    }
    return -flip * CompareBytes(a.substr(extra), b);
  }
  const FormReader fa(a), fb(b);
  const size_t common = std::min(fa.size(), fb.size());
  for (size_t i = 0; i < common; ++i) {
    if (fa[i] != fb[i]) return fa[i] < fb[i] ? -1 : 1;
  }
  return fa.size() < fb.size() ? -1 : (fa.size() > fb.size() ? 1 : 0);
}

// A line run by another line (single-line SE, CMD), within the nesting bound.
bool ExecuteNested(Runtime& rt, std::string_view line) {
  int& nesting = rt.interp.nesting;
  if (nesting >= InterpreterState::kMaxNesting) return false;
  struct Inside {
    int& nesting;
    explicit Inside(int& n) : nesting(++n) {}
    ~Inside() { --nesting; }
  } inside(nesting);
  return ExecuteLine(rt, line, true);
}

bool Repete(Runtime& rt, std::string_view args, bool continuing) {
  const auto slot = TakeVariable(rt, args);
  if (!slot || args.empty()) return false;
  int64_t start = 0;
  if (continuing) {
    const auto n = ToInteger(rt.interp.variables.Slot(*slot));
    if (!n) return false;
    start = *n;
  }
  int32_t limit;
  if (!EvaluateInteger(rt, args, limit)) return false;
  rt.interp.variables.Slot(*slot) = DecimalText(start + 1);
  if (limit < start + 1) FindBlockEnd(rt, ScriptStore::Block::kRepete);
  return true;
}

}  // namespace

std::string ComparisonForm(std::string_view value) {
  std::string form = UpperText(value);
  for (char c : form)
    if (c < '0' || c > '9') return form;
  // Twenty zeros in front, then the last 21 characters: the empty text keeps
  // just the twenty zeros.
  std::string padded = std::string(20, '0') + form;
  return padded.size() > 21 ? padded.substr(padded.size() - 21) : padded;
}

bool EvaluateCondition(Runtime& rt, std::string_view& text, bool& result) {
  if (text.empty()) return false;
  bool negate = false;
  if (StartsWithUpper(text, "N\xC3O") || StartsWithUpper(text, "NAO")) {
    text = TrimView(text.substr(3));
    if (text.empty()) return false;
    negate = true;
  }
  std::string a;
  if (!EvaluateValue(rt, text, a) || text.empty()) return false;
  const Operator* found = nullptr;
  for (const auto& candidate : kOperators) {
    if (StartsWithUpper(text, candidate.text)) {
      found = &candidate;
      break;
    }
  }
  if (!found) return false;
  text = TrimView(text.substr(found->text.size()));
  if (text.empty()) return false;

  bool truth = false;
  if (found->op == Op::kIn) {
    const auto name = TakeListName(text);
    if (!name) return false;
    const ListRecord* list = rt.interp.FindList(*name);
    if (!list) return false;
    const std::string form = ComparisonForm(a);
    for (const auto& item : list->items) {
      if (ComparisonForm(item) == form) {
        truth = true;
        break;
      }
    }
  } else {
    std::string b;
    if (!EvaluateValue(rt, text, b)) return false;
    switch (found->op) {
      case Op::kSame: truth = a == b; break;
      case Op::kContains: truth = !b.empty() && a.find(b) != std::string::npos; break;
      case Op::kStartsWith: truth = !b.empty() && Position(a, b) == 1; break;
      case Op::kEndsWith:
        truth = !b.empty() && static_cast<int64_t>(Position(a, b)) ==
                                  static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size()) + 1;
        break;
      default: {
        const int cmp = CompareForms(a, b);
        switch (found->op) {
          case Op::kEq: truth = cmp == 0; break;
          case Op::kNe: truth = cmp != 0; break;
          case Op::kLt: truth = cmp < 0; break;
          case Op::kGt: truth = cmp > 0; break;
          case Op::kLe: truth = cmp <= 0; break;
          case Op::kGe: truth = cmp >= 0; break;
          default: break;
        }
      }
    }
  }
  result = negate ? !truth : truth;
  text = TrimView(text);
  return true;
}

bool DesviaCommand(Runtime& rt, std::string_view args) {
  std::string label;
  return TakeLabelArgument(rt, args, label) && JumpToLabel(rt, label);
}

bool ChamaCommand(Runtime& rt, std::string_view args) {
  std::string label;
  if (!TakeLabelArgument(rt, args, label)) return false;
  auto& stack = rt.interp.return_stack;
  if (stack.size() >= InterpreterState::kMaxReturns) {
    rt.WriteLineSpoken("Muitas chamadas sem retorno");
    return false;
  }
  stack.push_back(rt.interp.current_line);
  return JumpToLabel(rt, label);
}

bool RetornaCommand(Runtime& rt, std::string_view args) {
  if (!args.empty()) return false;
  auto& stack = rt.interp.return_stack;
  if (stack.empty()) {
    rt.WriteLineSpoken(Ansi("Retorno sem chamada"));
    return false;
  }
  rt.interp.current_line = stack.back();
  stack.pop_back();
  return true;
}

bool TerminaCommand(Runtime& rt, std::string_view args) {
  rt.interp.stop_flag = true;
  rt.interp.quiet_end = EqualsUpper(args, "MUDO");
  return true;
}

bool CmdCommand(Runtime& rt, std::string_view args) {
  std::string line;
  if (!EvaluateValue(rt, args, line) || !args.empty()) return false;
  return ExecuteNested(rt, line);
}

bool SeCommand(Runtime& rt, std::string_view args) {
  bool truth;
  if (!EvaluateCondition(rt, args, truth)) return false;
  if (!args.empty()) return truth ? ExecuteNested(rt, args) : true;
  if (!truth) SkipFalseBlock(rt);
  return true;
}

bool SenaoCommand(Runtime& rt, std::string_view args) {
  if (!args.empty()) return false;
  FindBlockEnd(rt, ScriptStore::Block::kSe);
  return true;
}

bool EnquantoCommand(Runtime& rt, std::string_view args) {
  bool truth;
  if (!EvaluateCondition(rt, args, truth)) return false;
  if (!truth) FindBlockEnd(rt, ScriptStore::Block::kEnquanto);
  return true;
}

bool RepeteCommand(Runtime& rt, std::string_view args) { return Repete(rt, args, false); }

bool FimCommand(Runtime& rt, std::string_view args) {
  // Compared in place: FIM closes every round of every loop.
  if (args.empty()) return false;
  InterpreterState& s = rt.interp;
  if (EqualsUpper(args, "ENQUANTO")) {
    const int start = s.script.PreviousBlockStart(s.current_line, ScriptStore::Block::kEnquanto);
    if (start == 0) return false;
    s.current_line = start - 1;
    return true;
  }
  if (EqualsUpper(args, "REPETE")) {
    const int start = s.script.PreviousBlockStart(s.current_line, ScriptStore::Block::kRepete);
    if (start == 0) return false;
    s.current_line = start;
    std::string_view line = TrimView(s.script.Line(start));
    line = TrimView(line.substr(line.find(' ') + 1));
    return Repete(rt, line, true);
  }
  return true;
}

}  // namespace morventa
