// The main window's 編集 commands: track numbers, output names from tags, tags from
// file names, and moving or deleting entries. They act on the selected entries through
// the job list's record updates, which the fields follow.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include "core/name_list.h"
#include "core/tag_pattern.h"
#include "ui/control_names.h"
#include "ui/dialog_seam.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

QString TagLabel(TagField field) {
  switch (field) {
    case TagField::Title:
      return QStringLiteral("タイトル");
    case TagField::Artist:
      return QStringLiteral("アーティスト");
    case TagField::Album:
      return QStringLiteral("アルバム");
    case TagField::Date:
      return QStringLiteral("日付");
    case TagField::TrackNumber:
      return QStringLiteral("トラック");
    case TagField::Comment:
      break;
  }
  return QStringLiteral("コメント");
}

// What the pattern reads out of the name, as the preview line shows it.
QString MatchPreview(const std::optional<MatchedTags>& matched) {
  if (!matched) {
    return QStringLiteral("パターンに一致しません");
  }
  QStringList parts;
  for (const auto& [field, text] : *matched) {
    parts.push_back(TagLabel(field) + QStringLiteral(": ") + ToQString(text));
  }
  return parts.join(QStringLiteral(" / "));
}

}  // namespace

void TMainWindow::BuildEditMenu() {
  Edit1 = Named(menuBar()->addMenu(QStringLiteral("編集(&T)")), "Edit1");
  NumberTracks = Named(Edit1->addAction(QStringLiteral("トラック番号を振る(&N)")), "NumberTracks");
  NameFromTags =
      Named(Edit1->addAction(QStringLiteral("タグからファイル名(&F)...")), "NameFromTags");
  TagsFromName =
      Named(Edit1->addAction(QStringLiteral("ファイル名からタグ(&G)...")), "TagsFromName");
  AllTags = Named(Edit1->addAction(QStringLiteral("すべてのタグ(&L)...")), "AllTags");
  AllTags->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
  N4 = Named(Edit1->addSeparator(), "N4");
  // The keys are handled by the list itself; the menu only names them.
  MoveUp = Named(Edit1->addAction(QStringLiteral("上へ移動(&U)\tCtrl+Up")), "MoveUp");
  MoveDown = Named(Edit1->addAction(QStringLiteral("下へ移動(&W)\tCtrl+Down")), "MoveDown");
  DeleteMenu = Named(Edit1->addAction(QStringLiteral("削除(&D)\tDel")), "DeleteMenu");

  ListMenu = Named(new QMenu(this), "ListMenu");
  ListMenu->addActions(Edit1->actions());
  InputFileList->setContextMenuPolicy(Qt::CustomContextMenu);

  connect(Edit1, &QMenu::aboutToShow, this, &TMainWindow::UpdateEditCommands);
  connect(InputFileList, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
    UpdateEditCommands();
    ListMenu->popup(InputFileList->viewport()->mapToGlobal(point));
  });
  connect(NumberTracks, &QAction::triggered, this, &TMainWindow::NumberTracksClick);
  connect(NameFromTags, &QAction::triggered, this, &TMainWindow::FileNameFromTagsClick);
  connect(TagsFromName, &QAction::triggered, this, &TMainWindow::TagsFromFileNameClick);
  connect(AllTags, &QAction::triggered, this, &TMainWindow::AllTagsClick);
  connect(MoveUp, &QAction::triggered, this, [this] { MoveSelectedEntries(-1); });
  connect(MoveDown, &QAction::triggered, this, [this] { MoveSelectedEntries(1); });
  connect(DeleteMenu, &QAction::triggered, this, &TMainWindow::DeleteButtonClick);
  connect(InputFileList, &JobListView::DeletePressed, this, &TMainWindow::DeleteButtonClick);
  connect(InputFileList, &JobListView::StepPressed, this, &TMainWindow::MoveSelectedEntries);
  connect(InputFileList, &JobListView::SelectionDropped, this, &TMainWindow::DropSelectedEntries);
}

void TMainWindow::UpdateEditCommands() {
  const bool anySelected = !SelectedIndices().empty();
  for (QAction* command : Edit1->actions()) {
    command->setEnabled(anySelected);
  }
}

std::string TMainWindow::SourceStem(std::size_t index) const {
  return FileNameWithoutExtension(jobs_.Jobs().InputPath(index), rules_);
}

std::optional<std::string> TMainWindow::AskPattern(
    const QString& title, const QString& prompt, TagPatternKind kind,
    const std::function<QString(const std::string&)>& preview) {
  const QString initial = ToQString(ReadTagPattern(settings_, kind));
  const std::optional<QString> pattern =
      dialogs_.TagPattern(this, title, prompt, initial,
                          [&preview](const QString& typed) { return preview(ToBytes(typed)); });
  if (!pattern) {
    return std::nullopt;
  }
  std::string bytes = ToBytes(*pattern);
  WriteTagPattern(settings_, kind, bytes);
  return bytes;
}

void TMainWindow::NumberTracksClick() {
  const Selection selection = SelectedIndices();
  const std::vector<std::string> numbers = TrackNumbers(selection.size());
  for (std::size_t i = 0; i < selection.size(); ++i) {
    jobs_.ApplyTag(TagField::TrackNumber, numbers[i], {selection[i]});
  }
}

void TMainWindow::FileNameFromTagsClick() {
  const Selection selection = SelectedIndices();
  if (selection.empty()) {
    return;
  }
  const std::size_t first = selection.front();
  const std::optional<std::string> pattern = AskPattern(
      QStringLiteral("タグからファイル名"),
      QStringLiteral("出力ファイル名のパターンを入力して下さい（.ogg は自動で付きます）"),
      TagPatternKind::OutputName, [this, first](const std::string& typed) {
        return ToQString(OutputNameFromTags(typed, jobs_.Jobs().Record(first), SourceStem(first),
                                            rules_.codePage));
      });
  if (!pattern) {
    return;
  }
  for (const std::size_t index : selection) {
    jobs_.SetOutputFileName(index, OutputNameFromTags(*pattern, jobs_.Jobs().Record(index),
                                                      SourceStem(index), rules_.codePage));
  }
}

void TMainWindow::TagsFromFileNameClick() {
  const Selection selection = SelectedIndices();
  if (selection.empty()) {
    return;
  }
  const std::size_t first = selection.front();
  const std::optional<std::string> pattern = AskPattern(
      QStringLiteral("ファイル名からタグ"),
      QStringLiteral("元のファイル名（拡張子を除く）に当てはめるパターンを入力して下さい。\n"
                     "文字はそのまま一致し、%n は数字だけの最長の並びに、ほかの記号は"
                     "後ろが一致する最短の並びに当てはまります。"),
      TagPatternKind::TagsFromName, [this, first](const std::string& typed) {
        return MatchPreview(MatchTagPattern(typed, SourceStem(first), rules_.codePage));
      });
  if (!pattern) {
    return;
  }
  std::vector<std::string> unmatched;
  for (const std::size_t index : selection) {
    const std::optional<MatchedTags> matched =
        MatchTagPattern(*pattern, SourceStem(index), rules_.codePage);
    if (!matched) {
      unmatched.push_back(FileNamePart(jobs_.Jobs().InputPath(index), rules_));
      continue;
    }
    for (const auto& [field, text] : *matched) {
      jobs_.ApplyTag(field, text, {index});
    }
  }
  if (!unmatched.empty()) {
    ShowMessageDialog(dialogs_,
                      "\n" + std::to_string(unmatched.size()) +
                          "個のファイル名がパターンに一致しなかったため、変更していません" +
                          FirstNamesThenCount(unmatched),
                      MessageKind::Warning, MessageButtons::Ok);
  }
}

void TMainWindow::MoveSelectedEntries(int step) {
  const Selection selection = SelectedIndices();
  if (!selection.empty()) {
    ShowMovedEntries(jobs_.StepSelected(selection, step));
  }
}

void TMainWindow::DropSelectedEntries(int row) {
  const Selection selection = SelectedIndices();
  if (!selection.empty() && row >= 0) {
    ShowMovedEntries(jobs_.MoveSelected(selection, static_cast<std::size_t>(row)));
  }
}

void TMainWindow::ShowMovedEntries(const Selection& placed) {
  // The moved entries stay selected, the first of them current and in sight.
  QItemSelection rows;
  for (const std::size_t index : placed) {
    const QModelIndex row = jobs_.index(static_cast<int>(index), 0);
    rows.select(row, row);
  }
  InputFileList->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
  if (!placed.empty()) {
    const QModelIndex current = jobs_.index(static_cast<int>(placed.front()), 0);
    InputFileList->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    InputFileList->scrollTo(current);
  }
}

}  // namespace lumio
