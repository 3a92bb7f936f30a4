#pragma once
// Game names that cannot be mistaken for one another.
//
// A name is kept as typed but in Unicode's composed form (NFC), so that the same name typed
// on another keyboard, which may send Hangul syllables or accented letters decomposed, is
// the same name. Names are ranked beside each other on the home page, so a name may not
// hide characters (invisible, format or control characters, odd spaces), may not start or
// end with a space, and may not mix scripts a reader would not expect together: Latin
// letters go with Hangul and Han, as Korean names do, but not with Cyrillic or Greek, whose
// letters look like Latin ones.
//
// What is left may still look like another name: "KIM" and "kim", "aop" in Latin and in
// Cyrillic letters, "l" and "I". Each name therefore has a look key, the same for names
// that look alike. The store keeps the key of every member's name in a column with a
// unique index, so that two names with the same key can never both be held, even by two
// sign-ups at the same moment.
//
// All of it is pure and may be called from any thread at once.

#include <string>
#include <string_view>
#include <variant>

namespace hw::portal {

// Names have 1 to this many characters (code points of the composed form).
inline constexpr std::size_t kLongestMemberName = 20;

enum class NameProblem {
  kLength,  // empty, or longer than kLongestMemberName
  // Not UTF-8, or a character that does not show or shows as something else: control and
  // format characters (zero-width spaces and joiners, direction overrides, soft hyphen),
  // other default-ignorable, unassigned, private-use and surrogate code points, line and
  // paragraph separators, any whitespace but the space U+0020, blanks such as U+2800;
  // "|", which separates the fields of the game's replies; a combining mark at the start
  // (it would sit on whatever is shown before the name), the same mark twice on one letter
  // and a dot above a dotted letter.
  kForbiddenCharacter,
  kEdgeSpace,     // a space at the start or the end, or two spaces in a row
  kMixedScripts,  // scripts, or digits of number systems, not usually written together
};

struct CheckedName {
  std::string name;  // as stored: the typed name in NFC, UTF-8
  std::string look;  // LookKey(name)
};

// The typed name as stored, or why it may not be a member's name.
std::variant<CheckedName, NameProblem> CheckMemberName(std::string_view typed);

// The form a name is looked up by (NFC). Empty when `typed` is not valid UTF-8, which no
// member's name is.
std::string NormalizedName(std::string_view typed);

// The key two names share when they look alike, of any text (also of a name from before
// the checks above, which may break them). It is made of Unicode's confusable skeletons
// (UTS #39) of the name's compatibility form, of its capitals and of its case-folded form,
// so that a letter meets whatever it looks like in either case: "KIM", "Kim", "kim" and
// "kirn" share a key, as do "l", "I", "1" and "|". As a consequence i, I, l and L are one
// letter to the key, and Hangul is compared by its jamo ("철" and "처ㄹ").
std::string LookKey(std::string_view name);

}  // namespace hw::portal
