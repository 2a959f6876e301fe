#include "ui/folder_view.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>

namespace lumio {
namespace {

TEST(FolderViewTest, ChangesOnlyForAnotherTextOfAnExistingFolder) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const std::string root = temp.path().toStdString();
  std::filesystem::create_directories(root + "/Music/inner");
  std::filesystem::create_directories(root + "/music");

  FolderView view;
  view.SetDirectory(root + "/Music");
  int changes = 0;
  QObject::connect(&view, &FolderView::DirectoryChanged, [&changes] { ++changes; });

  struct Case {
    std::string path;
    std::string expectedDirectory;
    int expectedChanges;
  };
  const Case cases[] = {
      {root + "/Music", root + "/Music", 0},    // the same text: nothing
      {root + "/Music/", root + "/Music", 1},   // trailing separator: re-read and told
      {root + "/music", root + "/music", 2},    // letter case makes another folder
      {root + "/missing", root + "/music", 2},  // no such folder: ignored
      {"/", "/", 3},                            // the root keeps its separator
  };
  for (const Case& c : cases) {
    view.SetDirectory(c.path);
    EXPECT_EQ(view.Directory(), c.expectedDirectory) << c.path;
    EXPECT_EQ(changes, c.expectedChanges) << c.path;
  }
}

TEST(FolderViewTest, ListsTheChainDownToTheFolderThenItsSubfoldersAndOpensThem) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const std::string root = temp.path().toStdString();
  std::filesystem::create_directories(root + "/b");
  std::filesystem::create_directories(root + "/a");
  FolderView view;
  view.SetDirectory(root);

  const int depth = static_cast<int>(std::count(root.begin(), root.end(), '/'));
  ASSERT_EQ(view.count(), depth + 1 + 2);
  EXPECT_EQ(view.item(0)->text().trimmed(), QStringLiteral("/"));
  EXPECT_EQ(view.item(depth + 1)->text().trimmed(), QStringLiteral("a"));
  EXPECT_EQ(view.item(depth + 2)->text().trimmed(), QStringLiteral("b"));

  emit view.itemActivated(view.item(depth + 2));
  EXPECT_EQ(view.Directory(), root + "/b");
  emit view.itemActivated(view.item(0));
  EXPECT_EQ(view.Directory(), "/");
}

}  // namespace
}  // namespace lumio
