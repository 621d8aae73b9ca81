// The whole running system: configuration, console, speech and the
// interpreter's state, owned by one object so that a test can build a fresh one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/config.h"
#include "platform/audio/audio_output.h"
#include "platform/desktop_launcher.h"
#include "platform/desktop.h"
#include "console/console_window.h"
#include "console/line_editor.h"
#include "console/menu.h"
#include "console/screen_review.h"
#include "interpreter/interpreter_state.h"
#include "net/socket_channel.h"
#include "speech/speech_service.h"
#include "system/byte_file.h"
#include "system/channels.h"
#include "system/file_commands.h"

namespace morventa {

struct RuntimeOptions {
  ConfigLocations locations;
  FrontEndFactory front_end;
  Transcript transcript;
  // The sound output; the one MORVENTA_AUDIO names when left empty.
  std::unique_ptr<AudioOutput> audio;
  std::vector<std::string> params;  // Windows-1252, as the script sees them
};

class Runtime {
 public:
  explicit Runtime(RuntimeOptions options);

  Config config;
  ConsoleWindow console;
  SpeechService speech;
  InterpreterState interp;
  // The one menu, from MENU CRIA to MENU TERMINA.
  std::optional<MenuList> menu;
  // What screen review remembers between visits.
  ReviewMemory review;
  LineEditorSettings line_editor;
  // Programs the user opens from the console (F12 in the line editor).
  DesktopLauncher launcher;
  // The window in front and the mouse pointer (ESPERA, LE MOUSE).
  Desktop desktop;
  std::vector<std::string> params;
  // Status of the last file, network or window operation, read by CHECA.
  int operation_status = 0;
  // What CONECTA and ATIVASSL share for the whole run. Declared before the
  // channels, whose connections read it until they close.
  NetworkSettings network;
  // Channels #0 to #9, the byte buffer with its binary file, and the
  // directory search of BUSCA.
  ChannelTable channels;
  ByteFile byte_file;
  DirectorySearch search;

  // Shown and spoken writes: every message of the system goes through these.
  void WriteSpoken(std::string_view ansi_text);
  void WriteLineSpoken(std::string_view ansi_text);
  void WriteNumberSpoken(int64_t n);
};

}  // namespace morventa
