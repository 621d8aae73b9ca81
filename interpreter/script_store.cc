#include "interpreter/script_store.h"

#include "interpreter/text_rules.h"

namespace morventa {
namespace {

std::string NormaliseLine(std::string_view line) {
  const std::string upper = UpperText(TrimView(line));
  std::string out;
  out.reserve(upper.size());
  for (char c : upper) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

// The text before the first blank of the trimmed, upper-cased line; a line
// without a blank has no first word.
std::string_view FirstWord(const std::string& upper_trimmed) {
  const size_t blank = upper_trimmed.find(' ');
  if (blank == std::string::npos) return {};
  return std::string_view(upper_trimmed).substr(0, blank);
}

constexpr std::string_view kBlockWords[3] = {"SE", "ENQUANTO", "REPETE"};

}  // namespace

void ScriptStore::StoreLine(std::string_view text, int n) {
  if (n < 1 || n > kMaxLines) return;
  if (lines_.size() <= static_cast<size_t>(n)) lines_.resize(static_cast<size_t>(n) + 1);
  lines_[static_cast<size_t>(n)] = std::string(text);
  line_count_ = n;
  indexed_ = false;
}

void ScriptStore::Clear() {
  lines_.assign(1, std::string());
  line_count_ = 0;
  indexed_ = false;
}

void ScriptStore::BuildIndex() {
  const size_t count = lines_.size();
  normalised_.assign(count, std::string());
  labels_.clear();
  std::vector<std::string> upper_trimmed(count);
  for (size_t n = 1; n < count; ++n) {
    const std::string& line = lines_[n];
    normalised_[n] = NormaliseLine(line);
    upper_trimmed[n] = UpperText(TrimView(line));
    if (!line.empty() && line[0] == '@') labels_.emplace(UpperText(line.substr(1)), static_cast<int>(n));
  }
  for (int b = 0; b < 3; ++b) {
    const std::string end = "FIM " + std::string(kBlockWords[b]);
    next_end_[b].assign(count + 1, 0);
    int next = 0;
    for (size_t n = count; n-- > 1;) {
      next_end_[b][n] = next;  // strictly below line n
      if (normalised_[n] == end) next = static_cast<int>(n);
    }
    next_end_[b][0] = next;
    previous_start_[b].assign(count + 1, 0);
    int previous = 0;
    for (size_t n = 1; n <= count; ++n) {
      previous_start_[b][n] = previous;  // strictly above line n
      if (n < count && FirstWord(upper_trimmed[n]) == kBlockWords[b]) previous = static_cast<int>(n);
    }
  }
  indexed_ = true;
}

int ScriptStore::FindLabel(std::string_view upper_name) {
  if (!indexed_) BuildIndex();
  const auto it = labels_.find(upper_name);
  if (it == labels_.end() || it->second > line_count_) return 0;
  return it->second;
}

const std::string& ScriptStore::Normalised(int n) {
  if (!indexed_) BuildIndex();
  return normalised_[static_cast<size_t>(n)];
}

int ScriptStore::NextBlockEnd(int from, Block block) {
  if (!indexed_) BuildIndex();
  const auto& table = next_end_[static_cast<int>(block)];
  if (from < 0) from = 0;
  if (static_cast<size_t>(from) >= table.size() - 1) return 0;
  const int found = table[static_cast<size_t>(from)];
  return found <= line_count_ ? found : 0;
}

int ScriptStore::PreviousBlockStart(int from, Block block) {
  if (!indexed_) BuildIndex();
  const auto& table = previous_start_[static_cast<int>(block)];
  if (from < 1) return 0;
  if (static_cast<size_t>(from) >= table.size()) from = static_cast<int>(table.size()) - 1;
  return table[static_cast<size_t>(from)];
}

}  // namespace morventa
