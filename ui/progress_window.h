#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "encode/run/progress_counters.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace lumio {

class RunningEncoder;

// The small modeless window shown while a batch runs with the encoder's console hidden:
// which file is being encoded, and minutes and seconds of the file and of the whole run,
// counted in ticks of a one-second timer. Its one button asks the encoders to close, and
// once pressed offers to end them by force.
// Below those, a line with a bar for each running encoder ("lane") and a bar for the
// whole batch with the time it should still take; the window is made tall enough for
// the lanes of the run, and cannot be resized.
//
// It is a window of its own, not a Qt child of the main window: the batch disables the
// main window, and a child would be disabled with it, cancel button and all. Its owner
// deletes it.
class TProgressWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TProgressWindow(QWidget* mainWindow);

  // Per-file counters back to 0; the run's total goes on.
  void ResetFileCount();
  // What the cancel button asks to close; nullptr while no batch runs.
  void SetRunningEncoder(RunningEncoder* encoder);
  // Makes one line for each of `lanes` encoders, all idle, and the batch bar at 0.
  void SetLaneCount(int lanes);
  // Lane `lane` now encodes the file described by `text`, `fraction` of it done; an
  // empty text marks the lane idle.
  void SetLane(int lane, const QString& text, double fraction);
  void SetBatchProgress(double fraction, std::optional<std::int64_t> remainingMs);
  // Sets the line that says what is being done; the label sizes itself to it.
  void SetEncodeFileText(const QString& text);
  // Ends the showing: stops the timer and hides; the counters keep their values.
  void FormClose();
  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void Timer1Timer();
  void CancelEncodingClick();

 private:
  // Runs when the driver shows the window: a fresh count for the run.
  void FormActivate();
  // Seconds since the window was shown for this run.
  int RunSeconds() const;
  // What 経過 shows.
  ElapsedCount FileCount() const;
  void ShowCounters();

  struct LaneRow {
    QLabel* text;
    QProgressBar* bar;
    std::optional<int> startedAt;  // RunSeconds when its file started; none while idle
  };

  QWidget* mainWindow_;
  std::vector<LaneRow> lanes_;
  QLabel* batchLabel_;
  QProgressBar* batchBar_;
  QLabel* remaining_;
  ProgressCounters counters_;
  RunningEncoder* encoder_ = nullptr;
  bool shownBefore_ = false;

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
};

}  // namespace lumio
