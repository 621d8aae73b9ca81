// The console's queue of key bytes: at most 64, a function or cursor key being
// the byte 0 followed by its code. Each byte remembers the modifiers that were
// held when it was typed, so readers can ask about Shift or Alt afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

#include "console/front_end.h"

namespace morventa {

class KeyQueue {
 public:
  static constexpr size_t kCapacity = 64;

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  size_t room() const { return kCapacity - count_; }

  // Queues one byte when there is room; reports whether it was queued.
  bool Push(uint8_t byte, Modifiers mods = {}) {
    if (count_ >= kCapacity) return false;
    const size_t at = (head_ + count_) % kCapacity;
    bytes_[at] = byte;
    mods_[at] = mods;
    ++count_;
    return true;
  }
  // Queues 0 and the code only when both fit.
  bool PushExtended(uint8_t code, Modifiers mods = {}) {
    if (room() < 2) return false;
    Push(0, mods);
    Push(code, mods);
    return true;
  }
  uint8_t Front() const { return bytes_[head_]; }
  // Removes the first byte; the caller has checked that there is one.
  uint8_t Pop(Modifiers* mods = nullptr) {
    const uint8_t b = bytes_[head_];
    if (mods) *mods = mods_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return b;
  }
  void Clear() { head_ = count_ = 0; }

 private:
  uint8_t bytes_[kCapacity] = {};
  Modifiers mods_[kCapacity] = {};
  size_t head_ = 0;
  size_t count_ = 0;
};

}  // namespace morventa
