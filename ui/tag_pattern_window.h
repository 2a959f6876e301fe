#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lumio {

// The small window in which the tag commands ask for their pattern: the pattern field,
// a legend of the placeholders, and a preview line that follows every keystroke.
class TTagPatternWindow : public QDialog {
  Q_OBJECT

 public:
  using PreviewFunction = std::function<QString(const QString& pattern)>;

  TTagPatternWindow(QWidget* parent, const QString& title, const QString& prompt,
                    const QString& initial, PreviewFunction preview);

  // The pattern as the field holds it now.
  QString PatternText() const;

 private slots:
  void PatternChange();

 private:
  PreviewFunction preview_;

  QLabel* PromptLabel = nullptr;
  QLineEdit* Pattern = nullptr;
  QLabel* Legend = nullptr;
  QLabel* Preview = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;
};

}  // namespace lumio
