// The stored script and the facts the control-flow commands look up in it.
// Lines never change once the run starts, so labels and block lines are
// indexed once instead of searched on every jump.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morventa {

class ScriptStore {
 public:
  static constexpr int kMaxLines = 5000;

  // Stores the text in slot n (1..5000) and makes n the line count.
  void StoreLine(std::string_view text, int n);
  const std::string& Line(int n) const { return lines_[static_cast<size_t>(n)]; }
  int line_count() const { return line_count_; }
  void set_line_count(int n) { line_count_ = n; }
  void Clear();

  // Line of the first label equal to the upper-cased name, or 0.
  int FindLabel(std::string_view upper_name);
  // The trimmed, upper-cased line with runs of blanks reduced to one.
  const std::string& Normalised(int n);
  // First line below `from` whose normalised form is "FIM " + word, or 0.
  enum class Block { kSe, kEnquanto, kRepete };
  int NextBlockEnd(int from, Block block);
  // Nearest line above `from` whose first word is ENQUANTO or REPETE, or 0.
  int PreviousBlockStart(int from, Block block);

 private:
  void BuildIndex();

  std::vector<std::string> lines_{1};
  int line_count_ = 0;
  bool indexed_ = false;
  std::vector<std::string> normalised_;
  // Looked up by string_view, so that a jump builds no string.
  struct LabelHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  std::unordered_map<std::string, int, LabelHash, std::equal_to<>> labels_;
  // For each line, the next block end below it and the nearest start above it.
  std::vector<int> next_end_[3];
  std::vector<int> previous_start_[3];
};

}  // namespace morventa
