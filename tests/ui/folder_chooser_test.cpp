#include "ui/folder_chooser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lumio {
namespace {

TEST(FolderChooserTest, OkTakesExistingFoldersAndCreatesMissingOnesOnlyAfterYes) {
  struct Case {
    const char* name;
    QString typed;      // "<root>" stands for the temporary folder
    bool treeSelected;  // whether the tree has the temporary folder selected
    bool answerYes;
    bool asked;
    bool failed;
    const char* result;  // relative to the temporary folder; nullptr: the chooser stays open
  };
  const Case cases[] = {
      {"existing folder typed", "<root>/here", true, false, false, false, "here"},
      {"nothing typed takes the tree's folder", "", true, false, false, false, ""},
      {"missing name created inside the selection", "new", true, true, true, false, "new"},
      {"missing parents created too", "<root>/a/b/c", true, true, true, false, "a/b/c"},
      {"No returns to the chooser", "<root>/later", true, false, true, false, nullptr},
      {"a file in the way is reported", "<root>/blocker/x", true, true, true, true, nullptr},
      {"a bare name with no selection is ignored", "new2", false, true, false, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(QDir(root.path()).mkdir("here"));
    QFile blocker(root.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    bool asked = false, failed = false;
    const FolderCreationPrompts prompts{[&] {
                                          asked = true;
                                          return c.answerYes;
                                        },
                                        [&] { failed = true; }};
    QString typed = c.typed;
    typed.replace("<root>", root.path());
    const auto chosen = AcceptTypedFolder(typed, c.treeSelected ? root.path() : QString(), prompts);

    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(failed, c.failed);
    if (c.result == nullptr) {
      EXPECT_FALSE(chosen.has_value());
      EXPECT_FALSE(QDir(root.filePath("later")).exists());
    } else {
      const QString expected = QDir::cleanPath(root.filePath(c.result));
      ASSERT_TRUE(chosen.has_value());
      EXPECT_EQ(*chosen, expected);
      EXPECT_TRUE(QDir(expected).exists());
    }
  }
}

}  // namespace
}  // namespace lumio
