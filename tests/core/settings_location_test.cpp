#include "core/settings_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temporary_folder.h"

namespace lumio {
namespace {

namespace fs = std::filesystem;

struct BesideCase {
  const char* name;
  PathRules rules;
  std::string program;
  std::string expected;
};

class SettingsPathBesideProgramTest : public testing::TestWithParam<BesideCase> {};

TEST_P(SettingsPathBesideProgramTest, ReplacesExtensionAndLowersSingleByteLetters) {
  const BesideCase& c = GetParam();
  EXPECT_EQ(SettingsPathBesideProgram(c.program, c.rules), c.expected);
}

constexpr PathRules kWindowsShiftJis{PathStyle::Windows, CodePage::ShiftJis};
constexpr PathRules kPosixUtf8{PathStyle::Posix, CodePage::Utf8};

INSTANTIATE_TEST_SUITE_P(
    Styles, SettingsPathBesideProgramTest,
    testing::Values(BesideCase{"WindowsProgram", kWindowsShiftJis, "D:\\Tools\\Lumio.exe",
                               "d:\\tools\\lumio.ini"},
                    BesideCase{"WindowsNoExtension", kWindowsShiftJis, "D:\\Tools\\Lumio",
                               "d:\\tools\\lumio.ini"},
                    BesideCase{"WindowsDotInFolderOnly", kWindowsShiftJis, "D:\\A.B\\Prog",
                               "d:\\a.b\\prog.ini"},
                    BesideCase{"WindowsLastDotStartsExtension", kWindowsShiftJis, "D:\\x.Tar.EXE",
                               "d:\\x.tar.ini"},
                    // ア is 0x83 0x41: its trail byte looks like 'A' and must stay.
                    BesideCase{"WindowsKanaKeepsTrailByte", kWindowsShiftJis,
                               "D:\\\x83\x41\\Lumio.exe", "d:\\\x83\x41\\lumio.ini"},
                    BesideCase{"PosixProgram", kPosixUtf8, "/opt/Lumio/Lumio",
                               "/opt/lumio/lumio.ini"}),
    [](const testing::TestParamInfo<BesideCase>& info) { return info.param.name; });

class SettingsFilePathForTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fs::create_directories(root_ + "/Bin")); }

  const test::TemporaryFolder folder_;
  const std::string root_ = folder_.Path();
};

TEST_F(SettingsFilePathForTest, PrefersPortableFileThenConfigFolder) {
  const std::string program = root_ + "/Bin/Lumio";
  struct Case {
    const char* name;
    std::string xdgConfigHome;
    std::string home;
    std::string expected;
  };
  const Case cases[] = {
      {"AbsoluteXdg", "/xdg", "/home/u", "/xdg/lumio/lumio.ini"},
      {"XdgWithTrailingSlash", "/xdg/", "/home/u", "/xdg/lumio/lumio.ini"},
      {"EmptyXdgMeansHomeConfig", "", "/home/u", "/home/u/.config/lumio/lumio.ini"},
      {"RelativeXdgIgnored", "cfg", "/home/u", "/home/u/.config/lumio/lumio.ini"},
      {"NoHomeFallsBackBesideProgram", "", "", root_ + "/Bin/lumio.ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SettingsFilePathFor({program, c.xdgConfigHome, c.home}), c.expected) << c.name;
  }

  // A lower-case file beside the program wins; the folder keeps its capital letter.
  std::ofstream(root_ + "/Bin/lumio.ini") << "[General]\r\n";
  EXPECT_EQ(SettingsFilePathFor({program, "/xdg", "/home/u"}), root_ + "/Bin/lumio.ini");
}

}  // namespace
}  // namespace lumio
