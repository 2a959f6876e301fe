#include "ui/all_tags_window.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

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
