// Script variables and the scanners every command reads its arguments with.
// Each scanner consumes what it recognises from the front of the argument and
// leaves the rest trimmed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morventa {

class Runtime;

class VariableTable {
 public:
  static constexpr int kFirstSlot = 65;   // "A"
  static constexpr int kFirstNameSlot = 91;
  static constexpr int kSlotCount = 127;  // 26 letters and 101 names
  static constexpr size_t kMaxNames = kSlotCount - (kFirstNameSlot - kFirstSlot);

  std::string& Slot(int slot) { return slots_[slot - kFirstSlot]; }
  // The slot of an upper-cased name, entering it on first use; none when the
  // table is full.
  std::optional<int> SlotOfName(std::string_view upper_name);
  void Clear();

 private:
  std::array<std::string, kSlotCount> slots_;
  std::vector<std::string> names_;
};

std::optional<int> TakeVariable(Runtime& rt, std::string_view& text);
std::optional<int> TakeName(Runtime& rt, std::string_view& text);
bool EvaluateValue(Runtime& rt, std::string_view& text, std::string& value);
// A channel "#0".."#9"; returns the digit.
std::optional<int> TakeChannel(std::string_view& text);
std::optional<std::string> TakeListName(std::string_view& text);
// The bracketed expression after its "(" ; text is left at the first token
// that could not continue it.
bool EvaluateExpression(Runtime& rt, std::string_view& text, int64_t& result);

// Reads a value and converts it to an integer; fails when either fails.
bool EvaluateInteger(Runtime& rt, std::string_view& text, int32_t& result);

}  // namespace morventa
