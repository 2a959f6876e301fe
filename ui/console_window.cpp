#include "ui/console_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/control_names.h"
#include "ui/keep_above.h"
#include "ui/placement.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

// The encoder can write for minutes; the oldest lines go beyond this many.
constexpr int kMaximumLines = 5000;
// A line longer than this is wrapped, as a terminal wraps at its width. Every chunk of
// output rewrites the current line, so an unbounded line (megabytes without a line
// feed) would make each chunk cost time in proportion to all that came before it.
constexpr qsizetype kMaximumColumns = 1024;
constexpr int kColumns = 80;
constexpr int kRows = 25;

}  // namespace

TConsoleWindow::TConsoleWindow(QWidget* mainWindow)
    // A dialog-type window, so that it is kept above the main window (see KeepAboveMainWindow),
    // with the buttons of an ordinary window.
    : QWidget(nullptr, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      mainWindow_(mainWindow),
      decoder_(QStringConverter::System) {
  Output = Named(new QPlainTextEdit(this), "Output");
  Output->setReadOnly(true);
  Output->setUndoRedoEnabled(false);
  Output->setLineWrapMode(QPlainTextEdit::NoWrap);
  Output->setMaximumBlockCount(kMaximumLines);
  Output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Output);

  const QFontMetrics metrics(Output->font());
  resize(metrics.horizontalAdvance(QLatin1Char('M')) * kColumns + 32,
         metrics.lineSpacing() * kRows + 16);
}

void TConsoleWindow::SetCascadeOffset(QPoint offset) { cascadeOffset_ = offset; }

void TConsoleWindow::EncoderStarted(const std::string& title, RunningEncoder& encoder) {
  encoder_ = &encoder;
  decoder_.resetState();
  finishedLines_.clear();
  currentLine_.clear();
  column_ = 0;
  dirty_ = false;
  Output->clear();
  setWindowTitle(ToQString(title));
  if (!shownBefore_) {
    shownBefore_ = true;
    PlaceCentredOverMainWindow(*this);
    move(pos() + cascadeOffset_);
  }
  create();
  KeepAboveMainWindow(*this, mainWindow_);
  show();
}

void TConsoleWindow::EncoderOutput(std::string_view bytes) {
  // The decoder keeps a character split across two chunks until its last byte arrives.
  Feed(decoder_.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()))));
  Render();
}

void TConsoleWindow::EncoderEnded() {
  encoder_ = nullptr;
  Render();
  hide();
}

void TConsoleWindow::closeEvent(QCloseEvent* event) {
  if (encoder_ == nullptr) {
    event->accept();
    return;
  }
  // The window stays until the encoder has ended: it is the only way to stop an encoder
  // that ignores the first request, which a second close then ends for good.
  encoder_->RequestClose();
  event->ignore();
}

void TConsoleWindow::Feed(const QString& text) {
  for (const QChar c : text) {
    if (c == QLatin1Char('\r')) {
      column_ = 0;
    } else if (c == QLatin1Char('\n')) {
      finishedLines_.append(currentLine_);
      currentLine_.clear();
      column_ = 0;
    } else if (column_ < currentLine_.size()) {
      currentLine_[column_++] = c;
    } else if (column_ == kMaximumColumns) {
      finishedLines_.append(currentLine_);
      currentLine_ = c;
      column_ = 1;
    } else {
      currentLine_.append(c);
      ++column_;
    }
    dirty_ = true;
  }
}

void TConsoleWindow::Render() {
  if (!dirty_) {
    return;
  }
  QTextCursor cursor(Output->document());
  cursor.movePosition(QTextCursor::End);
  cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
  QString text;
  for (const QString& line : finishedLines_) {
    text += line;
    text += QLatin1Char('\n');
  }
  text += currentLine_;
  cursor.insertText(text);
  finishedLines_.clear();
  dirty_ = false;
  Output->verticalScrollBar()->setValue(Output->verticalScrollBar()->maximum());
}

}  // namespace lumio
