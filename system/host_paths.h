// File and directory names between the script (Windows-1252) and Linux
// (UTF-8 names, "/" separators).
#pragma once

#include <string>
#include <string_view>

namespace morventa {

// The name a script gave, as the system call wants it: UTF-8, with a leading
// "~/" (or a lone "~") standing for the user's home directory.
std::string HostPath(std::string_view ansi_name);

// A name the system gave back (a directory entry, the current directory), as
// the script sees it.
std::string ScriptName(std::string_view host_name);

}  // namespace morventa
