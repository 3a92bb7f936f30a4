#include "rules/money.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace hw {
namespace {

using ::testing::ElementsAre;

TEST(MoneyTest, ValidNumbersAreOneSignAndDigitsWithSpacesAround) {
  for (const char* text : {"0", "+12", "-007", "  42 "})
    EXPECT_TRUE(IsValidNumber(text)) << text;
  for (const char* text : {"", " ", "-", "1.5", "1e5", "1,000", "12 34", "&H10", "0x10", "+-1"}) {
    EXPECT_FALSE(IsValidNumber(text)) << text;
  }
}

TEST(MoneyTest, BuildingBlocks) {
  EXPECT_THAT(ParseBig("123456789").limbs, ElementsAre(6789, 2345, 1));
  EXPECT_THAT(ParseBig("-00012340000").limbs, ElementsAre(0, 1234));
  for (const char* zero : {"-0", "-00000000", "1.5", ""}) {
    EXPECT_EQ(ParseBig(zero).sign, 0) << zero;
    EXPECT_THAT(ParseBig(zero).limbs, ElementsAre(0)) << zero;
  }
  EXPECT_EQ(FormatBig(BigNumber{-1, {99, 0, 12}}), "-1200000099");
  const BigNumber small = ParseBig("1"), large = ParseBig("-100000000");
  EXPECT_EQ(FormatBig(SubtractMagnitude(small, large)), "99999999");
  EXPECT_EQ(FormatBig(SubtractMagnitude(large, small)), "99999999");
  EXPECT_EQ(CompareMagnitude(small, large), -1);
}

TEST(MoneyTest, ArithmeticCarriesBorrowsAndSigns) {
  EXPECT_EQ(BigAdd("9999", "1"), "10000");
  EXPECT_EQ(BigAdd("+12", "3"), "15");
  EXPECT_EQ(BigAdd("1.5", "1"), "1");
  EXPECT_EQ(BigAdd(" 42 ", "0"), "42");
  EXPECT_EQ(BigAdd("-0", "-0"), "0");
  EXPECT_EQ(BigAdd("-7", "7"), "0");
  EXPECT_EQ(BigSubtract("10000", "1"), "9999");
  EXPECT_EQ(BigSubtract("5", "8"), "-3");
  EXPECT_EQ(BigSubtract("-5", "-8"), "3");
  EXPECT_EQ(BigSubtract("-5", "8"), "-13");
  EXPECT_EQ(BigMultiply("0", "-7"), "0");
  EXPECT_EQ(BigMultiply("-0", "5"), "0");
  EXPECT_EQ(BigMultiply("1", "123456789012"), "123456789012");
  EXPECT_EQ(BigMultiply("-1", "-10000"), "10000");
  EXPECT_EQ(BigMultiply("99999999", "-99999999"), "-9999999800000001");
  EXPECT_EQ(BigCompare("-2", "-10"), 1);
  EXPECT_EQ(BigCompare("+0007", " 7"), 0);
  EXPECT_EQ(BigCompare("abc", "-1"), 1);
}

TEST(MoneyTest, ATextWithAnythingButDigitsCountsAsZeroWhereverItIs) {
  // Long texts are read eight characters at a time, the rest as the last eight with
  // those already read left out: a stray character is caught in every position of a
  // group and of the rest, including those next to '0' and '9', whatever the length.
  for (const std::string money : {"12345", "12345678", "1234567890123", "123456789012345",
                                  "1234567890123456", "123456789012345678"}) {
    for (std::size_t at = 0; at < money.size(); ++at) {
      for (const char stray : {'/', ':', ' ', 'a', '\x80', '\xff', '\0'}) {
        std::string text = money;
        text[at] = stray;
        // A space at either end is only trimmed.
        std::string expected = "0";
        if (stray == ' ' && at == 0) expected = money.substr(1);
        if (stray == ' ' && at + 1 == money.size()) expected = money.substr(0, at);
        EXPECT_EQ(BigAdd(text, "0"), expected)
            << money << ", position " << at << ", byte " << int{stray};
        EXPECT_EQ(BigCompare(text, "0"), expected == "0" ? 0 : 1) << money << ", position " << at;
      }
    }
  }
  EXPECT_EQ(BigAdd("99999999", "1"), "100000000");
  EXPECT_EQ(BigSubtract("-123456789012345678", "1"), "-123456789012345679");
  EXPECT_EQ(BigAdd(" +000000001000000000000 ", "0"), "1000000000000");
}

TEST(MoneyTest, ResultsThatFitAMachineNumberAreWrittenAsToStringWould) {
  std::vector<std::int64_t> values = {0,
                                      1,
                                      -1,
                                      9,
                                      10,
                                      -99,
                                      100,
                                      99'999'999,
                                      100'000'000,
                                      -100'000'000,
                                      9'999'999'999'999'999,
                                      10'000'000'000'000'000,
                                      999'999'999'999'999'999,
                                      -999'999'999'999'999'999};
  std::mt19937_64 chance(5);
  for (int i = 0; i < 20'000; ++i) {
    std::int64_t magnitude = 1;
    for (int digits = static_cast<int>(chance() % 18); digits > 0; --digits)
      magnitude *= 10;
    const auto value = static_cast<std::int64_t>(chance() % static_cast<std::uint64_t>(magnitude));
    values.push_back(chance() % 2 == 0 ? value : -value);
  }
  for (const std::int64_t value : values)
    EXPECT_EQ(BigAdd(std::to_string(value), "0"), std::to_string(value));
  // Sums and products up to both ends of a machine number.
  EXPECT_EQ(BigAdd("999999999999999999", "999999999999999999"), "1999999999999999998");
  EXPECT_EQ(BigMultiply("-4294967296", "2147483648"), "-9223372036854775808");
  EXPECT_EQ(BigMultiply("3037000499", "3037000499"), "9223372030926249001");
}

TEST(MoneyTest, AddOneCountsOnInPlaceAsBigAddWould) {
  for (const std::string count :
       {"0", "1", "8", "9", "129", "1999", "99999999999999999999", "", "abc", "-1", "-5", "007",
        "0009", " 12 ", "+3", "1.5", "18446744073709551615"}) {
    std::string counted = count;
    AddOne(counted);
    EXPECT_EQ(counted, BigAdd(count, "1")) << count;
  }
}

TEST(MoneyTest, FormatMoneyUsesKoreanUnits) {
  const std::pair<const char*, const char*> kShown[] = {
      {"99999", "99999원"},
      {"-99999", "-99999원"},
      {"100000", "10만원"},
      {"+100000", "10만원"},
      {"-100000", "-10만원"},
      {"-1234567", "-123만4567원"},
      {"300000000", "3억원"},
      {"-100000000", "-1억원"},
      {"1000000005000", "1조원"},
      {"-1234567890123456", "-1234조5678억9012만원"},
      {"12345678901234567", "1경2345조6789억123만원"},
      {"10000000000000005", "1경5원"},
      {"123456780000000000000", "12345경6780조원"},
      {"000000100000", "10만원"},
      {"+12345", "1만2345원"},
      {"0000000", "원"},
      {"1.5e10", "1.5e10원"},
  };
  for (const auto& [amount, shown] : kShown)
    EXPECT_EQ(FormatMoney(amount), shown) << amount;
}

}  // namespace
}  // namespace hw
