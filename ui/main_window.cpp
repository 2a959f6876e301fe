#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "core/first_folder.h"
#include "core/folder_tree.h"
#include "core/settings_store.h"
#include "core/source_adding.h"
#include "encode/child/decoder_command.h"
#include "encode/child/decoder_lookup.h"
#include "platform/file_system.h"
#include "ui/dialog_seam.h"
#include "ui/drive_list.h"
#include "ui/folder_view.h"
#include "ui/look.h"
#include "ui/message_dialog.h"
#include "ui/open_dialog_filters.h"
#include "ui/placement.h"
#include "ui/source_adder.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

// The dropped files are only read. A drop taken as a move would tell the source that
// it may delete its files, so only a copy or a link is accepted.
bool AcceptAsCopy(QDropEvent& event) {
  const Qt::DropActions offered = event.possibleActions();
  if (!event.mimeData()->hasUrls() || !(offered & (Qt::CopyAction | Qt::LinkAction))) {
    event.ignore();
    return false;
  }
  event.setDropAction(offered & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
  event.accept();
  return true;
}

std::vector<std::string> PathBytes(const QStringList& paths) {
  std::vector<std::string> bytes;
  bytes.reserve(static_cast<std::size_t>(paths.size()));
  for (const QString& path : paths) {
    bytes.push_back(ToBytes(path));  // every path is taken whole, however long it is
  }
  return bytes;
}

}  // namespace

TMainWindow::TMainWindow(DialogSeam& dialogs, SettingsStore& settings, JobListModel& jobs,
                         std::string programFolder)
    : dialogs_(dialogs),
      settings_(settings),
      jobs_(jobs),
      programFolder_(std::move(programFolder)),
      urlOpener_(DesktopUrlOpener(*this)) {
  connect(&jobs_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { NoteAddedRows(first, last); });
  BuildControls();
  BuildMenu();
  ConnectHandlers();
  FollowJobList();
  FormCreate();
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::FormCreate() {
  setAcceptDrops(true);
  RegisterMainWindowForPlacement(this);
  RememberedFolders folders = ReadRememberedFolders(settings_);
  openDir_ = std::move(folders.openDir);
  defDir_ = std::move(folders.defDir);
  editsArmed_ = true;
  setWindowTitle(QStringLiteral("Lumio v" LUMIO_VERSION));
  // With no usable folder saved, both start where the user's music is likely to be,
  // unless the program's folder or the current one is a fit place for it.
  const FirstFolderPlaces places{
      programFolder_, ToBytes(QStandardPaths::writableLocation(QStandardPaths::MusicLocation)),
      ToBytes(QDir::homePath())};
  if (openDir_.empty() || !FolderExists(openDir_)) {
    openDir_ = FirstFolder(programFolder_, places);
  }
  // The folder view and the drive list start at the process's current folder ("/" when
  // that has been removed). This is the view's starting state, not a choice, so nothing
  // reacts to it.
  const std::string current = CurrentFolder();
  const std::string startFolder = FolderExists(current) ? current : std::string(1, '/');
  {
    const QSignalBlocker blocker(DirectoryListBox1);
    DirectoryListBox1->SetDirectory(startFolder);
  }
  DriveComboBox1->SetRoots(MountedRoots(), DirectoryListBox1->Directory());
  DriveComboBox1->Remember(DirectoryListBox1->Directory());
  if (!defDir_.empty() && FolderExists(defDir_)) {
    DirectoryListBox1->SetDirectory(defDir_);
  } else {
    DirectoryListBox1->SetDirectory(FirstFolder(DirectoryListBox1->Directory(), places));
    defDir_ = WithTrailingSeparator(DirectoryListBox1->Directory(), rules_);
  }
  ShowSelection();
  UpdateStartCommands();
}

Selection TMainWindow::SelectedIndices() const {
  // Read from the selection ranges directly: asking every row whether it is selected
  // would make each keystroke cost time in proportion to the whole list.
  Selection rows;
  for (const QItemSelectionRange& range : InputFileList->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      rows.push_back(static_cast<std::size_t>(row));
    }
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void TMainWindow::DirectoryListBox1Change() {
  const std::string folder = WithTrailingSeparator(DirectoryListBox1->Directory(), rules_);
  DriveComboBox1->Remember(DirectoryListBox1->Directory());
  const Selection selection = SelectedIndices();
  if (!selection.empty() && editsArmed_) {
    WriteEdit([&] { MoveSelectedOutputs(folder, selection); });
  }
  OutputFilePath->setText(OutputPathText(selection, folder));
  if (selection.empty()) {
    defDir_ = folder;
  }
}

void TMainWindow::DriveComboBox1Change() {
  const std::string root = DriveComboBox1->ChosenRoot();
  if (!DriveReady(root)) {
    ShowError("\nドライブの準備が出来ていません");
    DriveComboBox1->ShowDriveOf(DirectoryListBox1->Directory());
    return;
  }
  const std::string remembered = DriveComboBox1->RememberedFolder(root);
  DirectoryListBox1->SetDirectory(FolderExists(remembered) ? remembered : root);
}

void TMainWindow::NewDirectoryClick() {
  const std::optional<QString> name =
      dialogs_.InputText(this, QStringLiteral("フォルダ作成"),
                         QStringLiteral("作成するフォルダ名を入力して下さい"), QString());
  if (!name) {
    return;
  }
  // The folder is made inside the folder view's folder; a full path is taken as it is.
  // The path is built here rather than through the process's current folder, so that
  // a view folder removed meanwhile cannot send the new folder somewhere else.
  const std::string typed = ToBytes(*name);
  const std::string target =
      typed.empty() || typed.front() == '/'
          ? typed
          : WithTrailingSeparator(DirectoryListBox1->Directory(), rules_) + typed;
  if (!CreateFolder(target)) {
    ShowError("\n作成できませんでした");
  }
  DirectoryListBox1->Reread();
}

void TMainWindow::NoteAddedRows(int first, int last) {
  if (adding_) {
    const std::vector<std::string> cutShort =
        CutShortInputs(Jobs(), static_cast<std::size_t>(first), static_cast<std::size_t>(last) + 1);
    addedCutShort_.insert(addedCutShort_.end(), cutShort.begin(), cutShort.end());
  }
  for (int row = first; row <= last && !addedDecodedSource_; ++row) {
    // The decoder reads what the encoder cannot, and cuts the tracks of a CUE image.
    const auto index = static_cast<std::size_t>(row);
    addedDecodedSource_ =
        NeedsDecoder(Jobs().InputPath(index), Jobs().Record(index), rules_.codePage);
  }
}

void TMainWindow::InputFileOpenClick() {
  // The dialog starts in OpenDir; when that has gone, in the folder Lumio started in.
  const std::string start = FolderExists(openDir_) ? openDir_ : CurrentFolder();
  const std::optional<QStringList> files =
      dialogs_.OpenFiles(this, QStringLiteral("開く"), ToQString(start), OpenDialogFilters());
  if (files && !files->isEmpty()) {
    pendingOpenDir_ = FolderPart(ToBytes(files->constFirst()), rules_);
    AddSources(PathBytes(*files), true);
  }
}

void TMainWindow::FolderAddClick() {
  const std::optional<QString> folder =
      dialogs_.ChooseFolder(this, QStringLiteral("フォルダ追加"), ToQString(openDir_));
  if (!folder) {
    return;
  }
  openDir_ = WithTrailingSeparator(ToBytes(*folder), rules_);
  AddSources({ToBytes(*folder)}, false);
}

void TMainWindow::FormDropFiles(const QStringList& paths) { DropPaths(PathBytes(paths)); }

void TMainWindow::DropPaths(const std::vector<std::string>& paths) {
  if (!isEnabled()) {
    pathsWaitingForBatch_.insert(pathsWaitingForBatch_.end(), paths.begin(), paths.end());
    return;
  }
  AddSources(paths, false);
}

void TMainWindow::AddSources(const std::vector<std::string>& paths, bool takeAnyFile) {
  adding_ = true;
  UpdateStartCommands();  // the fields stay usable while the files are added
  emit AddRequested(paths, takeAnyFile);
}

void TMainWindow::AddFinished(const std::vector<std::string>& failed) {
  adding_ = false;
  if (failed.empty() && !pendingOpenDir_.empty()) {
    openDir_ = pendingOpenDir_;
  }
  pendingOpenDir_.clear();
  const bool sayDecoderMissing = std::exchange(addedDecodedSource_, false) &&
                                 !decoderMissingSaid_ && ResolveDecoderPath(programFolder_).empty();
  decoderMissingSaid_ = decoderMissingSaid_ || sayDecoderMissing;
  std::vector<std::string> cutShort = std::exchange(addedCutShort_, {});
  // Told from the event loop: a modal box opened here would run its loop inside the
  // adder's signal. A batch waits until it has been told.
  ++reportsWaiting_;
  QTimer::singleShot(0, this, [this, failed, cutShort = std::move(cutShort), sayDecoderMissing] {
    if (!failed.empty()) {
      ShowError(AddFailureMessage(failed));
    }
    if (!cutShort.empty()) {
      ShowMessageDialog(dialogs_, "\n" + CutShortSummary(cutShort), MessageKind::Warning,
                        MessageButtons::Ok);
    }
    if (sayDecoderMissing) {
      ShowMessageDialog(dialogs_, "\n" + DecoderMissingMessage(), MessageKind::Warning,
                        MessageButtons::Ok);
    }
    --reportsWaiting_;
    UpdateStartCommands();
  });
}

void TMainWindow::DeleteButtonClick() {
  const Selection selection = SelectedIndices();
  if (!selection.empty()) {
    // The selection and the current row are let go first: the rows leave without
    // carrying them along, and the keys start again from the top of the list.
    InputFileList->clearSelection();
    InputFileList->selectionModel()->clearCurrentIndex();
    jobs_.RemoveSelected(selection);
  }
}

void TMainWindow::ClearButtonClick() {
  if (jobs_.Jobs().Count() == 0 || !Ask("\n全削除してよろしいですか？")) {
    return;
  }
  jobs_.Clear();
}

void TMainWindow::SelectedClearClick() { InputFileList->clearSelection(); }

void TMainWindow::EndButtonClick() { close(); }
void TMainWindow::ProgramExitClick() { close(); }

bool TMainWindow::FormCloseQuery() {
  return jobs_.Jobs().Count() == 0 || Ask("\n終了してよろしいですか？");
}

bool TMainWindow::FormClose() {
  WriteRememberedFolders(settings_, {openDir_, defDir_});
  const SaveResult saved = settings_.UpdateFile();
  if (!saved.ok) {
    ShowError("\n" + saved.errorMessage);
    // A folder that cannot be written would otherwise keep the window from ever closing.
    return ShowMessageDialog(dialogs_, "\n設定を保存せずに終了しますか？", MessageKind::Warning,
                             MessageButtons::YesNo) == DialogAnswer::Ok;
  }
  jobs_.Clear();
  return true;
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  // A window manager may still deliver a close request while a batch runs and this
  // window is disabled; the batch needs the list and the store until it ends.
  // (A batch disables the window for as long as it runs.)
  if (!isEnabled() || !FormCloseQuery() || !FormClose()) {
    event->ignore();
    return;
  }
  event->accept();
  emit Closed();
}

void TMainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shownBefore_) {
    shownBefore_ = true;
    if (const QScreen* display = screen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(display->availableGeometry().center());
      move(frame.topLeft());
    }
  }
}

void TMainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && isEnabled() && !pathsWaitingForBatch_.empty()) {
    AddSources(std::exchange(pathsWaitingForBatch_, {}), false);
  }
}

void TMainWindow::dragEnterEvent(QDragEnterEvent* event) { AcceptAsCopy(*event); }

void TMainWindow::dragMoveEvent(QDragMoveEvent* event) { AcceptAsCopy(*event); }

void TMainWindow::dropEvent(QDropEvent* event) {
  if (!AcceptAsCopy(*event)) {
    return;
  }
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      paths.push_back(url.toLocalFile());
    }
  }
  FormDropFiles(paths);
}

void TMainWindow::ShowError(const std::string& text) {
  ShowMessageDialog(dialogs_, text, MessageKind::Error, MessageButtons::Ok);
}

bool TMainWindow::Ask(const std::string& text) {
  return ShowMessageDialog(dialogs_, text, MessageKind::Warning, MessageButtons::OkCancel) ==
         DialogAnswer::Ok;
}

}  // namespace lumio
