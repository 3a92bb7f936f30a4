#pragma once
// Form bodies as the portal reads them: name=value pairs joined by "&", every value
// percent-encoded (as UTF-8 bytes), so that a name or password holding "&", "=", "+",
// "%" or spaces arrives as typed.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hw::portal {

// Everything but the letters, digits and "-._~" of ASCII becomes %XX: the form's value,
// or a name in an address.
std::string FormEncode(std::string_view value);
std::string FormBody(const std::vector<std::pair<std::string_view, std::string_view>>& fields);

// The extra header text every post carries.
inline constexpr const char* kFormHeader = "content-type: application/x-www-form-urlencoded\r\n";
// The fixed access code every post carries.
inline constexpr const char* kAccessCode = "quenrithzmvokrtyplaxe";

// Splits a reply at "|" (an empty reply gives one empty field).
std::vector<std::string> SplitReply(std::string_view reply);
// Message lines joined by CR LF, as the message boxes take them.
std::string JoinLines(std::initializer_list<std::string_view> lines);

// A whole number as the portal writes it: digits, an optional leading sign.
bool IsNumeric(std::string_view text);

// A login's reply, split: name|voice|avatar|spare|money|wins|losses|draws|missions|session,
// the avatar, the spare number, the money and the counts numbers.
bool IsLoginReply(const std::vector<std::string>& fields);
// A deal's reply, split: OK|hand number|deck|mission|1 when the member plays first, else
// 0|his money|the commitment of the portal's seed, the deck one of `serviceCards` service
// cards.
bool IsDealReply(const std::vector<std::string>& fields, int serviceCards);

}  // namespace hw::portal
