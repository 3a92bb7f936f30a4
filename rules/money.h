#pragma once
// Money as decimal text: balances, winnings and the win/loss counters never fit a
// machine number for long, so they are kept and computed as text of any length.
//
// The text functions take any text and never fail: a text that is not a number
// counts as zero, and every result is canonical ("-3", "0", "10000": no "+", no
// leading zeros, never "-0").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

std::string BigAdd(std::string_view a, std::string_view b);
std::string BigSubtract(std::string_view a, std::string_view b);
std::string BigMultiply(std::string_view a, std::string_view b);
// -1, 0 or 1 as a is smaller than, equal to or larger than b.
int BigCompare(std::string_view a, std::string_view b);
// count = BigAdd(count, "1"), done in place when the count is already canonical and not
// negative ("129" becomes "130").
void AddOne(std::string& count);

// An optional "+" or "-" and then one or more ASCII digits; spaces around are allowed.
bool IsValidNumber(std::string_view text);

// The amount as the game shows it, with the units 만, 억, 조 and 경 and a final "원":
// "1234567" is "123만4567원". A text shorter than six characters (seven when it starts
// with "-") stays as written ("99999원"), and so does one that is not a number.
// When a 조 part is shown, the last four digits are left out ("1000000005000" is "1조원").
std::string FormatMoney(std::string_view text);

// The building blocks of the text functions: a whole number of any size as a sign and
// base-10000 limbs. A canonical number has no leading zero limbs (but at least one
// limb), and zero always has sign 0; ParseBig and every operation below give canonical
// numbers and expect canonical ones.
struct BigNumber {
  int sign = 0;                        // 0 for zero or positive, -1 negative
  std::vector<std::int32_t> limbs{0};  // each 0..9999, least significant first
};

// A text that is not a valid number gives zero.
BigNumber ParseBig(std::string_view text);
std::string FormatBig(const BigNumber& number);

// The magnitude functions ignore the signs; their results are never negative.
int CompareMagnitude(const BigNumber& a, const BigNumber& b);
BigNumber AddMagnitude(const BigNumber& a, const BigNumber& b);
// The larger magnitude minus the smaller, whichever of the two that is.
BigNumber SubtractMagnitude(const BigNumber& a, const BigNumber& b);
BigNumber MultiplyMagnitude(const BigNumber& a, const BigNumber& b);

}  // namespace hw
