// A stand-in for a sound card: it keeps every block queued until the test
// lets blocks finish, gives them back with the status the test chooses, and
// logs what it was asked to do.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_output.h"

namespace morventa::testing {

struct SoundDeviceLog {
  // "open RATE/BITS/CHANNELS", "write TAG COUNT", "finish TAG", "reset", "close".
  std::vector<std::string> events;
  std::vector<std::vector<uint8_t>> blocks;  // the bytes of every write

  // What the device does.
  int open_status = kAudioOk;
  // Blocks that finish at each poll; 0 keeps them queued until a reset.
  int finish_per_poll = 1;
  int finish_status = kAudioOk;  // carried by every finished block
  // Runs after each write (a test types a key here to press it mid-play).
  std::function<void()> on_write;

  int writes() const { return static_cast<int>(blocks.size()); }
};

std::unique_ptr<AudioOutput> HeldSoundDevice(std::shared_ptr<SoundDeviceLog> log);

}  // namespace morventa::testing
