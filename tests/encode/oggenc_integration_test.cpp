#include <gtest/gtest.h>

#include <QSignalSpy>
#include <map>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/batch_plan.h"
#include "encode/batch_run.h"
#include "encode/clock.h"
#include "encode/command_line.h"
#include "encode_test_support.h"
#include "platform/file_system.h"
#include "support/ogg_comments.h"

namespace lumio {
namespace {

using test::CurrentFolderGuard;
using test::ScopedEnvironment;

using Tags = std::map<std::string, std::string>;

// The tags of an Ogg Vorbis file; the encoder writes the names in lower case.
Tags ReadTags(const std::string& path) {
  Tags tags;
  for (const test::OggComment& comment : test::ReadOggComments(path)) {
    tags[comment.name] = comment.value;
  }
  return tags;
}

TEST(OggencIntegration, BatchOfThreeKeepsEveryTagExactly) {
  const std::string oggenc = FindOnSearchPath("oggenc");
  if (oggenc.empty()) GTEST_SKIP() << "oggenc is not installed";

  CurrentFolderGuard folderGuard;
  // Under the C locale oggenc would read the tags as ASCII and write "#" for every other
  // character, unless it is told that they are UTF-8.
  ScopedEnvironment environment;
  environment.Set("LC_ALL", "C");
  const test::TemporaryFolder dir;
  const std::string root = dir.Path() + "/";
  SettingsStore settings(root + "lumio.ini");
  settings.WriteBool("Options", "SetEncoderPlace", true);
  settings.WriteString("Options", "EncoderPlace", oggenc);
  settings.WriteInteger("EncodeOption", "UseOption", 2);
  settings.WriteInteger("EncodeOption", "Quality", 10);

  const struct {
    const char* name;
    Tags tags;
  } songs[] = {
      {"kanji",
       {{"title", "夜明けの歌"},
        {"artist", "\"Quoted\" Band"},
        {"album", "Best \\"},
        {"date", "2001"},
        {"tracknumber", "1"},
        {"comment", "first line\r\nsecond line"}}},
      {"spaces",
       {{"title", "   leading spaces"},
        {"artist", "a \\\"b\\\" c"},
        {"album", "C:\\Music\\\\"},
        {"date", " 1999"},
        {"tracknumber", "02"},
        {"comment", "\"一行目\"\r\n二行目\\"}}},
      {"plain",
       {{"title", "\""},
        {"artist", "\\"},
        {"album", "Album"},
        {"date", "2024-01-01"},
        {"tracknumber", "3/3"},
        {"comment", "x"}}},
  };
  FileDataList jobs;
  for (const auto& song : songs) {
    const std::string input = root + song.name + ".wav";
    ASSERT_TRUE(test::WriteToneWave(input, 1.5));
    ASSERT_TRUE(jobs.AddSourceFile(input, settings, root));
    const Selection last{jobs.Count() - 1};
    jobs.ApplyTag(TagField::Title, song.tags.at("title"), last);
    jobs.ApplyTag(TagField::Artist, song.tags.at("artist"), last);
    jobs.ApplyTag(TagField::Album, song.tags.at("album"), last);
    jobs.ApplyTag(TagField::Date, song.tags.at("date"), last);
    jobs.ApplyTag(TagField::TrackNumber, song.tags.at("tracknumber"), last);
    jobs.ApplyTag(TagField::Comment, song.tags.at("comment"), last);
  }

  MonotonicClock clock;
  auto checked = PrepareBatch(jobs, settings, "", NativePathRules());
  ASSERT_TRUE(std::holds_alternative<BatchPlan>(checked));
  BatchRun run(std::get<BatchPlan>(std::move(checked)), BuildOptionText(settings), {.parallel = 2},
               clock, nullptr);
  QSignalSpy finished(&run, &BatchRun::Finished);
  run.Start();
  ASSERT_TRUE(finished.wait(60000));
  const auto summary = finished.front().at(1).value<BatchSummary>();
  EXPECT_TRUE(summary.completed);
  EXPECT_EQ(summary.done, 3u);
  for (const auto& song : songs) {
    SCOPED_TRACE(song.name);
    const std::string output = root + song.name + ".ogg";
    ASSERT_TRUE(FileExists(output));
    Tags expected;
    for (const auto& [name, value] : song.tags) {
      // The CR LF that the comment field keeps between lines reaches the file as LF.
      std::string text = value;
      if (name == "comment") std::erase(text, '\r');
      expected[name] = text;
    }
    EXPECT_EQ(ReadTags(output), expected);
  }
}

}  // namespace
}  // namespace lumio
