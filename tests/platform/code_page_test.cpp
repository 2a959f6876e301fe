#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace lumio {
namespace {

struct LengthCase {
  const char* name;
  CodePage codePage;
  std::string text;
  std::size_t pos;
  std::size_t expected;
};

class CharacterLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(CharacterLengthTest, StepsWholeCharactersAndNeverPastTheEnd) {
  const LengthCase& c = GetParam();
  EXPECT_EQ(CharacterLength(c.text, c.pos, c.codePage), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, CharacterLengthTest,
    testing::Values(LengthCase{"Utf8Ascii", CodePage::Utf8, "a", 0, 1},
                    LengthCase{"Utf8ThreeBytes", CodePage::Utf8, "\xE6\x9B\xB2", 0, 3},
                    LengthCase{"Utf8TruncatedAtEnd", CodePage::Utf8, "\xE6\x9B", 0, 1},
                    LengthCase{"Utf8LeadBeforeSeparator", CodePage::Utf8, "\xE6/x", 0, 1},
                    LengthCase{"Utf8InvalidLead", CodePage::Utf8, "\xFF\x80", 0, 1},
                    LengthCase{"ShiftJisKanjiWithBackslashTrail", CodePage::ShiftJis, "\x95\x5C", 0,
                               2},
                    LengthCase{"ShiftJisHalfWidthKana", CodePage::ShiftJis, "\xB1", 0, 1},
                    LengthCase{"ShiftJisLeadAtEnd", CodePage::ShiftJis, "a\x95", 1, 1},
                    // A stray lead byte never swallows a quote or separator after it.
                    LengthCase{"ShiftJisLeadBeforeQuote", CodePage::ShiftJis, "\x83\"", 0, 1},
                    LengthCase{"ShiftJisLeadBeforeSlash", CodePage::ShiftJis, "\x83/x", 0, 1},
                    LengthCase{"ShiftJisLeadBeforeBlank", CodePage::ShiftJis, "\x83 ", 0, 1},
                    LengthCase{"PastTheEnd", CodePage::ShiftJis, "a", 5, 1}),
    [](const testing::TestParamInfo<LengthCase>& info) { return info.param.name; });

// "表\" in Shift-JIS: the kanji's trail byte is 0x5C, only the last byte is a backslash.
const std::string kShiftJisHyouThenBackslash = "\x95\x5C\\";

TEST(FindCharacterTest, SkipsTrailByteThatLooksLikeTheCharacter) {
  EXPECT_EQ(FindCharacter(kShiftJisHyouThenBackslash, '\\', CodePage::ShiftJis), 2u);
  EXPECT_EQ(FindCharacter("\x95\x5C", '\\', CodePage::ShiftJis), std::string::npos);
  EXPECT_EQ(FindCharacter("a.b.c", '.', CodePage::Utf8, 2), 3u);
}

TEST(FindLastCharacterTest, FindsTheLastWholeCharacterOfTheSet) {
  EXPECT_EQ(FindLastCharacter("C:\\\x95\x5C", "\\:", CodePage::ShiftJis), 2u);
  EXPECT_EQ(FindLastCharacter("C:\x95\x5C", "\\:", CodePage::ShiftJis), 1u);
  EXPECT_EQ(FindLastCharacter("\x95\x5C", "\\", CodePage::ShiftJis), std::string::npos);
  // The same bytes in UTF-8 are a stray byte and a real backslash.
  EXPECT_EQ(FindLastCharacter("\x95\x5C", "\\", CodePage::Utf8), 1u);
  EXPECT_EQ(FindLastCharacter("", "/", CodePage::Utf8), std::string::npos);
  // After a stray UTF-8 lead byte, and among whole characters, a separator is still one.
  EXPECT_EQ(FindLastCharacter("a/\xE3/b", "/", CodePage::Utf8), 3u);
  EXPECT_EQ(FindLastCharacter("曲/名.wav", ".", CodePage::Utf8), 7u);
  EXPECT_EQ(FindCharacter("\xE3/b", '/', CodePage::Utf8), 1u);
}

}  // namespace
}  // namespace lumio
