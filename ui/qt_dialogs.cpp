#include "ui/qt_dialogs.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "ui/folder_chooser.h"
#include "ui/look.h"
#include "ui/placement.h"
#include "ui/tag_pattern_window.h"

namespace lumio {

namespace {

// A message box that centres itself over the main window once it has taken its final
// size, which a message box works out only as it is shown.
class CentredMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    PlaceCentredOverMainWindow(*this);
  }
};

// A message of more lines than this shows them in a scrolling area.
constexpr int kMostLinesShownWhole = 20;
// The share of the screen's height that the scrolling area may take.
constexpr double kMostScreenShare = 0.6;

// Moves the box's text into a scrolling area no taller than a share of the screen, so
// that a message listing hundreds of files still fits and its buttons stay in reach.
void ScrollTheText(QMessageBox& box) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  const int index = grid == nullptr || label == nullptr ? -1 : grid->indexOf(label);
  if (index < 0) {
    return;
  }
  int row = 0;
  int column = 0;
  int rows = 0;
  int columns = 0;
  grid->getItemPosition(index, &row, &column, &rows, &columns);
  grid->removeWidget(label);
  auto* area = new QScrollArea(&box);
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  area->setWidget(label);
  const QScreen* screen = box.screen();
  const int mostHeight =
      screen == nullptr ? 400
                        : static_cast<int>(screen->availableGeometry().height() * kMostScreenShare);
  const QSize text = label->sizeHint();
  area->setMinimumSize(text.width() + area->verticalScrollBar()->sizeHint().width(),
                       std::min(text.height(), mostHeight));
  grid->addWidget(area, row, column, rows, columns);
}

}  // namespace

DialogAnswer QtDialogs::Message(QWidget* parent, const QString& title, const QString& text,
                                MessageKind kind, MessageButtons buttons) {
  const QMessageBox::Icon icon = kind == MessageKind::Warning ? QMessageBox::Warning
                                 : kind == MessageKind::Error ? QMessageBox::Critical
                                                              : QMessageBox::Question;
  CentredMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
  box.setFont(LumioFont());
  const bool yesNo = buttons == MessageButtons::YesNo;
  QPushButton* ok =
      box.addButton(yesNo ? QStringLiteral("はい") : QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  // Escape and the close box both answer with the escape button, so with two buttons
  // they count as キャンセル (いいえ), and a lone OK closes the box as OK.
  if (buttons == MessageButtons::Ok) {
    box.setEscapeButton(ok);
  } else {
    box.setEscapeButton(box.addButton(
        yesNo ? QStringLiteral("いいえ") : QStringLiteral("キャンセル"), QMessageBox::RejectRole));
  }
  if (text.count(QLatin1Char('\n')) > kMostLinesShownWhole) {
    ScrollTheText(box);
  }
  box.exec();
  return box.clickedButton() == ok ? DialogAnswer::Ok : DialogAnswer::Cancel;
}

std::optional<QStringList> QtDialogs::OpenFiles(QWidget* parent, const QString& caption,
                                                const QString& startFolder, const QString& filter) {
  const QStringList files = QFileDialog::getOpenFileNames(parent, caption, startFolder, filter);
  if (files.isEmpty()) {
    return std::nullopt;
  }
  return files;
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& caption,
                                           const QString& startFolder, const QStringList& filters) {
  QFileDialog dialog(parent, caption, startFolder);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::ChooseFolder(QWidget* parent, const QString& title,
                                               const QString& startFolder) {
  return RunFolderChooser(*this, parent, title, startFolder);
}

std::optional<QString> QtDialogs::InputText(QWidget* parent, const QString& title,
                                            const QString& prompt, const QString& initial) {
  QInputDialog dialog(parent);
  dialog.setFont(LumioFont());
  dialog.setWindowTitle(title);
  dialog.setLabelText(prompt);
  dialog.setTextValue(initial);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("キャンセル"));
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return dialog.textValue();
}

std::optional<QString> QtDialogs::TagPattern(
    QWidget* parent, const QString& title, const QString& prompt, const QString& initial,
    const std::function<QString(const QString&)>& preview) {
  TTagPatternWindow dialog(parent, title, prompt, initial, preview);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return dialog.PatternText();
}

}  // namespace lumio
