// Creating an output: its container, its streams with their encoder settings, its metadata
// and its file. Registration is all or nothing.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "EncoderNames.h"
#include "FFmpeg.h"
#include "MessageFormat.h"
#include "OpenErrors.h"

namespace mf {

namespace {

// The listed rate nearest to wanted; a later entry wins only when strictly nearer.
AVRational NearestSupportedRate(const AVRational* rates, AVRational wanted) {
  AVRational best = rates[0];
  AVRational bestError{INT_MAX, 1};
  for (const AVRational* rate = rates; rate->num || rate->den; ++rate) {
    AVRational error{};
    const int64_t num = std::llabs(static_cast<int64_t>(wanted.num) * rate->den - static_cast<int64_t>(rate->num) * wanted.den);
    const int64_t den = static_cast<int64_t>(wanted.den) * rate->den;
    ff::av_reduce(&error.num, &error.den, num, den, INT_MAX);
    if (av_cmp_q(error, bestError) < 0) {
      bestError = error;
      best = *rate;
    }
  }
  return best;
}

// The muxer's microsecond settings from the option state's seconds, cut toward zero and kept
// within what the library's fields hold. The product is taken in single precision, the
// precision of the setting, so that 0.44 s is 440000 and not 439999.
int Microseconds(float seconds) {
  const double us = seconds * 1000000.0f;
  if (std::isnan(us)) return 0;
  return static_cast<int>(std::clamp(us, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

// Whether the file name must carry a frame number. This library's image-sequence writer no
// longer says so in its flags (it would write every picture over the same file), so it is
// named here.
bool NeedsFrameNumber(const AVOutputFormat* format) {
  return (format->flags & AVFMT_NEEDNUMBER) || std::strcmp(format->name, "image2") == 0;
}

std::string IsoTime(int64_t secondsSinceEpoch) {
  const auto seconds = static_cast<time_t>(secondsSinceEpoch);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S.000000Z", &utc);
  return text;
}

}  // namespace

std::vector<TOutputStreamSetup>& TCustomFFmpeg::SetupsOf(AVFormatContext* output) {
  if (output == PendingOutput) return PendingSetups;
  for (int file = 0; file < OutputFileCount; ++file)
    if (OutputFiles[file].get() == output) return OutputStreamSetups[file];
  throw FFMpegException("Could not alloc stream");
}

void TCustomFFmpeg::CheckAudioVideoSubInputs(bool& hasVideo, bool& hasAudio, bool& hasSubtitle) {
  hasVideo = hasAudio = hasSubtitle = false;
  for (int file = 0; file < InputFileCount; ++file) {
    const AVFormatContext* input = InputFiles[file].get();
    for (unsigned s = 0; s < input->nb_streams; ++s) {
      switch (input->streams[s]->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO: hasVideo = true; break;
        case AVMEDIA_TYPE_AUDIO: hasAudio = true; break;
        case AVMEDIA_TYPE_SUBTITLE: hasSubtitle = true; break;
        case AVMEDIA_TYPE_UNKNOWN:
        case AVMEDIA_TYPE_DATA:
        case AVMEDIA_TYPE_ATTACHMENT: break;
        default: throw FFMpegException("invalid codec_type of input file");
      }
    }
  }
}

void TCustomFFmpeg::SetPrivateOption(const std::string& name, const std::string& value) {
  for (auto& option : PrivateOptions)
    if (option.first == name) {
      option.second = value;
      return;
    }
  PrivateOptions.emplace_back(name, value);
}

void TCustomFFmpeg::ApplyPrivateOptions(void* privateData) const {
  if (!privateData) return;
  // Only where the encoder or muxer has the option: the others never heard of it.
  for (const auto& [name, value] : PrivateOptions)
    if (ff::av_opt_find(privateData, name.c_str(), nullptr, 0, 0))
      ff::av_opt_set(privateData, name.c_str(), value.c_str(), 0);
}

bool TCustomFFmpeg::OpenOutputFile(const std::string& fileName) {
  RequireCodecLibraries();
  struct TPerFileReset {
    TCustomFFmpeg* Engine;
    ~TPerFileReset() {
      Engine->ResetOutputFileOptions();
      Engine->PendingOutput = nullptr;
      Engine->PendingSetups.clear();
    }
  } perFileReset{this};
  // A full table is refused like any other output that cannot be created.
  try {
    CheckOutputFileRoom();
  } catch (const FFMpegException& e) {
    ErrorMessage = e.what();
    return false;
  }

  if (!OutputFormat) OutputFormat = ff::av_guess_format(nullptr, fileName.c_str(), nullptr);
  if (!OutputFormat) {
    ErrorMessage = FormatMessage("Unable to find a suitable output format for '%s'", {fileName});
    return false;
  }
  AVFormatContext* allocated = nullptr;
  if (ff::avformat_alloc_output_context2(&allocated, OutputFormat, nullptr, fileName.c_str()) < 0 || !allocated) {
    ErrorMessage = OpenErrorText(fileName, oeNoMemory);
    return false;
  }
  TOutputFormatContextPtr output(allocated);
  PendingOutput = output.get();
  PendingSetups.clear();

  // Which kinds of stream the output gets.
  bool useVideo = VideoStreamCopy || OutputFormat->video_codec != AV_CODEC_ID_NONE || VideoCodecName;
  bool useAudio = AudioStreamCopy || OutputFormat->audio_codec != AV_CODEC_ID_NONE || AudioCodecName;
  bool useSubtitle = SubtitleStreamCopy || OutputFormat->subtitle_codec != AV_CODEC_ID_NONE || SubtitleCodecName;
  if (InputFileCount > 0) {
    bool hasVideo, hasAudio, hasSubtitle;
    try {
      CheckAudioVideoSubInputs(hasVideo, hasAudio, hasSubtitle);
    } catch (const std::exception& e) {
      ErrorMessage = FormatMessage("check_audio_video_sub_inputs fail: %s", {e.what()});
      return false;
    }
    useVideo = useVideo && hasVideo;
    useAudio = useAudio && hasAudio;
    useSubtitle = useSubtitle && hasSubtitle;
  }
  if (AudioDisable) useAudio = false;
  if (VideoDisable) useVideo = false;
  if (SubtitleDisable) useSubtitle = false;

  const struct {
    bool Use;
    void (TCustomFFmpeg::*Create)(AVFormatContext*);
    const char* Failure;
  } creators[] = {
      {useVideo, &TCustomFFmpeg::NewVideoStream, "new_video_stream fail: %s"},
      {useAudio, &TCustomFFmpeg::NewAudioStream, "new_audio_stream fail: %s"},
      {useSubtitle, &TCustomFFmpeg::NewSubtitleStream, "new_subtitle_stream fail: %s"},
  };
  for (const auto& creator : creators) {
    if (!creator.Use) continue;
    try {
      (this->*creator.Create)(output.get());
    } catch (const std::exception& e) {
      ErrorMessage = FormatMessage(creator.Failure, {e.what()});
      return false;
    }
  }

  // Metadata.
  if (RecordTimestamp) ff::av_dict_set(&output->metadata, "creation_time", IsoTime(RecordTimestamp).c_str(), 0);
  const struct {
    const char* Key;
    const std::string& Value;
    size_t Limit;
  } tags[] = {{"title", Title, 511},       {"artist", Author, 511}, {"copyright", Copyright, 511},
              {"comment", Comment, 511},   {"album", Album, 511},   {"genre", Genre, 31}};
  for (const auto& tag : tags)
    if (!tag.Value.empty()) ff::av_dict_set(&output->metadata, tag.Key, tag.Value.substr(0, tag.Limit).c_str(), 0);
  if (Year > 0) ff::av_dict_set_int(&output->metadata, "date", Year, 0);
  if (Track > 0) ff::av_dict_set_int(&output->metadata, "track", Track, 0);

  if (NeedsFrameNumber(OutputFormat) && !ff::av_filename_number_test(output->url)) {
    ErrorMessage = OpenErrorText(output->url, oeBadImageName);
    return false;
  }
  if (!(OutputFormat->flags & AVFMT_NOFILE) &&
      ff::avio_open2(&output->pb, fileName.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr) < 0) {
    ErrorMessage = FormatMessage("Could not open '%s'", {fileName});
    return false;
  }

  output->max_delay = Microseconds(MuxMaxDelay);
  // The initial demux delay and the loop count are the muxers' own settings now, kept only
  // by those that use them (the program-stream muxers, the animated-picture muxer); -1, the
  // default loop count, means "play once" there as it always did.
  if (output->priv_data) {
    if (ff::av_opt_find(output->priv_data, "preload", nullptr, 0, 0))
      ff::av_opt_set_int(output->priv_data, "preload", std::max(0, Microseconds(MuxPreload)), 0);
    if (ff::av_opt_find(output->priv_data, "loop", nullptr, 0, 0))
      ff::av_opt_set_int(output->priv_data, "loop", LoopOutput, 0);
  }
  ApplyStoredOptions(output.get(), FormatOptionContext.get(), AV_OPT_FLAG_ENCODING_PARAM);
  ApplyPrivateOptions(output->priv_data);

  const int index = OutputFileCount;
  OutputStreamSetups[index] = std::move(PendingSetups);
  OutputFiles[index] = std::move(output);
  ++OutputFileCount;
  return true;
}

AVStream* TCustomFFmpeg::AddStream(AVFormatContext* output, std::vector<TOutputStreamSetup>& setups,
                                   TOutputStreamSetup&& setup) {
  // Room for the setup first: once the stream exists, nothing may fail.
  setups.reserve(setups.size() + 1);
  const int id = static_cast<int>(output->nb_streams);
  AVStream* stream = ff::avformat_new_stream(output, nullptr);
  if (!stream) throw FFMpegException("Could not alloc stream");
  stream->id = id;
  setups.push_back(std::move(setup));
  return stream;
}

// The stream creators settle everything that can fail before they add the stream: a format
// context cannot give a stream back, and a stream without its setup would fail every later
// run of the task.

void TCustomFFmpeg::NewVideoStream(AVFormatContext* output) {
  struct TStreamReset {
    TCustomFFmpeg* Engine;
    ~TStreamReset() { Engine->ResetVideoStreamOptions(); }
  } reset{this};
  std::vector<TOutputStreamSetup>& setups = SetupsOf(output);

  const AVCodec* codec = nullptr;
  AVCodecID id = AV_CODEC_ID_NONE;
  if (!VideoStreamCopy) {
    if (VideoCodecName) {
      if (!CheckCodecName(VideoCodecName.get(), AVMEDIA_TYPE_VIDEO, true, id)) throw FFMpegException(ErrorMessage);
      codec = FindEncoderByName(VideoCodecName.get()).Codec;
    } else {
      id = ff::av_guess_codec(output->oformat, nullptr, output->url, nullptr, AVMEDIA_TYPE_VIDEO);
      codec = ff::avcodec_find_encoder(id);
    }
  }
  TOutputStreamSetup setup;
  setup.Encoder.reset(ff::avcodec_alloc_context3(codec));
  if (!setup.Encoder) throw FFMpegException("Could not alloc stream");
  AVCodecContext* enc = setup.Encoder.get();
  enc->codec_type = AVMEDIA_TYPE_VIDEO;
  if (ThreadCount > 1) enc->thread_count = ThreadCount;
  if (VideoCodecTag) enc->codec_tag = VideoCodecTag;
  AVCodecContext* videoOptions = CodecOptionContexts[AVMEDIA_TYPE_VIDEO].get();
  if ((VideoGlobalHeader & 1) || (VideoGlobalHeader == 0 && (output->oformat->flags & AVFMT_GLOBALHEADER))) {
    enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (videoOptions) videoOptions->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  if (VideoGlobalHeader & 2) {
    enc->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
    if (videoOptions) videoOptions->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
  }

  if (VideoStreamCopy) {
    setup.StreamCopy = true;
    AddStream(output, setups, std::move(setup));
    return;
  }

  const AVRational rate = FrameRate.num ? FrameRate : AVRational{25, 1};
  enc->codec_id = id;
  ApplyStoredOptions(enc, videoOptions, AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_VIDEO_PARAM);
  ApplyPrivateOptions(enc->priv_data);
  AVRational chosen = rate;
  if (codec && codec->supported_framerates) chosen = NearestSupportedRate(codec->supported_framerates, rate);
  enc->time_base = AVRational{chosen.den, chosen.num};
  enc->framerate = chosen;
  enc->width = FrameWidth + PadLeft + PadRight;
  enc->height = FrameHeight + PadTop + PadBottom;
  if (enc->width > 0 && enc->height > 0)
    enc->sample_aspect_ratio = ff::av_d2q(static_cast<double>(FrameAspectRatio) * enc->height / enc->width, 255);
  enc->pix_fmt = static_cast<AVPixelFormat>(FramePixelFormat);
  if (codec && codec->pix_fmts) {
    bool supported = false;
    for (const AVPixelFormat* format = codec->pix_fmts; *format != AV_PIX_FMT_NONE; ++format)
      supported = supported || *format == enc->pix_fmt;
    if (!supported) enc->pix_fmt = codec->pix_fmts[0];
  }
  if (IntraOnly) enc->gop_size = 0;
  if (VideoQScale != 0 || SameQuality) {
    enc->flags |= AV_CODEC_FLAG_QSCALE;
    setup.Quality = FF_QP2LAMBDA * VideoQScale;
    enc->global_quality = static_cast<int>(setup.Quality);
  }
  // The context frees its matrices itself: it gets copies of the engine's.
  for (auto [matrix, target] : {std::pair{IntraMatrix.get(), &enc->intra_matrix}, std::pair{InterMatrix.get(), &enc->inter_matrix}}) {
    if (!matrix) continue;
    *target = static_cast<uint16_t*>(ff::av_malloc(64 * sizeof(uint16_t)));
    if (!*target) throw FFMpegException("Could not alloc stream");
    std::memcpy(*target, matrix, 64 * sizeof(uint16_t));
  }
  enc->thread_count = ThreadCount;
  if (VideoRcOverride) ParseRcOverride(enc, VideoRcOverride.get());
  if (enc->rc_initial_buffer_occupancy == 0) enc->rc_initial_buffer_occupancy = enc->rc_buffer_size * 3 / 4;
  enc->intra_dc_precision = IntraDcPrecision - 8;
  if (Psnr) enc->flags |= AV_CODEC_FLAG_PSNR;
  if (Pass == 1) enc->flags |= AV_CODEC_FLAG_PASS1;
  if (Pass == 2) enc->flags |= AV_CODEC_FLAG_PASS2;
  const AVRational sampleAspect = enc->sample_aspect_ratio;
  AVStream* stream = AddStream(output, setups, std::move(setup));
  stream->sample_aspect_ratio = sampleAspect;
}

void TCustomFFmpeg::ParseRcOverride(AVCodecContext* enc, const char* text) {
  std::vector<RcOverride> overrides;
  const char* p = text;
  while (*p) {
    char* end = nullptr;
    const long start = std::strtol(p, &end, 10);
    if (end == p || !*end) throw FFMpegException("error parsing rc_override");
    p = end + 1;
    const long stop = std::strtol(p, &end, 10);
    if (end == p || !*end) throw FFMpegException("error parsing rc_override");
    p = end + 1;
    const long q = std::strtol(p, &end, 10);
    p = end;
    RcOverride item{};
    item.start_frame = static_cast<int>(start);
    item.end_frame = static_cast<int>(stop);
    if (q > 0) {
      item.qscale = static_cast<int>(q);
      item.quality_factor = 1.0f;
    } else {
      item.qscale = 0;
      item.quality_factor = static_cast<float>(-q) / 100.0f;
    }
    overrides.push_back(item);
    const char* slash = std::strchr(p, '/');
    if (!slash) break;
    p = slash + 1;
  }
  if (overrides.empty()) return;
  auto* copy = static_cast<RcOverride*>(ff::av_malloc(overrides.size() * sizeof(RcOverride)));
  if (!copy) throw FFMpegException("error parsing rc_override");
  std::memcpy(copy, overrides.data(), overrides.size() * sizeof(RcOverride));
  enc->rc_override = copy;  // freed with the context
  enc->rc_override_count = static_cast<int>(overrides.size());
}

void TCustomFFmpeg::NewAudioStream(AVFormatContext* output) {
  struct TStreamReset {
    TCustomFFmpeg* Engine;
    ~TStreamReset() { Engine->ResetAudioStreamOptions(); }
  } reset{this};
  std::vector<TOutputStreamSetup>& setups = SetupsOf(output);

  TOutputStreamSetup setup;
  const AVCodec* codec = nullptr;
  AVCodecID id = AV_CODEC_ID_NONE;
  if (!AudioStreamCopy) {
    id = ff::av_guess_codec(output->oformat, nullptr, output->url, nullptr, AVMEDIA_TYPE_AUDIO);
    codec = ff::avcodec_find_encoder(id);
    if (AudioCodecName) {
      if (!CheckCodecName(AudioCodecName.get(), AVMEDIA_TYPE_AUDIO, true, id)) throw FFMpegException(ErrorMessage);
      const TEncoderChoice choice = FindEncoderByName(AudioCodecName.get());
      codec = choice.Codec;
      setup.EngineAmrNb = choice.EngineAmrNb;
    }
  }
  setup.Encoder.reset(ff::avcodec_alloc_context3(codec));
  if (!setup.Encoder) throw FFMpegException("Could not alloc stream");
  AVCodecContext* enc = setup.Encoder.get();
  enc->codec_type = AVMEDIA_TYPE_AUDIO;
  if (ThreadCount > 1) enc->thread_count = ThreadCount;
  if (AudioCodecTag) enc->codec_tag = AudioCodecTag;
  AVCodecContext* audioOptions = CodecOptionContexts[AVMEDIA_TYPE_AUDIO].get();
  if (output->oformat->flags & AVFMT_GLOBALHEADER) {
    enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (audioOptions) audioOptions->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  ff::av_channel_layout_uninit(&enc->ch_layout);
  ff::av_channel_layout_default(&enc->ch_layout, AudioChannels);
  if (AudioStreamCopy) {
    setup.StreamCopy = true;
  } else {
    ApplyStoredOptions(enc, audioOptions, AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_AUDIO_PARAM);
    ApplyPrivateOptions(enc->priv_data);
    enc->codec_id = id;
    if (AudioQScale > -99999.0f) {
      enc->flags |= AV_CODEC_FLAG_QSCALE;
      setup.Quality = FF_QP2LAMBDA * AudioQScale;
      enc->global_quality = static_cast<int>(setup.Quality);
    }
    enc->thread_count = ThreadCount;
    // The engine hands over 16-bit samples: the encoder takes them as they are when it can.
    enc->sample_fmt = AV_SAMPLE_FMT_S16;
    if (codec && codec->sample_fmts) {
      bool takesS16 = false;
      for (const AVSampleFormat* format = codec->sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format)
        takesS16 = takesS16 || *format == AV_SAMPLE_FMT_S16;
      if (!takesS16) enc->sample_fmt = codec->sample_fmts[0];
    }
  }
  enc->sample_rate = AudioSampleRate;
  enc->time_base = AVRational{1, AudioSampleRate > 0 ? AudioSampleRate : 1};
  AVStream* stream = AddStream(output, setups, std::move(setup));
  if (!AudioLanguage.empty()) ff::av_dict_set(&stream->metadata, "language", AudioLanguage.substr(0, 3).c_str(), 0);
}

void TCustomFFmpeg::NewSubtitleStream(AVFormatContext* output) {
  struct TStreamReset {
    TCustomFFmpeg* Engine;
    ~TStreamReset() { Engine->ResetSubtitleStreamOptions(); }
  } reset{this};
  std::vector<TOutputStreamSetup>& setups = SetupsOf(output);

  TOutputStreamSetup setup;
  const AVCodec* codec = nullptr;
  AVCodecID id = AV_CODEC_ID_NONE;
  if (!SubtitleStreamCopy) {
    if (SubtitleCodecName) {
      if (!CheckCodecName(SubtitleCodecName.get(), AVMEDIA_TYPE_SUBTITLE, true, id)) throw FFMpegException(ErrorMessage);
      codec = FindEncoderByName(SubtitleCodecName.get()).Codec;
    } else {
      // Without a name the container's own subtitle format, rather than none at all: a
      // stream without an encoder would fail every conversion of a file with subtitles.
      id = ff::av_guess_codec(output->oformat, nullptr, output->url, nullptr, AVMEDIA_TYPE_SUBTITLE);
      codec = ff::avcodec_find_encoder(id);
    }
  }
  setup.Encoder.reset(ff::avcodec_alloc_context3(codec));
  if (!setup.Encoder) throw FFMpegException("Could not alloc stream");
  AVCodecContext* enc = setup.Encoder.get();
  enc->codec_type = AVMEDIA_TYPE_SUBTITLE;
  if (SubtitleStreamCopy) {
    setup.StreamCopy = true;
  } else {
    ApplyStoredOptions(enc, CodecOptionContexts[AVMEDIA_TYPE_SUBTITLE].get(),
                       AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_SUBTITLE_PARAM);
    ApplyPrivateOptions(enc->priv_data);
    enc->codec_id = id;
    enc->time_base = AVRational{1, 1000};
  }
  AVStream* stream = AddStream(output, setups, std::move(setup));
  if (!SubtitleLanguage.empty()) ff::av_dict_set(&stream->metadata, "language", SubtitleLanguage.substr(0, 3).c_str(), 0);
}

void TCustomFFmpeg::ApplyTargetPreset(const std::string& target, const std::string& norm, const std::string& fallbackNorm) {
  enum { Pal, Ntsc, Film } chosen;
  if (norm == "pal") {
    chosen = Pal;
  } else if (norm == "ntsc") {
    chosen = Ntsc;
  } else if (norm == "film") {
    chosen = Film;
  } else {
    if (FrameRate.den == 0) throw FFMpegException("frame_rate is invalid.");
    int found = -1;
    auto classify = [&](int64_t r) {
      if (r == 25000) found = Pal;
      else if (r == 29970 || r == 23976) found = Ntsc;
    };
    classify(std::llrint(FrameRate.num * 1000.0 / FrameRate.den));
    for (int file = 0; file < InputFileCount && found < 0; ++file) {
      const AVFormatContext* input = InputFiles[file].get();
      for (unsigned s = 0; s < input->nb_streams && found < 0; ++s) {
        const AVStream* stream = input->streams[s];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        // The stream's frame rate stands for the old codec time base (its inverse).
        const AVRational rate = stream->r_frame_rate;
        if (rate.den > 0) classify(std::llrint(rate.num * 1000.0 / rate.den));
      }
    }
    if (found < 0) found = fallbackNorm == "film" ? Film : fallbackNorm == "ntsc" ? Ntsc : Pal;
    chosen = static_cast<decltype(chosen)>(found);
    if (Verbosity > 0 && LogHandler) Log(1, FormatMessage("Assuming %s for target.", {chosen == Pal ? "PAL" : "NTSC"}));
  }
  // Option names of the presets that this library renamed or moved: the group-of-pictures size
  // is "g"; the scan offset reserved for the disc player is the MPEG-2 encoder's own option and
  // the multiplex rate the program-stream muxer's, so both go to the encoder or muxer that is
  // created later and knows them (SetPrivateOption).
  const bool pal = chosen == Pal;
  const char* rate = pal ? "25" : chosen == Ntsc ? "30000/1001" : "24000/1001";

  if (target == "vcd") {
    SetVideoCodec("mpeg1video");
    SetAudioCodec("mp2");
    SetOutputFormat("vcd");
    SetFrameSize(pal ? "352x288" : "352x240");
    SetFrameRate(rate);
    SetLibraryOption("g", pal ? "15" : "18");
    SetLibraryOption("b", "1150000");
    SetLibraryOption("maxrate", "1150000");
    SetLibraryOption("minrate", "1150000");
    SetLibraryOption("bufsize", "327680");
    SetLibraryOption("ab", "224000");
    AudioSampleRate = 44100;
    AudioChannels = 2;
    SetLibraryOption("packetsize", "2324");
    SetPrivateOption("muxrate", "1411200");
    MuxPreload = 0.44f;
    if (FrameAspectRatio == 0) SetAspectRatio("4:3");
  } else if (target == "svcd") {
    SetVideoCodec("mpeg2video");
    SetAudioCodec("mp2");
    SetOutputFormat("svcd");
    SetFrameSize(pal ? "480x576" : "480x480");
    SetFrameRate(rate);
    SetLibraryOption("g", pal ? "15" : "18");
    SetLibraryOption("b", "2040000");
    SetLibraryOption("maxrate", "2516000");
    SetLibraryOption("minrate", "0");
    SetLibraryOption("bufsize", "1835008");
    SetPrivateOption("scan_offset", "1");
    SetLibraryOption("ab", "224000");
    AudioSampleRate = 44100;
    if (AudioChannels == 1) AudioChannels = 2;
    SetLibraryOption("packetsize", "2324");
    if (FrameAspectRatio == 0) SetAspectRatio("4:3");
  } else if (target == "dvd") {
    SetVideoCodec("mpeg2video");
    SetAudioCodec("ac3");
    SetOutputFormat("dvd");
    SetFrameSize(pal ? "720x576" : "720x480");
    SetFrameRate(rate);
    SetLibraryOption("g", pal ? "15" : "18");
    SetLibraryOption("b", "6000000");
    SetLibraryOption("maxrate", "9000000");
    SetLibraryOption("minrate", "0");
    SetLibraryOption("bufsize", "1835008");
    SetLibraryOption("ab", "448000");
    AudioSampleRate = 48000;
    if (AudioChannels == 1) AudioChannels = 2;
    SetLibraryOption("packetsize", "2048");
    SetPrivateOption("muxrate", "10080000");
    if (FrameAspectRatio == 0) SetAspectRatio("16:9");
  } else if (target == "dv" || target == "dv50") {
    SetOutputFormat("dv");
    SetFrameSize(pal ? "720x576" : "720x480");
    SetPixelFormat(target == "dv50" ? "yuv422p" : pal ? "yuv420p" : "yuv411p");
    SetFrameRate(rate);
    AudioSampleRate = 48000;
    AudioChannels = 2;
  } else {
    throw FFMpegException("Unknown target type");
  }
}

}  // namespace mf
