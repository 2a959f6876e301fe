// FLAC and AIFF sources from the adding of the file to the encoder's output: the tags
// read from each source reach the Ogg Vorbis file exactly once.
#include <gtest/gtest.h>

#include <QProcess>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "platform/file_system.h"
#include "support/add_sources.h"
#include "support/ogg_comments.h"
#include "support/run_tool.h"
#include "support/sound_bytes.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

using lumio::test::RunTool;

// Every comment as "NAME=value", names upper-cased, with how often each appears.
std::map<std::string, int> CommentLines(const std::string& path) {
  std::map<std::string, int> lines;
  for (const test::OggComment& comment : test::ReadOggComments(path)) {
    ++lines[test::UpperCase(comment.name) + "=" + comment.value];
  }
  return lines;
}

// Encodes job `index` of `jobs` with the real oggenc, from the job's argument vector,
// and returns the output's path.
std::string Encode(const FileDataList& jobs, std::size_t index, const std::string& oggenc) {
  const FileData& job = jobs.Record(index);
  const std::string output = job.OutputDir + job.OutputFileName;
  EXPECT_TRUE(RunTool(BuildEncoderArguments(oggenc, " -q 1.0", job.Title, job.Artist, job.Album,
                                            job.Date, job.TrackNumber, job.Comment, output,
                                            jobs.InputPath(index), CodePage::Utf8)));
  return output;
}

TEST(SourcesEndToEnd, FlacAndAiffTagsReachTheOutputExactlyOnce) {
  const std::string oggenc = FindOnSearchPath("oggenc");
  ASSERT_FALSE(oggenc.empty()) << "oggenc is not installed";
  const test::TemporaryFolder dir;
  const std::string root = dir.Path() + "/";
  SettingsStore settings(root + "lumio.ini");
  settings.WriteBool("Options", "SameOutput", true);

  std::ofstream(root + "silence.raw", std::ios::binary) << std::string(88200, '\0');
  ASSERT_TRUE(RunTool({"flac", "-s", "-f", "--force-raw-format", "--endian=little", "--sign=signed",
                       "--channels=2", "--bps=16", "--sample-rate=44100", "--tag=TITLE=夜の歌",
                       "--tag=ARTIST=歌手", "--tag=ALBUM=アルバム", "--tag=DATE=2024",
                       "--tag=TRACKNUMBER=3", "--tag=COMMENT=一行目", "--tag=GENRE=Folk", "-o",
                       root + "01 夜.flac", root + "silence.raw"}));
  const std::string aiff = root + "02.aiff";
  ASSERT_TRUE(RunTool({"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", aiff, "trim", "0", "1"}));
  ASSERT_TRUE(test::WriteFile(
      aiff, test::WithAiffChunks(test::ReadFile(aiff), test::AiffChunk("NAME", "Second") +
                                                           test::AiffChunk("AUTH", "Duo"))));

  FileDataList jobs;
  ASSERT_TRUE(test::AddSource(jobs, root + "01 夜.flac", settings, root));
  ASSERT_TRUE(test::AddSource(jobs, aiff, settings, root));
  EXPECT_EQ(jobs.Record(0).Audio.InfoText,
            "データ部 86 KB  16 bit  44100 Hz  ステレオ  再生時間 0:00");
  EXPECT_EQ(jobs.Record(1).Audio.InfoText,
            "データ部 172 KB  16 bit  44100 Hz  ステレオ  再生時間 0:01");

  std::map<std::string, int> flac = CommentLines(Encode(jobs, 0, oggenc));
  for (const char* line : {"TITLE=夜の歌", "ARTIST=歌手", "ALBUM=アルバム", "DATE=2024",
                           "TRACKNUMBER=3", "COMMENT=一行目"}) {
    EXPECT_EQ(flac[line], 1) << line;
  }
  // The source's other comments are not copied: Lumio's tags are the only ones.
  EXPECT_EQ(flac.count("GENRE=Folk"), 0u);
  for (const auto& [line, count] : flac) EXPECT_EQ(count, 1) << line;

  std::map<std::string, int> aiffTags = CommentLines(Encode(jobs, 1, oggenc));
  EXPECT_EQ(aiffTags["TITLE=Second"], 1);
  EXPECT_EQ(aiffTags["ARTIST=Duo"], 1);
  for (const auto& [line, count] : aiffTags) EXPECT_EQ(count, 1) << line;
}

}  // namespace
}  // namespace lumio
