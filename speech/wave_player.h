// The program's only path to the sound output for its own audio: recorded
// sound files, clicks and beeps, and the voices' samples. PCM is streamed in
// blocks of at most 8192 bytes through 16 slots allocated once; at most 16
// blocks (about 12 seconds of 11025 Hz 8-bit sound) are queued ahead. A
// pending key always interrupts it and stays in the console's queue.
//
// Finished blocks are learnt of while the console pumps (KeyPending, DelayMs,
// WaitEvents, TakeKey): the player hooks itself into every pump.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string_view>

#include "platform/audio/audio_output.h"
#include "speech/wave_image.h"

namespace morventa {

class ConsoleWindow;


// Shortens voiced speech by dropping every other pitch period, in place.
// 16-bit samples are first narrowed to 8-bit ones (the count halves). Returns
// the new byte count.
int CutPeriods(uint8_t* bytes, int count, int bits, int rate);

class WavePlayer {
 public:
  static constexpr int kBlockSize = 8192;
  static constexpr int kSlots = 16;
  static constexpr int kMaxQueued = 16;

  WavePlayer(ConsoleWindow& console, std::unique_ptr<AudioOutput> output);
  ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  // Plays a WAV file and, unless no_wait is set, waits for its end. Returns 0
  // when played or stopped by a key, -1 when the file cannot be opened or has
  // no "data" chunk, else the output's status. The path is Windows-1252.
  int PlayWaveFile(std::string_view ansi_path);
  // Plays an in-memory WAV image without waiting; -1 when it is malformed.
  int PlayWaveImage(std::span<const uint8_t> image);
  // Queues PCM samples; returns once the last block is queued: 0, or the
  // output's status when it cannot be opened in this format.
  int PlaySamples(const uint8_t* samples, size_t length, int rate, int channels, int bits);
  // True while blocks are queued; pumps the console, and a pending key
  // discards the queue.
  bool WaveBusy();
  // Discards every queued block.
  void WaveReset();

  // Set by the line editor while it runs: PlayWaveFile returns once queued.
  bool no_wait() const { return no_wait_; }
  void set_no_wait(bool on) { no_wait_ = on; }
  // Play everything at 1.5 times its rate.
  bool fast_flag() const { return fast_flag_; }
  void set_fast_flag(bool on) { fast_flag_ = on; }
  // Prefer the pre-shortened files of "rapido/" and drop pitch periods.
  bool cut_flag() const { return cut_flag_; }
  void set_cut_flag(bool on) { cut_flag_ = on; }

  int queued_blocks() const { return queued_blocks_; }

 private:
  int OpenFormat(const AudioFormat& format);
  void QueueBlock(const uint8_t* bytes, int count);
  void Poll();
  void BlockDone(const FinishedBlock& block);
  void WaitForMessages();

  ConsoleWindow& console_;
  std::unique_ptr<AudioOutput> output_;
  int pump_hook_ = 0;
  AudioFormat format_;
  bool has_format_ = false;
  std::unique_ptr<std::array<uint8_t, kBlockSize>[]> blocks_;
  std::unique_ptr<uint8_t[]> read_buffer_;
  std::unique_ptr<uint8_t[]> cut_buffer_;
  int last_slot_ = 0;
  int queued_blocks_ = 0;
  bool no_wait_ = false;
  bool fast_flag_ = false;
  bool cut_flag_ = false;
  // Blocks reported finished and not yet handled; handling one may wait for
  // Enter, and the pumps of that wait must not handle the next one.
  std::deque<FinishedBlock> finished_;
  bool handling_finished_ = false;
};

}  // namespace morventa
