// The options dialog on screen, driven by SDL events as the window passes them on: the
// sound options as one radio group, the combo boxes and their lists (mouse and keys),
// 적용 acting on release, and the drawn look checked pixel by pixel in a software
// renderer.

#include "ui/options_view.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/fake/memory_settings_store.h"
#include "tests/support/scenario.h"
#include "ui/fonts.h"

namespace hw::ui {
namespace {

using Combo = SdlOptionsWindow::Combo;
using W = SdlOptionsWindow;

SDL_Point Centre(const SDL_Rect& r) {
  return {r.x + r.w / 2, r.y + r.h / 2};
}

bool Holds(const SDL_Rect& outer, const SDL_Rect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
}

class OptionsViewTest : public ::testing::Test {
 protected:
  OptionsViewTest() { s.State().Room.ServiceCards = 2; }

  // Between hands, or during one.
  void Open(bool handRunning = false) {
    s.State().Room.HandRunning = handRunning;
    dialog.Open();
  }

  bool Mouse(Uint32 type, SDL_Point at) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
      event.motion.x = at.x;
      event.motion.y = at.y;
    } else {
      event.button.button = SDL_BUTTON_LEFT;
      event.button.x = at.x;
      event.button.y = at.y;
    }
    return view.HandleEvent(event);
  }
  void Down(SDL_Point at) { Mouse(SDL_MOUSEBUTTONDOWN, at); }
  void Up(SDL_Point at) { Mouse(SDL_MOUSEBUTTONUP, at); }
  void Move(SDL_Point at) { Mouse(SDL_MOUSEMOTION, at); }
  void Click(const SDL_Rect& r) {
    Move(Centre(r));
    Down(Centre(r));
    Up(Centre(r));
  }
  void Key(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    view.HandleEvent(event);
  }

  testing::Scenario s;
  platform::MemorySettingsStore settings;
  ComputerOpponents opponents;
  OptionsDialog dialog{s.G(), s.window, settings, opponents};
  FontLibrary fonts;
  SdlOptionsWindow view{dialog,
                        [this](int size, bool bold) { return fonts.GetOrNull(size, bold); }};
};

TEST_F(OptionsViewTest, TheTwoSoundOptionsAreOneRadioGroup) {
  Open();
  ASSERT_TRUE(dialog.SoundOn());
  Click(W::kSoundOff);
  EXPECT_FALSE(dialog.SoundOn());
  Click(W::kSoundOff);  // a selected option stays selected
  EXPECT_FALSE(dialog.SoundOn());
  Click(W::kSoundOn);
  EXPECT_TRUE(dialog.SoundOn());
}

TEST_F(OptionsViewTest, AClickedListItemBecomesTheChoiceAndApplyStoresIt) {
  Open();
  Click(W::kStakeList);
  EXPECT_EQ(view.OpenList(), Combo::kStake);
  EXPECT_EQ(view.HighlightedItem(), 0) << "the list opens on the current choice";
  Click(W::ListItem(Combo::kStake, 1));
  EXPECT_EQ(view.OpenList(), Combo::kNone);
  EXPECT_EQ(dialog.StakeChoice(), 1);

  Click(W::ArrowButton(W::kServiceList));
  EXPECT_EQ(view.OpenList(), Combo::kService);
  EXPECT_EQ(view.HighlightedItem(), 2);
  Click(W::ListItem(Combo::kService, 5));
  EXPECT_EQ(dialog.ServiceChoice(), 5);

  Click(W::kApply);
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(s.State().Room.StakeText, "300");
  EXPECT_EQ(s.State().Room.ServiceCards, 5);
}

TEST_F(OptionsViewTest, EachOpenListLiesInsideTheDialogNextToItsBox) {
  Open();
  for (const Combo combo : W::kCombos) {
    Click(W::ArrowButton(W::ComboBox(combo)));
    ASSERT_EQ(view.OpenList(), combo);
    const SDL_Rect list = W::DropList(combo), box = W::ComboBox(combo);
    EXPECT_TRUE(Holds(W::kPanel, list)) << static_cast<int>(combo);
    EXPECT_FALSE(SDL_HasIntersection(&list, &box)) << "the list leaves its box in sight";
    EXPECT_TRUE(list.y == box.y + box.h || list.y + list.h == box.y);
    for (int item = 0; item < W::ItemCount(combo); ++item)
      EXPECT_TRUE(Holds(list, W::ListItem(combo, item)));
    EXPECT_FALSE(SDL_HasIntersection(&list, &W::kApply) || SDL_HasIntersection(&list, &W::kCancel))
        << "the buttons stay in sight";
    Key(SDLK_ESCAPE);
  }
}

TEST_F(OptionsViewTest, AClickOutsideAnOpenListOnlyClosesIt) {
  Open();
  // On the other sound option: the list closes, the option is not taken.
  Click(W::kServiceList);
  const SDL_Rect list = W::DropList(Combo::kService);
  ASSERT_FALSE(SDL_HasIntersection(&list, &W::kSoundOff));
  Click(W::kSoundOff);
  EXPECT_EQ(view.OpenList(), Combo::kNone);
  EXPECT_TRUE(dialog.SoundOn());
  EXPECT_EQ(dialog.ServiceChoice(), 2);

  // On the other combo box, then on 적용: neither opens nor applies.
  Click(W::kStakeList);
  Click(W::kServiceList);
  EXPECT_EQ(view.OpenList(), Combo::kNone);
  Click(W::kStakeList);
  ASSERT_FALSE(SDL_HasIntersection(&W::kApply, &list));
  Click(W::kApply);
  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_EQ(dialog.StakeChoice(), 0);
}

TEST_F(OptionsViewTest, DuringAHandTheCombosDoNotOpen) {
  Open(true);
  ASSERT_FALSE(dialog.CombosEnabled());
  for (const Combo combo : W::kCombos) {
    Click(W::ComboBox(combo));
    Click(W::ArrowButton(W::ComboBox(combo)));
    EXPECT_EQ(view.OpenList(), Combo::kNone);
    Click(W::ListItem(combo, 1));  // where the list would lie
    Key(SDLK_DOWN);
    Key(SDLK_RETURN);
  }
  EXPECT_EQ(s.State().Room.StakeText, "100");
  EXPECT_EQ(s.State().Room.ServiceCards, 2);
  EXPECT_EQ(s.State().Room.Opponent, OpponentLevel::kWritten);
}

TEST_F(OptionsViewTest, TheLevelIsChosenFromItsListByMouseOrKeys) {
  Open();
  Click(W::kOpponentList);
  ASSERT_EQ(view.OpenList(), Combo::kOpponent);
  EXPECT_EQ(W::ItemCount(Combo::kOpponent), 2);
  EXPECT_EQ(view.HighlightedItem(), 0);
  Click(W::ListItem(Combo::kOpponent, 1));
  EXPECT_EQ(dialog.OpponentChoice(), 1);
  EXPECT_EQ(dialog.StakeChoice(), 0);
  EXPECT_EQ(dialog.ServiceChoice(), 2);

  Click(W::ArrowButton(W::kOpponentList));
  EXPECT_EQ(view.HighlightedItem(), 1) << "the list opens on the current choice";
  Key(SDLK_UP);
  Key(SDLK_RETURN);
  EXPECT_EQ(dialog.OpponentChoice(), 0);
  Click(W::kOpponentList);
  Key(SDLK_DOWN);
  Key(SDLK_RETURN);
  ASSERT_EQ(dialog.OpponentChoice(), 1);

  Click(W::kApply);
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(s.State().Room.Opponent, OpponentLevel::kSearch);
  EXPECT_EQ(s.G().computer, &opponents.Strong());
}

TEST_F(OptionsViewTest, UpDownMoveInAnOpenListEnterTakesEscapeDrops) {
  Open();
  Click(W::kStakeList);
  Key(SDLK_UP);  // already at the top
  EXPECT_EQ(view.HighlightedItem(), 0);
  Key(SDLK_DOWN);
  Key(SDLK_DOWN);  // and at the bottom
  EXPECT_EQ(view.HighlightedItem(), 1);
  EXPECT_EQ(dialog.StakeChoice(), 0) << "only Enter takes the item";
  Key(SDLK_RETURN);
  EXPECT_EQ(view.OpenList(), Combo::kNone);
  EXPECT_EQ(dialog.StakeChoice(), 1);
  EXPECT_TRUE(dialog.IsOpen()) << "Enter on a list does not apply the dialog";

  Click(W::kServiceList);
  Key(SDLK_DOWN);
  Move(Centre(W::ListItem(Combo::kService, 5)));  // the pointer moves the highlight too
  EXPECT_EQ(view.HighlightedItem(), 5);
  Key(SDLK_ESCAPE);
  EXPECT_EQ(view.OpenList(), Combo::kNone);
  EXPECT_EQ(dialog.ServiceChoice(), 2);
  EXPECT_TRUE(dialog.IsOpen()) << "Escape on a list does not cancel the dialog";

  // With no list open, Escape cancels and Enter applies.
  Key(SDLK_ESCAPE);
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(s.State().Room.StakeText, "100");
  Open();
  Click(W::kSoundOff);
  Key(SDLK_RETURN);
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(s.State().Room.SoundOn, 'F');
}

TEST_F(OptionsViewTest, ApplyActsWhenReleasedOverItOnly) {
  Open();
  Click(W::kSoundOff);
  const SDL_Point apply = Centre(W::kApply), away{W::kApply.x - 30, W::kApply.y};
  Down(apply);
  EXPECT_TRUE(dialog.IsOpen()) << "a press alone does nothing";
  Move(away);
  Up(away);
  EXPECT_TRUE(dialog.IsOpen()) << "a press dragged off is called off";
  Down(away);
  Move(apply);
  Up(apply);
  EXPECT_TRUE(dialog.IsOpen()) << "a release without a press on it is nothing";
  EXPECT_EQ(s.State().Room.SoundOn, 'T');

  Down(apply);
  Move(away);
  Move(apply);  // dragged back on
  Up(apply);
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(s.State().Room.SoundOn, 'F');
}

TEST_F(OptionsViewTest, TheSliderFollowsADragAndTheArrowKeys) {
  Open();
  Down({W::kSlider.x + W::kSlider.w - 1, Centre(W::kSlider).y});
  EXPECT_EQ(dialog.Speed(), 300);
  Move({0, 0});  // held, far off to the left
  EXPECT_EQ(dialog.Speed(), 0);
  Up({0, 0});
  Move(Centre(W::kSlider));  // let go: the thumb stays
  EXPECT_EQ(dialog.Speed(), 0);
  Key(SDLK_RIGHT);
  Key(SDLK_PAGEDOWN);
  EXPECT_EQ(dialog.Speed(), 6);
}

TEST_F(OptionsViewTest, TakesMouseAndKeysWhileOpenButNotWindowEvents) {
  Open();
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  EXPECT_FALSE(view.HandleEvent(event));
  for (const Uint32 type : {SDL_MOUSEWHEEL, SDL_KEYUP, SDL_TEXTINPUT}) {
    event.type = type;
    EXPECT_TRUE(view.HandleEvent(event)) << type;
  }
  EXPECT_TRUE(Mouse(SDL_MOUSEBUTTONDOWN, {5, 5}));  // off the dialog, over the board
  Key(SDLK_ESCAPE);
  EXPECT_FALSE(Mouse(SDL_MOUSEBUTTONDOWN, {5, 5}));
}

// ---- The look, in a software renderer over a plain green board

struct RendererDeleter {
  void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};

class OptionsLookTest : public OptionsViewTest {
 protected:
  static constexpr Rgb kBoard{20, 110, 60};

  void Draw() {
    SDL_FillRect(target_.get(), nullptr, MapColour(target_.get(), kBoard));
    view.Compose(renderer_.get());
    SDL_RenderFlush(renderer_.get());
  }
  Rgb At(SDL_Point p) const {
    const auto* row = static_cast<const Uint8*>(target_->pixels) +
                      static_cast<std::ptrdiff_t>(p.y) * target_->pitch;
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(reinterpret_cast<const Uint32*>(row)[p.x], target_->format, &r, &g, &b);
    return {r, g, b};
  }
  // No magenta, nor the purple of a magenta fringe, anywhere on the panel.
  int MagentaPixels() const {
    int count = 0;
    for (int y = W::kPanel.y; y < W::kPanel.y + W::kPanel.h; ++y) {
      for (int x = W::kPanel.x; x < W::kPanel.x + W::kPanel.w; ++x) {
        const Rgb c = At({x, y});
        count += c.Red > 150 && c.Blue > 150 && c.Green < 100;
      }
    }
    return count;
  }

  Surface target_ = NewSurface(800, 600);
  std::unique_ptr<SDL_Renderer, RendererDeleter> renderer_{
      SDL_CreateSoftwareRenderer(target_.get())};
};

TEST_F(OptionsLookTest, TheDialogIsDrawnOnItsPanelOnlyAndWithoutMagenta) {
  ASSERT_TRUE(renderer_);
  Draw();
  EXPECT_EQ(At(Centre(W::kPanel)), kBoard) << "a closed dialog draws nothing";
  Open();
  Draw();
  EXPECT_NE(At({W::kPanel.x, W::kPanel.y}), kBoard);
  EXPECT_NE(At({W::kPanel.x + W::kPanel.w - 1, W::kPanel.y + W::kPanel.h - 1}), kBoard);
  EXPECT_EQ(At({W::kPanel.x - 1, W::kPanel.y}), kBoard);
  EXPECT_EQ(At({W::kPanel.x + W::kPanel.w, W::kPanel.y + W::kPanel.h - 1}), kBoard);
  EXPECT_EQ(At({W::kPanel.x, W::kPanel.y + W::kPanel.h}), kBoard);
  EXPECT_EQ(MagentaPixels(), 0);
  Click(W::kServiceList);
  Draw();
  EXPECT_EQ(MagentaPixels(), 0);
}

TEST_F(OptionsLookTest, OnlyTheSelectedRadioButtonIsFilled) {
  Open();
  Draw();
  const SDL_Point on = W::RadioCentre(W::kSoundOn), off = W::RadioCentre(W::kSoundOff);
  const Rgb filled = At(on), empty = At(off);
  EXPECT_NE(filled, empty);
  Click(W::kSoundOff);
  Draw();
  EXPECT_EQ(At(on), empty);
  EXPECT_EQ(At(off), filled);
}

TEST_F(OptionsLookTest, ComboBoxesShowAnArrowButtonAndADisabledLookDuringAHand) {
  struct Look {
    Rgb face, triangle;
  };
  std::vector<Look> between;
  Open();
  Draw();
  for (const Combo combo : W::kCombos) {
    const SDL_Rect box = W::ComboBox(combo), arrow = W::ArrowButton(box);
    const Rgb face = At({box.x + 3, Centre(box).y}), button = At({arrow.x + 3, arrow.y + 3});
    const Rgb triangle = At(Centre(arrow));
    EXPECT_NE(button, face) << static_cast<int>(combo);
    EXPECT_NE(triangle, button) << static_cast<int>(combo);
    between.push_back({face, triangle});
  }
  dialog.PressButton(1);
  Open(true);
  Draw();
  for (std::size_t i = 0; i < W::kCombos.size(); ++i) {
    const SDL_Rect box = W::ComboBox(W::kCombos[i]);
    EXPECT_NE(At({box.x + 3, Centre(box).y}), between[i].face) << i;
    EXPECT_NE(At(Centre(W::ArrowButton(box))), between[i].triangle) << i;
  }
}

TEST_F(OptionsLookTest, TheOpenListHighlightsTheChoiceThenTheItemUnderThePointer) {
  Open();
  Click(W::kServiceList);
  Draw();
  auto spot = [](int item) {
    const SDL_Rect r = W::ListItem(Combo::kService, item);
    return SDL_Point{r.x + 2, r.y + r.h / 2};
  };
  const Rgb highlight = At(spot(2));  // the current choice
  EXPECT_NE(highlight, At(spot(0)));
  EXPECT_EQ(At(spot(0)), At(spot(5)));
  Move(Centre(W::ListItem(Combo::kService, 5)));
  Draw();
  EXPECT_EQ(At(spot(5)), highlight);
  EXPECT_EQ(At(spot(2)), At(spot(0)));
}

TEST_F(OptionsLookTest, ApplyLooksPressedWhileHeldOverIt) {
  Open();
  const SDL_Point spot{W::kApply.x + 4, Centre(W::kApply).y};
  Draw();
  const Rgb normal = At(spot);
  Down(Centre(W::kApply));
  Draw();
  const Rgb pressed = At(spot);
  EXPECT_NE(pressed, normal);
  Move({W::kApply.x - 30, W::kApply.y});
  Draw();
  EXPECT_EQ(At(spot), normal) << "dragged off, it would not act: it looks up";
}

}  // namespace
}  // namespace hw::ui
