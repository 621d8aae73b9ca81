#include "tools/espeak_recorder.h"

#include <espeak-ng/speak_lib.h>

#include <string>

namespace morventa {
namespace {

// The callback finds the buffer of the current Record through the user data
// every event carries.
int CollectSamples(short* wav, int count, espeak_EVENT* events) {
  auto* out = static_cast<std::vector<int16_t>*>(events->user_data);
  if (wav != nullptr && count > 0 && out != nullptr) out->insert(out->end(), wav, wav + count);
  return 0;  // go on
}

}  // namespace

std::unique_ptr<EspeakRecorder> EspeakRecorder::Open(std::string* err) {
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                     espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) {
    *err = "espeak-ng: cannot initialise (is espeak-ng-data installed?)";
    return nullptr;
  }
  std::unique_ptr<EspeakRecorder> recorder(new EspeakRecorder(rate));
  espeak_SetSynthCallback(CollectSamples);
  if (espeak_SetVoiceByName("pt-br") != EE_OK) {
    *err = "espeak-ng: no Brazilian Portuguese voice (pt-br)";
    return nullptr;
  }
  return recorder;
}

EspeakRecorder::~EspeakRecorder() { espeak_Terminate(); }

std::vector<int16_t> EspeakRecorder::Record(std::string_view text, const SpeakingStyle& style) {
  espeak_SetParameter(espeakRATE, style.words_per_minute, 0);
  espeak_SetParameter(espeakPITCH, style.pitch, 0);
  espeak_SetParameter(espeakRANGE, style.range, 0);
  std::vector<int16_t> samples;
  const std::string terminated(text);
  const espeak_ERROR result =
      espeak_Synth(terminated.c_str(), terminated.size() + 1, 0, POS_CHARACTER, 0,
                   espeakCHARS_UTF8 | espeakPHONEMES, nullptr, &samples);
  if (result != EE_OK || espeak_Synchronize() != EE_OK) return {};
  return samples;
}

}  // namespace morventa
