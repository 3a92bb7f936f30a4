#pragma once
// A settings store held in memory, for tests. It follows the rules of the real store:
// section and value names match without regard to ASCII letter case, application names
// match exactly, and names the real store refuses are refused here too. Switches make
// calls fail the way a broken store does, and every successful Save and Delete is listed
// so that a test can see what was written back.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/settings_store.h"

namespace hw::platform {

class MemorySettingsStore final : public SettingsStore {
 public:
  // One successful Save or Delete, spelled as the caller spelled it.
  struct Write {
    std::string app;
    std::string section;
    std::string name;
    std::optional<std::string> value;  // std::nullopt for a Delete

    bool operator==(const Write&) const = default;
  };

  bool failReads = false;    // Read returns std::nullopt
  bool failSaves = false;    // Save returns false and stores nothing
  bool failDeletes = false;  // Delete returns false and removes nothing

  std::vector<Write> writes;  // successful Save and Delete calls, oldest first
  int reads = 0;              // every Read call, failed ones included

  std::optional<std::string> Read(std::string_view app, std::string_view section,
                                  std::string_view name) override {
    ++reads;
    if (failReads) return std::nullopt;
    const auto found = values_.find(KeyOf(app, section, name));
    return found == values_.end() ? std::string() : found->second;
  }

  bool Save(std::string_view app, std::string_view section, std::string_view name,
            std::string_view value) override {
    if (failSaves || !CanStore(app, section, name)) return false;
    values_[KeyOf(app, section, name)] = std::string(value);
    writes.push_back(
        Write{std::string(app), std::string(section), std::string(name), std::string(value)});
    return true;
  }

  bool Delete(std::string_view app, std::string_view section, std::string_view name) override {
    if (failDeletes || !CanStore(app, section, name)) return false;
    values_.erase(KeyOf(app, section, name));
    writes.push_back(Write{std::string(app), std::string(section), std::string(name), {}});
    return true;
  }

  // Puts a value in place without listing it as a write: the state a test starts from.
  void Set(std::string_view app, std::string_view section, std::string_view name,
           std::string_view value) {
    values_[KeyOf(app, section, name)] = std::string(value);
  }

  // How many values are stored, over all applications.
  std::size_t Size() const { return values_.size(); }

 private:
  using Key = std::tuple<std::string, std::string, std::string>;

  static std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
  }

  static Key KeyOf(std::string_view app, std::string_view section, std::string_view name) {
    return {std::string(app), Lower(section), Lower(name)};
  }

  // In the real store the application becomes a folder name and the other two parts of lines.
  static bool CanStore(std::string_view app, std::string_view section, std::string_view name) {
    const auto fits = [](std::string_view part) {
      return part.find_first_of("]=\r\n") == std::string_view::npos;
    };
    return !app.empty() && app != "." && app != ".." &&
           app.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos &&
           fits(section) && fits(name);
  }

  std::map<Key, std::string> values_;
};

}  // namespace hw::platform
