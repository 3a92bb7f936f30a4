#include "platform/posix/ini_settings_store.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake/memory_settings_store.h"

namespace hw::platform {
namespace {

namespace fs = std::filesystem;

constexpr const char* kApp = "Marrowlyn";

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_ino;
}

class IniSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "hwatable-settings-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    home_ = folder;
    store_.emplace(home_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(home_, ignored);
  }

  IniSettingsStore& store() { return *store_; }
  std::string File() const { return home_ + "/" + kApp + "/settings.ini"; }
  std::optional<std::string> Read(const std::string& section, const std::string& name) {
    return store_->Read(kApp, section, name);
  }

  std::string home_;
  std::optional<IniSettingsStore> store_;
};

TEST_F(IniSettingsStoreTest, SavedValuesReadBackWithNamesInAnyCase) {
  EXPECT_EQ(Read("Sound", "Volume"), "");
  EXPECT_TRUE(fs::is_empty(home_)) << "a read must not create anything";

  ASSERT_TRUE(store().Save(kApp, "Sound", "Volume", "7"));
  EXPECT_EQ(store().FilePath(kApp), File());
  EXPECT_EQ(Read("SOUND", "volume"), "7");
  EXPECT_EQ(Read("Sound", "Muted"), "");
  EXPECT_EQ(Read("Window", "Volume"), "");
  EXPECT_EQ(store().Read("marrowlyn", "Sound", "Volume"), "") << "applications are folders";

  // A second spelling replaces the value and keeps the spelling already in the file.
  ASSERT_TRUE(store().Save(kApp, "sound", "VOLUME", "8"));
  EXPECT_EQ(ReadText(File()), "[Sound]\nVolume=8\n");
  EXPECT_EQ(IniSettingsStore(home_).Read(kApp, "Sound", "Volume"), "8");

  ASSERT_TRUE(store().Delete(kApp, "SOUND", "volume"));
  EXPECT_EQ(Read("Sound", "Volume"), "");
}

TEST_F(IniSettingsStoreTest, ValuesComeBackExactly) {
  const std::vector<std::string> values = {
      "",
      "  padded both sides  ",
      "a=b=c",
      "[NotASection]",
      "C:\\Games\\Hwatu\\",
      "two\nlines",
      "crlf\r\nand a lone \r",
      "\\n is not a newline here",
      "\t\x01\x7f\xff",
      std::string("nul\0inside", 10),
      "고스톱 화투 점수",
  };
  for (std::size_t i = 0; i < values.size(); ++i) {
    ASSERT_TRUE(store().Save(kApp, "Values", "v" + std::to_string(i), values[i])) << i;
  }
  IniSettingsStore fresh(home_);
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(fresh.Read(kApp, "Values", "v" + std::to_string(i)), values[i]) << i;
  }
  const std::string text = ReadText(File());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + static_cast<long>(values.size()));
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_NE(text.find("\nv4=C:\\\\Games\\\\Hwatu\\\\\n"), std::string::npos);
  EXPECT_NE(text.find("\nv6=crlf\\r\\nand a lone \\r\n"), std::string::npos);
}

TEST_F(IniSettingsStoreTest, UnknownEscapesReadAsWritten) {
  WriteText(File(), "[S]\nv=\\t\\q\\\\x\\n\\\nw=\\R\\N\n");
  EXPECT_EQ(Read("S", "v"), "\\t\\q\\x\n\\");
  EXPECT_EQ(Read("S", "w"), "\\R\\N");
}

TEST_F(IniSettingsStoreTest, RefusesNamesThatCannotBeStored) {
  for (const std::string& bad : std::vector<std::string>{"a]b", "a=b", "a\rb", "a\nb"}) {
    EXPECT_FALSE(store().Save(kApp, bad, "Name", "v")) << bad;
    EXPECT_FALSE(store().Save(kApp, "Section", bad, "v")) << bad;
    EXPECT_FALSE(store().Delete(kApp, bad, "Name")) << bad;
  }
  for (const std::string& app :
       std::vector<std::string>{"", ".", "..", "a/b", "/abs", std::string("a\0b", 3)}) {
    EXPECT_FALSE(store().Save(app, "S", "N", "v")) << app;
    EXPECT_FALSE(store().Delete(app, "S", "N")) << app;
    EXPECT_EQ(store().Read(app, "S", "N"), "") << app;
    EXPECT_EQ(store().FilePath(app), "") << app;
  }
  EXPECT_TRUE(fs::is_empty(home_));
}

TEST_F(IniSettingsStoreTest, KeepsEveryLineItDoesNotUnderstand) {
  WriteText(File(),
            "; written by hand\r\n"
            "stray=before any section\n"
            "[Sound]\n"
            "# volume 0-10\n"
            "Volume=3\n"
            "garbage without an equals sign\n"
            "\n"
            "[Window]\r\n"
            "Left=10\r\n"
            "Top=20");
  EXPECT_EQ(Read("", "stray"), "");
  EXPECT_EQ(Read("Window", "Left"), "10");

  ASSERT_TRUE(store().Save(kApp, "Sound", "volume", "9"));
  ASSERT_TRUE(store().Save(kApp, "Sound", "Muted", "1"));
  ASSERT_TRUE(store().Save(kApp, "window", "LEFT", "11"));
  ASSERT_TRUE(store().Save(kApp, "Window", "Width", "640"));
  ASSERT_TRUE(store().Save(kApp, "Rules", "Go", "1"));
  EXPECT_EQ(ReadText(File()),
            "; written by hand\r\n"
            "stray=before any section\n"
            "[Sound]\n"
            "# volume 0-10\n"
            "Volume=9\n"
            "garbage without an equals sign\n"
            "Muted=1\n"
            "\n"
            "[Window]\r\n"
            "Left=11\r\n"
            "Top=20\n"
            "Width=640\n"
            "\n"
            "[Rules]\n"
            "Go=1\n");

  ASSERT_TRUE(store().Delete(kApp, "Sound", "Volume"));
  ASSERT_TRUE(store().Delete(kApp, "Window", "Left"));
  EXPECT_EQ(ReadText(File()),
            "; written by hand\r\n"
            "stray=before any section\n"
            "[Sound]\n"
            "# volume 0-10\n"
            "garbage without an equals sign\n"
            "Muted=1\n"
            "\n"
            "[Window]\r\n"
            "Top=20\n"
            "Width=640\n"
            "\n"
            "[Rules]\n"
            "Go=1\n");
}

TEST_F(IniSettingsStoreTest, DamagedFileReadsWhatItCanAndStillTakesSaves) {
  const std::string damaged = std::string("\0\xff\xfe[\x01=\x02", 7) + "\n" +
                              std::string(1 << 20, 'x') + "\n" +
                              "orphan=no section yet\n"
                              "[Sound]\n"
                              "Volume=4\n"
                              "[Sound\n"
                              "Muted=1\n"
                              "[Bad]tail\n"
                              "Speed=2\n"
                              "\x80\x81=\xfe\n";
  WriteText(File(), damaged);
  EXPECT_EQ(Read("Sound", "Volume"), "4");
  EXPECT_EQ(Read("Sound", "Muted"), "") << "a broken section line ends the section";
  EXPECT_EQ(Read("Bad", "Speed"), "");
  EXPECT_EQ(Read("", "orphan"), "");

  ASSERT_TRUE(store().Save(kApp, "Sound", "Muted", "0"));
  ASSERT_TRUE(store().Save(kApp, "Window", "Left", "5"));
  EXPECT_EQ(Read("Sound", "Muted"), "0");
  EXPECT_EQ(Read("Window", "Left"), "5");
  const std::string after = ReadText(File());
  const std::size_t sound = damaged.find("Volume=4\n") + 9;
  EXPECT_EQ(after.substr(0, sound), damaged.substr(0, sound));
  EXPECT_EQ(after.substr(sound, 8), "Muted=0\n");
  EXPECT_EQ(after.substr(sound + 8, damaged.size() - sound), damaged.substr(sound));
}

TEST_F(IniSettingsStoreTest, RandomBytesNeverBreakTheStore) {
  std::mt19937 random(20240611);
  const std::string alphabet = std::string("[]=\\\r\n \tSsx\xc3\xff", 14) + std::string(1, '\0');
  for (int round = 0; round < 60; ++round) {
    std::string text(random() % 400, ' ');
    for (char& c : text)
      c = alphabet[random() % alphabet.size()];
    WriteText(File(), text);
    EXPECT_EQ(Read("Fresh", "Key"), "");
    (void)Read("S", "x");  // may hold anything; must only not fail
    ASSERT_TRUE(store().Save(kApp, "Fresh", "Key", "value")) << round;
    EXPECT_EQ(Read("Fresh", "Key"), "value");
    EXPECT_EQ(ReadText(File()).substr(0, text.size()), text) << round;
    ASSERT_TRUE(store().Save(kApp, "S", "x", "y"));
    EXPECT_EQ(Read("S", "x"), "y") << round;
    ASSERT_TRUE(store().Delete(kApp, "S", "x"));
    EXPECT_EQ(Read("S", "x"), "") << round;
  }
}

TEST_F(IniSettingsStoreTest, RepeatedNamesUseTheFirstAndDeleteAll) {
  WriteText(File(), "[S]\nk=1\nK=2\n[s]\nk=3\n[S]\n");
  EXPECT_EQ(Read("S", "k"), "1");
  ASSERT_TRUE(store().Save(kApp, "S", "K", "9"));
  EXPECT_EQ(ReadText(File()), "[S]\nk=9\nK=2\n[s]\nk=3\n[S]\n");
  ASSERT_TRUE(store().Delete(kApp, "S", "k"));
  EXPECT_EQ(Read("S", "k"), "");
  ASSERT_TRUE(store().Save(kApp, "S", "new", "x"));
  EXPECT_EQ(ReadText(File()), "[S]\nnew=x\n[s]\n[S]\n");
}

TEST_F(IniSettingsStoreTest, UnreadableStoreFailsInsteadOfOverwriting) {
  fs::create_directories(File());
  EXPECT_EQ(Read("S", "k"), std::nullopt);
  EXPECT_FALSE(store().Save(kApp, "S", "k", "v"));
  EXPECT_FALSE(store().Delete(kApp, "S", "k"));
  EXPECT_TRUE(fs::is_directory(File()));

  WriteText(home_ + "/NotAFolder", "plain file where the folder belongs");
  EXPECT_EQ(store().Read("NotAFolder", "S", "k"), std::nullopt);
  EXPECT_FALSE(store().Save("NotAFolder", "S", "k", "v"));
  EXPECT_FALSE(store().Delete("NotAFolder", "S", "k"));
}

TEST_F(IniSettingsStoreTest, FailedWriteLeavesTheOldFile) {
  ASSERT_TRUE(store().Save(kApp, "S", "k", "old"));
  const std::string before = ReadText(File());
  // The store writes settings.ini.tmp and renames it; a folder there makes that fail.
  const std::string blocker = home_ + "/" + kApp + "/settings.ini.tmp";
  WriteText(blocker + "/inside", "x");

  EXPECT_FALSE(store().Save(kApp, "S", "k", "new"));
  EXPECT_FALSE(store().Delete(kApp, "S", "k"));
  EXPECT_EQ(ReadText(File()), before);
  EXPECT_EQ(Read("S", "k"), "old");

  fs::remove_all(blocker);
  ASSERT_TRUE(store().Save(kApp, "S", "k", "new"));
  EXPECT_EQ(Read("S", "k"), "new");
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(File()).parent_path())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, (std::set<std::string>{"settings.ini", "settings.lock"}));
}

TEST_F(IniSettingsStoreTest, FileIsPrivateAndKeepsPermissionsItIsGiven) {
  ASSERT_TRUE(store().Save(kApp, "S", "k", "1"));
  EXPECT_EQ(fs::status(File()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(fs::path(File()).parent_path()).permissions(), fs::perms::owner_all);

  fs::permissions(File(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(store().Save(kApp, "S", "k", "2"));
  EXPECT_EQ(fs::status(File()).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(IniSettingsStoreTest, NothingToChangeWritesNothing) {
  EXPECT_TRUE(store().Delete(kApp, "S", "k"));
  EXPECT_TRUE(fs::is_empty(home_));

  ASSERT_TRUE(store().Save(kApp, "S", "k", "1"));
  const ino_t first = InodeOf(File());
  EXPECT_TRUE(store().Delete(kApp, "S", "other"));
  EXPECT_TRUE(store().Delete(kApp, "Other", "k"));
  EXPECT_TRUE(store().Save(kApp, "s", "K", "1"));
  EXPECT_EQ(InodeOf(File()), first);
  ASSERT_TRUE(store().Save(kApp, "S", "k", "2"));
  EXPECT_NE(InodeOf(File()), first) << "a change replaces the file";
}

// The game and the updater write at once. Two unlocked read-modify-writes that overlap
// each write back the file without the other's value; the lock must make them take turns.
TEST_F(IniSettingsStoreTest, TwoProcessesSavingAtOnceLoseNothing) {
  constexpr int kProcesses = 2;
  constexpr int kSaves = 200;
  ASSERT_TRUE(store().Save(kApp, "Race", "before", "kept"));
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(start[1]);
      char ignored;
      (void)!read(start[0], &ignored, 1);  // wait until every writer is ready
      IniSettingsStore writer(home_);
      bool ok = true;
      for (int i = 0; i < kSaves; ++i) {
        const std::string name = "p" + std::to_string(p) + "_" + std::to_string(i);
        ok = writer.Save(kApp, "Race", name, std::to_string(i * 7)) && ok;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  close(start[0]);
  close(start[1]);  // releases the writers together
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
  }
  int missing = 0;
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kSaves; ++i) {
      const std::string name = "p" + std::to_string(p) + "_" + std::to_string(i);
      if (Read("Race", name) != std::to_string(i * 7)) ++missing;
    }
  }
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(Read("Race", "before"), "kept");
}

// --- The in-memory store other tests use.

TEST(MemorySettingsStoreTest, FollowsTheNameRulesAndListsWrites) {
  MemorySettingsStore store;
  ASSERT_TRUE(store.Save("App", "Sound", "Volume", "3"));
  EXPECT_EQ(store.Read("App", "SOUND", "volume"), "3");
  EXPECT_EQ(store.Read("app", "Sound", "Volume"), "");
  EXPECT_FALSE(store.Save("App", "Sou]nd", "Volume", "3"));
  EXPECT_FALSE(store.Save("a/b", "Sound", "Volume", "3"));
  ASSERT_TRUE(store.Delete("App", "sound", "VOLUME"));
  EXPECT_EQ(store.Read("App", "Sound", "Volume"), "");
  EXPECT_EQ(store.Size(), 0u);
  using Write = MemorySettingsStore::Write;
  EXPECT_EQ(store.writes, (std::vector<Write>{{"App", "Sound", "Volume", "3"},
                                              {"App", "sound", "VOLUME", std::nullopt}}));
}

TEST(MemorySettingsStoreTest, SwitchesMakeCallsFail) {
  MemorySettingsStore store;
  store.Set("App", "S", "k", "seeded");
  store.failReads = store.failSaves = store.failDeletes = true;
  EXPECT_EQ(store.Read("App", "S", "k"), std::nullopt);
  EXPECT_FALSE(store.Save("App", "S", "k", "new"));
  EXPECT_FALSE(store.Delete("App", "S", "k"));
  store.failReads = false;
  EXPECT_EQ(store.Read("App", "S", "k"), "seeded");
  EXPECT_TRUE(store.writes.empty());
  EXPECT_EQ(store.reads, 2);
}

}  // namespace
}  // namespace hw::platform
