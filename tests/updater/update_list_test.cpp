// The update list, the progress bar's arithmetic and the installer's digest.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/digest.h"
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
