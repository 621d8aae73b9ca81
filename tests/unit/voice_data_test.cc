// The voice data the build records (tools/build_voice_data): the unit
// database and the letters directory in the formats the voice and the wave
// player read, every sound the console asks for by name, and what our
// regras.rgr and portug.exc make of common words.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "speech/diphone/diphone_voice.h"
#include "speech/diphone/transcription.h"
#include "system/text_encoding.h"
#include "tools/voice_inventory.h"

namespace morventa {
namespace {

namespace fs = std::filesystem;

const fs::path kSoundDir = MORVENTA_SOUND_DIR;  // what the build recorded
const fs::path kDataDir = MORVENTA_DATA_DIR;    // what it was recorded from

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le(std::span<const uint8_t> bytes, size_t at, int size) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | bytes[at + i];
  return v;
}

struct IndexRecord {
  std::string name;
  uint32_t count;
  int32_t offset;
};

std::vector<IndexRecord> ReadIndex() {
  const std::vector<uint8_t> raw = ReadAll(kSoundDir / "difones" / "DIFONES2.IND");
  EXPECT_FALSE(raw.empty());
  EXPECT_EQ(raw.size() % 15, 0u) << "the index is whole 15-byte records";
  std::vector<IndexRecord> records;
  for (size_t at = 0; at + 15 <= raw.size(); at += 15) {
    EXPECT_LE(raw[at], 8) << "record " << at / 15;
    const size_t length = std::min<size_t>(raw[at], 8);
    records.push_back({std::string(raw.begin() + at + 1, raw.begin() + at + 1 + length),
                       Le(raw, at + 9, 2), static_cast<int32_t>(Le(raw, at + 11, 4))});
  }
  return records;
}

TEST(UnitDatabase, RecordsAreSortedUpperCaseAndInsideTheSamples) {
  const std::vector<IndexRecord> records = ReadIndex();
  const uintmax_t data_size = fs::file_size(kSoundDir / "difones" / "DIFONES2.DIF");
  for (size_t i = 0; i < records.size(); ++i) {
    const IndexRecord& r = records[i];
    SCOPED_TRACE(r.name);
    // Byte order with a prefix first is what the voice's bisection needs.
    if (i > 0) {
      EXPECT_LT(records[i - 1].name, r.name);
    }
    ASSERT_FALSE(r.name.empty());
    EXPECT_EQ(r.name[0], '$');
    for (char c : r.name.substr(1)) EXPECT_TRUE(c >= 'A' && c <= 'Z');
    EXPECT_GT(r.count, 0u);
    EXPECT_GE(r.offset, 0);
    EXPECT_LE(static_cast<uintmax_t>(r.offset) + r.count, data_size);
  }
}

TEST(UnitDatabase, HoldsExactlyTheInventory) {
  std::vector<UnitSpec> inventory;
  std::string err;
  ASSERT_TRUE(ReadUnitInventory((kDataDir / "units.txt").string(), &inventory, &err)) << err;
  std::set<std::string> wanted;
  for (const UnitSpec& unit : inventory) wanted.insert(unit.name);
  std::set<std::string> held;
  for (const IndexRecord& r : ReadIndex()) held.insert(r.name);
  EXPECT_EQ(held, wanted);
  // The voice's own fallbacks need these.
  for (const char* name : {"$NN", "$RR", "$A", "$S"}) EXPECT_TRUE(held.count(name)) << name;
}

TEST(UnitDatabase, ShortenedUnitsKeepSoundAfterTheDefaultCut) {
  // A unit of three or more letters loses 400 samples when unstressed (the
  // voice's cut before the configuration is read); with no floor, a shorter
  // one would fall silent.
  for (const IndexRecord& r : ReadIndex()) {
    if (r.name.size() > 2) {
      EXPECT_GT(r.count, 400u + 200u) << r.name;
    }
  }
}

// The 44-byte canonical header of 11025 Hz, 8-bit, mono, and the file
// holding exactly the data it announces.
void ExpectCanonicalWave(const fs::path& path) {
  SCOPED_TRACE(path.string());
  const std::vector<uint8_t> b = ReadAll(path);
  ASSERT_GT(b.size(), 44u);
  const uint32_t length = static_cast<uint32_t>(b.size() - 44);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(Le(b, 4, 4), length + 36);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le(b, 16, 4), 16u);
  EXPECT_EQ(Le(b, 20, 2), 1u);      // PCM
  EXPECT_EQ(Le(b, 22, 2), 1u);      // mono
  EXPECT_EQ(Le(b, 24, 4), 11025u);  // rate
  EXPECT_EQ(Le(b, 28, 4), 11025u);  // bytes per second
  EXPECT_EQ(Le(b, 32, 2), 1u);      // block align
  EXPECT_EQ(Le(b, 34, 2), 8u);      // bits
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
  EXPECT_EQ(Le(b, 40, 4), length);
}

TEST(LettersDirectory, EveryWaveFileHasTheCanonicalHeader) {
  size_t files = 0;
  for (const fs::path& dir : {kSoundDir / "letras", kSoundDir / "letras" / "rapido"}) {
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.path().extension() != ".wav") continue;
      ExpectCanonicalWave(entry.path());
      ++files;
    }
  }
  EXPECT_GT(files, 600u);
}

// Every name the console, the speech service and the recorded-speech
// functions play from the letters directory.
std::vector<std::string> SoundsTheConsolePlays() {
  std::vector<std::string> names = {
      // line editor, speed key, battery, numbers
      "_DEL", "_APFCPO", "_APICPO", "_CPOAPA", "_FALACI", "_FALDLG", "_VELOC", "_MENOS",
      "_SEMBAT", "_SEMENER", "_zero", "_unknown", "_FON9",
      // number words (cut to 8 characters; dezessete as "_dezeset")
      "_um", "_uma", "_dois", "_duas", "_tres", "_quatro", "_cinco", "_seis", "_sete",
      "_oito", "_nove", "_dez", "_onze", "_doze", "_treze", "_quatorz", "_quinze",
      "_dezesse", "_dezeset", "_dezoito", "_dezenov", "_vinte", "_trinta", "_quarent",
      "_cinquen", "_sessent", "_setenta", "_oitenta", "_noventa", "_cem", "_cento",
      "_duzento", "_trezent", "_quatroc", "_quinhen", "_seiscen", "_setecen", "_oitocen",
      "_novecen", "_mil", "_milhao", "_milhoes", "_bilhao", "_bilhoes", "_trilhao",
      "_trilhoe", "_e",
      // time and date
      "_hora", "_horas", "_minuto", "_minutos", "_primeir", "_de", "_Domingo", "_Segunda",
      "_Terca", "_Quarta", "_Quinta", "_Sexta", "_Sabado", "_Janeiro", "_Feverei", "_Marco",
      "_Abril", "_Maio", "_Junho", "_Julho", "_Agosto", "_Setembr", "_Outubro", "_Novembr",
      "_Dezembr",
      // touch tones ("*" is X)
      "dtmf_0", "dtmf_1", "dtmf_2", "dtmf_3", "dtmf_4", "dtmf_5", "dtmf_6", "dtmf_7",
      "dtmf_8", "dtmf_9", "dtmf_#", "dtmf_X",
      // the NUL the transcription spells for an unknown character
      "_0"};
  // Printable ASCII and the accented letters: "_" + the code; letters also
  // have their phonetic name.
  for (int code = 32; code <= 126; ++code) names.push_back("_" + std::to_string(code));
  for (int code = 192; code <= 255; ++code) names.push_back("_" + std::to_string(code));
  for (int code = 'A'; code <= 'Z'; ++code) {
    names.push_back("_FON" + std::to_string(code));
    names.push_back("_FON" + std::to_string(code + 32));
  }
  return names;
}

TEST(LettersDirectory, HoldsEverySoundTheConsolePlays) {
  for (const std::string& name : SoundsTheConsolePlays()) {
    EXPECT_TRUE(fs::is_regular_file(kSoundDir / "letras" / (name + ".wav"))) << name;
    // The speeds that cut speech short prefer these; tones are not speech.
    if (name.rfind("dtmf_", 0) != 0) {
      EXPECT_TRUE(fs::is_regular_file(kSoundDir / "letras" / "rapido" / (name + ".wav")))
          << "rapido/" << name;
    }
  }
}

TEST(LettersDirectory, FastRecordingsAreShorter) {
  for (const char* name : {"_65", "_vinte", "_Setembr", "_APICPO"}) {
    EXPECT_LT(fs::file_size(kSoundDir / "letras" / "rapido" / (std::string(name) + ".wav")),
              fs::file_size(kSoundDir / "letras" / (std::string(name) + ".wav")))
        << name;
  }
}

// Power of one frequency in 8-bit samples at 11025 Hz (Goertzel).
double PowerAt(std::span<const uint8_t> samples, double hz) {
  const double coeff = 2.0 * std::cos(2.0 * std::numbers::pi * hz / 11025.0);
  double s1 = 0, s2 = 0;
  for (uint8_t b : samples) {
    const double s0 = (b - 128.0) + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

TEST(LettersDirectory, TouchTonesSoundTheirTwoFrequencies) {
  struct Case {
    const char* name;
    double low, high;
  };
  const Case cases[] = {
      {"dtmf_1", 697, 1209}, {"dtmf_5", 770, 1336}, {"dtmf_9", 852, 1477},
      {"dtmf_0", 941, 1336}, {"dtmf_X", 941, 1209}, {"dtmf_#", 941, 1477},
  };
  const double kRows[] = {697, 770, 852, 941};
  const double kColumns[] = {1209, 1336, 1477, 1633};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> file = ReadAll(kSoundDir / "letras" / (std::string(c.name) + ".wav"));
    ASSERT_GT(file.size(), 44u + 1000u);
    const std::span<const uint8_t> samples(file.data() + 44, file.size() - 44);
    for (double row : kRows) {
      if (row != c.low) {
        EXPECT_GT(PowerAt(samples, c.low), 20 * PowerAt(samples, row)) << row;
      }
    }
    for (double column : kColumns) {
      if (column != c.high) {
        EXPECT_GT(PowerAt(samples, c.high), 20 * PowerAt(samples, column)) << column;
      }
    }
  }
}

TEST(VoiceRules, EveryRuleLineIsKeptWhole) {
  // The engine cuts fields silently: a rule written too long, or keyed by a
  // character without a list, would quietly become another rule.
  std::ifstream in(kDataDir / "regras.rgr");
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == ';') continue;
    SCOPED_TRACE("regras.rgr:" + std::to_string(number) + ": " + line);
    const size_t open = line.find('(');
    const size_t close = line.find(')');
    const size_t equals = line.find('=', close);
    const size_t bar = line.find('|', equals);
    ASSERT_TRUE(open != std::string::npos && close != std::string::npos &&
                equals != std::string::npos && bar != std::string::npos);
    EXPECT_LE(open, 5u);
    EXPECT_GE(close - open - 1, 1u);
    EXPECT_LE(close - open - 1, 5u);
    EXPECT_LE(equals - close - 1, 5u);
    EXPECT_LE(bar - equals - 1, 11u);
    EXPECT_EQ(bar + 1, line.size());
    const unsigned char key = static_cast<unsigned char>(line[open + 1]);
    EXPECT_TRUE(key >= 32 && key <= 95);
  }
}

// Speaks into nothing: the table below looks at which units were found.
class SilentSink : public DiphoneSink {
 public:
  void PlayImageAndWait(std::span<const uint8_t>) override {}
  bool IsSpeaking() override { return false; }
  void WaitForEvent() override {}
};

TEST(VoiceRules, CommonWordsTranscribeAndFindTheirUnits) {
  SilentSink sink;
  DiphoneVoice voice(sink);
  ASSERT_EQ(voice.OpenFrom((kSoundDir / "letras").string(), (kSoundDir / "difones").string()),
            kDiphoneReady);
  struct Case {
    const char* text;  // UTF-8
    const char* phonetic;
  };
  const Case cases[] = {
      // stress, final a, e, o, s between vowels, rr
      {"casa", "[ k/A/ z/a^]"},
      {"carro", "[ k/A/ rr/u]"},
      {"rato", "[ rr/A/ t/u]"},
      {"chave", "[ x/A/ v/i]"},
      // a final r and an r closing a syllable: the strong r, kept in the
      // syllable; the stressed o of -orta is open
      {"mar", "[ m/a/rr]"},
      {"porta", "[ p/O/rr/ t/a^]"},
      {"filho", "[ f/I/ ly/u]"},
      {"ninho", "[ n/I/ nh/u]"},
      // t and d before an i sound
      {"tinta", "[ tch/I~/ t/a^]"},
      {"cidade", "[ s/i/ d/A/ dj/i]"},
      {"dia", "[ dj/I /a^]"},
      {"leite", "[ l/E^/y/ tch/i]"},
      // nasals
      {"gente", "[ j/E~/ tch/i]"},
      {"pão", "[ p/A~w]"},
      {"mãe", "[ m/A~y]"},
      {"põe", "[ p/O~y]"},
      {"tem", "[ t/e~y]"},
      {"também", "[ t/a~/ b/E~y]"},
      {"bom", "[ b/o~]"},
      {"um", "[u~]"},
      {"ação", "[a/ s/A~w]"},
      // qu, gu
      {"quase", "[ kw/A/ z/i]"},
      {"aqui", "[a/ k/I]"},
      {"água", "[A/ gw/a^]"},
      {"guerra", "[ g/E/ rr/a^]"},
      {"seguinte", "[ s/e^/ g/I~/ tch/i]"},
      // a final l is u; clusters; the Brazilian i after a closing stop
      {"Brasil", "[ b/r/a/ z/I/w]"},
      {"sol", "[ s/O/w]"},
      {"prato", "[ p/r/A/ t/u]"},
      {"pacto", "[ p/A/ ki/ t/u]"},
      {"advogado", "[a/ dji/ v/o^/ g/A/ d/u]"},
      // x, s
      {"exame", "[e^/ z/A^/ m/i]"},
      {"texto", "[ t/E^/s/ t/u]"},
      {"caixa", "[ k/A/y/ x/a^]"},
      {"mesmo", "[ m/E^/z/ m/u]"},
      {"escola", "[i/s/ k/O/ l/a^]"},
      {"nasceu", "[ n/a/ s/E^/w]"},
      // h, diphthongs and hiatus
      {"hora", "[/O/ r/a^]"},
      {"homem", "[/O^/ m/e~y]"},
      {"meu", "[ m/E^/w]"},
      {"céu", "[ s/E/w]"},
      {"outro", "[O^/ t/r/u]"},
      {"praia", "[ p/r/A/ y/a^]"},
      {"saúde", "[ s/a /U/ dj/i]"},
      {"sair", "[ s/a /I/rr]"},
      {"construir", "[ k/o~/s/ t/r/u /I/rr]"},
      // portug.exc: ks, a nasal diphthong, an i of its own syllable
      {"táxi", "[ t/A/ ki/ s/i]"},
      {"muito", "[ m/U~/y/ t/u]"},
      {"ainda", "[a/ /I~/ d/a^]"},
      {"cinquenta", "[ s/i~/ kw/E~/ t/a^]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string text = Utf8ToAnsi(c.text);
    const std::string phonetic = voice.TranscribeText(text);
    EXPECT_EQ(phonetic, c.phonetic);
    voice.ResetCounts();
    voice.DiphoneSpeak(phonetic, false);
    const UnitLookupCounts& n = voice.counts();
    EXPECT_GT(n.direct, 0u);
    EXPECT_EQ(n.fallback + n.noise + n.silent, 0u) << "every unit recorded";
  }
}

}  // namespace
}  // namespace morventa
