#include "ui/sdl_util.h"

#include <SDL_image.h>

#include <algorithm>

namespace hw::ui {

Surface LoadPicture(const std::string& path) {
  Surface loaded(IMG_Load(path.c_str()));
  if (!loaded) return nullptr;
  return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
}

Surface NewSurface(int width, int height, Rgb fill) {
  Surface surface(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
  if (surface) SDL_FillRect(surface.get(), nullptr, MapColour(surface.get(), fill));
  return surface;
}

Surface CutOut(const SDL_Surface* picture, const SDL_Rect& area) {
  Surface cell = NewSurface(area.w, area.h);
  if (!cell || picture == nullptr) return cell;
  SDL_Rect from = area;
  SDL_SetSurfaceBlendMode(const_cast<SDL_Surface*>(picture), SDL_BLENDMODE_NONE);
  SDL_BlitSurface(const_cast<SDL_Surface*>(picture), &from, cell.get(), nullptr);
  return cell;
}

Uint32 MapColour(const SDL_Surface* surface, Rgb colour) {
  return SDL_MapRGB(surface->format, colour.Red, colour.Green, colour.Blue);
}

void Copy(SDL_Surface* from, const SDL_Rect& area, SDL_Surface* to, int x, int y) {
  if (from == nullptr || to == nullptr) return;
  SDL_SetColorKey(from, SDL_FALSE, 0);
  SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
  SDL_Rect source = area;
  SDL_Rect target{x, y, area.w, area.h};
  SDL_BlitSurface(from, &source, to, &target);
}

void CopyKeyed(SDL_Surface* from, const SDL_Rect& area, SDL_Surface* to, int x, int y, Rgb key) {
  if (from == nullptr || to == nullptr) return;
  SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
  SDL_SetColorKey(from, SDL_TRUE, MapColour(from, key));
  SDL_Rect source = area;
  SDL_Rect target{x, y, area.w, area.h};
  SDL_BlitSurface(from, &source, to, &target);
  SDL_SetColorKey(from, SDL_FALSE, 0);
}

void CopyScaled(SDL_Surface* from, SDL_Surface* to, const SDL_Rect& area) {
  if (from == nullptr || to == nullptr) return;
  SDL_SetColorKey(from, SDL_FALSE, 0);
  SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
  SDL_Rect target = area;
  SDL_BlitScaled(from, nullptr, to, &target);
}

void Fill(SDL_Surface* to, const SDL_Rect& area, Rgb colour) {
  if (to != nullptr) SDL_FillRect(to, &area, MapColour(to, colour));
}

void Frame(SDL_Surface* to, const SDL_Rect& area, Rgb colour, int thickness) {
  Fill(to, {area.x, area.y, area.w, thickness}, colour);
  Fill(to, {area.x, area.y + area.h - thickness, area.w, thickness}, colour);
  Fill(to, {area.x, area.y, thickness, area.h}, colour);
  Fill(to, {area.x + area.w - thickness, area.y, thickness, area.h}, colour);
}

void WriteText(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour, int x, int y) {
  if (to == nullptr || font == nullptr || text.empty()) return;
  const std::string copy(text);
  Surface rendered(TTF_RenderUTF8_Blended(font, copy.c_str(),
                                          SDL_Color{colour.Red, colour.Green, colour.Blue, 255}));
  if (!rendered) return;
  SDL_SetSurfaceBlendMode(rendered.get(), SDL_BLENDMODE_BLEND);
  SDL_Rect target{x, y, rendered->w, rendered->h};
  SDL_BlitSurface(rendered.get(), nullptr, to, &target);
}

void WriteShadowText(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour, Rgb shadow,
                     int offset, int x, int y) {
  WriteText(to, font, text, shadow, x + offset, y + offset);
  WriteText(to, font, text, colour, x, y);
}

void WriteOutlinedText(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour,
                       Rgb outline, int offset, int x, int y) {
  WriteText(to, font, text, outline, x, y + offset);
  WriteText(to, font, text, outline, x, y - offset);
  WriteText(to, font, text, outline, x + offset, y);
  WriteText(to, font, text, outline, x - offset, y);
  WriteText(to, font, text, colour, x, y);
}

int TextWidth(TTF_Font* font, std::string_view text) {
  if (font == nullptr || text.empty()) return 0;
  const std::string copy(text);
  int width = 0;
  int height = 0;
  if (TTF_SizeUTF8(font, copy.c_str(), &width, &height) != 0) return 0;
  return width;
}

namespace {

// The byte offsets at which each letter of UTF-8 text ends.
std::vector<std::size_t> LetterEnds(std::string_view text) {
  std::vector<std::size_t> ends;
  for (std::size_t i = 1; i <= text.size(); ++i) {
    if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ends.push_back(i);
  }
  return ends;
}

}  // namespace

std::size_t FirstLineLength(TTF_Font* font, std::string_view text, int width) {
  if (TextWidth(font, text) <= width) return text.size();

  // The longest run of whole letters that fits.
  const std::vector<std::size_t> ends = LetterEnds(text);
  std::size_t low = 0;                 // ends[low] is known to be taken (at least one letter)
  std::size_t high = ends.size() - 1;  // the whole text does not fit
  while (high - low > 1) {
    const std::size_t mid = (low + high) / 2;
    if (TextWidth(font, text.substr(0, ends[mid])) <= width)
      low = mid;
    else
      high = mid;
  }
  const std::size_t fit = ends[low];

  // Break after the last space up to there (a space just past it counts too), when the
  // word after that space fits on a line of its own; a longer word is broken anywhere.
  const std::size_t space = text.rfind(' ', fit);
  if (space == std::string_view::npos || space == 0) return fit;
  const std::size_t wordEnd = std::min(text.find(' ', space + 1), text.size());
  if (TextWidth(font, text.substr(space + 1, wordEnd - space - 1)) > width) return fit;
  return space + 1;
}

std::vector<std::string> WrapText(TTF_Font* font, std::string_view text, int width) {
  std::vector<std::string> lines;
  while (true) {
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    do {
      const std::size_t length = line.empty() ? 0 : FirstLineLength(font, line, width);
      lines.emplace_back(line.substr(0, length));
      line.remove_prefix(length);
    } while (!line.empty());
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return lines;
}

namespace {

Texture TextTexture(SDL_Renderer* renderer, TTF_Font* font, std::string_view text, Rgb colour,
                    int& width, int& height) {
  if (renderer == nullptr || font == nullptr || text.empty()) return nullptr;
  const std::string copy(text);
  Surface rendered(TTF_RenderUTF8_Blended(font, copy.c_str(),
                                          SDL_Color{colour.Red, colour.Green, colour.Blue, 255}));
  if (!rendered) return nullptr;
  width = rendered->w;
  height = rendered->h;
  Texture texture = ToTexture(renderer, rendered.get());
  SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
  return texture;
}

}  // namespace

void RenderText(SDL_Renderer* renderer, TTF_Font* font, std::string_view text, Rgb colour, int x,
                int y) {
  int width = 0, height = 0;
  const Texture texture = TextTexture(renderer, font, text, colour, width, height);
  const SDL_Rect at{x, y, width, height};
  if (texture) SDL_RenderCopy(renderer, texture.get(), nullptr, &at);
}

void RenderOutlinedText(SDL_Renderer* renderer, TTF_Font* font, std::string_view text, Rgb colour,
                        Rgb outline, int x, int y) {
  int width = 0, height = 0;
  const Texture around = TextTexture(renderer, font, text, outline, width, height);
  if (!around) return;
  for (const SDL_Point offset :
       {SDL_Point{0, 1}, SDL_Point{0, -1}, SDL_Point{1, 0}, SDL_Point{-1, 0}}) {
    const SDL_Rect at{x + offset.x, y + offset.y, width, height};
    SDL_RenderCopy(renderer, around.get(), nullptr, &at);
  }
  RenderText(renderer, font, text, colour, x, y);
}

Texture ToTexture(SDL_Renderer* renderer, SDL_Surface* surface) {
  if (renderer == nullptr || surface == nullptr) return nullptr;
  return Texture(SDL_CreateTextureFromSurface(renderer, surface));
}

}  // namespace hw::ui
