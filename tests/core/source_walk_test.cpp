#include "core/source_walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/folder_tree.h"
#include "core/natural_order.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

TEST(NaturalOrder, ComparesDigitRunsByValue) {
  const std::vector<std::string> sorted = {
      "01 b.wav",     "1.wav",        "2.wav",       "10.wav", "A 2.wav", "a 10.wav",
      "disc1/09.wav", "disc1/10.wav", "disc2/1.wav", "track",  "track2"};
  for (std::size_t i = 0; i + 1 < sorted.size(); ++i) {
    EXPECT_TRUE(NaturalLess(sorted[i], sorted[i + 1])) << sorted[i] << " < " << sorted[i + 1];
    EXPECT_FALSE(NaturalLess(sorted[i + 1], sorted[i])) << sorted[i + 1];
  }
  EXPECT_FALSE(NaturalLess("same", "same"));
  // Equal by value, told apart by their bytes so that the order is total.
  EXPECT_NE(NaturalLess("a01", "a1"), NaturalLess("a1", "a01"));
}

TEST(FolderTree, OutputFolderIsTheRootThenTheAddedFolderAndThePathBelowIt) {
  const PathRules posix{PathStyle::Posix, CodePage::Utf8};
  const struct {
    const char* root;  // the output folder the usual rules give
    const char* added;
    const char* file;
    const char* expected;
  } cases[] = {
      {"/ogg/", "/music/Artist", "/music/Artist/Album/CD1/01.wav", "/ogg/Artist/Album/CD1/"},
      {"/ogg/", "/music/Artist", "/music/Artist/01.wav", "/ogg/Artist/"},
      {"/ogg", "/music/Artist/", "/music/Artist/Album/01.wav", "/ogg/Artist/Album/"},
      {"/ogg/", "/music/Artist//", "/music/Artist//CD2/01.wav", "/ogg/Artist/CD2/"},
      {"/ogg/", "/music/My Band", "/music/My Band/Live at 武道館/01 開演.wav",
       "/ogg/My Band/Live at 武道館/"},
      {"/出力/", "/音楽/歌手", "/音楽/歌手/アルバム 1/曲.flac", "/出力/歌手/アルバム 1/"},
      {"/ogg/", "/", "/Artist/Album/01.wav", "/ogg/Artist/Album/"},
      {"/ogg/", "/", "/01.wav", "/ogg/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    FileData record;
    record.OutputDir = c.root;
    record.OutputSubfolder = SubfolderInTree(c.added, c.file, posix);
    EXPECT_EQ(OutputFolderOf(record, posix), c.expected);
  }
  // Without a kept subfolder the folder stays exactly as stored.
  FileData plain;
  plain.OutputDir = "/ogg";
  EXPECT_EQ(OutputFolderOf(plain, posix), "/ogg");
}

class SourceWalkTest : public ::testing::Test {
 protected:
  // The folder can only be removed once it can be read again.
  void TearDown() override { ::chmod((root_ + "/music/locked").c_str(), 0700); }

  void Touch(const std::string& relative) {
    const std::filesystem::path path = root_ + "/" + relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "x";
  }

  std::vector<std::string> Walk(const std::vector<std::string>& given, bool takeAnyFile = false) {
    SourceWalk walk({PathStyle::Posix, CodePage::Utf8});
    walk.Append(given, takeAnyFile);
    std::vector<std::string> found;
    while (const auto item = walk.Next()) {
      found.push_back((item->unreadableFolder ? "!" : "") + item->path.substr(root_.size() + 1));
    }
    EXPECT_TRUE(walk.Done());
    return found;
  }

  const test::TemporaryFolder folder_;
  const std::string root_ = folder_.Path();
};

TEST_F(SourceWalkTest, FolderGivesItsSoundFilesInPathOrder) {
  for (const char* name : {"music/10.wav", "music/2.FLAC", "music/b/1.aif", "music/a/3.aiff",
                           "music/a/notes.txt", "music/.hidden.wav", "music/.cache/x.wav",
                           "music/c.aifc", "music/cover.jpg", "music/locked/x.wav"}) {
    Touch(name);
  }
  std::filesystem::create_directory_symlink(root_ + "/music", root_ + "/music/loop");
  std::filesystem::create_symlink(root_ + "/music/10.wav", root_ + "/music/link.wav");
  ASSERT_EQ(::chmod((root_ + "/music/locked").c_str(), 0), 0);
  const bool lockedIsReadable = ::geteuid() == 0;  // root reads any folder

  std::vector<std::string> expected = {"music/2.FLAC",  "music/10.wav", "music/a/3.aiff",
                                       "music/b/1.aif", "music/c.aifc", "music/link.wav"};
  expected.push_back(lockedIsReadable ? "music/locked/x.wav" : "!music/locked");
  EXPECT_EQ(Walk({root_ + "/music"}), expected);
}

TEST_F(SourceWalkTest, FilesOfAGivenFolderCarryTheirPlaceInIt) {
  Touch("b.wav");
  Touch("music/Artist/CD1/01.wav");
  Touch("music/Artist/CD2/01.wav");
  Touch("music/Artist/intro.wav");
  const std::string base = std::filesystem::path(root_).filename().string() + "/";
  const struct {
    std::vector<std::string> given;
    std::vector<std::string> subfolders;
  } cases[] = {
      {{root_ + "/b.wav", root_ + "/music/Artist"}, {"", "Artist/CD1/", "Artist/CD2/", "Artist/"}},
      // "." names no folder of its own: the real folder's name stands for it.
      {{root_ + "/music/Artist/."}, {"Artist/CD1/", "Artist/CD2/", "Artist/"}},
      {{root_ + "/music/Artist/CD1/.."}, {"Artist/CD1/", "Artist/CD2/", "Artist/"}},
      // A trailing separator changes nothing.
      {{root_ + "/"},
       {base, base + "music/Artist/CD1/", base + "music/Artist/CD2/", base + "music/Artist/"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given.back());
    SourceWalk walk({PathStyle::Posix, CodePage::Utf8});
    walk.Append(c.given, false);
    std::vector<std::string> subfolders;
    while (const auto item = walk.Next()) subfolders.push_back(item->subfolder);
    EXPECT_EQ(subfolders, c.subfolders);
  }
}

TEST_F(SourceWalkTest, GivenPathsKeepTheirOrderAndOnlyTheDialogTakesOtherFiles) {
  Touch("b.wav");
  Touch("a.txt");
  Touch("d/1.flac");
  EXPECT_EQ(Walk({root_ + "/b.wav", root_ + "/a.txt", root_ + "/d", root_ + "/gone.wav"}),
            (std::vector<std::string>{"b.wav", "d/1.flac", "gone.wav"}));
  EXPECT_EQ(Walk({root_ + "/a.txt"}, true), (std::vector<std::string>{"a.txt"}));
}

}  // namespace
}  // namespace lumio
