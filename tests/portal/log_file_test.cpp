#include "portal/server/log_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace hw::portal {
namespace {

namespace fs = std::filesystem;

class LogFileTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }
  static unsigned Mode(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? (status.st_mode & 0777) : 0;
  }

  const fs::path folder_ =
      fs::temp_directory_path() / ("log-file-test-" + std::to_string(getpid()));
  const fs::path file_ = folder_ / "server.log";
};

TEST_F(LogFileTest, TurnsOverPastItsSizeKeepingWholeLinesAndTheNewestFiles) {
  {
    LogFile log(file_, {.max_bytes = 100, .kept = 2});
    for (int n = 0; n < 40; ++n)
      log << "line " << n << " of the request log" << std::endl;  // 23 or 24 bytes
  }
  EXPECT_FALSE(fs::exists(file_.string() + ".3"));
  // Newest last: the oldest kept file, then the next, then the current one.
  std::vector<std::string> kept;
  for (const fs::path& file :
       {fs::path(file_.string() + ".2"), fs::path(file_.string() + ".1"), file_}) {
    ASSERT_TRUE(fs::exists(file)) << file;
    EXPECT_LE(fs::file_size(file), 100u + 24u) << file;
    for (const std::string& line : Lines(file))
      kept.push_back(line);
  }
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(kept.back(), "line 39 of the request log");
  // The kept lines are whole and follow each other without a gap.
  const int first = std::stoi(kept.front().substr(5));
  for (std::size_t n = 0; n < kept.size(); ++n)
    EXPECT_EQ(kept[n],
              "line " + std::to_string(first + static_cast<int>(n)) + " of the request log");
}

TEST_F(LogFileTest, IsTheOwnersAloneAndAppendsToAnOlderLog) {
  { std::ofstream(file_) << "an older line\n"; }
  fs::permissions(file_, fs::perms(0644));
  {
    LogFile log(file_);
    log << "a newer line" << std::endl;
  }
  EXPECT_EQ(Mode(file_), 0600u);
  EXPECT_EQ(Lines(file_), (std::vector<std::string>{"an older line", "a newer line"}));
  EXPECT_THROW(LogFile(folder_ / "missing" / "server.log"), std::system_error);
}

}  // namespace
}  // namespace hw::portal
