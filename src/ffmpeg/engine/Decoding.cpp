// One packet of one input stream: decoding, the stream's clock, volume, rate emulation, and
// the hand-over of every decoded unit to the output streams it feeds; copied streams get the
// packet itself. Without a packet the decoder and the encoders fed by it are drained.
#include <algorithm>
#include <chrono>
#include <thread>

#include "FFmpeg.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

#include "MessageFormat.h"

namespace mf {

namespace {

// Microseconds of one frame of a video stream, from the rate the stream reports.
int64_t FrameDurationUs(const AVStream* stream) {
  AVRational rate = stream->r_frame_rate;
  if (rate.num <= 0 || rate.den <= 0) rate = stream->avg_frame_rate;
  if (rate.num <= 0 || rate.den <= 0) return 0;
  return ff::av_rescale(1000000, rate.den, rate.num);
}

}  // namespace

void TCustomFFmpeg::ApplyVolume(uint8_t* data, int bytes) const {
  auto* samples = reinterpret_cast<int16_t*>(data);
  const int count = bytes / 2;
  for (int i = 0; i < count; ++i) {
    const int value = (samples[i] * AudioVolume + 128) >> 8;
    samples[i] = static_cast<int16_t>(std::clamp(value, -32768, 32767));
  }
}

int TCustomFFmpeg::ConvertAudioToS16(TInputStreamState& ist, const AVFrame* frame) {
  const int channels = frame->ch_layout.nb_channels;
  const int bytes = frame->nb_samples * channels * 2;
  if (bytes <= 0) return 0;
  if (DecodedAudioBuffer.size() < static_cast<size_t>(bytes)) DecodedAudioBuffer.resize(std::max<size_t>(bytes, 192000));
  if (frame->format == AV_SAMPLE_FMT_S16) {
    std::copy_n(frame->data[0], bytes, DecodedAudioBuffer.data());
    return bytes;
  }
  if (!ist.ToS16 || ist.ToS16Format != frame->format || ist.ToS16Rate != frame->sample_rate || ist.ToS16Channels != channels) {
    SwrContext* swr = nullptr;
    AVChannelLayout layout = frame->ch_layout;  // a shallow copy: the call only reads it
    if (ff::swr_alloc_set_opts2(&swr, &layout, AV_SAMPLE_FMT_S16, frame->sample_rate, &layout,
                                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr) < 0)
      return -1;
    ist.ToS16.reset(swr);
    if (ff::swr_init(swr) < 0) {
      ist.ToS16.reset();
      return -1;
    }
    ist.ToS16Format = frame->format;
    ist.ToS16Rate = frame->sample_rate;
    ist.ToS16Channels = channels;
  }
  uint8_t* out[1] = {DecodedAudioBuffer.data()};
  const int converted = ff::swr_convert(ist.ToS16.get(), out, frame->nb_samples,
                                        const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
  return converted < 0 ? -1 : converted * channels * 2;
}

void TCustomFFmpeg::EmulateRate(TInputStreamState& ist) {
  if (!InputRateEmulation[ist.FileIndex]) return;
  int64_t due;
  const int64_t frameUs = FrameDurationUs(ist.Stream);
  if (ist.Stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && frameUs > 0)
    due = frameUs * ist.RateFrames;
  else
    due = ist.Pts;
  const int64_t elapsed = ff::av_gettime_relative() - ist.RateStart;
  if (due - elapsed > 50000) std::this_thread::sleep_for(std::chrono::milliseconds((due - elapsed) / 1000));
  ++ist.RateFrames;
}

int TCustomFFmpeg::ProcessPacket(TInputStreamState& ist, int istIndex, const AVPacket* packet) {
  if (ist.NextPts == AV_NOPTS_VALUE) ist.NextPts = ist.Pts;
  if (packet && packet->dts != AV_NOPTS_VALUE)
    ist.Pts = ist.NextPts = ff::av_rescale_q(packet->dts, ist.Stream->time_base, AV_TIME_BASE_Q);

  if (!ist.DecodingNeeded) {
    if (!packet) return 0;
    ist.Pts = ist.NextPts;
    const AVCodecParameters* par = ist.Stream->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0) {
      if (par->frame_size > 0)
        ist.NextPts += ff::av_rescale(1000000, par->frame_size, par->sample_rate);
      else if (packet->duration > 0)
        ist.NextPts += ff::av_rescale_q(packet->duration, ist.Stream->time_base, AV_TIME_BASE_Q);
    } else if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
      ist.NextPts += FrameDurationUs(ist.Stream);
    }
    EmulateRate(ist);
    if (StartTime == 0 || ist.Pts >= StartTime) CopyPacket(ist, istIndex, *packet);
    return 0;
  }

  // A stream that is decoded for some outputs may still be copied to others: they get the
  // packet as read, once, at the time the packet starts.
  if (packet) {
    ist.Pts = ist.NextPts;
    if (StartTime == 0 || ist.Pts >= StartTime) CopyPacket(ist, istIndex, *packet);
  }

  // A decoding failure of the drain still lets the encoders drain.
  int result = 0;
  AVCodecContext* dec = ist.Decoder;
  switch (dec->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
    case AVMEDIA_TYPE_VIDEO: {
      if (packet || !ist.DecoderDrained) {
        const int sent = ff::avcodec_send_packet(dec, packet);
        if (!packet) ist.DecoderDrained = true;
        if (sent < 0 && sent != AVERROR_EOF && sent != AVERROR(EAGAIN)) {
          if (packet) return -1;
          result = -1;
        }
      }
      if (!DecodedFrame) DecodedFrame.reset(ff::av_frame_alloc());
      if (!DecodedFrame) return -1;
      int frames = 0;
      for (;;) {
        const int received = ff::avcodec_receive_frame(dec, DecodedFrame.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
        if (received < 0) {
          if (packet) return -1;
          result = -1;
          break;
        }
        ist.Pts = ist.NextPts;
        // What the drain brings out is no packet's.
        if (frames++ > 0 && packet && Verbosity > 0 && LogHandler)
          Log(0, FormatMessage("Multiple frames in a packet from stream %d", {packet->stream_index}));
        if (dec->codec_type == AVMEDIA_TYPE_AUDIO)
          DispatchAudio(ist, istIndex, DecodedFrame.get());
        else
          DispatchVideo(ist, istIndex, DecodedFrame.get());
        ff::av_frame_unref(DecodedFrame.get());
      }
      break;
    }
    case AVMEDIA_TYPE_SUBTITLE: {
      if (!packet) break;
      AVSubtitle subtitle{};
      int got = 0;
      AVPacket* mutablePacket = const_cast<AVPacket*>(packet);
      if (ff::avcodec_decode_subtitle2(dec, &subtitle, &got, mutablePacket) < 0) return -1;
      if (!got) break;
      // The rectangles belong to the subtitle until it is freed, on every way out.
      const std::unique_ptr<AVSubtitle, void (*)(AVSubtitle*)> owner(&subtitle, [](AVSubtitle* s) { ff::avsubtitle_free(s); });
      ist.Pts = ist.NextPts;
      if (StartTime == 0 || ist.Pts >= StartTime)
        for (const auto& ost : OutputStreams)
          if (ost->SourceIndex == istIndex && ost->EncodingNeeded) OutputSubtitle(*ost, ist, subtitle, packet->pts);
      break;
    }
    default: return -1;
  }
  if (!packet) DrainEncoders(istIndex);
  return result;
}

void TCustomFFmpeg::DispatchAudio(TInputStreamState& ist, int istIndex, const AVFrame* frame) {
  const int bytes = ConvertAudioToS16(ist, frame);
  if (bytes <= 0) return;
  const int rate = frame->sample_rate > 0 ? frame->sample_rate : ist.Decoder->sample_rate;
  const int channels = frame->ch_layout.nb_channels;
  if (rate > 0 && channels > 0) ist.NextPts += static_cast<int64_t>(bytes) * 500000 / (static_cast<int64_t>(rate) * channels);
  if (AudioVolume != 256) ApplyVolume(DecodedAudioBuffer.data(), bytes);
  EmulateRate(ist);
  if (StartTime != 0 && ist.Pts < StartTime) return;
  for (const auto& ost : OutputStreams)
    if (ost->SourceIndex == istIndex && ost->EncodingNeeded && ost->Encoder->codec_type == AVMEDIA_TYPE_AUDIO)
      OutputAudio(*ost, ist, DecodedAudioBuffer.data(), bytes, rate, channels);
}

void TCustomFFmpeg::CopyPacket(TInputStreamState& ist, int istIndex, const AVPacket& packet) {
  for (const auto& ostPtr : OutputStreams) {
    TOutputStreamState& ost = *ostPtr;
    if (ost.SourceIndex != istIndex || ost.EncodingNeeded) continue;
    // A copy starts at a key frame.
    if (ost.FrameNumber == 0 && !(packet.flags & AV_PKT_FLAG_KEY)) continue;
    const AVMediaType type = ist.Stream->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_AUDIO) {
      AudioBytes += packet.size;
    } else if (type == AVMEDIA_TYPE_VIDEO) {
      VideoBytes += packet.size;
      ost.SyncOpts += 1;
    }
    TPacketPtr out(ff::av_packet_alloc());
    if (!out || ff::av_packet_ref(out.get(), &packet) < 0) throw FFMpegException("av_mallocz fail");
    const AVRational from = ist.Stream->time_base, to = ost.Stream->time_base;
    out->pts = packet.pts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : ff::av_rescale_q(packet.pts, from, to);
    out->dts = packet.dts == AV_NOPTS_VALUE ? ff::av_rescale_q(ist.Pts, AV_TIME_BASE_Q, to)
                                            : ff::av_rescale_q(packet.dts, from, to);
    out->duration = ff::av_rescale_q(packet.duration, from, to);
    out->flags = packet.flags;
    out->pos = -1;
    WritePacket(ost, out.get());
    ++ost.FrameNumber;
  }
}

void TCustomFFmpeg::DrainEncoders(int istIndex) {
  for (const auto& ostPtr : OutputStreams) {
    TOutputStreamState& ost = *ostPtr;
    if (ost.SourceIndex != istIndex || !ost.EncodingNeeded) continue;
    AVCodecContext* enc = ost.Encoder;
    switch (enc->codec_type) {
      case AVMEDIA_TYPE_AUDIO: {
        // The resampler's filter still holds the last input samples.
        FlushResampler(ost);
        if (ost.AmrNb || enc->frame_size <= 1) break;
        const size_t left = ost.SampleFifo ? ff::av_fifo_can_read(ost.SampleFifo.get()) : 0;
        const int channels = enc->ch_layout.nb_channels;
        if (left > 0) {
          // An encoder that takes whole frames only gets the last samples completed with
          // silence: dropping them would cut the end of the sound.
          const size_t frameBytes = static_cast<size_t>(enc->frame_size) * 2 * channels;
          const bool shortFrame = enc->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
          const size_t bytes = shortFrame ? left : std::max(left, frameBytes);
          if (ResampledAudioBuffer.size() < bytes) ResampledAudioBuffer.resize(bytes);
          ff::av_fifo_read(ost.SampleFifo.get(), ResampledAudioBuffer.data(), left);
          std::fill(ResampledAudioBuffer.begin() + static_cast<std::ptrdiff_t>(left),
                    ResampledAudioBuffer.begin() + static_cast<std::ptrdiff_t>(bytes), uint8_t{0});
          EncodeAudioFrame(ost, ResampledAudioBuffer.data(), static_cast<int>(bytes) / (2 * channels));
        }
        FlushEncoder(ost);
        break;
      }
      case AVMEDIA_TYPE_VIDEO:
        FlushEncoder(ost);
        break;
      default: break;
    }
  }
}

void TCustomFFmpeg::FlushEncoder(TOutputStreamState& ost) {
  if (ost.EncoderFlushed) return;
  ost.EncoderFlushed = true;
  if (ff::avcodec_send_frame(ost.Encoder, nullptr) < 0) return;
  ReceivePackets(ost);
}

int TCustomFFmpeg::ReceivePackets(TOutputStreamState& ost) {
  AVCodecContext* enc = ost.Encoder;
  const bool video = enc->codec_type == AVMEDIA_TYPE_VIDEO;
  if (!EncodedPacket) EncodedPacket.reset(ff::av_packet_alloc());
  if (!EncodedPacket) throw FFMpegException("av_mallocz fail");
  int lastSize = 0;
  for (;;) {
    const int result = ff::avcodec_receive_packet(enc, EncodedPacket.get());
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) break;
    if (result < 0) {
      if (video) throw FFMpegException("Video encoding failed");
      break;  // audio: no packet, nothing counted
    }
    AVPacket* packet = EncodedPacket.get();
    lastSize = packet->size;
    if (video) {
      VideoBytes += packet->size;
      size_t sideSize = 0;
      const uint8_t* stats = ff::av_packet_get_side_data(packet, AV_PKT_DATA_QUALITY_STATS, &sideSize);
      if (stats && sideSize >= 5) {
        ost.CodedQuality = static_cast<float>(AV_RL32(stats));
        ost.CodedPictureType = stats[4];
        const int errors = sideSize >= 8 ? stats[5] : 0;
        for (int i = 0; i < 3 && i < errors && 8 + 8 * static_cast<size_t>(i) + 8 <= sideSize; ++i)
          ost.CodedError[i] = AV_RL64(stats + 8 + 8 * i);
      }
      if (ost.PassLogFile && enc->stats_out) ff::my_fprintf(ost.PassLogFile.get(), "%s", enc->stats_out);
      // The encoders leave it empty; one tick of the encoder's time base is one picture, and
      // containers that end a track by its last packet's duration would drop that picture.
      if (packet->duration <= 0) packet->duration = 1;
    } else {
      AudioBytes += packet->size;
      packet->flags |= AV_PKT_FLAG_KEY;
    }
    ff::av_packet_rescale_ts(packet, enc->time_base, ost.Stream->time_base);
    WritePacket(ost, packet);
  }
  return lastSize;
}

}  // namespace mf
