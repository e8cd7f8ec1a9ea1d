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

// The planes of a picture as pointers and line sizes, without any buffer of their own.
struct TPlanes {
  uint8_t* Data[4] = {};
  int Linesize[4] = {};
};

TPlanes PlanesOf(const AVFrame* frame) {
  TPlanes planes;
  for (int p = 0; p < 4; ++p) {
    planes.Data[p] = frame->data[p];
    planes.Linesize[p] = frame->linesize[p];
  }
  return planes;
}

// A view of a width x height picture moved down by top rows and right by left columns:
// pointer offsets into the same buffer, nothing copied. False when the format's planes cannot
// be offset by whole bytes or the offset leaves no picture.
bool CropView(const TPlanes& picture, AVPixelFormat format, int width, int height, int top, int left, TPlanes& view) {
  const AVPixFmtDescriptor* desc = ff::av_pix_fmt_desc_get(format);
  if (!desc || (desc->flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL))) return false;
  if (top < 0 || left < 0 || top >= height || left >= width) return false;
  view = TPlanes{};
  for (int p = 0; p < 4 && picture.Data[p]; ++p) {
    view.Linesize[p] = picture.Linesize[p];
    // A palette stays where it is.
    if (p == 1 && (desc->flags & AV_PIX_FMT_FLAG_PAL)) {
      view.Data[p] = picture.Data[p];
      break;
    }
    const AVComponentDescriptor* component = nullptr;
    for (int c = 0; c < desc->nb_components && !component; ++c)
      if (desc->comp[c].plane == p) component = &desc->comp[c];
    if (!component) return false;
    const bool chroma = p == 1 || p == 2;
    const int y = chroma ? top >> desc->log2_chroma_h : top;
    const int x = chroma ? left >> desc->log2_chroma_w : left;
    view.Data[p] = picture.Data[p] + static_cast<ptrdiff_t>(y) * picture.Linesize[p] + static_cast<ptrdiff_t>(x) * component->step;
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

bool TCustomFFmpeg::MatchScaleSource(TOutputStreamState& ost, const TInputStreamState& ist, const AVFrame* picture) {
  const int width = picture->width - CropLeft - CropRight;
  const int height = picture->height - CropTop - CropBottom;
  if (width == ost.ScaleWidth && height == ost.ScaleHeight && picture->format == ost.ScaleFormat) return true;
  // The crop leaves nothing of this picture.
  if (width <= 0 || height <= 0) {
    if (LogHandler) Log(0, "error cropping picture");
    return false;
  }
  // The picture's geometry differs from what the stream said at preparation (its frame size
  // changed mid-stream): the scaler is rebuilt for what actually arrived rather than read
  // past the picture's planes or write past the encoder's.
  const AVCodecContext* enc = ost.Encoder;
  const int targetWidth = enc->width - PadLeft - PadRight;
  const int targetHeight = enc->height - PadTop - PadBottom;
  const bool sameGeometry = width == targetWidth && height == targetHeight && picture->format == enc->pix_fmt;
  if (!sameGeometry) {
    int64_t flags = SwsFlags;
    if (ScalerOptionContext) ff::av_opt_get_int(ScalerOptionContext.get(), "sws_flags", 0, &flags);
    ost.ScaleContext.reset(ff::sws_getCachedContext(ost.ScaleContext.release(), width, height,
                                                    static_cast<AVPixelFormat>(picture->format), targetWidth, targetHeight,
                                                    enc->pix_fmt, static_cast<int>(flags), nullptr, nullptr, nullptr));
    if (!ost.ScaleContext) {
      if (LogHandler) Log(0, "Cannot get resampling context");
      return false;
    }
    if (!ost.TempPicture) {
      ost.TempPicture.reset(ff::av_frame_alloc());
      if (!ost.TempPicture) throw FFMpegException("Cannot allocate temp picture, check pix fmt");
    }
  }
  if ((width != ost.ScaleWidth || height != ost.ScaleHeight) && Verbosity >= 0 && LogHandler)
    Log(1, FormatMessage("Input stream #%d.%d frame changed to %dx%d",
                         {ist.FileIndex, ist.StreamIndex, picture->width, picture->height}));
  ost.VideoResample = !sameGeometry;
  ost.ResampleHeight = height;
  ost.ScaleWidth = width;
  ost.ScaleHeight = height;
  ost.ScaleFormat = picture->format;
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

  if (!MatchScaleSource(ost, ist, picture)) return 0;
  const auto sourceFormat = static_cast<AVPixelFormat>(picture->format);

  // The formatted picture: a view of the decoded one, moved by the crop bands.
  TPlanes formatted = PlanesOf(picture);
  if (ost.VideoCrop && !CropView(PlanesOf(picture), sourceFormat, picture->width, picture->height, ost.BandTop, ost.BandLeft,
                                 formatted)) {
    if (LogHandler) Log(0, "error cropping picture");
    return 0;
  }

  if (!EncoderInput) EncoderInput.reset(ff::av_frame_alloc());
  if (!EncoderInput) throw FFMpegException("av_mallocz fail");
  AVFrame* input = EncoderInput.get();
  ff::av_frame_unref(input);
  if (!ost.VideoResample && !ost.VideoPad) {
    // Zero copy: the encoder takes a reference to the decoder's buffer, cropped by pointer
    // offsets. Planes the pre-processing replaced live in a buffer the next picture reuses:
    // they go without a reference, so the encoder keeps a copy of its own.
    if (!planesReplaced && ff::av_frame_ref(input, picture) < 0) throw FFMpegException("av_mallocz fail");
    for (int p = 0; p < 4; ++p) {
      input->data[p] = formatted.Data[p];
      input->linesize[p] = formatted.Linesize[p];
    }
    input->format = enc->pix_fmt;
    input->width = enc->width;
    input->height = enc->height;
  } else {
    AVFrame* temp = ost.TempPicture.get();
    // The encoder may still hold the previous picture: rather than copy it aside, a buffer of
    // our own is taken for this one.
    if (!temp->buf[0] || !ff::av_frame_is_writable(temp)) {
      ff::av_frame_unref(temp);
      temp->format = enc->pix_fmt;
      temp->width = enc->width;
      temp->height = enc->height;
      if (ff::av_frame_get_buffer(temp, 0) < 0) throw FFMpegException("Cannot allocate temp picture, check pix fmt");
    }
    TPlanes target = PlanesOf(temp);
    if (ost.VideoPad) {
      // The borders first: the picture then goes into the area they leave.
      const TPadding pad{ost.PaddingTop, ost.PaddingBottom, ost.PaddingLeft, ost.PaddingRight};
      if (!PaintPadding(temp->data, temp->linesize, enc->pix_fmt, enc->width, enc->height, pad, PadColor.data()) ||
          !CropView(PlanesOf(temp), enc->pix_fmt, enc->width, enc->height, ost.PaddingTop, ost.PaddingLeft, target)) {
        if (LogHandler) Log(0, "error padding picture");
        return 0;
      }
    }
    if (ost.VideoResample) {
      ff::sws_scale(ost.ScaleContext.get(), formatted.Data, formatted.Linesize, 0, ost.ResampleHeight, target.Data,
                    target.Linesize);
    } else {
      ff::av_image_copy(target.Data, target.Linesize, const_cast<const uint8_t**>(formatted.Data), formatted.Linesize,
                        enc->pix_fmt, enc->width - ost.PaddingLeft - ost.PaddingRight,
                        enc->height - ost.PaddingTop - ost.PaddingBottom);
    }
    if (ff::av_frame_ref(input, temp) < 0) throw FFMpegException("av_mallocz fail");
  }

  input->interlaced_frame = picture->interlaced_frame;
  const int64_t codecFlags = CodecOptionContexts[AVMEDIA_TYPE_VIDEO] ? CodecOptionContexts[AVMEDIA_TYPE_VIDEO]->flags : 0;
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
  const AVRational milliseconds{1, 1000};
  const int64_t start = subtitle.start_display_time, end = subtitle.end_display_time;
  // The encoders take a subtitle that starts at its pts: the display offset moves into it.
  AVSubtitle copy = subtitle;
  copy.pts = ff::av_rescale_q(pts, ist.Stream->time_base, AV_TIME_BASE_Q) + start * 1000;
  copy.start_display_time = 0;
  copy.end_display_time = static_cast<uint32_t>(end > start ? end - start : 0);
  const int64_t packetPts = ff::av_rescale_q(pts, ist.Stream->time_base, ost.Stream->time_base);
  for (int i = 0; i < packets; ++i) {
    if (i == 1) copy.num_rects = 0;
    const int size = ff::avcodec_encode_subtitle(enc, SubtitleBuffer.data(), static_cast<int>(SubtitleBuffer.size()), &copy);
    if (size < 0) {
      if (LogHandler) Log(0, "Subtitle encoding failed");
      return;
    }
    if (size == 0) continue;
    TPacketPtr packet(ff::av_packet_alloc());
    if (!packet || ff::av_new_packet(packet.get(), size) < 0) throw FFMpegException("av_mallocz fail");
    std::memcpy(packet->data, SubtitleBuffer.data(), static_cast<size_t>(size));
    // The display times are milliseconds: 90 ticks each of the 90 kHz clock DVB streams run
    // on, and as many as the output stream's own time base makes of them elsewhere.
    if (packets == 2) {
      packet->pts = packetPts + ff::av_rescale_q(i == 0 ? start : end, milliseconds, ost.Stream->time_base);
    } else {
      packet->pts = packetPts + ff::av_rescale_q(start, milliseconds, ost.Stream->time_base);
      packet->duration = ff::av_rescale_q(end - start, milliseconds, ost.Stream->time_base);
    }
    packet->dts = packet->pts;
    packet->flags |= AV_PKT_FLAG_KEY;
    WritePacket(ost, packet.get());
  }
}

}  // namespace mf
