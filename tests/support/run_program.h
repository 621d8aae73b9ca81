// Runs a program of ours with given standard input, environment and working
// directory, and collects what it wrote and how it ended.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace morventa::testing {

struct ProgramResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& input,
                         const std::map<std::string, std::string>& env, const std::string& cwd,
                         int timeout_seconds = 60);

// Turns key notation into the bytes a terminal sends: text as it stands,
// "<Enter>", "<Esc>", "<Tab>", "<BS>", "<F1>".."<F12>", "<Up>", "<Down>",
// "<Left>", "<Right>", "<Home>", "<End>", "<PgUp>", "<PgDn>", "<Ins>", "<Del>",
// modifiers as "<C-Left>", "<S-Right>", "<C-S-Home>", "<C-a>" (Ctrl+letter),
// "<C-A-q>" (Ctrl+Alt+letter), "<lt>" for "<". Line breaks are ignored.
std::string KeyBytes(const std::string& notation);

// A fresh empty directory under the test temporary directory.
std::string MakeTempDir();
std::string ReadFile(const std::string& path);
// Creates the folders on the way; throws when the file cannot be written.
void WriteFile(const std::string& path, std::string_view contents);

}  // namespace morventa::testing
