// One decoded picture into zero, one or several encoded frames of one output video stream:
// the sync decision, crop, scale and pad, encoding; and the subtitle path beside it.
#include <cmath>
#include <cstring>

#include "FFmpeg.h"
#include "MessageFormat.h"
#include "PictureOps.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace mf {

namespace {

// Points view at the picture's planes moved down by top rows and right by left columns.
bool CropView(AVFrame* view, const AVFrame* picture, int top, int left) {
  const AVPixFmtDescriptor* desc = ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture->format));
  if (!desc || (desc->flags & AV_PIX_FMT_FLAG_PAL)) return false;
  if (top < 0 || left < 0 || top >= picture->height || left >= picture->width) return false;
  const int step = desc->flags & AV_PIX_FMT_FLAG_PLANAR ? 1 : desc->comp[0].step;
  for (int p = 0; p < 4 && picture->data[p]; ++p) {
    const bool chroma = p == 1 || p == 2;
    const int y = chroma ? top >> desc->log2_chroma_h : top;
    const int x = chroma ? left >> desc->log2_chroma_w : left;
    view->data[p] = picture->data[p] + static_cast<ptrdiff_t>(y) * picture->linesize[p] + static_cast<ptrdiff_t>(x) * step;
    view->linesize[p] = picture->linesize[p];
  }
  return true;
}

}  // namespace

void TCustomFFmpeg::DispatchVideo(TInputStreamState& ist, int istIndex, AVFrame* frame) {
  AVRational rate = ist.Stream->r_frame_rate;
  if (rate.num <= 0 || rate.den <= 0) rate = ist.Stream->avg_frame_rate;
  if (rate.num > 0 && rate.den > 0) ist.NextPts += ff::av_rescale(1000000, rate.den, rate.num);
  ist.Quality = static_cast<float>(frame->quality);
  const bool planesReplaced = PreprocessVideoFrame(ist, frame);
  EmulateRate(ist);
  if (StartTime != 0 && ist.Pts < StartTime) return;
  for (const auto& ostPtr : OutputStreams) {
    TOutputStreamState& ost = *ostPtr;
    if (ost.SourceIndex != istIndex || !ost.EncodingNeeded || ost.Encoder->codec_type != AVMEDIA_TYPE_VIDEO) continue;
    const int size = OutputVideo(ost, ist, frame, planesReplaced);
    if (VstatsFileName && size > 0) WriteVideoStats(ost, size);
  }
}

bool TCustomFFmpeg::MatchScaleSource(TOutputStreamState& ost, const AVFrame* picture) {
  const AVCodecContext* enc = ost.Encoder;
  const int width = picture->width - CropLeft - CropRight;
  const int height = picture->height - CropTop - CropBottom;
  if (width <= 0 || height <= 0) return false;
  const bool sameGeometry = width == enc->width - PadLeft - PadRight && height == enc->height - PadTop - PadBottom &&
                            picture->format == enc->pix_fmt;
  if (!ost.VideoResample && sameGeometry) return true;
  if (ost.ScaleContext && ost.ScaleWidth == width && ost.ScaleHeight == height && ost.ScaleFormat == picture->format)
    return true;
  // The picture's geometry changed mid-stream (or differs from what the stream said at
  // preparation): scale from what actually arrived rather than read past its planes.
  int64_t flags = SwsFlags;
  if (ScalerOptionContext) ff::av_opt_get_int(ScalerOptionContext.get(), "sws_flags", 0, &flags);
  SwsContext* scaler = ff::sws_getCachedContext(ost.ScaleContext.release(), width, height,
                                                static_cast<AVPixelFormat>(picture->format), enc->width - PadLeft - PadRight,
                                                enc->height - PadTop - PadBottom, enc->pix_fmt, static_cast<int>(flags),
                                                nullptr, nullptr, nullptr);
  ost.ScaleContext.reset(scaler);
  if (!scaler) return false;
  if (!ost.TempPicture) {
    ost.TempPicture.reset(ff::av_frame_alloc());
    if (!ost.TempPicture) return false;
    ost.TempPicture->format = enc->pix_fmt;
    ost.TempPicture->width = enc->width;
    ost.TempPicture->height = enc->height;
    if (ff::av_frame_get_buffer(ost.TempPicture.get(), 0) < 0) {
      ost.TempPicture.reset();
      return false;
    }
  }
  if (!sameGeometry && (ost.ScaleWidth || ost.ScaleHeight) && LogHandler && Verbosity >= 0)
    Log(1, FormatMessage("Input stream #%d.%d frame changed to %dx%d", {ost.SyncSource->FileIndex,
                                                                       ost.SyncSource->StreamIndex, picture->width,
                                                                       picture->height}));
  ost.VideoResample = true;
  ost.ScaleWidth = width;
  ost.ScaleHeight = height;
  ost.ScaleFormat = picture->format;
  ost.ResampleHeight = height;
  return true;
}

int TCustomFFmpeg::OutputVideo(TOutputStreamState& ost, TInputStreamState& ist, AVFrame* picture, bool planesReplaced) {
  AVCodecContext* enc = ost.Encoder;
  const double tb = av_q2d(enc->time_base);
  const double syncInputTime = static_cast<double>(ost.SyncSource->Pts - StartTime) / 1000000.0;

  // Sync: drop or repeat pictures so the output rate stays locked to the input clock.
  int64_t n = 1;
  if (VideoSyncMethod > 0 || (VideoSyncMethod == -1 && tb > 0.001)) {
    const double vdelta = syncInputTime / tb - static_cast<double>(ost.SyncOpts);
    if (vdelta < -1.1)
      n = 0;
    else if (VideoSyncMethod == 2)
      ost.SyncOpts = std::llrint(syncInputTime / tb);
    else if (vdelta > 1.1)
      n = std::llrint(vdelta);
    if (n == 0) {
      ++DroppedFrames;
      if (Verbosity > 2 && LogHandler) Log(1, "*** drop!");
    } else if (n > 1) {
      DuplicatedFrames += static_cast<int>(n - 1);
      if (Verbosity > 2 && LogHandler) Log(1, FormatMessage("*** %d dup!", {n - 1}));
    }
  } else {
    ost.SyncOpts = std::llrint(syncInputTime / tb);
  }
  n = std::min<int64_t>(n, static_cast<int64_t>(MaxFrames[0]) - ost.FrameNumber);
  if (n <= 0) return 0;

  if (!MatchScaleSource(ost, picture)) {
    if (LogHandler) Log(0, "error cropping picture");
    return 0;
  }

  // The picture as the encoder gets it: a view of the decoded one, or the scaled/padded copy.
  if (!EncoderInput) EncoderInput.reset(ff::av_frame_alloc());
  if (!EncoderInput) throw FFMpegException("av_mallocz fail");
  AVFrame* input = EncoderInput.get();
  ff::av_frame_unref(input);
  const bool useTemp = ost.VideoResample || ost.VideoPad;
  if (!useTemp) {
    // Zero copy: the encoder shares the decoder's buffer, cropped by pointer offsets. A
    // picture the hooks replaced lives in a buffer the next picture reuses, so it is handed
    // over without a reference and the encoder keeps a copy of its own.
    if (!planesReplaced && ff::av_frame_ref(input, picture) < 0) throw FFMpegException("av_mallocz fail");
    if (planesReplaced) {
      for (int p = 0; p < 4; ++p) {
        input->data[p] = picture->data[p];
        input->linesize[p] = picture->linesize[p];
      }
    }
    if (ost.VideoCrop && !CropView(input, picture, ost.BandTop, ost.BandLeft)) {
      if (LogHandler) Log(0, "error cropping picture");
      ff::av_frame_unref(input);
      return 0;
    }
    input->format = enc->pix_fmt;
    input->width = enc->width;
    input->height = enc->height;
  } else {
    AVFrame* temp = ost.TempPicture.get();
    // The encoder may still hold the previous picture: write into a buffer of our own.
    if (ff::av_frame_make_writable(temp) < 0) throw FFMpegException("av_mallocz fail");
    AVFrame source{};
    for (int p = 0; p < 4; ++p) {
      source.data[p] = picture->data[p];
      source.linesize[p] = picture->linesize[p];
    }
    source.format = picture->format;
    source.width = picture->width;
    source.height = picture->height;
    if (ost.VideoCrop && !CropView(&source, picture, ost.BandTop, ost.BandLeft)) {
      if (LogHandler) Log(0, "error cropping picture");
      return 0;
    }
    if (ost.VideoResample) {
      AVFrame target{};
      target.format = temp->format;
      target.width = temp->width;
      target.height = temp->height;
      for (int p = 0; p < 4; ++p) {
        target.data[p] = temp->data[p];
        target.linesize[p] = temp->linesize[p];
      }
      if (ost.VideoPad && !CropView(&target, temp, ost.PaddingTop, ost.PaddingLeft)) {
        if (LogHandler) Log(0, "error padding picture");
        return 0;
      }
      ff::sws_scale(ost.ScaleContext.get(), source.data, source.linesize, 0, ost.ResampleHeight, target.data,
                    target.linesize);
    } else {
      // Padding only: the picture goes into the middle of the bigger one.
      const int innerWidth = enc->width - ost.PaddingLeft - ost.PaddingRight;
      const int innerHeight = enc->height - ost.PaddingTop - ost.PaddingBottom;
      AVFrame target{};
      if (!CropView(&target, temp, ost.PaddingTop, ost.PaddingLeft)) {
        if (LogHandler) Log(0, "error padding picture");
        return 0;
      }
      ff::av_image_copy(target.data, target.linesize, const_cast<const uint8_t**>(source.data), source.linesize,
                        enc->pix_fmt, innerWidth, innerHeight);
    }
    if (ost.VideoPad) {
      const TPadding pad{ost.PaddingTop, ost.PaddingBottom, ost.PaddingLeft, ost.PaddingRight};
      PaintPadding(temp->data, temp->linesize, enc->pix_fmt, enc->width, enc->height, pad, PadColor.data());
    }
    if (ff::av_frame_ref(input, temp) < 0) throw FFMpegException("av_mallocz fail");
  }

  input->interlaced_frame = picture->interlaced_frame;
  const int64_t codecFlags = CodecOptionContexts[0] ? CodecOptionContexts[0]->flags : 0;
  if (codecFlags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME))
    input->top_field_first = TopFieldFirst == -1 ? picture->top_field_first : TopFieldFirst;
  const TOutputStreamSetup& setup = OutputStreamSetups[ost.FileIndex][ost.StreamIndex];
  input->quality = static_cast<int>(std::lrint(SameQuality ? ist.Quality : setup.Quality));
  input->pict_type = MeThreshold == 0 ? AV_PICTURE_TYPE_NONE : picture->pict_type;

  int outSize = 0;
  for (int64_t i = 0; i < n; ++i) {
    // A stop, or a pause, must not wait for a long run of repeated pictures.
    WaitWhilePaused();
    if (StopRequested.load(std::memory_order_relaxed)) break;
    input->pts = ost.SyncOpts;
    const int sent = ff::avcodec_send_frame(enc, input);
    if (sent < 0 && sent != AVERROR(EAGAIN)) throw FFMpegException("Video encoding failed");
    const int size = ReceivePackets(ost);
    if (size > 0) outSize = size;
    ++ost.SyncOpts;
    ++ost.FrameNumber;
  }
  ff::av_frame_unref(input);
  return outSize;
}

void TCustomFFmpeg::OutputSubtitle(TOutputStreamState& ost, TInputStreamState& ist, const AVSubtitle& subtitle, int64_t pts) {
  if (pts == AV_NOPTS_VALUE) {
    if (LogHandler) Log(0, "Subtitle packets must have a pts");
    return;
  }
  if (SubtitleBuffer.empty()) SubtitleBuffer.resize(65536);
  AVCodecContext* enc = ost.Encoder;
  // DVB subtitles are shown by one packet and cleared by a second.
  const int packets = enc->codec_id == AV_CODEC_ID_DVB_SUBTITLE ? 2 : 1;
  AVSubtitle copy = subtitle;
  copy.pts = ff::av_rescale_q(pts, ist.Stream->time_base, AV_TIME_BASE_Q);
  for (int i = 0; i < packets; ++i) {
    if (i == 1) copy.num_rects = 0;
    const int size = ff::avcodec_encode_subtitle(enc, SubtitleBuffer.data(), static_cast<int>(SubtitleBuffer.size()), &copy);
    if (size < 0) {
      if (LogHandler) Log(0, "Subtitle encoding failed");
      return;
    }
    TPacketPtr packet(ff::av_packet_alloc());
    if (!packet || ff::av_new_packet(packet.get(), size) < 0) throw FFMpegException("av_mallocz fail");
    std::memcpy(packet->data, SubtitleBuffer.data(), static_cast<size_t>(size));
    packet->pts = ff::av_rescale_q(pts, ist.Stream->time_base, ost.Stream->time_base);
    if (packets == 2) packet->pts += 90 * static_cast<int64_t>(i == 0 ? subtitle.start_display_time : subtitle.end_display_time);
    else
      packet->duration = ff::av_rescale_q(subtitle.end_display_time - subtitle.start_display_time, AVRational{1, 1000},
                                          ost.Stream->time_base);
    packet->dts = packet->pts;
    packet->flags |= AV_PKT_FLAG_KEY;
    WritePacket(ost, packet.get());
  }
}

}  // namespace mf
