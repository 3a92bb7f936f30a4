// Game names that cannot be confused: the checks and look keys of member_names.h, and the
// store keeping one member per look key, also for databases from before the keys.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <SQLiteCpp/SQLiteCpp.h>

#include "portal/server/member_names.h"
#include "portal/server/member_store.h"
#include "portal/server/secrets.h"
#include "tests/support/temp_folder.h"

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
// "김철수", the same way.
constexpr const char* kKimDecomposed = "\u1100\u1175\u11B7\u110E\u1165\u11AF\u1109\u116E";

TEST(MemberNames, NamesAreStoredComposedAndCountedByTheirComposedCharacters) {
  EXPECT_EQ(Stored(kHangulDecomposed), "한글");
  EXPECT_EQ(Stored("cafe\u0301"), "caf\u00E9");
  EXPECT_EQ(NormalizedName(kHangulDecomposed), "한글");
  // The two forms are one name, with one look.
  EXPECT_EQ(Look(kHangulDecomposed), Look("한글"));

  // Twenty syllables are sixty jamo when decomposed, and still twenty characters.
  EXPECT_EQ(Stored(Repeat("\u1112\u1161\u11AB", 20)), Repeat("한", 20));
  EXPECT_EQ(Problem(Repeat("\u1112\u1161\u11AB", 21)), NameProblem::kLength);
  EXPECT_FALSE(Problem(Repeat("가", 20)));
  EXPECT_EQ(Problem(Repeat("가", 21)), NameProblem::kLength);
  EXPECT_FALSE(Problem(Repeat("e\u0301", 20))) << "an accented letter is one character";
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

// ---- The store

class MemberStoreNames : public ::testing::Test {
 protected:
  std::filesystem::path File() const { return std::filesystem::path(folder_.Path()) / "portal.db"; }
  MemberStore& Store() {
    if (!store_) store_.emplace(File(), StoreOptions{HashCost::kMinimal, {}});
    return *store_;
  }
  std::optional<SignUpRefusal> Add(const std::string& name) {
    return Store().AddMember({.name = name, .password = "secret"}).refusal;
  }

  testing::TempFolder folder_;
  std::optional<MemberStore> store_;
};

TEST_F(MemberStoreNames, EachProblemOfANameIsRefusedForItsOwnReason) {
  EXPECT_EQ(Add(""), SignUpRefusal::kBadName);
  EXPECT_EQ(Add(Repeat("가", 21)), SignUpRefusal::kBadName);
  EXPECT_EQ(Add("kim\u200Blee"), SignUpRefusal::kBadName);
  EXPECT_EQ(Add(" kim"), SignUpRefusal::kNameEdgeSpace);
  EXPECT_EQ(Add("kim  lee"), SignUpRefusal::kNameEdgeSpace);
  EXPECT_EQ(Add("p\u0430ypal"), SignUpRefusal::kNameMixedScripts);
  // The computer's name, also when it merely looks like it.
  EXPECT_EQ(Add("컴퓨터"), SignUpRefusal::kComputersName);
  EXPECT_EQ(Add("\u110F\u1165\u11B7퓨터"), SignUpRefusal::kComputersName);
  EXPECT_EQ(Add("컴ㅍㅠ터"), SignUpRefusal::kComputersName);
  EXPECT_EQ(Store().Richest(10).size(), 0u);
}

TEST_F(MemberStoreNames, ALookAlikeOfAMembersNameIsRefusedAndTheNameIsStoredComposed) {
  ASSERT_FALSE(Add("Kim"));
  ASSERT_FALSE(Add(kHangulDecomposed));
  ASSERT_FALSE(Add("aop"));
  EXPECT_EQ(Add("Kim"), SignUpRefusal::kNameTaken);
  EXPECT_EQ(Add("한글"), SignUpRefusal::kNameTaken) << "the same name in another form";
  for (const char* name :
       {"KIM", "kim", "kirn", "ＫＩＭ", "\u039A\u0399\u039C", "\u0430\u043E\u0440", "AOP", "a0p"}) {
    EXPECT_EQ(Add(name), SignUpRefusal::kNameLooksAlike) << name;
  }
  ASSERT_TRUE(Store().Find("한글"));
  EXPECT_EQ(Store().Find("한글")->name, "한글");
  EXPECT_FALSE(Store().Find(kHangulDecomposed));
  EXPECT_EQ(Store().Richest(10).size(), 3u);
  EXPECT_FALSE(Add("Kin"));
}

TEST_F(MemberStoreNames, LookAlikeSignUpsAtTheSameMomentLetOnlyOneIn) {
  Store();
  // Two stores on one file stand for two server processes: they share no lock of their
  // own, only the database.
  MemberStore other(File(), StoreOptions{HashCost::kMinimal, {}});
  for (const std::string base : {"kim", "lee", "park", "choi", "jung"}) {
    std::vector<std::string> names = {base};
    for (std::size_t i = 0; i < base.size(); ++i) {
      std::string variant = base;
      variant[i] = static_cast<char>(variant[i] - 'a' + 'A');
      names.push_back(variant);
    }
    std::atomic<int> added{0};
    std::atomic<int> alike{0};
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < names.size(); ++i) {
      threads.emplace_back([&, i] {
        MemberStore& store = i % 2 == 0 ? Store() : other;
        const SignUpResult result = store.AddMember({.name = names[i], .password = "secret"});
        if (!result.refusal) ++added;
        if (result.refusal == SignUpRefusal::kNameLooksAlike) ++alike;
      });
    }
    for (std::thread& thread : threads)
      thread.join();
    EXPECT_EQ(added.load(), 1) << base;
    EXPECT_EQ(alike.load(), static_cast<int>(names.size()) - 1) << base;
  }
  EXPECT_EQ(Store().Richest(10).size(), 5u);
}

TEST_F(MemberStoreNames, ADatabaseWithLookAlikeNamesFromBeforeTheKeysKeepsThemAll) {
  {
    SQLite::Database db(File(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(R"sql(
      CREATE TABLE members (
        name TEXT PRIMARY KEY NOT NULL, password_hash TEXT NOT NULL,
        recovery_digest TEXT NOT NULL, avatar INTEGER NOT NULL, voice TEXT NOT NULL,
        money TEXT NOT NULL, wins INTEGER NOT NULL DEFAULT 0,
        losses INTEGER NOT NULL DEFAULT 0, draws INTEGER NOT NULL DEFAULT 0,
        missions INTEGER NOT NULL DEFAULT 0, session_digest TEXT,
        last_top_up TEXT NOT NULL DEFAULT '', created TEXT NOT NULL,
        member_first INTEGER NOT NULL DEFAULT 1);
      CREATE TABLE money_changes (
        id INTEGER PRIMARY KEY, member TEXT NOT NULL, changed TEXT NOT NULL,
        old_money TEXT NOT NULL, new_money TEXT NOT NULL))sql");
    SQLite::Statement insert(db,
                             "INSERT INTO members (name, password_hash, recovery_digest, avatar, "
                             "voice, money, created) VALUES (?, ?, 'x', 1, 'M', '1000', ?)");
    // "KIM" came first, then "Kim"; a name with a zero-width space slipped in beside
    // "kimlee" before it was refused; "김철수" was stored decomposed, as it was typed.
    for (const auto& [name, created] : std::vector<std::pair<std::string, std::string>>{
             {"Kim", "2023-02-01 10:00:00"},
             {"KIM", "2023-01-01 10:00:00"},
             {"kimlee", "2023-03-01 10:00:00"},
             {"kim\u200Blee", "2023-04-01 10:00:00"},
             {"홍길동", "2023-05-01 10:00:00"},
             {kKimDecomposed, "2023-06-01 10:00:00"}}) {
      insert.bind(1, name);
      insert.bind(2, HashPassword("secret", HashCost::kMinimal));
      insert.bind(3, created);
      insert.exec();
      insert.reset();
    }
    SQLite::Statement change(db,
                             "INSERT INTO money_changes (member, changed, old_money, new_money) "
                             "VALUES (?, '2023-07-01 10:00:00', '1000', '2000')");
    change.bind(1, std::string(kKimDecomposed));
    change.exec();
  }
  const auto keys = [&] {
    SQLite::Database db(File());
    SQLite::Statement select(db, "SELECT name, name_look IS NULL FROM members ORDER BY name");
    std::string text;
    while (select.executeStep())
      text += select.getColumn(0).getString() + (select.getColumn(1).getInt() ? " -, " : " +, ");
    return text;
  };
  for (int opening = 0; opening < 2; ++opening) {
    store_.reset();
    for (const char* name : {"Kim", "KIM", "kimlee", "kim\u200Blee", "홍길동", "김철수"}) {
      EXPECT_TRUE(Store().Find(name)) << name;
      EXPECT_TRUE(Store().Login(name, "secret")) << name;
    }
    EXPECT_TRUE(Store().Login(kKimDecomposed, "secret"));
    EXPECT_EQ(Store().MoneyChanges("김철수", 10).size(), 1u);
    // The earlier of two look-alikes holds the key.
    EXPECT_EQ(keys(), "KIM +, Kim -, kimlee +, kim\u200Blee -, 김철수 +, 홍길동 +, ");
  }
  EXPECT_EQ(Add("kim"), SignUpRefusal::kNameLooksAlike);
  EXPECT_EQ(Add("KIMLEE"), SignUpRefusal::kNameLooksAlike);
  EXPECT_EQ(Add("\u1112\u1169\u11BC길동"), SignUpRefusal::kNameTaken);
  EXPECT_FALSE(Add("park"));
}

TEST_F(MemberStoreNames, AMemberIsFoundWhateverFormHisNameArrivesIn) {
  const std::string decomposed = "\u1112\u1169\u11BC\u1100\u1175\u11AF\u1103\u1169\u11BC";
  const std::string code =
      Store().AddMember({.name = "홍길동", .password = "secret"}).recovery_code;
  ASSERT_FALSE(code.empty());

  const std::optional<LoginResult> login = Store().Login(decomposed, "secret");
  ASSERT_TRUE(login);
  EXPECT_EQ(login->figures.name, "홍길동");
  const DealResult dealt = Store().Deal({decomposed, login->session, "100", "0", "5eed"});
  ASSERT_FALSE(dealt.refusal);
  // A record that is no play at all gets as far as the replay: the member and his hand
  // were found by the other form of his name.
  EXPECT_EQ(Store()
                .SaveHand({decomposed, login->session, std::to_string(dealt.hand.id), "junk", {}})
                .refusal,
            SaveRefusal::kIllegalRecord);
  const auto hands = Store().CheckedHands(decomposed, "secret", 10);
  ASSERT_TRUE(hands);
  EXPECT_EQ(hands->size(), 1u);
  EXPECT_EQ(Store().TopUp(decomposed, "secret"), TopUpResult::kNotPoor);
  EXPECT_TRUE(Store().Logout(decomposed, login->session));
  EXPECT_EQ(Store().Recover(decomposed, code, "another").result, RecoverResult::kDone);
  EXPECT_TRUE(Store().Login("홍길동", "another"));
  // Bytes that are no UTF-8 find nobody.
  EXPECT_FALSE(Store().Login("\xED\x99\x8D\xFF", "another"));
}

}  // namespace
}  // namespace hw::portal
