// A stand-in for the desktop environment around the program: its per-user
// Orbela.ini, the legacy one of the system directory, and the directory the
// program runs from, all under one temporary directory removed at the end.
#pragma once

#include <string>

#include "console/config.h"

namespace morventa::testing {

class OrbelaEnvironment {
 public:
  OrbelaEnvironment();
  ~OrbelaEnvironment();
  OrbelaEnvironment(const OrbelaEnvironment&) = delete;
  OrbelaEnvironment& operator=(const OrbelaEnvironment&) = delete;

  // The files are written byte for byte as given.
  void WriteUserIni(const std::string& contents) const;
  void WriteSystemIni(const std::string& contents) const;
  void RemoveUserIni() const;

  const std::string& root() const { return root_; }
  std::string user_dir() const { return root_ + "/config/Orbela"; }
  std::string system_dir() const { return root_ + "/etc"; }
  std::string program_dir() const { return root_ + "/prefix/bin"; }
  ConfigLocations locations() const { return {user_dir(), system_dir(), program_dir()}; }

 private:
  std::string root_;
};

}  // namespace morventa::testing
