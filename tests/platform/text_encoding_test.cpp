#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

struct EncodingCase {
  const char* name;
  std::string bytes;
  bool validUtf8;
  std::string fromUnknown;  // Utf8OrCp932ToUtf8
};

TEST(TextEncoding, KeepsUtf8AndConvertsEverythingElseToValidUtf8) {
  const EncodingCase cases[] = {
      {"Ascii", "Title 1", true, "Title 1"},
      {"Japanese", "夜の歌", true, "夜の歌"},
      {"FourByte", "\xF0\x9F\x8E\xB5", true, "\xF0\x9F\x8E\xB5"},
      {"ShiftJis", "\x96\xE9\x82\xCC\x89\xCC", false, "夜の歌"},
      {"ShiftJisWithTrailBackslash", "\x95\x5C", false, "表"},
      {"HalfWidthKatakana", "\xB1", false, "ｱ"},
      {"OverlongSlashIsTwoKatakana", "\xC0\xAF", false, "ﾀｯ"},
      {"Surrogate", "\xED\xA0\x80", false, "恝\xEF\xBF\xBD"},
      {"CutLeadByteAtTheEnd", "a\x82", false, "a\xEF\xBF\xBD"},
  };
  for (const EncodingCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsValidUtf8(c.bytes), c.validUtf8);
    const std::string converted = Utf8OrCp932ToUtf8(c.bytes);
    EXPECT_EQ(converted, c.fromUnknown);
    EXPECT_TRUE(IsValidUtf8(converted));
    EXPECT_TRUE(IsValidUtf8(ToValidUtf8(c.bytes)));
  }
  EXPECT_EQ(ToValidUtf8("a\xFF"
                        "b"),
            "a\xEF\xBF\xBD"
            "b");
}

}  // namespace
}  // namespace lumio
