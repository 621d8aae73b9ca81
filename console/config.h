// The shared configuration file Orbela.ini: where it is, how keys are read,
// the path shorthands, and the keys this program reads with their defaults.
// Nothing is cached: every read opens the file again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morventa {

struct ConfigLocations {
  std::string user_dir;      // $XDG_CONFIG_HOME/Orbela or ~/.config/Orbela
  std::string system_dir;    // holds the legacy Orbela.ini (/etc)
  std::string program_dir;   // directory of the running executable

  static ConfigLocations FromEnvironment();
};

struct VideoSettings {
  int colour_map[16];
  bool colours_fixed = false;
  bool fast_scroll = false;
  uint8_t initial_attribute = 0x0F;
  std::string font_face;
  int letter_width = 0;   // 0: derive from the work area
  int letter_height = 0;
  int letter_weight = 700;
  bool normal_size = true;  // CANTOTELA: false opens maximised
};

struct LowVisionSettings {
  int factor = 0;
  int letter_colour = 14;
  int background_colour = 6;
  int cursor_colour = 3;
};

class Config {
 public:
  explicit Config(ConfigLocations locations);

  // The directory holding Orbela.ini, found anew at every read.
  std::string ConfigDirectory() const;

  // A key with the legacy fallback and the "@" shorthands; empty when absent.
  std::string ReadSetting(std::string_view section, std::string_view key) const;

  // A key read without fallback or shorthands, cut to 79 characters; the
  // fallback stands only for an absent key (a key set to nothing reads empty).
  std::string PlainRead(std::string_view section, std::string_view key,
                        std::string_view fallback) const;

  bool legacy_fallback() const { return legacy_fallback_; }
  void set_legacy_fallback(bool on) { legacy_fallback_ = on; }

  const ConfigLocations& locations() const { return locations_; }

  // Typed keys, with the defaults users get without any Orbela.ini.
  std::string LettersDir() const;      // TRADUTOR DIRLETRAS
  std::string DiphonesDir() const;     // TRADUTOR DIRDIFONES
  std::string ScriptSoundsDir() const; // QUINTERA DIRQUINTERA
  int NetworkWaitMicroseconds() const; // ORBELA TIMEOUT_REDE
  // ORBELA VERIFICA_CERTIFICADO: on unless it says "0" or "N…".
  bool VerifyCertificates() const;
  // ORBELA CONECTA_EM: "HOST:PORT:OTHERHOST:OTHERPORT" entries separated
  // by ";", sending connections for HOST:PORT to OTHERHOST:OTHERPORT.
  std::string ConnectTo() const;
  int ProgramReturnWaitMs() const;     // ORBELA TEMPOESPERAPROGVOLTAR
  int SpeedLevel() const;              // TRADUTOR VELOCIDADE
  bool ReadLegacyFlag() const;         // ORBELA LEGADO
  VideoSettings ReadVideo() const;
  LowVisionSettings ReadLowVision() const;
  int BrailleMode() const;             // BRAILLE MODO

  // Where this program's own data lives when no key says otherwise.
  std::string DataDir() const;

 private:
  // The key's value, or nothing when the file, section or key is absent.
  std::optional<std::string> RawRead(const std::string& file, std::string_view section,
                                     std::string_view key) const;
  std::string ExpandShorthands(std::string value) const;

  ConfigLocations locations_;
  bool legacy_fallback_ = true;  // until the speech start-up reads LEGADO
};

// "SIM"-style yes: first character, upper-cased, is "S".
bool IsYes(std::string_view value);

}  // namespace morventa
