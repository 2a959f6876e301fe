#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/carried_tags.h"
#include "core/output_format.h"

namespace lumio {

class SettingsStore;

// The settings the program keeps, read and written by meaning rather than by section
// and key: every section, key and default is named once, in settings_schema.cpp. The
// readers take what the store holds at the moment they are called (nothing is cached),
// and the writers leave the file's bytes as the program has always written them. The
// initial values of the structures below are what an empty file reads as.

// Options/EncodePriority: the item of the setup window's priority list.
enum class EncodePriority : std::int32_t { Idle = 0, Normal = 1, High = 2, Realtime = 3 };

// EncodeOption/UseOption: which encoding option the encoder is given.
enum class EncodeOptionMode : std::int32_t { Bitrates = 1, Quality = 2, None = 3 };

// Options/ExistingOutput: what a batch does about outputs that exist already.
enum class ExistingOutputs : std::int32_t {
  Ask = 0,           // one question lists them all (the default)
  SkipUpToDate = 1,  // an output at least as new as its source is left as it is
  Overwrite = 2,     // replaced without a question
};

// Options/ReplayGain: which ReplayGain fields the outputs get, measured from each output.
enum class ReplayGainMode : std::int32_t {
  None = 0,           // none; fields a source carries stay as they are (the default)
  Track = 1,          // each track's own
  TrackAndAlbum = 2,  // and, for the jobs that form an album, the album's
};

// Where the outputs of newly added files go.
struct OutputFolderRule {
  bool sameOutput = false;      // beside the input file
  bool useStdOutput = false;    // in stdOutputDir, when that folder exists
  std::string stdOutputDir;     // as stored: picked (with its separator) or typed
  bool keepFolderTree = false;  // below the output folder, the sources' own subfolders
};

// Options/SetEncoderPlace and Options/EncoderPlace.
struct EncoderLocation {
  bool setEncoderPlace = false;  // run the encoder at encoderPlace
  std::string encoderPlace;
};

// The section EncodeOption. The bit rates are items of the setup window's bit-rate
// list as stored: 0 is no setting, 1 to 12 are rates; any other number is kept as it is
// (the window shows no selection, the command line leaves that option out).
struct EncodeOptions {
  EncodeOptionMode mode = EncodeOptionMode::None;
  std::int32_t maximumBitrate = 0;
  std::int32_t nominalBitrate = 0;
  std::int32_t minimumBitrate = 0;
  std::int32_t quality = 0;  // quality level times ten; outside 0 to 100 it is kept
};

// Who reads the encoding options, which decides the quality of a file that has none.
enum class EncodeOptionsReader {
  SetupWindow,  // its slider starts at 3.0
  Encoder,      // no stored quality is 0.0
};

// The two folders of section General that the main window holds while it is open.
struct RememberedFolders {
  std::string openDir;  // where the dialog for adding files starts
  std::string defDir;   // the default output folder
};

// The patterns last given to the tag tools (section TagTools).
enum class TagPatternKind {
  OutputName,    // output file names made from tags
  TagsFromName,  // tags taken from the source file names
};

// Which lossy sources a kept tree takes as they are, copied instead of encoded again
// (Options/CopyLossy): none, those already Ogg Vorbis, or every lossy format Lumio
// recognises by its bytes (Ogg Vorbis, Ogg Opus, MP3, ADTS AAC).
enum class LossyCopy { Off = 0, OggVorbis = 1, AllLossy = 2 };

// Everything the setup window shows and saves.
struct SetupSettings {
  OutputFolderRule outputFolder;
  bool viewCheck = false;  // the encoders' output is shown in consoles
  std::int32_t parallelEncoders = 1;
  ExistingOutputs existingOutputs = ExistingOutputs::Ask;
  EncoderLocation encoder;
  // The priority list's item as stored, kept when it is no item (ReadEncodePriority
  // gives its meaning).
  std::int32_t encodePriority = static_cast<std::int32_t>(EncodePriority::Normal);
  EncodeOptions encodeOptions;
  ReplayGainMode replayGain = ReplayGainMode::None;
  bool verifyOutputs = false;  // Options/VerifyOutputs: each output decoded and its length checked
  bool keepGoing = false;      // Options/KeepGoing: a failed job does not end the batch
  CarryOptions carry;
  LossyCopy copyLossy = LossyCopy::Off;
  OutputFormat outputFormat = OutputFormat::Vorbis;
  OpusOptions opus;
};

OutputFolderRule ReadOutputFolderRule(const SettingsStore& settings);
EncoderLocation ReadEncoderLocation(const SettingsStore& settings);
EncodeOptions ReadEncodeOptions(const SettingsStore& settings, EncodeOptionsReader reader);
// nullopt when the stored number is no item of the list.
std::optional<EncodePriority> ReadEncodePriority(const SettingsStore& settings);
ExistingOutputs ReadExistingOutputs(const SettingsStore& settings);
// As stored: the callers keep it within the number of encoders they can run.
std::int32_t ReadParallelEncoders(const SettingsStore& settings);
bool ReadViewCheck(const SettingsStore& settings);
ReplayGainMode ReadReplayGainMode(const SettingsStore& settings);
bool ReadVerifyOutputs(const SettingsStore& settings);
bool ReadKeepGoing(const SettingsStore& settings);
// Off when absent or no item.
LossyCopy ReadLossyCopy(const SettingsStore& settings);
RememberedFolders ReadRememberedFolders(const SettingsStore& settings);
std::string ReadTagPattern(const SettingsStore& settings, TagPatternKind kind);
// Options/CarryTags, CarryPictures, PictureLimitKB and SplitEmbeddedCue.
CarryOptions ReadCarryOptions(const SettingsStore& settings);
// Vorbis for any stored number that is no format.
OutputFormat ReadOutputFormat(const SettingsStore& settings);
// A stored number that is no mode reads as VBR.
OpusOptions ReadOpusOptions(const SettingsStore& settings);
SetupSettings ReadSetupSettings(const SettingsStore& settings);

// Writes the setup window's keys in the order in which they have always stood in the
// file. The keys that later versions added are written only once they differ from their
// defaults or are stored already, so that the files of earlier versions stay as they were.
void WriteSetupSettings(SettingsStore& settings, const SetupSettings& chosen);
void WriteEncoderLocation(SettingsStore& settings, const EncoderLocation& location);
void WriteRememberedFolders(SettingsStore& settings, const RememberedFolders& folders);
void WriteTagPattern(SettingsStore& settings, TagPatternKind kind, std::string_view pattern);
// Options/ReplayGain (None when absent), Options/VerifyOutputs (off when absent),
// Options/CarryTags and Options/CarryPictures (on when absent).
void WriteReplayGain(SettingsStore& settings, ReplayGainMode mode);
void WriteVerifyOutputs(SettingsStore& settings, bool verify);
void WriteCarryTags(SettingsStore& settings, bool carry);
void WriteCarryPictures(SettingsStore& settings, bool carry);
void WriteLossyCopy(SettingsStore& settings, LossyCopy copy);
// Options/OutputFormat, OpusBitrate and OpusMode, whatever is stored.
void WriteOutputFormat(SettingsStore& settings, OutputFormat format);
void WriteOpusOptions(SettingsStore& settings, const OpusOptions& opus);

}  // namespace lumio
