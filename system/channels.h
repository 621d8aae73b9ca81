// The ten numbered channels #0 to #9 that scripts read and write: text files
// (ABRE) and connections (the network commands), behind one set of
// operations that ESCREVE, LE, FECHA and OBSERVA use whatever the channel
// holds.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace morventa {

class Runtime;

// The quiet suffix: a final "&" on the line, removed with the blanks before
// it. True when it was there.
bool TakeQuietSuffix(std::string_view& args);

// A connection attached to a channel. The network commands make these; the
// channel owns it from then on, and destroying it is how the channel closes
// the connection (FECHA, or ABRE over it, or the end of the program).
class ChannelConnection {
 public:
  virtual ~ChannelConnection() = default;
  // Sends the text, followed by CR LF when line_end; false when it failed.
  virtual bool Send(std::string_view text, bool line_end) = 0;
  // One line into line; false when no complete line came (line then keeps
  // whatever did).
  virtual bool ReadLine(std::string& line) = 0;
  // Whether bytes are waiting to be read.
  virtual bool DataAvailable() = 0;
  // The local or the remote address, dotted; none when the system cannot
  // tell it.
  virtual std::optional<std::string> Address(bool remote) const = 0;
};

// A text file on a channel. The script's text is Windows-1252; on disk it is
// what a Linux user has: lines are read as UTF-8 when they are valid UTF-8
// (as Windows-1252 otherwise) and written as UTF-8, each ending in CR LF.
class TextFile {
 public:
  enum class Mode { kRead, kAppend };

  TextFile() = default;
  ~TextFile();  // flushes what is still buffered
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // 0, or the errno of the failure. Append creates a missing file.
  int Open(const std::string& host_path, Mode mode);
  bool is_open() const { return fd_ >= 0; }
  Mode mode() const { return mode_; }
  // 0 or an errno. Without a line end the text goes to disk at once.
  int Write(std::string_view ansi_text, bool line_end);
  // 0 with a line, 1 at the end of the file (line empty), or an errno.
  int ReadLine(std::string& ansi_line);
  // Flushes and closes; 0 or the first errno.
  int Close();

 private:
  int Flush();
  int Fill();

  int fd_ = -1;
  Mode mode_ = Mode::kRead;
  std::string out_;
  std::string in_;
  size_t in_pos_ = 0;
  bool started_ = false;
};

struct Channel {
  bool open = false;
  // Set by the commands that attach a connection, cleared by ABRE, and kept
  // by FECHA.
  bool socket = false;
  TextFile file;
  std::unique_ptr<ChannelConnection> connection;
};

class ChannelTable {
 public:
  static constexpr int kCount = 10;

  Channel& at(int n) { return channels_[n]; }
  // The connection of an open socket channel, or null.
  ChannelConnection* Connection(int n) {
    Channel& c = channels_[n];
    return c.open && c.socket ? c.connection.get() : nullptr;
  }
  // Releases whatever the channel holds; 0 or the errno of closing a file.
  int Release(int n);

 private:
  std::array<Channel, kCount> channels_;
};

// The channel operations. Each shows "Erro no processamento de arquivo" and
// fails for a channel it cannot use; file and connection errors themselves
// only set OperationStatus.

// ESCREVE #n.
bool WriteChannel(Runtime& rt, int channel, std::string_view text, bool line_end);
// One line from the channel; a channel that is not open, or a file opened for
// writing, cannot be read.
bool ReadChannel(Runtime& rt, int channel, std::string& line);
// LE #n v: the line read goes to the variable in slot (as TakeVariable gives
// it); at the end of a file the variable is emptied and the status is 1.
bool ReadChannelLine(Runtime& rt, int channel, int slot);
// The channel becomes an open socket channel holding the connection; a file
// still open there is closed first, its buffered lines written.
void AttachConnection(Runtime& rt, int channel, std::unique_ptr<ChannelConnection> connection);
// Whether an open socket channel has data waiting (OBSERVA #n); files and
// closed channels have none.
bool ChannelHasData(Runtime& rt, int channel);

}  // namespace morventa
