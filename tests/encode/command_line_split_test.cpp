#include "encode/child/command_line_split.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

using Arguments = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheRuntimesQuotingRules) {
  const std::string program = "\"C:\\Program Files\\enc.exe\" ";
  const std::pair<std::string, Arguments> cases[] = {
      {R"("a b c" d e)", {"a b c", "d", "e"}},
      {R"("ab\"c" "\\" d)", {"ab\"c", "\\", "d"}},
      {R"(a\\\b d"e f"g h)", {"a\\\\\\b", "de fg", "h"}},
      {R"(a\\\"b c d)", {"a\\\"b", "c", "d"}},
      {R"(a\\\\"b c" d e)", {"a\\\\b c", "d", "e"}},
      {"  a\t\tb  ", {"a", "b"}},
      {"\"\" x", {"", "x"}},
      {R"("a""b" c)", {"a\"b", "c"}},
      {R"(a""b)", {"ab"}},
      {"\"x\r\ny z", {"x\r\ny z"}},  // an unclosed quote runs to the end
      {"", {}},
  };
  for (const auto& [rest, expected] : cases) {
    Arguments withProgram{"C:\\Program Files\\enc.exe"};
    withProgram.insert(withProgram.end(), expected.begin(), expected.end());
    EXPECT_EQ(SplitCommandLine(program + rest), withProgram) << rest;
  }
}

TEST(SplitCommandLine, ProgramPathKnowsNoEscapes) {
  const std::pair<std::string, Arguments> cases[] = {
      {R"("C:\dir\" x)", {"C:\\dir\\", "x"}},
      {R"(C:\a\b.exe "y")", {"C:\\a\\b.exe", "y"}},
      {R"("/opt/a b"c d)", {"/opt/a bc", "d"}},
      {"", {}},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(SplitCommandLine(line), expected) << line;
}

}  // namespace
}  // namespace lumio
