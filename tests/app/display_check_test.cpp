#include "app/display_check.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

struct DisplayCase {
  const char* name;
  std::vector<std::string> arguments;  // after the program's own name
  const char* qtPlatform;
  const char* display;
  const char* waylandDisplay;
  bool lacksDisplay;
};

class LacksDisplayTest : public testing::TestWithParam<DisplayCase> {};

TEST_P(LacksDisplayTest, OnlyANamedPlatformOrADisplayLetsQtTry) {
  const DisplayCase& c = GetParam();
  std::vector<std::string> arguments{"lumio"};
  arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
  EXPECT_EQ(LacksDisplay(arguments, c.qtPlatform, c.display, c.waylandDisplay), c.lacksDisplay);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, LacksDisplayTest,
    testing::Values(DisplayCase{"NothingSet", {}, "", "", "", true},
                    DisplayCase{"X11Display", {}, "", ":0", "", false},
                    DisplayCase{"WaylandDisplay", {}, "", "", "wayland-0", false},
                    DisplayCase{"PlatformInEnvironment", {}, "offscreen", "", "", false},
                    DisplayCase{"PlatformOption", {"-platform", "offscreen"}, "", "", "", false},
                    DisplayCase{"PlatformOptionWithValue", {"--platform=vnc"}, "", "", "", false},
                    DisplayCase{
                        "PathAfterDoubleDashIsNoOption", {"--", "-platform"}, "", "", "", true},
                    DisplayCase{"PathNamedLikeTheOption", {"-platformer.wav"}, "", "", "", true}),
    [](const testing::TestParamInfo<DisplayCase>& info) { return info.param.name; });

TEST(NoDisplayLineTest, IsOneLineInTheLocalesLanguage) {
  for (const bool japanese : {false, true}) {
    const std::string line = NoDisplayLine(japanese);
    EXPECT_TRUE(line.starts_with("lumio: "));
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_NE(line.find("lumio --batch "), std::string::npos);
  }
  EXPECT_NE(NoDisplayLine(true).find("ディスプレイ"), std::string::npos);
}

}  // namespace
}  // namespace lumio
