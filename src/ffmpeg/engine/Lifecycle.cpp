// A task's life apart from the conversion itself: start, the run wrapper, the one end
// report, stop, halt, and the release of everything the engine holds.
#include <filesystem>

#include "FFmpeg.h"
#include "MessageFormat.h"

namespace mf {

TCustomFFmpeg::TCustomFFmpeg() = default;

TCustomFFmpeg::~TCustomFFmpeg() {
  StopAndWait();
  Cleanup();
}

void TCustomFFmpeg::StopAndWait() {
  Stop();
  // A task is never freed while its thread runs: wait for it to end (or let it go when this
  // is that thread, dropping its own task from its end report).
  WorkerThreadOwner.reset();
  Reporters.clear();
}

TFFmpegThread* TCustomFFmpeg::Start(bool onThread, TConvertPriority priority) {
  if (Running || Terminated) return nullptr;
  try {
    if (OutputFileCount <= 0) {
      Cleanup();
      throw FFMpegException("Must supply at least one output file");
    }
    if (InputFileCount == 0) {
      Cleanup();
      throw FFMpegException("Must supply at least one input file");
    }
  } catch (const std::exception& e) {
    Log(-1, e.what());
    ExceptionRaised = true;
    ExceptionMessage = e.what();
    DoTerminate();
    return nullptr;
  }
  Running = true;
  StopRequested = false;
  FinishedNormally = false;
  Terminated = false;
  if (!onThread) {
    Run();
    return nullptr;
  }
  WorkerThreadOwner = std::make_unique<TFFmpegThread>(this, priority);
  WorkerThread = WorkerThreadOwner.get();
  return WorkerThread;
}

void TCustomFFmpeg::Run() {
  FinishedNormally = false;
  try {
    Transcode();
  } catch (const std::exception& e) {
    Log(-1, e.what());
    ExceptionRaised = true;
    ExceptionMessage = e.what();
  } catch (...) {
    Log(-1, "Unknown error");
    ExceptionRaised = true;
    ExceptionMessage = "Unknown error";
  }
  CloseOpenCodecs();
  Cleanup();
  DoTerminate();
  // Nothing of the engine may be touched from here on: the end report may have freed it.
}

void TCustomFFmpeg::DoTerminate() {
  if (TerminateReported.exchange(true)) return;
  Running = false;
  Terminated = true;
  WorkerThread = nullptr;
  // A local copy: the handler may free this engine, and with it the member it was called from.
  const auto handler = TerminateHandler;
  if (handler) handler(this);
}

void TCustomFFmpeg::Stop() {
  StopRequested = true;
  // A paused task must wake up to see the request.
  Resume();
}

void TCustomFFmpeg::Halt() {
  if (Running) {
    Stop();
  } else if (!Terminated && !TerminateReported) {
    // Refused from now on, not only once the report has run.
    Terminated = true;
    Reporters.push_back(std::make_unique<TDoTerminateThread>(this));
  }
}

void TCustomFFmpeg::Cleanup() {
  if (!CodecLibrariesBound()) return;
  ReleaseTranscodeState();
  // Outputs: the file is closed before the context goes; a file that stayed empty (nothing
  // was ever written to it) is not left behind, nor is the file of a run that failed: it has
  // no trailer (an MP4 without its index does not play at all) and would pass for a result.
  const bool incomplete = ExceptionRaised;
  for (TOutputFormatContextPtr& output : OutputFiles) {
    if (!output) continue;
    const bool writesFile = output->oformat && !(output->oformat->flags & AVFMT_NOFILE);
    const std::string name = output->url ? output->url : "";
    if (writesFile && output->pb) ff::avio_closep(&output->pb);
    output.reset();
    std::error_code ec;
    if (writesFile && !name.empty() && std::filesystem::is_regular_file(name, ec) &&
        (incomplete || (std::filesystem::file_size(name, ec) == 0 && !ec)))
      std::filesystem::remove(name, ec);
  }
  // Inputs, option contexts, texts, tables and hook instances, each through its owner.
  static_cast<TEngineOptionState&>(*this) = TEngineOptionState{};
  HookBuffer = {};
  RgbBuffer = {};
  HookBitmap.reset();
  ToRgbContext.reset();
  FromRgbContext.reset();
  DecodedFrame.reset();
  EncoderInput.reset();
  EncodedPacket.reset();
  DecodedAudioBuffer = {};
  ResampledAudioBuffer = {};
  FrameAudioBuffer = {};
  SilenceBuffer = {};
  SubtitleBuffer = {};
}

}  // namespace mf
