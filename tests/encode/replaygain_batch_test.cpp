#include <gtest/gtest.h>

#include <QSignalSpy>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "encode/finish/comment_fields_writer.h"
#include "encode/report/run_report.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_run.h"
#include "encode/run/clock.h"
#include "platform/file_system.h"
#include "support/add_sources.h"
#include "support/current_folder_guard.h"
#include "support/ogg_comments.h"
#include "support/run_tool.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

using Fields = std::map<std::string, std::string>;

// The REPLAYGAIN_* fields of an Ogg Vorbis file, names upper-cased, repeated values joined by "|".
Fields ReplayGainOf(const std::string& path) {
  Fields fields;
  for (const test::OggComment& comment : test::ReadOggComments(path)) {
    const std::string name = test::UpperCase(comment.name);
    if (name.rfind("REPLAYGAIN_", 0) != 0) continue;
    std::string& value = fields[name];
    value += (value.empty() ? "" : "|") + comment.value;
  }
  return fields;
}

double Decibels(const std::string& gain) {
  EXPECT_EQ(gain.substr(gain.size() - 3), " dB") << gain;
  return std::stod(gain);
}

// From the definition of integrated loudness: every block of equally long tones lies
// above both gates, so the album reads the mean of their powers.
double AlbumGainOfTones(std::initializer_list<double> lufs) {
  double mean = 0;
  for (const double tone : lufs) mean += std::pow(10, tone / 10) / static_cast<double>(lufs.size());
  return -18 - 10 * std::log10(mean);
}

constexpr double kToleranceDb = 0.1;
constexpr double kMinus20dBFS = 0.1;  // a stereo 1 kHz sine at this peak reads -20 LUFS

class ReplayGainBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    oggenc_ = FindOnSearchPath("oggenc");
    if (oggenc_.empty()) GTEST_SKIP() << "oggenc is not installed";
    for (const char* folder :
         {"alpha", "beta", "single", "out", "out/alpha", "out/beta", "out/single"}) {
      ASSERT_TRUE(CreateFolder(root_ + folder));
    }
    settings_.WriteBool("Options", "SetEncoderPlace", true);
    settings_.WriteString("Options", "EncoderPlace", oggenc_);
  }

  // Adds folder/name.wav, a sine of `amplitude` lasting `seconds` (cut to `keptSeconds`
  // when given: the header still declares the whole), as album `album`.
  void Add(const std::string& folder, const std::string& name, double amplitude,
           const std::string& album, double keptSeconds = 0) {
    const std::string input = root_ + folder + "/" + name + ".wav";
    std::string wave = test::SineWave(3, 1000, amplitude);
    if (keptSeconds > 0) wave.resize(44 + static_cast<std::size_t>(keptSeconds * 44100) * 4);
    ASSERT_TRUE(test::WriteFile(input, wave));
    ASSERT_TRUE(test::AddSource(jobs_, input, settings_, root_ + "out/" + folder + "/"));
    jobs_.ApplyTag(TagField::Album, album, {jobs_.Count() - 1});
  }

  std::vector<std::string> Run(int parallel = 2) {
    auto checked = PrepareBatch(jobs_, settings_, "", NativePathRules());
    if (!std::holds_alternative<BatchPlan>(checked)) {
      ADD_FAILURE() << std::get<BatchRefusal>(checked).message;
      return {};
    }
    BatchRun run(std::get<BatchPlan>(std::move(checked)), BuildOptionText(settings_),
                 {.parallel = parallel, .keepGoing = ReadKeepGoing(settings_)}, clock_, nullptr);
    QSignalSpy finished(&run, &BatchRun::Finished);
    QSignalSpy measuring(&run, &BatchRun::JobMeasuring);
    run.Start();
    // A run whose every job is settled at its start ends within Start.
    if (finished.empty()) {
      EXPECT_TRUE(finished.wait(120000));
    }
    if (finished.empty()) return {};
    measured_ = measuring.size();
    return RunReportLines(finished.front().at(0).value<std::vector<JobOutcome>>(),
                          finished.front().at(1).value<BatchSummary>());
  }

  std::string Out(const std::string& name) const { return root_ + "out/" + name + ".ogg"; }

  test::CurrentFolderGuard folderGuard_;
  const test::TemporaryFolder dir_;
  const std::string root_ = dir_.Path() + "/";
  std::string oggenc_;
  SettingsStore settings_{root_ + "lumio.ini"};
  FileDataList jobs_;
  MonotonicClock clock_;
  qsizetype measured_ = 0;
};

TEST_F(ReplayGainBatch, TwoAlbumsAndASingleWithACutSourceFailedByVerification) {
  settings_.WriteInteger("Options", "ReplayGain", 2);
  settings_.WriteBool("Options", "VerifyOutputs", true);
  Add("alpha", "a1", kMinus20dBFS, "Alpha");
  Add("alpha", "a2", kMinus20dBFS / 2, "Alpha");
  Add("single", "s", kMinus20dBFS, "");
  Add("beta", "b1", kMinus20dBFS, "Beta");
  Add("beta", "b2", kMinus20dBFS, "Beta", 1.5);
  ASSERT_TRUE(test::WriteFile(Out("beta/b2"), "older output"));

  const std::vector<std::string> report = Run();
  EXPECT_EQ(measured_, 5);

  // Alpha: each track its own gain, both the album's.
  const Fields a1 = ReplayGainOf(Out("alpha/a1"));
  const Fields a2 = ReplayGainOf(Out("alpha/a2"));
  ASSERT_EQ(a1.size(), 4u);
  ASSERT_EQ(a2.size(), 4u);
  EXPECT_NEAR(Decibels(a1.at("REPLAYGAIN_TRACK_GAIN")), 2.0, kToleranceDb);
  EXPECT_NEAR(Decibels(a2.at("REPLAYGAIN_TRACK_GAIN")), 2.0 + 6.02, kToleranceDb);
  EXPECT_NEAR(Decibels(a1.at("REPLAYGAIN_ALBUM_GAIN")), AlbumGainOfTones({-20, -26.02}),
              kToleranceDb);
  EXPECT_EQ(a1.at("REPLAYGAIN_ALBUM_GAIN"), a2.at("REPLAYGAIN_ALBUM_GAIN"));
  EXPECT_EQ(a1.at("REPLAYGAIN_ALBUM_PEAK"), a2.at("REPLAYGAIN_ALBUM_PEAK"));
  EXPECT_EQ(a1.at("REPLAYGAIN_ALBUM_PEAK"), a1.at("REPLAYGAIN_TRACK_PEAK"));
  EXPECT_NEAR(std::stod(a1.at("REPLAYGAIN_ALBUM_PEAK")), kMinus20dBFS, kMinus20dBFS * 0.05);

  // The single and the rest of the broken album: track fields only.
  for (const char* name : {"single/s", "beta/b1"}) {
    SCOPED_TRACE(name);
    const Fields fields = ReplayGainOf(Out(name));
    EXPECT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields.count("REPLAYGAIN_TRACK_GAIN"), 1u);
    EXPECT_EQ(fields.count("REPLAYGAIN_TRACK_PEAK"), 1u);
  }

  // The cut source failed verification; the older output kept its place.
  EXPECT_EQ(test::ReadFile(Out("beta/b2")), "older output");
  const auto line = [&](const std::string& text) {
    return std::find(report.begin(), report.end(), text) != report.end();
  };
  EXPECT_TRUE(
      line("理由 ： 出力の長さが入力と一致しません (出力 0:01.500 / 入力 0:03.000) "
           "入力ファイルが途中で切れています (データ部がヘッダーの示す長さより短い)"));
  const auto b1 = std::find(report.begin(), report.end(), Out("beta/b1"));
  ASSERT_NE(b1, report.end());
  EXPECT_EQ(*(b1 + 3),
            "注意 ： アルバムの一部が失敗したため、アルバムゲインは書き込まれていません");
  EXPECT_EQ(std::count_if(report.begin(), report.end(),
                          [](const std::string& text) { return text.rfind("注意", 0) == 0; }),
            1);
  // No hidden file is left behind.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_ + "out")) {
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
  }
}

TEST_F(ReplayGainBatch, TheAlbumPeakIsTheLoudestTracksThoughAQuieterOneFinishesLast) {
  settings_.WriteInteger("Options", "ReplayGain", 2);
  Add("alpha", "a1", kMinus20dBFS, "Alpha");
  Add("alpha", "a2", kMinus20dBFS / 2, "Alpha");
  Run(1);  // one encoder: the loud track first, the quiet one last
  const Fields a1 = ReplayGainOf(Out("alpha/a1"));
  const Fields a2 = ReplayGainOf(Out("alpha/a2"));
  ASSERT_EQ(a2.count("REPLAYGAIN_ALBUM_PEAK"), 1u);
  EXPECT_EQ(a2.at("REPLAYGAIN_ALBUM_PEAK"), a1.at("REPLAYGAIN_TRACK_PEAK"));
}

TEST_F(ReplayGainBatch, MirrorMeasuresTheUpToDateTracksOfAnAlbumEncodedAgainInPart) {
  settings_.WriteInteger("Options", "ReplayGain", 1);
  Add("alpha", "a1", kMinus20dBFS, "Alpha");
  Add("alpha", "a2", kMinus20dBFS / 2, "Alpha");
  Run();
  ASSERT_EQ(ReplayGainOf(Out("alpha/a1")).size(), 2u);

  // a2 changes; a1's output stays up to date and is not encoded again.
  settings_.WriteInteger("Options", "ReplayGain", 2);
  settings_.WriteInteger("Options", "ExistingOutput", 1);
  const auto now = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(root_ + "alpha/a1.wav", now - std::chrono::hours(2));
  std::filesystem::last_write_time(Out("alpha/a1"), now - std::chrono::hours(1));
  std::filesystem::last_write_time(root_ + "alpha/a2.wav", now);
  const std::vector<std::string> report = Run();
  EXPECT_NE(std::find(report.begin(), report.end(), "[スキップ]"), report.end());

  const Fields a1 = ReplayGainOf(Out("alpha/a1"));
  const Fields a2 = ReplayGainOf(Out("alpha/a2"));
  ASSERT_EQ(a1.size(), 4u);
  ASSERT_EQ(a2.size(), 4u);
  EXPECT_NEAR(Decibels(a1.at("REPLAYGAIN_ALBUM_GAIN")), AlbumGainOfTones({-20, -26.02}),
              kToleranceDb);
  EXPECT_EQ(a1.at("REPLAYGAIN_ALBUM_GAIN"), a2.at("REPLAYGAIN_ALBUM_GAIN"));
}

TEST_F(ReplayGainBatch, AMirrorRunChecksTheAlbumsOfItsUpToDateOutputsAndHealsOnlyWhatChanged) {
  settings_.WriteInteger("Options", "ReplayGain", 2);
  settings_.WriteInteger("Options", "ExistingOutput", 1);
  settings_.WriteBool("Options", "KeepGoing", true);
  const std::vector<std::string> albumOnly{"REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK",
                                           kAlbumTracksField};
  // What happens to the mirror between its two runs; `changed` are the outputs that must
  // get new fields, every other one keeps its bytes and its time.
  const struct {
    const char* what;
    const char* stripped;  // a killed album write: this output kept its track fields alone
    bool protectA2;        // a2 write-protected
    bool removeA3;         // a3's source deleted (its output stays)
    bool newerA2;          // a2's source changed since: its job fails on the protected output
    std::vector<std::string> changed;
    double albumGain;  // of the outputs with album fields after the second run
    const char* note;
  } rows[] = {
      {"nothing changed", nullptr, false, false, false, {}, 0, nullptr},
      {"a killed album write",
       "a2",
       false,
       false,
       false,
       {"a2"},
       AlbumGainOfTones({-20, -20, -26.02}),
       nullptr},
      {"a track removed", nullptr, false, true, false, {"a1", "a2"}, -18 + 20, nullptr},
      {"a track removed, another write-protected and without album fields",
       "a2",
       true,
       true,
       false,
       {"a1"},
       -18 + 20,
       "出力ファイルが書き込み禁止になっています"},
      {"a changed track whose output is write-protected, another without album fields",
       "a1",
       true,
       false,
       true,
       {"a1"},
       AlbumGainOfTones({-20, -20, -26.02}),
       nullptr},  // a2 already holds what the album gives it
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string folder = std::string("mirror") + std::to_string(&row - rows);
    ASSERT_TRUE(CreateFolder(root_ + folder));
    ASSERT_TRUE(CreateFolder(root_ + "out/" + folder));
    jobs_.Clear();
    Add(folder, "a1", kMinus20dBFS, "Alpha");
    Add(folder, "a2", kMinus20dBFS, "Alpha");
    Add(folder, "a3", kMinus20dBFS / 2, "Alpha");
    Run();
    const auto out = [&](const std::string& name) { return Out(folder + "/" + name); };
    std::string error;
    if (row.stripped != nullptr) {
      ASSERT_TRUE(ReplaceCommentFields(out(row.stripped), albumOnly, {}, error)) << error;
    }
    if (row.protectA2) std::filesystem::permissions(out("a2"), std::filesystem::perms::owner_read);
    std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> before;
    for (const char* name : {"a1", "a2", "a3"}) {
      before[name] = {test::ReadFile(out(name)), std::filesystem::last_write_time(out(name))};
    }
    jobs_.Clear();
    Add(folder, "a1", kMinus20dBFS, "Alpha");
    Add(folder, "a2", kMinus20dBFS, "Alpha");
    if (!row.removeA3) Add(folder, "a3", kMinus20dBFS / 2, "Alpha");
    for (const char* name : {"a1", "a2", "a3"}) {
      const bool newer = row.newerA2 && std::string(name) == "a2";
      std::filesystem::last_write_time(root_ + folder + "/" + name + ".wav",
                                       before[name].second + std::chrono::hours(newer ? 1 : -1));
    }

    const std::vector<std::string> report = Run();
    for (const auto& [name, was] : before) {
      SCOPED_TRACE(name);
      const bool changed =
          std::find(row.changed.begin(), row.changed.end(), name) != row.changed.end();
      EXPECT_EQ(test::ReadFile(out(name)) == was.first, !changed);
      EXPECT_EQ(std::filesystem::last_write_time(out(name)) == was.second, !changed);
      if (!changed) continue;
      const Fields fields = ReplayGainOf(out(name));
      ASSERT_EQ(fields.size(), 4u);
      EXPECT_NEAR(Decibels(fields.at("REPLAYGAIN_ALBUM_GAIN")), row.albumGain, kToleranceDb);
    }
    const std::string note =
        row.note == nullptr
            ? std::string()
            : "注意 ： アルバムゲインを書き込めません: " + out("a2") + ": " + row.note;
    EXPECT_EQ(std::count_if(report.begin(), report.end(),
                            [](const std::string& text) { return text.rfind("注意", 0) == 0; }),
              row.note == nullptr ? 0 : 1);
    if (row.note != nullptr) {
      EXPECT_NE(std::find(report.begin(), report.end(), note), report.end());
    }
  }
}

TEST_F(ReplayGainBatch, FieldsCarriedFromTheSourceStayWithoutReplayGainAndAreReplacedWithIt) {
  const std::string raw = root_ + "tone.raw";
  ASSERT_TRUE(test::WriteFile(raw, test::SineWave(3, 1000, kMinus20dBFS).substr(44)));
  const std::string flac = root_ + "single/carried.flac";
  ASSERT_TRUE(
      test::RunTool({"flac", "-s", "-f", "--force-raw-format", "--endian=little", "--sign=signed",
                     "--channels=2", "--bps=16", "--sample-rate=44100",
                     "--tag=REPLAYGAIN_TRACK_GAIN=-9.99 dB", "--tag=REPLAYGAIN_ALBUM_GAIN=-8.88 dB",
                     "--tag=GENRE=Pop", "--tag=ZEBRA=z", "--tag=ALPHA=a", "-o", flac, raw}));
  ASSERT_TRUE(test::AddSource(jobs_, flac, settings_, root_ + "out/single/"));
  const struct {
    int replayGain;
    std::size_t fields;
    bool ownTrackGain;
  } rows[] = {{0, 2, false}, {1, 2, true}, {2, 2, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.replayGain);
    settings_.WriteInteger("Options", "ReplayGain", row.replayGain);
    Run();
    const Fields fields = ReplayGainOf(Out("single/carried"));
    EXPECT_EQ(fields.size(), row.fields);
    // The carried fields keep the source's order when the gain is written.
    std::vector<std::string> names;
    for (const test::OggComment& comment : test::ReadOggComments(Out("single/carried"))) {
      if (comment.name == "ZEBRA" || comment.name == "ALPHA") names.push_back(comment.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ZEBRA", "ALPHA"}));
    if (row.ownTrackGain) {
      // One field each, the measured ones; the carried album gain went with the rest.
      EXPECT_NEAR(Decibels(fields.at("REPLAYGAIN_TRACK_GAIN")), 2.0, kToleranceDb);
      EXPECT_EQ(fields.count("REPLAYGAIN_TRACK_PEAK"), 1u);
    } else {
      EXPECT_EQ(fields.at("REPLAYGAIN_TRACK_GAIN"), "-9.99 dB");
      EXPECT_EQ(fields.at("REPLAYGAIN_ALBUM_GAIN"), "-8.88 dB");
    }
  }
}

TEST_F(ReplayGainBatch, WithoutReplayGainOrVerificationNothingIsDecodedOrWritten) {
  Add("single", "s", kMinus20dBFS, "");
  Run();
  EXPECT_EQ(measured_, 0);
  EXPECT_TRUE(ReplayGainOf(Out("single/s")).empty());
}

}  // namespace
}  // namespace lumio
