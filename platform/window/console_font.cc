#include "platform/window/console_font.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "system/text_encoding.h"

namespace morventa {
namespace {

struct FaceFile {
  std::string path;
  int index = 0;
  std::string family;
  int fc_weight = FC_WEIGHT_REGULAR;
};

// The face fontconfig offers for a family and weight. With exact_family the
// offer counts only when it really is that family: fontconfig always offers
// something, and a face the user did not name must not pass for it.
std::optional<FaceFile> MatchFace(const std::string& family, int weight, bool exact_family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return std::nullopt;
  std::optional<FaceFile> face;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    FaceFile f;
    f.path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &f.index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &f.fc_weight);
    FcChar8* name = nullptr;
    bool named = false;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
      if (i == 0) f.family = reinterpret_cast<const char*>(name);
      if (strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0) named = true;
    }
    if (named || !exact_family) face = f;
  }
  FcPatternDestroy(match);
  return face;
}

}  // namespace

std::unique_ptr<ConsoleFont> ConsoleFont::Open(const FontRequest& request) {
  if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
  if (!FcInit()) return nullptr;
  const int weight = std::clamp(request.weight, 1, 1000);
  std::optional<FaceFile> face = MatchFace(request.face_utf8, weight, true);
  if (!face) face = MatchFace("monospace", weight, false);
  if (!face) face = MatchFace("DejaVu Sans Mono", weight, false);
  if (!face) return nullptr;

  std::unique_ptr<ConsoleFont> font(new ConsoleFont());
  font->family_ = face->family;
  const int height = std::max(request.letter_height, 1);
  // The request names ascent plus descent, as the desktop's font sizes do;
  // a point size at 72 dpi gives roughly the em, so measure and correct.
  font->font_ = TTF_OpenFontIndex(face->path.c_str(), height, face->index);
  if (!font->font_) return nullptr;
  const int measured = TTF_FontHeight(font->font_);
  if (measured > 0 && measured != height) {
    const int size = std::max(1, static_cast<int>(std::lround(static_cast<double>(height) * height / measured)));
    TTF_SetFontSize(font->font_, size);
  }
  // A weight the face has no variant for is made by emboldening.
  if (FcWeightToOpenType(face->fc_weight) + 150 < weight) TTF_SetFontStyle(font->font_, TTF_STYLE_BOLD);
  TTF_SetFontHinting(font->font_, TTF_HINTING_LIGHT);

  font->ascent_ = TTF_FontAscent(font->font_);
  font->cell_height_ = std::max(TTF_FontLineSkip(font->font_), TTF_FontHeight(font->font_));
  int advance = 0;
  if (TTF_GlyphMetrics32(font->font_, 'x', nullptr, nullptr, nullptr, nullptr, &advance) != 0 ||
      advance <= 0) {
    advance = std::max(1, height / 2);
  }
  font->cell_width_ = request.letter_width > 0 ? request.letter_width : advance;
  font->x_scale_ = static_cast<double>(font->cell_width_) / advance;
  return font;
}

ConsoleFont::~ConsoleFont() {
  for (SDL_Surface* g : glyphs_) SDL_FreeSurface(g);
  if (font_) TTF_CloseFont(font_);
}

SDL_Surface* ConsoleFont::Glyph(unsigned char ansi) {
  if (rendered_[ansi]) return glyphs_[ansi];
  rendered_[ansi] = true;
  const char32_t cp = CodePointFromAnsi(ansi);
  // Spaces and the controls the code page leaves undefined draw nothing.
  if (cp <= 0x20 || (cp >= 0x7F && cp <= 0x9F) || !TTF_GlyphIsProvided32(font_, cp)) return nullptr;
  SDL_Surface* rendered = TTF_RenderGlyph32_Blended(font_, cp, SDL_Color{255, 255, 255, 255});
  if (!rendered) return nullptr;
  SDL_Surface* glyph = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(rendered);
  if (!glyph) return nullptr;
  if (std::abs(x_scale_ - 1.0) > 0.01) {
    const int width = std::max(1, static_cast<int>(std::lround(glyph->w * x_scale_)));
    SDL_Surface* fitted = SDL_CreateRGBSurfaceWithFormat(0, width, glyph->h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (fitted && SDL_SoftStretchLinear(glyph, nullptr, fitted, nullptr) == 0) {
      SDL_FreeSurface(glyph);
      glyph = fitted;
    } else {
      SDL_FreeSurface(fitted);
    }
  }
  SDL_SetSurfaceBlendMode(glyph, SDL_BLENDMODE_BLEND);
  glyphs_[ansi] = glyph;
  return glyph;
}

}  // namespace morventa
