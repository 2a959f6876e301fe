#include "core/hand_over_message.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace lumio {
namespace {

std::string Header(std::uint64_t length, std::string greeting = "lumio-paths\n") {
  for (int shift = 56; shift >= 0; shift -= 8) {
    greeting += static_cast<char>((length >> shift) & 0xFF);
  }
  return greeting;
}

TEST(HandOverMessage, PathsComeBackWithTheirExactBytes) {
  const std::vector<std::string> paths = {"/music/曲 1.flac", "/music/\xff\xfe latin-1.wav",
                                          "/music/a\nb", "", "/music/folder/"};
  const std::optional<std::string> message = EncodeHandOver(paths);
  ASSERT_TRUE(message);
  const std::string_view header = std::string_view(*message).substr(0, kHandOverHeaderSize);
  const std::string_view body = std::string_view(*message).substr(kHandOverHeaderSize);
  EXPECT_EQ(HandOverBodyLength(header), body.size());
  EXPECT_EQ(HandOverPaths(body), paths);
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

TEST(HandOverMessage, BodiesEndWithTheirLastPath) {
  EXPECT_EQ(HandOverPaths(std::string("/a\0/b", 5)), std::nullopt);
  EXPECT_EQ(HandOverPaths(std::string("/a\0\0", 4)), (std::vector<std::string>{"/a", ""}));
}

TEST(HandOverMessage, ListsBeyondTheLimitAreNotEncoded) {
  // Each path costs its bytes and the NUL that ends it.
  EXPECT_TRUE(EncodeHandOver({std::string(kHandOverBodyLimit - 1, 'a')}));
  EXPECT_FALSE(EncodeHandOver({std::string(kHandOverBodyLimit - 1, 'a'), ""}));
}

}  // namespace
}  // namespace lumio
