#include "tests/doubles/held_sound_device.h"

#include <utility>

namespace morventa::testing {
namespace {

class HeldDevice : public AudioOutput {
 public:
  explicit HeldDevice(std::shared_ptr<SoundDeviceLog> log) : log_(std::move(log)) {}

  int Open(const AudioFormat& f) override {
    log_->events.push_back("open " + std::to_string(f.rate) + "/" + std::to_string(f.bits) +
                           "/" + std::to_string(f.channels));
    open_ = log_->open_status == kAudioOk;
    return log_->open_status;
  }
  bool IsOpen() const override { return open_; }
  int Write(uint32_t tag, const uint8_t* bytes, size_t count) override {
    if (!open_) return kAudioInvalidHandle;
    log_->events.push_back("write " + std::to_string(tag) + " " + std::to_string(count));
    log_->blocks.emplace_back(bytes, bytes + count);
    queued_.push_back(tag);
    if (log_->on_write) log_->on_write();
    return kAudioOk;
  }
  std::vector<FinishedBlock> TakeFinished() override {
    for (int i = 0; i < log_->finish_per_poll && !queued_.empty(); ++i) {
      Finish(log_->finish_status);
    }
    return std::exchange(finished_, {});
  }
  void Reset() override {
    log_->events.push_back("reset");
    while (!queued_.empty()) Finish(kAudioOk);
  }
  void Close() override {
    if (!open_) return;
    log_->events.push_back("close");
    open_ = false;
    while (!queued_.empty()) Finish(kAudioOk);
  }

 private:
  void Finish(int status) {
    log_->events.push_back("finish " + std::to_string(queued_.front()));
    finished_.push_back({queued_.front(), status});
    queued_.pop_front();
  }

  std::shared_ptr<SoundDeviceLog> log_;
  bool open_ = false;
  std::deque<uint32_t> queued_;
  std::vector<FinishedBlock> finished_;
};

}  // namespace

std::unique_ptr<AudioOutput> HeldSoundDevice(std::shared_ptr<SoundDeviceLog> log) {
  return std::make_unique<HeldDevice>(std::move(log));
}

}  // namespace morventa::testing
