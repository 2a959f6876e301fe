#include "core/tag_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumio {
namespace {

FileData Tags(std::string title, std::string artist, std::string album, std::string date,
              std::string track) {
  FileData record;
  record.Title = std::move(title);
  record.Artist = std::move(artist);
  record.Album = std::move(album);
  record.Date = std::move(date);
  record.TrackNumber = std::move(track);
  return record;
}

struct NameCase {
  const char* name;
  std::string pattern;
  FileData record;
  std::string sourceStem;
  std::string expected;
  CodePage codePage = CodePage::Utf8;
};

class NameFromTags : public testing::TestWithParam<NameCase> {};

// `expected` is the place below the output folder: the folders the pattern's '/' make,
// then the name; a pattern without '/' names the file alone.
TEST_P(NameFromTags, GivesANameTheBatchAccepts) {
  const NameCase& c = GetParam();
  const PatternPlace place = OutputPlaceFromTags(c.pattern, c.record, c.sourceStem, c.codePage);
  EXPECT_EQ(place.subfolder + place.fileName, c.expected);
  if (c.pattern.find('/') == std::string::npos) {
    EXPECT_EQ(OutputNameFromTags(c.pattern, c.record, c.sourceStem, c.codePage), c.expected);
  }
}

const FileData kSakura = Tags("さくら", "歌手", "春", "2026", "01");

INSTANTIATE_TEST_SUITE_P(
    TagPattern, NameFromTags,
    testing::Values(
        NameCase{"TrackAndTitle", "%n %t", kSakura, "track1", "01 さくら.ogg"},
        NameCase{"EveryPlaceholder", "%a-%b-%d-%n-%t-%f", kSakura, "src",
                 "歌手-春-2026-01-さくら-src.ogg"},
        NameCase{"PercentSign", "100%% %t", kSakura, "src", "100% さくら.ogg"},
        NameCase{"UnknownAndLonePercentStay", "%x %t %", kSakura, "src", "%x さくら %.ogg"},
        NameCase{"EmptyTitleGivesSourceName", "%n %t", Tags("", "", "", "", "3"), "夜.rec",
                 "3 夜.rec.ogg"},
        NameCase{"OtherEmptyTagsGiveNothing", "%a - %t", Tags("t", "", "", "", ""), "s", "- t.ogg"},
        NameCase{"RefusedCharactersBecomeUnderscores", "%t",
                 Tags("a\\b/c:d,e;f*g?h\"i<j>k|l", "", "", "", ""), "s",
                 "a_b_c_d_e_f_g_h_i_j_k_l.ogg"},
        NameCase{"ControlCharactersBecomeUnderscores", "%t", Tags("a\tb\nc", "", "", "", ""), "s",
                 "a_b_c.ogg"},
        NameCase{"BlanksAndDotsTrimmed", "%t", Tags(" .. x. y .", "", "", "", ""), "s", "x. y.ogg"},
        NameCase{"NothingLeftGivesSourceName", "%a", Tags("t", "", "", "", ""), " song ",
                 "song.ogg"},
        NameCase{"EmptyPattern", "", kSakura, "song", "song.ogg"},
        // 255 bytes at most: the cut falls inside あ and takes it out whole.
        NameCase{"LongNameCutAtACharacter", "%t",
                 Tags(std::string(250, 'x') + "あい", "", "", "", ""), "s",
                 std::string(250, 'x') + ".ogg"},
        // A Shift-JIS character whose second byte is 0x5C or 0x7C stays whole.
        NameCase{"ShiftJisTrailBytesAreNoSeparators", "%t",
                 Tags("\x95\x5C\x83\x7C\\", "", "", "", ""), "s", "\x95\x5C\x83\x7C_.ogg",
                 CodePage::ShiftJis},
        NameCase{"SlashesMakeFolders", "%a/%b/%n %t", kSakura, "s", "歌手/春/01 さくら.ogg"},
        NameCase{"EmptyTagGivesUnderscoreFolder", "%a/%b - %d/%t", Tags("t", "", "", "", ""), "s",
                 "_/_ - _/t.ogg"},
        NameCase{"FolderOfDotsIsNoParent", "%a/x/%t", Tags("t", "..", "", "", ""), "s",
                 "_/x/t.ogg"},
        NameCase{"EmptyFolderPartGivesUnderscore", "/%b//%t", Tags("t", "", "b", "", ""), "s",
                 "_/b/_/t.ogg"},
        NameCase{"SlashInATagMakesNoFolder", "%a/%t", Tags("1/2", "AC/DC", "", "", ""), "s",
                 "AC_DC/1_2.ogg"},
        NameCase{"FolderPartMadeSafe", " %b: live ./%t", Tags("t", "", "a;b", "", ""), "s",
                 "a_b_ live/t.ogg"}),
    [](const auto& info) { return info.param.name; });

struct MatchCase {
  const char* name;
  std::string pattern;
  std::string sourceStem;
  std::optional<MatchedTags> expected;
  CodePage codePage = CodePage::Utf8;
};

class TagsFromName : public testing::TestWithParam<MatchCase> {};

TEST_P(TagsFromName, FillsThePatternsTagsOrNone) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(MatchTagPattern(c.pattern, c.sourceStem, c.codePage), c.expected);
}

using T = TagField;

INSTANTIATE_TEST_SUITE_P(
    TagPattern, TagsFromName,
    testing::Values(
        MatchCase{"TrackSpaceTitle", "%n %t", "01 さくら",
                  MatchedTags{{T::TrackNumber, "01"}, {T::Title, "さくら"}}},
        MatchCase{"TitleKeepsLaterSeparators", "%n - %t", "01 - 春 - 夏",
                  MatchedTags{{T::TrackNumber, "01"}, {T::Title, "春 - 夏"}}},
        MatchCase{"EarlierPlaceholderTakesTheShortestRun", "%n - %a - %t", "07 - 歌手 - 春 - 夏",
                  MatchedTags{{T::TrackNumber, "07"}, {T::Artist, "歌手"}, {T::Title, "春 - 夏"}}},
        MatchCase{"TrackTakesEveryDigit", "%n%t", "12さくら",
                  MatchedTags{{T::TrackNumber, "12"}, {T::Title, "さくら"}}},
        MatchCase{"BlanksAroundATagDropped", "%n-%t", "3-  x ",
                  MatchedTags{{T::TrackNumber, "3"}, {T::Title, "x"}}},
        MatchCase{"AlbumAndDate", "%b (%d)", "春 (2026)",
                  MatchedTags{{T::Album, "春"}, {T::Date, "2026"}}},
        MatchCase{"SourceNamePlaceholderFillsNothing", "%f_%t", "rec_さくら",
                  MatchedTags{{T::Title, "さくら"}}},
        MatchCase{"PercentSignIsLiteral", "%t 100%%", "x 100%", MatchedTags{{T::Title, "x"}}},
        MatchCase{"TrackMustBeDigits", "%n %t", "A1 さくら", std::nullopt},
        MatchCase{"MissingSeparator", "%n - %t", "01 さくら", std::nullopt},
        MatchCase{"LiteralMustMatchExactly", "Disc %n", "disc 1", std::nullopt},
        MatchCase{"PlaceholderNeedsACharacter", "%n %t", "01 ", std::nullopt},
        MatchCase{"TrailingTextMustBeUsedUp", "%n", "01a", std::nullopt},
        MatchCase{"ManyPlaceholdersFailFast", "%t%a%b%d%f.", std::string(250, ' '), std::nullopt},
        // The second byte of 表 (0x95 0x5C) is no backslash.
        MatchCase{"ShiftJisTrailByteIsNoLiteral", "%t\\%a", "\x95\x5C\\x",
                  MatchedTags{{T::Title, "\x95\x5C"}, {T::Artist, "x"}}, CodePage::ShiftJis}),
    [](const auto& info) { return info.param.name; });

TEST(TrackNumbers, PadToTwoDigitsFromTenEntries) {
  EXPECT_EQ(TrackNumbers(0), std::vector<std::string>{});
  EXPECT_EQ(TrackNumbers(3), (std::vector<std::string>{"1", "2", "3"}));
  const std::vector<std::string> ten = TrackNumbers(10);
  EXPECT_EQ(ten.front(), "01");
  EXPECT_EQ(ten.back(), "10");
  EXPECT_EQ(TrackNumbers(100)[8], "09");
  EXPECT_EQ(TrackNumbers(100)[99], "100");
}

}  // namespace
}  // namespace lumio
