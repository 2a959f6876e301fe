#include "ui/folder_chooser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "support/scripted_dialogs.h"

namespace lumio {
namespace {

using test::ScriptedDialogs;

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

    ScriptedDialogs dialogs;
    std::vector<std::string> expectedPrompts;
    if (c.asked) {
      dialogs.Queue(
          ScriptedDialogs::MessageAnswer{c.answerYes ? DialogAnswer::Ok : DialogAnswer::Cancel});
      expectedPrompts.push_back("確認 指定されたディレクトリが存在しません。作成しますか？");
    }
    if (c.failed) {
      dialogs.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
      expectedPrompts.push_back("エラー \n作成できませんでした");
    }
    QString typed = c.typed;
    typed.replace("<root>", root.path());
    const auto chosen = AcceptTypedFolder(typed, c.treeSelected ? root.path() : QString(), dialogs);

    std::vector<std::string> prompts;
    for (const ScriptedDialogs::Prompt& prompt : dialogs.Prompts()) {
      prompts.push_back((prompt.title + " " + prompt.text).toStdString());
    }
    EXPECT_EQ(prompts, expectedPrompts);
    EXPECT_TRUE(dialogs.AllAnswersUsed());
    if (c.asked) {
      EXPECT_EQ(dialogs.Prompts().front().buttons, MessageButtons::YesNo);
    }
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
