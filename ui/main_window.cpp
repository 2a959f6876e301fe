#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "core/first_folder.h"
#include "core/folder_tree.h"
#include "core/settings_store.h"
#include "encode/decoder_command.h"
#include "encode/decoder_lookup.h"
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

// The memo's lines, separated by CR LF as the records keep them. The raw text is read
// because the plain-text form would turn every non-breaking space into a plain one.
std::string MemoTextToRecord(const QPlainTextEdit& memo) {
  QString text = memo.document()->toRawText();
  for (QChar& character : text) {
    if (character == QChar::ParagraphSeparator || character == QChar::LineSeparator) {
      character = QLatin1Char('\n');
    }
  }
  return ToBytes(text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}
QString RecordTextToMemo(const std::string& text) {
  return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

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
  InputFileListClick();
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

void TMainWindow::InputFileListClick() {
  editsArmed_ = false;
  const Selection selection = SelectedIndices();
  QLineEdit* const tagEdits[] = {Title, Artist, Album, Date, TrackNumber};
  if (selection.size() != 1) {
    for (QLineEdit* edit : tagEdits) {
      edit->clear();
      SetEditFieldEnabled(*edit, !selection.empty());
    }
    Comment->clear();
    SetEditFieldEnabled(*Comment, !selection.empty());
    OutputFileName->clear();
    SetEditFieldEnabled(*OutputFileName, false);
    // A default folder removed meanwhile leaves the view where it is; jobs given that
    // folder are stopped by the batch run's check for a missing output folder.
    DirectoryListBox1->SetDirectory(SharedOutputDir(selection).value_or(defDir_));
    OutputFilePath->setText(OutputPathText(selection, defDir_));
    WaveDataText->clear();
  } else {
    for (QLineEdit* edit : tagEdits) {
      SetEditFieldEnabled(*edit, true);
    }
    SetEditFieldEnabled(*Comment, true);
    SetEditFieldEnabled(*OutputFileName, true);
    const FileData& record = jobs_.Jobs().Record(selection.front());
    Title->setText(ToQString(record.Title));
    Artist->setText(ToQString(record.Artist));
    Album->setText(ToQString(record.Album));
    Date->setText(ToQString(record.Date));
    TrackNumber->setText(ToQString(record.TrackNumber));
    Comment->setPlainText(RecordTextToMemo(record.Comment));
    OutputFileName->setText(ToQString(record.OutputFileName));
    OutputFilePath->setText(ToQString(OutputFolderOf(record, rules_)) + OutputFileName->text());
    if (FolderExists(record.OutputDir)) {
      DirectoryListBox1->SetDirectory(record.OutputDir);
    } else {
      DirectoryListBox1->SetDirectory(defDir_);
      jobs_.SetOutputFolder(defDir_, selection);
      // The view reports no change when it already shows the default folder (a root
      // such as "/"), or when that folder has gone too, which the batch run then reports;
      // the path shown must follow the record either way.
      OutputFilePath->setText(ToQString(OutputFolderOf(record, rules_)) + OutputFileName->text());
    }
    WaveDataText->setText(ToQString(record.Audio.InfoText));
  }
  // A batch waits until the files being added are all in the list.
  const bool canEncode = jobs_.Jobs().Count() > 0 && !Adding();
  StartEncode->setEnabled(canEncode);
  EncodeMenu->setEnabled(canEncode);
  editsArmed_ = true;
}

void TMainWindow::ApplyTagFromField(TagField field, const QString& text) {
  if (!editsArmed_) {
    return;
  }
  const Selection selection = SelectedIndices();
  if (!selection.empty()) {
    jobs_.ApplyTag(field, ToBytes(text), selection);
  }
}

void TMainWindow::TitleChange() { ApplyTagFromField(TagField::Title, Title->text()); }
void TMainWindow::ArtistChange() { ApplyTagFromField(TagField::Artist, Artist->text()); }
void TMainWindow::AlbumChange() { ApplyTagFromField(TagField::Album, Album->text()); }
void TMainWindow::DateChange() { ApplyTagFromField(TagField::Date, Date->text()); }
void TMainWindow::TrackNumberChange() {
  ApplyTagFromField(TagField::TrackNumber, TrackNumber->text());
}

void TMainWindow::CommentChange() {
  if (!editsArmed_) {
    return;
  }
  const Selection selection = SelectedIndices();
  if (!selection.empty()) {
    jobs_.ApplyTag(TagField::Comment, MemoTextToRecord(*Comment), selection);
  }
}

void TMainWindow::OutputFileNameChange() {
  if (!editsArmed_) {
    return;
  }
  const Selection selection = SelectedIndices();
  if (selection.size() != 1) {
    return;
  }
  jobs_.SetOutputFileName(selection.front(), ToBytes(OutputFileName->text()));
  OutputFilePath->setText(
      ToQString(OutputFolderOf(jobs_.Jobs().Record(selection.front()), rules_)) +
      OutputFileName->text());
}

void TMainWindow::DirectoryListBox1Change() {
  const std::string folder = WithTrailingSeparator(DirectoryListBox1->Directory(), rules_);
  DriveComboBox1->Remember(DirectoryListBox1->Directory());
  const Selection selection = SelectedIndices();
  if (!selection.empty() && editsArmed_) {
    MoveSelectedOutputs(folder, selection);
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
  for (int row = first; row <= last && !addedDecodedSource_; ++row) {
    // The decoder reads what the encoder cannot, and cuts the tracks of a CUE image.
    const auto index = static_cast<std::size_t>(row);
    addedDecodedSource_ =
        NeedsDecoder(Jobs().InputPath(index), Jobs().Record(index), rules_.codePage);
  }
}

void TMainWindow::InputFileOpenClick() {
  editsArmed_ = false;
  // The dialog starts in OpenDir; when that has gone, in the folder Lumio started in.
  const std::string start = FolderExists(openDir_) ? openDir_ : CurrentFolder();
  const std::optional<QStringList> files =
      dialogs_.OpenFiles(this, QStringLiteral("開く"), ToQString(start), OpenDialogFilters());
  if (files && !files->isEmpty()) {
    pendingOpenDir_ = FolderPart(ToBytes(files->constFirst()), rules_);
    AddSources(PathBytes(*files), true);
  } else {
    InputFileListClick();
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
  editsArmed_ = false;
  adding_ = true;
  emit AddRequested(paths, takeAnyFile);
  InputFileListClick();  // the fields stay usable while the rest is added
}

void TMainWindow::AddFinished(const std::vector<std::string>& failed) {
  adding_ = false;
  if (failed.empty() && !pendingOpenDir_.empty()) {
    openDir_ = pendingOpenDir_;
  }
  pendingOpenDir_.clear();
  if (!failed.empty()) {
    ShowError(AddFailureMessage(failed));
  }
  if (std::exchange(addedDecodedSource_, false) && !decoderMissingSaid_ &&
      ResolveDecoderPath(programFolder_).empty()) {
    decoderMissingSaid_ = true;
    ShowMessageDialog(dialogs_, "\n" + DecoderMissingMessage(), MessageKind::Warning,
                      MessageButtons::Ok);
  }
  InputFileListClick();
  emit SourcesAdded();
}

void TMainWindow::DeleteButtonClick() {
  editsArmed_ = false;
  const Selection selection = SelectedIndices();
  if (!selection.empty()) {
    // The selection and the current row are let go first: the rows leave without
    // carrying them along, and the keys start again from the top of the list.
    const QSignalBlocker blocker(InputFileList);
    InputFileList->clearSelection();
    InputFileList->selectionModel()->clearCurrentIndex();
    jobs_.RemoveSelected(selection);
  }
  InputFileListClick();
}

void TMainWindow::ClearButtonClick() {
  if (jobs_.Jobs().Count() == 0 || !Ask("\n全削除してよろしいですか？")) {
    return;
  }
  jobs_.Clear();
  InputFileListClick();
}

void TMainWindow::SelectedClearClick() {
  {
    const QSignalBlocker blocker(InputFileList);
    InputFileList->clearSelection();
  }
  InputFileListClick();
}

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
