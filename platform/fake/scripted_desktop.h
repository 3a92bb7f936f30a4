#pragma once
// A desktop for tests: message boxes are answered from a script (No when it runs out)
// and everything shown or opened is written down.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace hw::platform {

class ScriptedDesktop final : public Desktop {
 public:
  struct Shown {
    std::string caption;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
  };

  MessageAnswer ShowMessage(std::string_view caption, std::string_view text, MessageIcon icon,
                            MessageButtons buttons) override {
    shown.push_back({std::string(caption), std::string(text), icon, buttons});
    if (whileOpen) whileOpen();
    if (answers.empty())
      return buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kNo;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool OpenWithShell(std::string_view target) override {
    opened.emplace_back(target);
    return true;
  }

  std::deque<MessageAnswer> answers;
  // Runs while a box is open, before it answers (the player takes his time).
  std::function<void()> whileOpen;
  std::vector<Shown> shown;
  std::vector<std::string> opened;
};

}  // namespace hw::platform
