#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace lumio {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "lumio-fs-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    std::ofstream(root_ + "/file.txt") << "x";
    ASSERT_TRUE(fs::create_directory(root_ + "/folder"));
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string root_;
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
  const char* oldPath = std::getenv("PATH");
  const std::string saved = oldPath != nullptr ? oldPath : "";
  ::setenv("PATH", (root_ + "/missing:" + root_ + "/plain:" + root_ + "/bin").c_str(), 1);

  EXPECT_EQ(FindOnSearchPath("tool"), root_ + "/bin/tool");
  EXPECT_EQ(FindOnSearchPath("absent"), "");

  ::setenv("PATH", saved.c_str(), 1);
}

}  // namespace
}  // namespace lumio
