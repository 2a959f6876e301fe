#include "ui/setup_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <memory>

#include "core/settings_store.h"
#include "support/find_control.h"
#include "support/scripted_dialogs.h"

namespace lumio {
namespace {

using test::ScriptedDialogs;

enum class OutputGroup { Neither, BesideInput, StandardFolder, Mixed };
enum class EncoderGroup { Off, OnEditable, OnPicked, OnBrowseCancelled, Mixed };

bool WindowColoured(const QLineEdit& field) {
  return field.palette().color(QPalette::Base) ==
         QApplication::palette().color(QPalette::Active, QPalette::Base);
}

bool ButtonFaceColoured(const QLineEdit& field) {
  return field.palette().color(QPalette::Base) ==
         QApplication::palette().color(QPalette::Active, QPalette::Button);
}

// Which row of the output-folder state table the controls match, all columns checked.
OutputGroup OutputState(const TSetupWindow& w) {
  const bool fieldOff = !test::Control<QLineEdit>(w, "StdOutputDir").isEnabled() &&
                        test::Control<QLineEdit>(w, "StdOutputDir").isReadOnly() &&
                        ButtonFaceColoured(*&test::Control<QLineEdit>(w, "StdOutputDir")) &&
                        !test::Control<QPushButton>(w, "ChoiseStdOutDir").isEnabled();
  const bool fieldOn = test::Control<QLineEdit>(w, "StdOutputDir").isEnabled() &&
                       !test::Control<QLineEdit>(w, "StdOutputDir").isReadOnly() &&
                       WindowColoured(*&test::Control<QLineEdit>(w, "StdOutputDir")) &&
                       test::Control<QPushButton>(w, "ChoiseStdOutDir").isEnabled();
  const bool same = test::Control<QCheckBox>(w, "SameOutput").isChecked(),
             sameOn = test::Control<QCheckBox>(w, "SameOutput").isEnabled();
  const bool useStd = test::Control<QCheckBox>(w, "UseStdOutput").isChecked(),
             stdOn = test::Control<QCheckBox>(w, "UseStdOutput").isEnabled();
  if (sameOn && !same && stdOn && !useStd && fieldOff) return OutputGroup::Neither;
  if (sameOn && same && !stdOn && !useStd && fieldOff) return OutputGroup::BesideInput;
  if (!sameOn && !same && stdOn && useStd && fieldOn) return OutputGroup::StandardFolder;
  return OutputGroup::Mixed;
}

EncoderGroup EncoderState(const TSetupWindow& w) {
  const QLineEdit& f = *&test::Control<QLineEdit>(w, "EncoderPlace");
  const bool browse = test::Control<QPushButton>(w, "ChoiseEncoderPlace").isEnabled();
  if (!test::Control<QCheckBox>(w, "SetEncoderPlace").isChecked()) {
    return !f.isEnabled() && f.isReadOnly() && ButtonFaceColoured(f) && !browse
               ? EncoderGroup::Off
               : EncoderGroup::Mixed;
  }
  if (f.isEnabled() && WindowColoured(f) && browse) {
    return f.isReadOnly() ? EncoderGroup::OnPicked : EncoderGroup::OnEditable;
  }
  return !f.isEnabled() && ButtonFaceColoured(f) && !browse ? EncoderGroup::OnBrowseCancelled
                                                            : EncoderGroup::Mixed;
}

class SetupWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
  void TearDown() override { EXPECT_TRUE(dialogs_.AllAnswersUsed()); }

  QString SettingsPath() const { return folder_.filePath("lumio.ini"); }
  void WriteSettings(const QByteArray& text) {
    QFile file(SettingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  QByteArray FileBytes() const {
    QFile file(SettingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
  }
  // Opens the store and creates the window, which loads it at once.
  std::unique_ptr<TSetupWindow> Open(const QString& path = {}) {
    store_ =
        std::make_unique<SettingsStore>((path.isEmpty() ? SettingsPath() : path).toStdString());
    return std::make_unique<TSetupWindow>(nullptr, *store_, dialogs_);
  }
  std::int32_t Stored(const char* section, const char* key) {
    return SettingsStore(SettingsPath().toStdString()).ReadInteger(section, key, -999);
  }

  QTemporaryDir folder_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<SettingsStore> store_;
};

TEST_F(SetupWindowTest, FreshSaveWritesEveryKeyInOrder) {
  auto window = Open();
  test::Control<QPushButton>(*window, "SetupWindowClose").click();
  EXPECT_EQ(FileBytes(),
            "[Options]\r\nSameOutPut=0\r\nUseStdOutput=0\r\nStdOutputDir=\r\nViewCheck=0\r\n"
            "SetEncoderPlace=0\r\nEncoderPlace=\r\nEncodePriority=1\r\n\r\n"
            "[EncodeOption]\r\nMaximumBitrate=0\r\nNominalBitrate=0\r\nMinimumBitrate=0\r\n"
            "Quality=30\r\nUseOption=3\r\n\r\n");
  EXPECT_EQ(test::Control<QLineEdit>(*window, "QualityView").text(), "3.0");
}

TEST_F(SetupWindowTest, PageControlsNeitherOverlapNorLeaveTheirParentAndListsShowTheirItems) {
  auto window = Open();
  window->show();
  for (QWidget* parent : {static_cast<QWidget*>(&test::Control<QWidget>(*window, "TabSheet1")),
                          static_cast<QWidget*>(&test::Control<QWidget>(*window, "TabSheet2")),
                          static_cast<QWidget*>(&test::Control<QGroupBox>(*window, "GroupBox2")),
                          static_cast<QWidget*>(&test::Control<QWidget>(*window, "FormatSheet")),
                          static_cast<QWidget*>(&test::Control<QGroupBox>(*window, "OpusGroup"))}) {
    const QList<QWidget*> controls =
        parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < controls.size(); ++i) {
      SCOPED_TRACE(controls[i]->metaObject()->className());
      if (!controls[i]->isVisibleTo(parent)) continue;
      EXPECT_TRUE(parent->rect().contains(controls[i]->geometry()));
      // A closed list shows its longest item whole.
      if (const auto* list = qobject_cast<const QComboBox*>(controls[i])) {
        EXPECT_GE(list->width(), list->sizeHint().width()) << list->objectName().toStdString();
      }
      for (qsizetype j = i + 1; j < controls.size(); ++j) {
        if (controls[j]->isVisibleTo(parent)) {
          EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
              << controls[i]->objectName().toStdString() << " "
              << controls[j]->objectName().toStdString();
        }
      }
    }
  }
}

TEST_F(SetupWindowTest, CancelKeepsWhatApplyWroteAndTheNextShowingDiscardsTheEdits) {
  WriteSettings("[Options]\r\nViewCheck=1\r\n[EncodeOption]\r\nQuality=45\r\n");
  auto window = Open();
  window->show();
  test::Control<QSlider>(*window, "Quality").setValue(70);
  test::Control<QPushButton>(*window, "ChangeOption").click();
  const QByteArray applied = FileBytes();
  EXPECT_TRUE(window->isVisible());
  test::Control<QCheckBox>(*window, "ViewCheck").setChecked(false);
  test::Control<QSlider>(*window, "Quality").setValue(80);
  test::Control<QComboBox>(*window, "EncodePriority").setCurrentIndex(3);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &escape);  // Esc is no cancel button here
  EXPECT_TRUE(window->isVisible());
  test::Control<QPushButton>(*window, "SetupWindowCancel").click();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(FileBytes(), applied);
  EXPECT_EQ(Stored("EncodeOption", "Quality"), 70);

  window->show();
  EXPECT_TRUE(test::Control<QCheckBox>(*window, "ViewCheck").isChecked());
  EXPECT_EQ(test::Control<QSlider>(*window, "Quality").value(), 70);
  EXPECT_EQ(test::Control<QComboBox>(*window, "EncodePriority").currentIndex(), 1);
}

TEST_F(SetupWindowTest, StoredValuesAreLimitedToWhatTheControlsHold) {
  struct Case {
    const char* line;
    const char* key;
    std::int32_t saved;
    const char* qualityView;  // after the showing
  };
  const Case cases[] = {
      {"Quality=0", "Quality", 0, "0.0"},
      {"Quality=45", "Quality", 45, "4.5"},
      {"Quality=100", "Quality", 100, "10.0"},
      {"Quality=150", "Quality", 100, "10.0"},
      {"Quality=-5", "Quality", 0, "0.0"},
      {"EncodePriority=7", "EncodePriority", -1, "3.0"},
      {"EncodePriority=-3", "EncodePriority", -1, "3.0"},
      {"EncodePriority=3", "EncodePriority", 3, "3.0"},
      {"MaximumBitrate=13", "MaximumBitrate", -1, "3.0"},
      {"NominalBitrate=12", "NominalBitrate", 12, "3.0"},
      {"UseOption=2", "UseOption", 2, "3.0"},
      {"UseOption=1", "UseOption", 1, "3.0"},
      {"UseOption=9", "UseOption", 3, "3.0"},
      {"ParallelEncoders=4", "ParallelEncoders", 4, "3.0"},
      {"ParallelEncoders=40", "ParallelEncoders", 16, "3.0"},
      {"ParallelEncoders=0", "ParallelEncoders", 1, "3.0"},
      {"KeepFolderTree=1", "KeepFolderTree", 1, "3.0"},
      {"ExistingOutput=1", "ExistingOutput", 1, "3.0"},
      {"ExistingOutput=2", "ExistingOutput", 2, "3.0"},
      {"ExistingOutput=9", "ExistingOutput", 0, "3.0"},
      {"ReplayGain=2", "ReplayGain", 2, "3.0"},
      {"ReplayGain=5", "ReplayGain", 0, "3.0"},
      {"VerifyOutputs=1", "VerifyOutputs", 1, "3.0"},
      {"KeepGoing=1", "KeepGoing", 1, "3.0"},
      {"OutputFormat=1", "OutputFormat", 1, "3.0"},
      {"OutputFormat=7", "OutputFormat", 0, "3.0"},
      {"OpusBitrate=96", "OpusBitrate", 96, "3.0"},
      {"OpusBitrate=300", "OpusBitrate", 256, "3.0"},
      {"OpusBitrate=2", "OpusBitrate", 6, "3.0"},
      {"OpusMode=2", "OpusMode", 2, "3.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const QByteArray key(c.key);
    const QByteArray section =
        key == "EncodePriority" || key == "ParallelEncoders" || key == "KeepFolderTree" ||
                key == "ExistingOutput" || key == "ReplayGain" || key == "VerifyOutputs" ||
                key == "KeepGoing" || key.startsWith("Output") || key.startsWith("Opus")
            ? "Options"
            : "EncodeOption";
    WriteSettings("[" + section + "]\r\n" + c.line + "\r\n");
    auto window = Open();
    window->show();
    EXPECT_EQ(test::Control<QLineEdit>(*window, "QualityView").text(), c.qualityView);
    test::Control<QPushButton>(*window, "ChangeOption").click();
    EXPECT_EQ(Stored(section.constData(), c.key), c.saved);
  }
}

TEST_F(SetupWindowTest, OpusOptionsAreShownOnlyWhileOpusIsChosen) {
  WriteSettings("[Options]\r\nOutputFormat=1\r\n");
  auto window = Open();
  window->show();
  const auto& page = test::Control<QWidget>(*window, "FormatSheet");
  const auto& opus = test::Control<QGroupBox>(*window, "OpusGroup");
  EXPECT_TRUE(opus.isVisibleTo(&page));
  test::Control<QComboBox>(*window, "OutputFormat").setCurrentIndex(0);
  EXPECT_FALSE(opus.isVisibleTo(&page));
  test::Control<QComboBox>(*window, "OutputFormat").setCurrentIndex(1);
  EXPECT_TRUE(opus.isVisibleTo(&page));
}

// The page タグ: pictures go only where the tags go, so their controls follow 元のタグを引き継ぐ;
// what is stored comes back and is saved as shown.
TEST_F(SetupWindowTest, CarryControlsFollowTheirSettings) {
  const struct {
    const char* lines;
    bool tags, pictures, picturesEnabled;
    int limit;
    bool splitCue = true;
    int copyLossy = -999;  // as stored; checked unless absent or 0
  } cases[] = {
      {"", true, true, true, 4096},
      {"CarryTags=0\r\n", false, true, false, 4096},
      {"CarryPictures=0\r\nPictureLimitKB=100\r\n", true, false, true, 100},
      {"PictureLimitKB=999999\r\n", true, true, true, 16384},
      {"SplitEmbeddedCue=0\r\n", true, true, true, 4096, false},
      {"CopyLossy=1\r\n", true, true, true, 4096, true, 1},
      {"CopyLossy=2\r\n", true, true, true, 4096, true, 2},  // every lossy format stays
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    WriteSettings(QByteArray("[Options]\r\n") + c.lines);
    auto window = Open();
    const auto& tags = test::Control<QCheckBox>(*window, "CarryTags");
    const auto& pictures = test::Control<QCheckBox>(*window, "CarryPictures");
    const auto& limit = test::Control<QSpinBox>(*window, "PictureLimitKB");
    EXPECT_EQ(tags.isChecked(), c.tags);
    EXPECT_EQ(pictures.isChecked(), c.pictures);
    EXPECT_EQ(pictures.isEnabled(), c.picturesEnabled);
    EXPECT_EQ(limit.isEnabled(), c.picturesEnabled && c.pictures);
    EXPECT_EQ(limit.value(), c.limit);
    EXPECT_EQ(test::Control<QCheckBox>(*window, "SplitEmbeddedCue").isChecked(), c.splitCue);
    EXPECT_EQ(test::Control<QCheckBox>(*window, "CopyLossy").isChecked(), c.copyLossy > 0);
    test::Control<QPushButton>(*window, "ChangeOption").click();
    const SettingsStore saved(SettingsPath().toStdString());
    EXPECT_EQ(saved.ReadBool("Options", "CarryTags", true), c.tags);
    EXPECT_EQ(saved.ReadBool("Options", "SplitEmbeddedCue", true), c.splitCue);
    EXPECT_EQ(saved.ReadInteger("Options", "PictureLimitKB", 4096), c.limit);
    EXPECT_EQ(Stored("Options", "CopyLossy"), c.copyLossy);
    // Keys never chosen stay out of the file.
    if (*c.lines == '\0') {
      EXPECT_EQ(Stored("Options", "CarryTags"), -999);
      EXPECT_EQ(Stored("Options", "SplitEmbeddedCue"), -999);
    }
  }
  // Unchecking 元のタグを引き継ぐ disables the picture controls at once.
  WriteSettings("");
  auto window = Open();
  test::Control<QCheckBox>(*window, "CarryTags").click();
  EXPECT_FALSE(test::Control<QCheckBox>(*window, "CarryPictures").isEnabled());
  EXPECT_FALSE(test::Control<QSpinBox>(*window, "PictureLimitKB").isEnabled());
  test::Control<QPushButton>(*window, "ChangeOption").click();
  EXPECT_EQ(Stored("Options", "CarryTags"), 0);
}

TEST_F(SetupWindowTest, PathsThatAreNotValidTextSurviveASaveUnlessEdited) {
  struct Case {
    const char* name;
    const char* edited;  // nullptr: the field is left as loaded
    QByteArray savedLine;
  };
  const Case cases[] = {
      {"left alone", nullptr, "EncoderPlace=/opt/\xFF\xFE/oggenc\r\n"},
      {"edited", "/usr/bin/oggenc", "EncoderPlace=/usr/bin/oggenc\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings("[Options]\r\nEncoderPlace=/opt/\xFF\xFE/oggenc\r\nSetEncoderPlace=1\r\n");
    auto window = Open();
    if (c.edited != nullptr) {
      test::Control<QLineEdit>(*window, "EncoderPlace").setText(c.edited);
    }
    test::Control<QPushButton>(*window, "ChangeOption").click();
    EXPECT_TRUE(FileBytes().contains(c.savedLine)) << FileBytes().constData();
  }
}

TEST_F(SetupWindowTest, SaveRewritesALowerCaseSameOutputLineInPlace) {
  WriteSettings("[Options]\r\nSameOutput=1\r\nViewCheck=0\r\n");
  auto window = Open();
  test::Control<QPushButton>(*window, "ChangeOption").click();
  const QByteArray bytes = FileBytes();
  EXPECT_TRUE(bytes.startsWith("[Options]\r\nSameOutPut=1\r\nViewCheck=0\r\n"))
      << bytes.constData();
  EXPECT_FALSE(bytes.contains("SameOutput="));
}

TEST_F(SetupWindowTest, OutputFolderGroupFollowsItsStateTable) {
  const QString picked = folder_.filePath("out");
  auto window = Open();
  EXPECT_EQ(OutputState(*window), OutputGroup::Neither);

  dialogs_.Queue(ScriptedDialogs::FolderAnswer{std::nullopt});
  test::Control<QCheckBox>(*window, "UseStdOutput").click();
  EXPECT_EQ(OutputState(*window), OutputGroup::Neither);
  ASSERT_EQ(dialogs_.Prompts().size(), 1u);
  EXPECT_EQ(dialogs_.Prompts()[0].title, "ディレクトリの選択");

  test::Control<QCheckBox>(*window, "SameOutput").click();
  EXPECT_EQ(OutputState(*window), OutputGroup::BesideInput);
  test::Control<QCheckBox>(*window, "SameOutput").click();
  EXPECT_EQ(OutputState(*window), OutputGroup::Neither);

  dialogs_.Queue(ScriptedDialogs::FolderAnswer{picked});
  test::Control<QCheckBox>(*window, "UseStdOutput").click();
  EXPECT_EQ(OutputState(*window), OutputGroup::StandardFolder);
  EXPECT_EQ(test::Control<QLineEdit>(*window, "StdOutputDir").text(), picked + "/");

  // Unchecking keeps the folder, and checking again needs no chooser.
  test::Control<QCheckBox>(*window, "UseStdOutput").click();
  EXPECT_EQ(OutputState(*window), OutputGroup::Neither);
  EXPECT_EQ(test::Control<QLineEdit>(*window, "StdOutputDir").text(), picked + "/");
  test::Control<QCheckBox>(*window, "UseStdOutput").click();
  EXPECT_EQ(OutputState(*window), OutputGroup::StandardFolder);

  // An emptied field and a cancelled chooser fall back to Neither.
  test::Control<QLineEdit>(*window, "StdOutputDir").setText("");
  dialogs_.Queue(ScriptedDialogs::FolderAnswer{std::nullopt});
  test::Control<QPushButton>(*window, "ChoiseStdOutDir").click();
  EXPECT_EQ(OutputState(*window), OutputGroup::Neither);
  EXPECT_EQ(dialogs_.Prompts().size(), 3u);
}

TEST_F(SetupWindowTest, KeepFolderTreeIsMootBesideTheInputAndKeepsItsValue) {
  WriteSettings("[Options]\r\nSameOutput=1\r\nKeepFolderTree=1\r\nExistingOutput=1\r\n");
  auto window = Open();
  auto& keepTree = test::Control<QCheckBox>(*window, "KeepFolderTree");
  EXPECT_FALSE(keepTree.isEnabled());
  test::Control<QCheckBox>(*window, "SameOutput").click();
  EXPECT_TRUE(keepTree.isEnabled());
  test::Control<QCheckBox>(*window, "SameOutput").click();
  EXPECT_FALSE(keepTree.isEnabled());
  EXPECT_TRUE(keepTree.isChecked());
  // The middle choice says whose newness counts; the stored number is the same.
  auto& existing = test::Control<QComboBox>(*window, "ExistingOutput");
  EXPECT_EQ(existing.currentText(), QStringLiteral("出力の方が新しければスキップ"));
  EXPECT_GE(existing.width(), existing.sizeHint().width());
  test::Control<QPushButton>(*window, "ChangeOption").click();
  EXPECT_EQ(Stored("Options", "KeepFolderTree"), 1);
  EXPECT_EQ(Stored("Options", "ExistingOutput"), 1);
}

TEST_F(SetupWindowTest, EncoderLocationGroupFollowsItsStateTable) {
  auto window = Open();
  dialogs_.Queue(ScriptedDialogs::FileAnswer{std::nullopt});
  test::Control<QCheckBox>(*window, "SetEncoderPlace").click();
  EXPECT_EQ(EncoderState(*window), EncoderGroup::Off);
  ASSERT_EQ(dialogs_.Prompts().size(), 1u);
  EXPECT_EQ(dialogs_.Prompts()[0].title, TSetupWindow::kEncoderDialogCaption);

  dialogs_.Queue(ScriptedDialogs::FileAnswer{"/opt/enc/oggenc"});
  test::Control<QCheckBox>(*window, "SetEncoderPlace").click();
  EXPECT_EQ(EncoderState(*window), EncoderGroup::OnPicked);
  EXPECT_EQ(test::Control<QLineEdit>(*window, "EncoderPlace").text(), "/opt/enc/oggenc");

  dialogs_.Queue(ScriptedDialogs::FileAnswer{std::nullopt});
  test::Control<QPushButton>(*window, "ChoiseEncoderPlace").click();
  EXPECT_EQ(EncoderState(*window), EncoderGroup::OnBrowseCancelled);
  test::Control<QPushButton>(*window, "ChangeOption").click();
  EXPECT_EQ(Stored("Options", "SetEncoderPlace"), 1);
  EXPECT_EQ(store_->ReadString("Options", "EncoderPlace", ""), "/opt/enc/oggenc");

  test::Control<QCheckBox>(*window, "SetEncoderPlace").click();
  EXPECT_EQ(EncoderState(*window), EncoderGroup::Off);
  test::Control<QCheckBox>(*window, "SetEncoderPlace")
      .click();  // the field holds a path: no dialog
  EXPECT_EQ(EncoderState(*window), EncoderGroup::OnEditable);
  EXPECT_EQ(dialogs_.Prompts().size(), 3u);
}

TEST_F(SetupWindowTest, LoadingCheckedBoxesWithEmptyPathsAsksAndWritesNothing) {
  const QByteArray original =
      "[Options]\r\nUseStdOutput=1\r\nStdOutputDir=\r\nSetEncoderPlace=1\r\n";
  WriteSettings(original);
  dialogs_.Queue(ScriptedDialogs::FolderAnswer{std::nullopt});
  dialogs_.Queue(ScriptedDialogs::FileAnswer{std::nullopt});
  auto window = Open();
  EXPECT_EQ(OutputState(*window), OutputGroup::Neither);
  EXPECT_EQ(EncoderState(*window), EncoderGroup::Off);
  EXPECT_EQ(FileBytes(), original);
}

TEST_F(SetupWindowTest, FailedSaveShowsTheErrorAndKeepsTheWindowOpen) {
  // A file where the settings folder should be: no save can succeed, even as root.
  QFile blocker(folder_.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  auto window = Open(folder_.filePath("blocker/lumio.ini"));
  window->show();
  for (QPushButton* button : {&test::Control<QPushButton>(*window, "SetupWindowClose"),
                              &test::Control<QPushButton>(*window, "ChangeOption")}) {
    dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
    button->click();
    EXPECT_TRUE(window->isVisible());
  }
  ASSERT_EQ(dialogs_.Prompts().size(), 2u);
  EXPECT_EQ(dialogs_.Prompts()[0].title, "エラー");
  EXPECT_TRUE(dialogs_.Prompts()[0].text.startsWith("\nファイル "));
  EXPECT_TRUE(dialogs_.Prompts()[0].text.endsWith(" を作成できません"));
}

}  // namespace
}  // namespace lumio
