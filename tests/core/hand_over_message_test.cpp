#include "core/hand_over_message.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>

namespace lumio {
namespace {

std::string Header(std::uint64_t length, std::string greeting = "lumio-paths\n") {
  for (int shift = 56; shift >= 0; shift -= 8) {
    greeting += static_cast<char>((length >> shift) & 0xFF);
  }
  return greeting;
}

TEST(HandOverMessage, PathsComeBackWithTheirExactBytesAndEmptyOnesDropped) {
  const std::vector<std::string> paths = {"/music/曲 1.flac", "/music/\xff\xfe latin-1.wav",
                                          "/music/a\nb", "", "/music/folder/"};
  const std::optional<std::string> message = EncodeHandOver(paths);
  ASSERT_TRUE(message);
  const std::string_view header = std::string_view(*message).substr(0, kHandOverHeaderSize);
  const std::string_view body = std::string_view(*message).substr(kHandOverHeaderSize);
  EXPECT_EQ(HandOverBodyLength(header), body.size());
  EXPECT_EQ(HandOverPaths(body),
            (std::vector<std::string>{paths[0], paths[1], paths[2], paths[4]}));
  EXPECT_EQ(HandOverPaths(""), std::vector<std::string>{});
}

TEST(HandOverMessage, HeadersBeyondTheLimitOrNotOursAreRefused) {
  struct Row {
    std::string header;
    std::optional<std::size_t> length;
  };
  const Row rows[] = {
      {Header(0), 0},
      {Header(kHandOverBodyLimit), kHandOverBodyLimit},
      {Header(kHandOverBodyLimit + 1), std::nullopt},
      {Header(UINT64_MAX), std::nullopt},
      {Header(std::uint64_t{1} << 32), std::nullopt},
      {Header(5, "lumio-Paths\n"), std::nullopt},
      {Header(5).substr(0, kHandOverHeaderSize - 1), std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(HandOverBodyLength(row.header), row.length) << testing::PrintToString(row.header);
  }
}

std::string Paths(std::size_t count, std::size_t bytes) {
  std::string body;
  for (std::size_t i = 0; i < count; ++i) {
    body += std::string(bytes, 'p');
    body += '\0';
  }
  return body;
}

long PeakMemoryKB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(HandOverMessage, BodiesEndWithTheirLastPathAndStayWithinTheLimits) {
  struct Row {
    std::string body;
    std::optional<std::size_t> paths;
  };
  const Row rows[] = {
      {std::string("/a\0/b", 5), std::nullopt},
      {std::string("/a\0\0", 4), 1},
      {std::string(kHandOverBodyLimit, '\0'), 0},
      {Paths(kHandOverPathLimit, 1), kHandOverPathLimit},
      {Paths(kHandOverPathLimit + 1, 1), std::nullopt},
      {Paths(kHandOverPathLimit, 1) + std::string(1000, '\0'), kHandOverPathLimit},
      {Paths(1, kHandOverPathBytesLimit), 1},
      {Paths(1, kHandOverPathBytesLimit + 1), std::nullopt},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const long peakBefore = PeakMemoryKB();
    const std::optional<std::vector<std::string>> paths = HandOverPaths(rows[i].body);
    // What a body becomes takes no more memory than the body itself, give or take.
    EXPECT_LT(PeakMemoryKB() - peakBefore, 32 * 1024);
    ASSERT_EQ(paths.has_value(), rows[i].paths.has_value());
    if (paths) {
      EXPECT_EQ(paths->size(), *rows[i].paths);
    }
  }
}

TEST(HandOverMessage, ListsBeyondTheLimitsAreNotEncoded) {
  struct Row {
    std::vector<std::string> paths;
    bool encoded;
  };
  const Row rows[] = {
      // Each path costs its bytes and the NUL that ends it.
      {std::vector<std::string>(16'384, std::string(kHandOverPathBytesLimit, 'a')), true},
      {std::vector<std::string>(16'385, std::string(kHandOverPathBytesLimit, 'a')), false},
      {{std::string(kHandOverPathBytesLimit + 1, 'a')}, false},
      {std::vector<std::string>(kHandOverPathLimit, "a"), true},
      {std::vector<std::string>(kHandOverPathLimit + 1, "a"), false},
      {std::vector<std::string>(kHandOverPathLimit + 1, ""), true},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(EncodeHandOver(rows[i].paths).has_value(), rows[i].encoded) << i;
  }
}

}  // namespace
}  // namespace lumio
