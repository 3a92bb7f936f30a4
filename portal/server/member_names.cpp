#include "portal/server/member_names.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uspoof.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace hw::portal {
namespace {

using icu::UnicodeString;

// The checks that refuse a character, and those that refuse a mix of scripts or digits.
constexpr std::int32_t kHiddenMarkChecks = USPOOF_INVISIBLE | USPOOF_HIDDEN_OVERLAY;
constexpr std::int32_t kMixChecks = USPOOF_RESTRICTION_LEVEL | USPOOF_MIXED_NUMBERS;

void ThrowIfFailed(UErrorCode status, const char* what) {
  if (U_FAILURE(status)) {
    throw std::runtime_error(std::string("ICU cannot ") + what + ": " + u_errorName(status));
  }
}

// Configured once and only read afterwards: ICU's checks and skeletons take a const
// checker and may run on many threads at once.
const USpoofChecker* SpoofChecker() {
  static const USpoofChecker* const checker = [] {
    UErrorCode status = U_ZERO_ERROR;
    USpoofChecker* made = uspoof_open(&status);
    ThrowIfFailed(status, "open a spoof checker");
    // Highly restrictive: one script, or Latin with Han and Hangul (or with Han and kana,
    // or Han and Bopomofo); characters common to all scripts (digits, signs) go anywhere.
    uspoof_setRestrictionLevel(made, USPOOF_HIGHLY_RESTRICTIVE);
    uspoof_setChecks(made, kHiddenMarkChecks | kMixChecks, &status);
    ThrowIfFailed(status, "set the spoof checks");
    return made;
  }();
  return checker;
}

// Nothing when `text` is not well-formed UTF-8 (surrogates and overlong forms included).
std::optional<UnicodeString> FromUtf8(std::string_view text) {
  const auto length = static_cast<std::int32_t>(text.size());
  if (static_cast<std::size_t>(length) != text.size()) return std::nullopt;
  for (std::int32_t i = 0; i < length;) {
    UChar32 point = 0;
    U8_NEXT(text.data(), i, length, point);
    if (point < 0) return std::nullopt;
  }
  return UnicodeString::fromUTF8(icu::StringPiece(text.data(), length));
}

std::string ToUtf8(const UnicodeString& text) {
  std::string utf8;
  text.toUTF8String(utf8);
  return utf8;
}

// Characters that print as nothing or as something they are not.
bool IsForbidden(UChar32 point) {
  if (point == '|') return true;
  switch (u_charType(point)) {
    case U_CONTROL_CHAR:
    case U_FORMAT_CHAR:
    case U_UNASSIGNED:  // noncharacters too
    case U_PRIVATE_USE_CHAR:
    case U_SURROGATE:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
      return true;
    case U_SPACE_SEPARATOR:
      return point != ' ';
    default:
      break;
  }
  if (u_hasBinaryProperty(point, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) return true;
  if (point != ' ' && u_hasBinaryProperty(point, UCHAR_WHITE_SPACE)) return true;
  return point == 0x2800;  // the blank Braille pattern, a symbol that shows as a space
}

bool IsCombiningMark(UChar32 point) {
  const std::int8_t type = u_charType(point);
  return type == U_NON_SPACING_MARK || type == U_COMBINING_SPACING_MARK || type == U_ENCLOSING_MARK;
}

std::optional<NameProblem> CharacterProblem(const UnicodeString& name) {
  std::size_t count = 0;
  for (std::int32_t i = 0; i < name.length(); i = name.moveIndex32(i, 1)) {
    const UChar32 point = name.char32At(i);
    if (IsForbidden(point) || (i == 0 && IsCombiningMark(point))) {
      return NameProblem::kForbiddenCharacter;
    }
    ++count;
  }
  if (count == 0 || count > kLongestMemberName) return NameProblem::kLength;
  return std::nullopt;
}

// Of a name of one character or more.
bool HasEdgeSpace(const UnicodeString& name) {
  return name.charAt(0) == u' ' || name.charAt(name.length() - 1) == u' ' ||
         name.indexOf(UnicodeString(u"  ")) >= 0;
}

std::optional<NameProblem> SpoofProblem(const UnicodeString& name) {
  UErrorCode status = U_ZERO_ERROR;
  const std::int32_t failed = uspoof_check2UnicodeString(SpoofChecker(), name, nullptr, &status);
  ThrowIfFailed(status, "check a name");
  if ((failed & kHiddenMarkChecks) != 0) return NameProblem::kForbiddenCharacter;
  if ((failed & kMixChecks) != 0) return NameProblem::kMixedScripts;
  return std::nullopt;
}

UnicodeString Skeleton(const UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  UnicodeString skeleton;
  uspoof_getSkeletonUnicodeString(SpoofChecker(), 0, text, skeleton, &status);
  ThrowIfFailed(status, "take a skeleton");
  return skeleton;
}

UnicodeString Normalized(const icu::Normalizer2* (*instance)(UErrorCode&),
                         const UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* normalizer = instance(status);
  ThrowIfFailed(status, "load a normalisation");
  UnicodeString normalized = normalizer->normalize(text, status);
  ThrowIfFailed(status, "normalise a name");
  return normalized;
}

UnicodeString Composed(const UnicodeString& text) {
  return Normalized(&icu::Normalizer2::getNFCInstance, text);
}

UnicodeString LookOf(const UnicodeString& name) {
  // Full-width letters and digits, ligatures and the like as their plain forms.
  UnicodeString look = Skeleton(Normalized(&icu::Normalizer2::getNFKCInstance, name));
  // A small letter meets what its capital looks like: "i" and "I", and so "l".
  look.toUpper(icu::Locale::getRoot());
  look = Skeleton(look);
  // A capital meets what its small letter looks like: "M", "m" and "rn".
  return Skeleton(Normalized(&icu::Normalizer2::getNFKCCasefoldInstance, look));
}

}  // namespace

std::variant<CheckedName, NameProblem> CheckMemberName(std::string_view typed) {
  const std::optional<UnicodeString> decoded = FromUtf8(typed);
  if (!decoded) return NameProblem::kForbiddenCharacter;
  const UnicodeString name = Composed(*decoded);
  if (const auto problem = CharacterProblem(name)) return *problem;
  if (HasEdgeSpace(name)) return NameProblem::kEdgeSpace;
  if (const auto problem = SpoofProblem(name)) return *problem;
  return CheckedName{ToUtf8(name), ToUtf8(LookOf(name))};
}

std::string NormalizedName(std::string_view typed) {
  const std::optional<UnicodeString> decoded = FromUtf8(typed);
  return decoded ? ToUtf8(Composed(*decoded)) : std::string();
}

std::string LookKey(std::string_view name) {
  // Ill-formed bytes, which no member's name has, each stand as U+FFFD.
  return ToUtf8(LookOf(Composed(UnicodeString::fromUTF8(
      icu::StringPiece(name.data(), static_cast<std::int32_t>(name.size()))))));
}

}  // namespace hw::portal
