#include "TaskOptionApply.h"

#include <cstring>

#include "TaskOptionText.h"

namespace mf {

namespace {

template <size_t N>
std::string TagText(const std::array<char, N>& text) {
  return std::string(text.data(), strnlen(text.data(), N));
}

}  // namespace

int ResolveColor(int32_t color) {
  if (color >= 0) return color & 0xFFFFFF;
  // System colours carry their index in the low byte.
  switch (color & 0xFF) {
    case 5: return 0xFFFFFF;    // window
    case 8: return 0x000000;    // window text
    case 15: return 0xF0F0F0;   // button face
    case 16: return 0xA0A0A0;   // button shadow
    case 18: return 0x000000;   // button text
    default: return 0x000000;
  }
}

void ApplyExtOptions(TCustomFFmpeg& engine, const std::string& text) {
  for (const auto& [name, value] : ParseExtOptions(text)) engine.SetOption(name, value);
}

void ApplyInputOptions(TCustomFFmpeg& engine, const TInputOptions& options) {
  ApplyExtOptions(engine, options.ExtOptions);
  if (!options.FileFormat.empty()) engine.SetInputFormat(options.FileFormat);
  engine.SetStartTimeUs(static_cast<int64_t>(options.StartTime) * 1000);
  engine.SetProgramId(options.ProgramId);
}

void ApplyOutputOptions(TCustomFFmpeg& engine, const TOutputOptions& o, const TCustomHookHandler& customHook,
                        const TBeforeHookHandler& beforeHook) {
  ApplyExtOptions(engine, o.ExtOptions);
  if (!o.FileFormat.empty()) engine.SetOutputFormat(o.FileFormat);
  if (o.PacketSize > 0) engine.SetLibraryOptionInt("packetsize", o.PacketSize);
  if (o.MuxRate > 0) engine.SetLibraryOptionInt("muxrate", o.MuxRate);
  engine.SetMuxMaxDelay(o.MuxDelay);
  engine.SetMuxPreload(o.MuxPreload);
  engine.SetAudioCodec(o.AudioCodec);
  if (o.DisableAudio) engine.AudioDisable = 1;
  engine.SetAudioVolume(o.AudioVolume);
  engine.SetAudioChannels(o.AudioChannels);
  engine.SetAudioSampleRate(o.AudioSampleRate);
  if (o.AudioBitrate > 0) engine.SetLibraryOptionInt("ab", o.AudioBitrate);
  if (o.AudioBitrateTolerance > 0) engine.SetLibraryOptionInt("abt", o.AudioBitrateTolerance);
  engine.AudioLanguage = o.AudioLanguage;
  engine.SetAudioSyncMethod(o.AudioSyncMethod);
  engine.SetAudioTag(o.AudioTag);
  engine.SetVideoCodec(o.VideoCodec);
  if (o.DisableVideo) engine.VideoDisable = 1;
  if (!o.FrameRate.empty()) engine.SetFrameRate(o.FrameRate);
  if (!o.FrameSize.empty()) engine.SetFrameSize(o.FrameSize);
  if (!o.FrameAspectRatio.empty()) engine.SetAspectRatio(o.FrameAspectRatio);
  engine.SetCropTop(o.CropTop);
  engine.SetCropBottom(o.CropBottom);
  engine.SetCropLeft(o.CropLeft);
  engine.SetCropRight(o.CropRight);
  engine.SetPadTop(o.PadTop);
  engine.SetPadBottom(o.PadBottom);
  engine.SetPadLeft(o.PadLeft);
  engine.SetPadRight(o.PadRight);
  engine.SetPadColor(ResolveColor(o.PadColor));
  const struct {
    const char* Name;
    int32_t Value;
  } rates[] = {{"gop", o.GopSize},   {"vb", o.VideoBitrate},          {"maxrate", o.MaxRate},
               {"minrate", o.MinRate}, {"bt", o.VideoBitrateTolerance}, {"bufsize", o.BufferSize}};
  for (const auto& rate : rates)
    if (rate.Value > 0) engine.SetLibraryOptionInt(rate.Name, rate.Value);
  engine.SetVideoSyncMethod(o.VideoSyncMethod);
  engine.SetVideoTag(o.VideoTag);
  if (o.DisableSubtitle) engine.SubtitleDisable = 1;
  engine.SubtitleLanguage = o.SubtitleLanguage;
  engine.CopyTimestamps = o.CopyTimestamps;
  engine.SetRecordingTimeMs(o.RecordingTime);
  if (o.Timestamp == 0.0)
    engine.RecordTimestamp = LocalDaysToUnixSeconds(NowLocalDays());
  else if (o.Timestamp > 0.0)
    engine.RecordTimestamp = LocalDaysToUnixSeconds(o.Timestamp);
  engine.SetYear(o.Year);
  engine.SetTrack(o.Track);
  engine.SetTitle(TagText(o.Title));
  engine.SetAuthor(TagText(o.Author));
  engine.SetCopyright(TagText(o.Copyright));
  engine.SetComment(TagText(o.Comment));
  engine.SetAlbum(TagText(o.Album));
  engine.SetGenre(TagText(o.Genre));
  const char* norm = o.TargetNorm == 1 ? "pal" : o.TargetNorm == 2 ? "ntsc" : "auto";
  const char* fallback = o.TargetFallbackNorm == 1 ? "pal" : "ntsc";
  static const char* const targets[] = {nullptr, "vcd", "svcd", "dvd"};
  if (o.Target >= 1 && o.Target <= 3) engine.ApplyTargetPreset(targets[o.Target], norm, fallback);
  if (o.CustomHook)
    engine.CustomHookHandler = customHook;
  else if (o.BeforeHook)
    engine.BeforeHookHandler = beforeHook;
  else
    engine.SetHookTimeRanges(ParseHookTimeRanges(o.HookTimeRanges));
}

}  // namespace mf
