#include "core/file_data_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/settings_store.h"
#include "core/source_reading.h"
#include "platform/file_system.h"
#include "support/current_folder_guard.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

const PathRules kWindows{PathStyle::Windows, CodePage::ShiftJis};
const PathRules kPosix{PathStyle::Posix, CodePage::Utf8};

// A temporary folder for WAVE fixtures, and a settings store that is never saved.
class JobListTest : public testing::Test {
 protected:
  // Writes a WAVE file of one second under `name` (which may hold backslashes: on
  // Linux they are part of the file name, so Windows-style paths can name real files).
  std::string WriteWave(const std::string& name,
                        const std::string& bytes = test::PlainWave(176400)) {
    return temporary_.Write(name, bytes);
  }

  // Reads `path` and appends it, as adding does with each file read.
  bool Add(FileDataList& list, const std::string& path, const std::string& defDir,
           const std::string& subfolder = {}, PathRules rules = kPosix) {
    return list.AddReadSource(path, ReadSource(path, rules), settings_, defDir, subfolder);
  }

  // Adds `count` one-second files named 0.wav, 1.wav, ... and titles each record with
  // its number.
  void AddNumbered(FileDataList& list, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      ASSERT_TRUE(Add(list, WriteWave(std::to_string(i) + ".wav"), ""));
      list.Record(i).Title = std::to_string(i);
    }
  }

  const test::TemporaryFolder temporary_;
  const std::string folder_ = temporary_.Path() + "/";
  SettingsStore settings_{"/nonexistent-lumio-folder/lumio.ini"};
};

struct FolderCase {
  const char* name;
  bool sameOutput;
  bool useStdOutput;
  std::string stdOutputDir;
  std::string defDir;
  std::string expected;  // "<in>" stands for the input file's folder
  bool keepFolderTree = false;
  std::string subfolder;  // kept below the folder, for a file found in "Artist/CD1/"
};

class OutputFolder : public JobListTest, public testing::WithParamInterface<FolderCase> {};

TEST_P(OutputFolder, FollowsTheOptionsAtAddTime) {
  const FolderCase& c = GetParam();
  settings_.WriteBool("Options", "SameOutput", c.sameOutput);
  settings_.WriteBool("Options", "UseStdOutput", c.useStdOutput);
  settings_.WriteString("Options", "StdOutputDir", c.stdOutputDir);
  if (c.keepFolderTree) settings_.WriteBool("Options", "KeepFolderTree", true);
  FileDataList list(kWindows, [](const std::string& folder) { return folder == "D:\\out"; });

  const std::string input = WriteWave("C:\\rec\\a.b.wav");
  ASSERT_TRUE(Add(list, input, c.defDir, "Artist/CD1/", kWindows));

  const std::string expected = c.expected == "<in>" ? folder_ + "C:\\rec\\" : c.expected;
  EXPECT_EQ(list.Record(0).OutputDir, expected);
  EXPECT_EQ(list.Record(0).OutputSubfolder, c.subfolder);
  EXPECT_EQ(list.Record(0).OutputFileName, "a.b.ogg");
}

INSTANTIATE_TEST_SUITE_P(
    JobList, OutputFolder,
    testing::Values(FolderCase{"DefaultFolderGetsSeparator", false, false, "D:\\out", "C:\\Music",
                               "C:\\Music\\", false, ""},
                    FolderCase{"SameOutput", true, false, "", "C:\\Music", "<in>", false, ""},
                    FolderCase{"SameOutputWinsOverStandard", true, true, "D:\\out", "C:\\Music",
                               "<in>", false, ""},
                    FolderCase{"StandardFolderExactlyAsStored", false, true, "D:\\out", "C:\\Music",
                               "D:\\out", false, ""},
                    FolderCase{"MissingStandardFolder", false, true, "D:\\gone", "C:\\Music",
                               "<in>", false, ""},
                    FolderCase{"TreeKeptBelowDefaultFolder", false, false, "", "C:\\Music",
                               "C:\\Music\\", true, "Artist/CD1/"},
                    FolderCase{"TreeKeptBelowStandardFolder", false, true, "D:\\out", "C:\\Music",
                               "D:\\out", true, "Artist/CD1/"},
                    FolderCase{"BesideInputTheSourceTreeIsTheTree", true, false, "", "C:\\Music",
                               "<in>", true, ""},
                    FolderCase{"MissingStandardFolderKeepsNoTree", false, true, "D:\\gone",
                               "C:\\Music", "<in>", true, ""}),
    [](const auto& info) { return info.param.name; });

TEST_F(JobListTest, ChangedOptionsGovernOnlyLaterFiles) {
  FileDataList list(kPosix);
  const std::string input = WriteWave("song.wav");
  ASSERT_TRUE(Add(list, input, "/music"));
  settings_.WriteBool("Options", "SameOutput", true);
  ASSERT_TRUE(Add(list, input, "/music"));
  EXPECT_EQ(list.Record(0).OutputDir, "/music/");
  EXPECT_EQ(list.Record(1).OutputDir, folder_);
}

TEST_F(JobListTest, StandardFolderIsCheckedOnDisk) {
  settings_.WriteBool("Options", "UseStdOutput", true);
  settings_.WriteString("Options", "StdOutputDir", folder_ + "out");
  FileDataList list(kPosix);
  const std::string input = WriteWave("song.wav");

  ASSERT_TRUE(Add(list, input, ""));
  ASSERT_TRUE(std::filesystem::create_directory(folder_ + "out"));
  ASSERT_TRUE(Add(list, input, ""));

  EXPECT_EQ(list.Record(0).OutputDir, folder_);
  EXPECT_EQ(list.Record(1).OutputDir, folder_ + "out");
}

TEST_F(JobListTest, RelativeStandardFolderIsKeptAsFoundAtAddTime) {
  const test::CurrentFolderGuard folderGuard;
  ASSERT_TRUE(std::filesystem::create_directory(folder_ + "ogg"));
  ASSERT_TRUE(test::SetCurrentFolder(folder_));
  settings_.WriteBool("Options", "UseStdOutput", true);
  settings_.WriteString("Options", "StdOutputDir", "ogg");
  FileDataList list(kPosix);
  ASSERT_TRUE(Add(list, WriteWave("song.wav"), ""));
  EXPECT_EQ(list.Record(0).OutputDir, folder_ + "ogg");
}

struct NameCase {
  PathRules rules;
  std::string name;
  std::string expected;
};

class OutputName : public JobListTest, public testing::WithParamInterface<NameCase> {};

TEST_P(OutputName, ReplacesOrAppendsTheExtension) {
  FileDataList list(GetParam().rules);
  ASSERT_TRUE(Add(list, WriteWave(GetParam().name), "", {}, GetParam().rules));
  EXPECT_EQ(list.Record(0).OutputFileName, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(JobList, OutputName,
                         testing::Values(NameCase{kWindows, "C:\\rec\\song.WAV", "song.ogg"},
                                         NameCase{kWindows, "C:\\rec\\song", "song.ogg"},
                                         NameCase{kWindows, "C:\\rec.d\\song", "song.ogg"},
                                         NameCase{kPosix, "a.b.wav", "a.b.ogg"},
                                         NameCase{kPosix, "x.d\\song", "x.ogg"}));

TEST_F(JobListTest, ReadableFilesAreAddedUnreadableAreNot) {
  test::WaveFormat silentRate;
  silentRate.byteRate = 0;
  FileDataList list(kPosix);

  EXPECT_TRUE(Add(list, WriteWave("text.wav", "not a wave file at all, just text"), ""));
  EXPECT_FALSE(Add(list, folder_ + "missing.wav", ""));
  EXPECT_FALSE(Add(list, WriteWave("zero.wav", test::PlainWave(0, silentRate)), ""));
  EXPECT_FALSE(Add(list, folder_, ""));
  EXPECT_TRUE(Add(list, WriteWave("song.wav"), ""));

  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.InputPath(0), folder_ + "text.wav");
  EXPECT_EQ(list.Record(0).Audio.PlayTime, 0);
  EXPECT_EQ(list.Record(0).Audio.InfoText, "");
  EXPECT_EQ(list.InputPath(1), folder_ + "song.wav");
  EXPECT_EQ(list.Record(1).Audio.PlayTime, 1000);
}

TEST_F(JobListTest, SameFileTwiceGivesIndependentRecords) {
  FileDataList list(kPosix);
  const std::string input = WriteWave("song.wav");
  ASSERT_TRUE(Add(list, input, ""));
  ASSERT_TRUE(Add(list, input, ""));

  list.ApplyTag(TagField::Title, "first", {0});
  list.SetOutputFileName(1, "second.ogg");

  EXPECT_EQ(list.Record(0).Title, "first");
  EXPECT_EQ(list.Record(1).Title, "");
  EXPECT_EQ(list.Record(0).OutputFileName, "song.ogg");
  EXPECT_EQ(list.Record(1).OutputFileName, "second.ogg");
}

std::string& Field(FileData& record, TagField field) {
  switch (field) {
    case TagField::Title:
      return record.Title;
    case TagField::Artist:
      return record.Artist;
    case TagField::Album:
      return record.Album;
    case TagField::Comment:
      return record.Comment;
    case TagField::Date:
      return record.Date;
    case TagField::TrackNumber:
      return record.TrackNumber;
  }
  return record.Title;
}

class ApplyTag : public JobListTest, public testing::WithParamInterface<TagField> {};

TEST_P(ApplyTag, ChangesOnlyThatFieldOfTheSelected) {
  const std::vector<TagField> all{TagField::Title,   TagField::Artist, TagField::Album,
                                  TagField::Comment, TagField::Date,   TagField::TrackNumber};
  FileDataList list(kPosix);
  ASSERT_NO_FATAL_FAILURE(AddNumbered(list, 5));
  for (std::size_t i = 0; i < 5; ++i) {
    for (TagField field : all) Field(list.Record(i), field) = "old";
  }

  list.ApplyTag(GetParam(), "new\r\nline", {0, 2, 3});

  const std::set<std::size_t> selected{0, 2, 3};
  for (std::size_t i = 0; i < 5; ++i) {
    for (TagField field : all) {
      const bool changed = selected.count(i) && field == GetParam();
      EXPECT_EQ(Field(list.Record(i), field), changed ? "new\r\nline" : "old")
          << "record " << i << " field " << static_cast<int>(field);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(JobList, ApplyTag,
                         testing::Values(TagField::Title, TagField::Artist, TagField::Album,
                                         TagField::Comment, TagField::Date, TagField::TrackNumber));

struct RemoveCase {
  const char* name;
  Selection selection;
  std::vector<std::string> remaining;  // titles, in order
};

class RemoveSelected : public JobListTest, public testing::WithParamInterface<RemoveCase> {};

TEST_P(RemoveSelected, KeepsTheOthersWithTheirOwnRecords) {
  FileDataList list(kPosix);
  ASSERT_NO_FATAL_FAILURE(AddNumbered(list, 5));

  list.RemoveSelected(GetParam().selection);

  ASSERT_EQ(list.Count(), GetParam().remaining.size());
  for (std::size_t i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.Record(i).Title, GetParam().remaining[i]);
    EXPECT_EQ(list.InputPath(i), folder_ + GetParam().remaining[i] + ".wav");
  }
}

INSTANTIATE_TEST_SUITE_P(
    JobList, RemoveSelected,
    testing::Values(RemoveCase{"Nothing", {}, {"0", "1", "2", "3", "4"}},
                    RemoveCase{"OneAndThree", {1, 3}, {"0", "2", "4"}},
                    RemoveCase{"RepeatedIndexRemovesOnce", {3, 1, 1}, {"0", "2", "4"}},
                    RemoveCase{"IndexPastTheEndIgnored", {4, 9}, {"0", "1", "2", "3"}}),
    [](const auto& info) { return info.param.name; });

struct MoveCase {
  const char* name;
  Selection selection;
  int step;                        // 0: move the selection before `destination`
  std::size_t destination;         // used when step is 0
  std::vector<std::string> order;  // titles afterwards
  Selection placed;                // where the selected entries stand afterwards
};

class MoveEntries : public JobListTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(MoveEntries, KeepsRecordsAndInputPathsTogether) {
  const MoveCase& c = GetParam();
  FileDataList list(kPosix);
  ASSERT_NO_FATAL_FAILURE(AddNumbered(list, 5));

  const Selection placed = c.step == 0 ? list.MoveSelected(c.selection, c.destination)
                                       : list.StepSelected(c.selection, c.step);

  ASSERT_EQ(list.Count(), c.order.size());
  for (std::size_t i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.Record(i).Title, c.order[i]) << i;
    EXPECT_EQ(list.InputPath(i), folder_ + c.order[i] + ".wav") << i;
  }
  EXPECT_EQ(placed, c.placed);
}

INSTANTIATE_TEST_SUITE_P(
    JobList, MoveEntries,
    testing::Values(
        MoveCase{"UpOne", {2}, -1, 0, {"0", "2", "1", "3", "4"}, {1}},
        MoveCase{"DownOne", {2}, 1, 0, {"0", "1", "3", "2", "4"}, {3}},
        MoveCase{"UpApartEachOnePlace", {1, 3}, -1, 0, {"1", "0", "3", "2", "4"}, {0, 2}},
        MoveCase{"UpRunMovesAsOne", {2, 3}, -1, 0, {"0", "2", "3", "1", "4"}, {1, 2}},
        MoveCase{"DownRunMovesAsOne", {1, 2}, 1, 0, {"0", "3", "1", "2", "4"}, {2, 3}},
        MoveCase{"UpAtTheTopStays", {0, 1, 3}, -1, 0, {"0", "1", "3", "2", "4"}, {0, 1, 2}},
        MoveCase{"DownAtTheEndStays", {4}, 1, 0, {"0", "1", "2", "3", "4"}, {4}},
        MoveCase{"StepIgnoresBadIndices", {9, 1, 1}, -1, 0, {"1", "0", "2", "3", "4"}, {0}},
        MoveCase{"DropAtTheStart", {2, 4}, 0, 0, {"2", "4", "0", "1", "3"}, {0, 1}},
        MoveCase{"DropAtTheEnd", {0, 2}, 0, 5, {"1", "3", "4", "0", "2"}, {3, 4}},
        MoveCase{"DropPastTheEnd", {1}, 0, 99, {"0", "2", "3", "4", "1"}, {4}},
        MoveCase{"DropInsideTheSelection", {1, 3}, 0, 2, {"0", "1", "3", "2", "4"}, {1, 2}},
        MoveCase{"DropNothing", {}, 0, 0, {"0", "1", "2", "3", "4"}, {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(JobListTest, SetOutputFolderAddsSeparatorToTheSelected) {
  FileDataList list(kWindows, [](const std::string&) { return false; });
  ASSERT_NO_FATAL_FAILURE(AddNumbered(list, 3));

  list.SetOutputFolder("E:\\ogg", {0, 2});

  EXPECT_EQ(list.Record(0).OutputDir, "E:\\ogg\\");
  EXPECT_EQ(list.Record(1).OutputDir, "");
  EXPECT_EQ(list.Record(2).OutputDir, "E:\\ogg\\");
}

}  // namespace
}  // namespace lumio
