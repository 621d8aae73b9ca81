// Everything played, appended to one WAV file, for sighted helpers and tests
// to listen to or inspect afterwards. Every block is finished as soon as it is
// written.
//
// The file is started afresh at the first open of the run, in the format of
// that open, and keeps that format: a WAV file has one format, so blocks
// played later in another format (the Portuguese voice's 16-bit sound after
// the recorded 8-bit words, or a faster rate) are converted to it — channels
// mixed or doubled, bits widened or narrowed, the rate changed by repeating or
// dropping frames. The header is rewritten after every block, so the file is a
// valid WAV file at any moment, even if the program is killed.
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/audio/audio_output.h"

namespace morventa {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void PutLe(uint8_t* at, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

class FileAudioOutput : public AudioOutput {
 public:
  explicit FileAudioOutput(std::string path) : path_(std::move(path)) {}

  int Open(const AudioFormat& format) override {
    if (!PlayableFormat(format)) return kAudioBadFormat;
    if (!file_) {
      file_.reset(std::fopen(path_.c_str(), "w+b"));
      if (!file_) return kAudioError;
      file_format_ = format;
      data_bytes_ = 0;
      if (!WriteHeader()) return kAudioError;
    }
    format_ = format;
    phase_ = 0;
    open_ = true;
    return kAudioOk;
  }

  bool IsOpen() const override { return open_; }

  int Write(uint32_t tag, const uint8_t* bytes, size_t count) override {
    if (!open_) return kAudioInvalidHandle;
    const uint8_t* out = bytes;
    size_t out_count = count;
    if (!(format_ == file_format_)) {
      Convert(bytes, count);
      out = converted_.data();
      out_count = converted_.size();
    }
    if (data_bytes_ + out_count > kMaxDataBytes) return kAudioNoMemory;
    if (std::fseek(file_.get(), 0, SEEK_END) != 0 ||
        std::fwrite(out, 1, out_count, file_.get()) != out_count) {
      return kAudioError;
    }
    data_bytes_ += out_count;
    if (!WriteHeader()) return kAudioError;
    finished_.push_back({tag, kAudioOk});
    return kAudioOk;
  }

  std::vector<FinishedBlock> TakeFinished() override { return std::exchange(finished_, {}); }
  void Reset() override {}
  void Close() override { open_ = false; }

 private:
  static constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

  bool WriteHeader() {
    uint8_t header[44];
    std::memcpy(header, "RIFF", 4);
    PutLe(header + 4, static_cast<uint32_t>(data_bytes_ + 36), 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutLe(header + 16, 16, 4);
    PutLe(header + 20, 1, 2);
    PutLe(header + 22, file_format_.channels, 2);
    PutLe(header + 24, file_format_.rate, 4);
    PutLe(header + 28, file_format_.rate * file_format_.BlockAlign(), 4);
    PutLe(header + 32, file_format_.BlockAlign(), 2);
    PutLe(header + 34, file_format_.bits, 2);
    std::memcpy(header + 36, "data", 4);
    PutLe(header + 40, static_cast<uint32_t>(data_bytes_), 4);
    return std::fseek(file_.get(), 0, SEEK_SET) == 0 &&
           std::fwrite(header, 1, sizeof header, file_.get()) == sizeof header &&
           std::fflush(file_.get()) == 0;
  }

  // One frame of the played format as 16-bit values, one per channel.
  void ReadFrame(const uint8_t* at, int (&values)[2]) const {
    for (int c = 0; c < format_.channels; ++c) {
      if (format_.bits == 8) {
        values[c] = (at[c] - 128) * 256;
      } else {
        values[c] = static_cast<int16_t>(at[2 * c] | (at[2 * c + 1] << 8));
      }
    }
  }

  void WriteFrame(const int (&values)[2]) {
    int out[2];
    if (file_format_.channels == format_.channels) {
      out[0] = values[0];
      out[1] = values[1];
    } else if (file_format_.channels == 1) {
      out[0] = (values[0] + values[1]) / 2;
    } else {
      out[0] = out[1] = values[0];
    }
    for (int c = 0; c < file_format_.channels; ++c) {
      if (file_format_.bits == 8) {
        converted_.push_back(static_cast<uint8_t>((out[c] >> 8) + 128));
      } else {
        converted_.push_back(static_cast<uint8_t>(out[c] & 0xFF));
        converted_.push_back(static_cast<uint8_t>((out[c] >> 8) & 0xFF));
      }
    }
  }

  void Convert(const uint8_t* bytes, size_t count) {
    converted_.clear();
    const int align = format_.BlockAlign();
    for (size_t at = 0; at + align <= count; at += align) {
      int values[2] = {0, 0};
      ReadFrame(bytes + at, values);
      // Each source frame is written as often as the file's clock ticks
      // during it; the phase carries over from block to block.
      phase_ += file_format_.rate;
      while (phase_ >= format_.rate) {
        WriteFrame(values);
        phase_ -= format_.rate;
      }
    }
  }

  std::string path_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  AudioFormat file_format_;
  AudioFormat format_;
  bool open_ = false;
  uint64_t data_bytes_ = 0;
  int64_t phase_ = 0;
  std::vector<uint8_t> converted_;
  std::vector<FinishedBlock> finished_;
};

}  // namespace

std::unique_ptr<AudioOutput> MakeFileAudioOutput(std::string path) {
  return std::make_unique<FileAudioOutput>(std::move(path));
}

}  // namespace morventa
