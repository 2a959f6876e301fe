// `lumio --batch` as a shell user meets it: the real program, without a display, with
// the real encoder (or the stand-in where a job must fail or wait).
#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/mirror_manifest.h"
#include "encode/finish/opus_decoder.h"
#include "platform/file_system.h"
#include "support/fake_encoder.h"
#include "support/fifo.h"
#include "support/ogg_comments.h"
#include "support/run_tool.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"
#include "ui/single_instance.h"

namespace lumio {
namespace {

namespace fs = std::filesystem;

struct Ended {
  int status = -1;
  std::string out;
  std::string err;
};

// A library of sound files, an output folder and a settings file of its own.
class BatchCommandTest : public ::testing::Test {
 protected:
  BatchCommandTest() {
    fs::create_directories(folder_.PathOf("music/Artist/Album"));
    fs::create_directories(folder_.PathOf("ogg"));
    fs::create_directories(folder_.PathOf("config"));
  }

  std::string Music(const std::string& relative) const {
    return folder_.PathOf("music/" + relative);
  }
  std::string Ogg(const std::string& relative) const { return folder_.PathOf("ogg/" + relative); }

  void AddTone(const std::string& relative, double seconds = 0.5) {
    ASSERT_TRUE(test::WriteToneWave(Music(relative), seconds));
  }

  // Settings whose encoder is the stand-in, for the jobs that must fail or wait.
  void UseFakeEncoder() {
    fs::create_directories(folder_.PathOf("config/lumio"));
    ASSERT_TRUE(
        test::WriteFile(folder_.PathOf("config/lumio/lumio.ini"),
                        "[Options]\nSetEncoderPlace=1\nEncoderPlace=" + test::kFakeEncoder + "\n"));
  }

  QProcess& Start(const QStringList& arguments, const QStringList& extraEnvironment = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QString::fromStdString(folder_.PathOf("config")));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LUMIO_FAKE_RECORD"),
                       QString::fromStdString(folder_.PathOf("runs")));
    for (const QString& entry : extraEnvironment) {
      environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    }
    process_.setProcessEnvironment(environment);
    process_.setWorkingDirectory(QString::fromStdString(folder_.Path()));
    process_.start(QStringLiteral(LUMIO_PROGRAM),
                   QStringList{QStringLiteral("--batch")} + arguments);
    EXPECT_TRUE(process_.waitForStarted());
    return process_;
  }

  Ended Finish() {
    EXPECT_TRUE(process_.waitForFinished(120000));
    return {process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1,
            process_.readAllStandardOutput().toStdString(),
            process_.readAllStandardError().toStdString()};
  }

  // The end of a process asked to end: none when it has not ended within `bound`, far
  // more than it takes (it is then killed).
  std::optional<Ended> EndedWithin(std::chrono::milliseconds bound) {
    if (!process_.waitForFinished(static_cast<int>(bound.count()))) {
      process_.kill();
      process_.waitForFinished();
      return std::nullopt;
    }
    return Ended{process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1,
                 process_.readAllStandardOutput().toStdString(),
                 process_.readAllStandardError().toStdString()};
  }

  Ended Run(const QStringList& arguments, const QStringList& extraEnvironment = {}) {
    Start(arguments, extraEnvironment);
    return Finish();
  }

  // Hidden unfinished outputs left anywhere below the output folder.
  std::vector<std::string> HiddenFiles() const {
    std::vector<std::string> hidden;
    for (const auto& entry : fs::recursive_directory_iterator(folder_.PathOf("ogg"))) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(".lumio-") && name != kMirrorManifestName)
        hidden.push_back(entry.path());
    }
    return hidden;
  }

  static std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++count;
    return count;
  }

  test::TemporaryFolder folder_;
  QProcess process_;
};

// Whether process `pid` is still there and not a zombie waiting to be reaped.
bool ProcessRuns(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  const std::string stat(std::istreambuf_iterator<char>(in), {});
  const std::size_t nameEnd = stat.rfind(')');
  return nameEnd != std::string::npos && nameEnd + 2 < stat.size() && stat[nameEnd + 2] != 'Z';
}

const QStringList kMirror{QStringLiteral("--output"),    QStringLiteral("ogg"),
                          QStringLiteral("--keep-tree"), QStringLiteral("--existing"),
                          QStringLiteral("skip-newer"),  QStringLiteral("music")};

TEST_F(BatchCommandTest, MirrorsAFolderThenSkipsItThenEncodesOnlyWhatChanged) {
  AddTone("Artist/Album/01.wav");
  AddTone("Artist/Album/02.wav");
  AddTone("Artist/10.wav");

  const Ended first = Run(kMirror);
  ASSERT_EQ(first.status, 0) << first.err;
  for (const char* output :
       {"music/Artist/Album/01.ogg", "music/Artist/Album/02.ogg", "music/Artist/10.ogg"}) {
    EXPECT_GT(fs::file_size(Ogg(output)), 0u) << output;
  }
  EXPECT_EQ(Count(first.out, "[終了]\n" + Ogg("music/")), 3u) << first.out;
  // Not on a terminal: one plain line per job that starts and ends, on standard error,
  // counting from one.
  for (const char* counted :
       {"start 1/3: ", "start 2/3: ", "start 3/3: ", "done 1/3: ", "done 2/3: ", "done 3/3: "}) {
    EXPECT_EQ(Count(first.err, counted), 1u) << counted << first.err;
  }
  EXPECT_NE(first.out.find("3個のファイルを処理。\n"), std::string::npos) << first.out;

  const Ended again = Run(kMirror);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(Count(again.out, "[スキップ]"), 3u) << again.out;
  EXPECT_NE(again.out.find("3個のファイルをスキップ。"), std::string::npos);

  fs::last_write_time(
      Music("Artist/Album/02.wav"),
      fs::last_write_time(Ogg("music/Artist/Album/02.ogg")) + std::chrono::seconds(5));
  const Ended touched = Run(kMirror);
  EXPECT_EQ(touched.status, 0) << touched.err;
  EXPECT_EQ(Count(touched.out, "[終了]\n"), 2u) << touched.out;  // the job and the summary
  EXPECT_NE(touched.out.find("[終了]\n" + Ogg("music/Artist/Album/02.ogg")), std::string::npos);
  EXPECT_EQ(Count(touched.out, "[スキップ]"), 2u);
  EXPECT_EQ(Count(touched.err, "start "), 1u) << touched.err;
  EXPECT_NE(touched.err.find("/3: " + Music("Artist/Album/02.wav") + "\n"), std::string::npos);
  EXPECT_NE(touched.err.find("/3: " + Ogg("music/Artist/Album/02.ogg") + "\n"), std::string::npos);
}

TEST_F(BatchCommandTest, AMirrorCopiesOggSourcesAndPrunesOnlyTheUnchangedOutputsOfGoneSources) {
  AddTone("Artist/Album/01.wav");
  AddTone("Artist/Album/02.wav");
  fs::create_directories(Music("Artist/Gone"));
  AddTone("Artist/Gone/04.wav");
  ASSERT_TRUE(test::RunTool(
      {"oggenc", "-Q", "-o", Music("Artist/Album/03.ogg"), Music("Artist/Album/01.wav")}));
  const QStringList copying = kMirror + QStringList{QStringLiteral("--copy-lossy")};
  const Ended first = Run(copying);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(test::ReadFile(Ogg("music/Artist/Album/03.ogg")),
            test::ReadFile(Music("Artist/Album/03.ogg")));
  EXPECT_FALSE(fs::exists(Ogg("music/Artist/Album/03.ogg.ogg")));

  ASSERT_TRUE(test::WriteFile(Ogg("music/Artist/playlist.m3u"), "Album/01.ogg\n"));
  fs::remove(Music("Artist/Gone/04.wav"));
  fs::remove(Music("Artist/Album/02.wav"));
  std::ofstream(Ogg("music/Artist/Album/02.ogg"), std::ios::app) << "edited";
  const QStringList pruning = copying + QStringList{QStringLiteral("--prune")};
  struct Step {
    QStringList extra;
    std::string line;  // the removal the report tells
    bool removed;
  };
  const Step steps[] = {
      {{QStringLiteral("--dry-run")}, "[削除予定] " + Ogg("music/Artist/Gone/04.ogg"), false},
      {{}, "[削除] " + Ogg("music/Artist/Gone/04.ogg"), true},
  };
  for (const Step& step : steps) {
    const Ended pruned = Run(pruning + step.extra);
    EXPECT_EQ(pruned.status, 0) << pruned.err;
    EXPECT_EQ(Count(pruned.out, "[削除"), 1u) << pruned.out;
    EXPECT_NE(pruned.out.find(step.line + "\n"), std::string::npos) << pruned.out;
    EXPECT_EQ(fs::exists(Ogg("music/Artist/Gone")), !step.removed);
    EXPECT_TRUE(fs::exists(Ogg("music/Artist/Album/02.ogg")));
    EXPECT_TRUE(fs::exists(Ogg("music/Artist/playlist.m3u")));
    EXPECT_TRUE(fs::exists(Ogg("music/Artist/Album/03.ogg")));
  }

  const Ended flat = Run({QStringLiteral("--output"), QStringLiteral("ogg"),
                          QStringLiteral("--prune"), QStringLiteral("music")});
  EXPECT_EQ(flat.status, 2) << flat.err;
}

TEST_F(BatchCommandTest, RefusesToOverwriteWithoutBeingToldAndWritesNothing) {
  AddTone("a.wav");
  AddTone("b.wav");
  ASSERT_TRUE(test::WriteFile(Ogg("a.ogg"), "kept"));

  const Ended refused =
      Run({QStringLiteral("--output"), QStringLiteral("ogg"), QStringLiteral("music")});
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("指定の場所に同名のファイルがあります\n" + Ogg("a.ogg") + "\n"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(test::ReadFile(Ogg("a.ogg")), "kept");
  EXPECT_FALSE(fs::exists(Ogg("b.ogg")));
  EXPECT_TRUE(refused.out.empty()) << refused.out;

  const Ended overwritten =
      Run({QStringLiteral("--output"), QStringLiteral("ogg"), QStringLiteral("--existing"),
           QStringLiteral("overwrite"), QStringLiteral("music")});
  EXPECT_EQ(overwritten.status, 0) << overwritten.err;
  EXPECT_NE(test::ReadFile(Ogg("a.ogg")), "kept");
}

TEST_F(BatchCommandTest, TwoFilesWritingOneOutputAreRefusedWhenToldToStopWhateverTheExistingRule) {
  AddTone("Artist/a.wav");
  AddTone("Artist/Album/a.wav");
  for (const char* existing : {"overwrite", "skip-newer"}) {
    const Ended refused = Run({QStringLiteral("--output"), QStringLiteral("ogg"),
                               QStringLiteral("--existing"), QString::fromLatin1(existing),
                               QStringLiteral("--stop-on-failure"), QStringLiteral("music")});
    EXPECT_EQ(refused.status, 3) << existing;
    EXPECT_NE(refused.err.find("指定の場所に同名のファイルがあります\n" + Ogg("a.ogg") + "\n"),
              std::string::npos)
        << refused.err;
    // --existing cannot part two jobs: the hint names what can.
    EXPECT_EQ(refused.err.find("--existing"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("without --stop-on-failure"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(Ogg("a.ogg")));
  }
}

// A library as found: two files of one name, a colon in a name, an album image with its
// CUE sheet. Every run goes to its end, with what it changed in the report.
TEST_F(BatchCommandTest, ClashesColonsAndNamesFromTagsNeverStopTheRun) {
  fs::create_directories(Music("sub"));
  fs::create_directories(Music("cd"));
  AddTone("a.wav");
  AddTone("sub/a.wav");
  AddTone("02 Live: 1999.wav");
  AddTone("cd/image.wav", 1.0);
  ASSERT_TRUE(test::WriteFile(Music("cd/image.cue"),
                              "PERFORMER \"歌手\"\nTITLE \"春\"\nFILE \"image.wav\" WAVE\n"
                              "  TRACK 01 AUDIO\n    TITLE \"一\"\n    INDEX 01 00:00:00\n"
                              "  TRACK 02 AUDIO\n    TITLE \"二: live\"\n    INDEX 01 00:00:40\n"));
  ASSERT_TRUE(test::WriteFile(folder_.PathOf("file"), "no folder"));
  struct Row {
    QStringList arguments;
    int status;
    std::vector<std::string> outputs;  // below the test's folder
    std::vector<std::string> told;     // in the report, or on standard error
  };
  const Row rows[] = {
      {{"--output", "new/ogg", "music"},
       0,
       {"new/ogg/a.ogg", "new/ogg/a (2).ogg", "new/ogg/02 Live_ 1999.ogg", "new/ogg/01 一.ogg",
        "new/ogg/02 二_ live.ogg"},
       {"lumio: --output: made the folder " + folder_.PathOf("new/ogg") + "\n",
        "注意 ： ほかのファイルと出力ファイル名が重なるため番号を付けました: a.ogg → a (2).ogg\n",
        "注意 ： ファイル名に使えない文字を _ に置き換えました: 02 Live: 1999.ogg → 02 Live_ "
        "1999.ogg\n"}},
      {{"--output", "ogg", "--names", "%a/%b/%n %t", "music"},
       0,
       {"ogg/歌手/春/01 一.ogg", "ogg/歌手/春/02 二_ live.ogg", "ogg/_/_/a.ogg",
        "ogg/_/_/a (2).ogg", "ogg/_/_/02 Live_ 1999.ogg"},
       {"[終了]\n" + Ogg("歌手/春/01 一.ogg")}},
      {{"--output", "ogg", "--keep-tree", "--names", "%a/%t", "music"},
       2,
       {},
       {"lumio: --names: '%a/%t' with / cannot be given with --keep-tree\n"}},
      {{"--output", "file", "music"}, 2, {}, {"lumio: --output: 'file' is no folder\n"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments.join(' ').toStdString());
    const Ended ended = Run(row.arguments);
    EXPECT_EQ(ended.status, row.status) << ended.err;
    for (const std::string& output : row.outputs) {
      EXPECT_GT(fs::file_size(folder_.PathOf(output)), 0u) << output << ended.out;
    }
    for (const std::string& told : row.told) {
      EXPECT_NE((ended.out + ended.err).find(told), std::string::npos)
          << told << ended.out << ended.err;
    }
  }
}

// A kept library run after run with album gain: a file that is no sound, a colon and the
// clash it makes, a CP932 CUE image (one album), an Ogg source that is copied and a
// source that goes. Each row changes the tree, runs, and checks that only the outputs it
// names changed: every other output keeps its bytes and its modification time.
TEST_F(BatchCommandTest, AKeptLibraryHealsItsAlbumAndLeavesEveryUpToDateOutputAlone) {
  fs::create_directories(Music("cd"));
  fs::create_directories(Music("gone"));
  AddTone("cd/image.wav", 1.0);
  ASSERT_TRUE(test::WriteFile(Music("cd/image.cue"),
                              "PERFORMER \"\x89\xcc\x8e\xe8\"\nTITLE \"\x8ft\"\n"
                              "FILE \"image.wav\" WAVE\n"
                              "  TRACK 01 AUDIO\n    TITLE \"\x88\xea\"\n    INDEX 01 00:00:00\n"
                              "  TRACK 02 AUDIO\n    TITLE \"\x93\xf1\"\n    INDEX 01 00:00:40\n"));
  AddTone("x:1.wav");
  AddTone("x_1.wav");
  AddTone("gone/g.wav");
  ASSERT_TRUE(test::WriteFile(Music("broken.flac"), "this is no sound file\n"));
  ASSERT_TRUE(test::RunTool({"oggenc", "-Q", "-o", Music("song.ogg"), Music("x_1.wav")}));
  const std::vector<std::string> album{Ogg("music/cd/01 一.ogg"), Ogg("music/cd/02 二.ogg")};
  const std::vector<std::string> albumFields{"REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK",
                                             "LUMIO_ALBUM_TRACKS"};
  const auto stripAlbumFields = [&] {
    TagLib::Ogg::Vorbis::File file(album[1].c_str(), false);
    for (const std::string& field : albumFields) file.tag()->removeFields(field);
    ASSERT_TRUE(file.save());
  };
  const auto removeSource = [&] {
    fs::remove(Music("gone/g.wav"));
    ASSERT_TRUE(test::WriteFile(Ogg("music/gone/mine.m3u"), "g.ogg\n"));
  };
  const std::string broken = "[中止]\n" + Ogg("music/broken.ogg");
  struct Row {
    std::string name;
    std::function<void()> change;
    QStringList options;
    int status;
    std::vector<std::string> told;     // each found in the report
    std::vector<std::string> changed;  // outputs written, rewritten or removed
  };
  const Row rows[] = {
      {"first run",
       {},
       {},
       1,
       {broken, "[終了]\n" + album[0], "[終了]\n" + album[1], "[終了]\n" + Ogg("music/x_1.ogg"),
        "[終了]\n" + Ogg("music/x_1 (2).ogg")},
       {}},
      {"stop on failure", {}, {QStringLiteral("--stop-on-failure")}, 1, {broken}, {}},
      {"album fields stripped", stripAlbumFields, {}, 1, {broken}, {album[1]}},
      {"source removed",
       removeSource,
       {QStringLiteral("--prune")},
       1,
       {"[削除] " + Ogg("music/gone/g.ogg")},
       {Ogg("music/gone/g.ogg")}},
      {"nothing changed", {}, {QStringLiteral("--prune")}, 1, {broken}, {}},
      // Only the CUE tracks' names change with the pattern: the album is written again
      // under its new names, and the outputs under the old ones stay.
      {"names from titles",
       {},
       {QStringLiteral("--names"), QStringLiteral("%t")},
       1,
       {"[終了]\n" + Ogg("music/cd/一.ogg"), "[終了]\n" + Ogg("music/cd/二.ogg")},
       {Ogg("music/cd/一.ogg"), Ogg("music/cd/二.ogg")}},
  };
  std::map<std::string, std::pair<std::string, fs::file_time_type>> before;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.change) row.change();
    before.clear();
    for (const auto& entry : fs::recursive_directory_iterator(folder_.PathOf("ogg"))) {
      if (entry.is_regular_file() && entry.path().filename() != kMirrorManifestName) {
        before[entry.path()] = {test::ReadFile(entry.path()), entry.last_write_time()};
      }
    }
    const Ended ended =
        Run(QStringList{QStringLiteral("--output"), QStringLiteral("ogg"),
                        QStringLiteral("--keep-tree"), QStringLiteral("--existing"),
                        QStringLiteral("skip-newer"), QStringLiteral("--replaygain"),
                        QStringLiteral("album"), QStringLiteral("--copy-lossy")} +
            row.options + QStringList{QStringLiteral("music")});
    EXPECT_EQ(ended.status, row.status) << ended.err;
    for (const std::string& told : row.told) {
      EXPECT_NE(ended.out.find(told), std::string::npos) << told << "\n" << ended.out;
    }
    for (const auto& [path, was] : before) {
      if (std::find(row.changed.begin(), row.changed.end(), path) != row.changed.end()) continue;
      ASSERT_TRUE(fs::exists(path)) << path;
      EXPECT_EQ(test::ReadFile(path), was.first) << path;
      EXPECT_EQ(fs::last_write_time(path), was.second) << path;
    }
    for (const std::string& changed : row.changed) {
      EXPECT_NE(before.count(changed) == 0 ? std::string() : before[changed].first,
                fs::exists(changed) ? test::ReadFile(changed) : std::string())
          << changed;
    }
    EXPECT_EQ(test::ReadFile(Ogg("music/song.ogg")), test::ReadFile(Music("song.ogg")));
    for (const std::string& track : album) {
      const std::vector<test::OggComment> comments = test::ReadOggComments(track);
      for (const std::string& field : albumFields) {
        EXPECT_EQ(
            std::count_if(comments.begin(), comments.end(),
                          [&](const test::OggComment& comment) { return comment.name == field; }),
            1)
            << track << " " << field;
      }
    }
  }
}

TEST_F(BatchCommandTest, AFailingJobEndsWithStatusOneAndItsReason) {
  AddTone("Artist/Album/01.wav");
  // A file where the kept subfolder must go: the job cannot make its folder.
  fs::create_directories(Ogg("music"));
  ASSERT_TRUE(test::WriteFile(Ogg("music/Artist"), "in the way"));

  const Ended failed = Run({QStringLiteral("--output"), QStringLiteral("ogg"),
                            QStringLiteral("--keep-tree"), QStringLiteral("music")});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.out.find("[中止]\n" + Ogg("music/Artist/Album/01.ogg")), std::string::npos)
      << failed.out;
  EXPECT_NE(failed.out.find("理由 ： 出力先フォルダを作成できません"), std::string::npos);
  EXPECT_NE(failed.err.find("出力先フォルダを作成できません"), std::string::npos) << failed.err;
}

// A tree with a file that is no sound at all, a source the encoder crashes on and, in
// some rows, a write-protected output: by default every other file is encoded.
TEST_F(BatchCommandTest, AFailedFileStopsTheBatchOnlyWhenToldTo) {
  for (const char* name : {"a.wav", "c.wav", "d.wav", "e.wav"}) AddTone(name);
  ASSERT_TRUE(test::WriteFile(Music("broken.flac"), "this is no sound file\n"));
  ASSERT_TRUE(test::WriteFile(folder_.PathOf("real-encoder.ini"), ""));
  UseFakeEncoder();
  const std::string crash = "エンコーダが異常終了しました (シグナル 11)";
  const std::string writeProtected = "出力ファイルが書き込み禁止になっています";
  struct Row {
    QStringList options;
    bool protectE;  // e.ogg exists and is write-protected
    int status;
    std::vector<std::string> out;     // each found in the report
    std::vector<std::string> notOut;  // none of them
    std::string err;
    std::vector<int> jsonCounts = {};  // done, failed, not_started, when --json is given
  };
  const Row rows[] = {
      {{},
       true,
       1,
       {"[終了]\n" + Ogg("a.ogg"), "[中止]\n" + Ogg("broken.ogg"), "[中止]\n" + Ogg("c.ogg"),
        "理由 ： " + crash, "[終了]\n" + Ogg("d.ogg"),
        "理由 ： " + writeProtected + ": " + Ogg("e.ogg"),
        "2個のファイルを処理。\n3個のファイルが失敗。\n"},
       {"[未処理]"},
       crash},
      {{QStringLiteral("--stop-on-failure")},
       false,
       1,
       {"[中止]\n" + Ogg("broken.ogg"),
        "\n[未処理] " + Ogg("c.ogg") + "\n[未処理] " + Ogg("d.ogg") + "\n[未処理] " + Ogg("e.ogg") +
            "\n\n----------\n",
        "3個のファイルが未処理。"},
       {"[終了]\n" + Ogg("d.ogg")},
       "broken.ogg"},
      {{QStringLiteral("--stop-on-failure")}, true, 3, {}, {"[終了]"}, writeProtected},
      {{QStringLiteral("--json")}, true, 1, {}, {}, crash, {2, 3, 0}},
      {{QStringLiteral("--json"), QStringLiteral("--stop-on-failure")},
       false,
       1,
       {"\"not-started\""},
       {},
       "broken.ogg",
       {1, 1, 3}},
      {{QStringLiteral("nothing-here")},
       false,
       1,
       {"[終了]\n" + Ogg("d.ogg")},
       {},
       "lumio: 'nothing-here' does not exist\n"},
      // The real encoder refuses the file that is no sound, and encodes the others.
      {{QStringLiteral("--settings"), QStringLiteral("real-encoder.ini")},
       false,
       1,
       {"理由 ： ERROR: Input file \"" + Music("broken.flac") + "\" is not a supported format",
        "[終了]\n" + Ogg("e.ogg"), "4個のファイルを処理。\n1個のファイルが失敗。\n"},
       {"[未処理]"},
       "broken.ogg"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.options.join(' ').toStdString() + (row.protectE ? " protected" : ""));
    fs::remove_all(folder_.PathOf("ogg"));
    fs::create_directories(folder_.PathOf("ogg"));
    if (row.protectE) {
      ASSERT_TRUE(test::WriteFile(Ogg("e.ogg"), "kept"));
      fs::permissions(Ogg("e.ogg"), fs::perms::owner_read);
    }
    const Ended ended =
        Run(QStringList{QStringLiteral("--output"), QStringLiteral("ogg"),
                        QStringLiteral("--existing"), QStringLiteral("overwrite")} +
                row.options + QStringList{QStringLiteral("music")},
            {QStringLiteral("LUMIO_FAKE_SIGNAL=11"), QStringLiteral("LUMIO_FAKE_CRASH_INPUT=c.wav"),
             QStringLiteral("LUMIO_FAKE_FAIL_INPUT=broken.flac")});
    EXPECT_EQ(ended.status, row.status) << ended.err;
    for (const std::string& part : row.out) {
      EXPECT_NE(ended.out.find(part), std::string::npos) << part << "\n" << ended.out;
    }
    for (const std::string& part : row.notOut) {
      EXPECT_EQ(ended.out.find(part), std::string::npos) << part << "\n" << ended.out;
    }
    EXPECT_NE(ended.err.find(row.err), std::string::npos) << ended.err;
    if (row.protectE) {
      EXPECT_EQ(test::ReadFile(Ogg("e.ogg")), "kept");
    }
    if (row.jsonCounts.empty()) continue;
    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(ended.out))[QStringLiteral("summary")]
            .toObject();
    EXPECT_EQ(summary[QStringLiteral("done")].toInt(), row.jsonCounts[0]);
    EXPECT_EQ(summary[QStringLiteral("failed")].toInt(), row.jsonCounts[1]);
    EXPECT_EQ(summary[QStringLiteral("not_started")].toInt(), row.jsonCounts[2]);
  }
  // With nothing left to encode, the batch is refused as before, the argument named.
  const Ended nothing =
      Run({QStringLiteral("--output"), QStringLiteral("ogg"), QStringLiteral("nothing-here")});
  EXPECT_EQ(nothing.status, 3);
  EXPECT_NE(nothing.err.find("lumio: 'nothing-here' does not exist\n"), std::string::npos)
      << nothing.err;
}

TEST_F(BatchCommandTest, AFileThatCouldNotBeAddedOrIsCutShortIsNamedAndTheRestIsEncoded) {
  AddTone("a.wav");
  fs::create_symlink(Music("gone.wav"), Music("b.wav"));  // nothing to read behind it
  std::ofstream(Music("cut.wav"), std::ios::binary)
      << test::HeaderBlock({}) + test::Chunk("data", 176400, 1000);
  struct Row {
    const char* beside;
    int status;
    std::string note;  // on standard error
  };
  const Row rows[] = {
      {"b.wav", 1, "次のファイルを追加できませんでした（1 件）\n" + Music("b.wav")},
      {"cut.wav", 0,
       "次のファイルは途中で切れています (データ部がヘッダーの示す長さより短い)（1 件）\n" +
           Music("cut.wav")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.beside);
    const Ended ended =
        Run({QStringLiteral("--output"), QStringLiteral("ogg"), QStringLiteral("--existing"),
             QStringLiteral("overwrite"), QString::fromStdString(Music("a.wav")),
             QString::fromStdString(Music(row.beside))});
    // Scripts rely on the status: a file left out is a failure; one cut short is encoded
    // as far as it goes, with the note.
    EXPECT_EQ(ended.status, row.status) << ended.err;
    EXPECT_GT(fs::file_size(Ogg("a.ogg")), 0u);
    EXPECT_NE(ended.err.find(row.note), std::string::npos) << ended.err;
  }
}

TEST_F(BatchCommandTest, JsonTellsEachJobsOutcomeAndTheSummary) {
  AddTone("a.wav");
  AddTone("b.wav");
  UseFakeEncoder();
  ASSERT_TRUE(test::WriteFile(Ogg("c.ogg"), "up to date"));
  ASSERT_TRUE(test::WriteToneWave(Music("c.wav"), 0.5));
  fs::last_write_time(Ogg("c.ogg"), fs::last_write_time(Music("c.wav")) + std::chrono::seconds(5));

  const Ended ended =
      Run({QStringLiteral("--output"), QStringLiteral("ogg"), QStringLiteral("--json"),
           QStringLiteral("--existing"), QStringLiteral("skip-newer"), QStringLiteral("--report"),
           QStringLiteral("report.json"), QStringLiteral("music")},
          {QStringLiteral("LUMIO_FAKE_FAIL_INPUT=b.wav")});
  EXPECT_EQ(ended.status, 1) << ended.err;
  EXPECT_TRUE(ended.out.empty());
  QJsonParseError error;
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray::fromStdString(folder_.Read("report.json")), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << folder_.Read("report.json");
  const QJsonArray jobs = document.object()[QStringLiteral("jobs")].toArray();
  // The skipped c is passed as soon as b starts, before b fails.
  ASSERT_EQ(jobs.size(), 3);
  struct Expected {
    const char* input;
    const char* output;
    const char* status;
  };
  const Expected rows[] = {
      {"a.wav", "a.ogg", "done"}, {"b.wav", "b.ogg", "failed"}, {"c.wav", "c.ogg", "skipped"}};
  for (int i = 0; i < 3; ++i) {
    const QJsonObject job = jobs[i].toObject();
    EXPECT_EQ(job[QStringLiteral("input")].toString().toStdString(), Music(rows[i].input));
    EXPECT_EQ(job[QStringLiteral("output")].toString().toStdString(), Ogg(rows[i].output));
    EXPECT_EQ(job[QStringLiteral("status")].toString().toStdString(), rows[i].status);
    EXPECT_EQ(job[QStringLiteral("play_ms")].toInteger(), 500);
  }
  const QJsonObject summary = document.object()[QStringLiteral("summary")].toObject();
  EXPECT_EQ(summary[QStringLiteral("done")].toInt(), 1);
  EXPECT_EQ(summary[QStringLiteral("failed")].toInt(), 1);
  EXPECT_EQ(summary[QStringLiteral("skipped")].toInt(), 1);
  EXPECT_FALSE(summary[QStringLiteral("completed")].toBool());

  // All reached this time: the skipped one is told as such.
  const Ended skipped = Run({QStringLiteral("--output"), QStringLiteral("ogg"),
                             QStringLiteral("--json"), QStringLiteral("--existing"),
                             QStringLiteral("skip-newer"), QStringLiteral("music/c.wav")});
  EXPECT_EQ(skipped.status, 0) << skipped.err;
  const QJsonObject only =
      QJsonDocument::fromJson(QByteArray::fromStdString(skipped.out))[QStringLiteral("jobs")][0]
          .toObject();
  EXPECT_EQ(only[QStringLiteral("status")].toString(), QStringLiteral("skipped"));
  // The options held for those runs only.
  EXPECT_EQ(folder_.Read("config/lumio/lumio.ini"),
            "[Options]\nSetEncoderPlace=1\nEncoderPlace=" + test::kFakeEncoder + "\n");
}

TEST_F(BatchCommandTest, AnInterruptStopsTheEncodersRemovesTheirFilesAndStillReports) {
  AddTone("a.wav");
  AddTone("b.wav");
  AddTone("c.wav");
  UseFakeEncoder();
  struct Row {
    int signal;
    bool json;
  };
  for (const Row row : {Row{SIGINT, false}, Row{SIGTERM, true}}) {
    const std::size_t runsBefore = test::ReadFakeRuns(folder_.PathOf("runs")).size();
    QStringList arguments{QStringLiteral("--output"), QStringLiteral("ogg"),
                          QStringLiteral("--jobs"), QStringLiteral("2"), QStringLiteral("music")};
    if (row.json) arguments.prepend(QStringLiteral("--json"));
    QProcess& process = Start(arguments, {QStringLiteral("LUMIO_FAKE_WAIT=1")});
    // Both encoders have started (each wrote its record) before the interrupt.
    process.setReadChannel(QProcess::StandardError);
    std::string err;
    while (Count(err, "start ") < 2 && process.waitForReadyRead(20000)) {
      err += process.readAllStandardError().toStdString();
    }
    ASSERT_EQ(Count(err, "start "), 2u) << err;
    while (test::ReadFakeRuns(folder_.PathOf("runs")).size() < runsBefore + 2) QThread::msleep(10);
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), row.signal), 0);
    const Ended ended = Finish();
    EXPECT_EQ(ended.status, 130) << err << ended.err;
    EXPECT_TRUE(HiddenFiles().empty());
    if (row.json) {
      const QJsonObject report =
          QJsonDocument::fromJson(QByteArray::fromStdString(ended.out)).object();
      // The third job, never started, is listed too.
      const QJsonArray jobs = report[QStringLiteral("jobs")].toArray();
      ASSERT_EQ(jobs.size(), 3) << ended.out;
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(jobs[i][QStringLiteral("status")].toString(),
                  i < 2 ? QStringLiteral("cancelled") : QStringLiteral("not-started"));
      }
      EXPECT_TRUE(report[QStringLiteral("summary")][QStringLiteral("cancelled")].toBool());
    } else {
      EXPECT_NE(ended.out.find("[中止]\n0個のファイルを処理。"), std::string::npos) << ended.out;
    }
    // No encoder is left: each stand-in's command line names this test's folder.
    for (const auto& entry : fs::directory_iterator("/proc")) {
      std::ifstream in(entry.path() / "cmdline", std::ios::binary);
      const std::string commandLine(std::istreambuf_iterator<char>(in), {});
      EXPECT_EQ(commandLine.find(folder_.PathOf("music/")), std::string::npos) << entry.path();
    }
  }
}

TEST_F(BatchCommandTest, AQuitSignalWhileFilesAreAddedEndsWithTheReportAndNoProbeLeft) {
  // The pipe is refused without being opened; the other file goes to the probe, which,
  // like one reading a stalled share, never ends by itself. It tells its pid first.
  ASSERT_TRUE(test::MakeFifo(Music("pipe.mp3")));
  ASSERT_TRUE(test::WriteFile(Music("noise.mp3"), std::string(5000, '\x55')));
  fs::create_directories(folder_.PathOf("bin"));
  ASSERT_TRUE(test::WriteFile(folder_.PathOf("bin/ffprobe"),
                              "#!/bin/sh\necho $$ > \"$PROBE_PID.part\"\n"
                              "mv \"$PROBE_PID.part\" \"$PROBE_PID\"\nexec sleep 60\n"));
  fs::permissions(folder_.PathOf("bin/ffprobe"), fs::perms::owner_all);
  UseFakeEncoder();
  struct Row {
    int signal;
    bool json;
  };
  for (const Row row : {Row{SIGTERM, false}, Row{SIGHUP, true}}) {
    SCOPED_TRACE(row.signal);
    const std::string pidFile = folder_.PathOf("probe-" + std::to_string(row.signal));
    QStringList arguments{QStringLiteral("--output"), QStringLiteral("ogg"),
                          QStringLiteral("music")};
    if (row.json) arguments.prepend(QStringLiteral("--json"));
    QProcess& process =
        Start(arguments,
              {QString::fromStdString("PATH=" + folder_.PathOf("bin") + ":" + std::getenv("PATH")),
               QString::fromStdString("PROBE_PID=" + pidFile)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(pidFile); }, 20000));
    const pid_t probe = std::stoi(test::ReadFile(pidFile));
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), row.signal), 0);
    // Well before the probe's own time limit.
    const std::optional<Ended> endedInTime = EndedWithin(std::chrono::seconds(8));
    ASSERT_TRUE(endedInTime);
    const Ended& ended = *endedInTime;
    EXPECT_EQ(ended.status, 130) << ended.err;
    if (row.json) {
      const QJsonObject report =
          QJsonDocument::fromJson(QByteArray::fromStdString(ended.out)).object();
      EXPECT_TRUE(report[QStringLiteral("jobs")].toArray().isEmpty()) << ended.out;
      EXPECT_TRUE(report[QStringLiteral("summary")][QStringLiteral("cancelled")].toBool());
    } else {
      EXPECT_NE(ended.out.find("0個のファイルを処理。"), std::string::npos) << ended.out;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ProcessRuns(probe); }, 20000));
    ::kill(probe, SIGKILL);  // should it have been left
  }
}

TEST_F(BatchCommandTest, ACoverSwappedForAPipeBeforeFinishingIsLeftOutAndNothingWaits) {
  AddTone("a.wav");
  // A real Ogg file for the stand-in to write as its output, made by the real encoder.
  ASSERT_EQ(
      Run({QStringLiteral("--output"), QStringLiteral("ogg"), QStringLiteral("music")}).status, 0);
  fs::rename(Ogg("a.ogg"), folder_.PathOf("ready.ogg"));
  // The folder's cover is a picture when the file is added, and a pipe by the time the
  // output's tags are written: the pipe is never opened for a blocking read.
  ASSERT_TRUE(test::WriteFile(Music("cover.jpg"), "\xFF\xD8\xFF\xE0 a small picture"));
  UseFakeEncoder();
  Start({QStringLiteral("--output"), QStringLiteral("ogg"), QStringLiteral("music")},
        {QString::fromStdString("LUMIO_FAKE_OUTPUT_FROM=" + folder_.PathOf("ready.ogg")),
         QString::fromStdString("LUMIO_FAKE_FIFO_AT=" + Music("cover.jpg"))});
  const std::optional<Ended> ended = EndedWithin(std::chrono::seconds(20));
  ASSERT_TRUE(ended);
  EXPECT_TRUE(fs::is_fifo(Music("cover.jpg")));
  EXPECT_EQ(ended->status, 0) << ended->err;
  EXPECT_NE(ended->out.find("書き込まれない画像: "), std::string::npos) << ended->out;
  EXPECT_TRUE(HiddenFiles().empty());
  EXPECT_TRUE(fs::exists(Ogg("a.ogg")));
}

TEST_F(BatchCommandTest, NeverHandsItsPathsToARunningWindow) {
  AddTone("a.wav");
  // This test stands in for the window: it owns the settings file's instance.
  InstanceStart window =
      TakeInstanceOrHandOver(InstancePlaceFor(folder_.PathOf("config/lumio/lumio.ini")), {});
  ASSERT_EQ(window.outcome, InstanceStartOutcome::Owner);
  QSignalSpy received(window.server.get(), &InstanceServer::PathsReceived);
  QSignalSpy finished(&process_, &QProcess::finished);
  Start({QStringLiteral("--output"), QStringLiteral("ogg"), QStringLiteral("music")});
  ASSERT_TRUE(finished.wait(60000));
  EXPECT_EQ(process_.exitCode(), 0) << process_.readAllStandardError().toStdString();
  EXPECT_TRUE(fs::exists(Ogg("a.ogg")));
  EXPECT_EQ(received.count(), 0);
}

// Ogg Opus through the real opusenc and, for the MP3 and the CUE track, the real ffmpeg:
// each output read back with TagLib (fields in order, picture bytes) and libopusfile
// (its length after the pre-skip), with its R128 gain measured as the definition has it.
TEST_F(BatchCommandTest, OpusOutputsCarryTheirTagsPicturesLengthAndLoudness) {
  for (const char* tool : {"opusenc", "ffmpeg", "flac", "metaflac"}) {
    if (FindOnSearchPath(tool).empty()) GTEST_SKIP() << tool << " is needed";
  }
  for (const char* folder : {"flac", "mp3", "cue", "tone"}) fs::create_directories(Music(folder));
  AddTone("tone.wav", 2);
  ASSERT_TRUE(test::RunTool(
      {"flac", "-s", "-f", "--tag=TITLE=題", "--tag=ARTIST=一", "--tag=ARTIST=二", "--tag=ALBUM=盤",
       "--tag=REPLAYGAIN_TRACK_GAIN=-3.00 dB", "-o", Music("flac/a.flac"), Music("tone.wav")}));
  const std::string front(3000, 'f'), back(5000, 'b');
  ASSERT_TRUE(test::WriteFile(folder_.PathOf("front.bin"), front));
  ASSERT_TRUE(test::WriteFile(folder_.PathOf("back.bin"), back));
  ASSERT_TRUE(test::RunTool(
      {"metaflac", "--import-picture-from=3|image/jpeg|表|1x1x24|" + folder_.PathOf("front.bin"),
       "--import-picture-from=4|image/jpeg|裏|1x1x24|" + folder_.PathOf("back.bin"),
       Music("flac/a.flac")}));
  ASSERT_TRUE(test::RunTool({"ffmpeg", "-v", "error", "-i", Music("tone.wav"), "-b:a", "192k",
                             "-fflags", "+bitexact", "-metadata", "title=三", "-metadata",
                             "REPLAYGAIN_TRACK_GAIN=-2.00 dB", Music("mp3/b.mp3")}));
  fs::rename(Music("tone.wav"), Music("cue/disc.wav"));
  ASSERT_TRUE(test::WriteFile(Music("cue/disc.cue"),
                              "FILE \"disc.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"一\"\n"
                              "    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    TITLE \"二\"\n"
                              "    INDEX 01 00:01:00\n"));
  // A stereo 1 kHz sine at -20 dBFS is -20 LUFS.
  ASSERT_TRUE(test::WriteFile(Music("tone/c.wav"), test::SineWave(3, 1000, 0.1)));

  const Ended ended = Run({"--format", "opus", "--opus-bitrate", "96", "--replaygain", "track",
                           "--verify", "--output", "ogg", "--keep-tree", "music"});
  ASSERT_EQ(ended.status, 0) << ended.out << ended.err;
  EXPECT_EQ(Count(ended.out, "REPLAYGAIN_* タグは Ogg Opus には書き込みません"), 1u) << ended.out;

  struct Row {
    const char* output;
    std::vector<std::string> fields;  // in order, upper-cased, but the encoder's and gains
    std::vector<std::string> pictures;
    double seconds;
    double tolerance;
    std::optional<int> gain;  // R128_TRACK_GAIN, for a tone of known loudness
  };
  const Row rows[] = {
      {"music/flac/a.opus",
       {"TITLE=題", "ARTIST=一", "ARTIST=二", "ALBUM=盤"},
       {front, back},
       2,
       0.01,
       std::nullopt},
      {"music/mp3/b.opus", {"TITLE=三"}, {}, 2, 0.06, std::nullopt},
      {"music/cue/02 二.opus", {"TITLE=二", "TRACKNUMBER=02"}, {}, 1, 0.01, std::nullopt},
      {"music/tone/c.opus", {}, {}, 3, 0.01, -768},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.output);
    const std::string path = Ogg(row.output);
    std::vector<std::string> fields;
    std::optional<int> gain;
    for (const test::OggComment& comment : test::ReadOggComments(path)) {
      const std::string name = test::UpperCase(comment.name);
      EXPECT_FALSE(name.starts_with("REPLAYGAIN_")) << name;
      if (name == "R128_TRACK_GAIN") gain = std::stoi(comment.value);
      if (name.starts_with("ENCODER") || name.starts_with("R128_") ||
          name == "METADATA_BLOCK_PICTURE") {
        continue;
      }
      fields.push_back(name + "=" + comment.value);
    }
    EXPECT_EQ(fields, row.fields);
    ASSERT_TRUE(gain);
    if (row.gain) {
      EXPECT_NEAR(*gain, *row.gain, 26);
    }

    TagLib::Ogg::Opus::File tagged(path.c_str());
    std::vector<std::string> pictures;
    for (const TagLib::FLAC::Picture* picture : tagged.tag()->pictureList()) {
      pictures.emplace_back(picture->data().data(), picture->data().size());
    }
    EXPECT_EQ(pictures, row.pictures);

    const DecodedStream decoded = DecodeOpusFile(
        path, [](int, std::uint32_t) {}, [](const float*, std::size_t) {});
    ASSERT_TRUE(decoded.decoded) << decoded.error;
    EXPECT_NEAR(static_cast<double>(decoded.frames) / decoded.sampleRate, row.seconds,
                row.tolerance);
  }
}

}  // namespace
}  // namespace lumio
