// The two plain records that describe one conversion: TInputOptions for the input
// file and TOutputOptions for the output file. Every field's default means "not given"
// (-1 for numbers, empty for texts, except where a field says otherwise); a caller
// resets a record, sets what it needs and passes it. This file holds the data only: the
// application of a record to an engine belongs to the component.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mf {

// A zero-terminated character array of the output record's tag fields ("Title" ...).
template <std::size_t N>
using TTagText = std::array<char, N>;

struct TInputOptions {
  std::string FileName;    // name of the input; RegisterTask writes its argument here when empty
  std::string FileFormat;  // forced input format by short name; empty: detected
  int32_t StartTime = -1;  // milliseconds
  int32_t ProgramId = -1;
  std::string ExtOptions;  // further engine options, one "name=value" per line

  // Writes exactly the defaults above.
  void Reset();

  bool operator==(const TInputOptions&) const = default;
};

struct TOutputOptions {
  std::string FileName;    // name of the output; AssignTaskOutput writes its argument here when empty
  std::string Reserved;    // not read or applied
  std::string FileFormat;  // output format by short name; empty: the file name decides
  int32_t PacketSize = -1;
  int32_t MuxRate = -1;
  float MuxDelay = -1.0f;    // seconds
  float MuxPreload = -1.0f;  // seconds
  std::string AudioCodec;    // encoder name, or "copy"
  bool DisableAudio = false;
  int32_t AudioVolume = -1;      // 256 = unchanged
  int32_t AudioChannels = -1;
  int32_t AudioSampleRate = -1;  // Hz
  int32_t AudioBitrate = -1;     // bits/s
  int32_t AudioBitrateTolerance = -1;  // bits/s
  std::string AudioLanguage;
  int32_t AudioSyncMethod = 0;
  std::string AudioTag;  // four characters
  std::string VideoCodec;  // encoder name, or "copy"
  bool DisableVideo = false;
  std::string FrameRate;
  std::string FrameSize;
  std::string FrameAspectRatio;
  int32_t CropTop = -1;
  int32_t CropBottom = -1;
  int32_t CropLeft = -1;
  int32_t CropRight = -1;
  int32_t PadTop = -1;
  int32_t PadBottom = -1;
  int32_t PadLeft = -1;
  int32_t PadRight = -1;
  int32_t PadColor = 0;  // platform colour value; 0 = black
  int32_t GopSize = -1;
  int32_t VideoBitrate = -1;  // bits/s
  int32_t MaxRate = -1;       // bits/s
  int32_t MinRate = -1;       // bits/s
  int32_t VideoBitrateTolerance = -1;  // bits/s
  int32_t BufferSize = -1;
  int32_t VideoSyncMethod = -1;
  std::string VideoTag;  // four characters
  bool DisableSubtitle = false;
  std::string SubtitleLanguage;
  bool CopyTimestamps = false;
  int32_t RecordingTime = -1;  // milliseconds
  double Timestamp = -1.0;     // days since 1899-12-30, local time; 0 = now
  int32_t Year = -1;
  int32_t Track = -1;
  TTagText<512> Title{};
  TTagText<512> Author{};
  TTagText<512> Copyright{};
  TTagText<512> Comment{};
  TTagText<512> Album{};
  TTagText<32> Genre{};
  int32_t Target = 0;              // 0 none, 1 VCD, 2 SVCD, 3 DVD
  int32_t TargetNorm = 0;          // 0 automatic, 1 PAL, 2 NTSC; other values automatic
  int32_t TargetFallbackNorm = 1;  // 1 PAL, other values NTSC
  bool CustomHook = false;
  bool BeforeHook = false;
  std::string HookTimeRanges;  // "start-end,start-end", milliseconds
  std::string ExtOptions;      // further engine options, one "name=value" per line

  // Writes exactly the defaults above.
  void Reset();

  bool operator==(const TOutputOptions&) const = default;
};

}  // namespace mf
