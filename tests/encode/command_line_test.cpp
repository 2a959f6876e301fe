#include "encode/child/command_line.h"

#include <gtest/gtest.h>

#include <QFile>
#include <fstream>
#include <random>

#include "encode/child/command_line_split.h"
#include "support/scoped_environment.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

constexpr PathRules WindowsRules{PathStyle::Windows, CodePage::Utf8};
constexpr PathRules PosixRules{PathStyle::Posix, CodePage::Utf8};

// A store with no file behind it, filled by the test.
SettingsStore EmptyStore(const test::TemporaryFolder& dir) {
  return SettingsStore(dir.PathOf("lumio.ini"));
}

TEST(BuildOptionText, FollowsUseOptionAndRanges) {
  struct Case {
    int useOption, maximum, nominal, minimum, quality;
    const char* expected;
  };
  const Case cases[] = {
      {1, 12, 12, 12, 50, " -M 352 -b 352 -m 352"},
      {1, 1, 0, 0, 50, " -M 64"},
      {1, 0, 0, 2, 50, " -m 80"},
      {1, 0, 5, 2, 50, " -b 128 -m 80"},
      {1, 13, 0, -1, 50, ""},
      {2, 12, 12, 12, 0, " -q 0.0"},
      {2, 0, 0, 0, 35, " -q 3.5"},
      {2, 0, 0, 0, 100, " -q 10.0"},
      {2, 0, 0, 0, 101, ""},
      {2, 0, 0, 0, -1, ""},
      {3, 12, 12, 12, 50, ""},
      {7, 12, 12, 12, 50, ""},
  };
  const test::TemporaryFolder dir;
  for (const Case& c : cases) {
    SettingsStore store = EmptyStore(dir);
    store.WriteInteger("EncodeOption", "UseOption", c.useOption);
    store.WriteInteger("EncodeOption", "MaximumBitrate", c.maximum);
    store.WriteInteger("EncodeOption", "NominalBitrate", c.nominal);
    store.WriteInteger("EncodeOption", "MinimumBitrate", c.minimum);
    store.WriteInteger("EncodeOption", "Quality", c.quality);
    EXPECT_EQ(BuildOptionText(store), c.expected) << c.useOption << " " << c.quality;
  }
  EXPECT_EQ(BuildOptionText(EmptyStore(dir)), "");
  // The encoder is given no quality that was never saved, whatever the setup window shows.
  SettingsStore qualityNeverSaved = EmptyStore(dir);
  qualityNeverSaved.WriteInteger("EncodeOption", "UseOption", 2);
  EXPECT_EQ(BuildOptionText(qualityNeverSaved), " -q 0.0");
}

// For Ogg Opus the Vorbis options stay in the file and opusenc gets its own.
TEST(BuildOptionText, GivesOpusencItsBitrateAndMode) {
  struct Case {
    const char* bitrate;  // nullptr: not stored
    const char* mode;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, " --bitrate 128 --vbr"},
      {"96", "1", " --bitrate 96 --cvbr"},
      {"6", "2", " --bitrate 6 --hard-cbr"},
      {"256", "7", " --bitrate 256 --vbr"},
      {"257", "0", " --vbr"},
      {"5", "0", " --vbr"},
  };
  const test::TemporaryFolder dir;
  for (const Case& c : cases) {
    SettingsStore store = EmptyStore(dir);
    store.WriteInteger("EncodeOption", "UseOption", 2);
    store.WriteInteger("Options", "OutputFormat", 1);
    if (c.bitrate != nullptr) store.WriteString("Options", "OpusBitrate", c.bitrate);
    if (c.mode != nullptr) store.WriteString("Options", "OpusMode", c.mode);
    EXPECT_EQ(BuildOptionText(store), c.expected) << c.expected;
  }
}

// opusenc takes each tag as an argument of its own after its long option, the input
// before the output, and discards what it would copy from the source itself.
TEST(BuildEncoderArguments, GivesOpusencItsOwnOptionsInItsOrder) {
  const std::string tooLong(kLongestTagArgument, 'a');
  EXPECT_EQ(BuildEncoderArguments("/usr/bin/opusenc", " --bitrate 96 --vbr", "題", tooLong, "盤",
                                  "2001", "3", "x\r\ny", ".lumio-1", "/m/a.flac", CodePage::Utf8,
                                  OutputFormat::Opus),
            (std::vector<std::string>{"/usr/bin/opusenc", "--bitrate", "96", "--vbr",
                                      "--discard-comments", "--discard-pictures", "--title", "題",
                                      "--album", "盤", "--date", "2001", "--tracknumber", "3",
                                      "--comment", "comment=x\ny", "/m/a.flac", ".lumio-1"}));
}

TEST(EscapeQuotes, EscapesQuotesAndBackslashRunsBeforeThem) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"\"", "\\\""},
      {"Blue \"Moon\"", "Blue \\\"Moon\\\""},
      {"a\\b\\\\c", "a\\b\\\\c"},  // backslashes inside the text stay single
      {"end\\", "end\\\\"},        // the closing quote follows
      {"a\\\\\"b", "a\\\\\\\\\\\"b"},
      {"line1\r\nline2 \t漢字", "line1\r\nline2 \t漢字"},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(EscapeQuotes(text, CodePage::Utf8), expected);
}

TEST(EscapeQuotes, ShiftJisTrailByteIsNoBackslash) {
  const std::string so = "\x83\x5c";  // a Shift-JIS character whose second byte is 0x5C
  EXPECT_EQ(EscapeQuotes(so, CodePage::ShiftJis), so);
  EXPECT_EQ(EscapeQuotes(so + "\"", CodePage::ShiftJis), so + "\\\"");
  // After a stray lead byte a backslash would pair with it; a doubled quote cannot.
  EXPECT_EQ(EscapeQuotes("\x83\"", CodePage::ShiftJis), "\x83\"\"");
}

// The documented command line of a job, and the argument vector the encoder is given:
// the same arguments, which the text splits back into by the Windows rules.
TEST(BuildCommandLine, GivesTheWorkedExampleAndLeavesOutEmptyTags) {
  const struct {
    std::string encoder, options, title, artist, album, date, track, comment, output, input;
    std::string line;
  } rows[] = {
      {"C:\\Audio\\Tools\\oggenc.exe", " -b 128 -m 80", "Blue \"Moon\"", "Trio", "", "2001", "3",
       "", "blue.ogg", "C:\\Wave\\blue.wav",
       "\"C:\\Audio\\Tools\\oggenc.exe\" -b 128 -m 80 -t\"Blue \\\"Moon\\\"\" -a\"Trio\" "
       "-d\"2001\" -N\"3\" -o\"blue.ogg\" \"C:\\Wave\\blue.wav\""},
      {"enc", "", "", "", "", "", "", "", "a.ogg", "a.wav", "\"enc\" -o\"a.ogg\" \"a.wav\""},
      {"enc", " -q 3.5", " ", "", "Al", "", "", "x\r\ny", "a\"b.ogg", "/w/",
       "\"enc\" -q 3.5 -t\" \" -l\"Al\" -c\"comment=x\ny\" -o\"a\\\"b.ogg\" \"/w/\""},
      // FLAC inputs, whatever the case of the extension, keep only the tags given here.
      {"enc", " -q 3.0", "T", "", "", "", "", "", "a.ogg", "/m/a.FLAC",
       "\"enc\" -q 3.0 --discard-comments -t\"T\" -o\"a.ogg\" \"/m/a.FLAC\""},
      {"enc", "", "", "", "", "", "", "", "a.ogg", "/m.flac/a.aiff",
       "\"enc\" -o\"a.ogg\" \"/m.flac/a.aiff\""},
      // Names that are no UTF-8 (Latin-1 and Shift-JIS bytes) pass as the bytes they are.
      {"/opt/b\xe9n/oggenc", "", "lat\xe9in", "", "", "", "", "", "\x83\x5c\x8c\xea.ogg",
       "/m/\x89\xb9\x8a\x79/lat\xe9in.wav",
       "\"/opt/b\xe9n/oggenc\" -t\"lat\xe9in\" -o\"\x83\x5c\x8c\xea.ogg\" "
       "\"/m/\x89\xb9\x8a\x79/lat\xe9in.wav\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(BuildCommandLine(row.encoder, row.options, row.title, row.artist, row.album, row.date,
                               row.track, row.comment, row.output, row.input, CodePage::Utf8),
              row.line);
    EXPECT_EQ(
        BuildEncoderArguments(row.encoder, row.options, row.title, row.artist, row.album, row.date,
                              row.track, row.comment, row.output, row.input, CodePage::Utf8),
        SplitCommandLine(row.line));
  }
}

// A tag too long for one argument is left off the vector, and only there: the text keeps
// it, and it goes to the comment writer whole, named as the encoder names it.
TEST(BuildEncoderArguments, LeavesTagsTooLongForOneArgumentToTheCommentWriter) {
  const std::string fits(kLongestTagArgument - 2, 't');
  const std::string tooLong(kLongestTagArgument - 1, 'a');
  const std::string comment = "x\r\n" + std::string(200000, 'c');
  EXPECT_EQ(BuildEncoderArguments("enc", " -q 3.0", fits, tooLong, "", "", "1", comment, "a.ogg",
                                  "a.wav", CodePage::Utf8),
            (std::vector<std::string>{"enc", "-q", "3.0", "-t" + fits, "-N1", "-oa.ogg", "a.wav"}));
  EXPECT_EQ(TagsTooLongForArguments(fits, tooLong, "", "", "1", comment),
            (std::vector<CommentField>{{"artist", tooLong},
                                       {"comment", "x\n" + std::string(200000, 'c')}}));
  EXPECT_EQ(TagsTooLongForArguments(fits, "", "", "", "", ""), std::vector<CommentField>{});
  EXPECT_NE(
      BuildCommandLine("enc", "", fits, tooLong, "", "", "", "", "a.ogg", "a.wav", CodePage::Utf8)
          .find("-a\"" + tooLong + "\""),
      std::string::npos);
}

// The records keep the memo's CR LF line breaks; the Vorbis comment gets line feeds.
TEST(BuildCommandLine, PassesCommentLineBreaksAsLineFeeds) {
  const std::pair<const char*, const char*> cases[] = {
      {"a\r\nb\r\n", "a\nb\n"},
      {"a\nb", "a\nb"},
      {"a\rb\r", "a\rb\r"},  // a CR without LF is text, kept
      {"\r\n", "\n"},
  };
  for (const auto& [comment, passed] : cases) {
    EXPECT_EQ(
        BuildCommandLine("enc", "", "", "", "", "", "", comment, "a.ogg", "a.wav", CodePage::Utf8),
        std::string("\"enc\" -c\"comment=") + passed + "\" -o\"a.ogg\" \"a.wav\"")
        << comment;
  }
}

std::string LineFeedsOnly(std::string text) {
  for (std::size_t pos; (pos = text.find("\r\n")) != std::string::npos;) text.erase(pos, 1);
  return text;
}

// Whatever the tags hold, the encoder must receive each one back as a single
// argument, in either code page.
TEST(BuildCommandLine, SplitsBackIntoExactlyTheJobsArguments) {
  const std::vector<std::string> utf8Pieces = {"\"", "\\", " ", "\t", "\r\n", "漢", "字", "a", "Z"};
  // \x83\x5C is one Shift-JIS character whose second byte is a backslash's; a lone \x83
  // (a stray lead byte, as a Linux file name may hold) must not swallow what follows.
  const std::vector<std::string> shiftJisPieces = {"\"",       "\\",       " ", "\t",  "\r\n",
                                                   "\x83\x5C", "\x8A\xBF", "a", "\x83"};
  std::mt19937 random(20261207);
  std::vector<std::string> pieces;
  auto text = [&](std::size_t minLength) {
    std::string result;
    const std::size_t length = minLength + random() % 10;
    for (std::size_t i = 0; i < length; ++i) result += pieces[random() % pieces.size()];
    return result;
  };
  const char* options[] = {"-t", "-a", "-l", "-d", "-N", "-c"};
  for (int round = 0; round < 4000; ++round) {
    const CodePage codePage = round % 2 == 0 ? CodePage::Utf8 : CodePage::ShiftJis;
    pieces = codePage == CodePage::Utf8 ? utf8Pieces : shiftJisPieces;
    std::string tags[6];
    for (std::string& tag : tags) tag = random() % 4 == 0 ? "" : text(1);
    const std::string output = text(1), input = text(1);
    const std::string line =
        BuildCommandLine("/usr/bin/oggenc", " -b 128 -m 80", tags[0], tags[1], tags[2], tags[3],
                         tags[4], tags[5], output, input, codePage);
    std::vector<std::string> expected{"/usr/bin/oggenc", "-b", "128", "-m", "80"};
    for (int i = 0; i < 6; ++i) {
      if (!tags[i].empty())
        expected.push_back(std::string(options[i]) +
                           (i == 5 ? "comment=" + LineFeedsOnly(tags[i]) : tags[i]));
    }
    expected.push_back("-o" + output);
    expected.push_back(input);
    ASSERT_EQ(SplitCommandLine(line, codePage), expected) << line;
    ASSERT_EQ(BuildEncoderArguments("/usr/bin/oggenc", " -b 128 -m 80", tags[0], tags[1], tags[2],
                                    tags[3], tags[4], tags[5], output, input, codePage),
              expected);
  }
}

TEST(ResolveEncoderPath, TakesTheStoredPlaceOrTheProgramsFolder) {
  const test::TemporaryFolder dir;
  SettingsStore store = EmptyStore(dir);
  EXPECT_EQ(ResolveEncoderPath(store, "C:\\Tools\\App\\", WindowsRules),
            "C:\\Tools\\App\\oggenc.exe");
  EXPECT_EQ(ResolveEncoderPath(store, "C:\\Tools\\App", WindowsRules),
            "C:\\Tools\\App\\oggenc.exe");
  store.WriteBool("Options", "SetEncoderPlace", true);
  EXPECT_EQ(ResolveEncoderPath(store, "C:\\Tools\\App\\", WindowsRules), "");
  store.WriteString("Options", "EncoderPlace", " /opt/enc dir/oggenc ");
  EXPECT_EQ(ResolveEncoderPath(store, "/x", PosixRules), " /opt/enc dir/oggenc ");
}

// An executable stand-in named like the encoder.
bool MakeEncoderFile(const std::string& path) {
  std::ofstream(path) << "#!/bin/sh\n";
  return QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner | QFile::ExeOwner);
}

TEST(ResolveEncoderPath, OnLinuxPrefersTheProgramsFolderThenSearchPath) {
  const test::TemporaryFolder programDir, emptyDir, pathDir;
  const std::string program = programDir.Path();
  const std::string onPath = pathDir.PathOf("oggenc");
  ASSERT_TRUE(MakeEncoderFile(onPath));
  test::ScopedEnvironment environment;
  SettingsStore store = EmptyStore(programDir);

  environment.Set("PATH", pathDir.Path());
  EXPECT_EQ(ResolveEncoderPath(store, program, PosixRules), onPath);
  environment.Set("PATH", emptyDir.Path());
  EXPECT_EQ(ResolveEncoderPath(store, program, PosixRules), program + "/oggenc");
  environment.Set("PATH", pathDir.Path());
  ASSERT_TRUE(MakeEncoderFile(program + "/oggenc"));
  EXPECT_EQ(ResolveEncoderPath(store, program + "/", PosixRules), program + "/oggenc");

  // opusenc is looked for the same way, whatever place is stored for oggenc.
  store.WriteInteger("Options", "OutputFormat", 1);
  store.WriteInteger("Options", "SetEncoderPlace", 1);
  store.WriteString("Options", "EncoderPlace", "/opt/oggenc");
  EXPECT_EQ(ResolveEncoderPath(store, program, PosixRules), program + "/opusenc");
  ASSERT_TRUE(MakeEncoderFile(pathDir.PathOf("opusenc")));
  EXPECT_EQ(ResolveEncoderPath(store, program, PosixRules), pathDir.PathOf("opusenc"));
}

}  // namespace
}  // namespace lumio
