// The console's font for the window: the face named by the configuration,
// found with fontconfig, or a monospaced face when the system lacks it; its
// glyphs rendered once and kept, each fitted to the cell.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <memory>
#include <string>

namespace morventa {

struct FontRequest {
  std::string face_utf8;
  int weight = 700;        // 1..1000, as the configuration writes it
  int letter_width = 13;   // pixels: the cell's width
  int letter_height = 28;  // pixels: ascent plus descent
};

class ConsoleFont {
 public:
  // Nothing when no face at all could be opened.
  static std::unique_ptr<ConsoleFont> Open(const FontRequest& request);
  ~ConsoleFont();
  ConsoleFont(const ConsoleFont&) = delete;
  ConsoleFont& operator=(const ConsoleFont&) = delete;

  int cell_width() const { return cell_width_; }
  int cell_height() const { return cell_height_; }
  int ascent() const { return ascent_; }
  const std::string& family() const { return family_; }

  // The glyph of a Windows-1252 byte in white with its coverage as alpha,
  // at most a cell wide; null for a byte that draws nothing.
  SDL_Surface* Glyph(unsigned char ansi);

 private:
  ConsoleFont() = default;

  TTF_Font* font_ = nullptr;
  std::string family_;
  int cell_width_ = 0;
  int cell_height_ = 0;
  int ascent_ = 0;
  double x_scale_ = 1.0;  // the face's letters squeezed or widened to the cell
  std::array<SDL_Surface*, 256> glyphs_{};
  std::array<bool, 256> rendered_{};
};

}  // namespace morventa
