// The setup window's page タグ: whether the outputs carry the sources' other fields and
// pictures, and the largest picture they embed.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "core/settings_schema.h"
#include "ui/control_names.h"
#include "ui/setup_window.h"

namespace lumio {

void TSetupWindow::BuildCarryPage() {
  // A page of its own, so that no control of the other pages moves.
  CarrySheet = Named(new QWidget, "CarrySheet");
  PageControl1->addTab(CarrySheet, "タグ");
  CarryTags = Named(new QCheckBox("元のタグを引き継ぐ", CarrySheet), "CarryTags");
  CarryTags->setGeometry(16, 24, 300, 17);
  CarryTags->setToolTip("入力ファイルのタグをすべて出力ファイルに書き込みます");
  CarryPictures = Named(new QCheckBox("カバー画像を埋め込む", CarrySheet), "CarryPictures");
  CarryPictures->setGeometry(32, 48, 280, 17);
  PictureLimitLabel = Named(new QLabel("埋め込む画像の上限 (KB)", CarrySheet), "PictureLimitLabel");
  PictureLimitLabel->setGeometry(48, 74, 150, 17);
  PictureLimitKB = Named(new QSpinBox(CarrySheet), "PictureLimitKB");
  PictureLimitKB->setGeometry(200, 72, 80, 20);
  PictureLimitKB->setRange(0, 16 * 1024);
  SplitEmbeddedCue =
      Named(new QCheckBox("埋め込みキューシートで分割する", CarrySheet), "SplitEmbeddedCue");
  SplitEmbeddedCue->setGeometry(16, 104, 300, 17);
  SplitEmbeddedCue->setToolTip("キューシートを持つ FLAC ファイルをトラックごとに追加します");
  CopyLossy = Named(new QCheckBox("非可逆形式の入力はコピーする", CarrySheet), "CopyLossy");
  CopyLossy->setGeometry(16, 128, 300, 17);
  CopyLossy->setToolTip(
      "フォルダ構成を保つとき、Ogg Vorbis の入力は変換せずにそのままコピーします");
  // Pictures go only where the other tags go.
  const auto follow = [this] {
    CarryPictures->setEnabled(CarryTags->isChecked());
    const bool pictures = CarryTags->isChecked() && CarryPictures->isChecked();
    PictureLimitLabel->setEnabled(pictures);
    PictureLimitKB->setEnabled(pictures);
  };
  connect(CarryTags, &QCheckBox::toggled, this, follow);
  connect(CarryPictures, &QCheckBox::toggled, this, follow);
  setTabOrder(ExistingOutput, CarryTags);
  setTabOrder(CarryTags, CarryPictures);
  setTabOrder(CarryPictures, PictureLimitKB);
  setTabOrder(PictureLimitKB, SplitEmbeddedCue);
  setTabOrder(SplitEmbeddedCue, CopyLossy);
  setTabOrder(CopyLossy, SetupWindowClose);
}

void TSetupWindow::LoadCarry(const CarryOptions& loaded) {
  // Toggled both ways, so that the enabling follows even when a value stays.
  CarryTags->setChecked(!loaded.fields);
  CarryTags->setChecked(loaded.fields);
  CarryPictures->setChecked(loaded.pictures);
  PictureLimitKB->setValue(loaded.pictureLimitKB);
  SplitEmbeddedCue->setChecked(loaded.splitEmbeddedCue);
}

CarryOptions TSetupWindow::ChosenCarry() const {
  return CarryOptions{CarryTags->isChecked(), CarryPictures->isChecked(), PictureLimitKB->value(),
                      SplitEmbeddedCue->isChecked()};
}

}  // namespace lumio
