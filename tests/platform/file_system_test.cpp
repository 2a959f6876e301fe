#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/scoped_environment.h"
#include "support/temporary_folder.h"

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
