// How far a running transcode has got, for the host; the final byte statistics; the optional
// per-frame video statistics file.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "FFmpeg.h"
#include "MessageFormat.h"

namespace mf {

namespace {

double PsnrOf(double d) { return -10.0 * std::log10(d); }

// Appends with C formatting, cut to the room the fixed line has left.
template <typename... Args>
void Append(char* line, size_t size, const char* format, Args... args) {
  const size_t used = std::strlen(line);
  if (used + 1 >= size) return;
  ff::my_snprintf(line + used, size - used, format, args...);
}

}  // namespace

int64_t TCustomFFmpeg::OutputFileSize(int file) const {
  if (file >= OutputFileCount || !OutputFiles[file] || !OutputFiles[file]->pb) return 0;
  AVIOContext* pb = OutputFiles[file]->pb;
  int64_t size = ff::avio_size(pb);
  if (size < 0) size = ff::avio_seek(pb, 0, SEEK_CUR);
  return size < 0 ? 0 : size;
}

void TCustomFFmpeg::ReportProgress(bool last) {
  const int64_t totalSize = OutputFileSize(0);
  char line[1024] = {};
  double time = 1e10;
  int frameNumber = -1, fps = -1;
  float quality = -1.0f;
  bool videoSeen = false;
  for (const auto& ostPtr : OutputStreams) {
    const TOutputStreamState& ost = *ostPtr;
    const bool video = ost.Stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
    const float q = ost.EncodingNeeded && ost.CodedQuality >= 0 ? ost.CodedQuality / FF_QP2LAMBDA : -1.0f;
    if (video && videoSeen) Append(line, sizeof line, "q=%2.1f ", q);
    if (video && !videoSeen) {
      videoSeen = true;
      const double elapsed = static_cast<double>(ff::av_gettime_relative() - TranscodeStartTime) / 1000000.0;
      frameNumber = ost.FrameNumber;
      // Nothing is reported before the first picture is out.
      if (frameNumber < 1) return;
      fps = elapsed > 1.0 ? static_cast<int>(frameNumber / elapsed + 0.5) : 0;
      quality = q;
      Append(line, sizeof line, "frame=%5d fps=%3d q=%3.1f ", frameNumber, fps, static_cast<double>(quality));
      if (last) Append(line, sizeof line, "L");
      if (QpHistogram) {
        const long qp = std::lrint(quality);
        if (qp >= 0 && qp < static_cast<long>(QpCounts.size())) ++QpCounts[static_cast<size_t>(qp)];
        for (int j = 0; j < 32; ++j)
          Append(line, sizeof line, "%X", static_cast<unsigned>(std::lrint(std::log2(QpCounts[static_cast<size_t>(j)] + 1))));
      }
      const AVCodecContext* enc = ost.Encoder;
      if (ost.EncodingNeeded && (enc->flags & AV_CODEC_FLAG_PSNR)) {
        Append(line, sizeof line, "PSNR=");
        const double scale = static_cast<double>(enc->width) * enc->height * 255.0 * 255.0 * (last ? frameNumber : 1);
        double errorSum = 0, scaleSum = 0;
        const char letters[3] = {'Y', 'U', 'V'};
        for (int j = 0; j < 3; ++j) {
          const double error = static_cast<double>(last ? enc->error[j] : ost.CodedError[j]);
          const double planeScale = j == 0 ? scale : scale / 4;
          errorSum += error;
          scaleSum += planeScale;
          Append(line, sizeof line, "%c:%2.2f ", letters[j], PsnrOf(error / planeScale));
        }
        Append(line, sizeof line, "*:%2.2f ", PsnrOf(errorSum / scaleSum));
      }
    }
    const double outputTime = static_cast<double>(ost.CurrentPts) * av_q2d(ost.Stream->time_base);
    if (outputTime > 0 && outputTime < time) time = outputTime;
  }
  // Nothing written yet (no stream has a positive time) counts as the shortest time, not as
  // the starting value of the search.
  if (time < 0.01 || time >= 1e10) time = 0.01;

  if (ProgressHandler || Verbosity > 0 || last) {
    const double bitRate = static_cast<double>(totalSize) * 8 / time / 1000;
    Append(line, sizeof line, "size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", totalSize / 1024.0, time, bitRate);
    if (Verbosity > 1) Append(line, sizeof line, " dup=%d drop=%d", DuplicatedFrames, DroppedFrames);
    if (ProgressHandler)
      ProgressHandler(this, frameNumber, fps, static_cast<int>(std::min(time * 1000, static_cast<double>(INT_MAX))), quality,
                      static_cast<float>(bitRate), totalSize, TotalOutputDurationMs);
    else if (Verbosity >= 0 && LogHandler)
      Log(1, line);
  }

  if (last && Verbosity >= 0 && LogHandler) {
    const int64_t raw = VideoBytes + AudioBytes + HeaderBytes;
    // Nothing produced: no overhead to speak of, rather than a division by zero.
    const double overhead = raw > 0 ? 100.0 * static_cast<double>(totalSize - raw) / static_cast<double>(raw) : 0.0;
    Log(1, FormatMessage("video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                         {VideoBytes / 1024.0, AudioBytes / 1024.0, HeaderBytes / 1024.0, overhead}));
  }
}

void TCustomFFmpeg::WriteVideoStats(TOutputStreamState& ost, int frameSize) {
  if (!VstatsFile) {
    VstatsFile.reset(ff::my_fopen(VstatsFileName.get(), "w"));
    if (!VstatsFile) throw FFMpegException(std::string("fopen fail: ") + VstatsFileName.get());
  }
  const AVCodecContext* enc = ost.Encoder;
  if (enc->codec_type != AVMEDIA_TYPE_VIDEO) return;
  FILE* file = VstatsFile.get();
  ff::my_fprintf(file, "frame= %5d q= %2.1f ", ost.FrameNumber, static_cast<double>(ost.CodedQuality) / FF_QP2LAMBDA);
  if (enc->flags & AV_CODEC_FLAG_PSNR)
    ff::my_fprintf(file, "PSNR= %6.2f ",
                   PsnrOf(static_cast<double>(ost.CodedError[0]) / (static_cast<double>(enc->width) * enc->height * 255.0 * 255.0)));
  ff::my_fprintf(file, "f_size= %6d ", frameSize);
  const double tb = av_q2d(enc->time_base);
  double t = static_cast<double>(ost.SyncOpts) * tb;
  if (t < 0.01) t = 0.01;
  ff::my_fprintf(file, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ", VideoBytes / 1024.0, t,
                 frameSize * 8 / tb / 1000, VideoBytes * 8 / t / 1000);
  ff::my_fprintf(file, "type= %c\n", ff::av_get_picture_type_char(static_cast<AVPictureType>(ost.CodedPictureType)));
}

}  // namespace mf
