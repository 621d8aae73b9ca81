// The sound device through SDL2 audio, which picks PulseAudio, PipeWire or
// ALSA underneath. Blocks are pushed into SDL's queue; a block has finished
// once the device has pulled all its bytes out of that queue, which polling
// the queued amount tells.
#include <SDL.h>

#include <deque>
#include <utility>

#include "platform/audio/audio_output.h"

namespace morventa {
namespace {

// Frames per device buffer: small, so that a block counted as finished is
// heard within a few milliseconds.
constexpr Uint16 kDeviceBufferFrames = 512;

class DeviceAudioOutput : public AudioOutput {
 public:
  DeviceAudioOutput() = default;
  DeviceAudioOutput(const DeviceAudioOutput&) = delete;
  DeviceAudioOutput& operator=(const DeviceAudioOutput&) = delete;
  ~DeviceAudioOutput() override {
    Close();
    if (sdl_started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  int Open(const AudioFormat& format) override {
    Close();
    if (!PlayableFormat(format)) return kAudioBadFormat;
    if (!StartSdl()) return kAudioNoDriver;
    SDL_AudioSpec want{};
    want.freq = format.rate;
    want.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = static_cast<Uint8>(format.channels);
    want.samples = kDeviceBufferFrames;
    want.callback = nullptr;  // queued: SDL_QueueAudio
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to what the hardware takes, and its
    // queue keeps counting bytes of our own format.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) return kAudioNoDriver;
    drain_ms_ = static_cast<Uint32>(have.samples) * 1000 / static_cast<Uint32>(have.freq) + 5;
    written_ = 0;
    SDL_PauseAudioDevice(device_, 0);
    return kAudioOk;
  }

  bool IsOpen() const override { return device_ != 0; }

  int Write(uint32_t tag, const uint8_t* bytes, size_t count) override {
    if (device_ == 0) return kAudioInvalidHandle;
    if (SDL_QueueAudio(device_, bytes, static_cast<Uint32>(count)) != 0) return kAudioNoMemory;
    written_ += count;
    queued_.push_back({tag, written_});
    return kAudioOk;
  }

  std::vector<FinishedBlock> TakeFinished() override {
    if (device_ != 0) {
      if (SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
        // The device went away (unplugged, server gone). The user hears of it
        // once, with the first block it took along; the output closes, and
        // the next sound opens the default device again.
        bool first = true;
        for (const Queued& q : queued_) {
          finished_.push_back({q.tag, first ? kAudioNoDriver : kAudioOk});
          first = false;
        }
        queued_.clear();
        SDL_CloseAudioDevice(device_);
        device_ = 0;
      } else {
        const uint64_t played = written_ - SDL_GetQueuedAudioSize(device_);
        while (!queued_.empty() && queued_.front().end <= played) {
          finished_.push_back({queued_.front().tag, kAudioOk});
          queued_.pop_front();
        }
      }
    }
    return std::exchange(finished_, {});
  }

  void Reset() override {
    if (device_ != 0) SDL_ClearQueuedAudio(device_);
    FinishAllQueued();
  }

  void Close() override {
    if (device_ == 0) return;
    // What already left the queue sits in the device's buffer: let it be heard.
    if (written_ > 0 && SDL_GetQueuedAudioSize(device_) == 0) SDL_Delay(drain_ms_);
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    FinishAllQueued();
  }

 private:
  struct Queued {
    uint32_t tag;
    uint64_t end;  // written_ once this block was queued
  };

  bool StartSdl() {
    if (sdl_started_) return true;
    // Without any sound system there is nothing to retry during the run.
    if (sdl_failed_) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      sdl_failed_ = true;
      return false;
    }
    sdl_started_ = true;
    return true;
  }

  void FinishAllQueued() {
    for (const Queued& q : queued_) finished_.push_back({q.tag, kAudioOk});
    queued_.clear();
  }

  bool sdl_started_ = false;
  bool sdl_failed_ = false;
  SDL_AudioDeviceID device_ = 0;
  Uint32 drain_ms_ = 0;
  uint64_t written_ = 0;
  std::deque<Queued> queued_;
  std::vector<FinishedBlock> finished_;
};

}  // namespace

std::unique_ptr<AudioOutput> MakeDeviceAudioOutput() {
  return std::make_unique<DeviceAudioOutput>();
}

}  // namespace morventa
