// File and directory commands: REMOVE, RENOMEIA, REPLICA, DIR, BUSCA, TAMARQ
// and HTAMARQ.
#include "system/file_commands.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "interpreter/variables.h"
#include "system/channels.h"
#include "system/file_descriptor.h"
#include "system/host_paths.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

// Opens an existing file (never a directory) for reading.
FileDescriptor OpenRegularForReading(const std::string& host_path, struct stat* st) {
  FileDescriptor fd(::open(host_path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok() || fstat(fd.get(), st) != 0 || S_ISDIR(st->st_mode)) return FileDescriptor();
  return fd;
}

// A name that must be the last argument of its line.
bool TakeLastName(Runtime& rt, std::string_view& args, std::string& name) {
  return EvaluateValue(rt, args, name) && args.empty();
}

bool HasWildcard(std::string_view pattern) {
  return pattern.find_first_of("*?[") != std::string_view::npos;
}

}  // namespace

// ---------------------------------------------------------------------------
// DirectorySearch

void DirectorySearch::Start(const std::string& host_pattern, bool directory_mode) {
  End();
  const size_t slash = host_pattern.rfind('/');
  std::string dir = slash == std::string::npos ? "." : host_pattern.substr(0, slash);
  if (slash == 0) dir = "/";
  std::string pattern = slash == std::string::npos ? host_pattern : host_pattern.substr(slash + 1);
  // Scripts written for Windows ask for every file as "*.*".
  if (pattern == "*.*") pattern = "*";
  if (pattern.empty() || pattern[0] == '.') return;

  const auto classify = [&](int dir_fd, const std::string& name) {
    struct stat st;
    if (fstatat(dir_fd, name.c_str(), &st, 0) != 0) return;
    if (S_ISREG(st.st_mode) || (directory_mode && S_ISDIR(st.st_mode))) {
      entries_.push_back({name, S_ISDIR(st.st_mode)});
    }
  };
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  const std::unique_ptr<DIR, int (*)(DIR*)> closer(d, closedir);
  if (!HasWildcard(pattern)) {
    classify(dirfd(d), pattern);
    return;
  }
  while (const dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name[0] == '.' || fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) != 0) continue;
    classify(dirfd(d), name);
  }
  std::sort(entries_.begin(), entries_.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
}

std::optional<DirectorySearch::Entry> DirectorySearch::Next() {
  if (next_ >= entries_.size()) {
    End();
    return std::nullopt;
  }
  return entries_[next_++];
}

void DirectorySearch::End() {
  entries_.clear();
  next_ = 0;
}

// ---------------------------------------------------------------------------
// Sizes

std::string ReadableSize(int64_t bytes, std::string_view decimal_point) {
  static constexpr const char* kUnits[] = {" B", "KB", " MB", "GB", " TB"};
  double size = static_cast<double>(bytes);
  size_t divisions = 0;
  while (size >= 1024) {
    size /= 1024;
    ++divisions;
  }
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.2f", size);
  std::string text = digits;
  if (const size_t point = text.find('.'); point != std::string::npos) {
    text.replace(point, 1, decimal_point);
  }
  if (divisions < std::size(kUnits)) text += kUnits[divisions];
  return text;
}

std::string UserDecimalPoint() {
  // Asked of a locale object of its own: the program's C locale stays as it
  // is for everything else.
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", nullptr);
  if (!user) return ".";
  std::string point = nl_langinfo_l(RADIXCHAR, user);
  freelocale(user);
  if (point.empty()) return ".";
  return ScriptName(point);
}

// ---------------------------------------------------------------------------
// Commands

bool RemoveCommand(Runtime& rt, std::string_view args) {
  const bool quiet = TakeQuietSuffix(args);
  std::string name;
  if (!EvaluateValue(rt, args, name) || name.empty()) return false;
  if (::unlink(HostPath(name).c_str()) == 0 || quiet) return true;
  rt.WriteLineSpoken("Erro no apagamento do arquivo " + name);
  return false;
}

bool RenomeiaCommand(Runtime& rt, std::string_view args) {
  const bool quiet = TakeQuietSuffix(args);
  std::string from, to;
  if (!EvaluateValue(rt, args, from) || !TakeLastName(rt, args, to)) return false;
  const std::string host_from = HostPath(from), host_to = HostPath(to);
  // A rename never replaces a file that is already there.
  int result = renameat2(AT_FDCWD, host_from.c_str(), AT_FDCWD, host_to.c_str(), RENAME_NOREPLACE);
  if (result != 0 && errno == EINVAL) {
    // A file system that cannot promise it: look first.
    struct stat st;
    result = lstat(host_to.c_str(), &st) == 0 ? -1 : ::rename(host_from.c_str(), host_to.c_str());
  }
  return result == 0 || quiet;
}

bool ReplicaCommand(Runtime& rt, std::string_view args) {
  const bool quiet = TakeQuietSuffix(args);
  std::string source, destination;
  if (!EvaluateValue(rt, args, source) || !TakeLastName(rt, args, destination)) return false;
  struct stat source_st;
  const FileDescriptor in = OpenRegularForReading(HostPath(source), &source_st);
  if (!in.ok()) return quiet;
  const std::string host_destination = HostPath(destination);
  // Truncating the source itself would lose it before a byte is copied.
  struct stat destination_st;
  if (stat(host_destination.c_str(), &destination_st) == 0 &&
      destination_st.st_dev == source_st.st_dev && destination_st.st_ino == source_st.st_ino) {
    return quiet;
  }
  const FileDescriptor out(::open(host_destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!out.ok()) return quiet;
  std::vector<char> buffer(30000);
  for (;;) {
    const ssize_t n = ReadSome(in.get(), buffer.data(), buffer.size());
    if (n == 0) return true;
    if (n < 0) {
      if (quiet) return true;
      rt.WriteLineSpoken("Erro no processamento de arquivo " + source);
      return false;
    }
    if (!WriteAll(out.get(), std::string_view(buffer.data(), static_cast<size_t>(n)))) {
      if (quiet) return true;
      rt.WriteLineSpoken("Erro na escrita de arquivo " + destination);
      return false;
    }
  }
}

bool DirCommand(Runtime& rt, std::string_view args) {
  enum class Action { kCreate, kRemove, kChange };
  static constexpr struct {
    std::string_view word;
    Action action;
  } kActions[] = {{"CRIA ", Action::kCreate}, {"REMOVE ", Action::kRemove}, {"TROCA ", Action::kChange}};
  const bool quiet = TakeQuietSuffix(args);
  const auto* chosen = std::find_if(std::begin(kActions), std::end(kActions),
                                    [&](const auto& a) { return StartsWithUpper(args, a.word); });
  if (chosen == std::end(kActions)) return false;
  args.remove_prefix(args.find(' '));
  std::string name;
  if (!TakeLastName(rt, args, name)) return false;
  const std::string path = HostPath(name);
  int result = -1;
  switch (chosen->action) {
    case Action::kCreate: result = ::mkdir(path.c_str(), 0777); break;
    case Action::kRemove: result = ::rmdir(path.c_str()); break;
    case Action::kChange: result = ::chdir(path.c_str()); break;
  }
  if (result == 0 || quiet) return true;
  rt.WriteLineSpoken(Ansi("Erro no processamento do diretório ") + name);
  return false;
}

bool BuscaCommand(Runtime& rt, std::string_view args) {
  const auto slot = TakeVariable(rt, args);
  if (!slot || args.empty()) return false;
  const bool directory_mode = StartsWithUpper(args, "DIR");
  if (directory_mode) args = TrimView(args.substr(std::min<size_t>(4, args.size())));
  std::string& variable = rt.interp.variables.Slot(*slot);
  if (StartsWithUpper(args, "FIM")) {
    rt.search.End();
    return true;
  }
  if (StartsWithUpper(args, "PROXIMO") || StartsWithUpper(args, "PR\xD3XIMO")) {
    if (!TrimView(args.substr(7)).empty()) return false;
    variable.clear();
    while (const auto entry = rt.search.Next()) {
      if (entry->directory == directory_mode) {
        variable = Trim(ScriptName(entry->name));
        break;
      }
    }
    return true;
  }
  if (!args.empty()) {
    std::string pattern;
    if (!TakeLastName(rt, args, pattern)) return false;
    rt.search.Start(HostPath(pattern), directory_mode);
    const auto first = rt.search.Next();
    variable = first ? Trim(ScriptName(first->name)) : std::string();
    return true;
  }
  std::string cwd(4096, '\0');
  while (!getcwd(cwd.data(), cwd.size())) {
    if (errno != ERANGE) return false;
    cwd.resize(cwd.size() * 2);
  }
  variable = Trim(ScriptName(cwd.c_str()));
  return true;
}

namespace {

// TAMARQ and HTAMARQ: the size of a file the program can open.
std::optional<int64_t> FileSize(Runtime& rt, std::string_view& args, std::optional<int>& slot) {
  std::string name;
  if (!EvaluateValue(rt, args, name)) return std::nullopt;
  slot = TakeVariable(rt, args);
  if (!slot) return std::nullopt;
  struct stat st;
  if (!OpenRegularForReading(HostPath(name), &st).ok()) return std::nullopt;
  return static_cast<int64_t>(st.st_size);
}

}  // namespace

bool TamarqCommand(Runtime& rt, std::string_view args) {
  std::optional<int> slot;
  const auto size = FileSize(rt, args, slot);
  if (!size) return false;
  rt.interp.variables.Slot(*slot) = DecimalText(*size);
  return true;
}

bool HtamarqCommand(Runtime& rt, std::string_view args) {
  std::optional<int> slot;
  const auto size = FileSize(rt, args, slot);
  if (!size) return false;
  rt.interp.variables.Slot(*slot) = ReadableSize(*size, UserDecimalPoint());
  return true;
}

}  // namespace morventa
