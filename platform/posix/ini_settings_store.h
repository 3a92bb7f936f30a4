#pragma once
// The settings store on this platform: one small INI file per application,
// <configHome>/<app>/settings.ini, made of "[Section]" lines and "Name=Value" lines.
//
// The file format:
//  - Section and value names match without regard to ASCII letter case; otherwise they
//    are taken exactly as written (no spaces are trimmed). A name or section containing
//    ']', '=', CR or LF cannot be written into a line and is refused.
//  - Values are kept exactly, spaces included; backslash, CR and LF are written as
//    "\\", "\r" and "\n". Any other backslash is read as itself.
//  - Lines the store does not understand (comments, blank lines, damage, values before
//    the first section) are read past and written back untouched. A line that starts
//    with '[' but is not a proper section line ends the section above it.
//  - When a name appears twice in a section, the first one counts: Read returns it and
//    Save replaces it. Delete removes every copy, so that the value is really gone.
//
// The game and the updater may change the same file at the same time. Each change is a
// read-modify-write under an exclusive flock on settings.lock beside the file (reads take
// a shared one), and the new text replaces the file with one rename after being flushed
// to disk, so a reader sees the old file or the new one and no writer undoes another's
// change. The lock file is never removed: removing it would let two writers lock
// different files.

#include <optional>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace hw::platform {

class IniSettingsStore final : public SettingsStore {
 public:
  // The programs pass ConfigHome(); tests pass a folder of their own. The application's
  // folder is created (mode 0700) by the first Save.
  explicit IniSettingsStore(std::string configHome);

  std::optional<std::string> Read(std::string_view app, std::string_view section,
                                  std::string_view name) override;
  bool Save(std::string_view app, std::string_view section, std::string_view name,
            std::string_view value) override;
  bool Delete(std::string_view app, std::string_view section, std::string_view name) override;

  // The file holding the application's values, or "" when the application name cannot
  // be a folder name (empty, ".", "..", or containing '/' or NUL); such names are
  // refused by Read, Save and Delete.
  std::string FilePath(std::string_view app) const;

 private:
  bool Change(std::string_view app, std::string_view section, std::string_view name,
              std::optional<std::string_view> value);

  std::string configHome_;
};

}  // namespace hw::platform
