#include "ui/window_batch_host.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/console_window.h"
#include "ui/message_dialog.h"
#include "ui/placement.h"
#include "ui/progress_window.h"
#include "ui/result_window.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

// After a run the report stands this far right of and below the main window's corner.
constexpr int kResultOffsetLeft = 72;
constexpr int kResultOffsetTop = 100;

}  // namespace

WindowBatchHost::WindowBatchHost(QWidget& mainWindow, QLineEdit& outputFileNameField,
                                 TProgressWindow& progress, TResultWindow& result,
                                 TConsoleWindow& console, DialogSeam& dialogs)
    : mainWindow_(mainWindow),
      outputFileNameField_(outputFileNameField),
      progress_(progress),
      result_(result),
      console_(console),
      dialogs_(dialogs) {}

std::string WindowBatchHost::OutputFileNameFieldText() {
  return ToBytes(outputFileNameField_.text());
}

DialogAnswer WindowBatchHost::ShowMessageDialog(const std::string& text, MessageKind kind,
                                                MessageButtons buttons, MessageSound sound) {
  return lumio::ShowMessageDialog(dialogs_, text, kind, buttons, sound);
}

void WindowBatchHost::SetMainWindowEnabled(bool enabled) { mainWindow_.setEnabled(enabled); }

void WindowBatchHost::ShowProgressWindow() {
  const QRect mainFrame = mainWindow_.frameGeometry();
  const QSize outer = OuterSize(progress_);
  progress_.move(CenterOnMainWindow(outer.width(), Direction::Horizontal, mainFrame),
                 CenterOnMainWindow(outer.height(), Direction::Vertical, mainFrame));
  progress_.show();
}

void WindowBatchHost::CloseProgressWindow() { progress_.FormClose(); }

void WindowBatchHost::SetProgressCaption(const std::string& caption) {
  progress_.setWindowTitle(ToQString(caption));
}

void WindowBatchHost::SetEncodeFileText(const std::string& text) {
  progress_.SetEncodeFileText(ToQString(text));
}

void WindowBatchHost::ResetFileCount() { progress_.ResetFileCount(); }

void WindowBatchHost::SetRunningEncoder(RunningEncoder* encoder) {
  progress_.SetRunningEncoder(encoder);
}

void WindowBatchHost::ClearReport() { result_.ClearReport(); }

void WindowBatchHost::AppendReportLine(const std::string& line) {
  result_.AppendReportLine(ToQString(line));
}

void WindowBatchHost::ShowResultWindow() {
  // At its first showing the window centres itself over the main window instead.
  result_.move(mainWindow_.pos() + QPoint(kResultOffsetLeft, kResultOffsetTop));
  result_.exec();
}

ConsoleSink& WindowBatchHost::Console() { return console_; }

}  // namespace lumio
