#include "platform/audio/audio_output.h"

#include <cstdlib>
#include <string>

namespace morventa {

bool PlayableFormat(const AudioFormat& format) {
  return (format.bits == 8 || format.bits == 16) &&
         (format.channels == 1 || format.channels == 2) && format.rate >= 1000 &&
         format.rate <= 384000;
}

std::unique_ptr<AudioOutput> MakeAudioOutput(std::string_view selection) {
  constexpr std::string_view kFilePrefix = "file:";
  if (selection == "null") return MakeNullAudioOutput();
  if (selection.starts_with(kFilePrefix) && selection.size() > kFilePrefix.size()) {
    return MakeFileAudioOutput(std::string(selection.substr(kFilePrefix.size())));
  }
  // Anything else, "device" included, is the sound device: a mistyped value
  // should still let the user hear the program.
  return MakeDeviceAudioOutput();
}

std::unique_ptr<AudioOutput> AudioOutputFromEnvironment(std::string_view stream) {
  const char* wanted = std::getenv("MORVENTA_AUDIO");
  std::string selection = wanted ? wanted : "";
  if (!stream.empty() && selection.starts_with("file:")) {
    // Two writers of one WAV file would spoil it.
    const size_t slash = selection.rfind('/');
    const size_t dot = selection.rfind('.');
    const size_t at = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                          ? dot
                          : selection.size();
    selection.insert(at, "." + std::string(stream));
  }
  return MakeAudioOutput(selection);
}

}  // namespace morventa
