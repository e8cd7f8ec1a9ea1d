// What the players of a profile need besides the captions of the boxes: the picture format
// their decoders take, an index at the front of ISO files, the MP4 file type of the PSP, and
// for H.264 the profile and the rate limits of a level the device decodes. The boxes cannot
// say any of this; the profile knows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Catalogue.h"
#include "ProfileControls.h"
#include "TaskOptions.h"

namespace mf {

// H.264 profiles by their profile_idc, the numbers the encoder's "profile" setting takes.
enum class TH264Profile { None = 0, Baseline = 66, Main = 77 };

// The H.264 profile the players of a catalogue profile decode; None where any will do.
TH264Profile H264ProfileOf(int profileId);

struct TH264Level {
  int Idc = 0;             // 13 = level 1.3
  int MaxBitrateKbps = 0;  // Baseline and Main
  int MaxBufferKbits = 0;  // coded picture buffer, Baseline and Main
};

// The lowest H.264 level whose picture size, macroblock rate and bit rate take width x height
// at rate pictures a second and bitrate bits a second; Idc 0 when no level does.
TH264Level LowestH264Level(int width, int height, double rate, int64_t bitrate);

// True for the profiles of a player or phone (as against a generic container or an audio
// format): their decoders show at most HighestDeviceFrameRate pictures a second.
bool IsDeviceProfile(int profileId);
inline constexpr double HighestDeviceFrameRate = 30.0;

// Adds the profile's player settings to a job its boxes have filled: ExtOptions lines the
// engine's option table takes, the output format, and the rate limits of H.264.
void AddPlayerSettings(const TheAVCodec& profile, const TProfileControls& controls, TOutputOptions& job);

}  // namespace mf
