// Decoded 16-bit audio of one input stream into the packets of one output audio stream:
// channel and rate conversion, keeping the output in step with the input clock, whole
// encoder frames through the fifo.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "FFmpeg.h"
#include "MessageFormat.h"

namespace mf {

namespace {
constexpr int MaxSilenceBlockBytes = 131072;
}

void TCustomFFmpeg::OutputAudio(TOutputStreamState& ost, TInputStreamState& ist, const uint8_t* samples, int bytes,
                                int decRate, int decChannels) {
  AVCodecContext* enc = ost.Encoder;
  const int encChannels = enc->ch_layout.nb_channels;
  const int encRate = enc->sample_rate;
  if (encChannels <= 0 || encRate <= 0 || decChannels <= 0 || decRate <= 0) return;

  if (decChannels != encChannels) ost.AudioResample = true;
  if (ost.AudioResample && !ost.Resampler) {
    AVChannelLayout outLayout{}, inLayout{};
    ff::av_channel_layout_default(&outLayout, encChannels);
    ff::av_channel_layout_default(&inLayout, decChannels);
    SwrContext* swr = nullptr;
    const bool made = ff::swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16, encRate, &inLayout, AV_SAMPLE_FMT_S16,
                                              decRate, 0, nullptr) >= 0;
    ost.Resampler.reset(swr);
    if (!made || ff::swr_init(swr) < 0)
      throw FFMpegException(FormatMessage("Can not resample %d channels @ %d Hz to %d channels @ %d Hz",
                                          {decChannels, decRate, encChannels, encRate}));
  }

  // Sync against the input clock.
  const double ipts = static_cast<double>(ost.SyncSource->Pts - StartTime) / 1000000.0;
  const int64_t fifoSamples =
      ost.SampleFifo ? static_cast<int64_t>(ff::av_fifo_can_read(ost.SampleFifo.get())) / (2 * encChannels) : 0;
  if (AudioSyncMethod == 0) {
    ost.SyncOpts = std::llrint(ipts * encRate) - fifoSamples;
  } else {
    const double delta = ipts * encRate - static_cast<double>(ost.SyncOpts) - static_cast<double>(fifoSamples);
    const double idelta = delta * decRate / encRate;
    const int64_t byteDelta = static_cast<int64_t>(idelta) * 2 * decChannels;
    if (std::fabs(delta) > 50) {
      if (ist.IsStart || std::fabs(delta) > encRate * static_cast<double>(AudioDriftThreshold)) {
        if (byteDelta < 0) {
          const int drop = static_cast<int>(std::min<int64_t>(-byteDelta, bytes));
          samples += drop;
          bytes -= drop;
          if (Verbosity > 2 && LogHandler)
            Log(1, FormatMessage("discarding %d audio samples", {static_cast<int64_t>(-delta)}));
          if (bytes <= 0) return;
          ist.IsStart = false;
        } else {
          int64_t silence = byteDelta;
          if (silence + bytes <= MaxSilenceBlockBytes)
            ist.IsStart = false;
          else
            silence = std::max<int64_t>(0, MaxSilenceBlockBytes - bytes);
          SilenceBuffer.assign(static_cast<size_t>(silence + bytes), 0);
          std::memcpy(SilenceBuffer.data() + silence, samples, static_cast<size_t>(bytes));
          samples = SilenceBuffer.data();
          bytes += static_cast<int>(silence);
          if (Verbosity > 2 && LogHandler)
            Log(1, FormatMessage("adding %d audio samples of silence", {static_cast<int64_t>(delta)}));
        }
      } else if (AudioSyncMethod > 1 && ost.Resampler) {
        const int comp = static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(delta), -AudioSyncMethod, AudioSyncMethod));
        if (Verbosity > 2 && LogHandler)
          Log(1, FormatMessage("compensating audio timestamp drift:%f compensation:%d in:%d", {delta, comp, encRate}));
        ff::swr_set_compensation(ost.Resampler.get(), comp, encRate);
      }
    }
  }

  // Channels and rate.
  if (ost.AudioResample) {
    const int inSamples = bytes / (2 * decChannels);
    const int room = ff::swr_get_out_samples(ost.Resampler.get(), inSamples) + 16;
    const size_t needed = static_cast<size_t>(room) * 2 * encChannels;
    if (ResampledAudioBuffer.size() < needed) ResampledAudioBuffer.resize(needed);
    uint8_t* out[1] = {ResampledAudioBuffer.data()};
    const uint8_t* in[1] = {samples};
    const int converted = ff::swr_convert(ost.Resampler.get(), out, room, in, inSamples);
    if (converted < 0) return;
    samples = ResampledAudioBuffer.data();
    bytes = converted * 2 * encChannels;
  }
  EncodeAudioBlock(ost, samples, bytes);
}

void TCustomFFmpeg::EncodeAudioBlock(TOutputStreamState& ost, const uint8_t* samples, int bytes) {
  const AVCodecContext* enc = ost.Encoder;
  const int encChannels = enc->ch_layout.nb_channels;
  if (ost.AmrNb || enc->frame_size > 1) {
    const int frameSize = ost.AmrNb ? TAmrNbEncoder::FrameSamples : enc->frame_size;
    const size_t frameBytes = static_cast<size_t>(frameSize) * 2 * encChannels;
    if (ff::av_fifo_write(ost.SampleFifo.get(), samples, static_cast<size_t>(bytes)) < 0) return;
    if (FrameAudioBuffer.size() < frameBytes) FrameAudioBuffer.resize(frameBytes);
    while (ff::av_fifo_can_read(ost.SampleFifo.get()) >= frameBytes) {
      ff::av_fifo_read(ost.SampleFifo.get(), FrameAudioBuffer.data(), frameBytes);
      EncodeAudioFrame(ost, FrameAudioBuffer.data(), frameSize);
      ost.SyncOpts += frameSize;
    }
  } else {
    const int count = bytes / (2 * encChannels);
    if (count <= 0) return;
    const int64_t start = ost.SyncOpts;
    ost.SyncOpts += count;
    EncodeAudioFrame(ost, samples, count, start);
  }
}

void TCustomFFmpeg::FlushResampler(TOutputStreamState& ost) {
  if (!ost.Resampler) return;
  const int encChannels = ost.Encoder->ch_layout.nb_channels;
  const int room = ff::swr_get_out_samples(ost.Resampler.get(), 0) + 16;
  if (room <= 16 || encChannels <= 0) return;
  const size_t needed = static_cast<size_t>(room) * 2 * encChannels;
  if (ResampledAudioBuffer.size() < needed) ResampledAudioBuffer.resize(needed);
  uint8_t* out[1] = {ResampledAudioBuffer.data()};
  const int converted = ff::swr_convert(ost.Resampler.get(), out, room, nullptr, 0);
  if (converted > 0) EncodeAudioBlock(ost, ResampledAudioBuffer.data(), converted * 2 * encChannels);
}

void TCustomFFmpeg::EncodeAudioFrame(TOutputStreamState& ost, const uint8_t* samples, int count) {
  EncodeAudioFrame(ost, samples, count, ost.SyncOpts);
}

void TCustomFFmpeg::EncodeAudioFrame(TOutputStreamState& ost, const uint8_t* samples, int count, int64_t pts) {
  AVCodecContext* enc = ost.Encoder;
  if (ost.AmrNb) {
    TPacketPtr packet(ff::av_packet_alloc());
    if (!packet || ff::av_new_packet(packet.get(), TAmrNbEncoder::MaxPacketBytes) < 0) return;
    const int size = ost.AmrNb->EncodeFrame(reinterpret_cast<const int16_t*>(samples), packet->data, packet->size);
    if (size <= 0) return;
    ff::av_shrink_packet(packet.get(), size);
    packet->pts = packet->dts = pts;
    packet->duration = TAmrNbEncoder::FrameSamples;
    packet->flags |= AV_PKT_FLAG_KEY;
    AudioBytes += size;
    ff::av_packet_rescale_ts(packet.get(), enc->time_base, ost.Stream->time_base);
    WritePacket(ost, packet.get());
    return;
  }
  if (!ost.AudioFrame) ost.AudioFrame.reset(ff::av_frame_alloc());
  AVFrame* frame = ost.AudioFrame.get();
  if (!frame) return;
  // The encoder may still hold the previous frame's buffer: a new one is made when it does.
  if (frame->nb_samples != count || !frame->buf[0] || ff::av_frame_make_writable(frame) < 0) {
    ff::av_frame_unref(frame);
    frame->format = enc->sample_fmt;
    frame->sample_rate = enc->sample_rate;
    frame->nb_samples = count;
    if (ff::av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout) < 0 || ff::av_frame_get_buffer(frame, 0) < 0) {
      ff::av_frame_unref(frame);
      return;
    }
  }
  const int channels = enc->ch_layout.nb_channels;
  if (enc->sample_fmt == AV_SAMPLE_FMT_S16) {
    std::memcpy(frame->data[0], samples, static_cast<size_t>(count) * 2 * channels);
  } else {
    if (!ost.ToEncoderFormat) {
      SwrContext* swr = nullptr;
      const bool made = ff::swr_alloc_set_opts2(&swr, &enc->ch_layout, enc->sample_fmt, enc->sample_rate, &enc->ch_layout,
                                                AV_SAMPLE_FMT_S16, enc->sample_rate, 0, nullptr) >= 0;
      ost.ToEncoderFormat.reset(swr);
      if (!made || ff::swr_init(swr) < 0) {
        ost.ToEncoderFormat.reset();
        return;
      }
    }
    const uint8_t* in[1] = {samples};
    if (ff::swr_convert(ost.ToEncoderFormat.get(), frame->extended_data, count, in, count) < 0) return;
  }
  frame->pts = pts;
  if (ff::avcodec_send_frame(enc, frame) < 0) return;
  ReceivePackets(ost);
}

}  // namespace mf
