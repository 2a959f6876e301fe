#include "ui/job_list_view.h"

#include <QDropEvent>
#include <QKeyEvent>

namespace lumio {

JobListView::JobListView(QWidget* parent) : QListView(parent) {
  // Only a drag that starts here is taken by the list; any other goes on to the window.
  setDragDropMode(QAbstractItemView::InternalMove);
}

int JobListView::DropRow(const QPoint& position) const {
  const QModelIndex index = indexAt(position);
  if (!index.isValid()) {
    return model() != nullptr ? model()->rowCount() : 0;
  }
  const QRect rect = visualRect(index);
  return position.y() < rect.center().y() ? index.row() : index.row() + 1;
}

void JobListView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
    emit DeletePressed();
  } else if (event->key() == Qt::Key_Up && modifiers == Qt::ControlModifier) {
    emit StepPressed(-1);
  } else if (event->key() == Qt::Key_Down && modifiers == Qt::ControlModifier) {
    emit StepPressed(1);
  } else {
    QListView::keyPressEvent(event);
    return;
  }
  event->accept();
}

void JobListView::dropEvent(QDropEvent* event) {
  if (event->source() != this) {
    event->ignore();
    return;
  }
  stopAutoScroll();
  setState(NoState);
  // The window moves the rows through the model. Reported back as a move, the drop
  // would make the view remove the dragged rows once more when the drag ends; a move is
  // all that an internal drag offers, so no action is reported at all.
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  emit SelectionDropped(DropRow(event->position().toPoint()));
}

}  // namespace lumio
