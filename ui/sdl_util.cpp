#include "ui/sdl_util.h"

#include <SDL_image.h>

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

Texture ToTexture(SDL_Renderer* renderer, SDL_Surface* surface) {
  if (renderer == nullptr || surface == nullptr) return nullptr;
  return Texture(SDL_CreateTextureFromSurface(renderer, surface));
}

}  // namespace hw::ui
