#include "ui/tag_pattern_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "ui/control_names.h"
#include "ui/look.h"

namespace lumio {

TTagPatternWindow::TTagPatternWindow(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial, PreviewFunction preview)
    : QDialog(parent), preview_(std::move(preview)) {
  setWindowTitle(title);
  setFont(LumioFont());
  PromptLabel = Named(new QLabel(prompt, this), "PromptLabel");
  PromptLabel->setWordWrap(true);
  Pattern = Named(new QLineEdit(initial, this), "Pattern");
  Legend = Named(new QLabel(QStringLiteral("%t タイトル　%a アーティスト　%b アルバム　%d 日付\n"
                                           "%n トラック　%f 元のファイル名　%% %"),
                            this),
                 "Legend");
  Preview = Named(new QLabel(this), "Preview");
  Preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Preview->setMinimumWidth(420);
  OkButton = Named(new QPushButton(QStringLiteral("OK"), this), "OkButton");
  OkButton->setDefault(true);
  CancelButton = Named(new QPushButton(QStringLiteral("キャンセル"), this), "CancelButton");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PromptLabel);
  layout->addWidget(Pattern);
  layout->addWidget(Legend);
  layout->addWidget(new QLabel(QStringLiteral("結果の例"), this));
  layout->addWidget(Preview);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(Pattern, &QLineEdit::textChanged, this, &TTagPatternWindow::PatternChange);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  PatternChange();
}

QString TTagPatternWindow::PatternText() const { return Pattern->text(); }

void TTagPatternWindow::PatternChange() { Preview->setText(preview_(Pattern->text())); }

}  // namespace lumio
