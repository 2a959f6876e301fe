#include "core/settings_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temporary_folder.h"

namespace lumio {
namespace {

namespace fs = std::filesystem;

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
