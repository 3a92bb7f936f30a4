#include "rules/money.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "rules/numbers.h"

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

constexpr std::int64_t kPowersOfTen[] = {1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000};

// The eight characters at `text` read as a decimal number, of which the first `skipped`
// count as '0' (they were read before); false when one of the others is not a digit. On
// a little-endian machine all eight are checked and combined at once, the first
// character being the word's lowest byte.
bool EightDigits(const char* text, std::int64_t& number, int skipped = 0) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kHigh = 0xF0F0'F0F0'F0F0'F0F0;
    constexpr std::uint64_t kThrees = 0x3030'3030'3030'3030;
    std::uint64_t word;
    std::memcpy(&word, text, 8);
    const std::uint64_t read = ~std::uint64_t{0} << (8 * skipped);  // skipped < 8
    word = (word & read) | (kThrees & ~read);
    // A byte is a digit when its high half is 3 and adding 6 to it leaves that so.
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
    for (int i = skipped; i < 8; ++i) {
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
  if (text.size() > 18) return false;
  std::int64_t number = 0;
  const char* const begin = text.data();
  const auto size = static_cast<int>(text.size());
  bool valid = true;
  if (size >= 8) {
    // Eight digits at a time (a player's money has ten or more); the last one to seven
    // are the text's last eight characters, less those already read.
    std::int64_t eight = 0;  // kept as it was by a group that is not all digits
    int at = 0;
    for (; size - at >= 8; at += 8) {
      valid = EightDigits(begin + at, eight) && valid;
      number = number * 100'000'000 + eight;
    }
    if (const int rest = size - at; rest > 0) {
      valid = EightDigits(begin + size - 8, eight, 8 - rest) && valid;
      number = number * kPowersOfTen[rest] + eight;
    }
  } else {  // an empty text is not a number: zero
    for (const char c : text) {
      const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
      valid = valid && digit <= 9;
      number = number * 10 + digit;
    }
  }
  value = !valid ? 0 : negative ? -number : number;
  return true;
}

// The eight decimal digits of n (below 100,000,000, leading zeros included) as the eight
// bytes of a word in memory order, on a little-endian machine: the two halves of four
// digits, each split into pairs and the pairs into digits, all lanes at once.
std::uint64_t EightDigitText(std::uint32_t n) {
  std::uint64_t x = n / 10'000 | static_cast<std::uint64_t>(n % 10'000) << 32;
  const std::uint64_t hundreds = (x * 5243 >> 19) & 0x0000'007F'0000'007F;  // x / 100 below 10^4
  x = hundreds | (x - hundreds * 100) << 16;
  const std::uint64_t tens = (x * 103 >> 10) & 0x000F'000F'000F'000F;  // x / 10 below 100
  x = tens | (x - tens * 10) << 8;
  return x + 0x3030'3030'3030'3030;
}

// A machine number as canonical text, as std::to_string writes it.
std::string FormatSmall(std::int64_t value) {
  if constexpr (std::endian::native != std::endian::little) {
    return std::to_string(value);
  } else {
    const bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    // Groups of eight digits from the last, as many as the number needs (at most three,
    // the first below 1000); then the zeros before the first digit that is not one are
    // skipped, and a minus sign takes the place of the last one skipped.
    constexpr std::uint64_t kHundredMillion = 100'000'000;
    char text[24];
    int at = sizeof text;
    std::uint64_t first;
    do {
      at -= 8;
      first = EightDigitText(static_cast<std::uint32_t>(magnitude % kHundredMillion));
      std::memcpy(text + at, &first, 8);
      magnitude /= kHundredMillion;
    } while (magnitude != 0);
    constexpr std::uint64_t kZeros = 0x3030'3030'3030'3030;
    at = first == kZeros ? at + 7 : at + std::countr_zero(first ^ kZeros) / 8;  // zero: "0"
    if (negative) text[--at] = '-';  // at most 19 digits: at least 5 were skipped
    return std::string(text + at, sizeof text - at);
  }
}

}  // namespace

bool IsValidNumber(std::string_view text) {
  text = TrimSpaces(text);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return IsDigits(text);
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
    return FormatSmall(sum);
  }
  return FormatBig(Add(ParseBig(a), ParseBig(b)));
}

std::string BigSubtract(std::string_view a, std::string_view b) {
  std::int64_t x, y, difference;
  if (Small(a, x) && Small(b, y) && !__builtin_sub_overflow(x, y, &difference)) {
    return FormatSmall(difference);
  }
  return FormatBig(Add(ParseBig(a), Negated(ParseBig(b))));
}

std::string BigMultiply(std::string_view a, std::string_view b) {
  std::int64_t small, other, smallProduct;
  if (Small(a, small) && Small(b, other) && !__builtin_mul_overflow(small, other, &smallProduct)) {
    return FormatSmall(smallProduct);
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

void AddOne(std::string& count) {
  const bool canonical = IsDigits(count) && (count.size() == 1 || count.front() != '0');
  if (!canonical) {
    count = BigAdd(count, "1");
    return;
  }
  // As on paper: trailing nines become zeros and carry one into the digit before them.
  std::size_t at = count.size();
  while (at > 0 && count[at - 1] == '9')
    count[--at] = '0';
  if (at == 0) {
    count.insert(count.begin(), '1');
  } else {
    ++count[at - 1];
  }
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
