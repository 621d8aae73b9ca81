// libFuzzer entry: see ExecuteLineInput in targets.h.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  morventa::fuzz::ExecuteLineInput(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
