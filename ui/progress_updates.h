#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <vector>

namespace lumio {

class TProgressWindow;

// What the progress window is to show, written to it at once when it has been quiet and
// otherwise at most once per interval: a batch of many short files would repaint the
// window for every file and spend more on that than on starting the encoders.
class ProgressUpdates : public QObject {
 public:
  explicit ProgressUpdates(TProgressWindow& window, int intervalMs = 100);

  // A new run of `lanes` lanes: nothing pending, every lane idle.
  void Reset(int lanes);
  void SetFileText(const QString& text);
  void SetCaption(const QString& caption);
  void ResetFileCount();
  // An empty text marks the lane idle.
  void SetLane(int lane, const QString& text, double fraction);
  void SetBatch(double fraction, std::optional<std::int64_t> remainingMs);
  // Writes whatever is pending now.
  void Flush();

 private:
  struct Lane {
    QString text;
    double fraction = 0;
    bool changed = false;
  };

  void Changed();

  TProgressWindow& window_;
  QTimer timer_;
  std::optional<QString> fileText_;
  std::optional<QString> caption_;
  bool resetFileCount_ = false;
  std::vector<Lane> lanes_;
  std::optional<std::pair<double, std::optional<std::int64_t>>> batch_;
};

}  // namespace lumio
