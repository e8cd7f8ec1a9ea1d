// The state of one run of Transcode: the three tables, built by the preparation and released
// as a whole when the run ends or fails.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AmrNbEncoder.h"
#include "EnginePointers.h"

extern "C" {
#include <libavutil/fifo.h>
#include <libswresample/swresample.h>
}

namespace mf {

struct TFrameDeleter {
  void operator()(AVFrame* f) const { ff::av_frame_free(&f); }
};
using TFramePtr = std::unique_ptr<AVFrame, TFrameDeleter>;

struct TPacketDeleter {
  void operator()(AVPacket* p) const { ff::av_packet_free(&p); }
};
using TPacketPtr = std::unique_ptr<AVPacket, TPacketDeleter>;

struct TSwrContextDeleter {
  void operator()(SwrContext* s) const { ff::swr_free(&s); }
};
using TSwrContextPtr = std::unique_ptr<SwrContext, TSwrContextDeleter>;

struct TFifoDeleter {
  void operator()(AVFifo* f) const { ff::av_fifo_freep2(&f); }
};
using TFifoPtr = std::unique_ptr<AVFifo, TFifoDeleter>;

struct TInputFileState {
  bool EofReached = false;
  int FirstStream = 0;  // index in InputStreams of the file's stream 0
  int StreamCount = 0;  // streams that appear later are ignored
};

struct TInputStreamState {
  int FileIndex = 0;
  int StreamIndex = 0;
  AVStream* Stream = nullptr;
  AVCodecContext* Decoder = nullptr;  // owned by the option state's InputDecoders
  bool Discard = true;
  bool DecodingNeeded = false;
  int64_t RateStart = 0;  // microseconds of wall clock
  unsigned RateFrames = 0;
  int64_t NextPts = AV_NOPTS_VALUE;  // microseconds
  int64_t Pts = 0;                   // microseconds
  bool IsStart = true;
  float Quality = 0.0f;  // of the last decoded picture, in lambda units
  // Decoded audio of another sample format is brought to signed 16-bit interleaved here.
  TSwrContextPtr ToS16;
  int ToS16Format = -1, ToS16Rate = 0, ToS16Channels = 0;
  bool DecoderDrained = false;
};

struct TOutputStreamState {
  int FileIndex = 0;
  int StreamIndex = 0;
  int SourceIndex = -1;
  AVStream* Stream = nullptr;
  AVCodecContext* Encoder = nullptr;  // owned by the option state's OutputStreamSetups
  bool StreamCopy = false;
  bool EncodingNeeded = false;
  int FrameNumber = 0;
  TInputStreamState* SyncSource = nullptr;
  int64_t SyncOpts = 0;  // encoder time-base units: frames for video, samples for audio
  // Video geometry.
  bool VideoResample = false;
  TFramePtr TempPicture;
  TSwsContextPtr ScaleContext;
  int ResampleHeight = 0;
  int ScaleWidth = 0, ScaleHeight = 0, ScaleFormat = -1;  // the source the scaler was made for
  bool VideoCrop = false;
  int BandTop = 0, BandLeft = 0;
  bool VideoPad = false;
  int PaddingTop = 0, PaddingBottom = 0, PaddingLeft = 0, PaddingRight = 0;
  // Audio.
  bool AudioResample = false;
  TSwrContextPtr Resampler;        // channels and rate, 16-bit to 16-bit
  TSwrContextPtr ToEncoderFormat;  // 16-bit interleaved to the encoder's sample format
  TFifoPtr SampleFifo;             // 16-bit interleaved bytes waiting for a whole frame
  TFramePtr AudioFrame;            // the frame handed to the encoder, reused
  std::unique_ptr<TAmrNbEncoder> AmrNb;
  // Two-pass statistics.
  TMyFilePtr PassLogFile;
  TAvText Pass2Stats;
  // What the muxer has been given: end of the last packet, in the stream's time base.
  int64_t CurrentPts = 0;
  float CodedQuality = -1.0f;  // lambda of the last coded picture
  int CodedPictureType = 0;
  uint64_t CodedError[3] = {0, 0, 0};
  bool EncoderFlushed = false;
};

}  // namespace mf
