// Opening an input: the demuxer, the stream information, the start position, and the
// stream properties an output without explicit settings inherits.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "FFmpeg.h"
#include "MessageFormat.h"
#include "OpenErrors.h"

namespace mf {

namespace {

std::string LowerExtension(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = fileName.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
  return extension;
}

struct TDictionaryDeleter {
  void operator()(AVDictionary* d) const { ff::av_dict_free(&d); }
};

}  // namespace

bool TCustomFFmpeg::OpenInputFile(const std::string& fileName) {
  RequireCodecLibraries();
  // The per-file settings go back to their defaults however this ends.
  struct TPerFileReset {
    TCustomFFmpeg* Engine;
    ~TPerFileReset() { Engine->ResetInputFileOptions(); }
  } perFileReset{this};
  // A full table is refused like any other input that cannot be opened.
  try {
    CheckInputFileRoom();
  } catch (const FFMpegException& e) {
    ErrorMessage = e.what();
    return false;
  }

  TFormatContextPtr context(ff::avformat_alloc_context());
  if (!context) {
    ErrorMessage = OpenErrorText(fileName, oeNoMemory);
    return false;
  }

  // What the demuxer may need to know of a raw input.
  AVDictionary* rawOptions = nullptr;
  if (FrameRate.num > 0 && FrameRate.den > 0)
    ff::av_dict_set(&rawOptions, "framerate", FormatMessage("%d/%d", {FrameRate.num, FrameRate.den}).c_str(), 0);
  ff::av_dict_set_int(&rawOptions, "sample_rate", AudioSampleRate, 0);
  ff::av_dict_set_int(&rawOptions, "channels", AudioChannels, 0);
  if (FrameWidth > 0 && FrameHeight > 0)
    ff::av_dict_set(&rawOptions, "video_size",
                    FormatMessage("%dx%d", {FrameWidth + PadLeft + PadRight, FrameHeight + PadTop + PadBottom}).c_str(), 0);
  if (FramePixelFormat >= 0)
    ff::av_dict_set(&rawOptions, "pixel_format", ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(FramePixelFormat)), 0);
  if (VideoChannel) ff::av_dict_set_int(&rawOptions, "channel", VideoChannel, 0);
  if (VideoStandard) ff::av_dict_set(&rawOptions, "standard", VideoStandard.get(), 0);
  if (LoopInput) ff::av_dict_set(&rawOptions, "loop", "1", 0);
  std::unique_ptr<AVDictionary, TDictionaryDeleter> options(rawOptions);

  AVCodecID videoId = AV_CODEC_ID_NONE, audioId = AV_CODEC_ID_NONE, subtitleId = AV_CODEC_ID_NONE;
  if (!CheckCodecName(VideoCodecName.get(), AVMEDIA_TYPE_VIDEO, false, videoId) ||
      !CheckCodecName(AudioCodecName.get(), AVMEDIA_TYPE_AUDIO, false, audioId) ||
      !CheckCodecName(SubtitleCodecName.get(), AVMEDIA_TYPE_SUBTITLE, false, subtitleId))
    return false;
  if (PgmyuvCompatibility) videoId = AV_CODEC_ID_PGMYUV;
  ApplyStoredOptions(context.get(), FormatOptionContext.get(), AV_OPT_FLAG_DECODING_PARAM);
  context->video_codec_id = videoId;
  context->audio_codec_id = audioId;
  context->subtitle_codec_id = subtitleId;

  AVFormatContext* raw = context.release();
  AVDictionary* remaining = options.release();
  // The library frees the context itself when opening fails.
  const int opened = ff::avformat_open_input(&raw, fileName.c_str(), InputFormat, &remaining);
  options.reset(remaining);
  if (opened < 0) {
    ErrorMessage = OpenFailureText(fileName, opened, InputFormat != nullptr);
    return false;
  }
  TInputFormatContextPtr input(raw);

  if (ProgramId != 0)
    for (unsigned p = 0; p < input->nb_programs; ++p)
      if (input->programs[p]->id != ProgramId) input->programs[p]->discard = AVDISCARD_ALL;

  int found;
  {
    // Probing opens and closes decoders, which other tasks do under the same lock.
    std::lock_guard<std::recursive_mutex> lock(CodecLock());
    found = ff::avformat_find_stream_info(input.get(), nullptr);
  }
  if (found < 0 && Verbosity >= 0) {
    ErrorMessage = FormatMessage("%s: could not find codec parameters", {fileName});
    return false;
  }

  int64_t timestamp = StartTime;
  if (input->start_time != AV_NOPTS_VALUE) timestamp += input->start_time;
  if (StartTime != 0) {
    ff::av_seek_frame(input.get(), -1, timestamp, AVSEEK_FLAG_BACKWARD);
    StartTime = 0;
  }

  TInputDecoders decoders;
  const bool rmvb = LowerExtension(fileName).rfind(".rmvb", 0) == 0;
  for (unsigned s = 0; s < input->nb_streams; ++s) {
    AVStream* stream = input->streams[s];
    AVCodecParameters* par = stream->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_VIDEO && par->format < 0 && rmvb) par->format = AV_PIX_FMT_YUV420P;
    TCodecContextPtr decoder(ff::avcodec_alloc_context3(nullptr));
    if (!decoder || ff::avcodec_parameters_to_context(decoder.get(), par) < 0) {
      ErrorMessage = OpenErrorText(fileName, oeNoMemory);
      return false;
    }
    if (ThreadCount > 1) decoder->thread_count = ThreadCount;
    switch (par->codec_type) {
      case AVMEDIA_TYPE_AUDIO:
        ApplyStoredOptions(decoder.get(), CodecOptionContexts[AVMEDIA_TYPE_AUDIO].get(),
                           AV_OPT_FLAG_DECODING_PARAM | AV_OPT_FLAG_AUDIO_PARAM);
        AudioChannels = par->ch_layout.nb_channels;
        AudioSampleRate = par->sample_rate;
        if (AudioDisable) stream->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_VIDEO: {
        ApplyStoredOptions(decoder.get(), CodecOptionContexts[AVMEDIA_TYPE_VIDEO].get(),
                           AV_OPT_FLAG_DECODING_PARAM | AV_OPT_FLAG_VIDEO_PARAM);
        FrameHeight = par->height;
        FrameWidth = par->width;
        if (par->width > 0 && par->height > 0) {
          const AVRational sar = par->sample_aspect_ratio;
          const double aspect = sar.den > 0 ? static_cast<double>(sar.num) / sar.den * par->width / par->height : 0.0;
          FrameAspectRatio = static_cast<float>(aspect);
          if (!(FrameAspectRatio > 0.0f) || std::isinf(FrameAspectRatio))
            SetAspectRatio(FormatMessage("%d:%d", {par->width, par->height}));
        } else {
          // A stream whose size the probe could not find has no aspect either; "w:0" would be
          // refused as an aspect text and fail an input that may still be usable.
          FrameAspectRatio = 0.0f;
        }
        FramePixelFormat = par->format;
        // Edge emulation and the decoders' motion-vector debug output have no counterpart to
        // set here: this library always emulates edges, and no encoder reuses decoded vectors.
        FrameRate = stream->r_frame_rate;
        if (VideoDisable)
          stream->discard = AVDISCARD_ALL;
        else if (VideoDiscard)
          stream->discard = static_cast<AVDiscard>(VideoDiscard);
        break;
      }
      case AVMEDIA_TYPE_SUBTITLE:
        if (SubtitleDisable) stream->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_DATA:
      case AVMEDIA_TYPE_ATTACHMENT:
      case AVMEDIA_TYPE_UNKNOWN: break;
      default: throw FFMpegException("invalid codec_type");
    }
    decoders.push_back(std::move(decoder));
  }

  if (input->duration != AV_NOPTS_VALUE && input->duration / 1000 > TotalOutputDurationMs)
    TotalOutputDurationMs = static_cast<int>(input->duration / 1000);

  const int index = InputFileCount;
  InputFileTsOffsets[index] = CopyTimestamps ? InputTsOffset : InputTsOffset - timestamp;
  InputRateEmulation[index] = RateEmulation != 0;
  InputDecoders[index] = std::move(decoders);
  if (Verbosity >= 0) ff::av_dump_format(input.get(), index, fileName.c_str(), 0);
  InputFiles[index] = std::move(input);
  ++InputFileCount;
  return true;
}

}  // namespace mf
