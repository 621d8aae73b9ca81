// The byte buffer and the binary file: CRIABIN, ESCREVEBYTE, LEBYTE,
// GRAVABYTES, LIMPABYTES and FECHABIN.
#include "system/byte_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "interpreter/variables.h"
#include "system/file_descriptor.h"
#include "system/host_paths.h"

namespace morventa {

bool ByteFile::Append(std::string_view bytes) {
  if (bytes.size() > room()) return false;
  const size_t needed = buffer_.size() + bytes.size();
  if (needed > buffer_.capacity()) {
    // Doubling, as containers grow, but never past the capacity: a plain
    // doubling near the end would take almost twice the memory.
    buffer_.reserve(std::min(kCapacity, std::max(needed, 2 * buffer_.capacity())));
  }
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  return true;
}

void ByteFile::Clear() {
  buffer_.clear();
  buffer_.shrink_to_fit();
}

bool ByteFile::CreateFile(const std::string& host_path) {
  if (fd_ >= 0) return false;
  // O_EXCL: a file already there, of any kind, is refused.
  fd_ = ::open(host_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  return fd_ >= 0;
}

bool ByteFile::WriteOut() {
  if (fd_ < 0 || !WriteAll(fd_, bytes())) return false;
  buffer_.clear();
  return true;
}

bool ByteFile::CloseFile() {
  if (fd_ < 0) return false;
  ::close(fd_);
  fd_ = -1;
  return true;
}

bool CriabinCommand(Runtime& rt, std::string_view args) {
  std::string name;
  if (!EvaluateValue(rt, args, name)) return false;
  return rt.byte_file.CreateFile(HostPath(name));
}

bool EscrevebyteCommand(Runtime& rt, std::string_view args) {
  std::string bytes;
  if (!EvaluateValue(rt, args, bytes)) return false;
  return rt.byte_file.Append(bytes);
}

bool LebyteCommand(Runtime& rt, std::string_view args) {
  std::string name, first_text, last_text;
  if (!EvaluateValue(rt, args, name) || !EvaluateValue(rt, args, first_text) ||
      !EvaluateValue(rt, args, last_text)) {
    return false;
  }
  const auto first = ToInteger(first_text);
  const auto last = ToInteger(last_text);
  if (!first || !last || *first < 0 || *last < *first) return false;
  ByteFile& buffer = rt.byte_file;
  if (buffer.room() == 0) return false;
  const FileDescriptor fd(::open(HostPath(name).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) return false;
  struct stat st;
  const bool usable = fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
                      st.st_size <= static_cast<off_t>(ByteFile::kCapacity) && *first < st.st_size;
  // The range stops at the end of the file: only bytes the file holds are
  // appended.
  const size_t wanted = *last == *first ? 1 : static_cast<size_t>(*last - *first);
  const size_t n = usable ? std::min<size_t>(wanted, static_cast<size_t>(st.st_size - *first)) : 0;
  std::string bytes(n, '\0');
  size_t got = 0;
  bool read_ok = usable && n <= buffer.room();
  while (read_ok && got < n) {
    const ssize_t r = ::pread(fd.get(), bytes.data() + got, n - got, *first + static_cast<off_t>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) read_ok = false;
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  if (!read_ok) return false;
  bytes.resize(got);
  return buffer.Append(bytes);
}

bool GravabytesCommand(Runtime& rt, std::string_view) { return rt.byte_file.WriteOut(); }

bool LimpabytesCommand(Runtime& rt, std::string_view) {
  rt.byte_file.Clear();
  return true;
}

bool FechabinCommand(Runtime& rt, std::string_view) { return rt.byte_file.CloseFile(); }

}  // namespace morventa
