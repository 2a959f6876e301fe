#include "ui/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/folder_chooser.h"
#include "ui/look.h"
#include "ui/placement.h"

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

}  // namespace

DialogAnswer QtDialogs::Message(QWidget* parent, const QString& title, const QString& text,
                                MessageKind kind, MessageButtons buttons) {
  CentredMessageBox box(kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Critical,
                        title, text, QMessageBox::NoButton, parent);
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
  return RunFolderChooser(parent, title, startFolder);
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

}  // namespace lumio
