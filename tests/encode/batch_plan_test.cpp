#include "encode/run/batch_plan.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode_test_support.h"
#include "platform/file_system.h"
#include "support/sound_bytes.h"

namespace lumio {
namespace {

using test::kFakeEncoder;

const std::string kForbiddenNameMessage =
    "ファイル名には次の文字は使えません\n\\ / : , ; * ? \" < > |\n\n";

class BatchPlanTest : public test::JobListTest {
 public:
  std::variant<BatchPlan, BatchRefusal> Prepare(PathRules rules = NativePathRules()) {
    return PrepareBatch(jobs_, settings_, "", rules);
  }
  // The message of a refused batch; empty when it passed.
  std::string Refusal(PathRules rules = NativePathRules()) {
    const auto checked = Prepare(rules);
    const auto* refusal = std::get_if<BatchRefusal>(&checked);
    return refusal == nullptr ? std::string() : refusal->message;
  }
  // The outputs asked about, each followed by a line feed.
  std::string OverwriteList() {
    const auto checked = Prepare();
    const auto* plan = std::get_if<BatchPlan>(&checked);
    return plan == nullptr ? "refused" : Joined(plan->overwritten);
  }
  static std::string Joined(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) text += path + "\n";
    return text;
  }
};

TEST_F(BatchPlanTest, EachCheckFailureRefusesTheBatchWithItsOneMessage) {
  const struct {
    const char* name;
    std::function<void(BatchPlanTest&)> arrange;
    std::function<std::string(const std::string& root)> message;
  } cases[] = {
      {"missing encoder comes before a job in error",
       [](BatchPlanTest& t) {
         t.settings_.WriteString("Options", "EncoderPlace", t.root_ + "no-encoder");
         t.jobs_.SetOutputFileName(0, "");
       },
       [](const std::string&) { return std::string("エンコーダが見つかりません"); }},
      {"empty encoder place",
       [](BatchPlanTest& t) { t.settings_.WriteString("Options", "EncoderPlace", ""); },
       [](const std::string&) { return std::string("エンコーダが見つかりません"); }},
      {"colon in a stored name", [](BatchPlanTest& t) { t.jobs_.SetOutputFileName(1, "b:c.ogg"); },
       [](const std::string&) { return kForbiddenNameMessage + "b:c.ogg"; }},
      {"separator in a stored name",
       [](BatchPlanTest& t) { t.jobs_.SetOutputFileName(1, "../b.ogg"); },
       [](const std::string&) { return kForbiddenNameMessage + "../b.ogg"; }},
      {"quote in a stored name", [](BatchPlanTest& t) { t.jobs_.SetOutputFileName(0, "a\".ogg"); },
       [](const std::string&) { return kForbiddenNameMessage + "a\".ogg"; }},
      {"missing input file, before the third job's empty name",
       [](BatchPlanTest& t) {
         std::filesystem::remove(t.root_ + "in/b.wav");
         t.jobs_.SetOutputFileName(2, "");
       },
       [](const std::string& root) {
         return "指定の入力ファイルが存在しません\n\n" + root + "in/b.wav";
       }},
      {"missing output folder",
       [](BatchPlanTest& t) { t.jobs_.SetOutputFolder(t.root_ + "nowhere/", {2}); },
       [](const std::string& root) {
         return "指定の出力先フォルダが存在しません\n\n" + root + "nowhere/";
       }},
      {"missing output folder below which the tree is kept",
       [](BatchPlanTest& t) {
         t.jobs_.SetOutputFolder(t.root_ + "nowhere/", {2});
         t.jobs_.Record(2).OutputSubfolder = "Artist/CD1/";
       },
       [](const std::string& root) {
         return "指定の出力先フォルダが存在しません\n\n" + root + "nowhere/";
       }},
      {"empty output name", [](BatchPlanTest& t) { t.jobs_.SetOutputFileName(2, ""); },
       [](const std::string& root) { return "出力ファイル名が空です\n\n" + root + "in/c.wav"; }},
      {"the parent folder's name", [](BatchPlanTest& t) { t.jobs_.SetOutputFileName(2, ".."); },
       [](const std::string& root) {
         return "出力ファイル名がドットと空白だけです\n\n" + root + "in/c.wav → ..";
       }},
      {"dots and blanks before .ogg: the hidden .ogg",
       [](BatchPlanTest& t) { t.jobs_.SetOutputFileName(1, " . .ogg"); },
       [](const std::string& root) {
         return "出力ファイル名がドットと空白だけです\n\n" + root + "in/b.wav →  . .ogg";
       }},
      {"a name over 255 bytes",
       [](BatchPlanTest& t) {
         t.jobs_.SetOutputFileName(0, std::string(85, 'x') + "あ" + std::string(164, 'x') + ".ogg");
       },
       [](const std::string& root) {
         return "出力ファイル名が長すぎます（255バイトまで）\n\n" + root + "in/a.wav";
       }},
      {"a write-protected output under overwrite",
       [](BatchPlanTest& t) {
         t.settings_.WriteInteger("Options", "ExistingOutput", 2);
         std::ofstream(t.root_ + "out/b.ogg") << "kept";
         std::filesystem::permissions(
             t.root_ + "out/b.ogg",
             std::filesystem::perms::owner_read | std::filesystem::perms::others_read);
       },
       [](const std::string& root) {
         return "出力ファイルが書き込み禁止になっています\n\n" + root + "out/b.ogg";
       }},
      {"output name of the input file itself",
       [](BatchPlanTest& t) {
         t.jobs_.SetOutputFolder(t.root_ + "in/", {1});
         t.jobs_.SetOutputFileName(1, "b.wav");
       },
       [](const std::string& root) {
         return "出力ファイルが入力ファイルと同じです\n\n" + root + "in/b.wav";
       }},
      {"output name linked to the input file",
       [](BatchPlanTest& t) {
         std::filesystem::create_symlink(t.root_ + "in/c.wav", t.root_ + "out/c.ogg");
       },
       [](const std::string& root) {
         return "出力ファイルが入力ファイルと同じです\n\n" + root + "in/c.wav";
       }},
      {"output that a later job reads",
       [](BatchPlanTest& t) {
         t.jobs_.SetOutputFolder(t.root_ + "in/", {0});
         t.jobs_.SetOutputFileName(0, "c.wav");
       },
       [](const std::string& root) {
         return "出力ファイルが別の入力ファイルと同じです\n\n" + root + "in/a.wav → " + root +
                "in/c.wav";
       }},
      {"output linked to an earlier job's input",
       [](BatchPlanTest& t) {
         std::filesystem::create_symlink(t.root_ + "in/a.wav", t.root_ + "out/b.ogg");
       },
       [](const std::string& root) {
         return "出力ファイルが別の入力ファイルと同じです\n\n" + root + "in/b.wav → " + root +
                "out/b.ogg\n" + root + "in/a.wav";
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    jobs_.Clear();
    std::filesystem::remove_all(root_ + "out");
    ASSERT_TRUE(CreateFolder(root_ + "out"));
    settings_.WriteString("Options", "EncoderPlace", kFakeEncoder);
    settings_.WriteString("Options", "ExistingOutput", "");
    for (const char* name : {"a", "b", "c"}) AddJob(name);
    c.arrange(*this);
    const std::string message = c.message(root_);
    EXPECT_EQ(Refusal(), message);
    // A batch that keeps going plans the job to fail alone, with the message on one line,
    // and asks about no output of it; a missing encoder still refuses the whole batch.
    settings_.WriteBool("Options", "KeepGoing", true);
    const auto kept = Prepare();
    settings_.WriteBool("Options", "KeepGoing", false);
    if (message == "エンコーダが見つかりません") {
      EXPECT_TRUE(std::holds_alternative<BatchRefusal>(kept));
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<BatchPlan>(kept));
    const BatchPlan& plan = std::get<BatchPlan>(kept);
    const auto failed = std::find_if(plan.jobs.begin(), plan.jobs.end(),
                                     [](const PlannedJob& job) { return !job.failure.empty(); });
    ASSERT_NE(failed, plan.jobs.end());
    std::string oneLine = message;
    oneLine.replace(oneLine.find("\n\n"), 2, ": ");
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    EXPECT_EQ(failed->failure, oneLine);
    EXPECT_EQ(failed->inputPath,
              jobs_.InputPath(static_cast<std::size_t>(failed - plan.jobs.begin())));
    EXPECT_EQ(plan.overwritten, std::vector<std::string>{});
  }
}

TEST_F(BatchPlanTest, ShiftJisNamesAreCheckedByWholeCharacters) {
  const PathRules shiftJis{PathStyle::Posix, CodePage::ShiftJis};
  AddJob("a");
  // One double-byte character whose trail byte is 0x5C, then ".ogg".
  jobs_.SetOutputFileName(0, "\x83\x5C.ogg");
  EXPECT_EQ(Refusal(shiftJis), "");
  // A stray lead byte (a Linux file name may hold one) hides no separator after it.
  jobs_.SetOutputFileName(0, "\x83/b.ogg");
  EXPECT_EQ(Refusal(shiftJis), kForbiddenNameMessage + "\x83/b.ogg");
}

TEST_F(BatchPlanTest, OverwriteListNamesEveryOutputThatWouldBeReplaced) {
  for (const char* name : {"a", "b", "c"}) AddJob(name);
  EXPECT_EQ(OverwriteList(), "");
  std::ofstream(root_ + "out/a.ogg") << "old";
  std::ofstream(root_ + "out/c.ogg") << "old";
  EXPECT_EQ(OverwriteList(), root_ + "out/a.ogg\n" + root_ + "out/c.ogg\n");
  EXPECT_EQ(OverwriteQuestion({root_ + "out/a.ogg", root_ + "out/c.ogg"}),
            "指定の場所に同名のファイルがあります\n\n" + root_ + "out/a.ogg\n" + root_ +
                "out/c.ogg\n\n上書きしますか？");

  std::filesystem::remove(root_ + "out/a.ogg");
  std::filesystem::remove(root_ + "out/c.ogg");
  jobs_.SetOutputFileName(2, "a.ogg");  // the third job would replace the first one's file
  EXPECT_EQ(OverwriteList(), root_ + "out/a.ogg\n");

  jobs_.SetOutputFileName(2, "c.ogg");
  jobs_.Record(0).OutputDir = root_ + "out";  // stored without its separator
  std::ofstream(root_ + "out/a.ogg") << "old";
  EXPECT_EQ(OverwriteList(), root_ + "out/a.ogg\n");
}

// Sets a file's modification time to `seconds` and `nanoseconds`.
void SetModified(const std::string& path, time_t seconds, long nanoseconds) {
  const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST_F(BatchPlanTest, ExistingOutputSettingDecidesWhatIsSkippedAndWhatIsAsked) {
  const struct {
    const char* name;
    const char* setting;  // Options/ExistingOutput, nullptr: absent
    bool outputExists;
    time_t outputSeconds;  // the input's time is 1000 s and 500 ns
    long outputNanoseconds;
    bool skipped;
    bool asked;
  } cases[] = {
      {"default asks even for a newer output", nullptr, true, 2000, 0, false, true},
      {"unknown value asks", "7", true, 2000, 0, false, true},
      {"skip: newer output", "1", true, 1001, 0, true, false},
      {"skip: equal times count as up to date", "1", true, 1000, 500, true, false},
      {"skip: older by a nanosecond is encoded again", "1", true, 1000, 499, false, true},
      {"skip: no output yet", "1", false, 0, 0, false, false},
      {"overwrite: older output, no question", "2", true, 10, 0, false, false},
  };
  AddJob("a");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings_.WriteString("Options", "ExistingOutput", c.setting == nullptr ? "" : c.setting);
    std::filesystem::remove(root_ + "out/a.ogg");
    if (c.outputExists) {
      std::ofstream(root_ + "out/a.ogg") << "old";
      SetModified(root_ + "out/a.ogg", c.outputSeconds, c.outputNanoseconds);
    }
    SetModified(root_ + "in/a.wav", 1000, 500);
    const auto checked = Prepare();
    const auto* plan = std::get_if<BatchPlan>(&checked);
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->jobs[0].skip, c.skipped);
    EXPECT_EQ(Joined(plan->overwritten), c.asked ? root_ + "out/a.ogg\n" : "");
    EXPECT_EQ(plan->clashes, std::vector<std::string>());
  }
}

TEST_F(BatchPlanTest, NamesThatFitAreNotRefused) {
  AddJob("a");
  for (const std::string& name :
       {std::string(251, 'x') + ".ogg", std::string("..a.ogg"), std::string(".ogg.ogg")}) {
    jobs_.SetOutputFileName(0, name);
    EXPECT_EQ(Refusal(), "") << name;
  }
}

TEST_F(BatchPlanTest, TwoJobsWritingOneFileAreAskedAboutWhateverTheSetting) {
  AddJob("a");
  AddJob("b");
  jobs_.SetOutputFileName(1, "a.ogg");
  for (const char* setting : {"1", "2"}) {
    SCOPED_TRACE(setting);
    settings_.WriteString("Options", "ExistingOutput", setting);
    EXPECT_EQ(OverwriteList(), root_ + "out/a.ogg\n");
    const auto checked = Prepare();
    EXPECT_EQ(std::get<BatchPlan>(checked).clashes, std::vector<std::string>{root_ + "out/a.ogg"});
  }
}

TEST_F(BatchPlanTest, PlanCarriesEachJobAndTheEncoderThatWasChecked) {
  const std::filesystem::path encoder(kFakeEncoder);
  ASSERT_TRUE(test::SetCurrentFolder(encoder.parent_path().string()));
  settings_.WriteString("Options", "EncoderPlace", encoder.filename().string());
  AddJob("a");
  jobs_.Record(0).OutputDir = root_ + "out";
  const auto checked = Prepare();
  const auto* plan = std::get_if<BatchPlan>(&checked);
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(plan->encoderPath, kFakeEncoder);
  ASSERT_EQ(plan->jobs.size(), 1u);
  EXPECT_EQ(plan->jobs[0].inputPath, root_ + "in/a.wav");
  EXPECT_EQ(plan->jobs[0].outputFolder, root_ + "out/");
  EXPECT_EQ(plan->jobs[0].weight,
            static_cast<std::int64_t>(std::filesystem::file_size(root_ + "in/a.wav")));

  // A kept subfolder that does not exist yet passes the check and joins the folder.
  jobs_.Record(0).OutputSubfolder = "Artist/CD1/";
  const auto kept = Prepare();
  ASSERT_TRUE(std::holds_alternative<BatchPlan>(kept));
  EXPECT_EQ(std::get<BatchPlan>(kept).jobs[0].outputFolder, root_ + "out/Artist/CD1/");
}

TEST_F(BatchPlanTest, LossySourcesOfAKeptTreeAreCopiedUnderTheirOwnNames) {
  const std::string vorbis = test::OggFirstPage("\x01vorbis");
  const struct {
    const char* name;
    bool kept;
    const char* setting;  // Options/CopyLossy
    const char* file;
    std::string bytes;
    bool copied;
  } cases[] = {
      {"vorbis in a kept tree", true, "1", "a.ogg", vorbis, true},
      {"not a kept tree", false, "1", "a.ogg", vorbis, false},
      {"copying off", true, "0", "a.ogg", vorbis, false},
      {"opus needs every lossy format", true, "1", "a.opus", test::OggFirstPage("OpusHead"), false},
      {"opus with every lossy format", true, "2", "a.opus", test::OggFirstPage("OpusHead"), true},
      {"bytes and name disagree", true, "2", "a.mp3", vorbis, false},
      {"a name that lies", true, "2", "a.ogg", "fLaC\0\0\0\x22", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    jobs_.Clear();
    settings_.WriteBool("Options", "KeepFolderTree", c.kept);
    settings_.WriteString("Options", "CopyLossy", c.setting);
    const std::string input = root_ + "in/" + c.file;
    ASSERT_TRUE(test::WriteFile(input, c.bytes));
    SourceReading reading;
    reading.readable = true;
    ASSERT_TRUE(jobs_.AddReadSource(input, reading, settings_, root_ + "out/"));
    const auto checked = Prepare();
    const auto* plan = std::get_if<BatchPlan>(&checked);
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->jobs[0].copy, c.copied);
    const std::string file = c.file;
    EXPECT_EQ(plan->jobs[0].record.OutputFileName,
              c.copied ? file : file.substr(0, file.rfind('.')) + ".ogg");
  }
}

}  // namespace
}  // namespace lumio
