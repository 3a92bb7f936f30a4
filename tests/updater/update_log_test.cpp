// The updater's log: its own lines told from an installer's, the installer's last message
// found after a given place, and the log turned over when it has grown.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/temp_folder.h"
#include "updater/update_log.h"

namespace hw::updater {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Append(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::app | std::ios::binary) << text;
}

TEST(UpdaterLogTest, ItsOwnLinesAreToldFromAnInstallersAndKeepToOneLine) {
  const std::string line = LogLine(1700000000, 4321, "the list\nfailed\r");
  EXPECT_THAT(line, ::testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} "
                                            "updater\\[4321\\]: the list failed "));
  EXPECT_TRUE(IsUpdaterLine(line));
  for (const char* other :
       {"hwatable-installer: cannot write the menu entry", "2024-01-02 03:04:05 updater[]: x",
        "2024-01-02 03:04:05 updater[1a]: x", "2024-01-0x 03:04:05 updater[12]: x",
        "2024-01-02 03:04:05 installer[12]: x", ""}) {
    SCOPED_TRACE(other);
    EXPECT_FALSE(IsUpdaterLine(other));
  }
}

TEST(UpdaterLogTest, TheInstallersLastMessageIsFoundAfterWhereItStarted) {
  testing::TempFolder folder;
  const std::string path = folder.Path() + "/state/hwatable/updater.log";
  UpdaterLog log(path);
  EXPECT_EQ(fs::status(fs::path(path).parent_path()).permissions() & fs::perms::all,
            fs::perms::owner_all)
      << "the log's folder is the user's alone";
  Append(path, "hwatable-installer: an earlier install failed\n");
  log.Write("running the installer");
  const auto start = FileSize(path);
  EXPECT_EQ(LastInstallerLine(path, start), "") << "nothing printed yet";

  Append(path, "unpacking\n  hwatable-installer: cannot put the game in place \t\n");
  log.Write("the installer ended with status 1");  // the updater's own line comes after
  Append(path, "   \n\n");
  EXPECT_EQ(LastInstallerLine(path, start), "hwatable-installer: cannot put the game in place");
  EXPECT_EQ(LastInstallerLine(path, FileSize(path)), "");
  EXPECT_EQ(LastInstallerLine(folder.Path() + "/missing.log", 0), "");

  Append(path, "no line break at the end");
  EXPECT_EQ(LastInstallerLine(path, start), "no line break at the end");
}

TEST(UpdaterLogTest, ALogThatHasGrownIsTurnedOverWhenTheUpdaterStarts) {
  testing::TempFolder folder;
  const std::string path = folder.Path() + "/updater.log";
  Append(path, "small\n");
  UpdaterLog(path).Write("second start");
  EXPECT_THAT(ReadAll(path), ::testing::StartsWith("small\n")) << "a small log is kept";
  EXPECT_FALSE(fs::exists(path + ".1"));

  Append(path, std::string(UpdaterLog::kTurnOverBytes, 'x'));
  UpdaterLog(path).Write("third start");
  EXPECT_THAT(ReadAll(path + ".1"), ::testing::StartsWith("small\n"));
  EXPECT_TRUE(IsUpdaterLine(ReadAll(path)));
  EXPECT_THAT(ReadAll(path), ::testing::EndsWith("third start\n"));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace hw::updater
