#pragma once

#include <QPoint>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QWidget>
#include <string>
#include <string_view>

#include "encode/run/console_sink.h"

class QPlainTextEdit;

namespace lumio {

// Stands in for the console window of its own that the encoder would have: while the
// console is to be shown, the encoder's output appears here as it comes. A carriage
// return goes back to the start of the current line, so the encoder's progress line is
// rewritten in place; a line feed starts a new line. Closing the window asks the batch to
// stop (a second close ends its encoders for good); the window stays until the encoder
// ends.
//
// Not a Qt child of the main window, which a batch disables; its owner deletes it.
class TConsoleWindow : public QWidget, public ConsoleSink {
  Q_OBJECT

 public:
  explicit TConsoleWindow(QWidget* mainWindow);

  // Where this console stands, from the centre over the main window, when several
  // encoders each show their own.
  void SetCascadeOffset(QPoint offset);

  void EncoderStarted(const std::string& title, RunningEncoder& encoder) override;
  void EncoderOutput(std::string_view bytes) override;
  void EncoderEnded() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Applies the characters to the pending lines and the current line, as a terminal does.
  void Feed(const QString& text);
  // Writes what Feed gathered into the document: the last block is replaced, finished
  // lines are added before it. Only the end of the document is touched.
  void Render();

  QWidget* mainWindow_;
  RunningEncoder* encoder_ = nullptr;
  QStringDecoder decoder_;
  QStringList finishedLines_;
  QString currentLine_;
  qsizetype column_ = 0;
  bool dirty_ = false;
  QPoint cascadeOffset_;
  bool shownBefore_ = false;

  QPlainTextEdit* Output;
};

}  // namespace lumio
