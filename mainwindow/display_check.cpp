#include "mainwindow/display_check.h"

namespace hw {
namespace {

using platform::DisplayMode;
using platform::DisplayModeError;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

constexpr const char* kGameCaption = "Velmaro";
constexpr int kBoardWidth = 800;
constexpr int kBoardHeight = 600;

std::string ColourText(int bitsPerPixel) {
  if (bitsPerPixel == 4) return "16 colors";
  if (bitsPerPixel == 8) return "256 colors";
  if (bitsPerPixel <= 24) return "24bit color";
  return "32bit color";
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

std::string DescribeDisplayMode(const DisplayMode& mode) {
  std::string text = std::to_string(mode.Width) + " x " + std::to_string(mode.Height) + ", " +
                     ColourText(mode.BitsPerPixel);
  if (mode.RefreshRate < 2) return text + ", (Hardware default)";
  return text + ", " + std::to_string(mode.RefreshRate) + " Hz";
}

// ---- DisplayCheck

int DisplayCheck::BuildTable() {
  table_.clear();
  list_.clear();
  try {
    for (int index = 0;; ++index) {
      const std::optional<DisplayMode> mode = modes_.Mode(index);
      if (!mode) break;
      table_.push_back(*mode);
      list_.push_back(DescribeDisplayMode(*mode));
    }
    if (const std::optional<DisplayMode> current = modes_.Current()) {
      for (std::size_t row = 0; row < table_.size(); ++row) {
        if (table_[row] == *current) return static_cast<int>(row);
      }
    }
    desktop_.ShowMessage("해상도 로딩에러",
                         "로컬컴퓨터의 현재 해상도설정을 불러오는데 에러가 발생하였습니다",
                         MessageIcon::kError, MessageButtons::kOk);
  } catch (const std::exception& error) {
    const DisplayModeError* modeError = dynamic_cast<const DisplayModeError*>(&error);
    const int number = modeError != nullptr ? modeError->Number() : 0;
    desktop_.ShowMessage("해상도 로딩에러",
                         "해상도로딩에러:(" + std::to_string(number) + ")  " + error.what(),
                         MessageIcon::kError, MessageButtons::kOk);
  }
  return -1;
}

bool DisplayCheck::Run() {
  desktopIndex_ = BuildTable();
  if (desktopIndex_ < 0) return true;
  desktopText_ = list_[static_cast<std::size_t>(desktopIndex_)];
  currentIndex_ = desktopIndex_;
  currentText_ = desktopText_;

  if (table_[static_cast<std::size_t>(desktopIndex_)].Width < kBoardWidth) {
    const MessageAnswer answer =
        desktop_.ShowMessage("해상도변경",
                             "회원님의 해상도가 현재 800 x 600 이하로 설정되어있습니다    \r\n"
                             "지금 800 x 600 해상도로 변경하시겠습니까?   ",
                             MessageIcon::kInformation, MessageButtons::kYesNo);
    if (answer != MessageAnswer::kYes) {
      desktop_.ShowMessage("해상도 변경에러",
                           "죄송합니다\r\n\r\n해상도를 변경하신후에 다시 접속해 주시기 바랍니다",
                           MessageIcon::kInformation, MessageButtons::kOk);
      return false;
    }
    SwitchDisplay(true);
  }
  FillScreenMetrics();
  return true;
}

void DisplayCheck::FillScreenMetrics() {
  std::optional<DisplayMode> screen;
  try {
    screen = modes_.Current();
  } catch (const std::exception&) {
    screen.reset();
  }
  if (!screen && currentIndex_ >= 0) screen = table_[static_cast<std::size_t>(currentIndex_)];
  if (!screen) return;
  metrics_.ScreenWidth = screen->Width * kTwipsPerPixel;
  metrics_.ScreenHeight = screen->Height * kTwipsPerPixel;
  metrics_.Width800 = kBoardWidth * kTwipsPerPixel;
  metrics_.Height600 = kBoardHeight * kTwipsPerPixel;
}

void DisplayCheck::SwitchDisplay(bool toGame) {
  if (!toGame) {
    if (desktopIndex_ == -1 || desktopIndex_ == currentIndex_) return;
    modeSwitched_ = false;
    SetDisplayMode(desktopIndex_);
    return;
  }
  if (currentIndex_ != desktopIndex_) {
    modeSwitched_ = false;
    SetDisplayMode(desktopIndex_);
    return;
  }
  // The last rows first; 800 x 600 in 16 colours does not do.
  for (int row = static_cast<int>(list_.size()) - 1; row >= 0; --row) {
    const std::string& text = list_[static_cast<std::size_t>(row)];
    if (!Contains(text, "800 x 600")) continue;
    if (Contains(text, "32bit color") || Contains(text, "24bit color") ||
        Contains(text, "256 color")) {
      modeSwitched_ = true;
      SetDisplayMode(row);
      return;
    }
  }
  modeSwitched_ = false;
  desktop_.ShowMessage(kGameCaption, "800 x 600 해상도를 지원하지 않습니다   ", MessageIcon::kError,
                       MessageButtons::kOk);
}

bool DisplayCheck::SetDisplayMode(int index) {
  if (index < 0 || index >= static_cast<int>(table_.size())) return false;
  bool applied = false;
  try {
    applied = modes_.Apply(index);
  } catch (const std::exception&) {
    applied = false;
  }
  if (!applied) return false;
  currentIndex_ = index;
  currentText_ = list_[static_cast<std::size_t>(index)];
  if (redraw_) redraw_();
  return true;
}

}  // namespace hw
