#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "core/settings_schema.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace lumio {

class DialogSeam;
struct CarryOptions;
struct OpusOptions;
class SettingsStore;
struct SetupSettings;
enum class OutputFormat : std::int32_t;

// The setup window "設定": edits the Options and EncodeOption settings. Its controls
// are the working copy; the settings store is the record, written by OK and 適用 only.
class TSetupWindow : public QDialog {
  Q_OBJECT

 public:
  // Fills the controls from `settings` at once (FormCreate).
  TSetupWindow(QWidget* mainWindow, SettingsStore& settings, DialogSeam& dialogs);

  // Caption and filters of the encoder picker OpenDialog2. On Linux the encoder has no
  // ".exe", so the first filter shows every file.
  static const QString kEncoderDialogCaption;
  static const QStringList kEncoderDialogFilters;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private slots:
  void SetupWindowCloseClick();
  void SetupWindowCancelClick();
  void ChangeOptionClick();
  void SetEncoderPlaceClick();
  void ChoiseEncoderPlaceClick();
  void SameOutputClick();
  void UseStdOutputClick();
  void ChoiseStdOutDirClick();
  void QualityChange();

 private:
  void FormCreate();
  void FormShow();
  void LoadSettings();
  // Writes every control's value to the store and saves the file; on failure shows
  // the store's error and returns false.
  bool SaveSettings();
  bool PickStdOutputDir();

  void BuildControls();
  void BuildGeneralPage();
  void BuildEncodeOptionPage();
  void SetKeyboardOrder();
  // The page タグ: what the outputs carry from their sources (setup_window_carry.cpp).
  void BuildCarryPage();
  void LoadCarry(const CarryOptions& loaded);
  CarryOptions ChosenCarry() const;
  // The page 出力形式: the outputs' format and Opus's options (setup_window_format.cpp).
  void BuildFormatPage();
  void LoadFormat(lumio::OutputFormat format, const OpusOptions& opus);
  void SaveFormat(SetupSettings& chosen) const;
  void ConnectHandlers();
  std::optional<QString> OpenDialog2();

  // A path field's text with the bytes it was loaded from. Bytes that are not valid
  // text in the code page cannot survive the trip through the field, so a field that
  // still shows what was loaded gives back the loaded bytes.
  struct LoadedPath {
    std::string bytes;
    QString shown;
  };
  void LoadPath(QLineEdit& field, LoadedPath& loaded, const std::string& bytes);
  static std::string PathOf(const QLineEdit& field, const LoadedPath& loaded);

  SettingsStore& settings_;
  DialogSeam& dialogs_;
  LoadedPath loadedStdOutputDir_;
  LoadedPath loadedEncoderPlace_;

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QPushButton* SetupWindowClose = nullptr;
  QPushButton* SetupWindowCancel = nullptr;
  QPushButton* ChangeOption = nullptr;

  QLabel* Label4 = nullptr;
  QComboBox* EncodePriority = nullptr;
  QCheckBox* ViewCheck = nullptr;
  // How many encoders a batch runs at once, and the machine's core count beside it.
  QLabel* ParallelEncodersLabel = nullptr;
  QSpinBox* ParallelEncoders = nullptr;
  QLabel* CoreCountText = nullptr;
  QCheckBox* SetEncoderPlace = nullptr;
  QLineEdit* EncoderPlace = nullptr;
  QPushButton* ChoiseEncoderPlace = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QCheckBox* SameOutput = nullptr;
  QCheckBox* UseStdOutput = nullptr;
  QLineEdit* StdOutputDir = nullptr;
  QPushButton* ChoiseStdOutDir = nullptr;
  // Files of an added folder keep their place below the output folder.
  QCheckBox* KeepFolderTree = nullptr;
  // What a batch does about outputs that exist already: ask, skip those up to date, or
  // overwrite (items in the order of ExistingOutputs).
  QLabel* ExistingOutputLabel = nullptr;
  QComboBox* ExistingOutput = nullptr;
  // Which ReplayGain fields the outputs get (items in the order of ReplayGainMode), and
  // whether each output is decoded and its length checked against its source.
  QLabel* ReplayGainLabel = nullptr;
  QComboBox* ReplayGain = nullptr;
  QCheckBox* VerifyOutputs = nullptr;
  // Whether a batch goes on to the next file past one that failed.
  QCheckBox* KeepGoing = nullptr;

  QRadioButton* CheckUseBitrate = nullptr;
  QLabel* Label3 = nullptr;
  QComboBox* MaximumBitrate = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* NominalBitrate = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* MinimumBitrate = nullptr;
  QRadioButton* CheckUseQuality = nullptr;
  QSlider* Quality = nullptr;
  QLineEdit* QualityView = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QRadioButton* CheckNoUse = nullptr;
  QLabel* Label7 = nullptr;
  QButtonGroup* EncodeOptionGroup = nullptr;

  QWidget* CarrySheet = nullptr;
  QCheckBox* CarryTags = nullptr;
  QCheckBox* CarryPictures = nullptr;
  QLabel* PictureLimitLabel = nullptr;
  QSpinBox* PictureLimitKB = nullptr;
  QCheckBox* SplitEmbeddedCue = nullptr;
  QCheckBox* CopyLossy = nullptr;
  // A check box has two states: checked keeps "every lossy format" when that was stored.
  LossyCopy loadedCopyLossy_ = LossyCopy::Off;

  QWidget* FormatSheet = nullptr;
  QLabel* OutputFormatLabel = nullptr;
  QComboBox* OutputFormat = nullptr;
  // Shown only while Ogg Opus is chosen.
  QGroupBox* OpusGroup = nullptr;
  QLabel* OpusBitrateLabel = nullptr;
  QSpinBox* OpusBitrate = nullptr;
  QLabel* OpusModeLabel = nullptr;
  QComboBox* OpusMode = nullptr;
};

}  // namespace lumio
