#pragma once

#include <QListView>

namespace lumio {

// The main window's list of input files, shown from the job list's model. Its own
// entries can be dragged to another place in it; files dragged in from outside are left
// to the window, which adds them. Keys and drops that change the list are reported, not
// acted on: the window makes the change through the model.
class JobListView : public QListView {
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
