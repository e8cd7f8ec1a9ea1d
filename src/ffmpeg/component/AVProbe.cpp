#include "AVProbe.h"

#include <cmath>
#include <cstring>

#include "CodecLibraries.h"
#include "FFMpegException.h"
#include "MessageFormat.h"
#include "OpenErrors.h"

namespace mf {

namespace {

template <size_t N>
void CopyTag(const AVFormatContext* context, const char* key, std::array<char, N>& out) {
  const AVDictionaryEntry* entry = ff::av_dict_get(context->metadata, key, nullptr, 0);
  if (entry && entry->value) ff::av_strlcpy(out.data(), entry->value, N);
}

int32_t IntTag(const AVFormatContext* context, const char* key) {
  const AVDictionaryEntry* entry = ff::av_dict_get(context->metadata, key, nullptr, 0);
  return entry && entry->value ? std::atoi(entry->value) : 0;
}

void Log(int level, const std::string& text) { ff::av_log(nullptr, level, "%s", text.c_str()); }

}  // namespace

void TAVProbe::TInputCloser::operator()(AVFormatContext* context) const { ff::avformat_close_input(&context); }

bool TAVProbe::Open(const std::string& fileName, const std::string& formatName) {
  if (!LibAVCodecLoaded()) throw FFMpegException("LibAVCodec not loaded.");
  if (!LibAVFormatLoaded()) throw FFMpegException("LibAVFormat not loaded.");
  if (!LibAVUtilLoaded()) throw FFMpegException("LibAVUtil not loaded.");
  if (!LibSwScaleLoaded()) throw FFMpegException("LibSwScale not loaded.");
  Close();

  const AVInputFormat* format = nullptr;
  if (!formatName.empty()) {
    format = ff::av_find_input_format(formatName.c_str());
    if (!format) {
      LastError = FormatMessage("Unknown input format: %s", {formatName});
      return false;
    }
  }
  AVFormatContext* opened = nullptr;
  const int result = ff::avformat_open_input(&opened, fileName.c_str(), format, nullptr);
  if (result < 0) {
    // The library frees the context it allocated when opening fails.
    LastError = OpenFailureText(fileName, result, format != nullptr);
    return false;
  }
  Context.reset(opened);
  int found;
  {
    // Probing opens and closes decoders: serialised with the tasks' codec opening.
    std::lock_guard<std::recursive_mutex> lock(CodecLock());
    found = ff::avformat_find_stream_info(Context.get(), nullptr);
  }
  if (found < 0) {
    LastError = FormatMessage("%s: could not find codec parameters", {fileName});
    Close();
    return false;
  }
  StreamCount = static_cast<int>(Context->nb_streams);
  ProgramCount = static_cast<int>(Context->nb_programs);
  AudioStreamCount = VideoStreamCount = SubtitleStreamCount = 0;
  for (int i = 0; i < StreamCount; ++i) {
    switch (Context->streams[i]->codecpar->codec_type) {
      case AVMEDIA_TYPE_VIDEO:
        ++VideoStreamCount;
        if (FirstVideoStream < 0) FirstVideoStream = i;
        break;
      case AVMEDIA_TYPE_AUDIO:
        ++AudioStreamCount;
        if (FirstAudioStream < 0) FirstAudioStream = i;
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        ++SubtitleStreamCount;
        if (FirstSubtitleStream < 0) FirstSubtitleStream = i;
        break;
      default: break;
    }
  }
  FormatName = formatName;
  return true;
}

void TAVProbe::Close() {
  FormatName.clear();
  Context.reset();
  StreamCount = ProgramCount = -1;
  AudioStreamCount = VideoStreamCount = SubtitleStreamCount = -1;
  FirstAudioStream = FirstVideoStream = FirstSubtitleStream = -1;
}

void TAVProbe::GetFileInfo(TAVFileInfo& info) const {
  info = TAVFileInfo{};
  if (!Context) {
    Log(AV_LOG_INFO, "file not loaded.\n");
    return;
  }
  const AVFormatContext* c = Context.get();
  info.StartTime = c->start_time;
  info.Duration = c->duration;
  info.BitRate = static_cast<int32_t>(c->bit_rate);
  const AVDictionaryEntry* created = ff::av_dict_get(c->metadata, "creation_time", nullptr, 0);
  int64_t timestamp = 0;
  if (created && created->value && ff::av_parse_time(&timestamp, created->value, 0) >= 0) info.Timestamp = timestamp;
  else info.Timestamp = 0;
  CopyTag(c, "title", info.Title);
  CopyTag(c, "artist", info.Author);
  if (!info.Author[0]) CopyTag(c, "author", info.Author);
  CopyTag(c, "copyright", info.Copyright);
  CopyTag(c, "comment", info.Comment);
  CopyTag(c, "album", info.Album);
  info.Year = IntTag(c, "date");
  info.Track = IntTag(c, "track");
  CopyTag(c, "genre", info.Genre);
}

void TAVProbe::GetVideoInfo(int streamIndex, TAVVideoInfo& info) const {
  info = TAVVideoInfo{};
  if (!Context) {
    Log(AV_LOG_INFO, "file not loaded.\n");
    return;
  }
  if (streamIndex < 0) {
    streamIndex = FirstVideoStream;
    if (streamIndex < 0) {
      Log(AV_LOG_ERROR, "no video stream.\n");
      return;
    }
  }
  if (streamIndex >= StreamCount) {
    Log(AV_LOG_ERROR, FormatMessage("stream index #%d is invalid.\n", {streamIndex}));
    return;
  }
  const AVStream* stream = Context->streams[streamIndex];
  const AVCodecParameters* par = stream->codecpar;
  if (par->codec_type != AVMEDIA_TYPE_VIDEO) {
    Log(AV_LOG_ERROR, FormatMessage("stream #%d is not video stream.\n", {streamIndex}));
    return;
  }
  const AVDictionaryEntry* language = ff::av_dict_get(stream->metadata, "language", nullptr, 0);
  if (language && language->value) ff::av_strlcpy(info.Language.data(), language->value, info.Language.size());
  ff::av_strlcpy(info.CodecName.data(), ff::avcodec_get_name(par->codec_id), info.CodecName.size());
  info.StartTime = stream->start_time;
  info.Duration = stream->duration;
  info.BitRate = static_cast<int32_t>(par->bit_rate);
  info.Height = par->height;
  info.Width = par->width;
  // 0/0 is left to give NaN: the caller tells an unknown aspect from a known one by it.
  info.DisplayAspectRatio = static_cast<float>(
      par->width * (static_cast<double>(par->sample_aspect_ratio.num) / par->sample_aspect_ratio.den) / par->height);
  info.PixelFormat = par->format;
  info.FrameRateNum = stream->r_frame_rate.num;
  info.FrameRateDen = stream->r_frame_rate.den;
}

}  // namespace mf
