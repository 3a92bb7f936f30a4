// Feeds arbitrary text to the money functions. The input is split at newlines into up to
// three operands; any malformed operand must count as zero and nothing may crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

#include "rules/money.h"

namespace {

void Check(bool ok, const char* what, std::initializer_list<std::string_view> operands) {
  if (ok) return;
  std::fprintf(stderr, "%s failed\n", what);
  for (const std::string_view operand : operands) {
    std::fprintf(stderr, "operand \"%.*s\"\n", static_cast<int>(operand.size()), operand.data());
  }
  std::abort();
}

std::string Canonical(std::string_view text) {
  return hw::FormatBig(hw::ParseBig(text));
}

bool IsCanonical(const std::string& result) {
  return hw::IsValidNumber(result) && Canonical(result) == result && result.front() != '+' &&
         result.front() != ' ';
}

std::string_view NextOperand(std::string_view& rest) {
  const std::size_t newline = rest.find('\n');
  const std::string_view operand = rest.substr(0, newline);
  rest = newline == std::string_view::npos ? std::string_view{} : rest.substr(newline + 1);
  return operand;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view a = NextOperand(rest);
  const std::string_view b = NextOperand(rest);
  const std::string_view c = NextOperand(rest);

  const std::string sum = hw::BigAdd(a, b);
  const std::string difference = hw::BigSubtract(a, b);
  const std::string product = hw::BigMultiply(a, b);
  Check(IsCanonical(sum) && IsCanonical(difference) && IsCanonical(product), "canonical",
        {a, b, c});

  // A malformed operand counts as zero, so these hold for every input.
  Check(hw::BigSubtract(sum, b) == Canonical(a), "a + b - b == a", {a, b, c});
  Check(hw::BigAdd(difference, b) == Canonical(a), "a - b + b == a", {a, b, c});
  Check(hw::BigMultiply(b, a) == product, "a * b == b * a", {a, b, c});
  Check(hw::BigCompare(a, b) == -hw::BigCompare(b, a), "compare is antisymmetric", {a, b, c});
  Check(hw::BigCompare(difference, "0") == hw::BigCompare(a, b), "sign of a - b", {a, b, c});
  Check(hw::BigAdd(hw::BigMultiply(a, b), hw::BigMultiply(a, c)) ==
            hw::BigMultiply(a, hw::BigAdd(b, c)),
        "a * b + a * c == a * (b + c)", {a, b, c});
  if (!hw::IsValidNumber(a)) Check(sum == Canonical(b), "invalid a counts as zero", {a, b, c});

  const std::string shown = hw::FormatMoney(a);
  Check(shown.ends_with("원"), "money text ends in 원", {a, b, c});
  const std::string canonicalShown = hw::FormatMoney(Canonical(a));
  Check(canonicalShown.starts_with('-') == (hw::BigCompare(a, "0") < 0), "money keeps the sign",
        {a, b, c});
  return 0;
}
