// The interpreter's run state, cleared by ResetInterpreter at program start.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/script_store.h"
#include "interpreter/variables.h"

namespace morventa {

struct ListRecord {
  std::string name;
  std::vector<std::string> items;
};

struct InterpreterState {
  static constexpr size_t kMaxReturns = 20;
  static constexpr size_t kMaxLists = 20;
  // Lines run inside other lines (by a single-line SE or by CMD) nest: a CMD
  // may run itself, a line may chain SE after SE. Deeper than this the inner
  // line fails instead of exhausting the stack.
  static constexpr int kMaxNesting = 200;

  ScriptStore script;
  int current_line = 1;
  bool fail_flag = false;
  bool stop_flag = false;
  bool quiet_end = false;
  std::string command_word;
  bool debug_trace = false;
  int32_t elapsed_base_time = 0;  // hundredths of a second since midnight
  int elapsed_base_weekday = 0;
  VariableTable variables;
  std::vector<int> return_stack;
  int nesting = 0;  // lines running inside one another now
  std::array<std::unique_ptr<ListRecord>, kMaxLists> lists;
  uint32_t random_seed = 0;
  // Set only while a bounded run lasts (RunLimits::allow_command).
  bool (*allow_command)(std::string_view upper_word) = nullptr;

  ListRecord* FindList(const std::string& name) {
    for (auto& l : lists)
      if (l && l->name == name) return l.get();
    return nullptr;
  }
};

}  // namespace morventa
