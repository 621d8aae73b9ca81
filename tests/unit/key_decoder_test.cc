#include "platform/terminal/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/config.h"
#include "console/console_window.h"
#include "tests/doubles/orbela_environment.h"
#include "tests/doubles/scripted_display.h"

namespace morventa {
namespace {

// Writes each event down as a short line of text.
class EventLog : public ConsoleEvents {
 public:
  std::string Take() {
    std::string out = std::move(text_);
    text_.clear();
    return out;
  }

  void CharTyped(uint8_t ch, Modifiers mods) override { Add("ch " + std::to_string(ch) + Mods(mods)); }
  void KeyDown(SpecialKey key, Modifiers mods) override {
    static const char* const kNames[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10",
                                         "F11", "F12", "Ins", "Del", "Home", "End", "PgUp", "PgDn",
                                         "Up", "Down", "Left", "Right", "Break"};
    Add(std::string("key ") + kNames[static_cast<int>(key)] + Mods(mods));
  }
  void AltKeyDown(char key, Modifiers mods) override { Add(std::string("altkey ") + key + Mods(mods)); }
  void MouseDown(MouseButton button) override {
    Add(button == MouseButton::kLeft ? "mouse left" : button == MouseButton::kRight ? "mouse right" : "mouse middle");
  }
  void MouseWheel(int steps) override { Add(steps > 0 ? "wheel away" : "wheel towards"); }
  void FocusChanged(bool focused, bool) override { Add(focused ? "focus in" : "focus out"); }
  void CloseRequested() override { Add("close"); }
  void RepaintRequested() override { Add("repaint"); }

 private:
  static std::string Mods(Modifiers m) {
    std::string s;
    if (m.shift) s += " shift";
    if (m.ctrl) s += " ctrl";
    if (m.alt) s += " alt";
    return s;
  }
  void Add(const std::string& event) { text_ += (text_.empty() ? "" : ", ") + event; }
  std::string text_;
};

struct DecodeCase {
  const char* name;
  std::vector<std::string> reads;
  bool terminal;
  const char* events;        // after the reads
  const char* after_flush;   // what a flush then adds
};

constexpr bool kTerm = true;
constexpr bool kPipe = false;

TEST(KeyDecoder, TurnsTerminalBytesIntoEvents) {
  const DecodeCase cases[] = {
      // Text.
      {"ASCII text", {"aZ9 "}, kTerm, "ch 97, ch 90, ch 57, ch 32", ""},
      {"UTF-8 to Windows-1252", {"ç€ã"}, kTerm, "ch 231, ch 128, ch 227", ""},
      {"outside Windows-1252 becomes ?", {"日x"}, kTerm, "ch 63, ch 120", ""},
      {"an invalid UTF-8 byte is Windows-1252", {"\xE7" "a"}, kPipe, "ch 231, ch 97", ""},
      {"a UTF-8 character split across reads", {"\xC3", "\xA7"}, kTerm, "ch 231", ""},
      {"a cut UTF-8 character at the end stands as Windows-1252", {"\xC3"}, kTerm, "", "ch 195"},
      // Control keys.
      {"0x7F is Backspace", {"\x7F"}, kTerm, "ch 8", ""},
      {"0x08 is Ctrl+Backspace", {"\x08"}, kTerm, "ch 8 ctrl", ""},
      {"Ctrl+letter", {"\x01\x16"}, kTerm, "ch 1 ctrl, ch 22 ctrl", ""},
      {"Tab has no Ctrl", {"\t"}, kTerm, "ch 9", ""},
      {"Ctrl+Space", {std::string(1, '\0')}, kTerm, "ch 32 ctrl", ""},
      {"CR LF is one Enter", {"a\r\nb"}, kPipe, "ch 97, ch 13, ch 98", ""},
      {"CR LF split across reads of a stream", {"\r", "\n"}, kPipe, "ch 13", ""},
      {"LF ends a line in a stream", {"\n"}, kPipe, "ch 13", ""},
      {"LF alone in a terminal is Ctrl+Enter", {"\n"}, kTerm, "ch 13 ctrl", ""},
      {"Enter then Ctrl+J typed in a terminal", {"\r", "\n"}, kTerm, "ch 13, ch 13 ctrl", ""},
      // xterm cursor and function keys.
      {"CSI arrows", {"\x1B[A\x1B[B\x1B[C\x1B[D"}, kTerm, "key Up, key Down, key Right, key Left", ""},
      {"SS3 arrows and F1-F4", {"\x1BOA\x1BOP\x1BOS"}, kTerm, "key Up, key F1, key F4", ""},
      {"Home and End", {"\x1B[H\x1B[F\x1BOH\x1B[1~\x1B[4~"}, kTerm, "key Home, key End, key Home, key Home, key End", ""},
      {"CSI with modifiers", {"\x1B[1;5A\x1B[1;2D\x1B[1;3C\x1B[1;6H"}, kTerm,
       "key Up ctrl, key Left shift, key Right alt, key Home shift ctrl", ""},
      {"Ctrl+F1 in xterm", {"\x1B[1;5P"}, kTerm, "key F1 ctrl", ""},
      {"SS3 with a modifier", {"\x1BO5P"}, kTerm, "key F1 ctrl", ""},
      {"tilde keys", {"\x1B[2~\x1B[3~\x1B[5~\x1B[6~\x1B[15~\x1B[17~\x1B[21~\x1B[24~"}, kTerm,
       "key Ins, key Del, key PgUp, key PgDn, key F5, key F6, key F10, key F12", ""},
      {"tilde keys with modifiers", {"\x1B[2;2~\x1B[2;5~\x1B[24;5~"}, kTerm, "key Ins shift, key Ins ctrl, key F12 ctrl", ""},
      {"old xterm F1-F4", {"\x1B[11~\x1B[14~"}, kTerm, "key F1, key F4", ""},
      {"Linux console F1-F5", {"\x1B[[A\x1B[[C\x1B[[E"}, kTerm, "key F1, key F3, key F5", ""},
      {"rxvt modifiers", {"\x1B[2$\x1B[2^\x1B[3@\x1BOa\x1B[d"}, kTerm,
       "key Ins shift, key Ins ctrl, key Del shift ctrl, key Up ctrl, key Left shift", ""},
      {"rxvt Alt prefix", {"\x1B\x1B[C"}, kTerm, "key Right alt", ""},
      {"Shift+Tab", {"\x1B[Z"}, kTerm, "ch 9 shift", ""},
      {"keys split across two reads", {"\x1B[1;", "5A"}, kTerm, "key Up ctrl", ""},
      {"ESC alone split from its sequence", {"\x1B", "[B"}, kTerm, "key Down", ""},
      // modifyOtherKeys and CSI u.
      {"modifyOtherKeys Ctrl+Enter", {"\x1B[27;5;13~"}, kTerm, "ch 13 ctrl", ""},
      {"modifyOtherKeys Shift+Enter", {"\x1B[27;2;13~"}, kTerm, "ch 13 shift", ""},
      {"modifyOtherKeys Ctrl+Backspace", {"\x1B[27;5;127~"}, kTerm, "ch 8 ctrl", ""},
      {"modifyOtherKeys Ctrl+letter", {"\x1B[27;5;97~\x1B[27;6;65~"}, kTerm, "ch 1 ctrl, ch 1 shift ctrl", ""},
      {"modifyOtherKeys Ctrl+Alt+letter", {"\x1B[27;7;113~"}, kTerm, "altkey Q ctrl alt", ""},
      {"modifyOtherKeys Ctrl+Alt+digit", {"\x1B[27;7;49~"}, kTerm, "altkey 1 ctrl alt", ""},
      {"modifyOtherKeys code point", {"\x1B[27;5;8364~"}, kTerm, "ch 128 ctrl", ""},
      {"CSI u Ctrl+letter", {"\x1B[97;5u"}, kTerm, "ch 1 ctrl", ""},
      {"CSI u Enter, Escape, Backspace", {"\x1B[13;5u\x1B[27u\x1B[127;5u"}, kTerm, "ch 13 ctrl, ch 27, ch 8 ctrl", ""},
      {"CSI u with sub-parameters", {"\x1B[97:65;6:1u"}, kTerm, "ch 1 shift ctrl", ""},
      {"CSI u accented letter", {"\x1B[231;2u"}, kTerm, "ch 231 shift", ""},
      {"CSI u outside Windows-1252", {"\x1B[26085u"}, kTerm, "ch 63", ""},
      {"CSI u keys without a character", {"\x1B[57441;2u\x1B[57399u"}, kTerm, "", ""},
      // Mouse.
      {"SGR buttons", {"\x1B[<0;10;5M\x1B[<0;10;5m\x1B[<1;1;1M\x1B[<2;1;1M"}, kTerm,
       "mouse left, mouse middle, mouse right", ""},
      {"SGR button with modifiers", {"\x1B[<16;3;3M"}, kTerm, "mouse left", ""},
      {"SGR wheel", {"\x1B[<64;1;1M\x1B[<65;1;1M"}, kTerm, "wheel away, wheel towards", ""},
      {"SGR sideways wheel, motion and extra buttons", {"\x1B[<66;1;1M\x1B[<35;2;2M\x1B[<128;1;1M"}, kTerm, "", ""},
      {"X10 mouse reports", {"\x1B[M !!\x1B[M#!!\x1B[M\"!!\x1B[M`!!"}, kTerm,
       "mouse left, mouse right, wheel away", ""},
      {"focus reports", {"\x1B[I\x1B[O"}, kTerm, "focus in, focus out", ""},
      // Escape and Alt.
      {"a lone ESC waits, then is Escape", {"\x1B"}, kTerm, "", "ch 27"},
      {"ESC+letter in a terminal is Alt+letter", {"\x1Bq"}, kTerm, "altkey Q alt", ""},
      {"ESC+letter in a stream is Escape then the letter", {"\x1Bq"}, kPipe, "ch 27, ch 113", ""},
      {"ESC+digit in a terminal", {"\x1B" "5"}, kTerm, "altkey 5 alt", ""},
      {"ESC+control letter is Ctrl+Alt+letter", {"\x1B\x11\x1B\x08"}, kTerm,
       "altkey Q ctrl alt, altkey H ctrl alt", ""},
      {"Alt+Backspace, Alt+Enter, Alt+Tab type nothing", {"\x1B\x7F\x1B\r\x1B\t"}, kTerm, "", ""},
      {"Alt with an accented letter types nothing", {"\x1B\xC3\xA7" "a"}, kTerm, "ch 97", ""},
      {"ESC ESC is two Escapes", {"\x1B\x1B"}, kTerm, "", "ch 27, ch 27"},
      {"ESC [ with nothing after", {"\x1B["}, kPipe, "", "ch 27, ch 91"},
      {"ESC O then a key in a terminal", {"\x1BO"}, kTerm, "", "altkey O alt"},
      {"a broken CSI does not swallow the keys after it", {"\x1B[1\rab"}, kPipe, "ch 27, ch 91, ch 49, ch 13, ch 97, ch 98", ""},
      {"unknown sequences are dropped", {"\x1B[99~\x1B[5i\x1B[?1;2c" "a"}, kTerm, "ch 97", ""},
  };
  for (const auto& c : cases) {
    KeyDecoder decoder(c.terminal);
    EventLog log;
    for (const auto& read : c.reads) decoder.Feed(read, log);
    EXPECT_EQ(log.Take(), c.events) << c.name;
    EXPECT_EQ(decoder.pending(), *c.after_flush != '\0') << c.name;
    decoder.Flush(log);
    EXPECT_EQ(log.Take(), c.after_flush) << c.name;
    EXPECT_FALSE(decoder.pending()) << c.name;
  }
}

// What the script finally sees: the terminal's bytes through the console's
// own key tables.
TEST(KeyDecoder, TerminalKeysArriveAsTheConsoleKeyBytes) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string queued;
  };
  const std::string z(1, '\0');
  const Case cases[] = {
      {"Enter", "\r", "\r"},
      {"Ctrl+Enter", "\x1B[27;5;13~", "\n"},
      {"Ctrl+J", "\n", "\n"},
      {"Backspace", "\x7F", "\b"},
      {"Ctrl+Backspace", "\x08", "\x7F"},
      {"Shift+Insert", "\x1B[2;2~", z + "\xFE"},
      {"Ctrl+Insert", "\x1B[2;5~", z + "\xFF"},
      {"Ctrl+F1", "\x1B[1;5P", z + "^"},
      {"F10", "\x1B[21~", z + "D"},
      {"Ctrl+Left", "\x1B[1;5D", z + "s"},
      {"Alt+Right", "\x1B[1;3C", z + "M"},
      {"Alt+Up", "\x1B[1;3A", ""},
      {"Alt+letter", "\x1Bq", ""},
      {"Ctrl+Alt+letter", "\x1B\x11", z + "\x10"},
      {"Ctrl+Alt+0", "\x1B[27;7;48~", z + "\x81"},
      {"accented text", "ação", "a\xE7\xE3o"},
      {"left click", "\x1B[<0;1;1M", "\r"},
      {"right click", "\x1B[<2;1;1M", "\x1B"},
      {"middle click", "\x1B[<1;1;1M", z + "C"},
      {"wheel away", "\x1B[<64;1;1M", z + "H"},
      {"Ctrl+Space", z, " "},
  };
  testing::OrbelaEnvironment env;
  const Config config(env.locations());
  for (const auto& c : cases) {
    ConsoleWindow console(config, testing::ScriptedDisplay(std::make_shared<testing::DisplayLog>()));
    KeyDecoder decoder(true);
    decoder.Feed(c.bytes, console);
    decoder.Flush(console);
    std::string queued;
    while (!console.key_queue().empty()) queued += static_cast<char>(console.key_queue().Pop());
    EXPECT_EQ(queued, c.queued) << c.name;
  }
}

}  // namespace
}  // namespace morventa
