#pragma once
// The per-user settings store that the game and the updater share: text values
// addressed by application, section and name. Section and value names compare without
// regard to ASCII letter case ("RunVer" and "runver" are one value).

#include <optional>
#include <string>
#include <string_view>

namespace hw::platform {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored text. A missing value, section or file, and a file that cannot be
  // understood, all read as "". std::nullopt means the store itself failed (the file
  // is there but cannot be read); callers fall back to their defaults.
  virtual std::optional<std::string> Read(std::string_view app, std::string_view section,
                                          std::string_view name) = 0;

  // Stores the value, replacing an older one. False when it could not be stored; the
  // store is then unchanged.
  virtual bool Save(std::string_view app, std::string_view section, std::string_view name,
                    std::string_view value) = 0;

  // Removes the value. True also when there was nothing to remove.
  virtual bool Delete(std::string_view app, std::string_view section, std::string_view name) = 0;
};

}  // namespace hw::platform
