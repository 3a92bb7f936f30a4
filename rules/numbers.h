#pragma once
// Whole numbers kept as text where they are not money: settings values, reply fields,
// a timer's tag. (Money has its own arithmetic on text of any length, rules/money.h.)

#include <algorithm>
#include <optional>
#include <string_view>

namespace hw {

// Digits only, one at least: no sign, no spaces.
inline bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A whole decimal number: an optional sign and digits, spaces around allowed; nothing
// else, and nothing beyond an int.
std::optional<int> WholeNumber(std::string_view text);
// The same, or `fallback` when the text is not such a number.
inline int ToInt(std::string_view text, int fallback = 0) {
  return WholeNumber(text).value_or(fallback);
}

}  // namespace hw
