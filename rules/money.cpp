#include "rules/money.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

namespace hw {
namespace {

constexpr std::int32_t kBase = 10000;

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

bool IsZero(const BigNumber& n) {
  return n.limbs.size() <= 1 && (n.limbs.empty() || n.limbs[0] == 0);
}

void Canonicalize(BigNumber& n) {
  while (n.limbs.size() > 1 && n.limbs.back() == 0)
    n.limbs.pop_back();
  if (n.limbs.empty()) n.limbs.push_back(0);
  if (IsZero(n)) n.sign = 0;
}

BigNumber Negated(BigNumber n) {
  n.sign = IsZero(n) || n.sign < 0 ? 0 : -1;
  return n;
}

// x - y from the magnitudes alone.
BigNumber SignedDifference(const BigNumber& x, const BigNumber& y) {
  const int order = CompareMagnitude(x, y);
  if (order == 0) return BigNumber{};
  BigNumber difference = SubtractMagnitude(x, y);
  return order < 0 ? Negated(difference) : difference;
}

BigNumber Add(const BigNumber& a, const BigNumber& b) {
  const bool aNegative = a.sign < 0;
  if (aNegative == (b.sign < 0)) {
    BigNumber sum = AddMagnitude(a, b);
    return aNegative ? Negated(sum) : sum;
  }
  return aNegative ? SignedDifference(b, a) : SignedDifference(a, b);
}

// The digits of text without its leading zeros; empty when they are all zeros.
std::string_view WithoutLeadingZeros(std::string_view digits) {
  return digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
}

// The eight characters at `text` read as a decimal number; false when one is not a
// digit. On a little-endian machine all eight are checked and combined at once, the
// first character being the word's lowest byte.
bool EightDigits(const char* text, std::int64_t& number) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t word;
    std::memcpy(&word, text, 8);
    // A byte is a digit when its high half is 3 and adding 6 to it leaves that so.
    constexpr std::uint64_t kHigh = 0xF0F0'F0F0'F0F0'F0F0;
    constexpr std::uint64_t kThrees = 0x3030'3030'3030'3030;
    if ((word & kHigh) != kThrees || ((word + 0x0606'0606'0606'0606) & kHigh) != kThrees) {
      return false;
    }
    word -= kThrees;
    word = word * 10 + (word >> 8);  // pairs of digits in every other byte
    word = ((word & 0x0000'00FF'0000'00FF) * (100 + (1'000'000ULL << 32)) +
            ((word >> 16) & 0x0000'00FF'0000'00FF) * (1 + (10'000ULL << 32))) >>
           32;
    number = static_cast<std::int64_t>(word & 0xFFFF'FFFF);
    return true;
  } else {
    number = 0;
    for (int i = 0; i < 8; ++i) {
      const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
      if (digit > 9) return false;
      number = number * 10 + digit;
    }
    return true;
  }
}

// Most amounts in play fit a machine number: a valid text of at most 18 digits is read
// straight into one (an invalid text counts as zero, as everywhere). The callers fall back
// to the limbs for anything longer, or when the result would not fit.
bool Small(std::string_view text, std::int64_t& value) {
  text = TrimSpaces(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) {  // not a number: zero
    value = 0;
    return true;
  }
  if (text.size() > 18) return false;
  std::int64_t number = 0;
  const char* c = text.data();
  const char* const end = c + text.size();
  // Eight digits at a time while eight are left (a player's money has ten or more).
  for (std::int64_t eight; end - c >= 8; c += 8) {
    if (!EightDigits(c, eight)) {
      value = 0;
      return true;
    }
    number = number * 100'000'000 + eight;
  }
  for (; c != end; ++c) {
    const unsigned digit = static_cast<unsigned char>(*c) - unsigned{'0'};
    if (digit > 9) {
      value = 0;
      return true;
    }
    number = number * 10 + digit;
  }
  value = negative ? -number : number;
  return true;
}

}  // namespace

bool IsValidNumber(std::string_view text) {
  text = TrimSpaces(text);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

BigNumber ParseBig(std::string_view text) {
  BigNumber n;
  if (!IsValidNumber(text)) return n;
  text = TrimSpaces(text);
  if (text.front() == '-') n.sign = -1;
  if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);
  n.limbs.clear();
  for (std::size_t end = text.size(); end > 0;) {
    const std::size_t start = end > 4 ? end - 4 : 0;
    std::int32_t limb = 0;
    for (std::size_t i = start; i < end; ++i)
      limb = limb * 10 + (text[i] - '0');
    n.limbs.push_back(limb);
    end = start;
  }
  Canonicalize(n);
  return n;
}

std::string FormatBig(const BigNumber& number) {
  if (IsZero(number)) return "0";
  std::string text = number.sign < 0 ? "-" : "";
  text += std::to_string(number.limbs.back());
  for (auto limb = number.limbs.rbegin() + 1; limb != number.limbs.rend(); ++limb) {
    for (std::int32_t unit = 1000; unit > 0; unit /= 10) {
      text += static_cast<char>('0' + *limb / unit % 10);
    }
  }
  return text;
}

int CompareMagnitude(const BigNumber& a, const BigNumber& b) {
  if (a.limbs.size() != b.limbs.size()) return a.limbs.size() < b.limbs.size() ? -1 : 1;
  for (std::size_t i = a.limbs.size(); i-- > 0;) {
    if (a.limbs[i] != b.limbs[i]) return a.limbs[i] < b.limbs[i] ? -1 : 1;
  }
  return 0;
}

BigNumber AddMagnitude(const BigNumber& a, const BigNumber& b) {
  BigNumber sum;
  sum.limbs.assign(std::max(a.limbs.size(), b.limbs.size()) + 1, 0);
  std::int32_t carry = 0;
  for (std::size_t i = 0; i < sum.limbs.size(); ++i) {
    std::int32_t digit = carry;
    if (i < a.limbs.size()) digit += a.limbs[i];
    if (i < b.limbs.size()) digit += b.limbs[i];
    carry = digit >= kBase ? 1 : 0;
    sum.limbs[i] = digit - carry * kBase;
  }
  Canonicalize(sum);
  return sum;
}

BigNumber SubtractMagnitude(const BigNumber& a, const BigNumber& b) {
  const bool swapped = CompareMagnitude(a, b) < 0;
  const BigNumber& larger = swapped ? b : a;
  const BigNumber& smaller = swapped ? a : b;
  BigNumber difference;
  difference.limbs = larger.limbs;
  std::int32_t borrow = 0;
  for (std::size_t i = 0; i < difference.limbs.size(); ++i) {
    std::int32_t digit = difference.limbs[i] - borrow;
    if (i < smaller.limbs.size()) digit -= smaller.limbs[i];
    borrow = digit < 0 ? 1 : 0;
    difference.limbs[i] = digit + borrow * kBase;
  }
  Canonicalize(difference);
  return difference;
}

BigNumber MultiplyMagnitude(const BigNumber& a, const BigNumber& b) {
  const BigNumber one{0, {1}};
  if (IsZero(a) || IsZero(b)) return BigNumber{};
  if (CompareMagnitude(a, one) == 0) return BigNumber{0, b.limbs};
  if (CompareMagnitude(b, one) == 0) return BigNumber{0, a.limbs};
  BigNumber product;
  product.limbs.assign(a.limbs.size() + b.limbs.size(), 0);
  for (std::size_t i = 0; i < a.limbs.size(); ++i) {
    // Carrying at every step keeps each partial value below 10000 * 10000, well within
    // 32 bits.
    std::int32_t carry = 0;
    for (std::size_t j = 0; j < b.limbs.size(); ++j) {
      const std::int32_t value = product.limbs[i + j] + a.limbs[i] * b.limbs[j] + carry;
      product.limbs[i + j] = value % kBase;
      carry = value / kBase;
    }
    product.limbs[i + b.limbs.size()] = carry;
  }
  Canonicalize(product);
  return product;
}

std::string BigAdd(std::string_view a, std::string_view b) {
  std::int64_t x, y, sum;
  if (Small(a, x) && Small(b, y) && !__builtin_add_overflow(x, y, &sum)) {
    return std::to_string(sum);
  }
  return FormatBig(Add(ParseBig(a), ParseBig(b)));
}

std::string BigSubtract(std::string_view a, std::string_view b) {
  std::int64_t x, y, difference;
  if (Small(a, x) && Small(b, y) && !__builtin_sub_overflow(x, y, &difference)) {
    return std::to_string(difference);
  }
  return FormatBig(Add(ParseBig(a), Negated(ParseBig(b))));
}

std::string BigMultiply(std::string_view a, std::string_view b) {
  std::int64_t small, other, smallProduct;
  if (Small(a, small) && Small(b, other) && !__builtin_mul_overflow(small, other, &smallProduct)) {
    return std::to_string(smallProduct);
  }
  const BigNumber x = ParseBig(a);
  const BigNumber y = ParseBig(b);
  BigNumber product = MultiplyMagnitude(x, y);
  return FormatBig((x.sign < 0) != (y.sign < 0) ? Negated(product) : product);
}

int BigCompare(std::string_view a, std::string_view b) {
  std::int64_t small, other;
  if (Small(a, small) && Small(b, other)) return small < other ? -1 : small > other ? 1 : 0;
  const BigNumber x = ParseBig(a);
  const BigNumber y = ParseBig(b);
  if (x.sign != y.sign) return x.sign < y.sign ? -1 : 1;
  const int magnitude = CompareMagnitude(x, y);
  return x.sign < 0 ? -magnitude : magnitude;
}

std::string FormatMoney(std::string_view text) {
  const std::size_t threshold = text.starts_with('-') ? 7 : 6;
  if (text.size() < threshold || !IsValidNumber(text)) return std::string(text) + "원";

  std::string_view digits = TrimSpaces(text);
  const bool negative = digits.front() == '-';
  if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);

  // Group 0 is the last four digits, group 4 (경) everything left of the first sixteen.
  const auto group = [digits](std::size_t index) -> std::string_view {
    if (digits.size() <= 4 * index) return {};
    const std::size_t end = digits.size() - 4 * index;
    const std::size_t start = index == 4 || end < 4 ? 0 : end - 4;
    return WithoutLeadingZeros(digits.substr(start, end - start));
  };
  static constexpr std::string_view kUnits[] = {"", "만", "억", "조", "경"};
  std::string result;
  for (std::size_t index = 4; index >= 1; --index) {
    const std::string_view part = group(index);
    if (part.empty()) continue;
    result += part;
    result += kUnits[index];
  }
  if (!group(0).empty() && result.find("조") == std::string::npos) result += group(0);
  if (negative && !result.empty()) result.insert(result.begin(), '-');
  return result + "원";
}

}  // namespace hw
