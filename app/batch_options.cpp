#include "app/batch_options.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>
#include <string_view>

#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "encode/run/batch_run.h"

namespace lumio {

namespace {

constexpr std::string_view kBatch = "--batch";

// `text` with its control characters as '?', so that an error about it stays one line.
std::string OnOneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return line;
}

// A value's text, and where an error about it is written.
struct Reader {
  bool japanese;
  std::string error;

  bool Fail(std::string_view option, std::string_view value, std::string_view english,
            std::string_view japaneseText) {
    error = "lumio: " + OnOneLine(option) + ": " +
            (value.empty() ? "" : "'" + OnOneLine(value) + "' ") +
            std::string(japanese ? japaneseText : english) + "\n";
    return false;
  }
};

std::optional<std::int32_t> WholeNumber(std::string_view text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "4", "4.5", "10.0": a quality level with at most one decimal, as ten times its value.
std::optional<std::int32_t> QualityTimesTen(std::string_view text) {
  const std::size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view tenths = dot == std::string_view::npos ? "0" : text.substr(dot + 1);
  if (whole.empty() || tenths.size() != 1 || whole.front() == '-' || whole.front() == '+') {
    return std::nullopt;
  }
  const std::optional<std::int32_t> units = WholeNumber(whole);
  const std::optional<std::int32_t> tenth = WholeNumber(tenths);
  if (!units || !tenth || *units > 10) return std::nullopt;
  return *units * 10 + *tenth;
}

// A rate in kbps of the bit-rate list as its item (1 to 12); empty text is item 0.
std::optional<std::int32_t> BitrateItem(std::string_view text) {
  if (text.empty()) return 0;
  const std::optional<std::int32_t> rate = WholeNumber(text);
  const auto found = std::find(BitrateTable.begin(), BitrateTable.end(), rate.value_or(-1));
  if (found == BitrateTable.end()) return std::nullopt;
  return static_cast<std::int32_t>(found - BitrateTable.begin()) + 1;
}

template <typename Value>
std::optional<Value> Choice(std::string_view text,
                            std::initializer_list<std::pair<std::string_view, Value>> choices) {
  for (const auto& [word, value] : choices) {
    if (text == word) return value;
  }
  return std::nullopt;
}

// MIN,NOM,MAX: each item empty or one of the encoder's rates.
bool SetBitrates(BatchOptions& options, Reader& reader, std::string_view option,
                 std::string_view value) {
  const std::size_t first = value.find(',');
  const std::size_t second = first == std::string_view::npos ? first : value.find(',', first + 1);
  options.quality.reset();
  if (second != std::string_view::npos && value.find(',', second + 1) == std::string_view::npos) {
    const auto minimum = BitrateItem(value.substr(0, first));
    const auto nominal = BitrateItem(value.substr(first + 1, second - first - 1));
    const auto maximum = BitrateItem(value.substr(second + 1));
    // Items go up with the rate; 0 (empty) bounds nothing.
    if (minimum && maximum && *minimum != 0 && *maximum != 0 && *minimum > *maximum) {
      return reader.Fail(option, value, "has its minimum above its maximum",
                         "は最小が最大を上回っています");
    }
    if (minimum && nominal && maximum) {
      options.bitrates = std::array{*minimum, *nominal, *maximum};
      return true;
    }
  }
  return reader.Fail(option, value,
                     "is not MIN,NOM,MAX, each empty or one of 64 80 96 112 128 160 192 224 "
                     "256 288 320 352",
                     "は MIN,NOM,MAX (それぞれ空か 64 80 96 112 128 160 192 224 256 288 320 "
                     "352 のどれか) ではありません");
}

using Setter = std::function<bool(std::string_view option, std::string_view value)>;
using Setters = std::map<std::string_view, Setter, std::less<>>;
using Flags = std::map<std::string_view, bool*, std::less<>>;

// The options that take a value, each with what it sets; a refused value is told
// through `reader`.
Setters ValueOptions(BatchOptions& options, Reader& reader) {
  return {
      {"--output",
       [&](auto option, auto value) {
         // An empty name would be the current folder, which no one means by it.
         if (value.empty()) {
           return reader.Fail(option, value, "needs a folder, not an empty value",
                              "には空でないフォルダ名が必要です");
         }
         options.outputFolder = std::string(value);
         return true;
       }},
      {"--existing",
       [&](auto option, auto value) {
         options.existing =
             Choice<ExistingOutputs>(value, {{"ask", ExistingOutputs::Ask},
                                             {"skip-newer", ExistingOutputs::SkipUpToDate},
                                             {"overwrite", ExistingOutputs::Overwrite}});
         return options.existing ||
                reader.Fail(option, value, "is not one of ask, skip-newer, overwrite",
                            "は ask・skip-newer・overwrite のどれでもありません");
       }},
      {"--jobs",
       [&](auto option, auto value) {
         options.jobs = WholeNumber(value);
         return (options.jobs && *options.jobs >= 1 && *options.jobs <= kMostParallelEncoders) ||
                reader.Fail(option, value, "is not a number from 1 to 16",
                            "は 1 から 16 までの数ではありません");
       }},
      {"--quality",
       [&](auto option, auto value) {
         options.quality = QualityTimesTen(value);
         options.bitrates.reset();
         return (options.quality && *options.quality <= 100) ||
                reader.Fail(option, value, "is not a quality from 0.0 to 10.0 (one decimal)",
                            "は 0.0 から 10.0 まで (小数 1 桁) の品質ではありません");
       }},
      {"--bitrate",
       [&](auto option, auto value) { return SetBitrates(options, reader, option, value); }},
      {"--priority",
       [&](auto option, auto value) {
         options.priority = Choice<EncodePriority>(value, {{"idle", EncodePriority::Idle},
                                                           {"normal", EncodePriority::Normal},
                                                           {"high", EncodePriority::High},
                                                           {"realtime", EncodePriority::Realtime}});
         return options.priority ||
                reader.Fail(option, value, "is not one of idle, normal, high, realtime",
                            "は idle・normal・high・realtime のどれでもありません");
       }},
      {"--settings",
       [&](auto, auto value) {
         options.settingsFile = std::string(value);
         return true;
       }},
      {"--report",
       [&](auto, auto value) {
         options.reportFile = std::string(value);
         return true;
       }},
      {"--replaygain",
       [&](auto option, auto value) {
         options.replayGain =
             Choice<ReplayGainMode>(value, {{"none", ReplayGainMode::None},
                                            {"track", ReplayGainMode::Track},
                                            {"album", ReplayGainMode::TrackAndAlbum}});
         return options.replayGain || reader.Fail(option, value, "is not one of none, track, album",
                                                  "は none・track・album のどれでもありません");
       }},
      {"--names",
       [&](auto option, auto value) {
         options.names = std::string(value);
         return !value.empty() || reader.Fail(option, value, "needs a pattern, not an empty value",
                                              "には空でないパターンが必要です");
       }},
      {"--format",
       [&](auto option, auto value) {
         options.format = Choice<OutputFormat>(
             value, {{"vorbis", OutputFormat::Vorbis}, {"opus", OutputFormat::Opus}});
         return options.format || reader.Fail(option, value, "is not one of vorbis, opus",
                                              "は vorbis・opus のどちらでもありません");
       }},
      {"--opus-bitrate",
       [&](auto option, auto value) {
         options.opusBitrate = WholeNumber(value);
         return (options.opusBitrate && *options.opusBitrate >= kLowestOpusBitrate &&
                 *options.opusBitrate <= kHighestOpusBitrate) ||
                reader.Fail(option, value, "is not a bit rate from 6 to 256 (kbps)",
                            "は 6 から 256 までのビットレート (kbps) ではありません");
       }},
      {"--opus-mode",
       [&](auto option, auto value) {
         options.opusMode = Choice<OpusMode>(value, {{"vbr", OpusMode::Vbr},
                                                     {"cvbr", OpusMode::ConstrainedVbr},
                                                     {"cbr", OpusMode::HardCbr}});
         return options.opusMode || reader.Fail(option, value, "is not one of vbr, cvbr, cbr",
                                                "は vbr・cvbr・cbr のどれでもありません");
       }},
  };
}

// The options that stand alone, each with the switch it turns on.
Flags FlagOptions(BatchOptions& options) {
  return {
      {kBatch, nullptr},
      {"--same-folder", &options.sameFolder},
      {"--keep-tree", &options.keepTree},
      {"--json", &options.json},
      {"--quiet", &options.quiet},
      {"--verify", &options.verify},
      {"--no-carry-tags", &options.noCarryTags},
      {"--no-pictures", &options.noPictures},
      {"--stop-on-failure", &options.stopOnFailure},
      {"--prune", &options.prune},
      {"--dry-run", &options.dryRun},
  };
}

constexpr std::string_view kCopyLossy = "--copy-lossy";

// --copy-lossy alone copies Ogg Vorbis sources; a value, after '=' or as the next
// argument when it is one of the words, says which.
std::optional<LossyCopy> CopyLossyChoice(std::string_view value) {
  return Choice<LossyCopy>(
      value,
      {{"none", LossyCopy::Off}, {"vorbis", LossyCopy::OggVorbis}, {"all", LossyCopy::AllLossy}});
}

bool SetCopyLossy(BatchOptions& options, Reader& reader, const std::vector<std::string>& arguments,
                  std::size_t& i) {
  const std::string_view argument = arguments[i];
  const std::size_t equals = argument.find('=');
  if (equals == std::string_view::npos) {
    const bool valueFollows = i + 1 < arguments.size() && CopyLossyChoice(arguments[i + 1]);
    options.copyLossy = valueFollows ? CopyLossyChoice(arguments[++i]) : LossyCopy::OggVorbis;
    return true;
  }
  options.copyLossy = CopyLossyChoice(argument.substr(equals + 1));
  return options.copyLossy ||
         reader.Fail(kCopyLossy, argument.substr(equals + 1), "is not one of none, vorbis, all",
                     "は none・vorbis・all のどれでもありません");
}

// Options that cannot go together, and a batch with nothing to encode.
bool CheckCombination(const BatchOptions& options, Reader& reader) {
  if (options.outputFolder && options.sameFolder) {
    return reader.Fail("--same-folder", {}, "cannot be given with --output",
                       "は --output と一緒には使えません");
  }
  // The kept tree places the files already; the pattern's folders would make a second one.
  if (options.keepTree && options.names && options.names->find('/') != std::string::npos) {
    return reader.Fail("--names", *options.names, "with / cannot be given with --keep-tree",
                       "の / は --keep-tree と一緒には使えません");
  }
  if (options.prune && options.sameFolder) {
    return reader.Fail("--prune", {}, "cannot be given with --same-folder",
                       "は --same-folder と一緒には使えません");
  }
  if (options.paths.empty()) {
    return reader.Fail("--batch", {}, "needs at least one FILE or FOLDER",
                       "にはファイルかフォルダを 1 つ以上指定してください");
  }
  return true;
}

}  // namespace

bool IsBatchCommandLine(const std::vector<std::string>& arguments) {
  for (std::size_t i = 1; i < arguments.size() && arguments[i] != "--"; ++i) {
    if (arguments[i] == kBatch) return true;
  }
  return false;
}

BatchCommandLine ParseBatchCommandLine(const std::vector<std::string>& arguments, bool japanese) {
  BatchCommandLine result;
  BatchOptions& options = result.options;
  Reader reader{japanese, {}};
  const Setters setters = ValueOptions(options, reader);
  const Flags flags = FlagOptions(options);
  bool optionsEnded = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument.front() != '-') {
      options.paths.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "-h" || argument == "--help" || argument == "-v" || argument == "--version") {
      const CommandLineOutcome outcome = ParseCommandLine({arguments.front(), argument}, japanese);
      return {outcome.action, outcome.text, {}};
    }
    const std::size_t equals = argument.find('=');
    const std::string_view name = std::string_view(argument).substr(0, equals);
    if (name == kCopyLossy) {
      if (!SetCopyLossy(options, reader, arguments, i)) {
        return {CommandLineAction::RefuseAndExit, reader.error, {}};
      }
      continue;
    }
    if (const auto flag = flags.find(name); flag != flags.end() && equals == std::string::npos) {
      if (flag->second != nullptr) *flag->second = true;
      continue;
    }
    const auto setter = setters.find(name);
    if (setter == setters.end()) {
      reader.Fail(argument, {}, "unknown option", "知らないオプションです");
      return {CommandLineAction::RefuseAndExit, reader.error, {}};
    }
    std::string_view value;
    if (equals != std::string::npos) {
      value = std::string_view(argument).substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      reader.Fail(name, {}, "needs a value", "には値が必要です");
      return {CommandLineAction::RefuseAndExit, reader.error, {}};
    }
    if (!setter->second(name, value)) {
      return {CommandLineAction::RefuseAndExit, reader.error, {}};
    }
  }
  if (!CheckCombination(options, reader)) {
    return {CommandLineAction::RefuseAndExit, reader.error, {}};
  }
  return result;
}

void ApplyBatchOverrides(const BatchOptions& options, SettingsStore& settings) {
  SetupSettings setup = ReadSetupSettings(settings);
  // As the encoder reads them, so that a setting this run does not override stays as
  // the encoder would have taken it.
  setup.encodeOptions = ReadEncodeOptions(settings, EncodeOptionsReader::Encoder);
  if (options.outputFolder) {
    setup.outputFolder.sameOutput = false;
    setup.outputFolder.useStdOutput = true;
    setup.outputFolder.stdOutputDir = *options.outputFolder;
  }
  if (options.sameFolder) setup.outputFolder.sameOutput = true;
  if (options.keepTree) setup.outputFolder.keepFolderTree = true;
  if (options.existing) setup.existingOutputs = *options.existing;
  if (options.jobs) setup.parallelEncoders = *options.jobs;
  if (options.quality) {
    setup.encodeOptions.mode = EncodeOptionMode::Quality;
    setup.encodeOptions.quality = *options.quality;
  }
  if (options.bitrates) {
    setup.encodeOptions.mode = EncodeOptionMode::Bitrates;
    setup.encodeOptions.minimumBitrate = (*options.bitrates)[0];
    setup.encodeOptions.nominalBitrate = (*options.bitrates)[1];
    setup.encodeOptions.maximumBitrate = (*options.bitrates)[2];
  }
  if (options.priority) setup.encodePriority = static_cast<std::int32_t>(*options.priority);
  // Without a window there is no console to show the encoders' output in.
  setup.viewCheck = false;
  // Unattended, one bad file must not hold back the rest.
  setup.keepGoing = !options.stopOnFailure;
  WriteSetupSettings(settings, setup);
  if (options.replayGain) WriteReplayGain(settings, *options.replayGain);
  if (options.verify) WriteVerifyOutputs(settings, true);
  if (options.noCarryTags) WriteCarryTags(settings, false);
  if (options.noPictures) WriteCarryPictures(settings, false);
  if (options.copyLossy) WriteLossyCopy(settings, *options.copyLossy);
  if (options.format) WriteOutputFormat(settings, *options.format);
  if (options.opusBitrate || options.opusMode) {
    OpusOptions opus = ReadOpusOptions(settings);
    opus.bitrate = options.opusBitrate.value_or(opus.bitrate);
    opus.mode = options.opusMode.value_or(opus.mode);
    WriteOpusOptions(settings, opus);
  }
}

}  // namespace lumio
