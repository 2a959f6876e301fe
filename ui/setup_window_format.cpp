// The setup window's page 出力形式: Ogg Vorbis or Ogg Opus, and Opus's bit rate and mode,
// which are shown only while Opus is chosen.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "core/settings_schema.h"
#include "ui/control_names.h"
#include "ui/setup_window.h"

namespace lumio {

namespace {

// In the order of OutputFormat and of OpusMode.
const QStringList kOutputFormatItems = {"Ogg Vorbis", "Ogg Opus"};
const QStringList kOpusModeItems = {"VBR", "制約付き VBR", "CBR"};

}  // namespace

void TSetupWindow::BuildFormatPage() {
  // A page of its own, so that no control of the other pages moves.
  FormatSheet = Named(new QWidget, "FormatSheet");
  PageControl1->addTab(FormatSheet, "出力形式");
  OutputFormatLabel = Named(new QLabel("出力形式", FormatSheet), "OutputFormatLabel");
  OutputFormatLabel->setGeometry(16, 26, 89, 17);
  OutputFormat = Named(new QComboBox(FormatSheet), "OutputFormat");
  OutputFormat->setGeometry(112, 24, 137, 20);
  OutputFormat->addItems(kOutputFormatItems);

  OpusGroup = Named(new QGroupBox("Ogg Opus", FormatSheet), "OpusGroup");
  OpusGroup->setGeometry(16, 56, 353, 89);
  OpusBitrateLabel = Named(new QLabel("ビットレート", OpusGroup), "OpusBitrateLabel");
  OpusBitrateLabel->setGeometry(16, 26, 89, 17);
  OpusBitrate = Named(new QSpinBox(OpusGroup), "OpusBitrate");
  OpusBitrate->setGeometry(112, 24, 97, 20);
  OpusBitrate->setRange(kLowestOpusBitrate, kHighestOpusBitrate);
  OpusBitrate->setSuffix(" kbps");
  OpusModeLabel = Named(new QLabel("モード", OpusGroup), "OpusModeLabel");
  OpusModeLabel->setGeometry(16, 58, 89, 17);
  OpusMode = Named(new QComboBox(OpusGroup), "OpusMode");
  OpusMode->setGeometry(112, 56, 137, 20);
  OpusMode->addItems(kOpusModeItems);

  connect(OutputFormat, &QComboBox::currentIndexChanged, this, [this](int index) {
    OpusGroup->setVisible(index == static_cast<int>(lumio::OutputFormat::Opus));
  });
  OpusGroup->setVisible(false);
  setTabOrder(SplitEmbeddedCue, OutputFormat);
  setTabOrder(OutputFormat, OpusBitrate);
  setTabOrder(OpusBitrate, OpusMode);
  setTabOrder(OpusMode, SetupWindowClose);
}

void TSetupWindow::LoadFormat(lumio::OutputFormat format, const OpusOptions& opus) {
  OutputFormat->setCurrentIndex(static_cast<int>(format));
  OpusBitrate->setValue(opus.bitrate);  // clamps to the range opusenc takes
  OpusMode->setCurrentIndex(static_cast<int>(opus.mode));
}

void TSetupWindow::SaveFormat(SetupSettings& chosen) const {
  chosen.outputFormat = static_cast<lumio::OutputFormat>(OutputFormat->currentIndex());
  chosen.opus.bitrate = OpusBitrate->value();
  chosen.opus.mode = static_cast<lumio::OpusMode>(OpusMode->currentIndex());
}

}  // namespace lumio
