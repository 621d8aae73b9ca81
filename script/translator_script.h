// The translator script the morventa-light program runs: script/tradutor.q,
// kept in the repository as UTF-8 and built into the program as the
// interpreter's Windows-1252 lines (tools/embed_script).
#pragma once

#include <span>
#include <string_view>

namespace morventa {

std::span<const std::string_view> TranslatorScript();

}  // namespace morventa
