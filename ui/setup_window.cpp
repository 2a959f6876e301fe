#include "ui/setup_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <string>

#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "platform/program_location.h"
#include "ui/dialog_seam.h"
#include "ui/look.h"
#include "ui/message_dialog.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

// An index outside the list's items leaves it without a selection, reading -1.
void SetItemIndex(QComboBox& list, int index) {
  list.setCurrentIndex(index >= 0 && index < list.count() ? index : -1);
}

// Where the encoder picker starts: the folder of the path in the field when it exists,
// else the folder of an encoder found on the search path, else the program's folder.
std::string EncoderDialogStart(const std::string& currentPath) {
  const PathRules rules = NativePathRules();
  const std::string current = FolderPart(currentPath, rules);
  if (!current.empty() && FolderExists(current)) {
    return current;
  }
  const std::string found = FolderPart(FindOnSearchPath("oggenc"), rules);
  return found.empty() ? ProgramFolder() : found;
}

}  // namespace

const QString TSetupWindow::kEncoderDialogCaption = "エンコーダの選択";
const QStringList TSetupWindow::kEncoderDialogFilters = {"実行ファイル (*)", "EXEファイル (*.exe)"};

TSetupWindow::TSetupWindow(QWidget* mainWindow, SettingsStore& settings, DialogSeam& dialogs)
    : QDialog(mainWindow), settings_(settings), dialogs_(dialogs) {
  BuildControls();
  ConnectHandlers();
  FormCreate();
}

void TSetupWindow::ConnectHandlers() {
  // toggled and valueChanged fire on real changes only, whether the user or the
  // program made them, and also for disabled controls: the handlers rely on that.
  connect(SetupWindowClose, &QPushButton::clicked, this, [this] { SetupWindowCloseClick(); });
  connect(SetupWindowCancel, &QPushButton::clicked, this, [this] { SetupWindowCancelClick(); });
  connect(ChangeOption, &QPushButton::clicked, this, [this] { ChangeOptionClick(); });
  connect(SetEncoderPlace, &QCheckBox::toggled, this, [this] { SetEncoderPlaceClick(); });
  connect(ChoiseEncoderPlace, &QPushButton::clicked, this, [this] { ChoiseEncoderPlaceClick(); });
  connect(SameOutput, &QCheckBox::toggled, this, [this] { SameOutputClick(); });
  connect(UseStdOutput, &QCheckBox::toggled, this, [this] { UseStdOutputClick(); });
  connect(ChoiseStdOutDir, &QPushButton::clicked, this, [this] { ChoiseStdOutDirClick(); });
  connect(Quality, &QSlider::valueChanged, this, [this] { QualityChange(); });
}

void TSetupWindow::FormCreate() { LoadSettings(); }

void TSetupWindow::FormShow() {
  QualityChange();
  LoadSettings();
}

void TSetupWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window system's own re-showing (after minimising elsewhere) is no new showing.
  if (!event->spontaneous()) {
    FormShow();
  }
}

void TSetupWindow::keyPressEvent(QKeyEvent* event) {
  // Enter and Esc have no special meaning in this window.
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void TSetupWindow::SetupWindowCloseClick() {
  if (SaveSettings()) {
    accept();
  }
}

void TSetupWindow::SetupWindowCancelClick() { reject(); }

void TSetupWindow::ChangeOptionClick() { SaveSettings(); }

void TSetupWindow::LoadSettings() {
  const SetupSettings loaded = ReadSetupSettings(settings_);
  const EncodeOptions& encoding = loaded.encodeOptions;
  // Each path is set before the check box whose handler looks at it.
  SameOutput->setChecked(loaded.outputFolder.sameOutput);
  LoadPath(*StdOutputDir, loadedStdOutputDir_, loaded.outputFolder.stdOutputDir);
  UseStdOutput->setChecked(loaded.outputFolder.useStdOutput);
  ViewCheck->setChecked(loaded.viewCheck);
  ParallelEncoders->setValue(loaded.parallelEncoders);
  KeepFolderTree->setChecked(loaded.outputFolder.keepFolderTree);
  KeepFolderTree->setEnabled(!loaded.outputFolder.sameOutput);
  ExistingOutput->setCurrentIndex(static_cast<int>(loaded.existingOutputs));
  ReplayGain->setCurrentIndex(static_cast<int>(loaded.replayGain));
  VerifyOutputs->setChecked(loaded.verifyOutputs);
  KeepGoing->setChecked(loaded.keepGoing);
  LoadCarry(loaded.carry);
  loadedCopyLossy_ = loaded.copyLossy;
  CopyLossy->setChecked(loaded.copyLossy != LossyCopy::Off);
  LoadFormat(loaded.outputFormat, loaded.opus);
  LoadPath(*EncoderPlace, loadedEncoderPlace_, loaded.encoder.encoderPlace);
  SetEncoderPlace->setChecked(loaded.encoder.setEncoderPlace);
  SetItemIndex(*EncodePriority, loaded.encodePriority);
  SetItemIndex(*MaximumBitrate, encoding.maximumBitrate);
  SetItemIndex(*NominalBitrate, encoding.nominalBitrate);
  SetItemIndex(*MinimumBitrate, encoding.minimumBitrate);
  Quality->setValue(encoding.quality);  // clamps to 0..100
  switch (encoding.mode) {
    case EncodeOptionMode::Bitrates:
      CheckUseBitrate->setChecked(true);
      break;
    case EncodeOptionMode::Quality:
      CheckUseQuality->setChecked(true);
      break;
    case EncodeOptionMode::None:
      CheckNoUse->setChecked(true);
  }
}

bool TSetupWindow::SaveSettings() {
  SetupSettings chosen;
  chosen.outputFolder = {SameOutput->isChecked(), UseStdOutput->isChecked(),
                         PathOf(*StdOutputDir, loadedStdOutputDir_), KeepFolderTree->isChecked()};
  chosen.viewCheck = ViewCheck->isChecked();
  chosen.parallelEncoders = ParallelEncoders->value();
  chosen.existingOutputs = static_cast<ExistingOutputs>(ExistingOutput->currentIndex());
  chosen.replayGain = static_cast<ReplayGainMode>(ReplayGain->currentIndex());
  chosen.verifyOutputs = VerifyOutputs->isChecked();
  chosen.keepGoing = KeepGoing->isChecked();
  chosen.carry = ChosenCarry();
  chosen.copyLossy = !CopyLossy->isChecked()                   ? LossyCopy::Off
                     : loadedCopyLossy_ == LossyCopy::AllLossy ? LossyCopy::AllLossy
                                                               : LossyCopy::OggVorbis;
  SaveFormat(chosen);
  chosen.encoder = {SetEncoderPlace->isChecked(), PathOf(*EncoderPlace, loadedEncoderPlace_)};
  chosen.encodePriority = EncodePriority->currentIndex();
  chosen.encodeOptions.maximumBitrate = MaximumBitrate->currentIndex();
  chosen.encodeOptions.nominalBitrate = NominalBitrate->currentIndex();
  chosen.encodeOptions.minimumBitrate = MinimumBitrate->currentIndex();
  chosen.encodeOptions.quality = Quality->value();
  chosen.encodeOptions.mode = CheckUseBitrate->isChecked()   ? EncodeOptionMode::Bitrates
                              : CheckUseQuality->isChecked() ? EncodeOptionMode::Quality
                                                             : EncodeOptionMode::None;
  WriteSetupSettings(settings_, chosen);

  const SaveResult saved = settings_.UpdateFile();
  if (!saved.ok) {
    ShowMessageDialog(dialogs_, "\n" + saved.errorMessage, MessageKind::Error, MessageButtons::Ok);
  }
  return saved.ok;
}

void TSetupWindow::LoadPath(QLineEdit& field, LoadedPath& loaded, const std::string& bytes) {
  loaded.bytes = bytes;
  loaded.shown = ToQString(loaded.bytes);
  field.setText(loaded.shown);
}

std::string TSetupWindow::PathOf(const QLineEdit& field, const LoadedPath& loaded) {
  return field.text() == loaded.shown ? loaded.bytes : ToBytes(field.text());
}

void TSetupWindow::QualityChange() {
  const int position = Quality->value();
  QualityView->setText(QString("%1.%2").arg(position / 10).arg(position % 10));
}

bool TSetupWindow::PickStdOutputDir() {
  const std::string typed = PathOf(*StdOutputDir, loadedStdOutputDir_);
  const std::string start = !typed.empty() && FolderExists(typed) ? typed : ProgramFolder();
  const std::optional<QString> chosen =
      dialogs_.ChooseFolder(this, "ディレクトリの選択", ToQString(start));
  if (chosen) {
    StdOutputDir->setText(ToQString(WithTrailingSeparator(ToBytes(*chosen), NativePathRules())));
  }
  return !StdOutputDir->text().isEmpty();
}

std::optional<QString> TSetupWindow::OpenDialog2() {
  return dialogs_.OpenFile(
      this, kEncoderDialogCaption,
      ToQString(EncoderDialogStart(PathOf(*EncoderPlace, loadedEncoderPlace_))),
      kEncoderDialogFilters);
}

void TSetupWindow::SameOutputClick() {
  // Outputs beside their sources keep no tree; the stored choice stays for later.
  KeepFolderTree->setEnabled(!SameOutput->isChecked());
  if (SameOutput->isChecked()) {
    UseStdOutput->setEnabled(false);
    UseStdOutput->setChecked(false);
  } else {
    UseStdOutput->setEnabled(true);
  }
}

void TSetupWindow::UseStdOutputClick() {
  if (UseStdOutput->isChecked()) {
    if (StdOutputDir->text().isEmpty() && !PickStdOutputDir()) {
      UseStdOutput->setChecked(false);
      return;
    }
    SameOutput->setEnabled(false);
    SameOutput->setChecked(false);
    SetEditFieldEnabled(*StdOutputDir, true);
    StdOutputDir->setReadOnly(false);
    ChoiseStdOutDir->setEnabled(true);
  } else {
    SameOutput->setEnabled(true);
    SetEditFieldEnabled(*StdOutputDir, false);
    StdOutputDir->setReadOnly(true);
    ChoiseStdOutDir->setEnabled(false);
  }
}

void TSetupWindow::ChoiseStdOutDirClick() {
  if (!PickStdOutputDir()) {
    UseStdOutput->setChecked(false);
  }
}

void TSetupWindow::SetEncoderPlaceClick() {
  if (!SetEncoderPlace->isChecked()) {
    EncoderPlace->setReadOnly(true);
    SetEditFieldEnabled(*EncoderPlace, false);
    ChoiseEncoderPlace->setEnabled(false);
    return;
  }
  if (!EncoderPlace->text().isEmpty()) {
    EncoderPlace->setReadOnly(false);
    SetEditFieldEnabled(*EncoderPlace, true);
    ChoiseEncoderPlace->setEnabled(true);
    return;
  }
  // A path picked here stays read-only: the field was empty, so nothing was typed.
  ChoiseEncoderPlaceClick();
  if (!EncoderPlace->isEnabled()) {
    SetEncoderPlace->setChecked(false);
  }
}

void TSetupWindow::ChoiseEncoderPlaceClick() {
  if (const std::optional<QString> picked = OpenDialog2()) {
    SetEditFieldEnabled(*EncoderPlace, true);
    EncoderPlace->setText(*picked);
    ChoiseEncoderPlace->setEnabled(true);
  } else {
    SetEditFieldEnabled(*EncoderPlace, false);
    ChoiseEncoderPlace->setEnabled(false);
  }
}

}  // namespace lumio
