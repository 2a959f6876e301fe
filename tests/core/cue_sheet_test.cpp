#include "core/cue_sheet.h"

#include <gtest/gtest.h>

#include <string>

namespace lumio {
namespace {

// A sheet in one line of text, so that each row states what it expects at a glance:
// disc fields, then FILE name[type] entries, then each track as
// "#number(data)@file:start title/performer/date/genre/comment".
std::string Outline(const CueSheet& sheet) {
  const auto fields = [](const CueFields& f) {
    return f.title + "/" + f.performer + "/" + f.date + "/" + f.genre + "/" + f.comment;
  };
  std::string text = fields(sheet.disc);
  for (const CueFile& file : sheet.files) text += " " + file.name + "[" + file.type + "]";
  for (const CueTrack& track : sheet.tracks) {
    text += " #" + std::to_string(track.number) + (track.audio ? "" : "(data)") + "@" +
            std::to_string(track.file) + ":" +
            (track.start ? std::to_string(*track.start) : std::string("-")) + " " +
            fields(track.fields);
  }
  return text;
}

TEST(CueSheet, ReadsFieldsFilesTracksAndPositions) {
  const std::string cp932Title = "\x83\x41\x83\x8B\x83\x6F\x83\x80";  // アルバム
  const struct {
    const char* name;
    std::string bytes;
    std::string outline;
  } cases[] = {
      {"UTF-8 with BOM, CR LF",
       "\xEF\xBB\xBFPERFORMER \"歌手\"\r\nTITLE \"アルバム\"\r\nFILE \"a.wav\" WAVE\r\n"
       "  TRACK 01 AUDIO\r\n    TITLE \"一\"\r\n    INDEX 01 00:00:00\r\n",
       "アルバム/歌手/// a.wav[WAVE] #1@0:0 一////"},
      {"CP932 without BOM, LF",
       "TITLE \"" + cp932Title + "\"\nFILE \"" + cp932Title + ".wav\" WAVE\nTRACK 01 AUDIO\n" +
           "INDEX 01 00:01:00\n",
       "アルバム//// アルバム.wav[WAVE] #1@0:75 ////"},
      {"lone CR ends lines, lower-case commands",
       "file a.flac flac\rtrack 1 audio\rtitle x\rindex 01 00:00:01\r",
       "//// a.flac[flac] #1@0:1 x////"},
      {"unquoted name with blanks, its type last",
       "FILE My Disc 1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
       "//// My Disc 1.wav[WAVE] #1@0:0 ////"},
      {"closing quote missing: the value runs to the line's end",
       "TITLE \"Open ended\nFILE \"x.wav\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
       "Open ended//// x.wav[] #1@0:0 ////"},
      {"REM fields at disc and track level; the track's own win",
       "REM GENRE \"J-Pop\"\nREM DATE 2001\nREM COMMENT \"ripped\"\nREM DISCID 12345\n"
       "FILE a.wav WAVE\nTRACK 01 AUDIO\nREM DATE 1999\nREM GENRE Rock\nINDEX 01 00:00:00\n",
       "//2001/J-Pop/ripped a.wav[WAVE] #1@0:0 //1999/Rock/"},
      {"pregap: INDEX 00 is no start",
       "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
       "INDEX 00 00:10:00\nINDEX 01 00:12:00\nINDEX 02 00:20:00\n",
       "//// a.wav[WAVE] #1@0:0 //// #2@0:900 ////"},
      {"several FILEs: a track belongs to the file of its INDEX 01",
       "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
       "INDEX 00 00:50:00\nFILE b.wav WAVE\nINDEX 01 00:00:00\n",
       "//// a.wav[WAVE] b.wav[WAVE] #1@0:0 //// #2@1:0 ////"},
      {"bad positions leave the track without a start",
       "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00\nTRACK 02 AUDIO\n"
       "INDEX 01 00:00:75\nTRACK 03 AUDIO\nINDEX 01 0:0\nTRACK 04 AUDIO\nINDEX 01\n",
       "//// a.wav[WAVE] #1@0:- //// #2@0:- //// #3@0:- //// #4@0:- ////"},
      {"only the first INDEX 01 of a track counts",
       "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:02:00\nINDEX 01 00:05:00\n",
       "//// a.wav[WAVE] #1@0:150 ////"},
      {"an unreadable track number follows the one before; data tracks are marked",
       "FILE a.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\nTRACK xx AUDIO\n"
       "INDEX 01 01:00:00\n",
       "//// a.bin[BINARY] #1(data)@0:0 //// #2@0:4500 ////"},
      {"INDEX before any FILE or TRACK, unknown commands and empty lines are ignored",
       "INDEX 01 00:00:00\nCATALOG 0000000000000\n\n   \nFILE a.wav WAVE\nTRACK 01 AUDIO\n"
       "FLAGS DCP\nISRC JPXX00000000\nINDEX 01 00:00:00",
       "//// a.wav[WAVE] #1@0:0 ////"},
      {"FILE without a name is ignored", "FILE \"\" WAVE\nFILE\n", "////"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<CueSheet> sheet = ParseCueSheet(c.bytes);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(Outline(*sheet), c.outline);
  }
}

TEST(CueSheet, BoundsWhatItReads) {
  EXPECT_FALSE(ParseCueSheet(std::string(kLargestCueSheet + 1, ' ')));
  EXPECT_TRUE(ParseCueSheet(std::string(kLargestCueSheet, '\n')));
  std::string many = "FILE a.wav WAVE\n";
  for (std::size_t i = 0; i < kMostCueTracks; ++i) many += "TRACK 01 AUDIO\n";
  EXPECT_FALSE(ParseCueSheet(many)->overLimit);
  many += "TRACK 01 AUDIO\n";
  EXPECT_EQ(ParseCueSheet(many)->tracks.size(), kMostCueTracks);
  EXPECT_TRUE(ParseCueSheet(many)->overLimit);
}

TEST(CueSheet, PositionsBecomeExactSampleFrames) {
  const struct {
    const char* time;
    std::optional<std::uint64_t> cdFrames;
    std::uint32_t rate;
    std::uint64_t samples;
  } cases[] = {
      {"00:00:00", 0, 44100, 0},
      {"00:00:01", 1, 44100, 588},
      {"00:01:00", 75, 44100, 44100},
      {"00:00:01", 1, 48000, 640},
      {"03:22:74", (3 * 60 + 22) * 75 + 74, 44100, ((3 * 60 + 22) * 75 + 74) * 588},
      {"79:59:74", (79 * 60 + 59) * 75 + 74, 96000, ((79 * 60 + 59) * 75 + 74) * 1280ull},
      {"120:00:00", 120 * 60 * 75, 44100, 120 * 60 * 44100ull},
      {"00:59:74", 59 * 75 + 74, 44100, (59 * 75 + 74) * 588},
      {"00:60:00", std::nullopt, 0, 0},
      {"00:00:75", std::nullopt, 0, 0},
      {"12345:00:00", std::nullopt, 0, 0},
      {"00:000:00", std::nullopt, 0, 0},
      {"-1:00:00", std::nullopt, 0, 0},
      {"00:00", std::nullopt, 0, 0},
      {"::", std::nullopt, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.time);
    EXPECT_EQ(ParseCueTime(c.time), c.cdFrames);
    if (c.cdFrames) {
      EXPECT_EQ(CdFramesToSamples(*c.cdFrames, c.rate), c.samples);
    }
  }
}

}  // namespace
}  // namespace lumio
