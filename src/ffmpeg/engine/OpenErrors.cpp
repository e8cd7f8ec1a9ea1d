#include "OpenErrors.h"

#include <cerrno>
#include <memory>

#include "AVFormatHlpr.h"
#include "AVUtilHlpr.h"
#include "MessageFormat.h"

namespace mf {

std::string OpenErrorText(const std::string& fileName, int code) {
  const char* format;
  switch (code) {
    case oeUnknownFormat: format = "%s: Unknown format"; break;
    case oeBadImageName:
      format =
          "%s: Incorrect image filename syntax.\r\nUse '%%d' to specify the image number:\r\n"
          "  for img1.jpg, img2.jpg, ..., use 'img%%d.jpg';\r\n  for img001.jpg, img002.jpg, ..., use 'img%%03d.jpg'.";
      break;
    case oeBadHeader: format = "%s: Error while parsing header"; break;
    case oeNoMemory: format = "%s: memory allocation error occurred"; break;
    case oeIo: format = "%s: I/O error occurred\r\nUsually that means that input file is truncated and/or corrupted."; break;
    case oeNoSuchFile: format = "%s: no such file or directory"; break;
    default: format = "%s: Error while opening file"; break;
  }
  return FormatMessage(format, {fileName});
}

int OpenErrorCode(int libraryResult, bool formatRecognised) {
  if (libraryResult == AVERROR(ENOENT) || libraryResult == AVERROR(ENOTDIR)) return oeNoSuchFile;
  if (libraryResult == AVERROR(EIO) || libraryResult == AVERROR_EOF || libraryResult == AVERROR(ENOSPC) ||
      libraryResult == AVERROR(EFBIG) || libraryResult == AVERROR(EPIPE))
    return oeIo;
  if (libraryResult == AVERROR(ENOMEM)) return oeNoMemory;
  if (libraryResult == AVERROR_DEMUXER_NOT_FOUND) return oeUnknownFormat;
  if (libraryResult == AVERROR_INVALIDDATA) return formatRecognised ? oeBadHeader : oeUnknownFormat;
  return oeOther;
}

std::string OpenFailureText(const std::string& fileName, int libraryResult, bool formatForced) {
  const bool recognised = formatForced || (libraryResult == AVERROR_INVALIDDATA && ProbeRecognisesFormat(fileName));
  return OpenErrorText(fileName, OpenErrorCode(libraryResult, recognised));
}

bool ProbeRecognisesFormat(const std::string& fileName) {
  AVIOContext* io = nullptr;
  if (ff::avio_open2(&io, fileName.c_str(), AVIO_FLAG_READ, nullptr, nullptr) < 0) return false;
  // The probe owns nothing of the I/O context; it is closed here whatever the probe says.
  const std::unique_ptr<AVIOContext*, void (*)(AVIOContext**)> closer(&io, [](AVIOContext** p) { ff::avio_closep(p); });
  const AVInputFormat* format = nullptr;
  // At the end of a short file the library settles for any match at all, down to a score of
  // 1 ("misdetection possible"), which plain text earns from some demuxers; only a score the
  // library would not probe further for counts as recognised.
  const int score = ff::av_probe_input_buffer2(io, &format, fileName.c_str(), nullptr, 0, 0);
  return format != nullptr && score >= AVPROBE_SCORE_RETRY;
}

}  // namespace mf
