#include <gtest/gtest.h>

#include <QSignalSpy>
#include <map>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_run.h"
#include "encode/run/clock.h"
#include "encode_test_support.h"
#include "platform/file_system.h"
#include "support/add_sources.h"
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

TEST(OggencIntegration, EveryTagAndNameReachesTheOutputExactly) {
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

  // A comment far longer than one argument may be (a FLAC COMMENT of 200 000 bytes).
  std::string longComment(200000, 'c');
  longComment.replace(0, 20, "long\r\n長いコメント");
  const struct {
    std::string name;
    Tags tags;
    std::string folder = "";  // below root
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
      {"long", {{"title", std::string(120000, 't')}, {"comment", longComment}}},
      // Names that are no UTF-8: a Latin-1 source in a Shift-JIS folder, and back.
      {"lat\xe9in", {{"title", "Latin"}}, "\x8f\x4f\x95\xd4\x83\x5c/"},
      {"\x89\xb9\x8a\x79", {{"title", "Shift-JIS"}}, "b\xe9n/"},
  };
  FileDataList jobs;
  for (const auto& song : songs) {
    const std::string input = root + song.name + ".wav";
    ASSERT_TRUE(test::WriteToneWave(input, 1.5));
    if (!song.folder.empty()) {
      ASSERT_TRUE(CreateFolder(root + song.folder));
    }
    ASSERT_TRUE(test::AddSource(jobs, input, settings, root + song.folder));
    const Selection last{jobs.Count() - 1};
    const auto tag = [&song](const char* name) {
      const auto found = song.tags.find(name);
      return found == song.tags.end() ? std::string() : found->second;
    };
    jobs.ApplyTag(TagField::Title, tag("title"), last);
    jobs.ApplyTag(TagField::Artist, tag("artist"), last);
    jobs.ApplyTag(TagField::Album, tag("album"), last);
    jobs.ApplyTag(TagField::Date, tag("date"), last);
    jobs.ApplyTag(TagField::TrackNumber, tag("tracknumber"), last);
    jobs.ApplyTag(TagField::Comment, tag("comment"), last);
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
  EXPECT_EQ(summary.done, std::size(songs));
  for (const auto& song : songs) {
    SCOPED_TRACE(song.name.substr(0, 20));
    const std::string output = root + song.folder + song.name + ".ogg";
    ASSERT_TRUE(FileExists(output));
    Tags expected;
    for (const auto& [name, value] : song.tags) {
      // The CR LF that the comment field keeps between lines reaches the file as LF.
      std::string text = value;
      if (name == "comment") std::erase(text, '\r');
      expected[name] = text;
    }
    EXPECT_EQ(ReadTags(output), expected);
    // In the encoder's own order, tags too long for its command line too.
    std::vector<std::string> names, ordered;
    for (const test::OggComment& comment : test::ReadOggComments(output)) {
      names.push_back(comment.name);
    }
    for (const std::string_view name : kEncoderFieldOrder) {
      if (song.tags.count(std::string(name)) > 0) ordered.emplace_back(name);
    }
    EXPECT_EQ(names, ordered);
  }
}

}  // namespace
}  // namespace lumio
