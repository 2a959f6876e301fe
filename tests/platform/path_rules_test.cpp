#include "platform/path_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace lumio {
namespace {

constexpr PathRules kWindowsShiftJis{PathStyle::Windows, CodePage::ShiftJis};
constexpr PathRules kPosixUtf8{PathStyle::Posix, CodePage::Utf8};
constexpr PathRules kPosixShiftJis{PathStyle::Posix, CodePage::ShiftJis};

struct SeparatorCase {
  const char* name;
  PathRules rules;
  std::string path;
  std::string expected;
};

class WithTrailingSeparatorTest : public testing::TestWithParam<SeparatorCase> {};

TEST_P(WithTrailingSeparatorTest, AppendsExactlyOneSeparatorWhenMissing) {
  const SeparatorCase& c = GetParam();
  EXPECT_EQ(WithTrailingSeparator(c.path, c.rules), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, WithTrailingSeparatorTest,
    testing::Values(
        SeparatorCase{"WindowsFolder", kWindowsShiftJis, "C:\\Music", "C:\\Music\\"},
        SeparatorCase{"WindowsRoot", kWindowsShiftJis, "C:\\", "C:\\"},
        SeparatorCase{"WindowsEmpty", kWindowsShiftJis, "", ""},
        // 表 is 0x95 0x5C: its trail byte is no separator.
        SeparatorCase{"WindowsEndsInHyou", kWindowsShiftJis, "C:\\\x95\x5C", "C:\\\x95\x5C\\"},
        SeparatorCase{"WindowsHyouThenSeparator", kWindowsShiftJis, "C:\\\x95\x5C\\",
                      "C:\\\x95\x5C\\"},
        SeparatorCase{"WindowsForwardSlashIsNoSeparator", kWindowsShiftJis, "C:/x/", "C:/x/\\"},
        SeparatorCase{"WindowsDriveOnly", kWindowsShiftJis, "C:", "C:\\"},
        SeparatorCase{"PosixFolder", kPosixUtf8, "/home/u/Music", "/home/u/Music/"},
        SeparatorCase{"PosixRoot", kPosixUtf8, "/", "/"},
        SeparatorCase{"PosixEmpty", kPosixUtf8, "", ""},
        SeparatorCase{"PosixEndsInKanji", kPosixUtf8, "/\xE8\xA1\xA8", "/\xE8\xA1\xA8/"},
        SeparatorCase{"PosixBackslashIsNoSeparator", kPosixUtf8, "/a\\", "/a\\/"},
        // A Linux file name may end in a stray Shift-JIS lead byte: the separator after
        // it is still one.
        SeparatorCase{"PosixShiftJisStrayLeadThenSeparator", kPosixShiftJis, "/a\x83/", "/a\x83/"}),
    [](const testing::TestParamInfo<SeparatorCase>& info) { return info.param.name; });

struct SplitCase {
  const char* name;
  PathRules rules;
  std::string path;
  std::string folder;
  std::string fileName;
};

class PathSplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(PathSplitTest, SplitsAtTheLastSeparatorCharacter) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(FolderPart(c.path, c.rules), c.folder);
  EXPECT_EQ(FileNamePart(c.path, c.rules), c.fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, PathSplitTest,
    testing::Values(
        SplitCase{"WindowsFullPath", kWindowsShiftJis, "C:\\rec\\a.b.wav", "C:\\rec\\", "a.b.wav"},
        SplitCase{"WindowsDriveRelative", kWindowsShiftJis, "C:a.wav", "C:", "a.wav"},
        SplitCase{"WindowsNoFolder", kWindowsShiftJis, "a.wav", "", "a.wav"},
        SplitCase{"WindowsNameEndsInHyou", kWindowsShiftJis, "C:\\\x95\x5C", "C:\\", "\x95\x5C"},
        SplitCase{"WindowsFolderEndsInHyou", kWindowsShiftJis, "C:\\\x95\x5C\\x.wav",
                  "C:\\\x95\x5C\\", "x.wav"},
        SplitCase{"PosixFullPath", kPosixUtf8, "/home/u/a.b.wav", "/home/u/", "a.b.wav"},
        SplitCase{"PosixNoFolder", kPosixUtf8, "a.wav", "", "a.wav"},
        SplitCase{"PosixFolderOnly", kPosixUtf8, "/x/", "/x/", ""},
        SplitCase{"PosixColonIsPartOfName", kPosixUtf8, "/d/C:a", "/d/", "C:a"},
        SplitCase{"PosixShiftJisStrayLeadBeforeSeparator", kPosixShiftJis, "/d\x83/a.wav",
                  "/d\x83/", "a.wav"}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

}  // namespace
}  // namespace lumio
