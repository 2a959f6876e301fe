#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/scoped_environment.h"
#include "support/temporary_folder.h"
#include "support/without_root.h"

namespace lumio {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("file.txt", "x");
    ASSERT_TRUE(fs::create_directory(root_ + "/folder"));
  }

  const test::TemporaryFolder folder_;
  const std::string root_ = folder_.Path();
};

TEST_F(FileSystemTest, TellsFilesFromFolders) {
  struct Case {
    std::string path;
    bool file;
    bool folder;
  };
  const Case cases[] = {
      {root_ + "/file.txt", true, false},    {root_ + "/folder", false, true},
      {root_ + "/folder/", false, true},     {root_ + "/missing", false, false},
      {root_ + "/file.txt/x", false, false}, {"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileExists(c.path), c.file) << c.path;
    EXPECT_EQ(FolderExists(c.path), c.folder) << c.path;
  }
}

TEST_F(FileSystemTest, CreateFolderMakesOneLevelAndTreeMakesParents) {
  EXPECT_TRUE(CreateFolder(root_ + "/new"));
  EXPECT_FALSE(CreateFolder(root_ + "/folder"));
  EXPECT_FALSE(CreateFolder(root_ + "/missing/child"));
  EXPECT_FALSE(CreateFolder(""));
  EXPECT_TRUE(CreateFolderTree(root_ + "/a/b/c/"));
  EXPECT_TRUE(FolderExists(root_ + "/a/b/c"));
  EXPECT_TRUE(CreateFolderTree(root_ + "/folder"));
  EXPECT_FALSE(CreateFolderTree(root_ + "/file.txt/x/y"));
  EXPECT_FALSE(CreateFolderTree(""));
}

// Files another user owns in a sticky folder cannot be replaced; checked as a user whom
// permissions bind, over files and a folder that root owns.
TEST_F(FileSystemTest, OtherUsersFilesInAStickyFolderAreKnown) {
  if (!test::RunningAsRoot()) GTEST_SKIP() << "needs root to make another user's files";
  ASSERT_TRUE(fs::create_directory(root_ + "/shared"));
  std::ofstream(root_ + "/shared/theirs.ogg") << "x";
  std::ofstream(root_ + "/shared/mine.ogg") << "x";
  ASSERT_EQ(
      ::chown((root_ + "/shared/mine.ogg").c_str(), test::kUnprivilegedId, test::kUnprivilegedId),
      0);
  fs::permissions(root_ + "/shared", fs::perms::all | fs::perms::sticky_bit);
  fs::permissions(root_, fs::perms::all);
  const auto seen = test::RunWithoutRoot([&] {
    std::string answers;
    for (const char* name : {"theirs.ogg", "mine.ogg", "missing.ogg"}) {
      answers += IsOtherUsersFileInStickyFolder(root_ + "/shared/" + name) ? "1" : "0";
    }
    return answers;
  });
  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(*seen, "100");
}

TEST_F(FileSystemTest, FindOnSearchPathTakesTheFirstExecutable) {
  fs::create_directory(root_ + "/plain");
  fs::create_directory(root_ + "/bin");
  std::ofstream(root_ + "/plain/tool") << "not executable";
  std::ofstream(root_ + "/bin/tool") << "#!/bin/sh\n";
  fs::permissions(root_ + "/bin/tool", fs::perms::owner_all);
  test::ScopedEnvironment environment;
  environment.Set("PATH", root_ + "/missing:" + root_ + "/plain:" + root_ + "/bin");

  EXPECT_EQ(FindOnSearchPath("tool"), root_ + "/bin/tool");
  EXPECT_EQ(FindOnSearchPath("absent"), "");
}

}  // namespace
}  // namespace lumio
