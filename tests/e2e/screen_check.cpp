// hwatable-screencheck: does a screenshot of the X screen show what the game must show at
// this moment? The end-to-end runs capture the screen (`import -window root`) and ask
// this tool about named things, each compared with the picture the game draws it from.
//
//   hwatable-screencheck --images DIR SHOT.png LEFT TOP CHECK...
//
// LEFT TOP is where the window stands on the screen; every place below is in the
// window's own pixels. Checks:
//   title-strip            options, minimise, maximise and exit in their normal faces
//   start-button           게임 시작 in the waiting room; no-start-button: not there
//   login                  the login window with its five buttons
//   card N X Y             the face of card N with its top-left corner at (X, Y)
//   card-in-flight         a card's back somewhere between the pile and the slots
//   find-hand-card N       prints where the human's hand shows card N, "X Y" (its middle)
//   go-stop                the Go/Stop question with its two buttons
//   result                 the result of a hand with its OK button
//   box BUTTONS ICON CAPTION TEXT
//                          a message box as the game draws it, in the middle of the
//                          window; BUTTONS ok|yesno, ICON information|error|question|
//                          exclamation, "\n" in TEXT a line break
//   own-box BUTTONS ICON CAPTION TEXT
//                          the same box in a window of its own at LEFT TOP
//   update-window STATUS   the updater's window at LEFT TOP, its bar empty, with that
//                          status line
//   where-box-button BUTTONS ICON CAPTION TEXT N
//                          prints where button N of that box (in the middle of the
//                          window) is, "X Y"; checks nothing
// Prints one line per check; exits 1 when any check fails, 2 on bad arguments. Beside
// the screenshot it leaves, for each failed check, what was expected and what was shown
// (SHOT.png.failed-N-expected.png, SHOT.png.failed-N-shown.png).

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mainwindow/startup.h"
#include "rules/card_table.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/sdl_util.h"
#include "ui/skin.h"
#include "updater/sdl_update_window.h"

namespace {

using namespace hw;
using namespace hw::ui;

struct Screen {
  std::string path;
  Surface shot;
  int left = 0, top = 0;

  // The colour at a window point, or -1 off the screen.
  long At(int x, int y) const {
    x += left;
    y += top;
    if (x < 0 || y < 0 || x >= shot->w || y >= shot->h) return -1;
    return static_cast<const Uint32*>(shot->pixels)[y * (shot->pitch / 4) + x] & 0xFFFFFFu;
  }
};

long PictureAt(const SDL_Surface* picture, int x, int y) {
  return static_cast<const Uint32*>(picture->pixels)[y * (picture->pitch / 4) + x] & 0xFFFFFFu;
}

bool Near(long a, long b) {
  if (a < 0 || b < 0) return false;
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > 2) return false;
  }
  return true;
}

// The share of the picture's area (from `from`) that the screen shows at (x, y), with
// the pixels of `skip` (the key colour of a cut-out picture) left out, and those where
// `hidden` (a picture of the same size drawn over it) is not see-through.
double Match(const Screen& screen, const SDL_Surface* picture, const SDL_Rect& from, int x, int y,
             long skip = -1, const std::vector<bool>* hidden = nullptr) {
  if (picture == nullptr) return 0;
  int same = 0, counted = 0;
  for (int dy = 0; dy < from.h; ++dy) {
    for (int dx = 0; dx < from.w; ++dx) {
      const long want = PictureAt(picture, from.x + dx, from.y + dy);
      if (want == skip) continue;
      if (hidden != nullptr && (*hidden)[(from.y + dy) * picture->w + from.x + dx]) continue;
      ++counted;
      same += Near(screen.At(x + dx, y + dy), want);
    }
  }
  return counted == 0 ? 0 : static_cast<double>(same) / counted;
}

constexpr double kEnough = 0.995;
constexpr long kMagenta = 0xFF00FF;

struct Checker {
  const Screen& screen;
  const Skin& skin;
  FontLibrary& fonts;
  int failures = 0;

  void Report(bool ok, const std::string& what, double share) {
    std::printf("%s %s (%.1f%% of its pixels)\n", ok ? "ok" : "NOT SHOWN:", what.c_str(),
                100 * share);
    failures += ok ? 0 : 1;
  }
  void Expect(const std::string& what, const SDL_Surface* picture, const SDL_Rect& from, int x,
              int y, long skip = -1) {
    const double share = Match(screen, picture, from, x, y, skip);
    Report(share >= kEnough, what, share);
    if (share < kEnough && picture != nullptr) KeepForLooking(picture, from, x, y);
  }
  // Beside the screenshot: what was expected and what the screen showed there.
  void KeepForLooking(const SDL_Surface* picture, const SDL_Rect& from, int x, int y) {
    const std::string stem = screen.path + ".failed-" + std::to_string(failures);
    Surface expected = CutOut(picture, from);
    IMG_SavePNG(expected.get(), (stem + "-expected.png").c_str());
    Surface shown = CutOut(screen.shot.get(), {screen.left + x, screen.top + y, from.w, from.h});
    IMG_SavePNG(shown.get(), (stem + "-shown.png").c_str());
  }

  void TitleStrip() {
    Expect("options button", skin.titleOptions.get(), {0, 0, 31, 19}, 660, 4);
    Expect("minimise button", skin.titleMinimise.get(), {0, 0, 31, 19}, 693, 4);
    Expect("maximise button", skin.titleMaximise.get(), {0, 0, 31, 19}, 726, 4);
    Expect("exit button", skin.titleExit.get(), {0, 0, 31, 19}, 759, 4);
  }
  void StartButton(bool wanted) {
    const double share = Match(screen, skin.startButton.get(), {0, 0, 179, 55}, 229, 366);
    Report(wanted ? share >= kEnough : share < 0.5,
           wanted ? "start button" : "no start button (the floor)", share);
  }
  void Login() {
    // The window's picture below its close button, cut to its outline, and its buttons'
    // first faces.
    Expect("login window", skin.loginWindow.get(), {0, 30, 350, 80}, 225, 123 + 30, kMagenta);
    Expect("login OK button", skin.loginOk.get(), {0, 0, 57, 49}, 225 + 236, 123 + 196);
    Expect("login join button", skin.loginMember.get(), {0, 0, 95, 49}, 225 + 28, 123 + 265);
    Expect("login lost-account button", skin.loginLost.get(), {0, 0, 95, 49}, 225 + 129, 123 + 265);
    Expect("login home button", skin.loginHome.get(), {0, 0, 95, 49}, 225 + 230, 123 + 265);
  }
  void Card(int card, int x, int y) {
    Expect("card " + std::to_string(card) + " at " + std::to_string(x) + "," + std::to_string(y),
           skin.Card(FaceImage(card)), {0, 0, kCardWidth, kCardHeight}, x, y);
  }
  void CardInFlight() {
    // A card back away from the pile, which lies at (258, 255) and a few pixels beyond.
    const SDL_Surface* back = skin.Card(kCardBackImage);
    for (int y = 30; y + kCardHeight <= 600; ++y) {
      for (int x = 0; x + kCardWidth <= 586; ++x) {
        if (x >= 256 && x <= 276 && y >= 253 && y <= 273) continue;
        // A quick look at a few pixels before the whole card.
        if (!Near(screen.At(x + 18, y + 27), PictureAt(back, 18, 27)) ||
            !Near(screen.At(x + 3, y + 3), PictureAt(back, 3, 3))) {
          continue;
        }
        const double share = Match(screen, back, {0, 0, kCardWidth, kCardHeight}, x, y);
        if (share >= kEnough) {
          Report(true, "a card in flight at " + std::to_string(x) + "," + std::to_string(y), share);
          return;
        }
      }
    }
    Report(false, "a card in flight", 0);
  }
  // The box the arguments describe, as the game draws it.
  MessageBox MakeBox(const std::string& buttons, const std::string& icon,
                     const std::string& caption, std::string text) {
    for (std::size_t at = 0; (at = text.find("\\n", at)) != std::string::npos;)
      text.replace(at, 2, "\r\n");
    const platform::MessageIcon icons[] = {
        platform::MessageIcon::kInformation, platform::MessageIcon::kError,
        platform::MessageIcon::kQuestion, platform::MessageIcon::kExclamation};
    const char* iconNames[] = {"information", "error", "question", "exclamation"};
    platform::MessageIcon chosen = icons[0];
    for (int i = 0; i < 4; ++i) {
      if (icon == iconNames[i]) chosen = icons[i];
    }
    return MessageBox(
        [this](int size, bool bold) { return fonts.GetOrNull(size, bold); }, caption, text, chosen,
        buttons == "yesno" ? platform::MessageButtons::kYesNo : platform::MessageButtons::kOk);
  }
  // Where the human's hand shows card N: prints the middle of the card, "X Y"; fails
  // when it is not there. The hints drawn over a hand card (a frame and a mark) are left
  // out of the comparison.
  void FindHandCard(int card) {
    const SDL_Surface* face = skin.Card(FaceImage(card));
    std::vector<bool> hints(kCardWidth * kCardHeight, false);
    for (const int overlay : {kMatchOverlayImage, kBombCandidateImage, kShakeCandidateImage}) {
      const SDL_Surface* hint = skin.Card(overlay);
      for (int i = 0; i < kCardWidth * kCardHeight; ++i) {
        if (PictureAt(hint, i % kCardWidth, i / kCardWidth) != kMagenta) hints[i] = true;
      }
    }
    const SDL_Rect whole{0, 0, kCardWidth, kCardHeight};
    for (int y = 470; y + kCardHeight <= 600; ++y) {
      for (int x = 380; x + kCardWidth <= 590; ++x) {
        if (!Near(screen.At(x + 18, y + 30), PictureAt(face, 18, 30))) continue;
        if (Match(screen, face, whole, x, y, -1, &hints) >= kEnough) {
          std::printf("%d %d\n", x + kCardWidth / 2, y + kCardHeight / 2);
          return;
        }
      }
    }
    std::printf("NOT SHOWN: card %d in the hand\n", card);
    ++failures;
  }
  void Box(bool ownWindow, const MessageBox& box) {
    const Surface picture = box.Picture();
    const int x = ownWindow ? 0 : (800 - box.Width()) / 2;
    const int y = ownWindow ? 0 : (600 - box.Height()) / 2;
    Expect("box \"" + box.Caption() + "\" at " + std::to_string(x) + "," + std::to_string(y),
           picture.get(), {0, 0, box.Width(), box.Height()}, x, y);
  }
};

int Usage() {
  std::fprintf(stderr, "usage: hwatable-screencheck --images DIR SHOT.png LEFT TOP CHECK...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7 || std::string(argv[1]) != "--images") return Usage();
  // Pictures and fonts only: SDL's subsystems are not started.
  IMG_Init(IMG_INIT_JPG);
  GameState state;
  state.GameInfo.ProgramFolder = std::string(argv[2]) + "/";
  for (int i = 0; i < kSkinImages; ++i)
    state.SkinImages[i] = ImagePath(state.GameInfo, kSkinImageNames[i]);
  FontLibrary fonts;
  const Skin skin =
      Skin::Load(state, [&fonts](int size, bool bold) { return fonts.GetOrNull(size, bold); });
  Screen screen{argv[3], LoadPicture(argv[3]), std::atoi(argv[4]), std::atoi(argv[5])};
  if (!screen.shot) {
    std::fprintf(stderr, "hwatable-screencheck: cannot read %s\n", argv[3]);
    return 2;
  }
  Checker check{screen, skin, fonts};
  std::vector<std::string> args(argv + 6, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    const std::size_t left = args.size() - i - 1;
    if (name == "title-strip") {
      check.TitleStrip();
    } else if (name == "start-button" || name == "no-start-button") {
      check.StartButton(name == "start-button");
    } else if (name == "login") {
      check.Login();
    } else if (name == "card" && left >= 3) {
      check.Card(std::stoi(args[i + 1]), std::stoi(args[i + 2]), std::stoi(args[i + 3]));
      i += 3;
    } else if (name == "find-hand-card" && left >= 1) {
      check.FindHandCard(std::stoi(args[i + 1]));
      i += 1;
    } else if (name == "card-in-flight") {
      check.CardInFlight();
    } else if (name == "go-stop") {
      check.Expect("go/stop question", skin.goStopWindow.get(), {0, 0, 223, 30}, 189, 228,
                   kMagenta);
      check.Expect("go button", skin.goButton.get(), {0, 0, 94, 59}, 189 + 12, 228 + 40);
      check.Expect("stop button", skin.stopButton.get(), {0, 0, 94, 59}, 189 + 114, 228 + 40);
    } else if (name == "result") {
      check.Expect("result window", skin.resultWindow.get(), {0, 0, 306, 20}, 132, 206, kMagenta);
      check.Expect("result OK button", skin.resultOk.get(), {0, 0, 99, 40}, 132 + 198, 206 + 164);
    } else if ((name == "box" || name == "own-box") && left >= 4) {
      check.Box(name == "own-box",
                check.MakeBox(args[i + 1], args[i + 2], args[i + 3], args[i + 4]));
      i += 4;
    } else if (name == "update-window" && left >= 1) {
      const Surface picture = updater::UpdateWindowPicture(fonts, args[i + 1], false, 0);
      check.Expect("update window \"" + args[i + 1] + "\"", picture.get(),
                   {0, 0, picture->w, picture->h}, 0, 0);
      i += 1;
    } else if (name == "where-box-button" && left >= 5) {
      // Where a button of the box (in the middle of the window) is: "X Y", nothing checked.
      const MessageBox box = check.MakeBox(args[i + 1], args[i + 2], args[i + 3], args[i + 4]);
      const SDL_Rect button = box.ButtonArea(std::stoi(args[i + 5]));
      std::printf("%d %d\n", (800 - box.Width()) / 2 + button.x + button.w / 2,
                  (600 - box.Height()) / 2 + button.y + button.h / 2);
      i += 5;
    } else {
      std::fprintf(stderr, "hwatable-screencheck: unknown check %s\n", name.c_str());
      return Usage();
    }
  }
  IMG_Quit();
  return check.failures == 0 ? 0 : 1;
}
