#include "speech/wave_player.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "console/console_window.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

// How long a wait for "the next message" lasts when nothing else wakes it:
// finished blocks are found by polling.
constexpr int kMessageWaitMs = 10;
constexpr int kQueueFullSleepMs = 10;
constexpr int kSlotWaitTries = 40;
constexpr int kSlotWaitSleepMs = 50;
// The smallest block sent to the output: shorter ones click on some devices.
constexpr int kMinimumBlock = 256;

struct BlockError {
  int status;
  const char* message;
};

// Messages for the statuses a finished block can carry; any other non-zero
// status waits for Enter without a message.
constexpr BlockError kBlockErrors[] = {
    {kAudioInvalidHandle, "Specified device handle is invalid."},
    {kAudioNoDriver, "No device driver is present."},
    {kAudioNoMemory, "Unable to allocate or lock memory."},
    {kAudioStillPlaying, "The data block pointed to by the pwh parameter is still in queue"},
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

uint32_t Le32(const uint8_t* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}
uint16_t Le16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

// RIFF chunks are padded to an even length.
uint64_t PaddedLength(uint32_t length) { return length + (length & 1u); }

// Restores a flag when leaving a scope, also when the console closes under us.
class FlagRestore {
 public:
  FlagRestore(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~FlagRestore() { flag_ = saved_; }
  FlagRestore(const FlagRestore&) = delete;
  FlagRestore& operator=(const FlagRestore&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

// Position of the largest byte in a..b (the first one on ties), b clipped to
// the data.
int Peak(const uint8_t* bytes, int count, int a, int b) {
  b = std::min(b, count - 1);
  int best = a;
  for (int i = a + 1; i <= b; ++i) {
    if (bytes[i] > bytes[best]) best = i;
  }
  return best;
}

}  // namespace

int CutPeriods(uint8_t* bytes, int count, int bits, int rate) {
  if (bits == 16) {
    // The high byte of each sample, made unsigned.
    for (int i = 0; i < count / 2; ++i) bytes[i] = bytes[2 * i + 1] ^ 0x80;
    count /= 2;
  }
  if (count < 1000) return count;
  // Pitch periods of a speaking voice, in samples: the search steps over at
  // least skip samples and looks window samples further for the next peak.
  const bool recorded_rate = rate == kImageRate;
  const int start = recorded_rate ? 200 : 800;
  const int skip = recorded_rate ? 80 : 320;
  const int window = recorded_rate ? 50 : 200;

  int read = Peak(bytes, count, start, start + skip + window);
  int write = read;
  while (read < count - 2 * (skip + window)) {
    // The period from read to a is dropped, the one from a to b kept.
    const int a = Peak(bytes, count, read + skip, read + skip + window);
    const int b = Peak(bytes, count, a + skip, a + skip + window);
    std::memmove(bytes + write, bytes + a, b - a + 1);
    write += b - a + 1;
    read = b;
  }
  // End on a quiet sample, so the shortened block does not end in a click.
  while (std::abs(bytes[write] - kSilence) > 20 && read < count) bytes[write++] = bytes[read++];
  return write;
}

WavePlayer::WavePlayer(ConsoleWindow& console, std::unique_ptr<AudioOutput> output)
    : console_(console),
      output_(std::move(output)),
      blocks_(std::make_unique<std::array<uint8_t, kBlockSize>[]>(kSlots)),
      read_buffer_(std::make_unique<uint8_t[]>(kBlockSize)),
      cut_buffer_(std::make_unique<uint8_t[]>(kBlockSize)) {
  pump_hook_ = console_.AddPumpHook([this] { Poll(); });
}

WavePlayer::~WavePlayer() {
  console_.RemovePumpHook(pump_hook_);
  output_->Close();
}

void WavePlayer::WaitForMessages() { console_.WaitEvents(kMessageWaitMs); }

void WavePlayer::Poll() {
  for (const FinishedBlock& block : output_->TakeFinished()) finished_.push_back(block);
  if (handling_finished_) return;
  FlagRestore handling(handling_finished_, true);
  while (!finished_.empty()) {
    const FinishedBlock block = finished_.front();
    finished_.pop_front();
    BlockDone(block);
  }
}

void WavePlayer::BlockDone(const FinishedBlock& block) {
  if (block.status != kAudioOk) {
    for (const BlockError& error : kBlockErrors) {
      if (error.status != block.status) continue;
      console_.PutText(error.message);
      console_.PutText("\r\n");
    }
    while (console_.TakeKey() != 13) {
    }
  }
  if (queued_blocks_ > 0) --queued_blocks_;
}

bool WavePlayer::WaveBusy() {
  if (console_.KeyPending()) WaveReset();
  return queued_blocks_ > 0;
}

void WavePlayer::WaveReset() {
  if (output_->IsOpen() && queued_blocks_ > 0) {
    output_->Reset();
    console_.WaitEvents(0);
  }
}

int WavePlayer::OpenFormat(const AudioFormat& format) {
  if (!has_format_ || !(format == format_)) {
    while (WaveBusy()) WaitForMessages();
    if (output_->IsOpen()) output_->Close();
    format_ = format;
    has_format_ = true;
  }
  if (!output_->IsOpen()) return output_->Open(format_);
  return kAudioOk;
}

void WavePlayer::QueueBlock(const uint8_t* bytes, int count) {
  for (int i = 0; i < kSlotWaitTries && queued_blocks_ >= kMaxQueued; ++i) {
    console_.DelayMs(kSlotWaitSleepMs);
  }
  if (queued_blocks_ >= kMaxQueued) return;  // dropped without notice
  ++queued_blocks_;
  const int slot = last_slot_ % kSlots + 1;
  last_slot_ = slot;
  uint8_t* block = blocks_[slot - 1].data();
  std::memcpy(block, bytes, count);
  int length = count;
  if (format_.bits == 8 && format_.channels == 1) {
    if (count < kMinimumBlock) {
      std::memset(block + count, kSilence, kMinimumBlock - count);
      length = kMinimumBlock;
    }
    // A block that stops short of full ends on silence: no click between it
    // and whatever plays next.
    if (count != kBlockSize) block[length - 1] = kSilence;
  }
  if (output_->Write(static_cast<uint32_t>(slot), block, length) != kAudioOk) --queued_blocks_;
}

int WavePlayer::PlaySamples(const uint8_t* samples, size_t length, int rate, int channels,
                            int bits) {
  if (fast_flag_) rate = static_cast<int>(std::nearbyint(rate * 1.5));
  const bool cut = cut_flag_ && channels == 1;
  const int device_bits = cut && bits == 16 ? 8 : bits;
  const int status = OpenFormat({rate, device_bits, channels});
  if (status != kAudioOk) return status;
  while (length > 0) {
    while (queued_blocks_ >= kMaxQueued) {
      if (console_.KeyPending()) {
        WaveReset();
        return kAudioOk;
      }
      console_.DelayMs(kQueueFullSleepMs);
    }
    if (console_.KeyPending()) {
      WaveReset();
      break;
    }
    const int n = static_cast<int>(std::min<size_t>(length, kBlockSize));
    if (cut) {
      std::memcpy(cut_buffer_.get(), samples, n);
      QueueBlock(cut_buffer_.get(), CutPeriods(cut_buffer_.get(), n, bits, rate));
    } else {
      QueueBlock(samples, n);
    }
    samples += n;
    length -= n;
  }
  return kAudioOk;
}

int WavePlayer::PlayWaveImage(std::span<const uint8_t> image) {
  const uint8_t* at = image.data();
  if (image.size() < 36 || std::memcmp(at, "RIFF", 4) != 0 ||
      std::memcmp(at + 12, "fmt ", 4) != 0) {
    return -1;
  }
  const uint32_t format_length = Le32(at + 16);
  if (format_length < 16 || 20 + uint64_t{format_length} > image.size()) return -1;
  const int channels = Le16(at + 22);
  const int rate = static_cast<int>(Le32(at + 24));
  const int bits = Le16(at + 34);
  for (uint64_t chunk = 20 + PaddedLength(format_length); chunk + 8 <= image.size();) {
    const uint32_t chunk_length = Le32(at + chunk + 4);
    if (std::memcmp(at + chunk, "data", 4) == 0) {
      const size_t data_length =
          std::min<uint64_t>(chunk_length, image.size() - (chunk + 8));
      return PlaySamples(at + chunk + 8, data_length, rate, channels, bits);
    }
    chunk += 8 + PaddedLength(chunk_length);
  }
  return -1;
}

int WavePlayer::PlayWaveFile(std::string_view ansi_path) {
  if (console_.KeyPending()) {
    WaveReset();
    return 0;
  }
  if (cut_flag_) {
    // A pre-shortened recording beats one shortened on the fly.
    const size_t slash = ansi_path.rfind('/');
    const size_t name_at = slash == std::string_view::npos ? 0 : slash + 1;
    std::string fast_path(ansi_path.substr(0, name_at));
    fast_path += "rapido/";
    fast_path += ansi_path.substr(name_at);
    std::error_code error;
    if (std::filesystem::is_regular_file(AnsiToUtf8(fast_path), error)) {
      FlagRestore uncut(cut_flag_, false);
      return PlayWaveFile(fast_path);
    }
  }

  File file(std::fopen(AnsiToUtf8(ansi_path).c_str(), "rb"));
  if (!file) return -1;
  uint8_t header[16];
  if (std::fread(header, 1, 12, file.get()) != 12 ||
      strncasecmp(reinterpret_cast<const char*>(header), "RIFF", 4) != 0) {
    return -1;
  }
  if (std::fread(header, 1, 8, file.get()) != 8 || std::memcmp(header, "fmt ", 4) != 0) return -1;
  const uint32_t format_length = Le32(header + 4);
  if (format_length < 16 || std::fread(header, 1, 16, file.get()) != 16) return -1;
  const int channels = Le16(header + 2);
  const int rate = static_cast<int>(Le32(header + 4));
  const int bits = Le16(header + 14);
  if (std::fseek(file.get(), static_cast<long>(PaddedLength(format_length) - 16), SEEK_CUR) != 0) {
    return -1;
  }

  uint32_t remaining = 0;
  for (;;) {
    if (std::fread(header, 1, 8, file.get()) != 8) return -1;
    const uint32_t chunk_length = Le32(header + 4);
    if (std::memcmp(header, "data", 4) == 0) {
      remaining = chunk_length;
      break;
    }
    if (std::fseek(file.get(), static_cast<long>(PaddedLength(chunk_length)), SEEK_CUR) != 0) {
      return -1;
    }
  }

  int result = 0;
  while (remaining > 0) {
    // Pieces of a full block, except that a rest just over one block is
    // split so that the last piece still holds at least 256 bytes.
    size_t piece = std::min<uint32_t>(remaining, kBlockSize);
    if (remaining > kBlockSize && remaining < kBlockSize + kMinimumBlock) {
      piece = kBlockSize - kMinimumBlock;
    }
    const size_t got = std::fread(read_buffer_.get(), 1, piece, file.get());
    if (got == 0) break;
    result = PlaySamples(read_buffer_.get(), got, rate, channels, bits);
    remaining -= static_cast<uint32_t>(got);
    if (result != 0 || console_.KeyPending()) break;
  }
  file.reset();
  if (!no_wait_) {
    while (WaveBusy()) WaitForMessages();
  }
  return result;
}

}  // namespace morventa
