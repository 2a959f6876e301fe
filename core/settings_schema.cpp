#include "core/settings_schema.h"

#include <array>

#include "core/settings_store.h"

namespace lumio {

namespace {

// One setting: where it is stored and what a reader takes when it is missing or its
// text is no value of its type.
template <typename Value>
struct Setting {
  std::string_view section;
  std::string_view key;
  Value byDefault;
};

constexpr std::string_view kGeneral = "General";
constexpr std::string_view kOptions = "Options";
constexpr std::string_view kEncodeOption = "EncodeOption";
constexpr std::string_view kTagTools = "TagTools";

// Every setting of the file.
constexpr Setting<std::string_view> kOpenDir{kGeneral, "OpenDir", ""};
constexpr Setting<std::string_view> kDefDir{kGeneral, "DefDir", ""};
constexpr Setting<bool> kSameOutput{kOptions, "SameOutput", false};
constexpr Setting<bool> kUseStdOutput{kOptions, "UseStdOutput", false};
constexpr Setting<std::string_view> kStdOutputDir{kOptions, "StdOutputDir", ""};
constexpr Setting<bool> kViewCheck{kOptions, "ViewCheck", false};
constexpr Setting<std::int32_t> kParallelEncoders{kOptions, "ParallelEncoders", 1};
constexpr Setting<bool> kKeepFolderTree{kOptions, "KeepFolderTree", false};
constexpr Setting<std::int32_t> kExistingOutput{kOptions, "ExistingOutput", 0};
constexpr Setting<std::int32_t> kReplayGain{kOptions, "ReplayGain", 0};
constexpr Setting<bool> kVerifyOutputs{kOptions, "VerifyOutputs", false};
constexpr Setting<bool> kKeepGoing{kOptions, "KeepGoing", false};
constexpr Setting<std::int32_t> kCopyLossy{kOptions, "CopyLossy", 0};
constexpr Setting<bool> kCarryTags{kOptions, "CarryTags", true};
constexpr Setting<bool> kSplitEmbeddedCue{kOptions, "SplitEmbeddedCue", true};
constexpr Setting<bool> kCarryPictures{kOptions, "CarryPictures", true};
constexpr Setting<std::int32_t> kPictureLimitKB{kOptions, "PictureLimitKB", 4096};
constexpr Setting<std::int32_t> kOutputFormat{kOptions, "OutputFormat", 0};
constexpr Setting<std::int32_t> kOpusBitrate{kOptions, "OpusBitrate", 128};
constexpr Setting<std::int32_t> kOpusMode{kOptions, "OpusMode", 0};
constexpr Setting<bool> kSetEncoderPlace{kOptions, "SetEncoderPlace", false};
constexpr Setting<std::string_view> kEncoderPlace{kOptions, "EncoderPlace", ""};
constexpr Setting<std::int32_t> kEncodePriority{kOptions, "EncodePriority", 1};
constexpr Setting<std::int32_t> kMaximumBitrate{kEncodeOption, "MaximumBitrate", 0};
constexpr Setting<std::int32_t> kNominalBitrate{kEncodeOption, "NominalBitrate", 0};
constexpr Setting<std::int32_t> kMinimumBitrate{kEncodeOption, "MinimumBitrate", 0};
// Two defaults for one key, both intended: a file without a quality shows the setup
// window's slider at 3.0, where a new user starts, while the command line reads such a
// file as 0.0 (passed as -q 0.0 with UseOption 2), as it always has. The setup window
// always saves a quality, so only a file edited by hand meets the difference.
constexpr Setting<std::int32_t> kQualityInSetupWindow{kEncodeOption, "Quality", 30};
constexpr Setting<std::int32_t> kQualityForEncoder{kEncodeOption, "Quality", 0};
constexpr Setting<std::int32_t> kUseOption{kEncodeOption, "UseOption", 3};
constexpr Setting<std::string_view> kNamePattern{kTagTools, "NamePattern", "%n %t"};
constexpr Setting<std::string_view> kTagPattern{kTagTools, "TagPattern", "%n - %t"};

// The setup window has always written SameOutput with this spelling; readers find it
// all the same, because keys compare without regard to case.
constexpr std::string_view kSameOutputAsWritten = "SameOutPut";

// The mode whose stored number is `stored`; nullopt for any other number.
template <typename Mode, std::size_t Count>
std::optional<Mode> ModeOf(std::int32_t stored, const std::array<Mode, Count>& modes) {
  for (const Mode mode : modes) {
    if (static_cast<std::int32_t>(mode) == stored) return mode;
  }
  return std::nullopt;
}

std::string Read(const SettingsStore& settings, const Setting<std::string_view>& setting) {
  return settings.ReadString(setting.section, setting.key, setting.byDefault);
}

std::int32_t Read(const SettingsStore& settings, const Setting<std::int32_t>& setting) {
  return settings.ReadInteger(setting.section, setting.key, setting.byDefault);
}

bool Read(const SettingsStore& settings, const Setting<bool>& setting) {
  return settings.ReadBool(setting.section, setting.key, setting.byDefault);
}

void Write(SettingsStore& settings, const Setting<std::string_view>& setting,
           std::string_view value) {
  settings.WriteString(setting.section, setting.key, value);
}

void Write(SettingsStore& settings, const Setting<std::int32_t>& setting, std::int32_t value) {
  settings.WriteInteger(setting.section, setting.key, value);
}

void Write(SettingsStore& settings, const Setting<bool>& setting, bool value) {
  settings.WriteBool(setting.section, setting.key, value);
}

// Writes a setting that later versions added only once it differs from its default or
// is stored already. (No stored value holds a line feed, so that default marks a
// missing key.)
template <typename Value>
void WriteOnceChosen(SettingsStore& settings, const Setting<Value>& setting, Value value) {
  const bool stored = settings.ReadString(setting.section, setting.key, "\n") != "\n";
  if (stored || value != setting.byDefault) Write(settings, setting, value);
}

const Setting<std::string_view>& PatternSetting(TagPatternKind kind) {
  return kind == TagPatternKind::OutputName ? kNamePattern : kTagPattern;
}

void WriteEncodeOptions(SettingsStore& settings, const EncodeOptions& options) {
  Write(settings, kMaximumBitrate, options.maximumBitrate);
  Write(settings, kNominalBitrate, options.nominalBitrate);
  Write(settings, kMinimumBitrate, options.minimumBitrate);
  Write(settings, kQualityInSetupWindow, options.quality);
  Write(settings, kUseOption, static_cast<std::int32_t>(options.mode));
}

}  // namespace

OutputFolderRule ReadOutputFolderRule(const SettingsStore& settings) {
  return OutputFolderRule{Read(settings, kSameOutput), Read(settings, kUseStdOutput),
                          Read(settings, kStdOutputDir), Read(settings, kKeepFolderTree)};
}

EncoderLocation ReadEncoderLocation(const SettingsStore& settings) {
  return EncoderLocation{Read(settings, kSetEncoderPlace), Read(settings, kEncoderPlace)};
}

EncodeOptions ReadEncodeOptions(const SettingsStore& settings, EncodeOptionsReader reader) {
  constexpr std::array modes{EncodeOptionMode::Bitrates, EncodeOptionMode::Quality,
                             EncodeOptionMode::None};
  EncodeOptions options;
  options.mode = ModeOf(Read(settings, kUseOption), modes).value_or(EncodeOptionMode::None);
  options.maximumBitrate = Read(settings, kMaximumBitrate);
  options.nominalBitrate = Read(settings, kNominalBitrate);
  options.minimumBitrate = Read(settings, kMinimumBitrate);
  options.quality =
      Read(settings,
           reader == EncodeOptionsReader::SetupWindow ? kQualityInSetupWindow : kQualityForEncoder);
  return options;
}

std::optional<EncodePriority> ReadEncodePriority(const SettingsStore& settings) {
  constexpr std::array priorities{EncodePriority::Idle, EncodePriority::Normal,
                                  EncodePriority::High, EncodePriority::Realtime};
  return ModeOf(Read(settings, kEncodePriority), priorities);
}

ExistingOutputs ReadExistingOutputs(const SettingsStore& settings) {
  constexpr std::array choices{ExistingOutputs::Ask, ExistingOutputs::SkipUpToDate,
                               ExistingOutputs::Overwrite};
  return ModeOf(Read(settings, kExistingOutput), choices).value_or(ExistingOutputs::Ask);
}

std::int32_t ReadParallelEncoders(const SettingsStore& settings) {
  return Read(settings, kParallelEncoders);
}

bool ReadViewCheck(const SettingsStore& settings) { return Read(settings, kViewCheck); }

ReplayGainMode ReadReplayGainMode(const SettingsStore& settings) {
  constexpr std::array modes{ReplayGainMode::None, ReplayGainMode::Track,
                             ReplayGainMode::TrackAndAlbum};
  return ModeOf(Read(settings, kReplayGain), modes).value_or(ReplayGainMode::None);
}

bool ReadVerifyOutputs(const SettingsStore& settings) { return Read(settings, kVerifyOutputs); }

bool ReadKeepGoing(const SettingsStore& settings) { return Read(settings, kKeepGoing); }
LossyCopy ReadLossyCopy(const SettingsStore& settings) {
  constexpr std::array choices{LossyCopy::Off, LossyCopy::OggVorbis, LossyCopy::AllLossy};
  return ModeOf(Read(settings, kCopyLossy), choices).value_or(LossyCopy::Off);
}

RememberedFolders ReadRememberedFolders(const SettingsStore& settings) {
  return RememberedFolders{Read(settings, kOpenDir), Read(settings, kDefDir)};
}

std::string ReadTagPattern(const SettingsStore& settings, TagPatternKind kind) {
  return Read(settings, PatternSetting(kind));
}

CarryOptions ReadCarryOptions(const SettingsStore& settings) {
  return CarryOptions{Read(settings, kCarryTags), Read(settings, kCarryPictures),
                      Read(settings, kPictureLimitKB), Read(settings, kSplitEmbeddedCue)};
}

OutputFormat ReadOutputFormat(const SettingsStore& settings) {
  constexpr std::array formats{OutputFormat::Vorbis, OutputFormat::Opus};
  return ModeOf(Read(settings, kOutputFormat), formats).value_or(OutputFormat::Vorbis);
}

OpusOptions ReadOpusOptions(const SettingsStore& settings) {
  constexpr std::array modes{OpusMode::Vbr, OpusMode::ConstrainedVbr, OpusMode::HardCbr};
  return OpusOptions{Read(settings, kOpusBitrate),
                     ModeOf(Read(settings, kOpusMode), modes).value_or(OpusMode::Vbr)};
}

SetupSettings ReadSetupSettings(const SettingsStore& settings) {
  SetupSettings loaded;
  loaded.outputFolder = ReadOutputFolderRule(settings);
  loaded.viewCheck = ReadViewCheck(settings);
  loaded.parallelEncoders = ReadParallelEncoders(settings);
  loaded.existingOutputs = ReadExistingOutputs(settings);
  loaded.encoder = ReadEncoderLocation(settings);
  loaded.encodePriority = Read(settings, kEncodePriority);
  loaded.encodeOptions = ReadEncodeOptions(settings, EncodeOptionsReader::SetupWindow);
  loaded.replayGain = ReadReplayGainMode(settings);
  loaded.verifyOutputs = ReadVerifyOutputs(settings);
  loaded.keepGoing = ReadKeepGoing(settings);
  loaded.carry = ReadCarryOptions(settings);
  loaded.copyLossy = ReadLossyCopy(settings);
  loaded.outputFormat = ReadOutputFormat(settings);
  loaded.opus = ReadOpusOptions(settings);
  return loaded;
}

void WriteSetupSettings(SettingsStore& settings, const SetupSettings& chosen) {
  const OutputFolderRule& folder = chosen.outputFolder;
  settings.WriteBool(kSameOutput.section, kSameOutputAsWritten, folder.sameOutput);
  Write(settings, kUseStdOutput, folder.useStdOutput);
  Write(settings, kStdOutputDir, folder.stdOutputDir);
  Write(settings, kViewCheck, chosen.viewCheck);
  WriteOnceChosen(settings, kParallelEncoders, chosen.parallelEncoders);
  WriteOnceChosen(settings, kKeepFolderTree, folder.keepFolderTree);
  WriteOnceChosen(settings, kExistingOutput, static_cast<std::int32_t>(chosen.existingOutputs));
  WriteOnceChosen(settings, kCarryTags, chosen.carry.fields);
  WriteOnceChosen(settings, kCarryPictures, chosen.carry.pictures);
  WriteOnceChosen(settings, kPictureLimitKB, chosen.carry.pictureLimitKB);
  WriteOnceChosen(settings, kSplitEmbeddedCue, chosen.carry.splitEmbeddedCue);
  WriteEncoderLocation(settings, chosen.encoder);
  Write(settings, kEncodePriority, chosen.encodePriority);
  WriteEncodeOptions(settings, chosen.encodeOptions);
  WriteOnceChosen(settings, kReplayGain, static_cast<std::int32_t>(chosen.replayGain));
  WriteOnceChosen(settings, kVerifyOutputs, chosen.verifyOutputs);
  WriteOnceChosen(settings, kKeepGoing, chosen.keepGoing);
  WriteOnceChosen(settings, kCopyLossy, static_cast<std::int32_t>(chosen.copyLossy));
  WriteOnceChosen(settings, kOutputFormat, static_cast<std::int32_t>(chosen.outputFormat));
  WriteOnceChosen(settings, kOpusBitrate, chosen.opus.bitrate);
  WriteOnceChosen(settings, kOpusMode, static_cast<std::int32_t>(chosen.opus.mode));
}

void WriteEncoderLocation(SettingsStore& settings, const EncoderLocation& location) {
  Write(settings, kSetEncoderPlace, location.setEncoderPlace);
  Write(settings, kEncoderPlace, location.encoderPlace);
}

void WriteRememberedFolders(SettingsStore& settings, const RememberedFolders& folders) {
  Write(settings, kOpenDir, folders.openDir);
  Write(settings, kDefDir, folders.defDir);
}

void WriteTagPattern(SettingsStore& settings, TagPatternKind kind, std::string_view pattern) {
  Write(settings, PatternSetting(kind), pattern);
}

void WriteReplayGain(SettingsStore& settings, ReplayGainMode mode) {
  Write(settings, kReplayGain, static_cast<std::int32_t>(mode));
}

void WriteVerifyOutputs(SettingsStore& settings, bool verify) {
  Write(settings, kVerifyOutputs, verify);
}

void WriteCarryTags(SettingsStore& settings, bool carry) { Write(settings, kCarryTags, carry); }

void WriteCarryPictures(SettingsStore& settings, bool carry) {
  Write(settings, kCarryPictures, carry);
}

void WriteLossyCopy(SettingsStore& settings, LossyCopy copy) {
  Write(settings, kCopyLossy, static_cast<std::int32_t>(copy));
}

void WriteOutputFormat(SettingsStore& settings, OutputFormat format) {
  Write(settings, kOutputFormat, static_cast<std::int32_t>(format));
}

void WriteOpusOptions(SettingsStore& settings, const OpusOptions& opus) {
  Write(settings, kOpusBitrate, opus.bitrate);
  Write(settings, kOpusMode, static_cast<std::int32_t>(opus.mode));
}

}  // namespace lumio
