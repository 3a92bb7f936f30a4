#pragma once
// The text of the settings file (ini_settings_store.h describes its format), read and
// changed in memory: what the store does between reading the file and replacing it.
// Every line a change does not touch comes back byte for byte.

#include <optional>
#include <string>
#include <string_view>

namespace hw::platform::ini {

// Whether a section or value name can be written into a line (no ']', '=', CR or LF).
bool CanBeWritten(std::string_view sectionOrName);

// The value (unescaped), or "" when the text holds none.
std::string ValueIn(std::string_view text, std::string_view section, std::string_view name);

// The text with the value stored, or std::nullopt when it already holds exactly that.
// The section and name must be CanBeWritten.
std::optional<std::string> WithValue(std::string_view text, std::string_view section,
                                     std::string_view name, std::string_view value);

// The text without the value (every copy of it), or std::nullopt when it holds none.
std::optional<std::string> WithoutValue(std::string_view text, std::string_view section,
                                        std::string_view name);

}  // namespace hw::platform::ini
