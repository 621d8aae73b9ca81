// What each fuzzer does with one input. The libFuzzer entry points call these,
// and the regression test runs every kept input through them again in the
// ordinary and the sanitizer builds. Each aborts on a broken invariant.
#pragma once

#include <string>
#include <string_view>

namespace morventa::fuzz {

// The bytes as a few script lines (Windows-1252), run by a fresh runtime
// within a line and text budget, away from files, programs and the network.
// Returns what the run wrote on the console.
std::string ExecuteLineInput(std::string_view bytes);
// The bytes as the contents of a script file.
void ScriptLoaderInput(std::string_view bytes);
// The first byte picks the mode and how the rest is cut into reads; the rest
// is what a terminal sends.
void KeyDecoderInput(std::string_view bytes);

}  // namespace morventa::fuzz
