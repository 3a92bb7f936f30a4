#include "ui/message_log.h"

#include <algorithm>
#include <charconv>

#include "ui/sdl_util.h"

namespace hw {

채팅출력창::채팅출력창(FontLibrary& fonts, platform::EventLoop& loop, platform::Desktop& desktop)
    : fonts_(fonts), scrollBar_(loop, desktop, kScrollBarBounds) {
  styles_.push_back({kWhite, false});
  lines_.push_back({0, 0, 0});  // the box's first line, which stays empty
  scrollBar_.onChange = [this] { OnLogScroll(); };
  scrollBar_.onScroll = [this] { OnLogScroll(); };
}

채팅출력창::~채팅출력창() = default;

void 채팅출력창::AppendLog(std::string_view area, std::string_view text, Rgb colour, bool bold) {
  const std::size_t start = text_.size();
  text_ += "\n- ";
  text_ += text;
  styles_.push_back({colour, bold});
  // A line break inside the text starts another line in the same colour.
  std::size_t from = start + 1;
  while (true) {
    const std::size_t newline = text_.find('\n', from);
    if (newline == std::string::npos) break;
    AddWrappedLines(from, newline, styles_.size() - 1);
    from = newline + 1;
  }
  AddWrappedLines(from, text_.size(), styles_.size() - 1);

  // The caret goes to the end: the box scrolls just far enough to show the last line.
  firstShown_ = std::max(firstShown_, LastFirstLine());
  ++revision_;
  SyncLogScroll(area);
}

void 채팅출력창::AddWrappedLines(std::size_t start, std::size_t end, std::size_t style) {
  TTF_Font* font = fonts_.Get(kFontPixels, styles_[style].Bold, FontRole::kSmallPrint);
  const int width = kBox.w - 2 * kMarginX;
  std::string_view rest(text_.data() + start, end - start);
  do {
    const std::size_t length = ui::FirstLineLength(font, rest, width);
    lines_.push_back({static_cast<std::size_t>(rest.data() - text_.data()), length, style});
    rest.remove_prefix(length);
  } while (!rest.empty());
}

void 채팅출력창::SyncLogScroll(std::string_view /*area*/) {
  const int n = LineCount();
  scrollBar_.SetMin(0);
  const int top = n >= kPageLines ? n - kPageLines : n;
  tag_ = std::to_string(top);
  scrollBar_.SetMax(top);
  scrollBar_.SetValue(top);
  scrollBar_.SetSmallChange(1);
  scrollBar_.SetLargeChange(kPageLines);
}

void 채팅출력창::OnLogScroll() {
  const int v = scrollBar_.Value();
  int t = 0;  // a tag that is not a number counts as 0
  std::from_chars(tag_.data(), tag_.data() + tag_.size(), t);
  for (int i = t; i < v; ++i)
    ScrollLineDown();
  for (int i = v; i < t; ++i)
    ScrollLineUp();
  tag_ = std::to_string(v);
}

int 채팅출력창::LastFirstLine() const {
  return std::max(0, LineCount() - kPageLines);
}

void 채팅출력창::ScrollLineDown() {
  if (firstShown_ >= LastFirstLine()) return;
  ++firstShown_;
  ++revision_;
}

void 채팅출력창::ScrollLineUp() {
  if (firstShown_ == 0) return;
  --firstShown_;
  ++revision_;
}

std::string_view 채팅출력창::Line(int index) const {
  const ShownLine& line = lines_.at(static_cast<std::size_t>(index));
  return std::string_view(text_).substr(line.Start, line.Length);
}

Rgb 채팅출력창::LineColour(int index) const {
  return styles_[lines_.at(static_cast<std::size_t>(index)).Style].Colour;
}

bool 채팅출력창::LineBold(int index) const {
  return styles_[lines_.at(static_cast<std::size_t>(index)).Style].Bold;
}

// ---- Drawing

void 채팅출력창::ReleaseTextures() {
  textures_.clear();
  textureRenderer_ = nullptr;
}

const 채팅출력창::LineTexture& 채팅출력창::TextureOf(SDL_Renderer* renderer, int index) {
  if (auto it = textures_.find(index); it != textures_.end()) return it->second;
  LineTexture& entry = textures_[index];
  const std::string text(Line(index));
  if (text.find_first_not_of(' ') == std::string::npos) return entry;
  const Style& style = styles_[lines_[static_cast<std::size_t>(index)].Style];
  const SDL_Color colour{style.Colour.Red, style.Colour.Green, style.Colour.Blue, 255};
  SDL_Surface* surface = TTF_RenderUTF8_Blended(
      fonts_.Get(kFontPixels, style.Bold, FontRole::kSmallPrint), text.c_str(), colour);
  if (surface == nullptr) return entry;  // nothing to show; tried again never
  entry.Texture.reset(SDL_CreateTextureFromSurface(renderer, surface));
  entry.Width = surface->w;
  entry.Height = surface->h;
  SDL_FreeSurface(surface);
  return entry;
}

void 채팅출력창::Draw(SDL_Renderer* renderer) {
  if (renderer != textureRenderer_) {
    textures_.clear();
    textureRenderer_ = renderer;
  }

  Uint8 r = 0, g = 0, b = 0, a = 0;
  SDL_GetRenderDrawColor(renderer, &r, &g, &b, &a);
  SDL_SetRenderDrawColor(renderer, kBackground.Red, kBackground.Green, kBackground.Blue, 255);
  SDL_RenderFillRect(renderer, &kBox);
  SDL_SetRenderDrawColor(renderer, r, g, b, a);

  // Letters that reach below the last line stay inside the box.
  const bool clipped = SDL_RenderIsClipEnabled(renderer) == SDL_TRUE;
  SDL_Rect oldClip{};
  SDL_RenderGetClipRect(renderer, &oldClip);
  SDL_RenderSetClipRect(renderer, &kBox);

  const int last = std::min(LineCount(), firstShown_ + kPageLines);
  for (int i = firstShown_; i < last; ++i) {
    const LineTexture& line = TextureOf(renderer, i);
    if (!line.Texture) continue;
    const SDL_Rect at{kBox.x + kMarginX, kBox.y + kMarginY + (i - firstShown_) * kLineHeight,
                      line.Width, line.Height};
    SDL_RenderCopy(renderer, line.Texture.get(), nullptr, &at);
  }
  // Only the shown lines keep their textures.
  std::erase_if(textures_, [&](const auto& entry) {
    return entry.first < firstShown_ || entry.first >= last;
  });

  SDL_RenderSetClipRect(renderer, clipped ? &oldClip : nullptr);
  scrollBar_.Draw(renderer);
}

}  // namespace hw
