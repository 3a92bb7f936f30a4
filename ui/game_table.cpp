#include "ui/game_table.h"

#include <SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace hw::ui {
namespace {

// The renderer: accelerated where there is one, the software renderer everywhere else.
SDL_Renderer* CreateRenderer(SDL_Window* window) {
  if (window == nullptr) throw std::runtime_error(std::string("no window: ") + SDL_GetError());
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (renderer == nullptr) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) throw std::runtime_error(std::string("no renderer: ") + SDL_GetError());
  SDL_RenderSetLogicalSize(renderer, 800, 600);
  return renderer;
}

MouseButton ButtonOf(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return MouseButton::kLeft;
    case SDL_BUTTON_RIGHT:
      return MouseButton::kRight;
    default:
      return MouseButton::kMiddle;
  }
}

// The font library as the views ask for fonts: a font that will not load draws nothing.
FontSource FontsOf(FontLibrary& fonts) {
  return [&fonts](int size, bool bold) { return fonts.GetOrNull(size, bold); };
}

}  // namespace

SdlSession::SdlSession() {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    throw std::runtime_error(std::string("SDL could not start: ") + SDL_GetError());
  }
  IMG_Init(IMG_INIT_JPG);
}

SdlSession::~SdlSession() {
  IMG_Quit();
  SDL_Quit();
}

GameTable::GameTable(GameState state, platform::SdlEventLoop& loop,
                     platform::SettingsStore& settings, DisplayCheck& display,
                     platform::DisplayModes& modes, platform::Desktop& desktop)
    : window_(SDL_CreateWindow(state.GameInfo.ProductName.c_str(), SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, 800, 600,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN)),
      renderer_(CreateRenderer(window_.get())),
      loop_(loop),
      display_(display),
      modes_(modes),
      desktop_(desktop),
      files_(state.GameInfo.ProgramFolder),
      skin_(Skin::Load(state, FontsOf(fonts_))),
      board_(game_.state, skin_, FontsOf(fonts_), loop),
      sound_(game_.state, mixer_, files_, loop),
      log_(fonts_, loop, desktop_),
      game_(board_, sound_, log_, loop, desktop_, GameRandom::FromEntropy()),
      dialogs_(game_.state, skin_, FontsOf(fonts_)),
      controller_(game_, dialogs_),
      options_(game_, controller_, settings, opponents_),
      optionsView_(options_, FontsOf(fonts_)),
      boxes_(loop, FontsOf(fonts_), 800, 600) {
  game_.state = std::move(state);
  dialogs_.Attach(controller_);
  board_.modeSwitched = [this] { return display_.ModeSwitched(); };
  display_.SetRedraw([this] { board_.DrawMaxRestoreButton(); });
  controller_.onUnload = [this] { Unload(); };
  controller_.StoreSettingsIn(settings);
  loop_.onEvent = [this](const SDL_Event& event) { HandleEvent(event); };
  loop_.onFrame = [this] { PresentFrame(); };
  if (const char* path = std::getenv("HWATABLE_FRAME_LOG"); path != nullptr && *path != '\0') {
    frameLog_.reset(std::fopen(path, "w"));
  }

  // Frames at the display's pace.
  SDL_DisplayMode mode{};
  const int screen = std::max(0, SDL_GetWindowDisplayIndex(window_.get()));
  if (SDL_GetCurrentDisplayMode(screen, &mode) == 0 && mode.refresh_rate > 0) {
    loop_.SetFrameInterval(1.0 / mode.refresh_rate);
  }
  // Centred, but never with the title strip off a small screen.
  const SDL_Rect bounds = Screen();
  const SDL_Point place =
      ReachablePosition({bounds.x + (bounds.w - 800) / 2, bounds.y + (bounds.h - 600) / 2}, bounds);
  SDL_SetWindowPosition(window_.get(), place.x, place.y);
  SDL_ShowWindow(window_.get());
  loop_.RequestFrame();
}

GameTable::~GameTable() {
  loop_.onEvent = nullptr;
  loop_.onFrame = nullptr;
  log_.ReleaseTextures();
}

// ---- Frames

void GameTable::OpenLogin(portal::LoginForm& form) {
  login_.emplace(form, skin_, FontsOf(fonts_), loop_);
  form.Open();
  SDL_StartTextInput();
}

void GameTable::Render() {
  SDL_Renderer* renderer = renderer_.get();
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  board_.Compose(renderer);
  log_.Draw(renderer);
  dialogs_.Compose(renderer);
  if (login_) login_->Compose(renderer);
  optionsView_.Compose(renderer);
  boxes_.Compose(renderer);
}

void GameTable::PresentFrame() {
  Render();
  // A screenshot is read from the very picture that is about to be shown.
  Surface shot;
  if (!capturePath_.empty()) {
    shot = NewSurface(800, 600);
    if (SDL_RenderReadPixels(renderer_.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, shot->pixels,
                             shot->pitch) != 0) {
      shot.reset();
    }
  }
  SDL_RenderPresent(renderer_.get());
  if (frameLog_) {
    // When it was shown (microseconds of the wall clock, comparable across programs),
    // and how many steps of deals had been taken by then.
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::fprintf(frameLog_.get(), "%lld %llu\n", static_cast<long long>(now.count()),
                 static_cast<unsigned long long>(board_.DealSteps()));
    std::fflush(frameLog_.get());
  }
  if (!capturePath_.empty()) {
    captureSaved_ = shot && IMG_SavePNG(shot.get(), capturePath_.c_str()) == 0;
    capturePath_.clear();
  }
}

bool GameTable::SaveScreenshot(const std::string& path) {
  capturePath_ = path;
  captureSaved_ = false;
  loop_.WaitForFrame();
  capturePath_.clear();
  return captureSaved_;
}

SDL_Rect GameTable::Screen() const {
  SDL_Rect screen{0, 0, 800, 600};
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_.get()));
  if (SDL_GetDisplayUsableBounds(display, &screen) != 0) SDL_GetDisplayBounds(display, &screen);
  return screen;
}

SDL_Point GameTable::ReachablePosition(SDL_Point wanted, const SDL_Rect& screen) {
  // The title strip's buttons must stay on the screen: the exit button above all, so the
  // right edge wins over the left one.
  SDL_Point place = wanted;
  place.x = std::max(place.x, screen.x - kOptionsButton.Left);
  place.x = std::min(place.x, screen.x + screen.w - (kExitButton.Right() + 1));
  place.y = std::min(place.y, screen.y + screen.h - (kExitButton.Bottom() + 1));
  place.y = std::max(place.y, screen.y);
  return place;
}

void GameTable::Run() {
  loop_.Run();
}

// ---- Events

void GameTable::HandleEvent(const SDL_Event& event) {
  // A message box takes every press and key, then the options dialog; what is left goes
  // to the login window or the board.
  if (boxes_.HandleEvent(event)) return;
  if (event.type != SDL_QUIT && optionsView_.HandleEvent(event)) return;
  switch (event.type) {
    case SDL_TEXTINPUT:
      if (login_) login_->TextInput(event.text.text);
      break;
    case SDL_QUIT:
      Unload();
      break;
    case SDL_MOUSEBUTTONDOWN:
      MouseDown(event.button.x, event.button.y, ButtonOf(event.button.button));
      break;
    case SDL_MOUSEBUTTONUP:
      MouseUp(event.button.x, event.button.y, ButtonOf(event.button.button));
      break;
    case SDL_MOUSEMOTION:
      MouseMove(event.motion.x, event.motion.y);
      break;
    case SDL_KEYDOWN:
      KeyDown(event.key.keysym.sym);
      break;
    case SDL_WINDOWEVENT:
      // The window is minimised only when the window system says so: a request it did
      // not carry out (no window manager) changes nothing.
      if (event.window.event == SDL_WINDOWEVENT_MINIMIZED) controller_.SetMinimised(true);
      if (event.window.event == SDL_WINDOWEVENT_RESTORED ||
          event.window.event == SDL_WINDOWEVENT_MAXIMIZED ||
          event.window.event == SDL_WINDOWEVENT_SHOWN ||
          event.window.event == SDL_WINDOWEVENT_EXPOSED) {
        controller_.SetMinimised(false);
      }
      if (event.window.event == SDL_WINDOWEVENT_LEAVE) log_.ScrollBar().MouseLeave();
      break;
    default:
      break;
  }
}

GameTable::SkinButton GameTable::SkinButtonAt(int x, int y) {
  // The chat-stop area first, then the row at the top, then the start button.
  if (kChatStopArea.Contains(x, y)) return SkinButton::kChatStop;
  if (kMinimiseButton.Contains(x, y)) return SkinButton::kMinimise;
  if (kOptionsButton.Contains(x, y)) return SkinButton::kOptions;
  if (kMaximiseButton.Contains(x, y)) return SkinButton::kMaximise;
  if (kExitButton.Contains(x, y)) return SkinButton::kExit;
  if (kStartButtonArea.Contains(x, y)) return SkinButton::kStart;
  return SkinButton::kNone;
}

void GameTable::MouseDown(int x, int y, MouseButton button) {
  const GameState& state = game_.state;
  if (login_ && login_->IsOpen()) {
    if (login_->Contains(x, y))
      login_->MouseDown(x, y, button);
    else if (button == MouseButton::kLeft)
      StartDrag(x, y);  // the board behind still drags the window
    return;
  }
  if (const auto hit = dialogs_.DialogAt(x, y)) {
    controller_.Dialog(hit->dialog).MouseDown(button, hit->x, hit->y);
    return;
  }
  컨트롤_수직스크롤& bar = log_.ScrollBar();
  if (bar.ContainsWindowPoint(x, y)) {
    bar.MouseDown(button, x - bar.Bounds().x, y - bar.Bounds().y);
    return;
  }
  // While a game dialog is open the board takes no presses; the right button never.
  if (state.Room.DialogOpen != 0 || button == MouseButton::kRight) return;

  const int card = board_.CardAt(x, y);
  if (card != kNoCard && state.Card(card).Location == kHuman) {
    pressedCard_ = card;
    controller_.OnCardPress(card, button);
    return;
  }
  if (const int bomb = board_.HumanBombCardAt(x, y); bomb >= 0) {
    controller_.OnBombCardClick(bomb, button);
    return;
  }
  const SkinButton skinButton = SkinButtonAt(x, y);
  if (skinButton == SkinButton::kStart) {
    if (!state.Room.HandRunning && button == MouseButton::kLeft) {
      startPressed_ = true;
      board_.DrawStartButton(true);
    }
    return;
  }
  if (skinButton != SkinButton::kNone) {
    PressSkinButton(skinButton);
    return;
  }
  if (button == MouseButton::kLeft) StartDrag(x, y);  // anywhere else the board drags the window
}

void GameTable::StartDrag(int x, int y) {
  dragging_ = true;
  dragFrom_ = {x, y};
}

void GameTable::Drag(int x, int y) {
  // The pointer keeps its hold on the window: the window moves by how far the pointer
  // now is from where it took hold, measured in the window itself. (The pointer's
  // position on the screen is not used: some X servers do not update it during a drag.)
  int left = 0, top = 0;
  SDL_GetWindowPosition(window_.get(), &left, &top);
  const SDL_Point place =
      ReachablePosition({left + x - dragFrom_.x, top + y - dragFrom_.y}, Screen());
  if (place.x != left || place.y != top) SDL_SetWindowPosition(window_.get(), place.x, place.y);
}

void GameTable::MouseUp(int x, int y, MouseButton button) {
  if (const auto hit = dialogs_.DialogAt(x, y)) {
    controller_.Dialog(hit->dialog).MouseUp(button, hit->x, hit->y);
  }
  컨트롤_수직스크롤& bar = log_.ScrollBar();
  if (bar.PressedPart() != 컨트롤_수직스크롤::Part::kNone) {
    bar.MouseUp(button, x - bar.Bounds().x, y - bar.Bounds().y);
  }
  if (pressedCard_ != kNoCard) {
    // The card that took the press takes the release, wherever the pointer is now; it
    // leaves the hand, so it is lowered before any question about it opens.
    const int card = pressedCard_;
    pressedCard_ = kNoCard;
    if (hoveredCard_ == card) {
      board_.LiftCard(card, 0);
      hoveredCard_ = kNoCard;
    }
    controller_.OnCardRelease(card, button);
  }
  if (startPressed_) {
    startPressed_ = false;
    board_.DrawStartButton(false);
    controller_.PressStart();
  }
  dragging_ = false;
}

void GameTable::MouseMove(int x, int y) {
  if (dragging_) {
    Drag(x, y);
    return;
  }
  컨트롤_수직스크롤& bar = log_.ScrollBar();
  if (bar.ContainsWindowPoint(x, y) || bar.PressedPart() != 컨트롤_수직스크롤::Part::kNone) {
    bar.MouseMove(x - bar.Bounds().x, y - bar.Bounds().y);
  } else {
    bar.MouseLeave();
  }
  Hover(x, y);
}

void GameTable::Hover(int x, int y) {
  int card = board_.CardAt(x, y);
  if (!controller_.MayTake(card)) card = kNoCard;
  if (card == hoveredCard_) return;
  if (hoveredCard_ != kNoCard) board_.LiftCard(hoveredCard_, 0);
  hoveredCard_ = card;
  if (card != kNoCard) board_.LiftCard(card, 6);
}

void GameTable::KeyDown(SDL_Keycode key) {
  // Keys go to the login window while it is open: the board's keys wait for the board.
  if (login_ && login_->IsOpen()) {
    login_->KeyDown(key);
    return;
  }
  switch (key) {
    case SDLK_LEFT:
      controller_.ChangeCardSpeed(-1);
      break;
    case SDLK_RIGHT:
      controller_.ChangeCardSpeed(+1);
      break;
    case SDLK_LGUI:
    case SDLK_RGUI:
    case SDLK_LALT:
    case SDLK_RALT:
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      // Leaving the game's display mode for another program gives the desktop back.
      if (display_.ModeSwitched()) {
        SDL_RestoreWindow(window_.get());
        display_.SwitchDisplay(false);
        SDL_MinimizeWindow(window_.get());
      }
      break;
    default:
      break;
  }
}

// ---- The skin buttons

void GameTable::PressSkinButton(SkinButton button) {
  game_.Sound("CLICK", 1);
  const auto title = [button]() -> std::optional<SdlBoard::TitleButton> {
    switch (button) {
      case SkinButton::kMinimise:
        return SdlBoard::TitleButton::kMinimise;
      case SkinButton::kOptions:
        return SdlBoard::TitleButton::kOptions;
      case SkinButton::kMaximise:
        return SdlBoard::TitleButton::kMaximiseRestore;
      case SkinButton::kExit:
        return SdlBoard::TitleButton::kExit;
      default:
        return std::nullopt;
    }
  }();
  if (title) board_.DrawTitleButton(*title, false);
  loop_.WaitSeconds(0.1);
  if (title) board_.DrawTitleButton(*title, true);

  switch (button) {
    case SkinButton::kMinimise:
      Minimise();
      break;
    case SkinButton::kMaximise:
      if (game_.state.Room.DialogOpen == 0) ToggleMaximised();
      break;
    case SkinButton::kExit:
      controller_.RequestExit();
      break;
    case SkinButton::kOptions:
      if (!options_.IsOpen()) options_.ShowModal();
      break;
    case SkinButton::kChatStop:
    default:
      break;
  }
}

void GameTable::Minimise() {
  if (display_.ModeSwitched()) {
    SDL_RestoreWindow(window_.get());
    display_.SwitchDisplay(false);
  }
  SDL_MinimizeWindow(window_.get());
}

void GameTable::ToggleMaximised() {
  const ScreenMetrics& metrics = display_.ScreenMetrics();
  if (metrics.ScreenWidth != 0 && metrics.ScreenWidth == metrics.Width800) {
    desktop_.ShowMessage(game_.state.GameInfo.ProductName,
                         "현재 최대 해상도이므로 변경하실수 없습니다",
                         platform::MessageIcon::kError, platform::MessageButtons::kOk);
    return;
  }
  maximised_ = !maximised_;
  display_.SwitchDisplay(true);
  board_.DrawMaxRestoreButton();
}

void GameTable::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (onClosing) onClosing();
  controller_.Unload();
  display_.SwitchDisplay(false);
  loop_.Quit();
}

}  // namespace hw::ui
