#pragma once
// 통신: the login window without its drawing. The player types a game name and a
// password; OK posts them to the portal's login check, and the reply logs the player in
// (the login data, the human's player record, the room and its settings, the computer
// player of the stored level) and enters the room. Every failure closes the main window, which ends
// the program, except an unknown member who declines to join: he may try again.

#include <array>
#include <functional>
#include <string>

#include "hand/game.h"
#include "mainwindow/computer_opponents.h"
#include "mainwindow/dialog_controllers.h"
#include "platform/http_client.h"
#include "platform/settings_store.h"

namespace hw::portal {

class LoginForm {
 public:
  static constexpr int kWidth = 350;
  static constexpr int kHeight = 354;
  static constexpr int kNameBox = 0;
  static constexpr int kPasswordBox = 1;
  static constexpr Rgb kFocusColour{218, 235, 235};

  // The five drawn buttons, tested in this order.
  enum class Button { kClose, kJoin, kLost, kHome, kOk, kNone };
  struct ButtonArea {
    Button button;
    int left, right, top, bottom;  // both ends belong to the button
    int frameWidth, frameHeight;   // the picture's face
  };
  static constexpr std::array<ButtonArea, 5> kButtons{{
      {Button::kClose, 302, 342, 4, 28, 40, 24},
      {Button::kJoin, 28, 123, 265, 314, 95, 49},
      {Button::kLost, 129, 224, 265, 314, 95, 49},
      {Button::kHome, 230, 325, 265, 314, 95, 49},
      {Button::kOk, 236, 293, 196, 245, 57, 49},
  }};
  static Button ButtonAt(int x, int y);

  LoginForm(Game& game, platform::HttpClient& http, platform::SettingsStore& settings,
            ComputerOpponents& opponents, int platformCode);

  // Shows the window with the focus in the game name box.
  void Open();
  bool IsOpen() const { return open_; }
  // Called once the login has succeeded and the window has closed itself.
  std::function<void()> onLoggedIn;

  // ---- The two text boxes
  const std::string& Text(int box) const { return text_.at(static_cast<std::size_t>(box)); }
  void SetText(int box, std::string text) {
    text_.at(static_cast<std::size_t>(box)) = std::move(text);
  }
  int Focus() const { return focus_; }
  void SetFocus(int box) { focus_ = box; }
  Rgb BackColour(int box) const { return box == focus_ ? kFocusColour : Rgb{255, 255, 255}; }
  // Typed text goes to the box with the focus; Backspace takes its last letter off.
  void Type(std::string_view text);
  void Backspace();
  // Enter: in the name box it moves to an empty password box; in the password box it
  // presses OK.
  void Enter();

  // ---- The mouse, in the window's pixels
  void MouseDown(MouseButton mouse, int x, int y);
  // The button drawn pressed just now (kNone most of the time).
  Button Pressed() const { return pressed_; }

  // The reply of the login check (from the HTTP client).
  void OnStateChanged(int state);

 private:
  void Press(Button button);
  void CheckLogin();
  void LoggedIn(const std::vector<std::string>& fields);
  void Fail(std::string_view message, platform::MessageIcon icon);

  Game& game_;
  platform::HttpClient& http_;
  platform::SettingsStore& settings_;
  ComputerOpponents& opponents_;
  int platformCode_;
  std::array<std::string, 2> text_;
  int focus_ = kNameBox;
  Button pressed_ = Button::kNone;
  bool open_ = false;
};

}  // namespace hw::portal
