#pragma once
// The options dialog 옵션창 on screen, in the skin's wood and parchment: a dark-brown
// panel over the middle of the board with its title strip, the frames on a parchment
// sheet, the sound radio group, the speed slider, the three combo boxes (stake, service
// cards, the computer's level) with their drop-down lists, and 적용/취소. The view
// only draws the controller's state and passes the player's input on to it; the only
// state of its own is what the pointer and keys are doing right now (an open list, a
// held button, a dragged thumb).

#include <SDL.h>

#include <array>

#include "mainwindow/options_dialog.h"
#include "ui/board_view.h"

namespace hw::ui {

class SdlOptionsWindow {
 public:
  // The whole dialog, on the board; nothing of it is drawn outside.
  static constexpr SDL_Rect kPanel{220, 106, 360, 388};
  static constexpr int kTitleHeight = 26;

  // The controls' places on the board, for the mouse and for tests.
  static constexpr SDL_Rect kSoundOn{kPanel.x + 32, kPanel.y + 62, 140, 18};  // 옵션_사운드(0)
  static constexpr SDL_Rect kSoundOff{kPanel.x + 192, kPanel.y + 62, 140, 18};  // 옵션_사운드(1)
  static constexpr SDL_Rect kSlider{kPanel.x + 30, kPanel.y + 118, 254, 20};    // 슬라_패속도
  static constexpr SDL_Rect kStakeList{kPanel.x + 28, kPanel.y + 214, 138, 22};  // 콤보_점당
  static constexpr SDL_Rect kServiceList{kPanel.x + 194, kPanel.y + 214, 138, 22};  // 콤보_서비스피
  // 콤보_상대수준
  static constexpr SDL_Rect kOpponentList{kPanel.x + 194, kPanel.y + 272, 138, 22};
  static constexpr SDL_Rect kApply{kPanel.x + 98, kPanel.y + 350, 78, 28};    // 버튼_메뉴(0)
  static constexpr SDL_Rect kCancel{kPanel.x + 184, kPanel.y + 350, 78, 28};  // 버튼_메뉴(1)

  // The centre of an option button's round mark.
  static constexpr SDL_Point RadioCentre(const SDL_Rect& option) {
    return {option.x + 8, option.y + option.h / 2};
  }
  // The drop-down arrow button at the right end of a combo box.
  static constexpr SDL_Rect ArrowButton(const SDL_Rect& box) {
    return {box.x + box.w - 19, box.y + 1, 18, box.h - 2};
  }

  enum class Combo { kNone, kStake, kService, kOpponent };
  static constexpr std::array<Combo, 3> kCombos{Combo::kStake, Combo::kService, Combo::kOpponent};
  static constexpr int kListItemHeight = 20;
  static constexpr SDL_Rect ComboBox(Combo combo) {
    switch (combo) {
      case Combo::kStake:
        return kStakeList;
      case Combo::kOpponent:
        return kOpponentList;
      default:
        return kServiceList;
    }
  }
  static constexpr int ItemCount(Combo combo) {
    switch (combo) {
      case Combo::kStake:
        return static_cast<int>(OptionsDialog::kStakes.size());
      case Combo::kOpponent:
        return static_cast<int>(OptionsDialog::kOpponents.size());
      default:
        return static_cast<int>(OptionsDialog::kServiceCards.size());
    }
  }
  // Where a combo box's list opens: right under the box, or right above it when it would
  // reach the row of 적용/취소 there, so that the list never leaves the dialog nor hides
  // its buttons.
  static constexpr SDL_Rect DropList(Combo combo) {
    const SDL_Rect box = ComboBox(combo);
    const int height = ItemCount(combo) * kListItemHeight + 2;
    const bool below = box.y + box.h + height <= kApply.y - 4;
    return {box.x, below ? box.y + box.h : box.y - height, box.w, height};
  }
  static constexpr SDL_Rect ListItem(Combo combo, int item) {
    const SDL_Rect list = DropList(combo);
    return {list.x + 1, list.y + 1 + item * kListItemHeight, list.w - 2, kListItemHeight};
  }

  SdlOptionsWindow(OptionsDialog& dialog, FontSource fonts);

  // While the dialog is open, takes every mouse and key event (true); window events and
  // the like go on to the window (false). Board coordinates.
  bool HandleEvent(const SDL_Event& event);
  // Draws the open dialog over what the renderer holds; nothing when it is closed.
  void Compose(SDL_Renderer* renderer);

  // The list dropped down now (kNone when none is), and its highlighted item: the one
  // Enter or a click would take, which starts on the current choice and follows the
  // pointer and the Up/Down keys.
  Combo OpenList() const { return openList_; }
  int HighlightedItem() const { return highlighted_; }

 private:
  void MouseDown(int x, int y);
  void MouseUp(int x, int y);
  void MouseMove(int x, int y);
  void KeyDown(SDL_Keycode key);
  void DropDown(Combo combo);
  void TakeItem(int item);
  void SpeedFromPointer(int x);
  // Forgets what the pointer and keys were doing, when the dialog is found closed.
  void Reset();
  int Choice(Combo combo) const;

  void DrawFrame(SDL_Surface* to) const;
  void DrawSound(SDL_Surface* to) const;
  void DrawSpeed(SDL_Surface* to) const;
  void DrawCombos(SDL_Surface* to) const;
  void DrawButtons(SDL_Surface* to) const;
  void DrawOpenList(SDL_Surface* to) const;

  OptionsDialog& dialog_;
  FontSource fonts_;
  Combo openList_ = Combo::kNone;
  int highlighted_ = 0;
  bool dragging_ = false;  // the slider's thumb follows the pointer
  int pressed_ = -1;       // the 버튼_메뉴 index the left button went down on
  SDL_Point pointer_{-1, -1};
};

}  // namespace hw::ui
