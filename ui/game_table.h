#pragma once
// The game's main window on screen: the SDL window, the board, the dialogs, the message
// log, the sound, and the main window's controller, wired together on the real-time
// event loop. It turns the window system's mouse and keys into the controller's calls
// (cards, bomb cards, dialogs, the skin buttons, dragging, hovering, the speed keys) and
// puts a frame together at the display's pace.

#include <SDL.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "hand/game.h"
#include "mainwindow/computer_opponents.h"
#include "mainwindow/display_check.h"
#include "mainwindow/main_window.h"
#include "mainwindow/options_dialog.h"
#include "platform/file_system.h"
#include "platform/sdl/sdl_display_modes.h"
#include "platform/sdl/sdl_event_loop.h"
#include "platform/sdl/sdl_wave_mixer.h"
#include "platform/settings_store.h"
#include "ui/board_view.h"
#include "ui/dialog_view.h"
#include "ui/fonts.h"
#include "ui/game_sound.h"
#include "ui/login_view.h"
#include "ui/message_box.h"
#include "ui/message_log.h"
#include "ui/options_view.h"
#include "ui/skin.h"

namespace hw::ui {

// SDL and SDL_image for as long as the program runs.
class SdlSession {
 public:
  SdlSession();
  ~SdlSession();
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;
};

class GameTable {
 public:
  // `state` is the state start-up built (program folder, skin and address tables). The
  // game's message boxes and pages go to `desktop`; the program hands it Boxes() so that
  // they are drawn in this window, tests answer them themselves.
  GameTable(GameState state, platform::SdlEventLoop& loop, platform::SettingsStore& settings,
            DisplayCheck& display, platform::DisplayModes& modes, platform::Desktop& desktop);
  ~GameTable();
  GameTable(const GameTable&) = delete;
  GameTable& operator=(const GameTable&) = delete;

  Game& game() { return game_; }
  MainWindow& controller() { return controller_; }
  SdlBoard& board() { return board_; }
  채팅출력창& log() { return log_; }
  SDL_Window* window() { return window_.get(); }
  platform::Desktop& desktop() { return desktop_; }

  // The window system's events; tests call these directly with board coordinates.
  void HandleEvent(const SDL_Event& event);
  void MouseDown(int x, int y, MouseButton button);
  void MouseUp(int x, int y, MouseButton button);
  void MouseMove(int x, int y);
  void KeyDown(SDL_Keycode key);

  // Opens the login window over the board: while it is open, the board takes no input.
  void OpenLogin(portal::LoginForm& form);
  OptionsDialog& options() { return options_; }
  // The computer players of the two levels; the login and the options seat one of them.
  ComputerOpponents& opponents() { return opponents_; }
  // Called when the window closes, before anything else happens (the logout).
  std::function<void()> onClosing;

  // Message boxes drawn in this window, over everything else.
  WindowMessageBoxes& Boxes() { return boxes_; }
  // Saves the next frame the window shows as a PNG picture, exactly as it is shown:
  // waits (events running) until that frame has been shown.
  bool SaveScreenshot(const std::string& path);

  // Runs until the window is closed.
  void Run();

  struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
  };
  struct RendererDeleter {
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
  };
  // The skin buttons drawn on the board, and which one a board point falls on (both ends
  // of every range belong to the button).
  enum class SkinButton { kNone, kChatStop, kMinimise, kOptions, kMaximise, kExit, kStart };
  static SkinButton SkinButtonAt(int x, int y);
  // Where the window may stand on a screen so that its title strip's buttons stay on it:
  // `wanted` moved just as far as needed.
  static SDL_Point ReachablePosition(SDL_Point wanted, const SDL_Rect& screen);

 private:
  void PressSkinButton(SkinButton button);
  void Minimise();
  void ToggleMaximised();
  void Unload();
  void Hover(int x, int y);
  void StartDrag(int x, int y);
  void Drag(int x, int y);
  SDL_Rect Screen() const;
  void Render();
  void PresentFrame();

  std::unique_ptr<SDL_Window, WindowDeleter> window_;
  std::unique_ptr<SDL_Renderer, RendererDeleter> renderer_;
  platform::SdlEventLoop& loop_;
  DisplayCheck& display_;
  platform::DisplayModes& modes_;
  platform::Desktop& desktop_;
  platform::PosixFileSystem files_;
  FontLibrary fonts_;
  Skin skin_;
  SdlBoard board_;
  platform::SdlWaveMixer mixer_;
  GameSoundPlayer sound_;
  채팅출력창 log_;
  Game game_;
  SdlDialogs dialogs_;
  MainWindow controller_;
  ComputerOpponents opponents_;
  OptionsDialog options_;
  SdlOptionsWindow optionsView_;
  WindowMessageBoxes boxes_;

  std::optional<SdlLoginWindow> login_;
  int pressedCard_ = kNoCard;  // the hand card the left button went down on
  int hoveredCard_ = kNoCard;  // the hand card raised under the pointer
  bool startPressed_ = false;
  bool dragging_ = false;
  SDL_Point dragFrom_{0, 0};  // where the pointer took hold of the window, in its pixels
  bool maximised_ = false;
  bool unloaded_ = false;
  std::string capturePath_;  // the screenshot the next frame is saved as
  bool captureSaved_ = false;
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  // HWATABLE_FRAME_LOG: a line for every frame shown, for measuring.
  std::unique_ptr<std::FILE, FileCloser> frameLog_;
};

}  // namespace hw::ui
