#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "platform/path_rules.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace lumio {

class Clock;
class DialogSeam;
class DriveList;
class FolderView;
class TAboutWindow;
class TConsoleWindow;
class TProgressWindow;
class TResultWindow;
class TSetupWindow;

// The window the user works in: the job list, the tag and output-name fields of the
// selected jobs, the output-folder choice, and the commands that start a batch and open
// the other windows. It owns the settings store and the job list.
class TMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Opens the settings store at `settingsPath` and restores the two remembered folders;
  // `programFolder` (ending in a separator) is where the add-files dialog starts when
  // no usable folder is remembered, and where the encoder is looked for.
  TMainWindow(DialogSeam& dialogs, std::string settingsPath, Clock& clock,
              std::string programFolder);
  ~TMainWindow() override;

  SettingsStore& Settings() { return *settings_; }
  FileDataList& Jobs() { return jobs_; }
  const std::string& OpenDir() const { return openDir_; }
  const std::string& DefDir() const { return defDir_; }
  bool EditsArmed() const { return editsArmed_; }
  // Indices of the selected entries of InputFileList, ascending.
  Selection SelectedIndices() const;

  void SetSubWindows(TAboutWindow& about, TResultWindow& result, TProgressWindow& progress,
                     TSetupWindow& setup, TConsoleWindow& console);

  // Handlers.
  void InputFileOpenClick();
  void InputFileListClick();
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
  void StartEncodeClick();
  void SetupClick();
  void ResultWindowOpenClick();
  void AboutMenuClick();
  void HelpOpenClick();
  void EndButtonClick();
  void ProgramExitClick();
  void FormDropFiles(const QStringList& paths);
  // Whether the window may close: asks first while the list is not empty.
  bool FormCloseQuery();
  // Writes the two folders and saves the store. When the file cannot be written it
  // shows the error and asks whether to quit without saving; false when the user says
  // いいえ (the window then stays open with everything intact).
  bool FormClose();

  // Controls.
  QFrame* Bevel2 = nullptr;
  QListWidget* InputFileList = nullptr;
  QPushButton* InputFileOpen = nullptr;
  QPushButton* SelectedClear = nullptr;
  QPushButton* DeleteButton = nullptr;
  QPushButton* ClearButton = nullptr;
  QLabel* WaveDataText = nullptr;
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
  QAction* N1 = nullptr;
  QAction* EncodeMenu = nullptr;
  QAction* N2 = nullptr;
  QAction* ExitMenu = nullptr;
  QMenu* Setup1 = nullptr;
  QAction* Setup = nullptr;
  QMenu* Help1 = nullptr;
  QAction* HelpOpen = nullptr;
  QAction* ResultWindowOpen = nullptr;
  QAction* N3 = nullptr;
  QAction* AboutMenu = nullptr;

 signals:
  // The window has closed for good, with its settings saved.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();
  void ConnectHandlers();
  void FormCreate(const std::string& settingsPath);

  void ApplyTagFromField(TagField field, const QString& text);
  bool AddEntry(const std::string& inputPath);
  void RebuildList();
  void ShowError(const std::string& text);
  bool Ask(const std::string& text);

  DialogSeam& dialogs_;
  Clock& clock_;
  std::string programFolder_;
  PathRules rules_ = NativePathRules();
  std::unique_ptr<SettingsStore> settings_;
  FileDataList jobs_;
  std::string openDir_;
  std::string defDir_;
  bool editsArmed_ = false;
  bool batchRunning_ = false;
  bool shownBefore_ = false;

  TAboutWindow* aboutWindow_ = nullptr;
  TResultWindow* resultWindow_ = nullptr;
  TProgressWindow* progressWindow_ = nullptr;
  TSetupWindow* setupWindow_ = nullptr;
  TConsoleWindow* consoleWindow_ = nullptr;
};

}  // namespace lumio
