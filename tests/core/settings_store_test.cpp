#include "core/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/temporary_folder.h"
#include "support/without_root.h"

namespace lumio {
namespace {

namespace fs = std::filesystem;

class SettingsStoreTest : public testing::Test {
 protected:
  void WriteFile(const std::string& bytes) { ASSERT_TRUE(test::WriteFile(path_, bytes)); }
  std::string ReadFile() const { return test::ReadFile(path_); }
  // Loads `bytes`, lets `change` work on the store, saves, and returns the saved file.
  template <typename Change>
  std::string Resaved(const std::string& bytes, Change change) {
    WriteFile(bytes);
    SettingsStore store(path_);
    change(store);
    EXPECT_TRUE(store.UpdateFile().ok);
    return ReadFile();
  }

  const test::TemporaryFolder folder_;
  const std::string root_ = folder_.Path();
  std::string path_ = root_ + "/lumio.ini";
};

const std::string kExample =
    "[Options]\r\nSameOutPut=0\r\nUseStdOutput=1\r\nStdOutputDir=D:\\Music\\Ogg\\\r\n"
    "ViewCheck=0\r\nSetEncoderPlace=0\r\nEncoderPlace=\r\nEncodePriority=1\r\n\r\n"
    "[EncodeOption]\r\nMaximumBitrate=0\r\nNominalBitrate=5\r\nMinimumBitrate=0\r\n"
    "Quality=45\r\nUseOption=2\r\n\r\n"
    "[General]\r\nOpenDir=D:\\Music\\Wave\\\r\nDefDir=D:\\Music\\Ogg\\\r\n\r\n";

TEST_F(SettingsStoreTest, ExampleFileRoundTripsByteForByte) {
  EXPECT_EQ(Resaved(kExample, [](SettingsStore&) {}), kExample);
}

struct ReadCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::string expected;
};

class SettingsReadTest : public SettingsStoreTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsReadTest, ReadsTheValueTheFileMeans) {
  const ReadCase& c = GetParam();
  WriteFile(c.file);
  const SettingsStore store(path_);
  EXPECT_FALSE(store.LoadFailed());
  EXPECT_EQ(store.ReadString(c.section, c.key, "DEF"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Loading, SettingsReadTest,
    testing::Values(
        ReadCase{"LfEndings", "[A]\nK=1\nL=2\n", "A", "L", "2"},
        ReadCase{"CrOnlyEndings", "[A]\rK=1\rL=2", "A", "L", "2"},
        ReadCase{"NulEndsTheText", std::string("[A]\r\nK=1\0\r\nL=2\r\n", 17), "A", "L", "DEF"},
        ReadCase{"BlanksAndControlsTrimmed", "  [ Options ]\t\r\n\t ViewCheck  =  1 \t\x01\r\n",
                 "Options", "ViewCheck", "1"},
        ReadCase{"CommentSkipped", "[A]\r\n;K=1\r\n", "A", ";K", "DEF"},
        ReadCase{"LinesBeforeFirstSectionSkipped", "K=1\r\n[A]\r\n", "A", "K", "DEF"},
        ReadCase{"SectionAndKeyIgnoreCase", "[options]\r\nsAmEoUtPuT=1\r\n", "Options",
                 "SameOutput", "1"},
        ReadCase{"LastSectionOfANameWins", "[A]\r\nK=1\r\n[a]\r\nK=2\r\n", "A", "K", "2"},
        ReadCase{"EarlierSectionOfANameIsNotSearched", "[A]\r\nK=1\r\n[A]\r\nL=2\r\n", "A", "K",
                 "DEF"},
        ReadCase{"LastKeyWins", "[A]\r\nK=1\r\nk=2\r\n", "A", "K", "2"},
        ReadCase{"EmptyValueIsNotTheDefault", "[A]\r\nK=\r\n", "A", "K", ""},
        ReadCase{"ValueKeepsFurtherEquals", "[A]\r\nK=a=b\r\n", "A", "K", "a=b"},
        ReadCase{"LineWithoutEqualsIsNoKey", "[A]\r\nK\r\n", "A", "K", "DEF"},
        ReadCase{"MissingKey", "[A]\r\nK=1\r\n", "A", "L", "DEF"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

struct IntegerCase {
  const char* stored;
  std::int32_t expected;
};

TEST_F(SettingsStoreTest, ReadIntegerTakesWholeDecimalOrHexTextInRange) {
  const IntegerCase cases[] = {
      {"30", 30},
      {"0x1E", 30},
      {"$1E", 30},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      // A hex value of 32 bits is the bit pattern of a signed integer.
      {"$FFFFFFFF", -1},
      {"0x80000000", -2147483647 - 1},
      {"30kbps", -99},
      {"2147483648", -99},
      {"-2147483649", -99},
      {"$100000000", -99},
      {"", -99},
      {"0x", -99},
      {"$", -99},
      {"-$1E", -99},
      {"0x-1", -99},
  };
  SettingsStore store(path_);
  for (const IntegerCase& c : cases) {
    store.WriteString("A", "K", c.stored);
    EXPECT_EQ(store.ReadInteger("A", "K", -99), c.expected) << '"' << c.stored << '"';
  }
  EXPECT_EQ(store.ReadInteger("A", "Missing", -99), -99);
}

TEST_F(SettingsStoreTest, ReadBoolIsNonZeroIntegerWithDefaultOneOrZero) {
  struct Case {
    const char* stored;
    bool readWithDefaultTrue;
    bool readWithDefaultFalse;
  };
  const Case cases[] = {
      {"1", true, true},     {"2", true, true},    {"-1", true, true}, {"0", false, false},
      {"true", true, false}, {"yes", true, false}, {"", true, false},  {"0x0", false, false},
  };
  SettingsStore store(path_);
  for (const Case& c : cases) {
    store.WriteString("Options", "ViewCheck", c.stored);
    EXPECT_EQ(store.ReadBool("Options", "ViewCheck", true), c.readWithDefaultTrue) << c.stored;
    EXPECT_EQ(store.ReadBool("Options", "ViewCheck", false), c.readWithDefaultFalse) << c.stored;
  }
}

TEST_F(SettingsStoreTest, CaseFoldingLeavesDoubleByteCharactersAlone) {
  // Shift-JIS 0x83 0x61 and 0x83 0x41 are different katakana although their trail bytes
  // are 'a' and 'A'.
  WriteFile("[\x83\x61]\r\nK=1\r\n");
  const SettingsStore shiftJis(path_, CodePage::ShiftJis);
  EXPECT_EQ(shiftJis.ReadString("\x83\x41", "K", "DEF"), "DEF");
  EXPECT_EQ(shiftJis.ReadString("\x83\x61", "k", "DEF"), "1");
}

struct SaveCase {
  const char* name;
  std::string file;
  void (*change)(SettingsStore&);
  std::string saved;
};

class SettingsSaveTest : public SettingsStoreTest, public testing::WithParamInterface<SaveCase> {};

TEST_P(SettingsSaveTest, WritesBackWhatTheStoreHolds) {
  const SaveCase& c = GetParam();
  EXPECT_EQ(Resaved(c.file, c.change), c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Writing, SettingsSaveTest,
    testing::Values(
        SaveCase{"KeyReplacedInPlaceWithCallersSpelling",
                 "[Options]\r\nSameOutput=1\r\nViewCheck=0\r\n",
                 [](SettingsStore& s) { s.WriteBool("Options", "SameOutPut", false); },
                 "[Options]\r\nSameOutPut=0\r\nViewCheck=0\r\n\r\n"},
        SaveCase{"LowerCaseSectionHeaderKept", "[options]\r\nViewCheck=0\r\n",
                 [](SettingsStore& s) { s.WriteBool("Options", "ViewCheck", true); },
                 "[options]\r\nViewCheck=1\r\n\r\n"},
        SaveCase{"NewSectionAppendedWithCallersSpelling", "[A]\r\nK=1\r\n",
                 [](SettingsStore& s) { s.WriteInteger("EncodeOption", "Quality", -5); },
                 "[A]\r\nK=1\r\n\r\n[EncodeOption]\r\nQuality=-5\r\n\r\n"},
        SaveCase{"NewKeyAppendedAtSectionEnd", "[A]\r\nK=1\r\n[B]\r\nL=2\r\n",
                 [](SettingsStore& s) { s.WriteString("a", "M", "x y"); },
                 "[A]\r\nK=1\r\nM=x y\r\n\r\n[B]\r\nL=2\r\n\r\n"},
        SaveCase{"DuplicateKeySecondReplacedFirstKept", "[A]\r\nK=1\r\nK=2\r\n",
                 [](SettingsStore& s) { s.WriteString("A", "K", "3"); },
                 "[A]\r\nK=1\r\nK=3\r\n\r\n"},
        SaveCase{"WriteGoesToLastSectionOfAName", "[A]\r\nK=1\r\n[A]\r\n",
                 [](SettingsStore& s) { s.WriteString("A", "K", "2"); },
                 "[A]\r\nK=1\r\n\r\n[A]\r\nK=2\r\n\r\n"},
        SaveCase{"ValueWithLineBreakOrNulLeavesTheEntryAsItWas", "[General]\r\nDefDir=/music/\r\n",
                 [](SettingsStore& s) {
                   s.WriteString("General", "DefDir", "/x\ny/");
                   s.WriteString("General", "DefDir", "/x\ry/");
                   s.WriteString("General", "DefDir", std::string("/x\0y/", 5));
                   s.WriteString("General", "OpenDir", "/a\nStdOutputDir=/b/");
                 },
                 "[General]\r\nDefDir=/music/\r\n\r\n"},
        SaveCase{"CommentsLeadingLinesAndBlanksDroppedKeylessLinesKept",
                 "orphan=1\r\n; note\r\n[Options]\r\n  ViewCheck =  1  \r\n"
                 ";off=1\r\n  free text \r\n\r\n",
                 [](SettingsStore&) {}, "[Options]\r\nViewCheck=1\r\nfree text\r\n\r\n"}),
    [](const testing::TestParamInfo<SaveCase>& info) { return info.param.name; });

TEST_F(SettingsStoreTest, MissingFileStartsEmptyAndFirstSaveCreatesItsFolders) {
  path_ = root_ + "/config/lumio/lumio.ini";
  SettingsStore store(path_);
  EXPECT_FALSE(store.LoadFailed());
  EXPECT_EQ(store.LoadFailureMessage(), "");
  EXPECT_EQ(store.ReadInteger("Options", "EncodePriority", 1), 1);
  store.WriteString("General", "DefDir", "/music/");
  ASSERT_TRUE(store.UpdateFile().ok);
  EXPECT_EQ(ReadFile(), "[General]\r\nDefDir=/music/\r\n\r\n");
}

TEST_F(SettingsStoreTest, FailedSaveReportsThePathAndKeepsEveryValue) {
  std::ofstream(root_ + "/plain") << "p";
  path_ = root_ + "/plain/lumio.ini";
  SettingsStore store(path_);
  store.WriteInteger("EncodeOption", "Quality", 45);

  const SaveResult result = store.UpdateFile();
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.errorMessage, "ファイル " + path_ + " を作成できません");
  EXPECT_EQ(store.ReadInteger("EncodeOption", "Quality", 0), 45);
  EXPECT_EQ(fs::file_size(root_ + "/plain"), 1u);
}

TEST_F(SettingsStoreTest, UnreadableFileGivesDefaultsAndIsKeptAsideAtSave) {
  fs::create_directories(path_ + "/inside");
  SettingsStore store(path_);
  EXPECT_TRUE(store.LoadFailed());
  EXPECT_EQ(store.LoadFailureMessage(),
            "設定ファイル " + path_ + " を読み込めません。\n既定の設定で続けます。" +
                "元のファイルは保存時に " + path_ + ".unreadable として残します。");
  EXPECT_EQ(store.ReadInteger("EncodeOption", "UseOption", 3), 3);

  store.WriteBool("Options", "ViewCheck", true);
  ASSERT_TRUE(store.UpdateFile().ok);
  EXPECT_FALSE(store.LoadFailed());
  EXPECT_TRUE(fs::is_directory(path_ + ".unreadable/inside"));
  EXPECT_EQ(ReadFile(), "[Options]\r\nViewCheck=1\r\n\r\n");
}

TEST_F(SettingsStoreTest, AFileKeptAsideEarlierIsNeverOverwritten) {
  fs::create_directories(path_ + ".unreadable/first");
  fs::create_directories(path_ + "/second");
  SettingsStore store(path_);
  EXPECT_NE(store.LoadFailureMessage().find(path_ + ".unreadable.1 として残します"),
            std::string::npos);
  store.WriteBool("Options", "ViewCheck", true);

  ASSERT_TRUE(store.UpdateFile().ok);
  EXPECT_TRUE(fs::is_directory(path_ + ".unreadable/first"));
  EXPECT_TRUE(fs::is_directory(path_ + ".unreadable.1/second"));
  EXPECT_EQ(ReadFile(), "[Options]\r\nViewCheck=1\r\n\r\n");
}

// What a user whom permissions bind sees; each case runs in a child process, which
// reports what it saw as text.
struct PermissionCase {
  const char* name;
  std::string (*run)(const std::string& path);
  std::string seen;
};

void PrintTo(const PermissionCase& c, std::ostream* out) { *out << c.name; }

std::string Slurp(const std::string& path) { return test::ReadFile(path); }

std::string SaveOutcome(SettingsStore& store) {
  const SaveResult result = store.UpdateFile();
  return result.ok ? "saved" : result.errorMessage;
}

class SettingsPermissionTest : public SettingsStoreTest,
                               public testing::WithParamInterface<PermissionCase> {};

TEST_P(SettingsPermissionTest, NeverLosesTheUsersFile) {
  ASSERT_TRUE(test::HandOverToUnprivilegedUser(root_));
  const std::string path = path_;
  const auto seen = test::RunWithoutRoot([&] { return GetParam().run(path); });
  if (!seen) GTEST_SKIP() << "cannot run as a user whom file permissions bind";
  std::string expected = GetParam().seen;
  for (std::size_t at; (at = expected.find("PATH")) != std::string::npos;) {
    expected.replace(at, 4, path_);
  }
  EXPECT_EQ(*seen, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Permissions, SettingsPermissionTest,
    testing::Values(PermissionCase{"ModeZeroFileIsKeptAsideOnceAndItsSuccessorLoads",
                                   [](const std::string& path) {
                                     std::ofstream(path) << "[A]\r\nK=original\r\n";
                                     fs::permissions(path, fs::perms::none);
                                     std::string seen;
                                     for (int start = 1; start <= 2; ++start) {
                                       SettingsStore store(path);
                                       seen += std::to_string(start) +
                                               ": failed=" + std::to_string(store.LoadFailed()) +
                                               " K=" + store.ReadString("A", "K", "-");
                                       store.WriteString("A", "K", "run" + std::to_string(start));
                                       seen += " " + SaveOutcome(store) + "\n";
                                     }
                                     seen += "mode=" +
                                             std::to_string(
                                                 static_cast<int>(fs::status(path).permissions())) +
                                             "\n";
                                     fs::permissions(path + ".unreadable", fs::perms::owner_read);
                                     return seen + Slurp(path + ".unreadable") +
                                            (fs::exists(path + ".unreadable.1") ? "also .1" : "");
                                   },
                                   "1: failed=1 K=- saved\n2: failed=0 K=run1 saved\nmode=384\n"
                                   "[A]\r\nK=original\r\n"},
                    PermissionCase{"WriteProtectedFileIsNotReplaced",
                                   [](const std::string& path) {
                                     std::ofstream(path) << "[A]\r\nK=1\r\n";
                                     fs::permissions(path, fs::perms::owner_read |
                                                               fs::perms::group_read |
                                                               fs::perms::others_read);
                                     SettingsStore store(path);
                                     store.WriteString("A", "K", "2");
                                     return SaveOutcome(store) + "\n" + Slurp(path) +
                                            store.ReadString("A", "K", "-");
                                   },
                                   "ファイル PATH を作成できません\n[A]\r\nK=1\r\n2"}),
    [](const testing::TestParamInfo<PermissionCase>& info) { return info.param.name; });

TEST_F(SettingsStoreTest, UnreadableFileThatCannotBeMovedAsideIsNeverReplaced) {
  // In a folder with the sticky bit only a file's owner may rename it: another user
  // can write new files there but cannot move root's unreadable file aside.
  if (!test::RunningAsRoot()) GTEST_SKIP() << "needs root to own the unreadable file";
  std::ofstream(path_) << "[A]\r\nK=root's\r\n";
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(root_, fs::perms::all | fs::perms::sticky_bit);
  const std::string path = path_;
  const auto seen = test::RunWithoutRoot([&] {
    SettingsStore store(path);
    store.WriteBool("Options", "ViewCheck", true);
    return std::to_string(store.LoadFailed()) + " " + SaveOutcome(store) + " " +
           std::to_string(store.LoadFailed()) + " " +
           std::to_string(store.ReadBool("Options", "ViewCheck", false));
  });
  if (!seen) GTEST_SKIP() << "cannot run as a user whom file permissions bind";
  EXPECT_EQ(*seen, "1 ファイル " + path_ + " を作成できません 1 1");
  EXPECT_EQ(ReadFile(), "[A]\r\nK=root's\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace lumio
