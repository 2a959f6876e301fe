#include "ui/result_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "ui/control_names.h"
#include "ui/look.h"
#include "ui/placement.h"

namespace lumio {

TResultWindow::TResultWindow(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Lumio Result"));
  setFont(LumioFont());
  setFixedSize(353, 260);

  ResultText = Named(new QPlainTextEdit(this), "ResultText");
  ResultText->setGeometry(16, 8, 329, 217);
  ResultText->setReadOnly(true);
  ResultText->setUndoRedoEnabled(false);
  ResultText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ResultText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ResultText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  ResultText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  UseMenuColour(*ResultText);

  ResultOk = Named(new QPushButton(QStringLiteral("閉じる"), this), "ResultOk");
  ResultOk->setGeometry(124, 232, 105, 21);
  ResultOk->setAutoDefault(false);
  connect(ResultOk, &QPushButton::clicked, this, &TResultWindow::ResultOkClick);
  setTabOrder(ResultText, ResultOk);
}

void TResultWindow::ClearReport() { ResultText->clear(); }

void TResultWindow::SetReport(const QStringList& lines) {
  ResultText->setPlainText(lines.join(QLatin1Char('\n')));
}

void TResultWindow::ResultOkClick() { close(); }

void TResultWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !shownBefore_) {
    shownBefore_ = true;
    PlaceCentredOverMainWindow(*this);
  }
  QDialog::showEvent(event);
}

}  // namespace lumio
