#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

#include "platform/file_system.h"
#include "ui/dialog_seam.h"
#include "ui/drive_list.h"
#include "ui/folder_view.h"
#include "ui/look.h"
#include "ui/message_dialog.h"
#include "ui/placement.h"
#include "ui/text_conversion.h"
#include "ui/wave_extension.h"

namespace lumio {

namespace {

template <typename T>
T* Place(T* widget, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
  return widget;
}

QLabel* RightAlignedLabel(const char* caption, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

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

}  // namespace

TMainWindow::TMainWindow(DialogSeam& dialogs, std::string settingsPath, Clock& clock,
                         std::string programFolder)
    : dialogs_(dialogs), clock_(clock), programFolder_(std::move(programFolder)), jobs_(rules_) {
  BuildControls();
  BuildMenu();
  ConnectHandlers();
  FormCreate(settingsPath);
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::BuildControls() {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFont(LumioFont());
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);

  auto* client = new QWidget(this);
  client->setFixedSize(539, 505);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  Bevel2 = Place(new QFrame(client), 8, 8, 521, 441);
  Bevel2->setFrameStyle(QFrame::Panel | QFrame::Raised);

  InputFileList = Place(new QListWidget(client), 24, 24, 393, 121);
  InputFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  InputFileList->setUniformItemSizes(true);
  InputFileOpen = Place(new QPushButton(QStringLiteral("WAVE追加(&A)"), client), 424, 24, 89, 25);
  SelectedClear = Place(new QPushButton(QStringLiteral("選択解除(&C)"), client), 424, 56, 89, 25);
  DeleteButton = Place(new QPushButton(QStringLiteral("削除(&D)"), client), 424, 88, 89, 25);
  ClearButton = Place(new QPushButton(QStringLiteral("全削除(&V)"), client), 424, 120, 89, 25);

  WaveDataText = Place(new QLabel(client), 24, 160, 489, 17);
  WaveDataText->setAlignment(Qt::AlignCenter);
  WaveDataText->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  FileInfoPanel = Place(new QGroupBox(QStringLiteral("ファイル情報"), client), 24, 192, 289, 201);
  FileInfoPanel->setAutoFillBackground(true);
  QPalette grey = FileInfoPanel->palette();
  grey.setColor(QPalette::Window, ScrollBarColour());
  FileInfoPanel->setPalette(grey);
  Label1 = Place(RightAlignedLabel("タイトル", FileInfoPanel), 24, 16, 49, 20);
  Title = Place(new QLineEdit(FileInfoPanel), 80, 16, 193, 20);
  Label4 = Place(RightAlignedLabel("アーティスト", FileInfoPanel), 8, 40, 65, 20);
  Artist = Place(new QLineEdit(FileInfoPanel), 80, 40, 193, 20);
  Label2 = Place(RightAlignedLabel("アルバム", FileInfoPanel), 8, 64, 65, 20);
  Album = Place(new QLineEdit(FileInfoPanel), 80, 64, 193, 20);
  Label10 = Place(RightAlignedLabel("日付", FileInfoPanel), 24, 88, 49, 20);
  Date = Place(new QLineEdit(FileInfoPanel), 80, 88, 97, 20);
  Label11 = Place(RightAlignedLabel("トラック", FileInfoPanel), 184, 88, 41, 20);
  TrackNumber = Place(new QLineEdit(FileInfoPanel), 232, 88, 41, 20);
  Label3 = Place(RightAlignedLabel("コメント", FileInfoPanel), 24, 112, 49, 20);
  Comment = Place(new QPlainTextEdit(FileInfoPanel), 80, 112, 193, 49);
  Comment->setTabChangesFocus(true);
  Label8 = Place(RightAlignedLabel("ファイル名", FileInfoPanel), 16, 168, 57, 20);
  OutputFileName = Place(new QLineEdit(FileInfoPanel), 80, 168, 193, 20);

  Label5 = Place(new QLabel(QStringLiteral("出力先"), client), 328, 192, 57, 17);
  NewDirectory =
      Place(new QPushButton(QStringLiteral("新規フォルダ作成"), client), 374, 192, 107, 20);
  DriveComboBox1 = new DriveList(client);
  DriveComboBox1->setGeometry(328, 215, 185, DriveComboBox1->sizeHint().height());
  DirectoryListBox1 = Place(new FolderView(client), 328, 240, 185, 153);

  Label7 = Place(new QLabel(QStringLiteral("出力先パス"), client), 24, 408, 65, 20);
  OutputFilePath = Place(new QLineEdit(client), 88, 408, 425, 20);
  OutputFilePath->setReadOnly(true);
  UseMenuColour(*OutputFilePath);

  EndButton = Place(new QPushButton(QStringLiteral("終了(&X)"), client), 16, 464, 81, 25);
  SetupButton = Place(new QPushButton(QStringLiteral("設定変更(&O)"), client), 104, 464, 81, 25);
  Button1 = Place(new QPushButton(QStringLiteral("処理結果(&R)"), client), 192, 464, 81, 25);
  StartEncode =
      Place(new QPushButton(QStringLiteral("エンコード開始(&E)"), client), 336, 456, 185, 33);
  StartEncode->setEnabled(false);

  // Files dropped anywhere on the window are added to the list, also over the edit
  // fields, which would otherwise take a dropped path as text.
  QWidget* const textFields[] = {Title,          Artist,      Album,
                                 Date,           TrackNumber, OutputFileName,
                                 OutputFilePath, Comment,     Comment->viewport()};
  for (QWidget* field : textFields) {
    field->setAcceptDrops(false);
  }

  QWidget* const order[] = {InputFileOpen,  SelectedClear, DeleteButton,   ClearButton,
                            InputFileList,  Title,         Artist,         Album,
                            OutputFileName, Date,          TrackNumber,    Comment,
                            OutputFilePath, StartEncode,   SetupButton,    EndButton,
                            Button1,        NewDirectory,  DriveComboBox1, DirectoryListBox1};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
}

void TMainWindow::BuildMenu() {
  File1 = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  OpenMenu = File1->addAction(QStringLiteral("WAVEファイル追加(&A)"));
  N1 = File1->addSeparator();
  EncodeMenu = File1->addAction(QStringLiteral("エンコード開始(&E)"));
  EncodeMenu->setEnabled(false);
  N2 = File1->addSeparator();
  ExitMenu = File1->addAction(QStringLiteral("終了(&X)"));
  Setup1 = menuBar()->addMenu(QStringLiteral("設定(&S)"));
  Setup = Setup1->addAction(QStringLiteral("設定変更(&O)"));
  Help1 = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  HelpOpen = Help1->addAction(QStringLiteral("ヘルプ(&H)"));
  ResultWindowOpen = Help1->addAction(QStringLiteral("前回処理結果(&R)"));
  N3 = Help1->addSeparator();
  AboutMenu = Help1->addAction(QStringLiteral("バージョン情報(&A)"));
}

void TMainWindow::ConnectHandlers() {
  connect(InputFileOpen, &QPushButton::clicked, this, &TMainWindow::InputFileOpenClick);
  connect(OpenMenu, &QAction::triggered, this, &TMainWindow::InputFileOpenClick);
  connect(InputFileList, &QListWidget::itemSelectionChanged, this,
          &TMainWindow::InputFileListClick);
  connect(SelectedClear, &QPushButton::clicked, this, &TMainWindow::SelectedClearClick);
  connect(DeleteButton, &QPushButton::clicked, this, &TMainWindow::DeleteButtonClick);
  connect(ClearButton, &QPushButton::clicked, this, &TMainWindow::ClearButtonClick);
  connect(Title, &QLineEdit::textChanged, this, &TMainWindow::TitleChange);
  connect(Artist, &QLineEdit::textChanged, this, &TMainWindow::ArtistChange);
  connect(Album, &QLineEdit::textChanged, this, &TMainWindow::AlbumChange);
  connect(Date, &QLineEdit::textChanged, this, &TMainWindow::DateChange);
  connect(TrackNumber, &QLineEdit::textChanged, this, &TMainWindow::TrackNumberChange);
  connect(Comment, &QPlainTextEdit::textChanged, this, &TMainWindow::CommentChange);
  connect(OutputFileName, &QLineEdit::textChanged, this, &TMainWindow::OutputFileNameChange);
  connect(DriveComboBox1, &QComboBox::activated, this, &TMainWindow::DriveComboBox1Change);
  connect(DirectoryListBox1, &FolderView::DirectoryChanged, this,
          &TMainWindow::DirectoryListBox1Change);
  connect(NewDirectory, &QPushButton::clicked, this, &TMainWindow::NewDirectoryClick);
  connect(StartEncode, &QPushButton::clicked, this, &TMainWindow::StartEncodeClick);
  connect(EncodeMenu, &QAction::triggered, this, &TMainWindow::StartEncodeClick);
  connect(SetupButton, &QPushButton::clicked, this, &TMainWindow::SetupClick);
  connect(Setup, &QAction::triggered, this, &TMainWindow::SetupClick);
  connect(Button1, &QPushButton::clicked, this, &TMainWindow::ResultWindowOpenClick);
  connect(ResultWindowOpen, &QAction::triggered, this, &TMainWindow::ResultWindowOpenClick);
  connect(AboutMenu, &QAction::triggered, this, &TMainWindow::AboutMenuClick);
  connect(HelpOpen, &QAction::triggered, this, &TMainWindow::HelpOpenClick);
  connect(EndButton, &QPushButton::clicked, this, &TMainWindow::EndButtonClick);
  connect(ExitMenu, &QAction::triggered, this, &TMainWindow::ProgramExitClick);
}

void TMainWindow::FormCreate(const std::string& settingsPath) {
  setAcceptDrops(true);
  RegisterMainWindowForPlacement(this);
  settings_ = std::make_unique<SettingsStore>(settingsPath);
  openDir_ = settings_->ReadString("General", "OpenDir", "");
  defDir_ = settings_->ReadString("General", "DefDir", "");
  editsArmed_ = true;
  setWindowTitle(QStringLiteral("Lumio v0.06"));
  if (openDir_.empty() || !FolderExists(openDir_)) {
    openDir_ = programFolder_;
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

void TMainWindow::SetSubWindows(TAboutWindow& about, TResultWindow& result,
                                TProgressWindow& progress, TSetupWindow& setup,
                                TConsoleWindow& console) {
  aboutWindow_ = &about;
  resultWindow_ = &result;
  progressWindow_ = &progress;
  setupWindow_ = &setup;
  consoleWindow_ = &console;
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
    if (selection.empty()) {
      OutputFilePath->setText(ToQString(defDir_));
    } else {
      OutputFilePath->clear();
    }
    // A default folder removed meanwhile leaves the view where it is; jobs given that
    // folder are stopped by the batch run's check for a missing output folder.
    DirectoryListBox1->SetDirectory(defDir_);
    WaveDataText->clear();
  } else {
    for (QLineEdit* edit : tagEdits) {
      SetEditFieldEnabled(*edit, true);
    }
    SetEditFieldEnabled(*Comment, true);
    SetEditFieldEnabled(*OutputFileName, true);
    FileData& record = jobs_.Record(selection.front());
    Title->setText(ToQString(record.Title));
    Artist->setText(ToQString(record.Artist));
    Album->setText(ToQString(record.Album));
    Date->setText(ToQString(record.Date));
    TrackNumber->setText(ToQString(record.TrackNumber));
    Comment->setPlainText(RecordTextToMemo(record.Comment));
    OutputFileName->setText(ToQString(record.OutputFileName));
    OutputFilePath->setText(ToQString(record.OutputDir) + OutputFileName->text());
    if (FolderExists(record.OutputDir)) {
      DirectoryListBox1->SetDirectory(record.OutputDir);
    } else {
      DirectoryListBox1->SetDirectory(defDir_);
      record.OutputDir = defDir_;
      // The view reports no change when it already shows the default folder (a root
      // such as "/"), or when that folder has gone too, which the batch run then reports;
      // the path shown must follow the record either way.
      OutputFilePath->setText(ToQString(record.OutputDir) + OutputFileName->text());
    }
    WaveDataText->setText(ToQString(record.Wave.InfoText));
  }
  const bool anyJobs = jobs_.Count() > 0;
  StartEncode->setEnabled(anyJobs);
  EncodeMenu->setEnabled(anyJobs);
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
  OutputFilePath->setText(ToQString(jobs_.Record(selection.front()).OutputDir) +
                          OutputFileName->text());
}

void TMainWindow::DirectoryListBox1Change() {
  const std::string folder = WithTrailingSeparator(DirectoryListBox1->Directory(), rules_);
  DriveComboBox1->Remember(DirectoryListBox1->Directory());
  const Selection selection = SelectedIndices();
  if (!selection.empty() && editsArmed_) {
    jobs_.SetOutputFolder(folder, selection);
  }
  OutputFilePath->setText(ToQString(folder) + OutputFileName->text());
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

bool TMainWindow::AddEntry(const std::string& inputPath) {
  if (!jobs_.AddWaveFile(inputPath, *settings_, defDir_)) {
    return false;
  }
  InputFileList->addItem(ToQString(inputPath));
  return true;
}

void TMainWindow::InputFileOpenClick() {
  editsArmed_ = false;
  // The dialog starts in the current folder; when OpenDir has gone, that stays as it was.
  SetCurrentFolder(openDir_);
  const std::optional<QStringList> files =
      dialogs_.OpenFiles(this, QStringLiteral("開く"), ToQString(CurrentFolder()),
                         QStringLiteral("WAVEファイル (*.wav)"));
  if (files && !files->isEmpty()) {
    bool allAdded = true;
    for (const QString& file : *files) {
      if (!AddEntry(ToBytes(file))) {
        allAdded = false;  // the files after the one that failed are not added
        break;
      }
    }
    if (allAdded) {
      openDir_ = FolderPart(ToBytes(files->constFirst()), rules_);
    } else {
      ShowError("\n処理に失敗しました");
    }
  }
  InputFileListClick();
}

void TMainWindow::FormDropFiles(const QStringList& paths) {
  editsArmed_ = false;
  for (const QString& path : paths) {
    // Every path is taken whole, however long it is.
    const std::string bytes = ToBytes(path);
    if (HasWaveExtension(bytes, rules_)) {
      AddEntry(bytes);  // a file that cannot be read is skipped without a message
    }
  }
  InputFileListClick();
}

void TMainWindow::RebuildList() {
  const QSignalBlocker blocker(InputFileList);
  InputFileList->clear();
  QStringList paths;
  paths.reserve(static_cast<qsizetype>(jobs_.Count()));
  for (std::size_t i = 0; i < jobs_.Count(); ++i) {
    paths.push_back(ToQString(jobs_.InputPath(i)));
  }
  InputFileList->addItems(paths);
}

void TMainWindow::DeleteButtonClick() {
  editsArmed_ = false;
  const Selection selection = SelectedIndices();
  if (!selection.empty()) {
    jobs_.RemoveSelected(selection);
    // One rebuild instead of row-by-row removal, which costs time per remaining row.
    RebuildList();
  }
  InputFileListClick();
}

void TMainWindow::ClearButtonClick() {
  if (jobs_.Count() == 0 || !Ask("\n全削除してよろしいですか？")) {
    return;
  }
  jobs_.Clear();
  RebuildList();
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
  return jobs_.Count() == 0 || Ask("\n終了してよろしいですか？");
}

bool TMainWindow::FormClose() {
  settings_->WriteString("General", "OpenDir", openDir_);
  settings_->WriteString("General", "DefDir", defDir_);
  const SaveResult saved = settings_->UpdateFile();
  if (!saved.ok) {
    ShowError("\n" + saved.errorMessage);
    return false;
  }
  jobs_.Clear();
  RebuildList();
  return true;
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  // A window manager may still deliver a close request while a batch runs and this
  // window is disabled; the batch needs the list and the store until it ends.
  if (batchRunning_ || !isEnabled() || !FormCloseQuery() || !FormClose()) {
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
  ShowMessageDialog(dialogs_, text, MessageKind::Error, MessageButtons::Ok, MessageSound::Stop);
}

bool TMainWindow::Ask(const std::string& text) {
  return ShowMessageDialog(dialogs_, text, MessageKind::Warning, MessageButtons::OkCancel,
                           MessageSound::Exclamation) == DialogAnswer::Ok;
}

}  // namespace lumio
