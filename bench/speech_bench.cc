// The console's own voice beside espeak-ng, one sentence, one run.
//
// Ours: SpeechService::SpeakText on a whole runtime, with the voice data the
// build recorded, into a sound output of this program's own that finishes
// every block at once and notes when the first one arrives. espeak-ng: its
// Brazilian Portuguese voice in this process, synchronous, samples through
// the synth callback.
//
// For each: the time from the call to the first samples handed on (ours: the
// first block written to the sound output; espeak-ng: the first callback with
// samples), and the real-time factor, seconds of sound made per second of
// CPU time (CLOCK_PROCESS_CPUTIME_ID) over many repetitions.
//
//   speech_bench [--repetitions N]
#include <espeak-ng/speak_lib.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "platform/audio/audio_output.h"
#include "system/text_encoding.h"
#include "tests/doubles/recording_front_end.h"

namespace morventa {
namespace {

using Clock = std::chrono::steady_clock;

// Ten words and no punctuation: no pauses, nothing but speech.
constexpr const char* kSentence = "o menino comprou um livro novo para estudar com amigos";

constexpr double kAimFirstBlockMs = 1.0;
constexpr double kAimRealTimeFactor = 1500.0;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// What one utterance handed on: when its first samples came and how much
// sound it made.
struct Probe {
  std::optional<Clock::time_point> first;
  double seconds = 0;

  void Clear() { *this = Probe{}; }
  void Samples(double audio_seconds) {
    if (!first) first = Clock::now();
    seconds += audio_seconds;
  }
};

// A sound output that plays nothing and finishes every block at once.
class ProbeAudioOutput : public AudioOutput {
 public:
  explicit ProbeAudioOutput(Probe& probe) : probe_(probe) {}

  int Open(const AudioFormat& format) override {
    format_ = format;
    open_ = true;
    return kAudioOk;
  }
  bool IsOpen() const override { return open_; }
  int Write(uint32_t tag, const uint8_t*, size_t count) override {
    if (!open_) return kAudioInvalidHandle;
    probe_.Samples(static_cast<double>(count) / format_.BlockAlign() / format_.rate);
    finished_.push_back(FinishedBlock{tag, kAudioOk});
    return kAudioOk;
  }
  std::vector<FinishedBlock> TakeFinished() override { return std::exchange(finished_, {}); }
  void Reset() override {}
  void Close() override { open_ = false; }

 private:
  Probe& probe_;
  AudioFormat format_;
  bool open_ = false;
  std::vector<FinishedBlock> finished_;
};

// A runtime on the display stand-in whose Orbela.ini names the voice data the
// build recorded, with speech started as the program starts it.
class VoiceRuntime {
 public:
  explicit VoiceRuntime(Probe& probe) {
    char pattern[] = "/tmp/morventa-speech-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    std::ofstream(dir_ + "/Orbela.ini", std::ios::binary)
        << "[TRADUTOR]\nDIRLETRAS=" MORVENTA_SOUND_DIR "/letras\nDIRDIFONES=" MORVENTA_SOUND_DIR
           "/difones\n";
    RuntimeOptions options;
    options.locations = ConfigLocations{dir_, dir_, dir_};
    options.front_end = testing::RecordingFrontEnd(std::make_shared<testing::DisplayRecord>());
    options.audio = std::make_unique<ProbeAudioOutput>(probe);
    rt_ = std::make_unique<Runtime>(std::move(options));
    ResetInterpreter(*rt_);
    rt_->speech.StartSpeech(0, "");
  }
  ~VoiceRuntime() {
    rt_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  SpeechService& speech() { return rt_->speech; }

 private:
  std::string dir_;
  std::unique_ptr<Runtime> rt_;
};

struct Result {
  double first_median_ms = 0;
  double first_p99_ms = 0;
  double audio_seconds = 0;  // of one sentence
  double real_time_factor = 0;
};

// Times `say` once per repetition for the first samples, then runs it
// `repetitions` times more under the CPU clock.
template <typename Say>
Result Measure(Probe& probe, int repetitions, Say say) {
  for (int i = 0; i < 5; ++i) say();  // caches warm, files opened

  std::vector<double> first_ms;
  first_ms.reserve(repetitions);
  Result result;
  for (int i = 0; i < repetitions; ++i) {
    probe.Clear();
    const Clock::time_point start = Clock::now();
    say();
    if (!probe.first) {
      std::fprintf(stderr, "speech_bench: nothing was played\n");
      std::exit(1);
    }
    first_ms.push_back(Milliseconds(*probe.first - start));
    result.audio_seconds = probe.seconds;
  }
  std::sort(first_ms.begin(), first_ms.end());
  result.first_median_ms = first_ms[first_ms.size() / 2];
  result.first_p99_ms = first_ms[first_ms.size() * 99 / 100];

  double audio = 0;
  const double cpu_start = CpuSeconds();
  for (int i = 0; i < repetitions; ++i) {
    probe.Clear();
    say();
    audio += probe.seconds;
  }
  result.real_time_factor = audio / (CpuSeconds() - cpu_start);
  return result;
}

Result MeasureOurs(int repetitions) {
  Probe probe;
  VoiceRuntime runtime(probe);
  const std::string sentence = Ansi(kSentence);
  return Measure(probe, repetitions, [&] { runtime.speech().SpeakText(sentence); });
}

// espeak-ng's callback reaches the probe through the user data of its events.
struct EspeakListener {
  Probe* probe;
  int rate;
};

int EspeakSamples(short* wav, int count, espeak_EVENT* events) {
  const auto* listener = static_cast<const EspeakListener*>(events->user_data);
  if (wav && count > 0 && listener) {
    listener->probe->Samples(static_cast<double>(count) / listener->rate);
  }
  return 0;  // go on
}

Result MeasureEspeak(int repetitions) {
  // The default buffer length: samples come back in pieces of 60 ms.
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                     espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) {
    std::fprintf(stderr, "speech_bench: espeak-ng does not start (espeak-ng-data missing?)\n");
    std::exit(1);
  }
  espeak_SetSynthCallback(EspeakSamples);
  if (espeak_SetVoiceByName("pt-br") != EE_OK) {
    std::fprintf(stderr, "speech_bench: espeak-ng has no pt-br voice\n");
    std::exit(1);
  }
  Probe probe;
  EspeakListener listener{&probe, rate};
  const std::string sentence = kSentence;
  Result result = Measure(probe, repetitions, [&] {
    espeak_Synth(sentence.c_str(), sentence.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, &listener);
    espeak_Synchronize();
  });
  espeak_Terminate();
  return result;
}

}  // namespace
}  // namespace morventa

int main(int argc, char** argv) {
  using namespace morventa;
  int repetitions = 200;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--repetitions") == 0 && i + 1 < argc) {
      repetitions = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: speech_bench [--repetitions N]\n");
      return 2;
    }
  }

  const Result ours = MeasureOurs(repetitions);
  const Result espeak = MeasureEspeak(repetitions);

  std::printf("sentence: \"%s\", %d repetitions\n\n", kSentence, repetitions);
  std::printf("%-32s %14s %14s\n", "", "morventa", "espeak-ng");
  std::printf("%-32s %11.3f ms %11.3f ms\n", "first samples, median", ours.first_median_ms,
              espeak.first_median_ms);
  std::printf("%-32s %11.3f ms %11.3f ms\n", "first samples, 99th percentile",
              ours.first_p99_ms, espeak.first_p99_ms);
  std::printf("%-32s %12.2f s %12.2f s\n", "sound made per sentence", ours.audio_seconds,
              espeak.audio_seconds);
  std::printf("%-32s %14.0f %14.0f\n", "real-time factor (CPU time)", ours.real_time_factor,
              espeak.real_time_factor);

  const auto aim = [](const std::string& what, bool met) {
    std::printf("  %-40s %s\n", what.c_str(), met ? "met" : "MISSED");
  };
  std::printf("\naims:\n");
  aim("first block within " + std::to_string(static_cast<int>(kAimFirstBlockMs)) + " ms (median)",
      ours.first_median_ms <= kAimFirstBlockMs);
  aim("real-time factor above " + std::to_string(static_cast<int>(kAimRealTimeFactor)),
      ours.real_time_factor > kAimRealTimeFactor);
  aim("first samples ahead of espeak-ng", ours.first_median_ms < espeak.first_median_ms);
  aim("real-time factor ahead of espeak-ng", ours.real_time_factor > espeak.real_time_factor);
  return 0;
}
