#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace lumio {

// The program's name and version, the encoder version it is made for, the copyright
// notice and a one-line description.
class TAboutWindow : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutWindow(QWidget* mainWindow);

  // The program's name with its version, and the encoder version it is made for.
  void ShowVersions(const QString& program, const QString& encoder);

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void AboutWindowCloseClick();

 private:
  bool shownBefore_ = false;

  QLabel* VersionName;
  QFrame* Bevel1;
  QLabel* ForVer;
  QLabel* Copyright;
  QLabel* ExpositionMessage;
  QPushButton* AboutWindowClose;
};

}  // namespace lumio
