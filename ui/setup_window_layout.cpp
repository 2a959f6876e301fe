// Construction of the setup window's controls: places, captions, items, keyboard order.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QThread>
#include <algorithm>

#include "encode/run/batch_run.h"
#include "ui/control_names.h"
#include "ui/look.h"
#include "ui/setup_window.h"

namespace lumio {

namespace {

const QStringList kPriorityItems = {" Idle ", " Normal ( Default )", " High ",
                                    " Realtime ( 非推奨 )"};

const QStringList kBitrateItems = {" 無指定 ",   "  64 kbps ", "  80 kbps ", "  96 kbps ",
                                   " 112 kbps ", " 128 kbps ", " 160 kbps ", " 192 kbps ",
                                   " 224 kbps ", " 256 kbps ", " 288 kbps ", " 320 kbps ",
                                   " 352 kbps "};

// In the order of ExistingOutputs.
// The middle item skips when the output is the newer one, and says so: "新しいものは
// スキップ" read as skipping new sources.
const QStringList kExistingOutputItems = {"確認する", "出力の方が新しければスキップ", "上書きする"};

// In the order of ReplayGainMode.
const QStringList kReplayGainItems = {"なし", "トラック", "トラックとアルバム"};

template <typename T>
T* Place(T* control, int left, int top, int width, int height) {
  control->setGeometry(left, top, width, height);
  return control;
}

// Labels have a fixed size and centre their text vertically.
QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
  auto* label = Place(new QLabel(text, parent), left, top, width, height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

// None of the buttons is a default button, so Enter clicks nothing.
QPushButton* MakeButton(QWidget* parent, const QString& text, int left, int top, int width,
                        int height) {
  auto* button = Place(new QPushButton(text, parent), left, top, width, height);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QComboBox* MakeList(QWidget* parent, const QStringList& items, int selected, int left, int top,
                    int width, int height) {
  auto* list = Place(new QComboBox(parent), left, top, width, height);
  list->setEditable(false);
  list->addItems(items);
  list->setCurrentIndex(selected);
  return list;
}

// A path field that starts disabled and read-only, in the button-face colour.
QLineEdit* MakePathField(QWidget* parent, int left, int top, int width, int height) {
  auto* field = Place(new QLineEdit(parent), left, top, width, height);
  field->setReadOnly(true);
  SetEditFieldEnabled(*field, false);
  return field;
}

}  // namespace

void TSetupWindow::BuildControls() {
  setWindowTitle("設定");
  // A fixed border whose title bar carries only the close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(411, 322);
  setFont(LumioFont());

  PageControl1 = Named(Place(new QTabWidget(this), 8, 8, 393, 281), "PageControl1");
  TabSheet1 = Named(new QWidget, "TabSheet1");
  TabSheet2 = Named(new QWidget, "TabSheet2");
  PageControl1->addTab(TabSheet1, "全般");
  PageControl1->addTab(TabSheet2, "エンコードオプション");
  PageControl1->setCurrentIndex(0);

  SetupWindowClose = Named(MakeButton(this, "OK", 120, 296, 91, 21), "SetupWindowClose");
  SetupWindowCancel = Named(MakeButton(this, "キャンセル", 216, 296, 91, 21), "SetupWindowCancel");
  ChangeOption = Named(MakeButton(this, "適用", 312, 296, 91, 21), "ChangeOption");

  BuildGeneralPage();
  BuildEncodeOptionPage();
  SetKeyboardOrder();
  BuildCarryPage();
  BuildFormatPage();
}

void TSetupWindow::BuildGeneralPage() {
  QWidget* page = TabSheet1;
  Label4 = Named(MakeLabel(page, "プロセスの優先順位", 16, 16, 113, 17), "Label4");
  EncodePriority = Named(MakeList(page, kPriorityItems, 1, 136, 16, 137, 20), "EncodePriority");
  ViewCheck =
      Named(Place(new QCheckBox("エンコード中にコンソール画面を表示", page), 16, 48, 217, 17),
            "ViewCheck");
  ParallelEncodersLabel =
      Named(MakeLabel(page, "同時実行数", 240, 48, 60, 17), "ParallelEncodersLabel");
  ParallelEncoders = Named(Place(new QSpinBox(page), 300, 46, 40, 20), "ParallelEncoders");
  ParallelEncoders->setRange(1, kMostParallelEncoders);
  ParallelEncoders->setToolTip("同時に動かすエンコーダの数");
  CoreCountText =
      Named(MakeLabel(page, QString("(%1コア)").arg(QThread::idealThreadCount()), 344, 48, 44, 17),
            "CoreCountText");
  SetEncoderPlace = Named(Place(new QCheckBox("エンコーダ本体の場所を指定", page), 16, 72, 233, 17),
                          "SetEncoderPlace");
  EncoderPlace = Named(MakePathField(page, 24, 96, 289, 20), "EncoderPlace");
  ChoiseEncoderPlace = Named(MakeButton(page, "参照", 320, 96, 49, 20), "ChoiseEncoderPlace");
  ChoiseEncoderPlace->setEnabled(false);

  GroupBox2 = Named(Place(new QGroupBox("出力先設定", page), 16, 128, 353, 113), "GroupBox2");
  SameOutput =
      Named(Place(new QCheckBox("入力ファイルと同じ場所に出力", GroupBox2), 16, 24, 201, 17),
            "SameOutput");
  UseStdOutput = Named(Place(new QCheckBox("標準の出力先を設定する", GroupBox2), 16, 48, 201, 17),
                       "UseStdOutput");
  StdOutputDir = Named(MakePathField(GroupBox2, 24, 72, 257, 20), "StdOutputDir");
  ChoiseStdOutDir = Named(MakeButton(GroupBox2, "参照", 288, 72, 49, 20), "ChoiseStdOutDir");
  ChoiseStdOutDir->setEnabled(false);
  KeepFolderTree = Named(Place(new QCheckBox("フォルダ構成を保つ", GroupBox2), 220, 24, 128, 17),
                         "KeepFolderTree");
  KeepFolderTree->setToolTip(
      "追加したフォルダの中のファイルを、出力先の下に同じフォルダ構成で出力します");
}

void TSetupWindow::BuildEncodeOptionPage() {
  QWidget* page = TabSheet2;
  CheckUseBitrate =
      Named(Place(new QRadioButton("ビットレート指定", page), 16, 24, 105, 17), "CheckUseBitrate");
  Label3 = Named(MakeLabel(page, "最大値", 128, 24, 41, 17), "Label3");
  MaximumBitrate = Named(MakeList(page, kBitrateItems, 0, 184, 24, 97, 20), "MaximumBitrate");
  Label2 = Named(MakeLabel(page, "平均値", 128, 56, 41, 17), "Label2");
  NominalBitrate = Named(MakeList(page, kBitrateItems, 0, 184, 56, 97, 20), "NominalBitrate");
  Label1 = Named(MakeLabel(page, "最小値", 128, 88, 41, 17), "Label1");
  MinimumBitrate = Named(MakeList(page, kBitrateItems, 0, 184, 88, 97, 20), "MinimumBitrate");

  CheckUseQuality =
      Named(Place(new QRadioButton("クオリティ指定", page), 16, 128, 97, 17), "CheckUseQuality");
  Quality = Named(Place(new QSlider(Qt::Horizontal, page), 120, 128, 193, 29), "Quality");
  Quality->setRange(0, 100);
  Quality->setPageStep(10);
  Quality->setTickInterval(10);
  Quality->setTickPosition(QSlider::TicksBelow);
  Quality->setValue(0);
  QualityView = Named(Place(new QLineEdit("0", page), 320, 128, 33, 20), "QualityView");
  QualityView->setReadOnly(true);
  UseMenuColour(*QualityView);
  Label5 = Named(MakeLabel(page, "0 ( Low )", 128, 160, 73, 17), "Label5");
  Label6 = Named(MakeLabel(page, "10 ( High )", 296, 160, 81, 17), "Label6");

  // Ends above its note ( = -q3 ).
  CheckNoUse = Named(Place(new QRadioButton("指定しない", page), 16, 184, 113, 16), "CheckNoUse");

  // In the free row below the encoding options, so that no control of the window moves.
  ExistingOutputLabel =
      Named(MakeLabel(page, "出力ファイルが既にあるとき", 16, 226, 161, 17), "ExistingOutputLabel");
  ExistingOutput =
      Named(MakeList(page, kExistingOutputItems, 0, 184, 224, 193, 20), "ExistingOutput");
  Label7 = Named(MakeLabel(page, "( = -q3 )", 32, 200, 113, 17), "Label7");

  // In the free row right of 指定しない, ending where the list below ends, as wide as its
  // longest item (the column right of the bit rates is too narrow for it), so that no
  // control of the window moves.
  ReplayGain = Named(MakeList(page, kReplayGainItems, 0, 0, 184, 97, 20), "ReplayGain");
  const int replayGainWidth = std::max(97, ReplayGain->sizeHint().width());
  ReplayGain->move(377 - replayGainWidth, 184);
  ReplayGain->resize(replayGainWidth, 20);
  ReplayGain->setToolTip("出力を復号して音量を測り、REPLAYGAIN_* タグを書き込みます");
  ReplayGainLabel = Named(MakeLabel(page, "リプレイゲイン", ReplayGain->x() - 97, 186, 89, 17),
                          "ReplayGainLabel");
  ReplayGainLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // In the free column right of the bit rates.
  VerifyOutputs =
      Named(Place(new QCheckBox("出力を検証する", page), 288, 24, 101, 17), "VerifyOutputs");
  VerifyOutputs->setToolTip("出力を復号し、長さが入力と一致しないときは失敗にします");
  // In the free space between the ReplayGain row and the row below it, right of
  // ( = -q3 ), so that no control of the window moves.
  KeepGoing = Named(Place(new QCheckBox("失敗しても次のファイルへ進む", page), 184, 205, 193, 17),
                    "KeepGoing");
  KeepGoing->setToolTip("変換に失敗したファイルがあっても、残りのファイルを変換します");

  // One group, so that checking one radio button unchecks the other two.
  EncodeOptionGroup = Named(new QButtonGroup(this), "EncodeOptionGroup");
  EncodeOptionGroup->setExclusive(true);
  EncodeOptionGroup->addButton(CheckUseBitrate, 1);
  EncodeOptionGroup->addButton(CheckUseQuality, 2);
  EncodeOptionGroup->addButton(CheckNoUse, 3);
  // Tab reaches only the checked radio button of the group; arrows move between them.
  connect(EncodeOptionGroup, &QButtonGroup::buttonToggled, this,
          [](QAbstractButton* button, bool checked) {
            button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
          });
  for (QAbstractButton* button : EncodeOptionGroup->buttons()) {
    button->setFocusPolicy(Qt::ClickFocus);
  }
  CheckNoUse->setChecked(true);
}

void TSetupWindow::SetKeyboardOrder() {
  // Controls of the hidden page are skipped by Tab, so one chain serves both pages.
  QWidget* const order[] = {PageControl1,      SetEncoderPlace,  EncoderPlace,   ChoiseEncoderPlace,
                            ViewCheck,         ParallelEncoders, SameOutput,     UseStdOutput,
                            StdOutputDir,      ChoiseStdOutDir,  KeepFolderTree, EncodePriority,
                            CheckUseBitrate,   MaximumBitrate,   NominalBitrate, MinimumBitrate,
                            CheckUseQuality,   CheckNoUse,       QualityView,    Quality,
                            ExistingOutput,    ReplayGain,       VerifyOutputs,  SetupWindowClose,
                            SetupWindowCancel, ChangeOption};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
  setTabOrder(VerifyOutputs, KeepGoing);
}

}  // namespace lumio
