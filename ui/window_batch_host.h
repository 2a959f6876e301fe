#pragma once

#include <string>

#include "encode/batch_host.h"

class QLineEdit;
class QWidget;

namespace lumio {

class DialogSeam;
class TConsoleWindow;
class TProgressWindow;
class TResultWindow;

// What a batch needs of the windows, carried out on the real windows.
class WindowBatchHost : public BatchHost {
 public:
  WindowBatchHost(QWidget& mainWindow, QLineEdit& outputFileNameField, TProgressWindow& progress,
                  TResultWindow& result, TConsoleWindow& console, DialogSeam& dialogs);

  std::string OutputFileNameFieldText() override;
  DialogAnswer ShowMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons,
                                 MessageSound sound) override;
  void SetMainWindowEnabled(bool enabled) override;

  void ShowProgressWindow() override;
  void CloseProgressWindow() override;
  void SetProgressCaption(const std::string& caption) override;
  void SetEncodeFileText(const std::string& text) override;
  void ResetFileCount() override;
  void SetRunningEncoder(RunningEncoder* encoder) override;

  void ClearReport() override;
  void AppendReportLine(const std::string& line) override;
  void ShowResultWindow() override;

  ConsoleSink& Console() override;

 private:
  QWidget& mainWindow_;
  QLineEdit& outputFileNameField_;
  TProgressWindow& progress_;
  TResultWindow& result_;
  TConsoleWindow& console_;
  DialogSeam& dialogs_;
};

}  // namespace lumio
