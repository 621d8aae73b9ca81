// The output that plays nothing: every block is finished as soon as it is
// written, so waits for the end of speech end at once.
#include "platform/audio/audio_output.h"

#include <utility>

namespace morventa {
namespace {

class NullAudioOutput : public AudioOutput {
 public:
  int Open(const AudioFormat& format) override {
    if (!PlayableFormat(format)) return kAudioBadFormat;
    open_ = true;
    return kAudioOk;
  }
  bool IsOpen() const override { return open_; }
  int Write(uint32_t tag, const uint8_t*, size_t) override {
    if (!open_) return kAudioInvalidHandle;
    finished_.push_back({tag, kAudioOk});
    return kAudioOk;
  }
  std::vector<FinishedBlock> TakeFinished() override { return std::exchange(finished_, {}); }
  void Reset() override {}
  void Close() override { open_ = false; }

 private:
  bool open_ = false;
  std::vector<FinishedBlock> finished_;
};

}  // namespace

std::unique_ptr<AudioOutput> MakeNullAudioOutput() { return std::make_unique<NullAudioOutput>(); }

}  // namespace morventa
