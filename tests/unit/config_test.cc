#include "console/config.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "system/text_encoding.h"
#include "tests/doubles/orbela_environment.h"

namespace morventa {
namespace {

using testing::OrbelaEnvironment;

class ConfigTest : public ::testing::Test {
 protected:
  Config MakeConfig() const { return Config(env_.locations()); }
  OrbelaEnvironment env_;
};

TEST_F(ConfigTest, ConfigDirectoryPrefersTheUserFileAndFallsBackToTheLegacyOne) {
  struct Case {
    bool user_file, system_file, want_user_dir;
  };
  const Case cases[] = {{true, true, true}, {true, false, true}, {false, true, false}, {false, false, true}};
  for (const auto& c : cases) {
    OrbelaEnvironment env;
    if (c.user_file) env.WriteUserIni("[ORBELA]\n");
    if (c.system_file) env.WriteSystemIni("[ORBELA]\n");
    EXPECT_EQ(Config(env.locations()).ConfigDirectory(), c.want_user_dir ? env.user_dir() : env.system_dir())
        << "user " << c.user_file << " system " << c.system_file;
  }
}

TEST_F(ConfigTest, ReadSettingMatchesSectionsAndKeysInAnyCase) {
  env_.WriteUserIni(
      "; written by the environment's tools\r\n"
      "[Tradutor]\r\n"
      "dirLetras = /sons/letras  \r\n"
      "VELOCIDADE=4\r\n"
      "[ quintera ]\r\n"
      "DirQuintera=\"/com espacos/\"\r\n"
      "[OUTRA]\r\n"
      "velocidade=1\r\n");
  const Config config = MakeConfig();
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"TRADUTOR", "DIRLETRAS", "/sons/letras"}, {"tradutor", "dirletras", "/sons/letras"},
      {"TRADUTOR", "VELOCIDADE", "4"},           {"QUINTERA", "DIRQUINTERA", "/com espacos/"},
      {"OUTRA", "VELOCIDADE", "1"},              {"TRADUTOR", "NENHUMA", ""},
      {"NENHUMA", "VELOCIDADE", ""},             {"TRADUTO", "DIRLETRAS", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(config.ReadSetting(c.section, c.key), c.value) << c.section << "/" << c.key;

  // Nothing is cached: the next read sees the changed file.
  env_.WriteUserIni("[TRADUTOR]\nVELOCIDADE=2\n");
  EXPECT_EQ(config.ReadSetting("TRADUTOR", "VELOCIDADE"), "2");
}

TEST_F(ConfigTest, ValuesAreCutAsTheReadBuffersCutThem) {
  const std::string long_value(300, 'v');
  env_.WriteUserIni("[TRADUTOR]\nDIRLETRAS=" + long_value + "\n[VIDEO]\nFONTE=" + long_value + "\n");
  const Config config = MakeConfig();
  EXPECT_EQ(config.ReadSetting("TRADUTOR", "DIRLETRAS"), std::string(254, 'v'));
  EXPECT_EQ(config.PlainRead("VIDEO", "FONTE", "x"), std::string(79, 'v'));
  EXPECT_EQ(config.ReadVideo().font_face, std::string(79, 'v'));
}

TEST_F(ConfigTest, LegacyFallbackTakesKeysEmptyInTheUserFileFromTheSystemFile) {
  env_.WriteUserIni("[TRADUTOR]\nDIRLETRAS=\nDIRDIFONES=/user/difones\n");
  env_.WriteSystemIni("[TRADUTOR]\nDIRLETRAS=/etc/letras\nDIRDIFONES=/etc/difones\nVELOCIDADE=5\n");
  Config config = MakeConfig();
  EXPECT_TRUE(config.legacy_fallback());  // on until the speech start-up reads LEGADO
  EXPECT_EQ(config.ReadSetting("TRADUTOR", "DIRLETRAS"), "/etc/letras");
  EXPECT_EQ(config.ReadSetting("TRADUTOR", "VELOCIDADE"), "5");
  EXPECT_EQ(config.ReadSetting("TRADUTOR", "DIRDIFONES"), "/user/difones");
  config.set_legacy_fallback(false);
  EXPECT_EQ(config.ReadSetting("TRADUTOR", "DIRLETRAS"), "");
  EXPECT_EQ(config.SpeedLevel(), 3);
  // Plain reads never fall back.
  config.set_legacy_fallback(true);
  env_.WriteSystemIni("[VIDEO]\nFONTE=Sistema\n");
  EXPECT_EQ(config.PlainRead("VIDEO", "FONTE", "padrao"), "padrao");
}

TEST_F(ConfigTest, LegadoIsReadWithTheFallbackInItsPreviousState) {
  env_.WriteUserIni("[ORBELA]\n");
  env_.WriteSystemIni("[ORBELA]\nLEGADO=Sim\n");
  Config config = MakeConfig();
  EXPECT_TRUE(config.ReadLegacyFlag());
  config.set_legacy_fallback(false);
  EXPECT_FALSE(config.ReadLegacyFlag());
}

struct ShorthandCase {
  const char* name;
  const char* pgmorbela;  // line in [ORBELA], nullptr for none
  const char* value;
  std::function<std::string(const OrbelaEnvironment&)> want;
};

TEST_F(ConfigTest, PathShorthandsExpand) {
  const ShorthandCase cases[] = {
      {"@ alone is the program directory", nullptr, "@", [](const auto& e) { return e.program_dir(); }},
      {"@/ is the environment's program directory", "PGMORBELA=/opt/orbela", "@/sons",
       [](const auto&) { return std::string("/opt/orbela/sons"); }},
      {"a trailing slash of PGMORBELA is not doubled", "PGMORBELA=/opt/orbela/", "@/sons",
       [](const auto&) { return std::string("/opt/orbela/sons"); }},
      {"PGMORBELA absent", nullptr, "@/sons", [](const auto& e) { return e.program_dir() + "/sons"; }},
      {"PGMORBELA empty", "PGMORBELA=", "@/sons", [](const auto& e) { return e.program_dir() + "/sons"; }},
      {"PGMORBELA beginning with @", "PGMORBELA=@", "@/sons",
       [](const auto& e) { return e.program_dir() + "/sons"; }},
      {"PGMORBELA referring to itself", "PGMORBELA=@/orbela", "@/sons",
       [](const auto& e) { return e.program_dir() + "/sons"; }},
      {"@@/ is the configuration directory", nullptr, "@@/vozes",
       [](const auto& e) { return e.user_dir() + "/vozes"; }},
      {"several shorthands in one value", "PGMORBELA=/opt/o", "@@/a:@/b:@/c",
       [](const auto& e) { return e.user_dir() + "/a:/opt/o/b:/opt/o/c"; }},
      {"an @ not before a slash stays", "PGMORBELA=/opt/o", "nome@host", [](const auto&) {
         return std::string("nome@host");
       }},
      {"no shorthand", nullptr, "/usr/share/sons", [](const auto&) { return std::string("/usr/share/sons"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string ini = "[ORBELA]\n";
    if (c.pgmorbela) ini += std::string(c.pgmorbela) + "\n";
    ini += std::string("[QUINTERA]\nDIRQUINTERA=") + c.value + "\n";
    env_.WriteUserIni(ini);
    EXPECT_EQ(MakeConfig().ReadSetting("QUINTERA", "DIRQUINTERA"), c.want(env_));
  }
}

TEST_F(ConfigTest, PgmorbelaReadOnItsOwnEndsEvenWhenItRefersToItself) {
  env_.WriteUserIni("[ORBELA]\nPGMORBELA=@/orbela\n");
  EXPECT_EQ(MakeConfig().ReadSetting("ORBELA", "PGMORBELA"), env_.program_dir() + "/orbela");
}

TEST_F(ConfigTest, DoubleAtNamesTheLegacyDirectoryWhenOnlyTheLegacyFileExists) {
  env_.RemoveUserIni();
  env_.WriteSystemIni("[QUINTERA]\nDIRQUINTERA=@@/sons\n");
  EXPECT_EQ(MakeConfig().ReadSetting("QUINTERA", "DIRQUINTERA"), env_.system_dir() + "/sons");
}

TEST_F(ConfigTest, PlainReadsTakeTheDefaultOnlyForAnAbsentKeyAndExpandNothing) {
  env_.WriteUserIni("[VIDEO]\nFONTE=@\nCANTOTELA=\n");
  const Config config = MakeConfig();
  EXPECT_EQ(config.PlainRead("VIDEO", "FONTE", "x"), "@");
  EXPECT_EQ(config.PlainRead("VIDEO", "CANTOTELA", "SIM"), "");
  EXPECT_EQ(config.PlainRead("VIDEO", "LENTO", "N"), "N");
  EXPECT_EQ(config.PlainRead("BRAILLE", "MODO", "0"), "0");
}

TEST_F(ConfigTest, WithoutAnyOrbelaIniEveryKeyHasItsDefault) {
  const Config config = MakeConfig();
  const std::string data = env_.root() + "/prefix/share/morventa-light";
  EXPECT_EQ(config.DataDir(), data);
  EXPECT_EQ(config.LettersDir(), data + "/som/letras");
  EXPECT_EQ(config.DiphonesDir(), data + "/som/difones");
  EXPECT_EQ(config.ScriptSoundsDir(), "");
  EXPECT_EQ(config.NetworkWaitMicroseconds(), 20000);
  EXPECT_EQ(config.ProgramReturnWaitMs(), 1000);
  EXPECT_EQ(config.SpeedLevel(), 3);
  EXPECT_FALSE(config.ReadLegacyFlag());
  EXPECT_EQ(config.BrailleMode(), 0);

  const VideoSettings video = config.ReadVideo();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(video.colour_map[i], i);
  EXPECT_FALSE(video.colours_fixed);
  EXPECT_FALSE(video.fast_scroll);
  EXPECT_EQ(video.initial_attribute, 0x0F);  // white on black
  EXPECT_EQ(video.font_face, "Lucida Console");
  EXPECT_EQ(video.letter_width, 0);
  EXPECT_EQ(video.letter_height, 0);
  EXPECT_EQ(video.letter_weight, 700);
  EXPECT_TRUE(video.normal_size);

  const LowVisionSettings low = config.ReadLowVision();
  EXPECT_EQ(low.factor, 0);
  EXPECT_EQ(low.letter_colour, 14);
  EXPECT_EQ(low.background_colour, 6);
  EXPECT_EQ(low.cursor_colour, 3);
}

struct TypedCase {
  const char* ini;
  std::function<int(const Config&)> read;
  int want;
};

TEST_F(ConfigTest, TypedKeysTakeTheirValueOrTheirDefault) {
  const auto speed = [](const Config& c) { return c.SpeedLevel(); };
  const auto timeout = [](const Config& c) { return c.NetworkWaitMicroseconds(); };
  const auto verify = [](const Config& c) { return int(c.VerifyCertificates()); };
  const auto factor = [](const Config& c) { return c.ReadLowVision().factor; };
  const auto letters = [](const Config& c) { return c.ReadLowVision().letter_colour; };
  const auto background = [](const Config& c) { return c.ReadLowVision().background_colour; };
  const auto highlight = [](const Config& c) { return c.ReadLowVision().cursor_colour; };
  const auto normal_size = [](const Config& c) { return int(c.ReadVideo().normal_size); };
  const auto braille = [](const Config& c) { return c.BrailleMode(); };
  const auto attribute = [](const Config& c) { return int(c.ReadVideo().initial_attribute); };
  const auto fast = [](const Config& c) { return int(c.ReadVideo().fast_scroll); };
  const auto width = [](const Config& c) { return c.ReadVideo().letter_width; };
  const auto wait = [](const Config& c) { return c.ProgramReturnWaitMs(); };
  const TypedCase cases[] = {
      {"[TRADUTOR]\nVELOCIDADE=5", speed, 5},
      {"[TRADUTOR]\nVELOCIDADE=1", speed, 1},
      {"[TRADUTOR]\nVELOCIDADE=6", speed, 3},
      {"[TRADUTOR]\nVELOCIDADE=0", speed, 3},
      {"[TRADUTOR]\nVELOCIDADE=rapido", speed, 3},
      {"[ORBELA]\nTIMEOUT_REDE=5000", timeout, 5000},
      {"[ORBELA]\nTIMEOUT_REDE=-5", timeout, 0},
      {"[ORBELA]\nTIMEOUT_REDE=2000000", timeout, 999999},
      {"[ORBELA]\nVERIFICA_CERTIFICADO=0", verify, 0},
      {"[ORBELA]\nVERIFICA_CERTIFICADO=Não", verify, 0},
      {"[ORBELA]\nVERIFICA_CERTIFICADO=sim", verify, 1},
      {"", verify, 1},
      {"[ORBELA]\nTIMEOUT_REDE=muito", timeout, 20000},
      {"[ORBELA]\nTEMPOESPERAPROGVOLTAR=250", wait, 250},
      {"[BAIXAVISAO]\nAMPLIACAO=12", factor, 3},
      {"[BAIXAVISAO]\nAMPLIACAO=", factor, 0},
      {"[BAIXAVISAO]\nAMPLIACAO=grande", factor, 3},
      {"[BAIXAVISAO]\nAMPLIACAO=-1", factor, 3},
      {"[BAIXAVISAO]\nAMPLIACAO=10", factor, 10},
      {"[BAIXAVISAO]\nAMPLIACAO=0", factor, 0},
      {"[BAIXAVISAO]\nCORLETRA=2", letters, 2},
      {"[BAIXAVISAO]\nCORLETRA=16", letters, 14},
      {"[BAIXAVISAO]\nCORFUNDO=azul", background, 6},
      {"[BAIXAVISAO]\nCORFUNDO=0", background, 0},
      {"[BAIXAVISAO]\nCORCURSOR=15", highlight, 15},
      {"[BAIXAVISAO]\nCORCURSOR=-3", highlight, 3},
      // The console's own colour keys are distinct from the magnifier's.
      {"[BAIXAVISAO]\nCORFUNDO=1\nCORLETRA=2", attribute, 0x0F},
      {"[VIDEO]\nCORFUNDO=1\nCORLETRA=14", attribute, 0x1E},
      {"[VIDEO]\nCORLETRA=branco", attribute, 0x0F},
      {"[VIDEO]\nCORLETRA=20", attribute, 0x14},
      {"[VIDEO]\nCANTOTELA=NAO", normal_size, 0},
      {"[VIDEO]\nCANTOTELA=SIM", normal_size, 1},
      {"[VIDEO]\nCANTOTELA=s", normal_size, 1},
      {"[VIDEO]\nCANTOTELA=", normal_size, 0},
      {"[VIDEO]\nLENTO=Sim", fast, 1},
      {"[VIDEO]\nLARGURALETRA=12", width, 12},
      {"[VIDEO]\nLARGURALETRA=", width, 0},
      {"[BRAILLE]\nMODO=1", braille, 1},
      {"[BRAILLE]\nMODO=2", braille, 2},
      {"[BRAILLE]\nMODO=3", braille, 1},
      {"[BRAILLE]\nMODO=0", braille, 0},
      {"[BRAILLE]\nMODO=", braille, 0},
  };
  for (const auto& c : cases) {
    env_.WriteUserIni(std::string(c.ini) + "\n");
    EXPECT_EQ(c.read(MakeConfig()), c.want) << c.ini;
  }
}

TEST_F(ConfigTest, DirectoryKeysAreTakenAsWrittenWithShorthands) {
  env_.WriteUserIni("[ORBELA]\nPGMORBELA=/opt/orbela\n[TRADUTOR]\nDIRLETRAS=@/som/letras\nDIRDIFONES=/d\n");
  const Config config = MakeConfig();
  EXPECT_EQ(config.LettersDir(), "/opt/orbela/som/letras");
  EXPECT_EQ(config.DiphonesDir(), "/d");
}

TEST_F(ConfigTest, FilesInUtf8OrWindows1252WithOrWithoutBomReadTheSame) {
  const std::string want = Ansi("/home/joão/músicas");
  const std::string files[] = {
      "[QUINTERA]\nDIRQUINTERA=/home/joão/músicas\n",
      "[QUINTERA]\nDIRQUINTERA=/home/jo\xE3o/m\xFAsicas\n",
      "\xEF\xBB\xBF[QUINTERA]\r\nDIRQUINTERA=/home/joão/músicas\r\n",
  };
  for (const auto& file : files) {
    env_.WriteUserIni(file);
    EXPECT_EQ(MakeConfig().ReadSetting("QUINTERA", "DIRQUINTERA"), want) << file;
  }
  // A line that is not UTF-8 does not spoil the UTF-8 lines around it.
  env_.WriteUserIni("[QUINTERA]\nNOTA=\xE9\nDIRQUINTERA=/home/joão/músicas\n");
  EXPECT_EQ(MakeConfig().ReadSetting("QUINTERA", "NOTA"), "\xE9");
  EXPECT_EQ(MakeConfig().ReadSetting("QUINTERA", "DIRQUINTERA"), want);
}

}  // namespace
}  // namespace morventa
