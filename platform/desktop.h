#pragma once
// Message boxes and the desktop's default programs.

#include <string_view>

namespace hw::platform {

enum class MessageIcon { kInformation, kError, kQuestion, kExclamation };
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Shows a modal message box and returns the button pressed. Lines are separated by
  // CR LF in the text.
  virtual MessageAnswer ShowMessage(std::string_view caption, std::string_view text,
                                    MessageIcon icon, MessageButtons buttons) = 0;
  // Opens an address or a file with its default program. False when that failed.
  virtual bool OpenWithShell(std::string_view target) = 0;
};

}  // namespace hw::platform
