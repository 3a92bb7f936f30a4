// Checks the money functions against GMP on random operands of up to 4000 digits.
#include "rules/money.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

namespace hw {
namespace {

struct Operand {
  std::string text;  // with the signs, zeros and spaces the game's texts may carry
  mpz_class value;
};

Operand RandomOperand(std::mt19937_64& rng) {
  const auto pick = [&rng](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  };
  std::string digits;
  if (pick(6) == 0) {
    // 10^k or 10^k - 1: carries and borrows that run through every limb.
    digits = pick(2) ? "1" + std::string(pick(60), '0') : std::string(1 + pick(60), '9');
  } else {
    // Mostly short amounts, with a long tail up to 4000 digits.
    digits.resize(1 + pick(std::min<std::size_t>(std::size_t{1} << pick(13), 4000)));
    for (char& c : digits)
      c = static_cast<char>('0' + (pick(8) == 0 ? 0 : pick(10)));
  }
  if (pick(5) == 0) digits.insert(0, pick(12), '0');
  Operand operand{digits, mpz_class(digits, 10)};
  if (pick(3) == 0) operand.text = "+" + operand.text;
  if (pick(3) == 0) {
    operand.text = "-" + digits;
    operand.value = -operand.value;
  }
  if (pick(10) == 0) operand.text = " " + operand.text + "  ";
  return operand;
}

// What FormatMoney should show, worked out from the value's groups of four digits.
std::string ExpectedMoney(const mpz_class& value) {
  const mpz_class magnitude = abs(value);
  const auto group = [&magnitude](unsigned long index) {
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10000, index);
    return index == 4 ? mpz_class(magnitude / power) : mpz_class(magnitude / power % 10000);
  };
  std::string shown;
  const char* units[] = {"", "만", "억", "조", "경"};
  for (unsigned long index = 4; index >= 1; --index) {
    if (group(index) != 0) shown += group(index).get_str() + units[index];
  }
  if (group(0) != 0 && group(3) == 0) shown += group(0).get_str();
  return (value < 0 && !shown.empty() ? "-" : "") + shown + "원";
}

TEST(MoneyOracleTest, MatchesGmpOnRandomOperands) {
  std::mt19937_64 rng(20240611);
  for (int round = 0; round < 3000; ++round) {
    const Operand a = RandomOperand(rng), b = RandomOperand(rng);
    SCOPED_TRACE("round " + std::to_string(round) + "\na = \"" + a.text + "\"\nb = \"" + b.text +
                 "\"");
    ASSERT_EQ(BigAdd(a.text, b.text), mpz_class(a.value + b.value).get_str());
    ASSERT_EQ(BigSubtract(a.text, b.text), mpz_class(a.value - b.value).get_str());
    ASSERT_EQ(BigMultiply(a.text, b.text), mpz_class(a.value * b.value).get_str());
    ASSERT_EQ(BigCompare(a.text, b.text),
              cmp(a.value, b.value) < 0 ? -1 : cmp(a.value, b.value) > 0);
    // Shorter texts are shown as written, spaces and zeros included.
    if (a.text.size() >= (a.text.starts_with('-') ? 7u : 6u)) {
      ASSERT_EQ(FormatMoney(a.text), ExpectedMoney(a.value));
    }
  }
}

}  // namespace
}  // namespace hw
