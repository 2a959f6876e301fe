#pragma once

#include <QListWidget>

namespace lumio {

// The main window's list of input files. Its own entries can be dragged to another
// place in it; files dragged in from outside are left to the window, which adds them.
// Keys that change the list are reported, not acted on, because the list's rows must
// change together with the job records.
class JobListView : public QListWidget {
  Q_OBJECT

 public:
  explicit JobListView(QWidget* parent);

  // The row before which entries dropped at `position` go: before the entry under it
  // when the point is in that entry's upper half, after it otherwise, and after the
  // last entry below the rows.
  int DropRow(const QPoint& position) const;

 signals:
  void DeletePressed();
  // Ctrl+Up (-1) or Ctrl+Down (+1).
  void StepPressed(int step);
  // The selected entries were dragged and dropped before `row`.
  void SelectionDropped(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace lumio
