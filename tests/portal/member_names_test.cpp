// Game names that cannot be confused: the checks and look keys of member_names.h.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "portal/server/member_names.h"

namespace hw::portal {
namespace {

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i)
    repeated += text;
  return repeated;
}

// The name as stored, or "refused".
std::string Stored(std::string_view typed) {
  const auto checked = CheckMemberName(typed);
  const auto* name = std::get_if<CheckedName>(&checked);
  return name != nullptr ? name->name : "refused";
}

// Why the name is refused; nothing when it is accepted.
std::optional<NameProblem> Problem(std::string_view typed) {
  const auto checked = CheckMemberName(typed);
  if (const auto* problem = std::get_if<NameProblem>(&checked)) return *problem;
  return std::nullopt;
}

std::string Look(std::string_view typed) {
  const auto checked = CheckMemberName(typed);
  const auto* name = std::get_if<CheckedName>(&checked);
  return name != nullptr ? name->look : "refused: " + std::string(typed);
}

// "한글" typed as conjoining jamo, as some keyboards and systems send it.
constexpr const char* kHangulDecomposed = "\u1112\u1161\u11AB\u1100\u1173\u11AF";

TEST(MemberNames, NamesAreStoredComposedAndCountedByTheirComposedCharacters) {
  EXPECT_EQ(Stored(kHangulDecomposed), "한글");
  EXPECT_EQ(Stored("cafe\u0301"), "caf\u00E9");
  EXPECT_EQ(NormalizedName(kHangulDecomposed), "한글");
  EXPECT_EQ(NormalizedName("한글"), "한글");
  // The two forms are one name, with one look.
  EXPECT_EQ(Look(kHangulDecomposed), Look("한글"));

  // Twenty syllables are sixty jamo when decomposed, and still twenty characters.
  EXPECT_EQ(Stored(Repeat("\u1112\u1161\u11AB", 20)), Repeat("한", 20));
  EXPECT_EQ(Problem(Repeat("\u1112\u1161\u11AB", 21)), NameProblem::kLength);
  EXPECT_FALSE(Problem(Repeat("가", 20)));
  EXPECT_EQ(Problem(Repeat("가", 21)), NameProblem::kLength);
  EXPECT_FALSE(Problem(Repeat("e\u0301", 20))) << "an accented letter is one character";
  EXPECT_FALSE(Problem(Repeat("a", 20)));
  EXPECT_EQ(Problem(Repeat("a", 21)), NameProblem::kLength);
  EXPECT_EQ(Problem(""), NameProblem::kLength);
}

TEST(MemberNames, CharactersThatHideOrPretendAreRefused) {
  ASSERT_FALSE(Problem("kimlee"));
  for (const char* inside : {
           "\u200B",  // zero-width space
           "\u200D",  // zero-width joiner
           "\u202E",  // right-to-left override
           "\u200F",  // right-to-left mark
           "\u00AD",  // soft hyphen
           "\u2060",  // word joiner
           "\uFEFF",  // byte order mark
           "\u00A0",  // no-break space
           "\u3000",  // ideographic space
           "\u2003",  // em space
           "\t",
           "\n",
           "\r",
           "\u0085",        // next line
           "\u2028",        // line separator
           "\u3164",        // Hangul filler
           "\u2800",        // blank Braille pattern
           "|",             // separates the fields of the game's replies
           "\uE000",        // private use
           "\U000F0000",    // private use, supplementary
           "\u0378",        // unassigned
           "\uFFFF",        // noncharacter
           "\xED\xA0\x80",  // a surrogate in UTF-8
           "\xC0\xAF",      // an overlong "/"
           "\xC3",          // a sequence cut short
           "\xFF",
       }) {
    const std::string name = std::string("kim") + inside + "lee";
    EXPECT_EQ(Problem(name), NameProblem::kForbiddenCharacter) << name;
  }
  EXPECT_EQ(Problem(std::string("kim\0lee", 7)), NameProblem::kForbiddenCharacter);
  // Marks: one at the start sits on whatever is shown before the name; the same mark
  // twice, or a dot on a letter that has one, looks like the letter with one.
  EXPECT_EQ(Problem("\u0301kim"), NameProblem::kForbiddenCharacter);
  EXPECT_EQ(Problem("ki\u0301\u0301m"), NameProblem::kForbiddenCharacter);
  EXPECT_EQ(Problem("ki\u0307m"), NameProblem::kForbiddenCharacter);
  EXPECT_FALSE(Problem("kí\u0300m")) << "two different marks are both seen";
  EXPECT_EQ(NormalizedName("kim\xFFlee"), "");
}

TEST(MemberNames, SpacesOnlyBetweenWordsAndOneAtATime) {
  for (const char* name : {" kim", "kim ", "kim  lee", " ", "   ", " 철수 "})
    EXPECT_EQ(Problem(name), NameProblem::kEdgeSpace) << '"' << name << '"';
  EXPECT_EQ(Stored("kim lee"), "kim lee");
  EXPECT_EQ(Stored("고 스 톱"), "고 스 톱");
  EXPECT_EQ(Problem(" \t"), NameProblem::kForbiddenCharacter) << "the worse fault first";
}

TEST(MemberNames, KoreanNamesMixHangulHanLatinAndDigitsButNoLookAlikeScripts) {
  for (const char* name : {"철수abc", "Kim철수", "고스톱王", "김철수1004", "Kim 철수", "金哲洙",
                           "ㅋㅋㅋ", "고 스&톱=+%", "철수_99!", "Ελένη", "Иван", "やまだ"}) {
    EXPECT_FALSE(Problem(name)) << name;
  }
  for (const char* name : {
           "p\u0430ypal",  // a Cyrillic "а" among Latin letters
           "Ivan Иван",    // Latin and Cyrillic
           "\u039Aim",     // a Greek capital Kappa before Latin letters
           "철수Иван",     // Hangul and Cyrillic
           "한글ひら",     // Hangul and Hiragana are not written together
           "12\u0663",     // ASCII digits with an Arabic-Indic three
           "철수1２",      // ASCII digits with full-width ones
       }) {
    EXPECT_EQ(Problem(name), NameProblem::kMixedScripts) << name;
  }
}

TEST(MemberNames, NamesThatLookAlikeShareAKeyAndOthersDoNot) {
  const std::vector<std::vector<std::string>> alike = {
      {"KIM", "kim", "Kim", "kIm", "kirn", "ＫＩＭ", "\u039A\u0399\u039C" /* Greek */},
      {"l", "I", "1", "i"},
      {"aop", "\u0430\u043E\u0440" /* Cyrillic */, "\u0410\u041E\u0420", "AOP", "a0p"},
      {"paypal", "PAYPAL", "\u0440\u0430\u0443\u0440\u0430\u04CF" /* Cyrillic */},
      {"철수12", "철수１２", "철수l2"},
      {"철", "처ㄹ"},
      {"한글", kHangulDecomposed},
  };
  for (const auto& group : alike) {
    for (const std::string& name : group)
      EXPECT_EQ(Look(name), Look(group.front())) << name << " and " << group.front();
  }
  // The first of each group looks like none of the others' groups.
  for (std::size_t a = 0; a < alike.size(); ++a) {
    for (std::size_t b = a + 1; b < alike.size(); ++b)
      EXPECT_NE(Look(alike[a].front()), Look(alike[b].front())) << alike[a][0] << alike[b][0];
  }
  for (const auto& [one, other] :
       std::vector<std::pair<const char*, const char*>>{{"철수", "영희"},
                                                        {"kim", "kin"},
                                                        {"KIM", "KIN"},
                                                        {"Lee", "Kee"},
                                                        {"abc", "abd"},
                                                        {"고스톱", "고스돕"},
                                                        {"kim lee", "kimlee"},
                                                        {"m1", "m10"}}) {
    EXPECT_NE(Look(one), Look(other)) << one << " and " << other;
  }
  // Names from before the checks meet what they show as.
  EXPECT_EQ(LookKey("kim\u200Blee"), Look("kimlee"));
  EXPECT_EQ(LookKey("p\u0430ypal"), Look("paypal"));
  EXPECT_EQ(LookKey("KIM"), Look("kim"));
}

TEST(MemberNames, ChecksFromManyThreadsAtOnceAgreeWithOneThread) {
  const std::vector<std::string> names = {"KIM",    "철수abc",         "p\u0430ypal", " kim",
                                          "\u3164", kHangulDecomposed, "ＫＩＭ",      "고스톱王"};
  std::vector<std::string> expected;
  for (const std::string& name : names)
    expected.push_back(Stored(name) + "/" + Look(name));
  std::atomic<int> differing{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int round = 0; round < 200; ++round) {
        for (std::size_t i = 0; i < names.size(); ++i) {
          if (Stored(names[i]) + "/" + Look(names[i]) != expected[i]) ++differing;
        }
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(differing.load(), 0);
}

}  // namespace
}  // namespace hw::portal
