#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace lumio {

// Shows the report of the last encoding run, read only. The batch writes the report
// into ResultText when it ends; the text stays until the next batch starts.
class TResultWindow : public QDialog {
  Q_OBJECT

 public:
  explicit TResultWindow(QWidget* mainWindow);

  // The report is the list of lines of ResultText.
  void ClearReport();
  // Replaces the whole report at once.
  void SetReport(const QStringList& lines);

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void ResultOkClick();

 private:
  bool shownBefore_ = false;

  QPlainTextEdit* ResultText;
  QPushButton* ResultOk;
};

}  // namespace lumio
