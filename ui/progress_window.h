#pragma once

#include <QString>
#include <QWidget>

#include "encode/progress_counters.h"

class QLabel;
class QPushButton;
class QTimer;

namespace lumio {

class RunningEncoder;

// The small modeless window shown while a batch runs with the encoder's console hidden:
// which file is being encoded, and minutes and seconds of the file and of the whole run,
// counted in ticks of a one-second timer. Its one button asks the encoder to close.
//
// It is a window of its own, not a Qt child of the main window: the batch disables the
// main window, and a child would be disabled with it, cancel button and all. Its owner
// deletes it.
class TProgressWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TProgressWindow(QWidget* mainWindow);

  QLabel* EncodeFileText;
  QLabel* Label4;
  QLabel* MinCount2;
  QLabel* Label1;
  QLabel* SecCount2;
  QLabel* Label2;
  QLabel* Label5;
  QLabel* MinCount;
  QLabel* Label6;
  QLabel* SecCount;
  QLabel* Label3;
  QPushButton* CancelEncoding;
  QTimer* Timer1;

  // Per-file counters back to 0; the run's total goes on.
  void ResetFileCount();
  // The encoder the cancel button asks to close; nullptr while none runs.
  void SetRunningEncoder(RunningEncoder* encoder);
  // Sets the line that says what is being done; the label sizes itself to it.
  void SetEncodeFileText(const QString& text);
  // Ends the showing: stops the timer and hides; the counters keep their values.
  void FormClose();

  const ProgressCounters& Counters() const { return counters_; }

 public slots:
  void Timer1Timer();
  void CancelEncodingClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs when the driver shows the window: a fresh count for the run.
  void FormActivate();
  void ShowCounters();

  QWidget* mainWindow_;
  ProgressCounters counters_;
  RunningEncoder* encoder_ = nullptr;
  bool shownBefore_ = false;
};

}  // namespace lumio
