#include "ui/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "core/folder_tree.h"
#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "platform/file_system.h"
#include "support/current_folder_guard.h"
#include "support/fake_clock.h"
#include "support/find_control.h"
#include "support/job_list_rows.h"
#include "support/run_tool.h"
#include "support/scripted_dialogs.h"
#include "support/wait_for_adding.h"
#include "support/wave_bytes.h"
#include "ui/drive_list.h"
#include "ui/folder_view.h"
#include "ui/job_list_model.h"
#include "ui/lumio_windows.h"
#include "ui/source_adder.h"
#include "ui/text_conversion.h"

namespace lumio {
namespace {

using test::ScriptedDialogs;

using FixedClock = test::ScriptedClock;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.isValid());
    root_ = temp_.path().toStdString() + "/";
    settingsPath_ = root_ + "config/lumio.ini";
    std::filesystem::create_directories(root_ + "program");
    std::filesystem::create_directories(root_ + "waves");
  }

  void WriteSettings(const std::string& text) {
    std::filesystem::create_directories(root_ + "config");
    std::ofstream(settingsPath_, std::ios::binary) << text;
  }

  std::string ReadSettings() const {
    std::ifstream file(settingsPath_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  TMainWindow& Open() {
    windows_.reset();  // one program at a time, as the single-instance lock keeps it
    windows_ = CreateLumioWindows(dialogs_, settingsPath_, clock_, root_ + "program/");
    window_ = windows_->MainWindow.get();
    return *window_;
  }

  std::string Wave(const std::string& name) {
    const std::string path = root_ + "waves/" + name;
    std::ofstream(path, std::ios::binary) << test::PcmWave(std::string(176400, '\0'));
    return path;
  }

  // Adds `count` readable WAVE files, each with its own title "title<i>".
  void AddWaves(int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
      paths.push_back(ToQString(Wave("song" + std::to_string(i) + ".wav")));
    }
    window_->FormDropFiles(paths);
    ASSERT_TRUE(test::WaitForAdding(*window_));
    ASSERT_EQ(window_->Jobs().Count(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      Model().ApplyTag(TagField::Title, "title" + std::to_string(i), {static_cast<std::size_t>(i)});
    }
  }

  JobListModel& Model() { return *windows_->Jobs; }

  QString RowText(int row) { return Model().index(row, 0).data().toString(); }

  void Select(const std::vector<int>& rows) {
    test::SelectRows(test::Control<JobListView>(*window_, "InputFileList"), rows);
  }

  // The rows selected in the list, ascending.
  Selection SelectedRows() {
    Selection rows;
    for (const QModelIndex& index : test::Control<JobListView>(*window_, "InputFileList")
                                        .selectionModel()
                                        ->selectedIndexes()) {
      rows.push_back(static_cast<std::size_t>(index.row()));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  // Each entry's title and input path in list order, given as the numbers of AddWaves.
  void ExpectOrder(const std::vector<int>& numbers) {
    ASSERT_EQ(window_->Jobs().Count(), numbers.size());
    ASSERT_EQ(test::RowCount(test::Control<JobListView>(*window_, "InputFileList")),
              static_cast<int>(numbers.size()));
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      const std::string number = std::to_string(numbers[i]);
      EXPECT_EQ(window_->Jobs().Record(i).Title, "title" + number) << i;
      EXPECT_EQ(window_->Jobs().InputPath(i), root_ + "waves/song" + number + ".wav") << i;
      EXPECT_EQ(RowText(static_cast<int>(i)), ToQString(window_->Jobs().InputPath(i))) << i;
    }
  }

  static void PressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
  }

  bool RequestClose() {
    QCloseEvent event;
    QApplication::sendEvent(window_, &event);
    return event.isAccepted();
  }

  QTemporaryDir temp_;
  std::string root_;
  std::string settingsPath_;
  ScriptedDialogs dialogs_;
  FixedClock clock_;
  std::unique_ptr<LumioWindows> windows_;
  TMainWindow* window_ = nullptr;
  // The add-files dialog moves the process into its folder, which the test removes.
  test::CurrentFolderGuard folderGuard_;
};

TEST_F(MainWindowTest, FieldsFollowTheNumberOfSelectedEntries) {
  TMainWindow& window = Open();
  AddWaves(3);
  Model().ApplyTag(TagField::Comment, "one\r\ntwo", {1});
  const QWidget* tagFields[] = {&test::Control<QLineEdit>(window, "Title"),
                                &test::Control<QLineEdit>(window, "Artist"),
                                &test::Control<QLineEdit>(window, "Album"),
                                &test::Control<QLineEdit>(window, "Date"),
                                &test::Control<QLineEdit>(window, "TrackNumber"),
                                &test::Control<QPlainTextEdit>(window, "Comment")};

  Select({});
  for (const QWidget* field : tagFields) {
    EXPECT_FALSE(field->isEnabled());
  }
  EXPECT_FALSE(test::Control<QLineEdit>(window, "OutputFileName").isEnabled());
  EXPECT_EQ(
      test::Control<QLineEdit>(window, "Title").palette().color(QPalette::Disabled, QPalette::Base),
      QApplication::palette().color(QPalette::Button));
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFilePath").text(), ToQString(window.DefDir()));
  EXPECT_TRUE(test::Control<QPushButton>(window, "StartEncode").isEnabled());

  Select({1});
  for (const QWidget* field : tagFields) {
    EXPECT_TRUE(field->isEnabled());
  }
  EXPECT_TRUE(test::Control<QLineEdit>(window, "OutputFileName").isEnabled());
  EXPECT_EQ(
      test::Control<QLineEdit>(window, "Title").palette().color(QPalette::Active, QPalette::Base),
      QApplication::palette().color(QPalette::Base));
  EXPECT_EQ(test::Control<QLineEdit>(window, "Title").text(), QStringLiteral("title1"));
  EXPECT_EQ(test::Control<QPlainTextEdit>(window, "Comment").toPlainText(),
            QStringLiteral("one\ntwo"));
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFileName").text(), QStringLiteral("song1.ogg"));
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFilePath").text(),
            ToQString(window.Jobs().Record(1).OutputDir + "song1.ogg"));
  EXPECT_EQ(test::Control<QLabel>(window, "AudioInfoText").text(),
            ToQString(window.Jobs().Record(1).Audio.InfoText));
  EXPECT_FALSE(test::Control<QLabel>(window, "AudioInfoText").text().isEmpty());
  // With Ogg Opus chosen the field shows the name the batch writes; the list keeps its own.
  WriteOutputFormat(*windows_->Settings, OutputFormat::Opus);
  window.SettingsChanged();
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFileName").text(),
            QStringLiteral("song1.opus"));
  EXPECT_EQ(window.Jobs().Record(1).OutputFileName, "song1.ogg");
  WriteOutputFormat(*windows_->Settings, OutputFormat::Vorbis);

  Select({0, 2});
  for (const QWidget* field : tagFields) {
    EXPECT_TRUE(field->isEnabled());
  }
  EXPECT_FALSE(test::Control<QLineEdit>(window, "OutputFileName").isEnabled());
  EXPECT_TRUE(test::Control<QLineEdit>(window, "Title").text().isEmpty());
  EXPECT_TRUE(test::Control<QLabel>(window, "AudioInfoText").text().isEmpty());
  // Showing the fields empty writes nothing into the records.
  EXPECT_EQ(window.Jobs().Record(0).Title, "title0");
  EXPECT_EQ(window.Jobs().Record(2).Title, "title2");
  EXPECT_EQ(window.Jobs().Record(1).Comment, "one\r\ntwo");
}

TEST_F(MainWindowTest, EditsReachExactlyTheSelectedRecords) {
  TMainWindow& window = Open();
  AddWaves(5);
  Select({0, 2, 4});
  test::Control<QLineEdit>(window, "Artist").setText(QStringLiteral("アーティスト"));
  // A non-breaking space stays what it is; a line break becomes CR LF.
  test::Control<QPlainTextEdit>(window, "Comment").setPlainText(QStringLiteral("a\u00A0\nb"));
  for (int i = 0; i < 5; ++i) {
    const bool selected = i % 2 == 0;
    EXPECT_EQ(window.Jobs().Record(i).Artist, selected ? "アーティスト" : "") << i;
    EXPECT_EQ(window.Jobs().Record(i).Comment, selected ? "a\xC2\xA0\r\nb" : "") << i;
    EXPECT_EQ(window.Jobs().Record(i).Title, "title" + std::to_string(i)) << i;
  }

  Select({1});
  test::Control<QLineEdit>(window, "OutputFileName").setText(QStringLiteral("other.ogg"));
  EXPECT_EQ(window.Jobs().Record(1).OutputFileName, "other.ogg");
  EXPECT_EQ(window.Jobs().Record(0).OutputFileName, "song0.ogg");
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFilePath").text(),
            ToQString(window.Jobs().Record(1).OutputDir + "other.ogg"));
}

TEST_F(MainWindowTest, FieldsFollowChangesOfTheSelectedRecordsButNotTheirOwnEdits) {
  struct Case {
    const char* field;
    std::function<void(JobListModel&)> change;
    QString shown;
  };
  const Case cases[] = {
      {"Title", [](JobListModel& jobs) { jobs.ApplyTag(TagField::Title, "new", {1}); }, "new"},
      {"OutputFileName", [](JobListModel& jobs) { jobs.SetOutputFileName(1, "x.ogg"); }, "x.ogg"},
      {"AudioInfoText",
       [](JobListModel& jobs) {
         jobs.EditRecords({1}, [](FileData& r) { r.Audio.InfoText = "i"; });
       },
       "i"},
  };
  TMainWindow& window = Open();
  AddWaves(2);
  for (const Case& c : cases) {
    Select({1});
    c.change(Model());
    EXPECT_EQ(window.findChild<QWidget*>(c.field)->property("text").toString(), c.shown) << c.field;
  }
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFilePath").text(),
            ToQString(window.Jobs().Record(1).OutputDir + "x.ogg"));

  // What the user types stays as typed, where it was typed.
  auto& title = test::Control<QLineEdit>(window, "Title");
  title.setCursorPosition(1);
  QTest::keyClick(&title, Qt::Key_X);
  EXPECT_EQ(title.text(), QStringLiteral("nxew"));
  EXPECT_EQ(title.cursorPosition(), 2);
  Select({0, 1});
  QTest::keyClick(&test::Control<QLineEdit>(window, "Artist"), Qt::Key_A);
  EXPECT_EQ(test::Control<QLineEdit>(window, "Artist").text(), QStringLiteral("a"));
}

TEST_F(MainWindowTest, AddingNamesTheFilesItCouldNotAddOnlyAfterTheAddersSignalHasReturned) {
  TMainWindow& window = Open();
  std::optional<std::size_t> promptsInsideTheSignal;
  // Connected after the window: runs last inside the same signal.
  QObject::connect(windows_->Adder.get(), &SourceAdder::Finished, &window,
                   [&] { promptsInsideTheSignal = dialogs_.Prompts().size(); });
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  window.FormDropFiles({ToQString(root_ + "waves/missing.wav")});
  ASSERT_TRUE(test::WaitForAdding(window));
  EXPECT_EQ(promptsInsideTheSignal, 0u);
  ASSERT_EQ(dialogs_.Prompts().size(), 1u);
  EXPECT_EQ(
      dialogs_.Prompts().back().text,
      ToQString("\n次のファイルを追加できませんでした（1 件）\n" + root_ + "waves/missing.wav"));
}

TEST_F(MainWindowTest, ChosenFolderGoesToTheSelectionOrElseBecomesTheDefault) {
  TMainWindow& window = Open();
  AddWaves(3);
  const std::string chosen = root_ + "out";
  ASSERT_TRUE(CreateFolder(chosen));
  const std::string defDir = window.DefDir();

  Select({0, 2});
  test::Control<FolderView>(window, "DirectoryListBox1").SetDirectory(chosen);
  EXPECT_EQ(window.Jobs().Record(0).OutputDir, chosen + "/");
  EXPECT_EQ(window.Jobs().Record(2).OutputDir, chosen + "/");
  EXPECT_EQ(window.Jobs().Record(1).OutputDir, defDir);
  EXPECT_EQ(window.DefDir(), defDir);

  test::Control<QPushButton>(window, "SelectedClear").click();
  test::Control<FolderView>(window, "DirectoryListBox1").SetDirectory(root_ + "waves");
  EXPECT_EQ(window.DefDir(), root_ + "waves/");
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFilePath").text(), ToQString(root_ + "waves/"));
  EXPECT_EQ(window.Jobs().Record(0).OutputDir, chosen + "/");

  // A record whose folder has gone is given the default folder when shown alone, and
  // the path shown follows it also when the view stays where it is (at the root).
  for (const std::string& defaultFolder : {root_ + "waves", std::string("/")}) {
    test::Control<QPushButton>(window, "SelectedClear").click();
    test::Control<FolderView>(window, "DirectoryListBox1").SetDirectory(defaultFolder);
    Model().EditRecords({1}, [&](FileData& record) { record.OutputDir = root_ + "gone/"; });
    Select({1});
    EXPECT_EQ(window.Jobs().Record(1).OutputDir, window.DefDir());
    EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFilePath").text(),
              ToQString(window.DefDir() + "song1.ogg"));
    // Showing changes no record: a folder gone while the entry is chosen is shown as it is.
    Model().EditRecords({1}, [&](FileData& record) { record.OutputDir = root_ + "gone/"; });
    EXPECT_EQ(window.Jobs().Record(1).OutputDir, root_ + "gone/");
    EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFilePath").text(),
              ToQString(root_ + "gone/song1.ogg"));
  }
}

TEST_F(MainWindowTest, OutputPathShowsWhereSeveralEntriesGoAndTheirTreeIsNeverRepeated) {
  TMainWindow& window = Open();
  AddWaves(3);
  ASSERT_TRUE(CreateFolderTree(root_ + "ogg/Artist/Album"));
  Model().EditRecords({0, 1}, [&](FileData& record) {
    record.OutputDir = root_ + "ogg/";
    record.OutputSubfolder = "Artist/Album/";
  });
  const auto shown = [&] {
    return test::Control<QLineEdit>(window, "OutputFilePath").text().toStdString();
  };
  auto& view = test::Control<FolderView>(window, "DirectoryListBox1");
  Select({0, 1});
  EXPECT_EQ(shown(), root_ + "ogg/Artist/Album/");
  Select({0, 1, 2});  // the third goes to the default folder
  EXPECT_EQ(shown(), "（複数の出力先）");
  EXPECT_EQ(window.Jobs().Record(2).OutputDir, window.DefDir());

  // Walking down the selected entries' own tree in the view moves nothing.
  for (const std::initializer_list<int> rows : {std::initializer_list<int>{0, 1}, {0}}) {
    Select(rows);
    for (const char* folder : {"ogg/Artist", "ogg/Artist/Album"}) {
      view.SetDirectory(root_ + folder);
      EXPECT_EQ(OutputFolderOf(window.Jobs().Record(0), NativePathRules()),
                root_ + "ogg/Artist/Album/")
          << folder;
    }
  }
  EXPECT_EQ(shown(), root_ + "ogg/Artist/Album/song0.ogg");
  // Another folder is the new output folder, the tree kept below it.
  Select({0, 1});
  view.SetDirectory(root_ + "waves");
  EXPECT_EQ(shown(), root_ + "waves/Artist/Album/");
  EXPECT_EQ(window.Jobs().Record(1).OutputDir, root_ + "waves/");
}

TEST_F(MainWindowTest, DropTakesSoundFilesInAnyLetterCaseAndNamesUnreadableOnesOnce) {
  TMainWindow& window = Open();
  const std::string longFolder = root_ + std::string(200, 'd') + "/" + std::string(100, 'e');
  std::filesystem::create_directories(longFolder);
  const std::string longPath = longFolder + "/long.wav";
  std::ofstream(longPath, std::ios::binary) << test::PcmWave(std::string(1000, '\0'));
  const std::string notes = root_ + "waves/notes.txt";
  std::ofstream(notes) << "text";

  QMimeData data;
  data.setUrls(
      {QUrl::fromLocalFile(ToQString(Wave("a.WAV"))), QUrl::fromLocalFile(ToQString(Wave("b.wav"))),
       QUrl::fromLocalFile(ToQString(Wave("c.Wav"))), QUrl::fromLocalFile(ToQString(notes)),
       QUrl::fromLocalFile(ToQString(root_ + "waves/missing.wav")),
       QUrl::fromLocalFile(ToQString(longPath))});
  data.setText(QStringLiteral("file manager text"));  // as file managers also offer
  AddWaves(1);
  Select({0});  // Title can take text now
  // Qt delivers a drop to the widget that accepted the drag's entry; entering over an
  // edit field must reach the window, not put the paths into the field as text.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&test::Control<QLineEdit>(window, "Title"), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  QApplication::sendEvent(&window, &drop);
  ASSERT_TRUE(test::WaitForAdding(window));

  EXPECT_EQ(
      dialogs_.Prompts().back().text,
      ToQString("\n次のファイルを追加できませんでした（1 件）\n" + root_ + "waves/missing.wav"));
  ASSERT_EQ(window.Jobs().Count(), 5u);
  EXPECT_EQ(window.Jobs().InputPath(1), root_ + "waves/a.WAV");
  EXPECT_EQ(window.Jobs().InputPath(2), root_ + "waves/b.wav");
  EXPECT_EQ(window.Jobs().InputPath(3), root_ + "waves/c.Wav");
  EXPECT_EQ(window.Jobs().InputPath(4), longPath);
  EXPECT_EQ(test::RowCount(test::Control<JobListView>(*window_, "InputFileList")), 5);
  EXPECT_EQ(RowText(4), ToQString(longPath));
  EXPECT_EQ(window.Jobs().Record(0).Title, "title0");
  EXPECT_TRUE(test::Control<QPushButton>(window, "StartEncode").isEnabled());
}

TEST_F(MainWindowTest, AWaveCutShortIsAddedAndNotedWhenTheAddingEnds) {
  TMainWindow& window = Open();
  const std::string cut = root_ + "waves/cut.wav";
  std::ofstream(cut, std::ios::binary) << test::HeaderBlock({}) + test::Chunk("data", 176400, 1000);
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  window.FormDropFiles({ToQString(Wave("whole.wav")), ToQString(cut)});
  ASSERT_TRUE(test::WaitForAdding(window));
  EXPECT_EQ(window.Jobs().Count(), 2u);
  ASSERT_EQ(dialogs_.Prompts().size(), 1u);
  EXPECT_EQ(dialogs_.Prompts().back().text,
            ToQString("\n次のファイルは途中で切れています (データ部がヘッダーの示す長さより短い)"
                      "（1 件）\n" +
                      cut));
}

TEST_F(MainWindowTest, FolderAddTakesTaggedSoundFilesInNumberOrderAndNamesFailuresOnce) {
  TMainWindow& window = Open();
  const std::string album = root_ + "album/";
  std::filesystem::create_directories(album + "disc 10");
  std::filesystem::create_directories(album + ".hidden");
  std::ofstream(album + "silence.raw", std::ios::binary) << std::string(17640, '\0');
  ASSERT_TRUE(test::RunTool({"flac", "-s", "-f", "--force-raw-format", "--endian=little",
                             "--sign=signed", "--channels=2", "--bps=16", "--sample-rate=44100",
                             "--tag=TITLE=二曲目", "--tag=ARTIST=歌手", "--tag=TRACKNUMBER=2", "-o",
                             album + "2.flac", album + "silence.raw"}));
  std::ofstream(album + "10.WAV", std::ios::binary) << test::PcmWave(std::string(176400, '\0'));
  std::ofstream(album + "disc 10/1.wav", std::ios::binary)
      << test::PcmWave(std::string(176400, '\0'));
  std::ofstream(album + ".hidden/1.wav", std::ios::binary)
      << test::PcmWave(std::string(176400, '\0'));
  // Named pipes cannot be read at an offset: 25 files that cannot be added.
  for (int i = 0; i < 25; ++i) {
    ASSERT_EQ(::mkfifo((album + "pipe" + std::to_string(i) + ".wav").c_str(), 0600), 0);
  }

  dialogs_.Queue(ScriptedDialogs::FolderAnswer{ToQString(album)});
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  test::Control<QAction>(window, "FolderAddMenu").trigger();
  ASSERT_TRUE(test::WaitForAdding(window));

  ASSERT_EQ(window.Jobs().Count(), 3u);
  EXPECT_EQ(window.Jobs().InputPath(0), album + "2.flac");
  EXPECT_EQ(window.Jobs().InputPath(1), album + "10.WAV");
  EXPECT_EQ(window.Jobs().InputPath(2), album + "disc 10/1.wav");
  const QString message = dialogs_.Prompts().back().text;
  EXPECT_TRUE(message.startsWith(QStringLiteral("\n次のファイルを追加できませんでした（25 件）\n")))
      << message.toStdString();
  EXPECT_EQ(message.count(QStringLiteral("pipe")), 20);
  EXPECT_TRUE(message.endsWith(QStringLiteral("\nほか 5 件")));
  EXPECT_EQ(window.OpenDir(), album);

  Select({0});
  EXPECT_EQ(test::Control<QLineEdit>(window, "Title").text(), QStringLiteral("二曲目"));
  EXPECT_EQ(test::Control<QLineEdit>(window, "Artist").text(), QStringLiteral("歌手"));
  EXPECT_EQ(test::Control<QLineEdit>(window, "TrackNumber").text(), QStringLiteral("2"));
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFileName").text(), QStringLiteral("2.ogg"));
  EXPECT_EQ(test::Control<QLabel>(window, "AudioInfoText").text(),
            QStringLiteral("データ部 17 KB  16 bit  44100 Hz  ステレオ  再生時間 0:00"));
}

TEST_F(MainWindowTest, StartWaitsUntilAFolderBeingAddedIsWhollyInTheList) {
  TMainWindow& window = Open();
  AddWaves(1);
  const auto startable = [&] {
    return test::Control<QPushButton>(window, "StartEncode").isEnabled() &&
           test::Control<QAction>(window, "EncodeMenu").isEnabled();
  };
  EXPECT_TRUE(startable());
  const std::string folder = root_ + "folder/";
  std::filesystem::create_directories(folder);
  for (const char* name : {"x.wav", "y.wav"}) {
    std::ofstream(folder + name, std::ios::binary) << test::PcmWave(std::string(176400, '\0'));
  }
  window.FormDropFiles({ToQString(folder)});
  EXPECT_TRUE(window.Adding());
  EXPECT_FALSE(startable());
  Select({0});  // the fields stay usable meanwhile, Start does not
  EXPECT_FALSE(startable());
  ASSERT_TRUE(test::WaitForAdding(window));
  EXPECT_EQ(window.Jobs().Count(), 3u);
  EXPECT_TRUE(startable());
}

TEST_F(MainWindowTest, PathsHandedOverDuringABatchWaitUntilTheWindowIsEnabled) {
  TMainWindow& window = Open();
  window.setEnabled(false);  // as the batch run does
  window.FormDropFiles({ToQString(Wave("a.wav"))});
  EXPECT_EQ(window.Jobs().Count(), 0u);
  window.setEnabled(true);
  ASSERT_TRUE(test::WaitForAdding(window));
  ASSERT_EQ(window.Jobs().Count(), 1u);
  EXPECT_EQ(window.Jobs().InputPath(0), root_ + "waves/a.wav");
}

TEST_F(MainWindowTest, HandedOverNamesThatAreNotUtf8KeepTheirBytes) {
  TMainWindow& window = Open();
  const std::string latin1 = Wave("caf\xe9.wav");
  std::filesystem::create_directories(root_ + "waves/\xff");
  std::ofstream(root_ + "waves/\xff/\xfe.wav", std::ios::binary)
      << test::PcmWave(std::string(1000, '\0'));
  window.setEnabled(false);
  window.DropPaths({latin1});
  window.setEnabled(true);
  window.DropPaths({root_ + "waves/\xff"});
  ASSERT_TRUE(test::WaitForAdding(window));
  ASSERT_EQ(window.Jobs().Count(), 2u);
  EXPECT_EQ(window.Jobs().InputPath(0), latin1);
  EXPECT_EQ(window.Jobs().InputPath(1), root_ + "waves/\xff/\xfe.wav");
  EXPECT_TRUE(dialogs_.Prompts().empty());
}

TEST_F(MainWindowTest, DropIsTakenAsACopySoThatTheSourceNeverDeletesItsFiles) {
  struct Case {
    Qt::DropActions offered;
    Qt::DropAction proposed;
    bool taken;
  };
  const Case cases[] = {
      {Qt::CopyAction | Qt::MoveAction, Qt::MoveAction, true},
      {Qt::MoveAction | Qt::LinkAction, Qt::MoveAction, true},
      {Qt::MoveAction, Qt::MoveAction, false},
  };
  TMainWindow& window = Open();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(ToQString(Wave("a.wav")))});
  std::size_t expectedCount = 0;
  for (const Case& c : cases) {
    QDragEnterEvent enter(QPoint(10, 10), c.offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    enter.setDropAction(c.proposed);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(10, 10), c.offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    drop.setDropAction(c.proposed);
    QApplication::sendEvent(&window, &drop);
    ASSERT_TRUE(test::WaitForAdding(window));
    expectedCount += c.taken ? 1 : 0;
    EXPECT_EQ(window.Jobs().Count(), expectedCount) << c.offered.toInt();
    EXPECT_EQ(enter.isAccepted(), c.taken) << c.offered.toInt();
    EXPECT_EQ(drop.isAccepted(), c.taken) << c.offered.toInt();
    if (c.taken) {
      EXPECT_NE(enter.dropAction(), Qt::MoveAction);
      EXPECT_NE(drop.dropAction(), Qt::MoveAction);
    }
  }
}

TEST_F(MainWindowTest, AddDialogAddsAllReadableFilesNamesTheOthersAndCancelChangesNothing) {
  TMainWindow& window = Open();
  const std::string openDir = window.OpenDir();
  dialogs_.Queue(ScriptedDialogs::FilesAnswer{QStringList{
      ToQString(Wave("a.wav")), ToQString(root_ + "waves/missing.wav"), ToQString(Wave("c.wav"))}});
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  test::Control<QPushButton>(window, "InputFileOpen").click();
  ASSERT_TRUE(test::WaitForAdding(window));
  ASSERT_EQ(window.Jobs().Count(), 2u);
  EXPECT_EQ(window.Jobs().InputPath(1), root_ + "waves/c.wav");
  EXPECT_EQ(
      dialogs_.Prompts().back().text,
      ToQString("\n次のファイルを追加できませんでした（1 件）\n" + root_ + "waves/missing.wav"));
  EXPECT_EQ(dialogs_.Prompts().back().title, QStringLiteral("エラー"));
  EXPECT_EQ(window.OpenDir(), openDir);

  dialogs_.Queue(ScriptedDialogs::FilesAnswer{QStringList{ToQString(Wave("d.wav"))}});
  const std::string startFolder = CurrentFolder();
  test::Control<QPushButton>(window, "InputFileOpen").click();
  ASSERT_TRUE(test::WaitForAdding(window));
  EXPECT_EQ(window.Jobs().Count(), 3u);
  EXPECT_EQ(window.OpenDir(), root_ + "waves/");
  // The dialog starts in OpenDir without moving the program's current folder there.
  EXPECT_EQ(dialogs_.Prompts().back().text, ToQString(openDir));
  EXPECT_EQ(CurrentFolder(), startFolder);

  // Cancelling changes nothing and leaves the fields writing into the records.
  Select({0, 1});
  dialogs_.Queue(ScriptedDialogs::FilesAnswer{std::nullopt});
  test::Control<QPushButton>(window, "InputFileOpen").click();
  EXPECT_EQ(window.Jobs().Count(), 3u);
  test::Control<QLineEdit>(window, "Album").setText(QStringLiteral("album"));
  EXPECT_EQ(window.Jobs().Record(0).Album, "album");
  EXPECT_EQ(window.Jobs().Record(1).Album, "album");
}

TEST_F(MainWindowTest, DeleteRemovesTheSelectedEntriesWithTheirRecords) {
  const std::function<void(TMainWindow&)> ways[] = {
      [](TMainWindow& window) { test::Control<QPushButton>(window, "DeleteButton").click(); },
      [](TMainWindow& window) {
        PressKey(&test::Control<JobListView>(window, "InputFileList"), Qt::Key_Delete);
      },
      [](TMainWindow& window) { test::Control<QAction>(window, "DeleteMenu").trigger(); },
  };
  for (const auto& remove : ways) {
    TMainWindow& window = Open();
    AddWaves(5);
    remove(window);  // nothing selected: nothing happens
    EXPECT_EQ(window.Jobs().Count(), 5u);
    Select({1, 3});
    remove(window);
    ASSERT_EQ(window.Jobs().Count(), 3u);
    ExpectOrder({0, 2, 4});
    EXPECT_FALSE(test::Control<QLineEdit>(window, "Title").isEnabled());
  }
}

TEST_F(MainWindowTest, EditMenuSitsBeforeHelpWithItsOwnAcceleratorAndInTheListsMenu) {
  TMainWindow& window = Open();
  QStringList menus;
  for (const QAction* menu : window.menuBar()->actions()) {
    menus.push_back(menu->text());
  }
  EXPECT_EQ(menus, (QStringList{"ファイル(&F)", "設定(&S)", "編集(&T)", "ヘルプ(&H)"}));
  // Alt+letter must reach one place: every menu and button of the window has its own.
  QStringList captions = menus;
  for (const QPushButton* button : window.findChildren<QPushButton*>()) {
    captions.push_back(button->text());
  }
  QSet<QChar> letters;
  for (const QString& caption : captions) {
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    if (amp >= 0) {
      EXPECT_FALSE(letters.contains(caption[amp + 1].toUpper())) << caption.toStdString();
      letters.insert(caption[amp + 1].toUpper());
    }
  }
  EXPECT_EQ(test::Control<QMenu>(window, "ListMenu").actions(),
            test::Control<QMenu>(window, "Edit1").actions());
  // The commands need a selection.
  AddWaves(1);
  emit test::Control<QMenu>(window, "Edit1").aboutToShow();
  EXPECT_FALSE(test::Control<QAction>(window, "NumberTracks").isEnabled());
  Select({0});
  emit test::Control<QMenu>(window, "Edit1").aboutToShow();
  EXPECT_TRUE(test::Control<QAction>(window, "NumberTracks").isEnabled());
}

TEST_F(MainWindowTest, TrackNumbersFollowTheListOrderOfTheSelection) {
  struct Case {
    int entries;
    std::vector<int> selected;
    std::vector<std::string> numbers;  // per entry afterwards
  };
  const Case cases[] = {
      {4, {1, 3}, {"", "1", "", "2"}},
      {4, {3, 1}, {"", "1", "", "2"}},  // selected from the bottom up
      {11,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
       {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", ""}},
  };
  for (const Case& c : cases) {
    TMainWindow& window = Open();
    AddWaves(c.entries);
    Select(c.selected);
    test::Control<QAction>(window, "NumberTracks").trigger();
    for (int i = 0; i < c.entries; ++i) {
      EXPECT_EQ(window.Jobs().Record(i).TrackNumber, c.numbers[i]) << i;
    }
  }
  // With one entry selected the field shows the new number.
  Select({2});
  test::Control<QAction>(*window_, "NumberTracks").trigger();
  EXPECT_EQ(test::Control<QLineEdit>(*window_, "TrackNumber").text(), QStringLiteral("1"));
}

TEST_F(MainWindowTest, NameFromTagsAsksForThePatternAndRemembersIt) {
  TMainWindow& window = Open();
  AddWaves(3);
  Model().ApplyTag(TagField::TrackNumber, "01", {0});
  Model().ApplyTag(TagField::Title, "さくら", {0});
  Model().ApplyTag(TagField::TrackNumber, "02", {1});
  Model().ApplyTag(TagField::Title, "", {1});  // the source file's name stands in
  Select({0, 1});

  dialogs_.Queue(ScriptedDialogs::PatternAnswer{QStringLiteral("%n %t"), true});
  test::Control<QAction>(window, "NameFromTags").trigger();
  EXPECT_EQ(window.Jobs().Record(0).OutputFileName, "song0.ogg");  // キャンセル writes nothing
  EXPECT_EQ(dialogs_.Prompts().back().title, QStringLiteral("タグからファイル名"));
  EXPECT_EQ(dialogs_.Prompts().back().text, QStringLiteral("%n %t"));  // the first default

  dialogs_.Queue(ScriptedDialogs::PatternAnswer{QStringLiteral("%n %t: %a")});
  test::Control<QAction>(window, "NameFromTags").trigger();
  EXPECT_EQ(dialogs_.Prompts().back().preview, QStringLiteral("01 さくら_.ogg"));
  EXPECT_EQ(window.Jobs().Record(0).OutputFileName, "01 さくら_.ogg");
  EXPECT_EQ(window.Jobs().Record(1).OutputFileName, "02 song1_.ogg");
  EXPECT_EQ(window.Jobs().Record(2).OutputFileName, "song2.ogg");
  EXPECT_EQ(windows_->Settings->ReadString("TagTools", "NamePattern", ""), "%n %t: %a");

  Select({1});
  dialogs_.Queue(ScriptedDialogs::PatternAnswer{QStringLiteral("%f")});
  test::Control<QAction>(window, "NameFromTags").trigger();
  EXPECT_EQ(dialogs_.Prompts().back().text, QStringLiteral("%n %t: %a"));
  EXPECT_EQ(test::Control<QLineEdit>(window, "OutputFileName").text(), QStringLiteral("song1.ogg"));
  EXPECT_TRUE(test::Control<QLineEdit>(window, "OutputFilePath")
                  .text()
                  .endsWith(QStringLiteral("/song1.ogg")));
  EXPECT_TRUE(dialogs_.AllAnswersUsed());
}

TEST_F(MainWindowTest, TagsFromNameFillsTheMatchingEntriesAndCountsTheOthers) {
  TMainWindow& window = Open();
  window.FormDropFiles({ToQString(Wave("01 - さくら.wav")), ToQString(Wave("bonus.wav")),
                        ToQString(Wave("02 - 夜 - live.wav"))});
  ASSERT_TRUE(test::WaitForAdding(window));
  Model().ApplyTag(TagField::Title, "kept", {1});
  Select({0, 1, 2});

  dialogs_.Queue(ScriptedDialogs::PatternAnswer{QStringLiteral("%n - %t")});
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  test::Control<QAction>(window, "TagsFromName").trigger();

  ASSERT_EQ(dialogs_.Prompts().size(), 2u);
  EXPECT_EQ(dialogs_.Prompts()[0].text, QStringLiteral("%n - %t"));
  EXPECT_EQ(dialogs_.Prompts()[0].preview, QStringLiteral("トラック: 01 / タイトル: さくら"));
  EXPECT_EQ(dialogs_.Prompts()[1].text,
            QStringLiteral(
                "\n1個のファイル名がパターンに一致しなかったため、変更していません\nbonus.wav"));
  EXPECT_EQ(window.Jobs().Record(0).TrackNumber, "01");
  EXPECT_EQ(window.Jobs().Record(0).Title, "さくら");
  EXPECT_EQ(window.Jobs().Record(1).Title, "kept");
  EXPECT_EQ(window.Jobs().Record(1).TrackNumber, "");
  EXPECT_EQ(window.Jobs().Record(2).Title, "夜 - live");
  EXPECT_EQ(windows_->Settings->ReadString("TagTools", "TagPattern", ""), "%n - %t");

  // A pattern that every name matches asks nothing more.
  Select({0});
  dialogs_.Queue(ScriptedDialogs::PatternAnswer{QStringLiteral("%b")});
  test::Control<QAction>(window, "TagsFromName").trigger();
  EXPECT_EQ(test::Control<QLineEdit>(window, "Album").text(), QStringLiteral("01 - さくら"));
  EXPECT_TRUE(dialogs_.AllAnswersUsed());
}

TEST_F(MainWindowTest, MovingEntriesKeepsRecordsPathsAndSelectionTogether) {
  TMainWindow& window = Open();
  AddWaves(4);
  Select({2});
  PressKey(&test::Control<JobListView>(window, "InputFileList"), Qt::Key_Up, Qt::ControlModifier);
  ExpectOrder({0, 2, 1, 3});
  EXPECT_EQ(SelectedRows(), (Selection{1}));
  EXPECT_EQ(test::Control<QLineEdit>(window, "Title").text(), QStringLiteral("title2"));
  EXPECT_TRUE(test::Control<QLineEdit>(window, "OutputFileName").text() ==
              QStringLiteral("song2.ogg"));

  Select({0, 1});
  PressKey(&test::Control<JobListView>(window, "InputFileList"), Qt::Key_Down, Qt::ControlModifier);
  ExpectOrder({1, 0, 2, 3});
  EXPECT_EQ(SelectedRows(), (Selection{1, 2}));
  // The first moved entry is the current one, where the keys go on from.
  EXPECT_EQ(test::Control<JobListView>(window, "InputFileList").currentIndex().row(), 1);
  EXPECT_FALSE(test::Control<QLineEdit>(window, "OutputFileName").isEnabled());

  emit test::Control<JobListView>(window, "InputFileList").SelectionDropped(4);
  ExpectOrder({1, 3, 0, 2});
  EXPECT_EQ(SelectedRows(), (Selection{2, 3}));
  EXPECT_EQ(test::Control<JobListView>(window, "InputFileList").currentIndex().row(), 2);

  // Plain arrows still only move the current entry.
  PressKey(&test::Control<JobListView>(window, "InputFileList"), Qt::Key_Up);
  ExpectOrder({1, 3, 0, 2});
}

TEST_F(MainWindowTest, DropRowFollowsThePointerAndFilesFromOutsideStillReachTheWindow) {
  TMainWindow& window = Open();
  AddWaves(3);
  window.show();
  test::Control<JobListView>(window, "InputFileList").doItemsLayout();
  const QRect second =
      test::Control<JobListView>(window, "InputFileList").visualRect(Model().index(1, 0));
  EXPECT_EQ(
      test::Control<JobListView>(window, "InputFileList").DropRow(second.topLeft() + QPoint(2, 1)),
      1);
  EXPECT_EQ(test::Control<JobListView>(window, "InputFileList")
                .DropRow(second.bottomLeft() + QPoint(2, -1)),
            2);
  EXPECT_EQ(
      test::Control<JobListView>(window, "InputFileList")
          .DropRow(QPoint(
              2, test::Control<JobListView>(window, "InputFileList").viewport()->height() - 2)),
      3);

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(ToQString(Wave("dragged.wav")))});
  QDragEnterEvent enter(second.center(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(test::Control<JobListView>(window, "InputFileList").viewport(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(second.center()), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(test::Control<JobListView>(window, "InputFileList").viewport(), &drop);
  ASSERT_TRUE(test::WaitForAdding(window));
  ASSERT_EQ(window.Jobs().Count(), 4u);
  EXPECT_EQ(window.Jobs().InputPath(3), root_ + "waves/dragged.wav");
  EXPECT_NE(drop.dropAction(), Qt::MoveAction);
}

TEST_F(MainWindowTest, ClearAllAsksAndOnlyOkClears) {
  struct Case {
    DialogAnswer answer;
    bool cleared;
  };
  for (const Case& c : {Case{DialogAnswer::Ok, true}, Case{DialogAnswer::Cancel, false}}) {
    TMainWindow& window = Open();
    test::Control<QPushButton>(window, "ClearButton").click();  // an empty list asks nothing
    AddWaves(2);
    dialogs_.Queue(ScriptedDialogs::MessageAnswer{c.answer});
    test::Control<QPushButton>(window, "ClearButton").click();
    EXPECT_EQ(dialogs_.Prompts().back().text, QStringLiteral("\n全削除してよろしいですか？"));
    EXPECT_EQ(dialogs_.Prompts().back().title, QStringLiteral("警告"));
    EXPECT_EQ(window.Jobs().Count(), c.cleared ? 0u : 2u);
    EXPECT_EQ(test::RowCount(test::Control<JobListView>(*window_, "InputFileList")),
              c.cleared ? 0 : 2);
    EXPECT_EQ(test::Control<QPushButton>(window, "StartEncode").isEnabled(), !c.cleared);
    EXPECT_EQ(test::Control<QAction>(window, "EncodeMenu").isEnabled(), !c.cleared);
  }
}

TEST_F(MainWindowTest, CloseAsksOnlyWithEntriesAndOnlyOkCloses) {
  struct Case {
    int entries;
    std::optional<DialogAnswer> answer;
    bool closes;
  };
  for (const Case& c : {Case{0, std::nullopt, true}, Case{2, DialogAnswer::Cancel, false},
                        Case{2, DialogAnswer::Ok, true}}) {
    TMainWindow& window = Open();
    AddWaves(c.entries);
    const std::size_t promptsBefore = dialogs_.Prompts().size();
    if (c.answer) {
      dialogs_.Queue(ScriptedDialogs::MessageAnswer{*c.answer});
    }
    EXPECT_EQ(RequestClose(), c.closes);
    ASSERT_EQ(dialogs_.Prompts().size(), promptsBefore + (c.answer ? 1 : 0));
    if (c.answer) {
      EXPECT_EQ(dialogs_.Prompts().back().text, QStringLiteral("\n終了してよろしいですか？"));
    }
    EXPECT_EQ(window.Jobs().Count(), c.closes ? 0u : 2u);
  }
}

TEST_F(MainWindowTest, RememberedFoldersFallBackWhenTheyNoLongerExist) {
  struct Case {
    bool exist;
  };
  for (const Case& c : {Case{true}, Case{false}}) {
    const std::string openDir = root_ + (c.exist ? "waves/" : "no-open/");
    const std::string defDir = root_ + (c.exist ? "program/" : "no-def/");
    WriteSettings("[General]\r\nOpenDir=" + openDir + "\r\nDefDir=" + defDir + "\r\n");
    const std::string startFolder = WithTrailingSeparator(CurrentFolder(), NativePathRules());
    TMainWindow& window = Open();
    EXPECT_EQ(window.OpenDir(), c.exist ? openDir : root_ + "program/");
    EXPECT_EQ(window.DefDir(), c.exist ? defDir : startFolder);
    EXPECT_EQ(test::Control<FolderView>(window, "DirectoryListBox1").Directory(),
              WithoutTrailingSeparator(c.exist ? defDir : startFolder));
  }
}

TEST_F(MainWindowTest, ClosingWritesBothFoldersIntoTheSettingsFile) {
  WriteSettings("[Options]\r\nViewCheck=1\r\n");
  TMainWindow& window = Open();
  test::Control<FolderView>(window, "DirectoryListBox1").SetDirectory(root_ + "waves");
  EXPECT_TRUE(RequestClose());
  EXPECT_EQ(ReadSettings(), "[Options]\r\nViewCheck=1\r\n\r\n[General]\r\nOpenDir=" + root_ +
                                "program/\r\nDefDir=" + root_ + "waves/\r\n\r\n");
}

TEST_F(MainWindowTest, FailedSaveAsksWhetherToQuitWithoutSaving) {
  // A plain file where the settings folder should be makes every save fail.
  std::ofstream(root_ + "config") << "in the way";
  struct Case {
    DialogAnswer quitWithoutSaving;
    bool closes;
  };
  for (const Case& c : {Case{DialogAnswer::Cancel, false}, Case{DialogAnswer::Ok, true}}) {
    TMainWindow& window = Open();
    AddWaves(2);
    for (DialogAnswer answer : {DialogAnswer::Ok, DialogAnswer::Ok, c.quitWithoutSaving}) {
      dialogs_.Queue(ScriptedDialogs::MessageAnswer{answer});
    }
    EXPECT_EQ(RequestClose(), c.closes);
    const auto& prompts = dialogs_.Prompts();
    ASSERT_GE(prompts.size(), 2u);
    const auto& error = prompts[prompts.size() - 2];
    EXPECT_EQ(error.title, QStringLiteral("エラー"));
    EXPECT_TRUE(error.text.startsWith(QStringLiteral("\nファイル ")));
    EXPECT_EQ(prompts.back().title, QStringLiteral("警告"));
    EXPECT_EQ(prompts.back().text, QStringLiteral("\n設定を保存せずに終了しますか？"));
    EXPECT_EQ(prompts.back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(test::RowCount(test::Control<JobListView>(*window_, "InputFileList")), 2);
    EXPECT_EQ(windows_->Settings->ReadString("General", "DefDir", "-"), window.DefDir());
  }
  EXPECT_TRUE(dialogs_.AllAnswersUsed());
}

TEST_F(MainWindowTest, FailedSaveKeepsTheWindowOpenAndTriesAgainOnTheNextClose) {
  std::ofstream(root_ + "config") << "in the way";
  TMainWindow& window = Open();
  for (DialogAnswer answer : {DialogAnswer::Ok, DialogAnswer::Cancel}) {
    dialogs_.Queue(ScriptedDialogs::MessageAnswer{answer});
  }
  EXPECT_FALSE(RequestClose());
  EXPECT_EQ(window.Jobs().Count(), 0u);

  std::filesystem::remove(root_ + "config");
  EXPECT_TRUE(RequestClose());
  EXPECT_NE(ReadSettings().find("[General]"), std::string::npos);
}

TEST_F(MainWindowTest, CloseIsRefusedWithoutAQuestionWhileTheWindowIsDisabled) {
  TMainWindow& window = Open();
  AddWaves(1);
  window.setEnabled(false);  // as during a batch run
  EXPECT_FALSE(RequestClose());
  EXPECT_TRUE(dialogs_.Prompts().empty());
}

TEST_F(MainWindowTest, NewFolderIsMadeInTheViewFolderAndListed) {
  TMainWindow& window = Open();
  test::Control<FolderView>(window, "DirectoryListBox1").SetDirectory(root_ + "waves");
  dialogs_.Queue(ScriptedDialogs::InputAnswer{QStringLiteral("新しい")});
  test::Control<QPushButton>(window, "NewDirectory").click();
  EXPECT_TRUE(FolderExists(root_ + "waves/新しい"));
  EXPECT_EQ(dialogs_.Prompts().back().title, QStringLiteral("フォルダ作成"));
  EXPECT_EQ(test::Control<FolderView>(window, "DirectoryListBox1").Directory(), root_ + "waves");
  EXPECT_FALSE(test::Control<FolderView>(window, "DirectoryListBox1")
                   .findItems(QStringLiteral("新しい"), Qt::MatchEndsWith)
                   .isEmpty());

  dialogs_.Queue(ScriptedDialogs::InputAnswer{QStringLiteral("新しい")});
  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  test::Control<QPushButton>(window, "NewDirectory").click();
  EXPECT_EQ(dialogs_.Prompts().back().text, QStringLiteral("\n作成できませんでした"));

  dialogs_.Queue(ScriptedDialogs::InputAnswer{std::nullopt});
  test::Control<QPushButton>(window, "NewDirectory").click();
  EXPECT_TRUE(dialogs_.AllAnswersUsed());
}

TEST_F(MainWindowTest, DriveChoiceReturnsToItsLastFolderOrReportsADriveNotReady) {
  TMainWindow& window = Open();
  auto& drives = test::Control<DriveList>(window, "DriveComboBox1");
  auto& folders = test::Control<FolderView>(window, "DirectoryListBox1");
  // As the user picks a drive: the list shows it, then reports the choice.
  const auto choose = [&drives](int index) {
    drives.setCurrentIndex(index);
    emit drives.activated(index);
  };
  drives.SetRoots({"/", root_ + "waves", root_ + "not-mounted"}, root_);
  folders.SetDirectory(root_ + "program");
  ASSERT_TRUE(CreateFolder(root_ + "waves/inner"));
  folders.SetDirectory(root_ + "waves/inner");
  choose(0);
  EXPECT_EQ(folders.Directory(), root_ + "program");
  choose(1);
  EXPECT_EQ(folders.Directory(), root_ + "waves/inner");

  dialogs_.Queue(ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  choose(2);
  EXPECT_EQ(dialogs_.Prompts().back().text, QStringLiteral("\nドライブの準備が出来ていません"));
  EXPECT_EQ(drives.currentIndex(), 1);  // the drive of the folder view
  EXPECT_EQ(folders.Directory(), root_ + "waves/inner");
}

}  // namespace
}  // namespace lumio
