#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>
#include <QStringList>
#include <map>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/batch_plan.h"
#include "encode/batch_run.h"
#include "encode/clock.h"
#include "encode/command_line.h"
#include "encode_test_support.h"
#include "platform/file_system.h"

namespace lumio {
namespace {

using test::CurrentFolderGuard;
using test::ScopedEnvironment;

using Tags = std::map<std::string, std::string>;

// A tag value as `vorbiscomment -l -e -R` prints it (raw UTF-8, whatever the locale), so that line
// breaks inside a value cannot be confused with the line ends between tags.
std::string Escaped(const std::string& value) {
  std::string text;
  for (const char c : value) {
    if (c == '\\') {
      text += "\\\\";
    } else if (c == '\r') {
      text += "\\r";
    } else if (c == '\n') {
      text += "\\n";
    } else {
      text += c;
    }
  }
  return text;
}

// The tags of an Ogg Vorbis file, field names lower-cased, values still escaped.
Tags ReadTags(const std::string& path) {
  QProcess lister;
  lister.start("vorbiscomment", {"-l", "-e", "-R", QString::fromStdString(path)});
  EXPECT_TRUE(lister.waitForFinished(30000));
  EXPECT_EQ(lister.exitCode(), 0);
  Tags tags;
  const std::string output = lister.readAllStandardOutput().toStdString();
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    const std::string line = output.substr(start, end - start);
    const std::size_t equals = line.find('=');
    std::string name = line.substr(0, equals);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    tags[name] = equals == std::string::npos ? "" : line.substr(equals + 1);
    start = end + 1;
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
    ASSERT_TRUE(jobs.AddWaveFile(input, settings, root));
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
      expected[name] = Escaped(text);
    }
    EXPECT_EQ(ReadTags(output), expected);
  }
}

}  // namespace
}  // namespace lumio
