#include "core/settings_schema.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "core/settings_store.h"

namespace lumio {
namespace {

// A store with no file behind it: nothing here saves.
SettingsStore UnsavedStore() { return SettingsStore(testing::TempDir() + "lumio-never-saved.ini"); }

// What each mode reads as, by its stored number; nullopt when the reader has no mode
// for it.
std::optional<int> ReadMode(const SettingsStore& store, const std::string& key) {
  if (key == "UseOption") {
    return static_cast<int>(ReadEncodeOptions(store, EncodeOptionsReader::Encoder).mode);
  }
  if (key == "ExistingOutput") return static_cast<int>(ReadExistingOutputs(store));
  if (key == "ReplayGain") return static_cast<int>(ReadReplayGainMode(store));
  if (key == "OutputFormat") return static_cast<int>(ReadOutputFormat(store));
  if (key == "OpusMode") return static_cast<int>(ReadOpusOptions(store).mode);
  const std::optional<EncodePriority> priority = ReadEncodePriority(store);
  return priority ? std::optional<int>(static_cast<int>(*priority)) : std::nullopt;
}

TEST(SettingsSchema, ModesReadAsTheirStoredNumbers) {
  struct Case {
    const char* section;
    const char* key;
    const char* stored;  // nullptr: no entry
    std::optional<int> expected;
  };
  const Case cases[] = {
      {"EncodeOption", "UseOption", "1", 1},
      {"EncodeOption", "UseOption", "2", 2},
      {"EncodeOption", "UseOption", "3", 3},
      {"EncodeOption", "UseOption", "0", 3},
      {"EncodeOption", "UseOption", "9", 3},
      {"EncodeOption", "UseOption", nullptr, 3},
      {"Options", "ExistingOutput", "1", 1},
      {"Options", "ExistingOutput", "2", 2},
      {"Options", "ExistingOutput", "9", 0},
      {"Options", "ExistingOutput", "-1", 0},
      {"Options", "ExistingOutput", nullptr, 0},
      {"Options", "ReplayGain", "1", 1},
      {"Options", "ReplayGain", "2", 2},
      {"Options", "ReplayGain", "3", 0},
      {"Options", "ReplayGain", nullptr, 0},
      {"Options", "EncodePriority", "0", 0},
      {"Options", "EncodePriority", "2", 2},
      {"Options", "EncodePriority", "3", 3},
      {"Options", "EncodePriority", "7", std::nullopt},
      {"Options", "EncodePriority", "-1", std::nullopt},
      {"Options", "EncodePriority", "high", 1},
      {"Options", "EncodePriority", nullptr, 1},
      {"Options", "OutputFormat", "1", 1},
      {"Options", "OutputFormat", "2", 0},
      {"Options", "OutputFormat", nullptr, 0},
      {"Options", "OpusMode", "2", 2},
      {"Options", "OpusMode", "3", 0},
      {"Options", "OpusMode", nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + (c.stored ? c.stored : "(none)"));
    SettingsStore store = UnsavedStore();
    if (c.stored != nullptr) store.WriteString(c.section, c.key, c.stored);
    EXPECT_EQ(ReadMode(store, c.key), c.expected);
  }
}

TEST(SettingsSchema, TheSetupWindowsChoicesComeBackAsSavedAndLaterKeysWaitUntilChosen) {
  struct Case {
    const char* name;
    std::function<void(SetupSettings&)> choose;
    const char* laterKey;  // the key that this choice writes first, or nullptr
    std::int32_t laterDefault = 0;
  };
  const Case cases[] = {
      {"defaults", [](SetupSettings&) {}, nullptr},
      {"bit rates", [](SetupSettings& s) { s.encodeOptions.mode = EncodeOptionMode::Bitrates; },
       nullptr},
      {"quality", [](SetupSettings& s) { s.encodeOptions.mode = EncodeOptionMode::Quality; },
       nullptr},
      {"idle", [](SetupSettings& s) { s.encodePriority = 0; }, nullptr},
      {"no priority item", [](SetupSettings& s) { s.encodePriority = -1; }, nullptr},
      {"skip up to date",
       [](SetupSettings& s) { s.existingOutputs = ExistingOutputs::SkipUpToDate; },
       "ExistingOutput"},
      {"overwrite", [](SetupSettings& s) { s.existingOutputs = ExistingOutputs::Overwrite; },
       "ExistingOutput"},
      {"two encoders", [](SetupSettings& s) { s.parallelEncoders = 2; }, "ParallelEncoders", 1},
      {"folder tree", [](SetupSettings& s) { s.outputFolder.keepFolderTree = true; },
       "KeepFolderTree"},
      {"track gain", [](SetupSettings& s) { s.replayGain = ReplayGainMode::Track; }, "ReplayGain"},
      {"album gain", [](SetupSettings& s) { s.replayGain = ReplayGainMode::TrackAndAlbum; },
       "ReplayGain"},
      {"verify", [](SetupSettings& s) { s.verifyOutputs = true; }, "VerifyOutputs"},
      {"no tags carried", [](SetupSettings& s) { s.carry.fields = false; }, "CarryTags", 1},
      {"no pictures", [](SetupSettings& s) { s.carry.pictures = false; }, "CarryPictures", 1},
      {"picture limit", [](SetupSettings& s) { s.carry.pictureLimitKB = 100; }, "PictureLimitKB",
       4096},
      {"embedded cue kept whole", [](SetupSettings& s) { s.carry.splitEmbeddedCue = false; },
       "SplitEmbeddedCue", 1},
      {"keep going", [](SetupSettings& s) { s.keepGoing = true; }, "KeepGoing"},
      {"opus", [](SetupSettings& s) { s.outputFormat = OutputFormat::Opus; }, "OutputFormat"},
      {"opus bit rate", [](SetupSettings& s) { s.opus.bitrate = 96; }, "OpusBitrate", 128},
      {"opus hard cbr", [](SetupSettings& s) { s.opus.mode = OpusMode::HardCbr; }, "OpusMode"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsStore store = UnsavedStore();
    SetupSettings chosen = ReadSetupSettings(store);
    c.choose(chosen);
    WriteSetupSettings(store, chosen);
    const SetupSettings read = ReadSetupSettings(store);
    EXPECT_EQ(read.encodeOptions.mode, chosen.encodeOptions.mode);
    EXPECT_EQ(read.encodePriority, chosen.encodePriority);
    EXPECT_EQ(read.existingOutputs, chosen.existingOutputs);
    EXPECT_EQ(read.parallelEncoders, chosen.parallelEncoders);
    EXPECT_EQ(read.outputFolder.keepFolderTree, chosen.outputFolder.keepFolderTree);
    EXPECT_EQ(read.replayGain, chosen.replayGain);
    EXPECT_EQ(read.verifyOutputs, chosen.verifyOutputs);
    EXPECT_EQ(read.keepGoing, chosen.keepGoing);
    EXPECT_EQ(read.carry.fields, chosen.carry.fields);
    EXPECT_EQ(read.carry.pictures, chosen.carry.pictures);
    EXPECT_EQ(read.carry.pictureLimitKB, chosen.carry.pictureLimitKB);
    EXPECT_EQ(read.carry.splitEmbeddedCue, chosen.carry.splitEmbeddedCue);
    EXPECT_EQ(read.outputFormat, chosen.outputFormat);
    EXPECT_EQ(read.opus.bitrate, chosen.opus.bitrate);
    EXPECT_EQ(read.opus.mode, chosen.opus.mode);
    for (const char* key :
         {"ExistingOutput", "ParallelEncoders", "KeepFolderTree", "ReplayGain", "VerifyOutputs",
          "CarryTags", "CarryPictures", "PictureLimitKB", "SplitEmbeddedCue", "KeepGoing",
          "OutputFormat", "OpusBitrate", "OpusMode"}) {
      const bool written = store.ReadString("Options", key, "(none)") != "(none)";
      EXPECT_EQ(written, c.laterKey != nullptr && std::string(c.laterKey) == key) << key;
    }
    // Once stored, a later key is written even when it goes back to its default.
    WriteSetupSettings(store, ReadSetupSettings(UnsavedStore()));
    if (c.laterKey != nullptr) {
      EXPECT_EQ(store.ReadInteger("Options", c.laterKey, -9), c.laterDefault);
    }
  }
}

TEST(SettingsSchema, QualityWithoutAValueDependsOnTheReader) {
  struct Case {
    const char* stored;  // nullptr: no entry
    std::int32_t inSetupWindow;
    std::int32_t forEncoder;
  };
  const Case cases[] = {{nullptr, 30, 0}, {"45", 45, 45}, {"4.5", 30, 0}, {"150", 150, 150}};
  for (const Case& c : cases) {
    SettingsStore store = UnsavedStore();
    if (c.stored != nullptr) store.WriteString("EncodeOption", "Quality", c.stored);
    EXPECT_EQ(ReadEncodeOptions(store, EncodeOptionsReader::SetupWindow).quality, c.inSetupWindow);
    EXPECT_EQ(ReadEncodeOptions(store, EncodeOptionsReader::Encoder).quality, c.forEncoder);
  }
}

TEST(SettingsSchema, TagPatternsAndFoldersKeepTheirOwnEntries) {
  SettingsStore store = UnsavedStore();
  EXPECT_EQ(ReadTagPattern(store, TagPatternKind::OutputName), "%n %t");
  EXPECT_EQ(ReadTagPattern(store, TagPatternKind::TagsFromName), "%n - %t");
  WriteTagPattern(store, TagPatternKind::TagsFromName, "%a_%t");
  EXPECT_EQ(store.ReadString("TagTools", "TagPattern", ""), "%a_%t");
  EXPECT_EQ(ReadTagPattern(store, TagPatternKind::OutputName), "%n %t");

  WriteRememberedFolders(store, {"/in/", "/out/"});
  EXPECT_EQ(store.ReadString("General", "OpenDir", ""), "/in/");
  EXPECT_EQ(store.ReadString("General", "DefDir", ""), "/out/");
}

TEST(SettingsSchema, OpusOutputsTakeTheirExtensionInPlaceOfTheListsOgg) {
  struct Row {
    const char* name;
    OutputFormat format;
    const char* expected;
  };
  const Row rows[] = {
      {"01 a.ogg", OutputFormat::Opus, "01 a.opus"},
      {"01 a.OGG", OutputFormat::Opus, "01 a.opus"},
      {"01 a.opus", OutputFormat::Opus, "01 a.opus"},
      {"typed name", OutputFormat::Opus, "typed name"},
      {".ogg", OutputFormat::Opus, ".opus"},
      {"01 a.ogg", OutputFormat::Vorbis, "01 a.ogg"},
      {"01 a.opus", OutputFormat::Vorbis, "01 a.opus"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(OutputNameFor(row.name, row.format), row.expected) << row.name;
  }
}

}  // namespace
}  // namespace lumio
