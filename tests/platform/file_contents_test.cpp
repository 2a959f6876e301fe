#include "platform/file_contents.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <vector>

#include "support/temporary_folder.h"

namespace lumio {
namespace {

namespace fs = std::filesystem;

class FileContentsTest : public testing::Test {
 protected:
  void Write(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(test::WriteFile(path, bytes));
  }
  static std::string Read(const std::string& path) { return test::ReadFile(path); }
  // Every entry of `folder`, to prove that no temporary file was left behind.
  static std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  const test::TemporaryFolder folder_;
  const std::string root_ = folder_.Path();
};

TEST_F(FileContentsTest, ReadWholeFileTellsMissingFromUnreadable) {
  Write(root_ + "/data", std::string("a\0b", 3));
  fs::create_directory(root_ + "/folder");
  ASSERT_EQ(::mkfifo((root_ + "/pipe").c_str(), 0600), 0);
  struct Case {
    std::string path;
    ReadOutcome outcome;
  };
  const Case cases[] = {
      {root_ + "/data", ReadOutcome::Read},          {root_ + "/missing", ReadOutcome::Missing},
      {root_ + "/data/below", ReadOutcome::Missing}, {"", ReadOutcome::Missing},
      {root_ + "/folder", ReadOutcome::Unreadable},  {root_ + "/pipe", ReadOutcome::Unreadable},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadWholeFile(c.path).outcome, c.outcome) << c.path;
    EXPECT_EQ(ReadRegularFile(c.path, 2).outcome, c.outcome) << c.path;
    // A copy takes what a read takes, and leaves its target alone otherwise.
    Write(root_ + "/copy", "old");
    std::string error;
    EXPECT_EQ(CopyRegularFile(c.path, root_ + "/copy", error), c.outcome == ReadOutcome::Read);
    EXPECT_EQ(Read(root_ + "/copy"), c.outcome == ReadOutcome::Read ? Read(c.path) : "old");
  }
  EXPECT_EQ(ReadWholeFile(root_ + "/data").bytes, std::string("a\0b", 3));
  // A bounded read stops at the bound and tells the whole length.
  const FileContents head = ReadRegularFile(root_ + "/data", 2);
  EXPECT_EQ(head.bytes, std::string("a\0", 2));
  EXPECT_EQ(head.size, 3u);
}

TEST_F(FileContentsTest, ReplaceCreatesFoldersAndKeepsPermissions) {
  const std::string path = root_ + "/x/y/settings.ini";
  ASSERT_TRUE(ReplaceFileAtomically(path, "first"));
  EXPECT_EQ(Read(path), "first");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(ReplaceFileAtomically(path, "second"));
  EXPECT_EQ(Read(path), "second");
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(root_ + "/x/y"), std::vector<std::string>{"settings.ini"});
}

TEST_F(FileContentsTest, NewFileIsReadableByItsOwnerWhateverTheOldModeWas) {
  struct Case {
    mode_t oldMode;
    bool moveAside;
    mode_t newMode;
  };
  const Case cases[] = {
      {0640, false, 0640}, {0604, false, 0604}, {0000, true, 0600},
      {0070, true, 0670},  {0444, true, 0644},
  };
  const std::string path = root_ + "/settings.ini";
  for (const Case& c : cases) {
    Write(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), c.oldMode), 0);
    ASSERT_TRUE(ReplaceFileAtomically(path, "new", c.moveAside ? path + ".aside" : ""));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, c.newMode) << std::oct << c.oldMode;
    fs::remove(path + ".aside");
  }
}

TEST_F(FileContentsTest, MovingAsideTakesTheFirstFreeNameAndKeepsEarlierOnes) {
  const std::string path = root_ + "/settings.ini";
  Write(path + ".aside", "first");
  Write(path + ".aside.1", "second");
  Write(path, "third");
  EXPECT_EQ(FreeMoveAsideName(path + ".aside"), path + ".aside.2");
  ASSERT_TRUE(ReplaceFileAtomically(path, "new", path + ".aside"));
  EXPECT_EQ(Read(path + ".aside"), "first");
  EXPECT_EQ(Read(path + ".aside.1"), "second");
  EXPECT_EQ(Read(path + ".aside.2"), "third");
  EXPECT_EQ(Read(path), "new");
}

// The id of a process that has ended and been reaped.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST_F(FileContentsTest, ReplaceRemovesOnlyTheTemporaryFilesOfEndedSaves) {
  const std::string ended = std::to_string(EndedProcess());
  const std::string running = std::to_string(::getpid());
  struct Case {
    std::string name;
    bool kept;
  };
  const Case cases[] = {
      {"settings.ini.tmp-" + ended + "-3", false},
      {"settings.ini.tmp-" + running + "-1", true},
      {"settings.ini.tmp-1-1", true},  // init: always running
      {"other.ini.tmp-" + ended + "-1", true},
      {"settings.ini.tmp-" + ended + "-x", true},
      {"settings.ini.tmp-" + ended, true},
      {"settings.ini.tmp-0-1", true},
      {"settings.ini.tmp--1-1", true},
      {"settings.ini.tmp-99999999999-1", true},
      {"xsettings.ini.tmp-" + ended + "-1", true},
  };
  for (const Case& c : cases) Write(root_ + "/" + c.name, "left over");
  ASSERT_TRUE(ReplaceFileAtomically(root_ + "/settings.ini", "new"));
  for (const Case& c : cases) EXPECT_EQ(fs::exists(root_ + "/" + c.name), c.kept) << c.name;
}

TEST_F(FileContentsTest, ReplaceThroughSymbolicLinkKeepsTheLink) {
  Write(root_ + "/real.ini", "old");
  fs::create_symlink(root_ + "/real.ini", root_ + "/link.ini");
  ASSERT_TRUE(ReplaceFileAtomically(root_ + "/link.ini", "new"));
  EXPECT_TRUE(fs::is_symlink(root_ + "/link.ini"));
  EXPECT_EQ(Read(root_ + "/real.ini"), "new");
}

TEST_F(FileContentsTest, FailedWriteKeepsTheOldFileWhole) {
  const std::string path = root_ + "/settings.ini";
  Write(path, "old contents");
  // A file-size limit makes the write fail like a full disk does, also for root.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool replaced = ReplaceFileAtomically(path, std::string(1000, 'n'));
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);

  EXPECT_FALSE(replaced);
  EXPECT_EQ(Read(path), "old contents");
  EXPECT_EQ(Entries(root_), std::vector<std::string>{"settings.ini"});
}

}  // namespace
}  // namespace lumio
