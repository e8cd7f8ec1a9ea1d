#include "PlayerSettings.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "CaptionTranslation.h"
#include "JobCompletion.h"

namespace mf {

namespace {

struct TH264Choice {
  int ProfileId;
  TH264Profile Profile;
};

using enum TH264Profile;

// iPods, iPhones, iPod touch and the phones of 3GP decode Baseline only; Apple TV, the
// PlayStations decode Main.
constexpr TH264Choice H264Choices[] = {
    {ProfileIds::IPhone, Baseline},    {ProfileIds::IPhoneExtra, Baseline},    {ProfileIds::IPhoneWideScreen, Baseline},
    {ProfileIds::IPod, Baseline},      {ProfileIds::IPodExtra, Baseline},      {ProfileIds::IPodVideoForTV, Baseline},
    {ProfileIds::IPodTouch, Baseline}, {ProfileIds::IPodTouchExtra, Baseline}, {ProfileIds::IPodTouchWideScreen, Baseline},
    {ProfileIds::ThreeGP, Baseline},   {ProfileIds::ThreeG2, Baseline},        {ProfileIds::AppleTV, Main},
    {ProfileIds::AppleTVH264, Main},   {ProfileIds::PS3, Main},                {ProfileIds::PSP, Main},
};

// The players and phones, as against the generic containers and the audio formats.
constexpr int DeviceProfiles[] = {
    ProfileIds::IPhone,          ProfileIds::IPhoneExtra,         ProfileIds::IPhoneWideScreen,
    ProfileIds::IPod,            ProfileIds::IPodExtra,           ProfileIds::IPodVideoForTV,
    ProfileIds::IPodTouch,       ProfileIds::IPodTouchExtra,      ProfileIds::IPodTouchWideScreen,
    ProfileIds::AppleTV,         ProfileIds::AppleTVH264,         ProfileIds::ThreeGP,
    ProfileIds::ThreeG2,         ProfileIds::ArchosAV500,         ProfileIds::ArchosAV700,
    ProfileIds::CreativeZenVision, ProfileIds::IRiverPMP100,      ProfileIds::BlackBerryMPEG4,
    ProfileIds::BlackBerryAVI,   ProfileIds::BlackBerry3GP,       ProfileIds::PSP,
    ProfileIds::PS3,
};

// MPEG-1's own picture rates; the encoder takes others (15 fps, 14.985 fps) only as the widely
// read extensions of unofficial streams.
constexpr double MpegOneRates[] = {24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60};

// AMR-NB is narrow-band speech: one channel at 8 kHz.
constexpr int AmrNbSampleRate = 8000;

// The limits of the H.264 levels (table A-1 of the standard) up to 4.2.
struct TLevelLimits {
  int Idc;
  int64_t MaxMacroblocksPerSecond;
  int64_t MaxFrameMacroblocks;
  int MaxBitrateKbps;
  int MaxBufferKbits;
};

constexpr TLevelLimits LevelLimits[] = {
    {10, 1485, 99, 64, 175},           {11, 3000, 396, 192, 500},         {12, 6000, 396, 384, 1000},
    {13, 11880, 396, 768, 2000},       {20, 11880, 396, 2000, 2000},      {21, 19800, 792, 4000, 4000},
    {22, 20250, 1620, 4000, 4000},     {30, 40500, 1620, 10000, 10000},   {31, 108000, 3600, 14000, 14000},
    {32, 216000, 5120, 20000, 20000},  {40, 245760, 8192, 20000, 25000},  {41, 245760, 8192, 50000, 62500},
    {42, 522240, 8704, 50000, 62500},
};

// The ISO media family: their muxers write the index last unless told otherwise.
bool IsIsoExtension(std::string_view extension) {
  const std::string lower = AsciiLowerCase(extension);
  return lower == "mp4" || lower == "m4a" || lower == "mov" || lower == "3gp" || lower == "3g2";
}

void AddLine(TOutputOptions& job, const std::string& line) {
  if (!job.ExtOptions.empty()) job.ExtOptions += "\n";
  job.ExtOptions += line;
}

}  // namespace

bool IsDeviceProfile(int profileId) {
  return std::find(std::begin(DeviceProfiles), std::end(DeviceProfiles), profileId) != std::end(DeviceProfiles);
}

TH264Profile H264ProfileOf(int profileId) {
  for (const TH264Choice& choice : H264Choices)
    if (choice.ProfileId == profileId) return choice.Profile;
  return None;
}

TH264Level LowestH264Level(int width, int height, double rate, int64_t bitrate) {
  const int64_t macroblocks = static_cast<int64_t>((width + 15) / 16) * ((height + 15) / 16);
  for (const TLevelLimits& level : LevelLimits)
    if (macroblocks <= level.MaxFrameMacroblocks && macroblocks * rate <= level.MaxMacroblocksPerSecond &&
        bitrate <= int64_t{level.MaxBitrateKbps} * 1000)
      return {level.Idc, level.MaxBitrateKbps, level.MaxBufferKbits};
  return {};
}

void AddPlayerSettings(const TheAVCodec& profile, const TProfileControls& controls, TOutputOptions& job) {
  // Pictures: players decode 4:2:0; the encoders that also take other formats (H.264, MPEG-2)
  // would otherwise keep a camera's 4:2:2.
  if (!job.VideoCodec.empty() && !job.DisableVideo) AddLine(job, "pix_fmt=yuv420p");
  // The index before the media data, so that a file plays while it is still being copied.
  if (IsIsoExtension(profile.Extension)) AddLine(job, "movflags=+faststart");
  // The PSP reads its own variant of MP4 (its file type and a header of its own).
  if (profile.ProfileId == ProfileIds::PSP) job.FileFormat = "psp";
  // Whatever the sample-rate box offers: the encoder takes nothing else, and the phones play
  // nothing else.
  if (job.AudioCodec == "libamr_nb" && !job.DisableAudio) {
    job.AudioSampleRate = AmrNbSampleRate;
    job.AudioChannels = 1;
  }
  // A chosen rate MPEG-1 does not have (or the source's, which may be anything) is written as
  // the nearest of the extended rates instead of failing the file.
  if (job.VideoCodec == "mpeg1video" && !job.DisableVideo) {
    const double rate = FrameRateValue(FrameRateFromCaption(controls.BoxText(TOptionBox::VideoFramerate)));
    const bool standard = std::any_of(std::begin(MpegOneRates), std::end(MpegOneRates),
                                      [rate](double r) { return std::abs(r - rate) < 0.001; });
    if (!standard) AddLine(job, "strict=-1");
  }

  const TH264Profile h264 = H264ProfileOf(profile.ProfileId);
  if (job.VideoCodec != "libx264" || h264 == None) return;
  // The "v" keeps the setting off the audio encoder, whose profiles are numbered otherwise.
  AddLine(job, "vprofile=" + std::to_string(static_cast<int>(h264)));
  // The level follows from the stream's limits: the rate and buffer of the lowest level that
  // takes the picture at the chosen frame rate (the players' highest when the source's rate is
  // kept) and the chosen bit rate. The encoder then signals that level, or a higher one when
  // the source's own rate needs it.
  int width = 0, height = 0;
  if (job.VideoBitrate <= 0 || !ParseFrameSize(job.FrameSize, width, height)) return;
  double rate = FrameRateValue(FrameRateFromCaption(controls.BoxText(TOptionBox::VideoFramerate)));
  if (rate <= 0) rate = HighestDeviceFrameRate;
  const TH264Level level = LowestH264Level(width, height, rate, job.VideoBitrate);
  if (level.Idc == 0) return;
  job.MaxRate = level.MaxBitrateKbps * 1000;
  job.BufferSize = level.MaxBufferKbits * 1000;
}

}  // namespace mf
