#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace lumio {

// Lumio's own window for the help text, for desktops that cannot open it: the text
// read-only, and a search field (Ctrl+F) whose Enter selects the next match, going
// round to the top after the last. Not modal, so the user can read while working.
class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* mainWindow);

  // Shows `text` from its top, and brings the window up.
  void ShowText(const QString& text);

 private:
  void FindNext();

  QLineEdit* HelpSearch = nullptr;
  QPlainTextEdit* HelpText = nullptr;
};

}  // namespace lumio
