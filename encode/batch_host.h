#pragma once

#include <string>
#include <string_view>

namespace lumio {

enum class MessageKind { Warning, Error };
// YesNo shows はい and いいえ, which answer as OK and キャンセル.
enum class MessageButtons { Ok, OkCancel, YesNo };
// The sound each caller passes; the values are those of the Windows beep types.
enum class MessageSound { Exclamation = 0x30, Stop = 0x10 };
// OK is the only answer that any caller takes as yes.
enum class DialogAnswer { Ok = 1, Cancel = 2 };

// The encoder process that is running now. RequestClose asks it to end (SIGTERM, and
// SIGKILL when asked again), and does nothing once that process has ended.
class RunningEncoder {
 public:
  virtual ~RunningEncoder() = default;
  virtual void RequestClose() = 0;
};

// Where the encoder's output goes while the console is to be shown.
class ConsoleSink {
 public:
  virtual ~ConsoleSink() = default;
  // The encoder has started; closing the console asks `encoder` to close.
  virtual void EncoderStarted(const std::string& encoderPath, RunningEncoder& encoder) = 0;
  // Output bytes, in the order the encoder wrote them (standard output and error).
  virtual void EncoderOutput(std::string_view bytes) = 0;
  virtual void EncoderEnded() = 0;
};

// What the batch driver and the process runner need of the windows. The user
// interface implements it; tests use a fake.
class BatchHost {
 public:
  virtual ~BatchHost() = default;

  // The text of the main window's OutputFileName edit field.
  virtual std::string OutputFileNameFieldText() = 0;
  virtual DialogAnswer ShowMessageDialog(const std::string& text, MessageKind kind,
                                         MessageButtons buttons, MessageSound sound) = 0;
  virtual void SetMainWindowEnabled(bool enabled) = 0;

  // Progress window: shown centred over the main window, not modal; showing it zeroes
  // its counters and starts its timer, closing it stops the timer.
  virtual void ShowProgressWindow() = 0;
  virtual void CloseProgressWindow() = 0;
  virtual void SetProgressCaption(const std::string& caption) = 0;
  virtual void SetEncodeFileText(const std::string& text) = 0;
  virtual void ResetFileCount() = 0;
  // The encoder the cancel button asks to close; nullptr when none is running.
  virtual void SetRunningEncoder(RunningEncoder* encoder) = 0;

  // Run report (the result window's text).
  virtual void ClearReport() = 0;
  virtual void AppendReportLine(const std::string& line) = 0;
  // Places the result window (centred at its first showing, else 72/100 pixels from
  // the main window's corner) and shows it modally; returns when it is closed.
  virtual void ShowResultWindow() = 0;

  virtual ConsoleSink& Console() = 0;
};

}  // namespace lumio
