#include "system/host_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "system/text_encoding.h"

namespace morventa {
namespace {

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  // A program started without HOME (from a service) still has an account.
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

}  // namespace

std::string HostPath(std::string_view ansi_name) {
  std::string path = AnsiToUtf8(ansi_name);
  if (path == "~") return HomeDirectory();
  if (path.size() >= 2 && path[0] == '~' && path[1] == '/') {
    std::string home = HomeDirectory();
    if (!home.empty() && home.back() == '/') home.pop_back();
    path.replace(0, 1, home);
  }
  return path;
}

std::string ScriptName(std::string_view host_name) { return BoundaryToAnsi(host_name); }

}  // namespace morventa
