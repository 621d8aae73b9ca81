// The speech service over the voice data the build records: what it says,
// and a key that silences it at once and stays for the reader.
#include "speech/speech_service.h"

#include <gtest/gtest.h>

#include "platform/audio/audio_output.h"
#include "tests/unit/runtime_fixture.h"

namespace morventa::testing {
namespace {

std::string VoiceIni() {
  return std::string("[TRADUTOR]\nDIRLETRAS=") + MORVENTA_SOUND_DIR + "/letras\nDIRDIFONES=" +
         MORVENTA_SOUND_DIR + "/difones\n";
}

class SpeechServiceTest : public ::testing::Test {
 protected:
  SpeechServiceTest()
      : out_dir_(MakeEmptyDir()),
        t_({}, VoiceIni(), MakeFileAudioOutput(out_dir_ + "/out.wav"),
           Transcript(out_dir_ + "/transcript")) {
    t_.rt().speech.StartSpeech(0, "");
  }
  ~SpeechServiceTest() override { std::filesystem::remove_all(out_dir_); }

  std::string Transcribed() { return ReadAll(out_dir_ + "/transcript"); }
  size_t SamplesPlayed() {
    const std::string wav = ReadAll(out_dir_ + "/out.wav");
    return wav.size() > 44 ? wav.size() - 44 : 0;
  }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string out_dir_;
  TestRuntime t_;
};

TEST_F(SpeechServiceTest, WordsNumbersAndSignsAllSound) {
  SpeechService& speech = t_.rt().speech;
  speech.SpeakText(Ansi("casa 12, fim."));
  EXPECT_EQ(Transcribed(),
            "fala: casa 12, fim.\nsom: _doze\nletra: 44\nletra: 46\n");
  // About a second of speech at 11025 samples a second: words, the number
  // and the two signs with their pauses.
  EXPECT_GT(SamplesPlayed(), 5000u);
}

TEST_F(SpeechServiceTest, APendingKeyStopsSpeechAndStaysQueued) {
  SpeechService& speech = t_.rt().speech;
  t_.Type("x");
  speech.SpeakText(Ansi("uma frase longa 1 2 3 com números e sinais!!!"));
  EXPECT_EQ(Transcribed(), "fala: uma frase longa 1 2 3 com números e sinais!!!\n");
  EXPECT_EQ(SamplesPlayed(), 0u);
  ASSERT_TRUE(t_.rt().console.KeyPending());
  EXPECT_EQ(t_.rt().console.TakeKey(), 'x');
}

TEST_F(SpeechServiceTest, ReadKeySpokenSpeaksTheKey) {
  t_.Type("a");
  EXPECT_EQ(t_.rt().speech.ReadKeySpoken(), 'a');
  EXPECT_EQ(Transcribed(), "letra: 97\n");
  EXPECT_GT(SamplesPlayed(), 0u);
}

TEST(SpeechStart, MissingVoiceDataIsReportedAndEndsTheProgram) {
  TestRuntime t({}, "[TRADUTOR]\nDIRDIFONES=/nonexistent/difones\n");
  t.Type("\r");
  EXPECT_THROW(t.rt().speech.StartSpeech(0, ""), SpeechStartFailed);
  EXPECT_EQ(t.TakeWritten(),
            Ansi("Erro de inicialização: 1\r\nBanco de dados de voz: DIFONES2\r\n\r\n"));
}

}  // namespace
}  // namespace morventa::testing
