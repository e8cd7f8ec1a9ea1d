#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <fstream>
#include <vector>

#include "AmrNbEncoder.h"
#include "CodecLibraries.h"
#include "MediaFixtures.h"
#include "OpenErrors.h"
#include "PictureOps.h"

namespace {

class EngineHelpersTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(mf::BindCodecLibraries(MF_LIB_DIR, true)) << mf::CodecLibraryError(); }
};

TEST(OpenErrors, TextsByCode) {
  const struct {
    int Code;
    const char* Expected;
  } cases[] = {
      {mf::oeUnknownFormat, "in.xyz: Unknown format"},
      {mf::oeBadHeader, "in.xyz: Error while parsing header"},
      {mf::oeNoMemory, "in.xyz: memory allocation error occurred"},
      {mf::oeIo, "in.xyz: I/O error occurred\r\nUsually that means that input file is truncated and/or corrupted."},
      {mf::oeNoSuchFile, "in.xyz: no such file or directory"},
      {-1234, "in.xyz: Error while opening file"},
      {mf::oeBadImageName,
       "in.xyz: Incorrect image filename syntax.\r\nUse '%d' to specify the image number:\r\n  for img1.jpg, img2.jpg, "
       "..., use 'img%d.jpg';\r\n  for img001.jpg, img002.jpg, ..., use 'img%03d.jpg'."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Code);
    EXPECT_EQ(mf::OpenErrorText("in.xyz", c.Code), c.Expected);
  }
}

TEST(OpenErrors, LibraryResultsByMeaning) {
  const struct {
    int Result;
    bool Recognised;
    int Expected;
  } cases[] = {
      {AVERROR(ENOENT), false, mf::oeNoSuchFile},       {AVERROR(EIO), true, mf::oeIo},
      {AVERROR_EOF, true, mf::oeIo},                    {AVERROR(ENOMEM), true, mf::oeNoMemory},
      {AVERROR_INVALIDDATA, false, mf::oeUnknownFormat}, {AVERROR_INVALIDDATA, true, mf::oeBadHeader},
      {AVERROR_DEMUXER_NOT_FOUND, false, mf::oeUnknownFormat},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Result);
    EXPECT_EQ(mf::OpenErrorCode(c.Result, c.Recognised), c.Expected);
  }
  EXPECT_EQ(mf::OpenErrorText("x", mf::OpenErrorCode(AVERROR(EPERM), true)), "x: Error while opening file");
}

TEST_F(EngineHelpersTest, ProbeTellsUnknownFromDamaged) {
  const std::string text = mftest::MakeTextFile("notes.txt", "just some words, no media here\n");
  EXPECT_FALSE(mf::ProbeRecognisesFormat(text));
  const std::string wav = mftest::MakeMedia("probe-tone.wav", "-f lavfi -i sine=duration=1");
  EXPECT_TRUE(mf::ProbeRecognisesFormat(wav));
  EXPECT_FALSE(mf::ProbeRecognisesFormat(mftest::DataDir() + "/no-such-file.wav"));
}

TEST(AmrNbEncoder, ModeIsTheNearestRate) {
  const struct {
    int64_t BitRate;
    int Mode;
  } cases[] = {{0, 0}, {4750, 0}, {4950, 0}, {5000, 1}, {7950, 5}, {9000, 5}, {12200, 7}, {64000, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.BitRate);
    EXPECT_EQ(mf::TAmrNbEncoder::ModeForBitRate(c.BitRate), c.Mode);
  }
}

TEST_F(EngineHelpersTest, AmrNbFramesDecodeAsSpeech) {
  mf::TAmrNbEncoder encoder;
  ASSERT_TRUE(encoder.Open(12200));
  EXPECT_EQ(encoder.BitRate(), 12200);
  const std::string path = mftest::DataDir() + "/engine-amrnb.amr";
  std::ofstream file(path, std::ios::binary);
  file << "#!AMR\n";
  std::vector<int16_t> samples(mf::TAmrNbEncoder::FrameSamples);
  uint8_t packet[mf::TAmrNbEncoder::MaxPacketBytes];
  for (int frame = 0; frame < 50; ++frame) {
    for (int i = 0; i < mf::TAmrNbEncoder::FrameSamples; ++i)
      samples[static_cast<size_t>(i)] =
          static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * (frame * 160 + i) / 8000.0));
    const int size = encoder.EncodeFrame(samples.data(), packet, sizeof packet);
    ASSERT_EQ(size, 32) << "12.2 kbit/s frames are 32 bytes with their ToC byte";
    file.write(reinterpret_cast<const char*>(packet), size);
  }
  file.close();
  const mftest::TProbe probe = mftest::Probe(path);
  ASSERT_TRUE(probe.Ok);
  const auto& audio = probe.StreamOf("audio");
  EXPECT_EQ(audio.at("codec_name"), "amr_nb");
  EXPECT_EQ(mftest::IntField(audio, "sample_rate"), 8000);
  EXPECT_EQ(mftest::IntField(audio, "channels"), 1);
  EXPECT_EQ(mftest::CountFrames(path, "audio"), 50);
}

struct TPicture {
  int Width, Height;
  std::vector<uint8_t> Planes[3];
  uint8_t* Data[4] = {};
  int Linesize[4] = {};
  TPicture(int w, int h, int chromaShiftW, int chromaShiftH, uint8_t fill) : Width(w), Height(h) {
    for (int p = 0; p < 3; ++p) {
      const int pw = p ? w >> chromaShiftW : w, ph = p ? h >> chromaShiftH : h;
      Planes[p].assign(static_cast<size_t>(pw * ph), fill);
      Data[p] = Planes[p].data();
      Linesize[p] = pw;
    }
  }
  uint8_t At(int plane, int x, int y) const { return Planes[plane][static_cast<size_t>(y * Linesize[plane] + x)]; }
};

TEST(PictureOps, PaddingPaintsOnlyTheBorderInEveryPlane) {
  TPicture picture(16, 12, 1, 1, 7);
  const int red[3] = {76, 85, 255};
  ASSERT_TRUE(mf::PaintPadding(picture.Data, picture.Linesize, AV_PIX_FMT_YUV420P, 16, 12, {2, 4, 4, 0}, red));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) {
      SCOPED_TRACE(testing::Message() << "luma " << x << "," << y);
      const bool border = y < 2 || y >= 8 || x < 4;
      EXPECT_EQ(picture.At(0, x, y), border ? 76 : 7);
    }
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      SCOPED_TRACE(testing::Message() << "chroma " << x << "," << y);
      const bool border = y < 1 || y >= 4 || x < 2;
      EXPECT_EQ(picture.At(1, x, y), border ? 85 : 7);
      EXPECT_EQ(picture.At(2, x, y), border ? 255 : 7);
    }
  EXPECT_FALSE(mf::PaintPadding(picture.Data, picture.Linesize, AV_PIX_FMT_RGB24, 16, 12, {2, 0, 0, 0}, red));
}

TEST(PictureOps, DeinterlaceRebuildsTheSecondField) {
  TPicture in(8, 8, 1, 1, 0), out(8, 8, 1, 1, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) in.Planes[0][static_cast<size_t>(y * 8 + x)] = (y & 1) ? 200 : 100;
  ASSERT_EQ(mf::DeinterlacePicture(out.Data, out.Linesize, in.Data, in.Linesize, AV_PIX_FMT_YUV420P, 8, 8), 0);
  for (int y = 0; y < 8; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(out.At(0, 3, y), 100) << "the combing of the second field is filtered away";
  }
  const struct {
    AVPixelFormat Format;
    int Width, Height;
  } refused[] = {{AV_PIX_FMT_YUV420P, 6, 8}, {AV_PIX_FMT_YUV420P, 8, 10}, {AV_PIX_FMT_RGB24, 8, 8}};
  for (const auto& c : refused) {
    SCOPED_TRACE(c.Width);
    EXPECT_EQ(mf::DeinterlacePicture(out.Data, out.Linesize, in.Data, in.Linesize, c.Format, c.Width, c.Height), -1);
  }
}

}  // namespace
