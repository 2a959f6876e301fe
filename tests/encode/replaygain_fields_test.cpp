#include "encode/finish/replaygain_fields.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

TEST(ReplayGainFields, GainIsTheDistanceToMinus18LufsWithSignAndTwoDecimals) {
  const struct {
    double loudness;
    const char* gain;
  } rows[] = {
      {-20.0, "+2.00 dB"},   {-11.46, "-6.54 dB"},  {-18.0, "+0.00 dB"},    {-17.996, "+0.00 dB"},
      {-18.004, "+0.00 dB"}, {-17.994, "-0.01 dB"}, {-40.125, "+22.13 dB"}, {3.5, "-21.50 dB"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.loudness);
    EXPECT_EQ(GainText(row.loudness), row.gain);
  }
}

TEST(ReplayGainFields, PeakHasSixDecimals) {
  const struct {
    double peak;
    const char* text;
  } rows[] = {{0.9876543, "0.987654"}, {0.0, "0.000000"}, {1.2345678, "1.234568"}, {1, "1.000000"}};
  for (const auto& row : rows) {
    EXPECT_EQ(PeakText(row.peak), row.text);
  }
}

TEST(ReplayGainFields, TrackAndAlbumFieldsAreNamedAsPlayersReadThem) {
  using Fields = std::vector<CommentField>;
  EXPECT_EQ(ReplayGainFields(-20.0, 0.5, false),
            (Fields{{"REPLAYGAIN_TRACK_GAIN", "+2.00 dB"}, {"REPLAYGAIN_TRACK_PEAK", "0.500000"}}));
  EXPECT_EQ(ReplayGainFields(-24.54, 1.01, true),
            (Fields{{"REPLAYGAIN_ALBUM_GAIN", "+6.54 dB"}, {"REPLAYGAIN_ALBUM_PEAK", "1.010000"}}));
  EXPECT_EQ(ReplayGainFields(std::nullopt, 0.5, true), Fields{});
  // Opus players read R128 gains in 1/256 dB to -23 LUFS, and no peaks.
  EXPECT_EQ(ReplayGainFields(-20.0, 0.5, false, OutputFormat::Opus),
            (Fields{{"R128_TRACK_GAIN", "-768"}}));
  EXPECT_EQ(ReplayGainFields(-24.54, 1.01, true, OutputFormat::Opus),
            (Fields{{"R128_ALBUM_GAIN", "394"}}));
  EXPECT_EQ(ReplayGainFields(std::nullopt, 0.5, false, OutputFormat::Opus), Fields{});
}

TEST(ReplayGainFields, R128GainsAreQ7Dot8WithinSixteenBits) {
  const struct {
    double loudness;
    const char* gain;
  } rows[] = {
      {-23.0, "0"},    {-20.0, "-768"},   {-23.001, "0"},
      {-22.998, "-1"}, {-200.0, "32767"}, {150.0, "-32768"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.loudness);
    EXPECT_EQ(R128GainText(row.loudness), row.gain);
  }
}

}  // namespace
}  // namespace lumio
