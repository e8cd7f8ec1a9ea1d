#include "EngineTestSupport.h"

namespace {

using mftest::EngineTest;

int64_t IntOption(void* object, const char* name) {
  int64_t value = 0;
  EXPECT_GE(ff::av_opt_get_int(object, name, 0, &value), 0) << name;
  return value;
}

TEST_F(EngineTest, LibraryOptionsLandInTheContextsTheyBelongTo) {
  auto* video = Engine.CodecOptionContexts[AVMEDIA_TYPE_VIDEO].get();
  auto* audio = Engine.CodecOptionContexts[AVMEDIA_TYPE_AUDIO].get();
  const int64_t defaultBitRate = video->bit_rate;
  const struct {
    const char* Name;
    const char* Value;
    const char* StoredName;
    std::function<void()> Check;
  } cases[] = {
      // "ab" is an audio option of its own, on the same bit rate as "b".
      {"ab", "128000", "ab", [&] { EXPECT_EQ(audio->bit_rate, 128000); EXPECT_EQ(video->bit_rate, defaultBitRate); }},
      // No context knows "ag": the type letter picks the context and "g" is set there.
      {"ag", "7", "g", [&] { EXPECT_EQ(audio->gop_size, 7); EXPECT_EQ(video->gop_size, 12); }},
      {"vb", "800000", "b", [&] { EXPECT_EQ(video->bit_rate, 800000); EXPECT_EQ(audio->bit_rate, 128000); }},
      // "b" is both a video and an audio option.
      {"b", "300000", "b", [&] { EXPECT_EQ(video->bit_rate, 300000); EXPECT_EQ(audio->bit_rate, 300000); }},
      {"g", "33", "g", [&] { EXPECT_EQ(video->gop_size, 33); }},
      {"packetsize", "2324", "packetsize", [&] { EXPECT_EQ(Engine.FormatOptionContext->packet_size, 2324u); }},
      {"sws_flags", "bilinear", "sws_flags",
       [&] { EXPECT_EQ(IntOption(Engine.ScalerOptionContext.get(), "sws_flags"), SWS_BILINEAR); }},
  };
  size_t stored = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_TRUE(Engine.SetLibraryOption(c.Name, c.Value));
    c.Check();
    ASSERT_EQ(Engine.OptionNames.size(), ++stored);
    EXPECT_EQ(Engine.OptionNames.back(), c.StoredName);
  }
  EXPECT_TRUE(Engine.SetLibraryOptionInt("g", 48));
  EXPECT_EQ(video->gop_size, 48);
}

TEST_F(EngineTest, LibraryOptionsThatCannotBeStoredChangeNothing) {
  const struct {
    const char* Name;
    const char* Value;
  } cases[] = {
      {"no_such_option", "1"}, {"g", ""}, {"g", "   "}, {"", "1"}, {"  ", "1"}, {"g", "not a number"}, {"a", "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
    EXPECT_FALSE(Engine.SetLibraryOption(c.Name, c.Value));
  }
  EXPECT_TRUE(Engine.OptionNames.empty());
  EXPECT_EQ(Engine.CodecOptionContexts[AVMEDIA_TYPE_VIDEO]->gop_size, 12);
}

// A debug value left in the video or format options turns the whole process to debug level.
TEST_F(EngineTest, DebugOptionRaisesTheLogLevel) {
  const struct {
    const char* Name;
    const char* Value;
    bool Raises;
  } cases[] = {
      {"debug", "pict", true},
      {"fdebug", "ts", true},
      {"g", "10", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Engine.SetVerbosity(1);
    ASSERT_TRUE(Engine.SetLibraryOption(c.Name, c.Value));
    EXPECT_EQ(Engine.Verbosity, c.Raises ? 2 : 1);
    EXPECT_EQ(mf::LibraryLogLevel, c.Raises ? 2 : 1);
    EXPECT_EQ(ff::av_log_get_level(), c.Raises ? AV_LOG_DEBUG : AV_LOG_INFO);
  }
}

TEST_F(EngineTest, ApplyStoredOptionsCopiesOnlyOptionsWithTheAskedFlags) {
  ASSERT_TRUE(Engine.SetLibraryOption("g", "33"));          // video, encoding
  ASSERT_TRUE(Engine.SetLibraryOption("cutoff", "15000"));  // audio, encoding
  ASSERT_TRUE(Engine.SetLibraryOption("flags", "+qscale"));
  ASSERT_TRUE(Engine.SetLibraryOption("packetsize", "2324"));  // a format option, absent from codec contexts
  auto* video = Engine.CodecOptionContexts[AVMEDIA_TYPE_VIDEO].get();
  auto* audio = Engine.CodecOptionContexts[AVMEDIA_TYPE_AUDIO].get();

  const struct {
    const char* Name;
    AVCodecContext* Source;
    int Flags;
    int Gop, Cutoff;
    bool Qscale;
  } cases[] = {
      {"video encoding from video", video, AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM, 33, 0, true},
      {"audio encoding from audio", audio, AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM, 5, 15000, true},
      {"subtitle encoding", video, AV_OPT_FLAG_SUBTITLE_PARAM | AV_OPT_FLAG_ENCODING_PARAM, 5, 0, true},
      // Flags 0: every stored option with a value, so the audio context's own gop too.
      {"everything from audio", audio, 0, 12, 15000, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    mf::TCodecContextPtr target(ff::avcodec_alloc_context3(nullptr));
    target->gop_size = 5;
    Engine.ApplyStoredOptions(target.get(), c.Source, c.Flags);
    EXPECT_EQ(target->gop_size, c.Gop);
    EXPECT_EQ(target->cutoff, c.Cutoff);
    EXPECT_EQ((target->flags & AV_CODEC_FLAG_QSCALE) != 0, c.Qscale);
  }

  mf::TFormatContextPtr format(ff::avformat_alloc_context());
  Engine.ApplyStoredOptions(format.get(), Engine.FormatOptionContext.get(), AV_OPT_FLAG_ENCODING_PARAM);
  EXPECT_EQ(format->packet_size, 2324u);
}

TEST_F(EngineTest, CheckCodecNameResolvesOrNamesTheNameGiven) {
  const struct {
    const char* Name;
    AVMediaType Type;
    bool Encoder;
    bool Ok;
    AVCodecID Id;
    const char* Error;
  } cases[] = {
      {nullptr, AVMEDIA_TYPE_VIDEO, true, true, AV_CODEC_ID_NONE, ""},
      {"mpeg4", AVMEDIA_TYPE_VIDEO, true, true, AV_CODEC_ID_MPEG4, ""},
      {"libfaac", AVMEDIA_TYPE_AUDIO, true, true, AV_CODEC_ID_AAC, ""},  // resolved through the name table
      {"h264", AVMEDIA_TYPE_VIDEO, false, true, AV_CODEC_ID_H264, ""},
      {"mp2", AVMEDIA_TYPE_VIDEO, true, false, AV_CODEC_ID_NONE, "Invalid encoder type 'mp2'"},
      {"libfaac", AVMEDIA_TYPE_VIDEO, true, false, AV_CODEC_ID_NONE, "Invalid encoder type 'libfaac'"},
      {"mpeg4", AVMEDIA_TYPE_AUDIO, false, false, AV_CODEC_ID_NONE, "Invalid decoder type 'mpeg4'"},
      {"no_such_codec", AVMEDIA_TYPE_AUDIO, true, false, AV_CODEC_ID_NONE, "Unknown encoder 'no_such_codec'"},
      {"no_such_codec", AVMEDIA_TYPE_AUDIO, false, false, AV_CODEC_ID_NONE, "Unknown decoder 'no_such_codec'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name ? c.Name : "null");
    Engine.ErrorMessage.clear();
    AVCodecID id = AV_CODEC_ID_PROBE;
    EXPECT_EQ(Engine.CheckCodecName(c.Name, c.Type, c.Encoder, id), c.Ok);
    EXPECT_EQ(Engine.ErrorMessage, c.Error);
    if (c.Ok) {
      EXPECT_EQ(id, c.Id);
    }
  }
}

}  // namespace
