// Captions to encoder names, bit rates, sample rates, frame sizes and channels.
#include <gtest/gtest.h>

#include "CaptionTranslation.h"

namespace mf::test {
namespace {

TEST(ProfilesCaptions, EncoderNamesOfEveryCaptionTheOptionSetsShow) {
  const std::pair<const char*, const char*> table[] = {
      {"MPEG4", "mpeg4"},           {"H264", "libx264"},          {"XVID", "libxvid"},
      {"XVid", "libxvid"},          {"H263", "h263"},             {"MPEG1VIDEO", "mpeg1video"},
      {"MPEG2VIDEO", "mpeg2video"}, {"WMV2", "wmv2"},             {"mpeg4aac", "libfaac"},
      {"mp3", "libmp3lame"},        {"amr_nb", "libamr_nb"},      {"mp2", "mp2"},
      {"ac3", "ac3"},               {"pcm_s16le", "pcm_s16le"},   {"wmav2", "wmav2"},
  };
  for (auto [caption, name] : table) EXPECT_EQ(EncoderNameFromCaption(caption), name) << caption;
}

TEST(ProfilesCaptions, OtherCaptionsAreUsedLowerCased) {
  EXPECT_EQ(EncoderNameFromCaption(""), "");
  EXPECT_EQ(EncoderNameFromCaption("MPEG4AAC"), "libfaac");
  EXPECT_EQ(EncoderNameFromCaption("AMR_NB"), "libamr_nb");
  EXPECT_EQ(EncoderNameFromCaption("FLV"), "flv");
  EXPECT_EQ(EncoderNameFromCaption("Copy"), "copy");
}

TEST(ProfilesCaptions, NumberPrefixIsTheTextBeforeTheFirstBlank) {
  EXPECT_EQ(NumberPrefix("1200 Kbps"), "1200");
  EXPECT_EQ(NumberPrefix("8000  Hz"), "8000");
  EXPECT_EQ(NumberPrefix("1200Kbps"), "");
  EXPECT_EQ(NumberPrefix(""), "");
  EXPECT_EQ(NumberPrefix(" 128 Kbps"), "");
}

TEST(ProfilesCaptions, OneTwentyEightKbpsByTheThreeRules) {
  EXPECT_EQ(BitrateFromCaption("128 Kbps", TBitrateRule::Kilo), 128000);
  EXPECT_EQ(BitrateFromCaption("128 Kbps", TBitrateRule::ByUnitText), 128000);
  EXPECT_EQ(BitrateFromCaption("128 Kbps", TBitrateRule::Plain), 128);
}

TEST(ProfilesCaptions, BitRateRules) {
  EXPECT_EQ(BitrateFromCaption("1200 Kbps", TBitrateRule::Kilo), 1200000);
  EXPECT_EQ(BitrateFromCaption("4750 bps", TBitrateRule::ByUnitText), 4750);
  EXPECT_EQ(BitrateFromCaption("7400 bps", TBitrateRule::ByUnitText), 7400);
  EXPECT_EQ(BitrateFromCaption("12200 bps", TBitrateRule::Plain), 12200);
  EXPECT_EQ(BitrateFromCaption("7400 bps", TBitrateRule::Kilo), 7400000);
  // "Kbps" is matched with its case.
  EXPECT_EQ(BitrateFromCaption("128 kbps", TBitrateRule::ByUnitText), 128);
  EXPECT_EQ(BitrateFromCaption("128 KBPS", TBitrateRule::ByUnitText), 128);
  EXPECT_EQ(BitrateTextFromCaption("1200 Kbps", TBitrateRule::Kilo), "1200000");
  EXPECT_EQ(BitrateTextFromCaption("", TBitrateRule::Kilo), "000");
}

TEST(ProfilesCaptions, AnEmptyVideoBitRateGivesZeroWithoutFailure) {
  EXPECT_EQ(BitrateFromCaption("", TBitrateRule::Kilo), 0);
}

TEST(ProfilesCaptions, AnEmptyPrefixFailsForThePlainAndUnitRules) {
  EXPECT_THROW(BitrateFromCaption("", TBitrateRule::Plain), EConvertError);
  EXPECT_THROW(BitrateFromCaption("", TBitrateRule::ByUnitText), EConvertError);
  EXPECT_THROW(BitrateFromCaption("128bps", TBitrateRule::ByUnitText), EConvertError);
  // With "Kbps" in it the kilo rule applies, and an empty prefix gives "000".
  EXPECT_EQ(BitrateFromCaption("128Kbps", TBitrateRule::ByUnitText), 0);
}

TEST(ProfilesCaptions, APrefixThatIsNotANumberFails) {
  EXPECT_THROW(BitrateFromCaption("abc Kbps", TBitrateRule::Kilo), EConvertError);
  EXPECT_THROW(BitrateFromCaption("12.5 Kbps", TBitrateRule::Kilo), EConvertError);
  EXPECT_THROW(SampleRateFromCaption("Auto"), EConvertError);
  try {
    BitrateFromCaption("abc Kbps", TBitrateRule::Kilo);
    FAIL() << "no failure";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "'abc000' is not a valid integer value");
    EXPECT_EQ(error.Text(), "abc000");
  }
}

TEST(ProfilesCaptions, DecimalIntegers) {
  EXPECT_EQ(DecimalInteger("0"), 0);
  EXPECT_EQ(DecimalInteger("-12"), -12);
  EXPECT_EQ(DecimalInteger("+12"), 12);
  EXPECT_EQ(DecimalInteger("2147483647"), 2147483647);
  EXPECT_EQ(DecimalInteger("-2147483648"), INT32_MIN);
  EXPECT_THROW(DecimalInteger("2147483648"), EConvertError);
  EXPECT_THROW(DecimalInteger("3000000000"), EConvertError);
  EXPECT_THROW(DecimalInteger(""), EConvertError);
  EXPECT_THROW(DecimalInteger("-"), EConvertError);
  EXPECT_THROW(DecimalInteger("+-1"), EConvertError);
  EXPECT_THROW(DecimalInteger("1 "), EConvertError);
}

TEST(ProfilesCaptions, SampleRates) {
  EXPECT_EQ(SampleRateFromCaption("44100 Hz"), 44100);
  EXPECT_EQ(SampleRateFromCaption("24000 Hz"), 24000);
  EXPECT_EQ(SampleRateFromCaption("8000  Hz"), 8000);
  EXPECT_EQ(SampleRateFromCaption("8000  bps"), 8000);
  EXPECT_EQ(SampleRateFromCaption("16000 bps"), 16000);
}

TEST(ProfilesCaptions, AnEmptySampleRateFails) {
  EXPECT_THROW(SampleRateFromCaption(""), EConvertError);
}

TEST(ProfilesCaptions, FrameSizes) {
  EXPECT_EQ(FrameSizeFromCaption("320 x 240 (VGA)"), "320x240");
  EXPECT_EQ(FrameSizeFromCaption("128 x 96 (SQCIF)"), "128x96");
  EXPECT_EQ(FrameSizeFromCaption("704 x 576 (4CIF)"), "704x576");
  EXPECT_EQ(FrameSizeFromCaption("176 x 144 (QCIF)"), "176x144");
  EXPECT_EQ(FrameSizeFromCaption("720 x 406"), "720x406");
  EXPECT_EQ(FrameSizeFromCaption("480 x 320"), "480x320");
  EXPECT_EQ(FrameSizeFromCaption(""), "");
}

TEST(ProfilesCaptions, AutoAsAFrameSizeCaptionStaysAuto) {
  // The conversion leaves it alone; job assembly keeps the source's size for it.
  EXPECT_EQ(FrameSizeFromCaption("Auto"), "Auto");
}

TEST(ProfilesCaptions, Channels) {
  EXPECT_EQ(ChannelsFromCaption("Stereo"), 2);
  EXPECT_EQ(ChannelsFromCaption("Mono"), 1);
  EXPECT_EQ(ChannelsFromCaption(""), 1);
  EXPECT_EQ(ChannelsFromCaption("stereo"), 1);
}

}  // namespace
}  // namespace mf::test
