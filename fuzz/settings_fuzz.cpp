// Feeds arbitrary settings files and changes to the settings text. A value stored reads
// back; storing it again changes nothing; every line the change did not touch comes back
// byte for byte; a value removed reads as nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "platform/posix/ini_text.h"

namespace {

using hw::fuzz::Check;
namespace ini = hw::platform::ini;

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return lines;
}

// Whether `after` is `before` with lines inserted or replaced in one place (at most
// `changed` of them), the line before an insertion at the end gaining its newline.
bool OnlyOnePlaceChanged(std::string_view before, std::string_view after, std::size_t changed) {
  const std::vector<std::string_view> old_lines = Lines(before);
  const std::vector<std::string_view> new_lines = Lines(after);
  std::size_t prefix = 0;
  while (prefix < old_lines.size() && prefix < new_lines.size() &&
         old_lines[prefix] == new_lines[prefix])
    ++prefix;
  std::size_t suffix = 0;
  while (suffix < old_lines.size() - prefix && suffix < new_lines.size() - prefix &&
         old_lines[old_lines.size() - 1 - suffix] == new_lines[new_lines.size() - 1 - suffix])
    ++suffix;
  std::size_t removed = old_lines.size() - prefix - suffix;
  const std::size_t added = new_lines.size() - prefix - suffix;
  // A last line without a newline that gained one counts as untouched.
  if (removed == 1 && prefix + 1 == old_lines.size() && !old_lines.back().ends_with('\n') &&
      added >= 1 && new_lines[prefix] == std::string(old_lines.back()) + "\n") {
    removed = 0;
    return added - 1 <= changed;
  }
  return removed <= 1 && added <= changed + removed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  // section NUL name NUL value NUL file
  const std::string_view section = hw::fuzz::NextPiece(rest, '\0');
  const std::string_view name = hw::fuzz::NextPiece(rest, '\0');
  const std::string_view value = hw::fuzz::NextPiece(rest, '\0');
  const std::string_view text = rest;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (!ini::CanBeWritten(section) || !ini::CanBeWritten(name)) return 0;

  const std::optional<std::string> stored = ini::WithValue(text, section, name, value);
  const std::string& now = stored ? *stored : std::string(text);
  Check(ini::ValueIn(now, section, name) == value, "a value stored reads back", input);
  Check(!ini::WithValue(now, section, name, value), "storing a value again changes nothing", input);
  // A new value takes a line of its own, and a new section its header and a blank line.
  Check(!stored || OnlyOnePlaceChanged(text, *stored, 3), "other lines stay byte for byte", input);

  if (const std::optional<std::string> removed = ini::WithoutValue(now, section, name)) {
    Check(ini::ValueIn(*removed, section, name).empty(), "a value removed is gone", input);
  }
  return 0;
}
