#include <cstring>
#include <new>

#include "FFmpeg.h"
#include "MessageFormat.h"

namespace mf {

TAvText DupText(std::string_view text) {
  TAvText copy(static_cast<char*>(ff::av_malloc(text.size() + 1)));
  if (!copy) throw std::bad_alloc();
  std::memcpy(copy.get(), text.data(), text.size());
  copy.get()[text.size()] = '\0';
  return copy;
}

void TCustomFFmpeg::RequireCodecLibraries() {
  if (!CodecLibrariesBound()) throw FFMpegException("The codec libraries are not loaded");
}

void TCustomFFmpeg::Log(int level, const std::string& text) {
  if (LogHandler) LogHandler(this, level, text);
}

void TCustomFFmpeg::ResetOptions() {
  if (!CodecLibrariesBound()) return;
  // Releases, through each owner, the files, contexts, matrices, codec names, texts, the
  // statistics file and every video hook instance; the defaults come with it.
  Cleanup();
  Running = false;
  StopRequested = false;
  FinishedNormally = false;
  Terminated = false;
  TerminateReported = false;
  TotalOutputDurationMs = -1;
  VideoBytes = AudioBytes = HeaderBytes = 0;
  DuplicatedFrames = DroppedFrames = 0;
  QpCounts = {};
  HookFrameCounter = 0;
  HookAction = haContinue;
  AllocateOptionContexts();
}

void TCustomFFmpeg::AllocateOptionContexts() {
  for (int type = 0; type < CodecOptionContextCount; ++type) {
    TCodecContextPtr context(ff::avcodec_alloc_context3(nullptr));
    if (!context) throw FFMpegException("Could not allocate the option contexts");
    context->codec_type = static_cast<AVMediaType>(type);
    CodecOptionContexts[type] = std::move(context);
  }
  FormatOptionContext.reset(ff::avformat_alloc_context());
  ScalerOptionContext.reset(
      ff::sws_getContext(16, 16, AV_PIX_FMT_YUV420P, 16, 16, AV_PIX_FMT_YUV420P, SwsFlags, nullptr, nullptr, nullptr));
  if (!FormatOptionContext || !ScalerOptionContext) throw FFMpegException("Could not allocate the option contexts");
}

void TCustomFFmpeg::ResetInputFileOptions() {
  InputFormat = nullptr;
  OutputFormat = nullptr;
  VideoChannel = 0;
  RateEmulation = 0;
  VideoCodecName.reset();
  AudioCodecName.reset();
  SubtitleCodecName.reset();
}

void TCustomFFmpeg::ResetOutputFileOptions() {
  OutputFormat = nullptr;
  InputFormat = nullptr;
}

void TCustomFFmpeg::ResetVideoStreamOptions() {
  VideoDisable = 0;
  VideoCodecName.reset();
  VideoStreamCopy = 0;
}

void TCustomFFmpeg::ResetAudioStreamOptions() {
  AudioDisable = 0;
  AudioCodecName.reset();
  AudioStreamCopy = 0;
  AudioLanguage.clear();
}

void TCustomFFmpeg::ResetSubtitleStreamOptions() {
  SubtitleDisable = 0;
  SubtitleCodecName.reset();
  SubtitleStreamCopy = 0;
  SubtitleLanguage.clear();
}

void TCustomFFmpeg::CheckStreamMapRoom() const {
  if (StreamMapCount >= MaxStreamMaps) throw FFMpegException(FormatMessage("Too many stream maps (at most %d)", {MaxStreamMaps}));
}

void TCustomFFmpeg::CheckMetaDataMapRoom() const {
  if (MetaDataMapCount >= MaxMetaDataMaps)
    throw FFMpegException(FormatMessage("Too many meta data maps (at most %d)", {MaxMetaDataMaps}));
}

void TCustomFFmpeg::CheckInputFileRoom() const {
  if (InputFileCount >= MaxFiles) throw FFMpegException(FormatMessage("Too many input files (at most %d)", {MaxFiles}));
}

void TCustomFFmpeg::CheckOutputFileRoom() const {
  if (OutputFileCount >= MaxFiles) throw FFMpegException(FormatMessage("Too many output files (at most %d)", {MaxFiles}));
}

}  // namespace mf
