// The transcode: preparation, then the loop that reads the input furthest behind, corrects
// its timestamps and hands each packet on; then the drain, the trailers and the last report.
#include <cmath>

#include "FFmpeg.h"
#include "MessageFormat.h"
#include "OpenErrors.h"

namespace mf {

namespace {

int MediaTypeIndex(AVMediaType type) {
  switch (type) {
    case AVMEDIA_TYPE_VIDEO: return 0;
    case AVMEDIA_TYPE_AUDIO: return 1;
    case AVMEDIA_TYPE_DATA: return 2;
    case AVMEDIA_TYPE_SUBTITLE: return 3;
    default: return -1;
  }
}

}  // namespace

void TCustomFFmpeg::Transcode() {
  FinishedNormally = false;
  PrepareTranscode();
  try {
    RunTranscodeLoop();
  } catch (...) {
    // A failure leaves no trailer; what the run opened goes with its tables.
    ReleaseTranscodeState();
    throw;
  }
  CloseOpenCodecs();
  FinishedNormally = !StopRequested.load();
  ReleaseTranscodeState();
}

void TCustomFFmpeg::RunTranscodeLoop() {
  TPacketPtr packet(ff::av_packet_alloc());
  if (!packet) throw FFMpegException("av_mallocz fail");
  int64_t lastReport = TranscodeStartTime;

  while (!StopRequested.load(std::memory_order_relaxed)) {
    WaitWhilePaused();
    // The input furthest behind.
    double inputMin = 1e100, outputMin = 1e100;
    int chosen = -1;
    for (const auto& ostPtr : OutputStreams) {
      const TOutputStreamState& ost = *ostPtr;
      const TInputStreamState& ist = *InputStreams[ost.SourceIndex];
      const AVMediaType type = ost.Stream->codecpar->codec_type;
      const double outputTime = type == AVMEDIA_TYPE_VIDEO && ost.EncodingNeeded
                                    ? static_cast<double>(ost.SyncOpts) * av_q2d(ost.Encoder->time_base)
                                    : static_cast<double>(ost.CurrentPts) * av_q2d(ost.Stream->time_base);
      const double inputTime = static_cast<double>(ist.Pts);
      if (!InputFileStates[ist.FileIndex].EofReached) {
        if (inputTime < inputMin) {
          inputMin = inputTime;
          if (InputSync) chosen = ist.FileIndex;
        }
        if (outputTime < outputMin) {
          outputMin = outputTime;
          if (!InputSync) chosen = ist.FileIndex;
        }
      }
      const int typeIndex = MediaTypeIndex(type);
      if (typeIndex >= 0 && ost.FrameNumber >= MaxFrames[typeIndex]) {
        chosen = -1;
        break;
      }
    }
    // Every input read, a frame limit, the recording time, the file size.
    if (chosen < 0) break;
    if (static_cast<double>(RecordingTime) / 1000000.0 <= outputMin) break;
    if (LimitFileSize != 0 && OutputFiles[0]->pb && ff::avio_seek(OutputFiles[0]->pb, 0, SEEK_CUR) > LimitFileSize) break;

    // One packet.
    AVFormatContext* input = InputFiles[chosen].get();
    if (ff::av_read_frame(input, packet.get()) < 0) {
      InputFileStates[chosen].EofReached = true;
      if (Shortest) break;
      continue;
    }
    // The packet is released on every way out of this iteration.
    const std::unique_ptr<AVPacket, void (*)(AVPacket*)> unref(packet.get(), [](AVPacket* p) { ff::av_packet_unref(p); });
    if (PacketDump) ff::av_pkt_dump_log2(nullptr, AV_LOG_DEBUG, packet.get(), HexDump, input->streams[packet->stream_index]);

    // Streams that appeared late, or that feed nothing, are dropped.
    const TInputFileState& fileState = InputFileStates[chosen];
    if (packet->stream_index >= fileState.StreamCount) continue;
    const int istIndex = fileState.FirstStream + packet->stream_index;
    TInputStreamState& ist = *InputStreams[istIndex];
    if (ist.Discard) continue;

    // Offset and scale.
    const AVRational tb = ist.Stream->time_base;
    const int64_t offset = ff::av_rescale_q(InputFileTsOffsets[chosen], AV_TIME_BASE_Q, tb);
    if (packet->dts != AV_NOPTS_VALUE) packet->dts += offset;
    if (packet->pts != AV_NOPTS_VALUE) packet->pts += offset;
    const double scale = packet->stream_index < MaxStreams ? InputFileTsScales[chosen][packet->stream_index] : 0.0;
    if (scale != 0.0) {
      if (packet->pts != AV_NOPTS_VALUE) packet->pts = std::llrint(static_cast<double>(packet->pts) * scale);
      if (packet->dts != AV_NOPTS_VALUE) packet->dts = std::llrint(static_cast<double>(packet->dts) * scale);
    }

    // Discontinuities.
    if (packet->dts != AV_NOPTS_VALUE && ist.NextPts != AV_NOPTS_VALUE && !CopyTimestamps) {
      const int64_t packetDts = ff::av_rescale_q(packet->dts, tb, AV_TIME_BASE_Q);
      const int64_t delta = packetDts - ist.NextPts;
      if (static_cast<double>(std::llabs(delta)) > static_cast<double>(DtsDeltaThreshold) * 1000000.0 ||
          packetDts + 1 < ist.Pts) {
        InputFileTsOffsets[chosen] -= delta;
        if (Verbosity > 2 && LogHandler)
          Log(1, FormatMessage("timestamp discontinuity %d, new offset= %d", {delta, InputFileTsOffsets[chosen]}));
        const int64_t shift = ff::av_rescale_q(delta, AV_TIME_BASE_Q, tb);
        packet->dts -= shift;
        if (packet->pts != AV_NOPTS_VALUE) packet->pts -= shift;
      }
    }

    // Decode and hand on.
    if (ProcessPacket(ist, istIndex, packet.get()) < 0) {
      if (Verbosity >= 0 && LogHandler)
        Log(1, FormatMessage("Error while decoding stream #%d.%d", {ist.FileIndex, ist.StreamIndex}));
      continue;
    }

    // Progress, at most once per interval.
    const int64_t now = ff::av_gettime_relative();
    if (now - lastReport > ReportInterval) {
      lastReport = now;
      ReportProgress(false);
    }
  }

  // Drain, trailers, last report.
  for (size_t i = 0; i < InputStreams.size(); ++i)
    if (InputStreams[i]->DecodingNeeded) ProcessPacket(*InputStreams[i], static_cast<int>(i), nullptr);
  // The trailer flushes what the muxer still buffers: a full disk may only show here.
  int trailerResult = 0;
  for (int file = 0; file < OutputFileCount; ++file) {
    const int result = ff::av_write_trailer(OutputFiles[file].get());
    if (result < 0 && trailerResult == 0) trailerResult = result;
  }
  if (trailerResult < 0) throw FFMpegException(OpenErrorText("av_write_trailer()", OpenErrorCode(trailerResult, true)));
  ReportProgress(true);
}

}  // namespace mf
