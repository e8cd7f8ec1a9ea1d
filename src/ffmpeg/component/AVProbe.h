// Opens a media file and answers questions about its streams without converting it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace mf {

struct TAVFileInfo {
  int64_t StartTime = -1;  // microseconds
  int64_t Duration = -1;   // microseconds; AV_NOPTS_VALUE when the file does not tell
  int32_t BitRate = -1;
  int64_t Timestamp = -1;
  std::array<char, 512> Title{}, Author{}, Copyright{}, Comment{}, Album{};
  int32_t Year = -1;
  int32_t Track = -1;
  std::array<char, 32> Genre{};
};

struct TAVVideoInfo {
  std::array<char, 4> Language{};
  std::array<char, 32> CodecName{};
  int64_t StartTime = -1;  // stream time-base units
  int64_t Duration = -1;   // stream time-base units
  int32_t BitRate = -1;
  int32_t Height = -1;
  int32_t Width = -1;
  float DisplayAspectRatio = -1.0f;  // 0 with an unknown sample aspect ratio; NaN for 0/0
  int32_t PixelFormat = -1;
  int32_t FrameRateNum = -1;
  int32_t FrameRateDen = -1;
};

class TAVProbe {
 public:
  TAVProbe() = default;
  ~TAVProbe() { Close(); }
  TAVProbe(const TAVProbe&) = delete;
  TAVProbe& operator=(const TAVProbe&) = delete;

  // Throws FFMpegException when a codec library is not loaded; otherwise false with
  // LastError set when the file cannot be opened or analysed (no file stays open).
  bool Open(const std::string& fileName, const std::string& formatName = "");
  void Close();
  void GetFileInfo(TAVFileInfo& info) const;
  void GetVideoInfo(int streamIndex, TAVVideoInfo& info) const;

  const AVFormatContext* FormatContext() const { return Context.get(); }

  std::string LastError;
  std::string FormatName;
  int StreamCount = -1;
  int ProgramCount = -1;
  int AudioStreamCount = -1, VideoStreamCount = -1, SubtitleStreamCount = -1;
  int FirstAudioStream = -1, FirstVideoStream = -1, FirstSubtitleStream = -1;

 private:
  struct TInputCloser {
    void operator()(AVFormatContext* context) const;
  };
  std::unique_ptr<AVFormatContext, TInputCloser> Context;
};

}  // namespace mf
