// The channel table, text files on channels, and the channel commands ABRE,
// FECHA and CHECA.
#include "system/channels.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "interpreter/variables.h"
#include "system/file_descriptor.h"
#include "system/host_paths.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

constexpr size_t kReadChunk = 64 * 1024;
// Lines written with a line end wait here until this much has gathered.
constexpr size_t kWriteBuffer = 4096;
constexpr char kCtrlZ = 26;

const char kProcessingError[] = "Erro no processamento de arquivo";

}  // namespace

bool TakeQuietSuffix(std::string_view& args) {
  if (args.empty() || args.back() != '&') return false;
  args = TrimView(args.substr(0, args.size() - 1));
  return true;
}

// ---------------------------------------------------------------------------
// TextFile

TextFile::~TextFile() { Close(); }

int TextFile::Open(const std::string& host_path, Mode mode) {
  Close();
  const int flags = mode == Mode::kRead ? O_RDONLY : O_WRONLY | O_APPEND | O_CREAT;
  const int fd = ::open(host_path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  // Linux opens a directory for reading; a channel cannot read one.
  struct stat st;
  const int error = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (error != 0) {
    ::close(fd);
    return error;
  }
  fd_ = fd;
  mode_ = mode;
  out_.clear();
  in_.clear();
  in_pos_ = 0;
  started_ = false;
  return 0;
}

int TextFile::Flush() {
  const int error = WriteAll(fd_, out_) ? 0 : errno;
  // What could not be written is dropped: the status has told the script.
  out_.clear();
  return error;
}

int TextFile::Write(std::string_view ansi_text, bool line_end) {
  if (fd_ < 0) return EBADF;
  if (mode_ != Mode::kAppend) return EBADF;  // what write(2) says of a file opened to read
  out_ += AnsiToUtf8(ansi_text);
  if (line_end) out_ += "\r\n";
  if (!line_end || out_.size() >= kWriteBuffer) return Flush();
  return 0;
}

int TextFile::Fill() {
  in_.resize(kReadChunk);
  ssize_t n;
  do {
    n = ::read(fd_, in_.data(), in_.size());
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    in_.clear();
    in_pos_ = 0;
    return errno;
  }
  in_.resize(static_cast<size_t>(n));
  in_pos_ = 0;
  if (!started_) {
    started_ = true;
    // A byte-order mark is not text a Windows user would have seen.
    if (in_.compare(0, 3, "\xEF\xBB\xBF") == 0) in_pos_ = 3;
  }
  return 0;
}

int TextFile::ReadLine(std::string& ansi_line) {
  ansi_line.clear();
  if (fd_ < 0) return EBADF;
  // Asked again at the end each time: the file may have grown since.
  if (in_pos_ == in_.size()) {
    if (const int error = Fill()) return error;
  }
  // The end of the file, or a Ctrl-Z where a line would begin.
  if (in_pos_ == in_.size() || in_[in_pos_] == kCtrlZ) return 1;
  std::string raw;
  int error = 0;
  for (;;) {
    if (in_pos_ == in_.size()) {
      if ((error = Fill()) != 0 || in_pos_ == in_.size()) break;
    }
    const size_t lf = in_.find('\n', in_pos_);
    const size_t stop = lf == std::string::npos ? in_.size() : lf;
    // A CR is never part of a line: before the LF it ends the line with it,
    // alone it is dropped.
    for (size_t i = in_pos_; i < stop; ++i) {
      if (in_[i] != '\r') raw += in_[i];
    }
    if (lf != std::string::npos) {
      in_pos_ = lf + 1;
      break;
    }
    in_pos_ = in_.size();
  }
  ansi_line = BoundaryToAnsi(raw);
  return error;
}

int TextFile::Close() {
  if (fd_ < 0) return 0;
  int error = mode_ == Mode::kAppend ? Flush() : 0;
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  in_.clear();
  in_.shrink_to_fit();
  in_pos_ = 0;
  return error;
}

// ---------------------------------------------------------------------------
// The table and its operations

int ChannelTable::Release(int n) {
  Channel& c = channels_[n];
  c.connection.reset();
  const int error = c.file.Close();
  c.open = false;
  return error;
}

bool WriteChannel(Runtime& rt, int channel, std::string_view text, bool line_end) {
  Channel& c = rt.channels.at(channel);
  if (!c.open) {
    rt.WriteLineSpoken(kProcessingError);
    return false;
  }
  if (c.socket) {
    rt.operation_status = c.connection && c.connection->Send(text, line_end) ? 0 : 1;
  } else {
    rt.operation_status = c.file.Write(text, line_end);
  }
  return true;
}

bool ReadChannel(Runtime& rt, int channel, std::string& line) {
  Channel& c = rt.channels.at(channel);
  // Nothing to read from: answered as a write to a closed channel is.
  if (!c.open || (!c.socket && c.file.mode() != TextFile::Mode::kRead)) {
    rt.WriteLineSpoken(kProcessingError);
    return false;
  }
  if (c.socket) {
    // A socket channel whose connection failed reads nothing, as one whose
    // peer has gone.
    line.clear();
    rt.operation_status = c.connection && c.connection->ReadLine(line) ? 0 : 1;
  } else {
    rt.operation_status = c.file.ReadLine(line);
  }
  return true;
}

bool ReadChannelLine(Runtime& rt, int channel, int slot) {
  std::string line;
  if (!ReadChannel(rt, channel, line)) return false;
  rt.interp.variables.Slot(slot) = std::move(line);
  return true;
}

void AttachConnection(Runtime& rt, int channel, std::unique_ptr<ChannelConnection> connection) {
  rt.channels.Release(channel);
  Channel& c = rt.channels.at(channel);
  c.connection = std::move(connection);
  c.socket = true;
  c.open = true;
}

bool ChannelHasData(Runtime& rt, int channel) {
  ChannelConnection* connection = rt.channels.Connection(channel);
  return connection && connection->DataAvailable();
}

// ---------------------------------------------------------------------------
// Commands

bool AbreCommand(Runtime& rt, std::string_view args) {
  const bool append = TakeQuietSuffix(args);
  std::string name;
  const auto channel = TakeChannel(args);
  if (channel && !args.empty() && !EvaluateValue(rt, args, name)) name.clear();
  if (channel && !name.empty()) {
    // An earlier file on the channel is closed with its lines written out.
    rt.channels.Release(*channel);
    Channel& c = rt.channels.at(*channel);
    c.socket = false;
    if (c.file.Open(HostPath(name), append ? TextFile::Mode::kAppend : TextFile::Mode::kRead) == 0) {
      c.open = true;
      return true;
    }
  }
  rt.WriteLineSpoken("Erro na abertura do arquivo " + name);
  return false;
}

bool FechaCommand(Runtime& rt, std::string_view args) {
  const auto channel = TakeChannel(args);
  // Closing a connection ends the TLS choice of CONECTA SSL.
  if (channel && rt.channels.at(*channel).open && rt.channels.at(*channel).socket) {
    rt.network.tls_choice = false;
  }
  if (!channel || rt.channels.Release(*channel) != 0) {
    rt.WriteLineSpoken("Erro no fechamento do arquivo");
    return false;
  }
  return true;
}

bool ChecaCommand(Runtime& rt, std::string_view args) {
  const auto slot = TakeVariable(rt, args);
  if (!slot || !args.empty()) return false;
  rt.interp.variables.Slot(*slot) = DecimalText(rt.operation_status);
  return true;
}

}  // namespace morventa
