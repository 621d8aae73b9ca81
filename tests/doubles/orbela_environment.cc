#include "tests/doubles/orbela_environment.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace morventa::testing {
namespace {

void Write(const std::string& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

OrbelaEnvironment::OrbelaEnvironment() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/morventa-orbela-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  root_ = pattern;
  std::filesystem::create_directories(user_dir());
  std::filesystem::create_directories(system_dir());
  std::filesystem::create_directories(program_dir());
}

OrbelaEnvironment::~OrbelaEnvironment() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void OrbelaEnvironment::WriteUserIni(const std::string& contents) const {
  Write(user_dir() + "/Orbela.ini", contents);
}

void OrbelaEnvironment::WriteSystemIni(const std::string& contents) const {
  Write(system_dir() + "/Orbela.ini", contents);
}

void OrbelaEnvironment::RemoveUserIni() const {
  std::error_code ignored;
  std::filesystem::remove(user_dir() + "/Orbela.ini", ignored);
}

}  // namespace morventa::testing
