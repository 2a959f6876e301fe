// The main window's fields: the six tag fields, 出力ファイル名, 出力先パス and the
// information line show the selected records and follow every change of the job list
// and of the selection; the user's edits of the fields go into the selected records.
#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <algorithm>
#include <functional>

#include "core/folder_tree.h"
#include "platform/file_system.h"
#include "ui/folder_view.h"
#include "ui/look.h"
#include "ui/main_window.h"
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

}  // namespace

void TMainWindow::FollowJobList() {
  // Connected after the view has its model, so that the selection has followed a change
  // of the rows before the fields are shown again.
  connect(InputFileList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TMainWindow::InputFileListClick);
  connect(&jobs_, &QAbstractItemModel::dataChanged, this, &TMainWindow::ShowChangedRows);
  // Rows added leave the selected records as they were: the fields, perhaps being typed
  // into while a folder is added, are left alone.
  connect(&jobs_, &QAbstractItemModel::rowsInserted, this, &TMainWindow::UpdateStartCommands);
  const auto showAgain = [this] {
    ShowSelection();
    UpdateStartCommands();
  };
  connect(&jobs_, &QAbstractItemModel::rowsRemoved, this, showAgain);
  connect(&jobs_, &QAbstractItemModel::modelReset, this, showAgain);
  connect(&jobs_, &QAbstractItemModel::layoutChanged, this, showAgain);
}

void TMainWindow::InputFileListClick() {
  const Selection selection = SelectedIndices();
  // Nothing watches the output folders; the one of an entry chosen alone is looked at
  // when it is chosen.
  if (selection.size() == 1 && !FolderExists(jobs_.Jobs().Record(selection.front()).OutputDir)) {
    jobs_.SetOutputFolder(defDir_, selection);
  }
  ShowSelection();
}

void TMainWindow::ShowChangedRows(const QModelIndex& first, const QModelIndex& last) {
  if (writingEdit_) {
    return;
  }
  const Selection selection = SelectedIndices();
  const auto selected = [&](std::size_t row) {
    return row >= static_cast<std::size_t>(first.row()) &&
           row <= static_cast<std::size_t>(last.row());
  };
  if (std::any_of(selection.begin(), selection.end(), selected)) {
    ShowSelection();
  }
}

void TMainWindow::ShowSelection() {
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
    AudioInfoText->clear();
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
    // The list keeps names for Ogg Vorbis; the field shows what the batch will write.
    OutputFileName->setText(
        ToQString(OutputNameFor(record.OutputFileName, ReadOutputFormat(settings_))));
    // A folder that has gone since the entry was chosen leaves the view where it is; the
    // path shows the record's folder either way.
    DirectoryListBox1->SetDirectory(record.OutputDir);
    OutputFilePath->setText(ToQString(OutputFolderOf(record, rules_)) + OutputFileName->text());
    AudioInfoText->setText(ToQString(record.Audio.InfoText));
  }
  editsArmed_ = true;
}

void TMainWindow::SettingsChanged() { ShowSelection(); }

void TMainWindow::UpdateStartCommands() {
  // A batch waits until the files being added are all in the list.
  const bool canEncode = jobs_.Jobs().Count() > 0 && !Adding();
  StartEncode->setEnabled(canEncode);
  EncodeMenu->setEnabled(canEncode);
}

void TMainWindow::WriteEdit(const std::function<void()>& write) {
  writingEdit_ = true;
  write();
  writingEdit_ = false;
}

void TMainWindow::ApplyTagFromField(TagField field, const QString& text) {
  if (!editsArmed_) {
    return;
  }
  const Selection selection = SelectedIndices();
  if (!selection.empty()) {
    WriteEdit([&] { jobs_.ApplyTag(field, ToBytes(text), selection); });
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
    WriteEdit([&] { jobs_.ApplyTag(TagField::Comment, MemoTextToRecord(*Comment), selection); });
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
  WriteEdit([&] { jobs_.SetOutputFileName(selection.front(), ToBytes(OutputFileName->text())); });
  OutputFilePath->setText(
      ToQString(OutputFolderOf(jobs_.Jobs().Record(selection.front()), rules_)) +
      OutputFileName->text());
}

}  // namespace lumio
