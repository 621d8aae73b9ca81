// Conditions shared by SE and ENQUANTO, and the comparison form of values.
#pragma once

#include <string>
#include <string_view>

namespace morventa {

class Runtime;

// Non-negative integers of up to 21 digits compare by value; everything else
// as upper-cased text.
std::string ComparisonForm(std::string_view value);

// Reads a condition from the front of text; on success sets result and leaves
// text trimmed after it.
bool EvaluateCondition(Runtime& rt, std::string_view& text, bool& result);

}  // namespace morventa
