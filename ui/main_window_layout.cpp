#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/control_names.h"
#include "ui/drive_list.h"
#include "ui/folder_view.h"
#include "ui/look.h"
#include "ui/main_window.h"

// The main window's controls at their fixed places, its menu, and the wiring of every
// control to its handler.
namespace lumio {

namespace {

// Names the control and puts it at its fixed place.
template <typename T>
T* Place(T* widget, const char* name, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
  return Named(widget, name);
}

QLabel* RightAlignedLabel(const char* caption, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

}  // namespace

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

  Bevel2 = Place(new QFrame(client), "Bevel2", 8, 8, 521, 441);
  Bevel2->setFrameStyle(QFrame::Panel | QFrame::Raised);

  InputFileList = Place(new JobListView(client), "InputFileList", 24, 24, 393, 121);
  InputFileList->setModel(&jobs_);
  InputFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  InputFileList->setUniformItemSizes(true);
  InputFileOpen = Place(new QPushButton(QStringLiteral("WAVE追加(&A)"), client), "InputFileOpen",
                        424, 24, 89, 25);
  SelectedClear = Place(new QPushButton(QStringLiteral("選択解除(&C)"), client), "SelectedClear",
                        424, 56, 89, 25);
  DeleteButton =
      Place(new QPushButton(QStringLiteral("削除(&D)"), client), "DeleteButton", 424, 88, 89, 25);
  ClearButton =
      Place(new QPushButton(QStringLiteral("全削除(&V)"), client), "ClearButton", 424, 120, 89, 25);

  AudioInfoText = Place(new QLabel(client), "AudioInfoText", 24, 160, 489, 17);
  AudioInfoText->setAlignment(Qt::AlignCenter);
  AudioInfoText->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  FileInfoPanel = Place(new QGroupBox(QStringLiteral("ファイル情報"), client), "FileInfoPanel", 24,
                        192, 289, 201);
  FileInfoPanel->setAutoFillBackground(true);
  QPalette grey = FileInfoPanel->palette();
  grey.setColor(QPalette::Window, ScrollBarColour());
  FileInfoPanel->setPalette(grey);
  Label1 = Place(RightAlignedLabel("タイトル", FileInfoPanel), "Label1", 24, 16, 49, 20);
  Title = Place(new QLineEdit(FileInfoPanel), "Title", 80, 16, 193, 20);
  Label4 = Place(RightAlignedLabel("アーティスト", FileInfoPanel), "Label4", 8, 40, 65, 20);
  Artist = Place(new QLineEdit(FileInfoPanel), "Artist", 80, 40, 193, 20);
  Label2 = Place(RightAlignedLabel("アルバム", FileInfoPanel), "Label2", 8, 64, 65, 20);
  Album = Place(new QLineEdit(FileInfoPanel), "Album", 80, 64, 193, 20);
  Label10 = Place(RightAlignedLabel("日付", FileInfoPanel), "Label10", 24, 88, 49, 20);
  Date = Place(new QLineEdit(FileInfoPanel), "Date", 80, 88, 97, 20);
  Label11 = Place(RightAlignedLabel("トラック", FileInfoPanel), "Label11", 184, 88, 41, 20);
  TrackNumber = Place(new QLineEdit(FileInfoPanel), "TrackNumber", 232, 88, 41, 20);
  Label3 = Place(RightAlignedLabel("コメント", FileInfoPanel), "Label3", 24, 112, 49, 20);
  Comment = Place(new QPlainTextEdit(FileInfoPanel), "Comment", 80, 112, 193, 49);
  Comment->setTabChangesFocus(true);
  Label8 = Place(RightAlignedLabel("ファイル名", FileInfoPanel), "Label8", 16, 168, 57, 20);
  OutputFileName = Place(new QLineEdit(FileInfoPanel), "OutputFileName", 80, 168, 193, 20);

  Label5 = Place(new QLabel(QStringLiteral("出力先"), client), "Label5", 328, 192, 57, 17);
  NewDirectory = Place(new QPushButton(QStringLiteral("新規フォルダ作成"), client), "NewDirectory",
                       374, 192, 107, 20);
  DriveComboBox1 = Named(new DriveList(client), "DriveComboBox1");
  DriveComboBox1->setGeometry(328, 215, 185, DriveComboBox1->sizeHint().height());
  DirectoryListBox1 = Place(new FolderView(client), "DirectoryListBox1", 328, 240, 185, 153);

  Label7 = Place(new QLabel(QStringLiteral("出力先パス"), client), "Label7", 24, 408, 65, 20);
  OutputFilePath = Place(new QLineEdit(client), "OutputFilePath", 88, 408, 425, 20);
  OutputFilePath->setReadOnly(true);
  UseMenuColour(*OutputFilePath);

  EndButton =
      Place(new QPushButton(QStringLiteral("終了(&X)"), client), "EndButton", 16, 464, 81, 25);
  SetupButton = Place(new QPushButton(QStringLiteral("設定変更(&O)"), client), "SetupButton", 104,
                      464, 81, 25);
  Button1 =
      Place(new QPushButton(QStringLiteral("処理結果(&R)"), client), "Button1", 192, 464, 81, 25);
  StartEncode = Place(new QPushButton(QStringLiteral("エンコード開始(&E)"), client), "StartEncode",
                      336, 456, 185, 33);
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
  File1 = Named(menuBar()->addMenu(QStringLiteral("ファイル(&F)")), "File1");
  OpenMenu = Named(File1->addAction(QStringLiteral("WAVEファイル追加(&A)")), "OpenMenu");
  FolderAddMenu = Named(File1->addAction(QStringLiteral("フォルダ追加(&F)")), "FolderAddMenu");
  FolderAddMenu->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+O")));
  N1 = Named(File1->addSeparator(), "N1");
  EncodeMenu = Named(File1->addAction(QStringLiteral("エンコード開始(&E)")), "EncodeMenu");
  EncodeMenu->setEnabled(false);
  N2 = Named(File1->addSeparator(), "N2");
  ExitMenu = Named(File1->addAction(QStringLiteral("終了(&X)")), "ExitMenu");
  Setup1 = Named(menuBar()->addMenu(QStringLiteral("設定(&S)")), "Setup1");
  Setup = Named(Setup1->addAction(QStringLiteral("設定変更(&O)")), "Setup");
  BuildEditMenu();
  Help1 = Named(menuBar()->addMenu(QStringLiteral("ヘルプ(&H)")), "Help1");
  HelpOpen = Named(Help1->addAction(QStringLiteral("ヘルプ(&H)")), "HelpOpen");
  ResultWindowOpen =
      Named(Help1->addAction(QStringLiteral("前回処理結果(&R)")), "ResultWindowOpen");
  N3 = Named(Help1->addSeparator(), "N3");
  AboutMenu = Named(Help1->addAction(QStringLiteral("バージョン情報(&A)")), "AboutMenu");
}

void TMainWindow::ConnectHandlers() {
  connect(InputFileOpen, &QPushButton::clicked, this, &TMainWindow::InputFileOpenClick);
  connect(OpenMenu, &QAction::triggered, this, &TMainWindow::InputFileOpenClick);
  connect(FolderAddMenu, &QAction::triggered, this, &TMainWindow::FolderAddClick);
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
  connect(StartEncode, &QPushButton::clicked, this, &TMainWindow::EncodeRequested);
  connect(EncodeMenu, &QAction::triggered, this, &TMainWindow::EncodeRequested);
  connect(SetupButton, &QPushButton::clicked, this, &TMainWindow::SetupRequested);
  connect(Setup, &QAction::triggered, this, &TMainWindow::SetupRequested);
  connect(Button1, &QPushButton::clicked, this, &TMainWindow::ResultRequested);
  connect(ResultWindowOpen, &QAction::triggered, this, &TMainWindow::ResultRequested);
  connect(AboutMenu, &QAction::triggered, this, &TMainWindow::AboutRequested);
  connect(HelpOpen, &QAction::triggered, this, &TMainWindow::HelpOpenClick);
  connect(EndButton, &QPushButton::clicked, this, &TMainWindow::EndButtonClick);
  connect(ExitMenu, &QAction::triggered, this, &TMainWindow::ProgramExitClick);
}

}  // namespace lumio
