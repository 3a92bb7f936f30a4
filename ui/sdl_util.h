#pragma once
// Small owners and helpers for SDL pictures: every surface and texture is released by
// its owner, and the few copy operations the board needs (plain, with a see-through key
// colour, scaled) are spelled once here.

#include <SDL.h>
#include <SDL_ttf.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/colour.h"

namespace hw::ui {

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

struct TextureDeleter {
  void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
using Texture = std::unique_ptr<SDL_Texture, TextureDeleter>;

// A Korean font at a pixel size, bold or not; null when none could be opened.
using FontSource = std::function<TTF_Font*(int pixelSize, bool bold)>;

// The see-through colour of the skin's pictures.
inline constexpr Rgb kMagentaKey{255, 0, 255};

// A picture from a GIF or JPEG file in 32-bit ARGB, or null when it cannot be read.
Surface LoadPicture(const std::string& path);
// An empty ARGB picture of this size, filled with `fill`.
Surface NewSurface(int width, int height, Rgb fill = {0, 0, 0});
// A copy of a rectangle of a picture (the pixels outside the picture come out black).
Surface CutOut(const SDL_Surface* picture, const SDL_Rect& area);

// Whether (x, y) lies in the rectangle (its right and bottom edges outside).
inline bool Inside(const SDL_Rect& r, int x, int y) {
  return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

Uint32 MapColour(const SDL_Surface* surface, Rgb colour);
// Plain copy of a rectangle of `from` to (x, y) on `to`.
void Copy(SDL_Surface* from, const SDL_Rect& area, SDL_Surface* to, int x, int y);
// The same, with the pixels of the key colour left out.
void CopyKeyed(SDL_Surface* from, const SDL_Rect& area, SDL_Surface* to, int x, int y,
               Rgb key = kMagentaKey);
// Scaled copy of a whole picture into a rectangle.
void CopyScaled(SDL_Surface* from, SDL_Surface* to, const SDL_Rect& area);
void Fill(SDL_Surface* to, const SDL_Rect& area, Rgb colour);
// The outline of a rectangle, one pixel wide.
void Frame(SDL_Surface* to, const SDL_Rect& area, Rgb colour, int thickness = 1);

// Writes text with its top-left corner at (x, y).
void WriteText(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour, int x, int y);
// Text with a copy of it offset by `offset` pixels underneath (shadow).
void WriteShadowText(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour, Rgb shadow,
                     int offset, int x, int y);
// Text with an outline drawn around it, `offset` pixels wide.
void WriteOutlinedText(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour,
                       Rgb outline, int offset, int x, int y);

// The width in pixels of text in this font (0 without a font).
int TextWidth(TTF_Font* font, std::string_view text);
// How many bytes of UTF-8 `text` go on the first line of `width` pixels; the rest goes
// on. The line breaks after a space when the word after it fits on a line of its own,
// otherwise after the last letter that fits. Never 0 for non-empty text: a letter wider
// than the line still takes a line.
std::size_t FirstLineLength(TTF_Font* font, std::string_view text, int width);
// Text cut into lines of at most `width` pixels: at its line breaks (LF or CR LF) and
// where FirstLineLength breaks a line that is too wide.
std::vector<std::string> WrapText(TTF_Font* font, std::string_view text, int width);

// Text drawn straight onto the renderer's picture, blended over what lies there (no key
// colour, so no fringe): plain, and with a one-pixel outline around it.
void RenderText(SDL_Renderer* renderer, TTF_Font* font, std::string_view text, Rgb colour, int x,
                int y);
void RenderOutlinedText(SDL_Renderer* renderer, TTF_Font* font, std::string_view text, Rgb colour,
                        Rgb outline, int x, int y);

// Uploads a picture into a texture of the renderer.
Texture ToTexture(SDL_Renderer* renderer, SDL_Surface* surface);

}  // namespace hw::ui
