// The update list and its signature, the progress bar's arithmetic and the installer's
// digest.

#include <gtest/gtest.h>
#include <sodium.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/digest.h"
#include "platform/list_signature.h"
#include "tests/support/temp_folder.h"
#include "updater/update_list.h"

namespace hw::updater {
namespace {

// SHA-256 of "abc", a published test vector.
constexpr const char* kAbcDigest =
    "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

TEST(UpdateListTest, ThreeFieldsWithAWholeNumberFirst) {
  const auto list =
      ParseUpdateList("102<br>http://portal.test/down/a b<br>" + std::string(kAbcDigest));
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->version, "102");
  EXPECT_EQ(list->versionNumber, 102);
  EXPECT_EQ(list->address, "http://portal.test/down/a b");
  EXPECT_EQ(list->digest, kAbcDigest);

  // Empty fields are fields.
  const auto bare = ParseUpdateList("7<br><br>");
  ASSERT_TRUE(bare.has_value());
  EXPECT_EQ(bare->address, "");
  EXPECT_EQ(bare->digest, "");
}

TEST(UpdateListTest, LineBreaksAnywhereAreIgnoredEvenInsideAFieldOrTheSeparator) {
  const auto list = ParseUpdateList("\r\n1\r0\n2<b\r\nr>http://x/\n\nd\rown<br>ab\r\n");
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->version, "102");
  EXPECT_EQ(list->address, "http://x/down");
  EXPECT_EQ(list->digest, "ab");
}

TEST(UpdateListTest, OtherShapesAreNotALists) {
  for (const char* text :
       {"", "102", "102<br>http://x/", "102<br>http://x/<br>d<br>e", "10a<br>u<br>d", "<br>u<br>d",
        "-5<br>u<br>d", " 102<br>u<br>d", "1.5<br>u<br>d", "99999999999999999999<br>u<br>d",
        "../../x<br>u<br>d", "102<BR>u<BR>d"}) {
    EXPECT_FALSE(ParseUpdateList(text).has_value()) << "\"" << text << "\"";
  }
}

TEST(UpdateListTest, ASignatureFieldMayFollowAndIsNotCheckedHere) {
  const auto list = ParseUpdateList("102<br>http://x/<br>d<br>sig:anything");
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->digest, "d");
  EXPECT_FALSE(ParseUpdateList("102<br>http://x/<br>d<br>sag:anything").has_value());
  EXPECT_FALSE(ParseUpdateList("102<br>http://x/<br>d<br>sig:a<br>sig:b").has_value());
}

// ---- The signature

const std::string kFields =
    "102<br>http://portal.test/down/hwatable-installer-102<br>" + std::string(kAbcDigest);

std::string Signed(const std::string& fields, const platform::ListKeyPair& key) {
  return fields + "<br>sig:" + platform::SignListText(fields, key.secretKey).value();
}

TEST(ListSignatureTest, TheSignatureIsLibsodiumsOverExactlyTheTextsBytes) {
  const platform::ListKeyPair key = platform::NewListKeyPair();
  ASSERT_TRUE(platform::IsListPublicKey(key.publicKey));
  EXPECT_EQ(platform::ListPublicKeyOf(key.secretKey), key.publicKey);
  const std::string signature = platform::SignListText(kFields, key.secretKey).value();

  // Decoded and checked by libsodium itself.
  unsigned char bytes[crypto_sign_BYTES];
  unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
  std::size_t length = 0;
  ASSERT_EQ(sodium_base642bin(bytes, sizeof bytes, signature.data(), signature.size(), nullptr,
                              &length, nullptr, sodium_base64_VARIANT_ORIGINAL),
            0);
  ASSERT_EQ(length, sizeof bytes);
  ASSERT_EQ(
      sodium_base642bin(publicKey, sizeof publicKey, key.publicKey.data(), key.publicKey.size(),
                        nullptr, &length, nullptr, sodium_base64_VARIANT_ORIGINAL),
      0);
  EXPECT_EQ(
      crypto_sign_verify_detached(bytes, reinterpret_cast<const unsigned char*>(kFields.data()),
                                  kFields.size(), publicKey),
      0);
  EXPECT_TRUE(platform::ListSignatureMatches(kFields, signature, key.publicKey));
  EXPECT_FALSE(platform::ListSignatureMatches(kFields + " ", signature, key.publicKey));

  // Keys are what keygen writes, and nothing near it.
  const std::vector<std::string> notPublicKeys = {"",
                                                  key.publicKey.substr(1),
                                                  key.publicKey + "=",
                                                  " " + key.publicKey,
                                                  key.publicKey.substr(0, 43) + "\n",
                                                  key.secretKey};
  for (const std::string& text : notPublicKeys)
    EXPECT_FALSE(platform::IsListPublicKey(text)) << text;
  std::string otherHalf = key.secretKey;  // its public half no longer its seed's
  otherHalf[60] = otherHalf[60] == 'A' ? 'B' : 'A';
  for (const std::string& text :
       {key.publicKey, otherHalf, key.secretKey.substr(4), std::string()}) {
    EXPECT_FALSE(platform::ListPublicKeyOf(text).has_value()) << text;
    EXPECT_FALSE(platform::SignListText(kFields, text).has_value()) << text;
  }
}

TEST(GameListTest, ASignedListIsTakenWithTheKeyWhetherOrNotOneLineBreakEndsIt) {
  const platform::ListKeyPair key = platform::NewListKeyPair();
  for (const char* ending : {"", "\n", "\r\n"}) {
    const GameList read = ReadGameList(Signed(kFields, key) + ending, key.publicKey);
    ASSERT_TRUE(read.list.has_value()) << read.problem;
    EXPECT_FALSE(read.badSignature);
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.list->versionNumber, 102);
    EXPECT_EQ(read.list->address, "http://portal.test/down/hwatable-installer-102");
    EXPECT_EQ(read.list->digest, kAbcDigest);
  }
}

TEST(GameListTest, WithTheKeyEveryChangeOrOtherSignatureIsRefusedAndTold) {
  const platform::ListKeyPair key = platform::NewListKeyPair();
  const platform::ListKeyPair other = platform::NewListKeyPair();
  const std::string good = Signed(kFields, key);
  const std::string signature = good.substr(good.rfind(":") + 1);
  const std::string sig = "<br>sig:" + signature;
  std::string upperDigest = kAbcDigest;
  for (char& c : upperDigest)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string otherDigest = kAbcDigest;
  otherDigest[10] = otherDigest[10] == '0' ? '1' : '0';

  const struct {
    const char* what;
    std::string text;
    const char* problem;
  } cases[] = {
      {"unsigned", kFields, "not signed"},
      {"unsigned, a line break at its end", kFields + "\n", "not signed"},
      {"another version", "103" + kFields.substr(3) + sig, "not made with the key"},
      {"another address",
       "102<br>http://evil.test/down/hwatable-installer-102<br>" + std::string(kAbcDigest) + sig,
       "not made with the key"},
      {"another digest",
       "102<br>http://portal.test/down/hwatable-installer-102<br>" + otherDigest + sig,
       "not made with the key"},
      {"the digest in capitals",
       "102<br>http://portal.test/down/hwatable-installer-102<br>" + upperDigest + sig,
       "not made with the key"},
      {"another key", Signed(kFields, other), "not made with the key"},
      {"the signature of another list",
       kFields + "<br>sig:" + platform::SignListText("103", key.secretKey).value(),
       "not made with the key"},
      {"the signature cut short by one character", good.substr(0, good.size() - 1),
       "not made with the key"},
      {"the signature cut short by four characters", good.substr(0, good.size() - 4),
       "not made with the key"},
      {"no signature after sig:", kFields + "<br>sig:", "not made with the key"},
      {"the signature with a blank", kFields + "<br>sig: " + signature, "not made with the key"},
      {"a field after the signature", good + "<br>x", "more fields"},
      {"a field before the signature", kFields + "<br>x" + sig, "more fields"},
      {"the signature first", "102<br>" + sig.substr(4) + "<br>http://x/<br>" + kAbcDigest,
       "not signed"},
      {"a line break in the version", "1\n02" + kFields.substr(3) + sig, "line breaks"},
      {"a line break in the address",
       "102<br>http://portal.test/\r\ndown/hwatable-installer-102<br>" + std::string(kAbcDigest) +
           sig,
       "line breaks"},
      {"a line break in a separator", "102<b\nr>" + kFields.substr(7) + sig, "line breaks"},
      {"a line break in the signature",
       kFields + "<br>sig:" + signature.substr(0, 40) + "\n" + signature.substr(40), "line breaks"},
      {"a line break first", "\n" + good, "line breaks"},
      {"two line breaks at the end", good + "\n\n", "line breaks"},
  };
  for (const auto& c : cases) {
    const GameList read = ReadGameList(c.text, key.publicKey);
    EXPECT_FALSE(read.list.has_value()) << c.what;
    EXPECT_TRUE(read.badSignature) << c.what;
    EXPECT_NE(read.problem.find(c.problem), std::string::npos) << c.what << ": " << read.problem;
  }

  // Signed, but without a digest to check the download against.
  const std::string noDigest = "102<br>http://portal.test/down/i<br>none";
  const GameList unchecked = ReadGameList(Signed(noDigest, key), key.publicKey);
  EXPECT_FALSE(unchecked.list.has_value());
  EXPECT_TRUE(unchecked.badSignature);
  EXPECT_NE(unchecked.problem.find("SHA-256"), std::string::npos) << unchecked.problem;
}

TEST(GameListTest, WhatIsNoListAtAllIsPassedOverQuietlyWithTheKey) {
  const platform::ListKeyPair key = platform::NewListKeyPair();
  for (const char* text : {"", "<html>404</html>", "102", "102<br>http://x/", "v2<br>u<br>d"}) {
    const GameList read = ReadGameList(text, key.publicKey);
    EXPECT_FALSE(read.list.has_value()) << text;
    EXPECT_FALSE(read.badSignature) << text;
    EXPECT_EQ(read.problem, "") << text;
  }
}

TEST(GameListTest, WithoutAKeyListsAreTakenAsBeforeSignedOrNot) {
  const platform::ListKeyPair key = platform::NewListKeyPair();
  const platform::ListKeyPair other = platform::NewListKeyPair();
  for (const std::string& text :
       {kFields, "1\r\n02" + kFields.substr(3), Signed(kFields, key), Signed(kFields, other)}) {
    const GameList read = ReadGameList(text, "");
    ASSERT_TRUE(read.list.has_value()) << text;
    EXPECT_EQ(read.list->version, "102");
    EXPECT_EQ(read.list->digest, kAbcDigest);
    EXPECT_FALSE(read.badSignature);
  }
  EXPECT_FALSE(ReadGameList(kFields + "<br>x", "").list.has_value());
}

TEST(UpdateListTest, ADigestIsSixtyFourHexDigitsOfEitherCase) {
  EXPECT_TRUE(IsSha256Hex(kAbcDigest));
  EXPECT_TRUE(IsSha256Hex("BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"));
  EXPECT_FALSE(IsSha256Hex(std::string(kAbcDigest).substr(1)));
  EXPECT_FALSE(IsSha256Hex(std::string(kAbcDigest) + "0"));
  EXPECT_FALSE(IsSha256Hex(std::string(63, 'a') + "g"));
  EXPECT_FALSE(IsSha256Hex(""));
}

TEST(UpdateListTest, FileDigestIsReadInPiecesAndComparedWithoutCase) {
  testing::TempFolder folder;
  const std::string small = folder.Path() + "/abc";
  std::ofstream(small, std::ios::binary) << "abc";
  EXPECT_EQ(platform::FileSha256Hex(small), kAbcDigest);
  EXPECT_TRUE(
      FileMatchesDigest(small, "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"));

  // Longer than one read, and a size that is no multiple of it: one byte differs.
  const std::string big = folder.Path() + "/big";
  std::string bytes(200'001, 'x');
  std::ofstream(big, std::ios::binary) << bytes;
  const auto bigDigest = platform::FileSha256Hex(big);
  ASSERT_TRUE(bigDigest.has_value());
  bytes[150'000] = 'y';
  std::ofstream(big, std::ios::binary | std::ios::trunc) << bytes;
  EXPECT_FALSE(FileMatchesDigest(big, *bigDigest));

  EXPECT_FALSE(platform::FileSha256Hex(folder.Path() + "/missing").has_value());
  EXPECT_FALSE(FileMatchesDigest(folder.Path() + "/missing", kAbcDigest));
}

TEST(ProgressTest, TheBarRoundsHalvesToEven) {
  constexpr std::int64_t kKb = 1024;
  // (read, total) in kilobytes -> width: 166.5, 18.5 go down; 55.5, 277.5 go up.
  const struct {
    std::int64_t readKb, totalKb;
    int width;
  } cases[] = {{1, 2, 166}, {1, 18, 18}, {1, 6, 56}, {5, 6, 278},
               {1, 3, 111}, {2, 3, 222}, {0, 5, 0},  {7, 7, 333}};
  for (const auto& c : cases) {
    const Progress progress = ComputeProgress(c.readKb * kKb, c.totalKb * kKb);
    EXPECT_EQ(progress.width, c.width) << c.readKb << "/" << c.totalKb;
  }
}

TEST(ProgressTest, OnlyWholeKilobytesCount) {
  const Progress partial = ComputeProgress(1023, 10 * 1024 + 1023);
  EXPECT_EQ(partial.readKb, 0);
  EXPECT_EQ(partial.totalKb, 10);
  EXPECT_EQ(partial.width, 0);
  EXPECT_EQ(partial.status, "0Kbyte / 10Kbyte ...");

  // A download of less than a kilobyte: an empty bar and 0 for both figures.
  const Progress tiny = ComputeProgress(700, 1000);
  EXPECT_EQ(tiny.width, 0);
  EXPECT_EQ(tiny.status, "0Kbyte / 0Kbyte ...");

  const Progress big = ComputeProgress(3'000'000'000LL, 4'000'000'000LL);
  EXPECT_EQ(big.status, "2929687Kbyte / 3906250Kbyte ...");
  EXPECT_EQ(big.width, 250);  // 2929687 x 333 / 3906250 = 249.75
}

TEST(ProgressTest, MoreReadThanTheTotalFillsTheBarAndShowsTheTotal) {
  const Progress over = ComputeProgress(5 * 1024, 2 * 1024);
  EXPECT_EQ(over.width, 333);
  EXPECT_EQ(over.readKb, 2);
  EXPECT_EQ(over.status, "2Kbyte / 2Kbyte ...");
  // A server that claims one kilobyte and sends gigabytes overflows nothing.
  EXPECT_EQ(ComputeProgress(std::int64_t{1} << 50, 1024).width, 333);
  EXPECT_EQ(ComputeProgress(-5, -1).status, "0Kbyte / 0Kbyte ...");
}

}  // namespace
}  // namespace hw::updater
