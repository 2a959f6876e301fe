#include "ui/help_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QVBoxLayout>

#include "ui/control_names.h"
#include "ui/look.h"

namespace lumio {

HelpWindow::HelpWindow(QWidget* mainWindow) : QDialog(mainWindow, Qt::Window) {
  setWindowTitle(QStringLiteral("Lumio ヘルプ"));
  setFont(LumioFont());
  resize(680, 560);

  HelpSearch = Named(new QLineEdit(this), "HelpSearch");
  HelpSearch->setPlaceholderText(QStringLiteral("検索 (Ctrl+F)"));
  HelpSearch->setClearButtonEnabled(true);
  connect(HelpSearch, &QLineEdit::returnPressed, this, &HelpWindow::FindNext);

  HelpText = Named(new QPlainTextEdit(this), "HelpText");
  HelpText->setReadOnly(true);
  HelpText->setUndoRedoEnabled(false);
  HelpText->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The help text lines up its columns in a fixed-width font; IPAGothic is the
  // fixed-width Japanese font the package brings.
  QFont fixed = LumioFont();
  fixed.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("monospace")});
  fixed.setStyleHint(QFont::TypeWriter);
  fixed.setPixelSize(14);
  HelpText->setFont(fixed);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(HelpSearch);
  layout->addWidget(HelpText);

  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, this, [this] {
    HelpSearch->setFocus();
    HelpSearch->selectAll();
  });
}

void HelpWindow::ShowText(const QString& text) {
  HelpText->setPlainText(text);
  show();
  raise();
  activateWindow();
}

void HelpWindow::FindNext() {
  const QString wanted = HelpSearch->text();
  if (wanted.isEmpty()) {
    return;
  }
  if (HelpText->find(wanted)) {
    return;
  }
  // Past the last match: go round to the top once.
  QTextCursor top = HelpText->textCursor();
  top.movePosition(QTextCursor::Start);
  HelpText->setTextCursor(top);
  if (!HelpText->find(wanted)) {
    QApplication::beep();
  }
}

}  // namespace lumio
