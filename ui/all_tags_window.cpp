#include "ui/all_tags_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "core/image_file.h"
#include "core/vorbis_comment.h"
#include "encode/finish/carried_tags_writer.h"
#include "ui/control_names.h"
#include "ui/dialog_seam.h"
#include "ui/message_dialog.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

const QString kDiffering = QStringLiteral("(複数の値)");
constexpr int kSixRows = 6;

QString PictureTypeName(std::int32_t type) {
  switch (type) {
    case 3:
      return QStringLiteral("表紙");
    case 4:
      return QStringLiteral("裏表紙");
    default:
      return QStringLiteral("画像 (種類 %1)").arg(type);
  }
}

QString SizeText(std::uint64_t bytes) {
  return bytes >= 1024 * 1024 ? QStringLiteral("%1 MB").arg(bytes / 1048576.0, 0, 'f', 1)
                              : QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
}

QTableWidgetItem* FixedItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

// One of the six, greyed and saying where it is edited, since the table does not edit it.
QTableWidgetItem* MainWindowItem(const QString& text, const QPalette& palette) {
  QTableWidgetItem* item = FixedItem(text);
  item->setForeground(palette.color(QPalette::Disabled, QPalette::Text));
  item->setToolTip(QStringLiteral("この項目はメインウィンドウで編集します"));
  return item;
}

}  // namespace

TAllTagsWindow::TAllTagsWindow(QWidget* parent, JobListModel& jobs, Selection selection,
                               CarryOptions options, DialogSeam& dialogs)
    : QDialog(parent),
      jobs_(jobs),
      selection_(std::move(selection)),
      options_(options),
      dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("すべてのタグ"));
  resize(560, 520);
  FieldTable = Named(new QTableWidget(0, 2, this), "FieldTable");
  FieldTable->setHorizontalHeaderLabels({QStringLiteral("名前"), QStringLiteral("値")});
  FieldTable->horizontalHeader()->setStretchLastSection(true);
  FieldTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  AddField = Named(new QPushButton(QStringLiteral("追加(&A)"), this), "AddField");
  RemoveField = Named(new QPushButton(QStringLiteral("削除(&D)"), this), "RemoveField");
  PictureList = Named(new QListWidget(this), "PictureList");
  PictureList->setIconSize(QSize(64, 64));
  RemovePicture = Named(new QPushButton(QStringLiteral("画像を削除(&R)"), this), "RemovePicture");
  SetPicture = Named(new QPushButton(QStringLiteral("画像を設定(&P)..."), this), "SetPicture");
  LeftOutList = Named(new QListWidget(this), "LeftOutList");
  AllTagsOk = Named(new QPushButton(QStringLiteral("OK"), this), "AllTagsOk");
  AllTagsCancel = Named(new QPushButton(QStringLiteral("キャンセル"), this), "AllTagsCancel");
  // Enter presses OK, never a button that last had the focus.
  for (QPushButton* button : {AddField, RemoveField, RemovePicture, SetPicture, AllTagsCancel}) {
    button->setAutoDefault(false);
  }
  AllTagsOk->setDefault(true);

  auto* fieldButtons = new QHBoxLayout;
  fieldButtons->addWidget(AddField);
  fieldButtons->addWidget(RemoveField);
  fieldButtons->addStretch();
  auto* pictureButtons = new QHBoxLayout;
  pictureButtons->addWidget(RemovePicture);
  pictureButtons->addWidget(SetPicture);
  pictureButtons->addStretch();
  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(AllTagsOk);
  closing->addWidget(AllTagsCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FieldTable, 3);
  layout->addLayout(fieldButtons);
  layout->addWidget(new QLabel(QStringLiteral("画像"), this));
  layout->addWidget(PictureList, 2);
  layout->addLayout(pictureButtons);
  layout->addWidget(new QLabel(QStringLiteral("書き込まれないもの"), this));
  layout->addWidget(LeftOutList, 1);
  layout->addLayout(closing);

  // Pictures are changed for one entry at a time.
  const bool single = selection_.size() == 1;
  RemovePicture->setEnabled(single);
  SetPicture->setEnabled(single);
  if (single) {
    pictures_ = jobs_.Jobs().Record(selection_.front()).Carried.Pictures;
  } else {
    SharedPictures shared = PicturesInCommon(SelectedEntries());
    pictures_ = std::move(shared.pictures);
    picturesDiffer_ = shared.othersDiffer;
  }
  FillFields();
  FillPictures();
  FillLeftOut();
  LoadThumbnails();

  connect(FieldTable, &QTableWidget::itemChanged, this,
          [this](QTableWidgetItem* item) { editedRows_.insert(item->row()); });
  connect(AddField, &QPushButton::clicked, this, &TAllTagsWindow::AddFieldClick);
  connect(RemoveField, &QPushButton::clicked, this, &TAllTagsWindow::RemoveFieldClick);
  connect(RemovePicture, &QPushButton::clicked, this, &TAllTagsWindow::RemovePictureClick);
  connect(SetPicture, &QPushButton::clicked, this, &TAllTagsWindow::SetPictureClick);
  connect(AllTagsOk, &QPushButton::clicked, this, &TAllTagsWindow::OkClick);
  connect(AllTagsCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(&thumbnails_, &QFutureWatcherBase::finished, this, [this] {
    const std::vector<QImage> images = thumbnails_.result();
    for (int i = 0; i < PictureList->count() && i < static_cast<int>(images.size()); ++i) {
      const QImage& image = images[static_cast<std::size_t>(i)];
      if (image.isNull()) continue;
      QListWidgetItem* item = PictureList->item(i);
      item->setIcon(QIcon(QPixmap::fromImage(image.scaled(64, 64, Qt::KeepAspectRatio))));
      item->setText(item->text() +
                    QStringLiteral("  %1×%2").arg(image.width()).arg(image.height()));
    }
  });
}

void TAllTagsWindow::keyPressEvent(QKeyEvent* event) {
  // The key ends the edit in the table; it is not meant for the dialog as well.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && FieldTable->indexWidget(FieldTable->currentIndex()) != nullptr) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

std::vector<const CarriedTags*> TAllTagsWindow::SelectedEntries() const {
  std::vector<const CarriedTags*> entries;
  for (const std::size_t index : selection_) entries.push_back(&jobs_.Jobs().Record(index).Carried);
  return entries;
}

void TAllTagsWindow::FillFields() {
  rows_ = SharedFields(SelectedEntries());
  FieldTable->setRowCount(kSixRows + static_cast<int>(rows_.size()));
  // The six come from the entries and are edited in the main window.
  const char* const names[kSixRows] = {"TITLE", "ARTIST",      "ALBUM",
                                       "DATE",  "TRACKNUMBER", "COMMENT"};
  for (int row = 0; row < kSixRows; ++row) {
    QString shown;
    bool same = true;
    for (const std::size_t index : selection_) {
      const FileData& record = jobs_.Jobs().Record(index);
      const std::string* six[kSixRows] = {&record.Title, &record.Artist,      &record.Album,
                                          &record.Date,  &record.TrackNumber, &record.Comment};
      const QString value = ToQString(*six[row]);
      same = same && (index == selection_.front() || value == shown);
      shown = value;
    }
    FieldTable->setItem(row, 0, MainWindowItem(QString::fromLatin1(names[row]), palette()));
    FieldTable->setItem(row, 1, MainWindowItem(same ? shown : kDiffering, palette()));
  }
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const int row = kSixRows + static_cast<int>(i);
    FieldTable->setItem(row, 0, FixedItem(QString::fromStdString(rows_[i].name)));
    auto* value =
        new QTableWidgetItem(rows_[i].value ? QString::fromStdString(*rows_[i].value) : kDiffering);
    FieldTable->setItem(row, 1, value);
  }
}

void TAllTagsWindow::FillPictures() {
  PictureList->clear();
  for (const CarriedPicture& picture : pictures_) {
    PictureList->addItem(QStringLiteral("%1  %2  %3")
                             .arg(PictureTypeName(picture.Type),
                                  QString::fromStdString(picture.Mime), SizeText(picture.Size)));
  }
  if (picturesDiffer_) PictureList->addItem(kDiffering);
}

void TAllTagsWindow::FillLeftOut() {
  LeftOutList->clear();
  if (!options_.fields) {
    LeftOutList->addItem(
        QStringLiteral("元のタグを引き継がない設定のため、上の6項目だけを書き込みます"));
    return;
  }
  const std::uint64_t limit =
      static_cast<std::uint64_t>(std::max(options_.pictureLimitKB, 0)) * 1024;
  for (const std::size_t index : selection_) {
    const FileData& record = jobs_.Jobs().Record(index);
    const QString file = ToQString(record.OutputFileName);
    for (const std::string& name : record.Carried.LeftOut) {
      LeftOutList->addItem(file + QStringLiteral(": %1 (対応していない項目)").arg(ToQString(name)));
    }
    for (const std::string& picture : record.Carried.PicturesLeftOut) {
      LeftOutList->addItem(file + QStringLiteral(": ") + ToQString(picture));
    }
    for (const CarriedPicture& picture : record.Carried.Pictures) {
      if (!options_.pictures) {
        LeftOutList->addItem(
            file +
            QStringLiteral(": %1 (画像を埋め込まない設定)").arg(PictureTypeName(picture.Type)));
      } else if (picture.Size > limit) {
        LeftOutList->addItem(file + QStringLiteral(": %1 %2 (上限 %3 KB を超えています)")
                                        .arg(PictureTypeName(picture.Type), SizeText(picture.Size))
                                        .arg(options_.pictureLimitKB));
      }
    }
  }
}

void TAllTagsWindow::LoadThumbnails() {
  // With several entries, the pictures shown are the first one's.
  const std::string source = jobs_.Jobs().InputPath(selection_.front());
  thumbnails_.setFuture(QtConcurrent::run([pictures = pictures_, source] {
    std::vector<QImage> images;
    for (const CarriedPicture& picture : pictures) {
      const std::optional<std::string> bytes = ReadPictureData(picture, source);
      QImage image;
      if (bytes)
        image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                           static_cast<int>(bytes->size()));
      images.push_back(std::move(image));
    }
    return images;
  }));
}

void TAllTagsWindow::AddFieldClick() {
  int row = FieldTable->rowCount() - 1;
  // An added row still empty is offered again rather than joined by another.
  const bool emptyAdded = row >= kSixRows + static_cast<int>(rows_.size()) &&
                          FieldTable->item(row, 0)->text().isEmpty() &&
                          FieldTable->item(row, 1)->text().isEmpty();
  if (!emptyAdded) {
    row = FieldTable->rowCount();
    FieldTable->insertRow(row);
    FieldTable->setItem(row, 0, new QTableWidgetItem);
    FieldTable->setItem(row, 1, new QTableWidgetItem);
  }
  FieldTable->setCurrentCell(row, 0);
  FieldTable->editItem(FieldTable->item(row, 0));
}

void TAllTagsWindow::RemoveFieldClick() {
  const int row = FieldTable->currentRow();
  if (row < kSixRows) return;
  const std::size_t carried = static_cast<std::size_t>(row - kSixRows);
  if (carried < rows_.size()) {
    removed_.push_back(
        {FieldEdit::Kind::Remove, rows_[carried].name, rows_[carried].occurrence, {}});
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(carried));
  }
  // Rows below move up one place, and so do their marks.
  std::set<int> edited;
  for (const int marked : editedRows_) {
    if (marked != row) edited.insert(marked > row ? marked - 1 : marked);
  }
  editedRows_ = std::move(edited);
  FieldTable->blockSignals(true);
  FieldTable->removeRow(row);
  FieldTable->blockSignals(false);
}

void TAllTagsWindow::RemovePictureClick() {
  const int row = PictureList->currentRow();
  if (row < 0 || row >= static_cast<int>(pictures_.size())) return;
  pictures_.erase(pictures_.begin() + row);
  picturesChanged_ = true;
  delete PictureList->takeItem(row);
}

void TAllTagsWindow::SetPictureClick() {
  const std::optional<QString> path = dialogs_.OpenFile(
      this, QStringLiteral("画像を開く"), QString(),
      {QStringLiteral("画像 (*.jpg *.jpeg *.png)"), QStringLiteral("すべてのファイル (*)")});
  if (!path) return;
  const std::string bytes = path->toStdString();
  if (const std::string refusal = ImageFileRefusal(bytes); !refusal.empty()) {
    ShowMessageDialog(dialogs_, "\n画像を使えません: " + refusal, MessageKind::Error,
                      MessageButtons::Ok);
    return;
  }
  CarriedPicture picture;
  picture.ImagePath = bytes;
  picture.Mime = ImageMimeType(bytes);
  picture.Size = static_cast<std::uint64_t>(QFileInfo(*path).size());
  // The new picture is the front cover: it takes the place of the one there was.
  std::erase_if(pictures_, [](const CarriedPicture& p) { return p.Type == 3; });
  pictures_.insert(pictures_.begin(), picture);
  picturesChanged_ = true;
  FillPictures();
  LoadThumbnails();
}

void TAllTagsWindow::OkClick() {
  std::vector<FieldEdit> edits = removed_;
  for (int row = kSixRows; row < FieldTable->rowCount(); ++row) {
    const std::size_t carried = static_cast<std::size_t>(row - kSixRows);
    const std::string value = FieldTable->item(row, 1)->text().toStdString();
    if (carried < rows_.size()) {
      if (editedRows_.count(row) != 0) {
        edits.push_back(
            {FieldEdit::Kind::Change, rows_[carried].name, rows_[carried].occurrence, value});
      }
      continue;
    }
    const std::string name = FieldTable->item(row, 0)->text().toUpper().toStdString();
    if (name.empty() && value.empty()) continue;
    if (!IsValidFieldName(name)) {
      ShowMessageDialog(dialogs_, "\nフィールド名に使えない文字があります: " + name,
                        MessageKind::Error, MessageButtons::Ok);
      return;
    }
    edits.push_back({FieldEdit::Kind::Add, name, 0, value});
  }
  jobs_.EditRecords(selection_, [&](FileData& record) {
    ApplyFieldEdits(record.Carried, edits);
    if (picturesChanged_) record.Carried.Pictures = pictures_;
  });
  accept();
}

}  // namespace lumio
