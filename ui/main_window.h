#pragma once

// The windows layer. How it reports failures: the layers below hand back results (a
// save result, a refused batch, the paths that could not be added, nullopt for a
// cancelled dialog) and never throw; the window that asked shows the failure in the one
// modal message box (ShowMessageDialog, through the DialogSeam) with the program's fixed
// Japanese text under the title "エラー" or "警告", and leaves what it failed to change
// as it was. Nothing is thrown into Qt's event loop.
//
// Each window owns its controls: they are private, carry their member names as object
// names (found with findChild), and only the window itself changes them; other code
// uses the window's public functions.

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_schema.h"
#include "platform/path_rules.h"
#include "ui/job_list_model.h"
#include "ui/job_list_view.h"
#include "ui/url_opener.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace lumio {

class DialogSeam;
class DriveList;
class FolderView;
class HelpWindow;
class SettingsStore;

// The window the user works in: the job list, the tag and output-name fields of the
// selected jobs, the output-folder choice, and the commands that start a batch and open
// the other windows. The settings store and the job list are the program's (see
// LumioWindows); the window asks for adding, a batch and the other windows through its
// signals.
class TMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Shows `jobs` and restores the two remembered folders from `settings`;
  // `programFolder` (ending in a separator) is where the add-files dialog starts when
  // no usable folder is remembered and it is a fit place for music (FirstFolder), and
  // where the decoder and the help text are looked for.
  TMainWindow(DialogSeam& dialogs, SettingsStore& settings, JobListModel& jobs,
              std::string programFolder);
  ~TMainWindow() override;

  const FileDataList& Jobs() const { return jobs_.Jobs(); }
  const std::string& OpenDir() const { return openDir_; }
  // The output folder of the entries added next, unless the settings name another.
  const std::string& DefDir() const { return defDir_; }
  // What asks the desktop to open the help text; the desktop's own unless replaced.
  void SetUrlOpener(UrlOpener opener);

  // Adds dropped files and folders; also the paths given at start-up or handed over by
  // a second start of the program. While the window is disabled (a batch runs) the
  // paths wait until it is enabled again, so the list never changes under a batch.
  void FormDropFiles(const QStringList& paths);
  // The same for paths as the file system's bytes, which need not be UTF-8.
  void DropPaths(const std::vector<std::string>& paths);
  // Whether files are still being added from the event loop, or what the adding met is
  // still to be told.
  bool Adding() const { return adding_ || reportsWaiting_ > 0; }
  // Adding has ended (the adder's Finished). The files that could not be added are named
  // from the event loop, once the signal has returned.
  void AddFinished(const std::vector<std::string>& failed);
  // The settings may have changed (the setup window has closed): the panel shows the
  // output name as the batch will now write it.
  void SettingsChanged();

 signals:
  // The window has closed for good, with its settings saved.
  void Closed();
  // The user gave files and folders to add (see SourceAdder::Add); AddFinished follows.
  void AddRequested(const std::vector<std::string>& paths, bool takeAnyFile);
  // エンコード開始, 設定変更, 処理結果 and バージョン情報.
  void EncodeRequested();
  void SetupRequested();
  void ResultRequested();
  void AboutRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private slots:
  void InputFileOpenClick();
  // The selection changed: an entry chosen alone whose output folder has gone is given
  // the default folder, and the fields show the new selection.
  void InputFileListClick();
  // Adds every sound file under a folder chosen in the folder chooser.
  void FolderAddClick();
  void SelectedClearClick();
  void DeleteButtonClick();
  void ClearButtonClick();
  void TitleChange();
  void ArtistChange();
  void AlbumChange();
  void DateChange();
  void TrackNumberChange();
  void CommentChange();
  void OutputFileNameChange();
  void DriveComboBox1Change();
  void DirectoryListBox1Change();
  void NewDirectoryClick();
  // Opens the help text with the desktop's program for it, or, when the desktop
  // cannot, in Lumio's own help window.
  void HelpOpenClick();
  void EndButtonClick();
  void ProgramExitClick();

  // The 編集 menu's commands on the selected entries.
  void NumberTracksClick();
  void FileNameFromTagsClick();
  void TagsFromFileNameClick();
  // Opens すべてのタグ for the selected entries (main_window_all_tags.cpp).
  void AllTagsClick();
  // Ctrl+Up (-1) and Ctrl+Down (+1): each selected entry one place.
  void MoveSelectedEntries(int step);
  // The selected entries dragged to stand before `row`.
  void DropSelectedEntries(int row);

 private:
  // Indices of the selected entries of InputFileList, ascending.
  Selection SelectedIndices() const;
  // Whether the window may close: asks first while the list is not empty.
  bool FormCloseQuery();
  // Writes the two folders and saves the store. When the file cannot be written it
  // shows the error and asks whether to quit without saving; false when the user says
  // いいえ (the window then stays open with everything intact).
  bool FormClose();

  void BuildControls();
  void BuildMenu();
  void BuildEditMenu();
  void ConnectHandlers();
  void FormCreate();

  // The fields, 出力先パス and the information line show the selected records (see
  // FollowJobList); the start commands are enabled while the list is not empty and
  // nothing is being added.
  void ShowSelection();
  void UpdateStartCommands();
  // Lets the fields follow the job list and the selection.
  void FollowJobList();
  // The records from `first` to `last` changed: shown again when one of them is selected.
  void ShowChangedRows(const QModelIndex& first, const QModelIndex& last);
  // Writes the user's edit of a field into the records; the fields, which show the edit
  // already, are not filled again from them (that would move the cursor or empty a field
  // typed into for several entries).
  void WriteEdit(const std::function<void()>& write);
  void ApplyTagFromField(TagField field, const QString& text);
  // Output folders (main_window_output.cpp). Gives the selected jobs the output folder
  // `folder` chosen in the folder view.
  void MoveSelectedOutputs(const std::string& folder, const Selection& selection);
  // The output folder that every selected job shares, its kept tree aside; nullopt when
  // they differ or nothing is selected.
  std::optional<std::string> SharedOutputDir(const Selection& selection) const;
  // What 出力先パス shows for the selection; `viewFolder` when nothing is selected.
  QString OutputPathText(const Selection& selection, const std::string& viewFolder) const;
  void AddSources(const std::vector<std::string>& paths, bool takeAnyFile);
  // Notes whether the entries just listed need the decoder.
  void NoteAddedRows(int first, int last);
  void UpdateEditCommands();
  void ShowMovedEntries(const Selection& placed);
  std::string SourceStem(std::size_t index) const;
  // Asks for a pattern, offering the one of `kind` last used, and remembers the pattern
  // given; nullopt when cancelled.
  std::optional<std::string> AskPattern(const QString& title, const QString& prompt,
                                        TagPatternKind kind,
                                        const std::function<QString(const std::string&)>& preview);
  void ShowError(const std::string& text);
  void ShowHelpInOwnWindow(const std::string& path);
  bool Ask(const std::string& text);

  DialogSeam& dialogs_;
  SettingsStore& settings_;
  JobListModel& jobs_;
  std::string programFolder_;
  PathRules rules_ = NativePathRules();
  std::string openDir_;
  std::string defDir_;
  // Off while the window itself fills the fields, so that only the user's edits reach
  // the records.
  bool editsArmed_ = false;
  bool shownBefore_ = false;
  bool adding_ = false;
  bool writingEdit_ = false;
  // Adding has ended and its message boxes wait for the event loop.
  int reportsWaiting_ = 0;
  // The folder of the files chosen in the add-files dialog, which becomes OpenDir when
  // all of them were added.
  std::string pendingOpenDir_;
  std::vector<std::string> pathsWaitingForBatch_;
  // A file that needs the decoder was added since the last adding ended; whether its
  // absence has been said (once for the program's life).
  bool addedDecodedSource_ = false;
  // The entries added in this round that were found cut short, told when it ends.
  std::vector<std::string> addedCutShort_;
  bool decoderMissingSaid_ = false;

  UrlOpener urlOpener_;
  HelpWindow* helpWindow_ = nullptr;

  // Controls, each with its member name as object name.
  QFrame* Bevel2 = nullptr;
  JobListView* InputFileList = nullptr;
  QPushButton* InputFileOpen = nullptr;
  QPushButton* SelectedClear = nullptr;
  QPushButton* DeleteButton = nullptr;
  QPushButton* ClearButton = nullptr;
  QLabel* AudioInfoText = nullptr;
  QGroupBox* FileInfoPanel = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Title = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* Artist = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Album = nullptr;
  QLabel* Label10 = nullptr;
  QLineEdit* Date = nullptr;
  QLabel* Label11 = nullptr;
  QLineEdit* TrackNumber = nullptr;
  QLabel* Label3 = nullptr;
  QPlainTextEdit* Comment = nullptr;
  QLabel* Label8 = nullptr;
  QLineEdit* OutputFileName = nullptr;
  QLabel* Label5 = nullptr;
  QPushButton* NewDirectory = nullptr;
  DriveList* DriveComboBox1 = nullptr;
  FolderView* DirectoryListBox1 = nullptr;
  QLabel* Label7 = nullptr;
  QLineEdit* OutputFilePath = nullptr;
  QPushButton* EndButton = nullptr;
  QPushButton* SetupButton = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* StartEncode = nullptr;

  // Menu MainMenu1.
  QMenu* File1 = nullptr;
  QAction* OpenMenu = nullptr;
  QAction* FolderAddMenu = nullptr;
  QAction* N1 = nullptr;
  QAction* EncodeMenu = nullptr;
  QAction* N2 = nullptr;
  QAction* ExitMenu = nullptr;
  QMenu* Setup1 = nullptr;
  QAction* Setup = nullptr;
  QMenu* Edit1 = nullptr;
  QAction* NumberTracks = nullptr;
  QAction* NameFromTags = nullptr;
  QAction* TagsFromName = nullptr;
  QAction* AllTags = nullptr;
  QAction* N4 = nullptr;
  QAction* MoveUp = nullptr;
  QAction* MoveDown = nullptr;
  QAction* DeleteMenu = nullptr;
  QMenu* Help1 = nullptr;
  QAction* HelpOpen = nullptr;
  QAction* ResultWindowOpen = nullptr;
  QAction* N3 = nullptr;
  QAction* AboutMenu = nullptr;
  // The list's context menu: the 編集 menu's commands.
  QMenu* ListMenu = nullptr;
};

}  // namespace lumio
