#include "app/batch_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/batch_progress_line.h"
#include "core/settings_schema.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"

namespace lumio {
namespace {

BatchCommandLine Parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"lumio", "--batch"});
  return ParseBatchCommandLine(arguments, false);
}

TEST(BatchOptionsTest, BatchIsAskedForOnlyBeforeTheEndOfOptions) {
  EXPECT_TRUE(IsBatchCommandLine({"lumio", "a.wav", "--batch"}));
  EXPECT_FALSE(IsBatchCommandLine({"lumio", "--", "--batch"}));
  EXPECT_FALSE(IsBatchCommandLine({"lumio", "--batchx", "a.wav"}));
  EXPECT_FALSE(IsBatchCommandLine({"--batch"}));  // the program's own name
}

TEST(BatchOptionsTest, BadOptionsAndValuesAreRefusedWithOneLineNamingThem) {
  struct Row {
    std::vector<std::string> arguments;
    std::string line;
  };
  const Row rows[] = {
      {{"--bogus", "a"}, "lumio: --bogus: unknown option\n"},
      {{"--jobs", "0", "a"}, "lumio: --jobs: '0' is not a number from 1 to 16\n"},
      {{"--jobs=17", "a"}, "lumio: --jobs: '17' is not a number from 1 to 16\n"},
      {{"--jobs", "2x", "a"}, "lumio: --jobs: '2x' is not a number from 1 to 16\n"},
      {{"--quality", "10.1", "a"},
       "lumio: --quality: '10.1' is not a quality from 0.0 to 10.0 (one decimal)\n"},
      {{"--quality", "4.55", "a"},
       "lumio: --quality: '4.55' is not a quality from 0.0 to 10.0 (one decimal)\n"},
      {{"--quality", "-1", "a"},
       "lumio: --quality: '-1' is not a quality from 0.0 to 10.0 (one decimal)\n"},
      {{"--existing", "always", "a"},
       "lumio: --existing: 'always' is not one of ask, skip-newer, overwrite\n"},
      {{"--priority", "low", "a"},
       "lumio: --priority: 'low' is not one of idle, normal, high, realtime\n"},
      {{"--replaygain", "on", "a"}, "lumio: --replaygain: 'on' is not one of none, track, album\n"},
      {{"a", "--output"}, "lumio: --output: needs a value\n"},
      {{"--output", "", "a"}, "lumio: --output: needs a folder, not an empty value\n"},
      {{"--output=", "a"}, "lumio: --output: needs a folder, not an empty value\n"},
      {{"--bitrate", "352,64,128", "a"},
       "lumio: --bitrate: '352,64,128' has its minimum above its maximum\n"},
      {{"--json=1", "a"}, "lumio: --json=1: unknown option\n"},
      {{"--output", "o", "--same-folder", "a"},
       "lumio: --same-folder: cannot be given with --output\n"},
      {{"--json"}, "lumio: --batch: needs at least one FILE or FOLDER\n"},
      {{"--jobs", "1\n2", "a"}, "lumio: --jobs: '1?2' is not a number from 1 to 16\n"},
      {{"--names", "%a/%t", "--keep-tree", "a"},
       "lumio: --names: '%a/%t' with / cannot be given with --keep-tree\n"},
      {{"--names=", "a"}, "lumio: --names: needs a pattern, not an empty value\n"},
      {{"--copy-lossy=mp3", "a"}, "lumio: --copy-lossy: 'mp3' is not one of none, vorbis, all\n"},
      {{"--prune", "--same-folder", "a"}, "lumio: --prune: cannot be given with --same-folder\n"},
      {{"--format", "mp3", "a"}, "lumio: --format: 'mp3' is not one of vorbis, opus\n"},
      {{"--opus-bitrate", "5", "a"},
       "lumio: --opus-bitrate: '5' is not a bit rate from 6 to 256 (kbps)\n"},
      {{"--opus-bitrate=257", "a"},
       "lumio: --opus-bitrate: '257' is not a bit rate from 6 to 256 (kbps)\n"},
      {{"--opus-mode", "abr", "a"}, "lumio: --opus-mode: 'abr' is not one of vbr, cvbr, cbr\n"},
  };
  for (const Row& row : rows) {
    const BatchCommandLine parsed = Parse(row.arguments);
    EXPECT_EQ(parsed.action, CommandLineAction::RefuseAndExit) << row.line;
    EXPECT_EQ(parsed.text, row.line);
  }
}

TEST(BatchOptionsTest, BitratesAreItemsOfTheSetupWindowsListAndReachTheEncoderInTheirPlaces) {
  struct Row {
    std::string value;
    std::optional<std::array<std::int32_t, 3>> items;
    std::string optionText;  // what the encoder is given
  };
  const Row rows[] = {
      {"64,128,352", std::array{1, 5, 12}, " -M 352 -b 128 -m 64"},
      {",192,", std::array{0, 7, 0}, " -b 192"},
      {",,", std::array{0, 0, 0}, ""},
      {"128,128,128", std::array{5, 5, 5}, " -M 128 -b 128 -m 128"},
      {"160,128,128", std::nullopt, ""},
      {"100,128,160", std::nullopt, ""},  // 100 is no rate of the list
      {"64,128", std::nullopt, ""},
      {"64,128,160,192", std::nullopt, ""},
  };
  for (const Row& row : rows) {
    const BatchCommandLine parsed = Parse({"--bitrate", row.value, "a"});
    EXPECT_EQ(parsed.options.bitrates, row.items) << row.value;
    EXPECT_EQ(parsed.action, row.items ? CommandLineAction::Run : CommandLineAction::RefuseAndExit);
    if (!row.items) continue;
    SettingsStore settings("/nonexistent-folder/lumio.ini");
    ApplyBatchOverrides(parsed.options, settings);
    EXPECT_EQ(BuildOptionText(settings), row.optionText) << row.value;
  }
}

TEST(BatchOptionsTest, PathsKeepTheirBytesAndFollowTheEndOfOptions) {
  const BatchCommandLine parsed =
      Parse({"--quality=4.5", "a\xff.wav", "--", "--json", "-", "--report", "r"});
  ASSERT_EQ(parsed.action, CommandLineAction::Run) << parsed.text;
  EXPECT_EQ(parsed.options.paths,
            (std::vector<std::string>{"a\xff.wav", "--json", "-", "--report", "r"}));
  EXPECT_EQ(parsed.options.quality, 45);
  EXPECT_FALSE(parsed.options.json);
  EXPECT_FALSE(parsed.options.reportFile);
}

TEST(BatchOptionsTest, OverridesChangeOnlyTheirSettingsAndTheFileIsNeverWritten) {
  SettingsStore settings("/nonexistent-folder/lumio.ini");
  settings.WriteInteger("EncodeOption", "UseOption", 2);  // a quality, none stored: 0.0
  settings.WriteInteger("Options", "ParallelEncoders", 3);
  settings.WriteBool("Options", "ViewCheck", true);
  const BatchCommandLine parsed =
      Parse({"--output", "/o/", "--keep-tree", "--existing", "skip-newer", "--priority", "idle",
             "--names", "%n %t", "--stop-on-failure", "a"});
  ASSERT_EQ(parsed.action, CommandLineAction::Run) << parsed.text;
  EXPECT_EQ(parsed.options.names, "%n %t");  // names the files within the kept folders
  EXPECT_TRUE(parsed.options.stopOnFailure);
  ApplyBatchOverrides(parsed.options, settings);
  const SetupSettings read = ReadSetupSettings(settings);
  EXPECT_TRUE(read.outputFolder.useStdOutput);
  EXPECT_FALSE(read.outputFolder.sameOutput);
  EXPECT_EQ(read.outputFolder.stdOutputDir, "/o/");
  EXPECT_TRUE(read.outputFolder.keepFolderTree);
  EXPECT_EQ(read.existingOutputs, ExistingOutputs::SkipUpToDate);
  EXPECT_EQ(ReadEncodePriority(settings), EncodePriority::Idle);
  EXPECT_EQ(read.parallelEncoders, 3);
  EXPECT_FALSE(read.viewCheck);  // no console without a window
  // The quality the encoder read before is the one it reads now.
  EXPECT_EQ(ReadEncodeOptions(settings, EncodeOptionsReader::Encoder).quality, 0);
  EXPECT_EQ(ReadEncodeOptions(settings, EncodeOptionsReader::Encoder).mode,
            EncodeOptionMode::Quality);
}

TEST(BatchOptionsTest, TheOptionsOfTheRunsExtrasSetTheirKeysOnlyWhenGiven) {
  struct Row {
    std::vector<std::string> arguments;
    std::int32_t replayGain;  // -1: not stored
    int verify, carryTags, carryPictures, copyLossy;
    bool keepGoing = true;  // whatever the file says: one bad file stops no unattended run
    int format = -1, opusBitrate = -1, opusMode = -1;
  };
  const Row rows[] = {
      {{"a"}, -1, -1, -1, -1, -1},
      {{"--replaygain", "album", "a"}, 2, -1, -1, -1, -1},
      {{"--replaygain=none", "--verify", "a"}, 0, 1, -1, -1, -1},
      {{"--no-carry-tags", "--no-pictures", "--replaygain", "track", "a"}, 1, -1, 0, 0, -1},
      {{"--stop-on-failure", "a"}, -1, -1, -1, -1, -1, false},
      {{"--copy-lossy", "a"}, -1, -1, -1, -1, 1},
      {{"--copy-lossy", "all", "a"}, -1, -1, -1, -1, 2},
      {{"--copy-lossy=none", "a"}, -1, -1, -1, -1, 0},
      {{"--copy-lossy", "all-of-it"}, -1, -1, -1, -1, 1},  // no value: a folder
      {{"--format", "opus", "a"}, -1, -1, -1, -1, -1, true, 1},
      {{"--format=vorbis", "a"}, -1, -1, -1, -1, -1, true, 0},
      {{"--opus-bitrate", "96", "a"}, -1, -1, -1, -1, -1, true, -1, 96, 0},
      {{"--opus-mode", "cvbr", "--format", "opus", "a"}, -1, -1, -1, -1, -1, true, 1, 128, 1},
  };
  for (const Row& row : rows) {
    SettingsStore settings("/nonexistent-folder/lumio.ini");
    settings.WriteBool("Options", "KeepGoing", !row.keepGoing);
    const BatchCommandLine parsed = Parse(row.arguments);
    ASSERT_EQ(parsed.action, CommandLineAction::Run) << parsed.text;
    ApplyBatchOverrides(parsed.options, settings);
    EXPECT_EQ(ReadKeepGoing(settings), row.keepGoing);
    EXPECT_EQ(settings.ReadInteger("Options", "ReplayGain", -1), row.replayGain);
    EXPECT_EQ(settings.ReadInteger("Options", "VerifyOutputs", -1), row.verify);
    EXPECT_EQ(settings.ReadInteger("Options", "CarryTags", -1), row.carryTags);
    EXPECT_EQ(settings.ReadInteger("Options", "CarryPictures", -1), row.carryPictures);
    EXPECT_EQ(settings.ReadInteger("Options", "CopyLossy", -1), row.copyLossy);
    EXPECT_EQ(settings.ReadInteger("Options", "OutputFormat", -1), row.format);
    EXPECT_EQ(settings.ReadInteger("Options", "OpusBitrate", -1), row.opusBitrate);
    EXPECT_EQ(settings.ReadInteger("Options", "OpusMode", -1), row.opusMode);
    EXPECT_EQ(parsed.options.paths, std::vector<std::string>{row.arguments.back()});
  }
}

TEST(BatchProgressLineTest, FitsTheWidthByWholeCharacters) {
  struct Row {
    std::string text;
    std::size_t columns;
    std::string fitted;
  };
  const Row rows[] =
      {
          {"abcdef", 6, "abcdef"},          {"abcdef", 5, "abcd…"},
          {"さくら.wav", 10, "さくら.wav"}, {"さくら.wav", 9, "さくら.w…"},
          {"さくら.wav", 4, "さ…"},  // a wide character never straddles the edge
          {"ab\xff\xfe", 3, "ab…"},
      };
  for (const Row& row : rows) {
    EXPECT_EQ(FitToColumns(row.text, row.columns), row.fitted) << row.text << " " << row.columns;
    EXPECT_LE(TerminalColumns(FitToColumns(row.text, row.columns)), row.columns);
  }
}

TEST(BatchProgressLineTest, ShowsCountsPercentBarTimeLeftAndRunningNames) {
  ProgressLineState state;
  state.finished = 3;
  state.total = 8;
  state.fraction = 0.5;
  state.remainingMs = 65'001;
  state.running = {"01.wav", "02.wav"};
  EXPECT_EQ(ProgressLine(state, 200, false),
            "3/8 50% [##########----------] 1:06 left  01.wav, 02.wav");
  EXPECT_EQ(ProgressLine(state, 200, true),
            "3/8 50% [##########----------] 残り 1:06  01.wav, 02.wav");
  EXPECT_EQ(ProgressLine(state, 40, false), "3/8 50% [##########----------] 1:06 lef…");
}

}  // namespace
}  // namespace lumio
