#include "ui/all_tags_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "core/settings_store.h"
#include "support/find_control.h"
#include "support/image_bytes.h"
#include "support/print_carried_field.h"
#include "support/scripted_dialogs.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

using Fields = std::vector<CarriedField>;

class AllTagsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.wav", "b.wav"}) {
      const std::string path = folder_.Write(name, test::SilentWave(400));
      ASSERT_TRUE(jobs_.AddReadSource(path, ReadSource(path, NativePathRules()), settings_,
                                      folder_.Path() + "/", {}));
    }
    jobs_.ApplyTag(TagField::Title, "A", {0});
    jobs_.ApplyTag(TagField::Title, "B", {1});
    jobs_.ApplyTag(TagField::Artist, "Same", {0, 1});
    jobs_.EditRecords({0}, [](FileData& record) {
      record.Carried.Fields = {{"GENRE", "Rock"}, {"MOOD", "calm"}, {"GENRE", "Pop"}};
    });
    CarriedPicture big;
    big.Size = 5 << 20;
    big.ImagePath = folder_.Path() + "/big.jpg";
    jobs_.EditRecords({1}, [&big](FileData& record) {
      record.Carried.Fields = {{"GENRE", "Rock"}, {"MOOD", "loud"}};
      record.Carried.Pictures = {big};
      record.Carried.LeftOut = {"TXXX"};
    });
  }
  void TearDown() override { EXPECT_TRUE(dialogs_.AllAnswersUsed()); }

  std::unique_ptr<TAllTagsWindow> Open(Selection selection) {
    return std::make_unique<TAllTagsWindow>(nullptr, jobs_, std::move(selection), CarryOptions{},
                                            dialogs_);
  }

  static QStringList Column(const QTableWidget& table, int column) {
    QStringList texts;
    for (int row = 0; row < table.rowCount(); ++row) texts << table.item(row, column)->text();
    return texts;
  }

  const test::TemporaryFolder folder_;
  SettingsStore settings_{folder_.Path() + "/lumio.ini"};
  JobListModel jobs_;
  test::ScriptedDialogs dialogs_;
};

// Two entries: the six first, then each name's occurrences; a row where they differ is
// marked and changed only when edited.
TEST_F(AllTagsWindowTest, SeveralEntriesChangeOnlyTheRowsEdited) {
  auto window = Open({0, 1});
  auto& table = test::Control<QTableWidget>(*window, "FieldTable");
  EXPECT_EQ(Column(table, 0), (QStringList{"TITLE", "ARTIST", "ALBUM", "DATE", "TRACKNUMBER",
                                           "COMMENT", "GENRE", "MOOD", "GENRE"}));
  EXPECT_EQ(Column(table, 1), (QStringList{"(複数の値)", "Same", "", "", "", "", "Rock",
                                           "(複数の値)", "(複数の値)"}));
  EXPECT_FALSE(test::Control<QPushButton>(*window, "SetPicture").isEnabled());
  // The six say where they are edited.
  for (int row = 0; row < 6; ++row) {
    EXPECT_EQ(table.item(row, 1)->toolTip(),
              QStringLiteral("この項目はメインウィンドウで編集します"));
    EXPECT_FALSE(table.item(row, 1)->flags() & Qt::ItemIsEditable);
  }
  const QListWidget& leftOut = test::Control<QListWidget>(*window, "LeftOutList");
  ASSERT_EQ(leftOut.count(), 2);
  EXPECT_TRUE(leftOut.item(0)->text().contains("TXXX"));
  EXPECT_TRUE(leftOut.item(1)->text().contains("4096 KB"));

  table.item(7, 1)->setText("still");  // MOOD, edited for both
  table.setCurrentCell(6, 0);          // the first GENRE goes
  test::Control<QPushButton>(*window, "RemoveField").click();
  test::Control<QPushButton>(*window, "AddField").click();
  table.item(table.rowCount() - 1, 0)->setText("lyrics");
  table.item(table.rowCount() - 1, 1)->setText("la");
  QSignalSpy accepted(window.get(), &QDialog::accepted);
  test::Control<QPushButton>(*window, "AllTagsOk").click();
  EXPECT_EQ(accepted.count(), 1);
  EXPECT_EQ(jobs_.Jobs().Record(0).Carried.Fields,
            (Fields{{"MOOD", "still"}, {"GENRE", "Pop"}, {"LYRICS", "la"}}));
  EXPECT_EQ(jobs_.Jobs().Record(1).Carried.Fields, (Fields{{"MOOD", "still"}, {"LYRICS", "la"}}));
  EXPECT_EQ(jobs_.Jobs().Record(1).Carried.Pictures.size(), 1u);
}

// Enter ends an edit and nothing more; once no edit is open, it presses OK. 追加 never
// leaves two empty rows.
TEST_F(AllTagsWindowTest, EnterEndsTheEditAndThenPressesOk) {
  auto window = Open({0});
  auto& table = test::Control<QTableWidget>(*window, "FieldTable");
  auto& add = test::Control<QPushButton>(*window, "AddField");
  // Shown, as a dialog picks its default button then.
  window->show();
  const int rows = table.rowCount();
  const auto typeAndEnter = [&](const QString& text) {
    auto* editor = table.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return table.indexWidget(table.currentIndex()) == nullptr; }));
  };
  QSignalSpy accepted(window.get(), &QDialog::accepted);
  table.setCurrentCell(7, 1);  // MOOD
  table.editItem(table.item(7, 1));
  typeAndEnter("quiet");
  EXPECT_EQ(table.rowCount(), rows);
  add.click();
  add.click();
  EXPECT_EQ(table.rowCount(), rows + 1);
  typeAndEnter("lyrics");
  EXPECT_EQ(table.rowCount(), rows + 1);
  EXPECT_EQ(accepted.count(), 0);
  EXPECT_TRUE(test::Control<QPushButton>(*window, "AllTagsOk").isDefault());
  QTest::keyClick(&table, Qt::Key_Return);
  EXPECT_EQ(accepted.count(), 1);
  EXPECT_EQ(jobs_.Jobs().Record(0).Carried.Fields,
            (Fields{{"GENRE", "Rock"}, {"MOOD", "quiet"}, {"GENRE", "Pop"}, {"LYRICS", ""}}));
}

// Several entries show the pictures they all hold, and "(複数の値)" for the others.
TEST_F(AllTagsWindowTest, SeveralEntriesShowThePicturesTheyShare) {
  CarriedPicture front;
  front.Size = 2048;
  CarriedPicture back = front;
  back.Type = 4;
  CarriedPicture otherFront = front;
  otherFront.Size = 4096;
  struct Row {
    std::vector<CarriedPicture> first, second;
    QStringList shown;
  };
  const Row rows[] = {
      {{}, {front}, {"(複数の値)"}},
      {{front, back}, {back, front}, {"表紙    2 KB", "裏表紙    2 KB"}},
      {{front, back}, {front}, {"表紙    2 KB", "(複数の値)"}},
      {{front}, {otherFront}, {"(複数の値)"}},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    jobs_.EditRecords({0}, [&](FileData& record) { record.Carried.Pictures = rows[i].first; });
    jobs_.EditRecords({1}, [&](FileData& record) { record.Carried.Pictures = rows[i].second; });
    auto window = Open({0, 1});
    const auto& list = test::Control<QListWidget>(*window, "PictureList");
    QStringList shown;
    for (int row = 0; row < list.count(); ++row) shown << list.item(row)->text();
    EXPECT_EQ(shown, rows[i].shown);
  }
}

TEST_F(AllTagsWindowTest, ABadNameIsRefusedAndNothingChanges) {
  auto window = Open({0});
  auto& table = test::Control<QTableWidget>(*window, "FieldTable");
  test::Control<QPushButton>(*window, "AddField").click();
  table.item(table.rowCount() - 1, 0)->setText("A=B");
  dialogs_.Queue(test::ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  QSignalSpy accepted(window.get(), &QDialog::accepted);
  test::Control<QPushButton>(*window, "AllTagsOk").click();
  EXPECT_EQ(accepted.count(), 0);
  ASSERT_EQ(dialogs_.Prompts().size(), 1u);
  EXPECT_TRUE(dialogs_.Prompts()[0].text.contains("A=B"));
  EXPECT_EQ(jobs_.Jobs().Record(0).Carried.Fields.size(), 3u);
}

TEST_F(AllTagsWindowTest, OneEntrysPicturesAreRemovedOrSetFromAFile) {
  const std::string image = folder_.Write("front.png", test::PngBytes(1));
  auto window = Open({1});
  auto& pictures = test::Control<QListWidget>(*window, "PictureList");
  ASSERT_EQ(pictures.count(), 1);
  dialogs_.Queue(test::ScriptedDialogs::FileAnswer{QString::fromStdString(image)});
  test::Control<QPushButton>(*window, "SetPicture").click();
  // The file becomes the front cover, in place of the one there was.
  ASSERT_EQ(pictures.count(), 1);
  test::Control<QPushButton>(*window, "AllTagsOk").click();
  const std::vector<CarriedPicture>& set = jobs_.Jobs().Record(1).Carried.Pictures;
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(set[0].ImagePath, image);
  EXPECT_EQ(set[0].Mime, "image/png");
  EXPECT_EQ(set[0].Size, 9u);

  auto again = Open({1});
  test::Control<QListWidget>(*again, "PictureList").setCurrentRow(0);
  test::Control<QPushButton>(*again, "RemovePicture").click();
  test::Control<QPushButton>(*again, "AllTagsOk").click();
  EXPECT_TRUE(jobs_.Jobs().Record(1).Carried.Pictures.empty());
}

// A file that is no image of the type its name says is refused; folder images refused
// when the entry was added are listed with their reason.
TEST_F(AllTagsWindowTest, APictureThatIsNoImageIsRefusedAndOneLeftOutIsListed) {
  jobs_.EditRecords({0}, [](FileData& record) {
    record.Carried.PicturesLeftOut = {"/music/cover.jpg (JPEG の画像ではありません)"};
  });
  const std::string text = folder_.Write("notes.png", "not a picture");
  auto window = Open({0});
  const QListWidget& leftOut = test::Control<QListWidget>(*window, "LeftOutList");
  ASSERT_EQ(leftOut.count(), 1);
  EXPECT_EQ(leftOut.item(0)->text(),
            QStringLiteral("a.ogg: /music/cover.jpg (JPEG の画像ではありません)"));
  dialogs_.Queue(test::ScriptedDialogs::FileAnswer{QString::fromStdString(text)});
  dialogs_.Queue(test::ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  test::Control<QPushButton>(*window, "SetPicture").click();
  ASSERT_EQ(dialogs_.Prompts().size(), 2u);  // the file, then the refusal
  EXPECT_EQ(dialogs_.Prompts()[1].kind, "message");
  EXPECT_TRUE(dialogs_.Prompts()[1].text.contains("PNG の画像ではありません"));
  EXPECT_EQ(test::Control<QListWidget>(*window, "PictureList").count(), 0);
}

}  // namespace
}  // namespace lumio
