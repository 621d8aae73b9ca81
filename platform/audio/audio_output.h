// The sound output as the wave player needs it: open with a PCM format, write
// one block at a time, learn which blocks have finished when polled, discard
// everything queued, close. The backend is chosen in one place, by
// MORVENTA_AUDIO:
//   unset, empty or "device"  the sound device (SDL2 audio over PulseAudio,
//                             PipeWire or ALSA);
//   "null"                    discards everything, each block finishes at once;
//   "file:PATH"               appends everything played to the WAV file PATH,
//                             each block finishes at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morventa {

// Status codes every backend speaks. The values are the wave-output error
// numbers users of this system have always seen, so one table of messages
// serves every backend.
enum AudioStatus : int {
  kAudioOk = 0,
  kAudioError = 1,           // unspecified failure (a file that cannot be written)
  kAudioInvalidHandle = 5,   // the output is not open
  kAudioNoDriver = 6,        // no sound device, or it went away
  kAudioNoMemory = 7,        // the block could not be taken
  kAudioBadFormat = 32,      // a format the output cannot play
  kAudioStillPlaying = 33,   // a block came back while still queued
};

struct AudioFormat {
  int rate = 11025;   // frames per second
  int bits = 8;       // 8 (unsigned) or 16 (signed, little-endian)
  int channels = 1;   // 1 or 2
  bool operator==(const AudioFormat&) const = default;
  int BlockAlign() const { return channels * bits / 8; }
};

// The formats every backend plays.
bool PlayableFormat(const AudioFormat& format);

struct FinishedBlock {
  uint32_t tag = 0;   // as given to Write
  int status = kAudioOk;
};

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Opens the output in a format; kAudioOk or the failure's status. Opening
  // an open output closes it first.
  virtual int Open(const AudioFormat& format) = 0;
  virtual bool IsOpen() const = 0;
  // Queues one block of samples in the open format; the bytes are copied. A
  // block refused here (non-zero status) never comes back as finished.
  virtual int Write(uint32_t tag, const uint8_t* bytes, size_t count) = 0;
  // The blocks that finished since the last call, in the order written.
  virtual std::vector<FinishedBlock> TakeFinished() = 0;
  // Discards everything queued; those blocks come back as finished.
  virtual void Reset() = 0;
  // Closes the output; blocks still queued come back as finished.
  virtual void Close() = 0;
};

// The backend a MORVENTA_AUDIO value names (see above).
std::unique_ptr<AudioOutput> MakeAudioOutput(std::string_view selection);
// The backend the environment names. A second stream of sound beside the
// main one (the console's tone) gives its name: with "file:PATH" it goes to
// its own file, PATH with ".NAME" before the extension.
std::unique_ptr<AudioOutput> AudioOutputFromEnvironment(std::string_view stream = {});

// The backends themselves, for the chooser and for tests that need one.
std::unique_ptr<AudioOutput> MakeDeviceAudioOutput();
std::unique_ptr<AudioOutput> MakeNullAudioOutput();
// path is a Linux (UTF-8) path.
std::unique_ptr<AudioOutput> MakeFileAudioOutput(std::string path);

}  // namespace morventa
