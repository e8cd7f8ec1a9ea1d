// Every output profile, end to end, the way the window converts a file: the profile's option
// set fills the boxes, the user's choice (if any) is selected, the job is assembled and
// completed, and the component converts a short clip. ffprobe then reads what a player would:
// container, codecs, sizes, rates, channels, length, and what the devices need besides
// (H.264 profile and level, 4:2:0 pictures, the index before the media data, the PSP file type,
// narrow-band AMR for phones).
//
// The expected values are written out by hand from the profiles' option sets and the encoder
// table, not taken from the code.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "JobAssembly.h"
#include "JobCompletion.h"
#include "MediaConverter.h"
#include "MediaFixtures.h"
#include "OptionSets.h"
#include "PlainControls.h"

namespace fs = std::filesystem;
using mf::TOptionBox;

namespace {

// The clips: 2 s, 25 fps, 320x240 pictures in 4:2:2 (as cameras write them, so that a 4:2:0
// output is the profile's doing) and two different tones at 44100 Hz; and the same sound alone.
constexpr double ClipSeconds = 2.0;
constexpr int ClipWidth = 320, ClipHeight = 240;

std::string AudioVideoClip() {
  return mftest::MakeMedia("matrix-clip.avi",
                           "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 "
                           "-f lavfi -i aevalsrc='sin(440*2*PI*t)|sin(660*2*PI*t)':s=44100:d=2 "
                           "-c:v mjpeg -pix_fmt yuvj422p -q:v 4 -c:a pcm_s16le");
}

// The same at 50 pictures a second, as cameras film sport.
std::string FastVideoClip() {
  return mftest::MakeMedia("matrix-clip-50fps.avi",
                           "-f lavfi -i testsrc=size=320x240:rate=50:duration=2 "
                           "-f lavfi -i aevalsrc='sin(440*2*PI*t)|sin(660*2*PI*t)':s=44100:d=2 "
                           "-c:v mjpeg -pix_fmt yuvj422p -q:v 4 -c:a pcm_s16le");
}

// A picture size with odd sides, as some cameras and screen recorders write.
std::string OddSizeClip() {
  return mftest::MakeMedia("matrix-clip-321x241.mkv",
                           "-f lavfi -i testsrc=size=321x241:rate=25:duration=2 "
                           "-f lavfi -i aevalsrc='sin(440*2*PI*t)|sin(660*2*PI*t)':s=44100:d=2 "
                           "-c:v ffv1 -c:a pcm_s16le");
}

std::string AudioClip() {
  return mftest::MakeMedia("matrix-sound.wav", "-f lavfi -i aevalsrc='sin(440*2*PI*t)|sin(660*2*PI*t)':s=44100:d=2 -c:a pcm_s16le");
}

enum class TSource { AudioVideo, AudioOnly, FastVideo, OddSize };

// What a device's H.264 decoder takes.
enum class TH264Limit { None, Baseline, Main };

struct TExpected {
  const char* Container;  // ffprobe's format name; for the ISO family its major brand follows
  const char* Brand;      // major brand of ISO files ("" for the others)
  const char* VideoCodec;  // ffprobe codec name; "" = no video stream
  int Width, Height;       // 0 = the clip's
  const char* FrameRate;   // ffprobe's r_frame_rate; "" = the clip's 25/1
  const char* AudioCodec;
  int SampleRate, Channels;
  TH264Limit H264;        // the H.264 profile the player decodes
  int MaxLevel;           // its highest H.264 level (level_idc: 13 = 1.3)
};

struct TRow {
  const char* Name;  // also the test's name
  const char* Caption;
  std::vector<std::pair<TOptionBox, const char*>> Choices;  // captions chosen after the profile's defaults
  TSource Source;
  TExpected Expected;
};

// gtest names a failing case by its row.
void PrintTo(const TRow& row, std::ostream* os) { *os << row.Name; }

constexpr const char* Iso = "mov,mp4,m4a,3gp,3g2,mj2";
using enum TH264Limit;
constexpr auto VC = TOptionBox::VideoCodec;
constexpr auto AC = TOptionBox::AudioCodec;
constexpr auto FR = TOptionBox::VideoFramerate;
constexpr auto SR = TOptionBox::SamplingRate;

// clang-format off
const std::vector<TRow>& Rows() {
  static const std::vector<TRow> rows = {
    // Every profile with the captions its option set selects.
    {"IPhone", "iPhone (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 480, 320, "", "aac", 44100, 2, None, 0}},
    {"IPhoneExtra", "iPhone Extra (640 x 480) (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 640, 480, "", "aac", 44100, 2, None, 0}},
    {"IPhoneWideScreen", "iPhone Wide Screen (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 720, 480, "", "aac", 44100, 2, None, 0}},
    {"IPod", "iPod (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 320, 240, "", "aac", 44100, 2, None, 0}},
    {"IPodExtra", "iPod Extra (640 x 480) (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 640, 480, "", "aac", 44100, 2, None, 0}},
    {"IPodVideoForTV", "iPod Video For TV (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 640, 480, "", "aac", 44100, 2, None, 0}},
    {"IPodTouch", "iPod Touch (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 480, 320, "", "aac", 44100, 2, None, 0}},
    {"IPodTouchExtra", "iPod Touch Extra (640 x 480) (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 640, 480, "", "aac", 44100, 2, None, 0}},
    {"IPodTouchWideScreen", "iPod Touch Wide Screen (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 720, 406, "", "aac", 44100, 2, None, 0}},
    {"AppleTV", "Apple TV (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 640, 480, "", "aac", 44100, 2, None, 0}},
    {"AppleTVH264", "Apple TV H264 (640 x 480) (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "h264", 640, 480, "30000/1001", "aac", 48000, 2, Main, 31}},
    {"M4A", "M4A - Mpeg4 Audio File (*.m4a)", {}, TSource::AudioVideo, {Iso, "M4A ", "", 0, 0, "", "aac", 48000, 2, None, 0}},
    {"MP3", "MP3 - Mpeg Layer3 Audio (*.mp3)", {}, TSource::AudioVideo, {"mp3", "", "", 0, 0, "", "mp3", 48000, 2, None, 0}},
    {"WAV", "WAV - Waveform Audio (*.wav)", {}, TSource::AudioVideo, {"wav", "", "", 0, 0, "", "pcm_s16le", 44100, 2, None, 0}},
    {"WMA", "WMA - Windows Media Audio (*.wma)", {}, TSource::AudioVideo, {"asf", "", "", 0, 0, "", "wmav2", 48000, 2, None, 0}},
    {"ThreeGP", "3GP - Mobile Video Format (*.3gp)", {}, TSource::AudioVideo, {Iso, "3gp4", "mpeg4", 176, 144, "", "amr_nb", 8000, 1, None, 0}},
    {"ThreeG2", "3G2 - Mobile Video Format (*.3g2)", {}, TSource::AudioVideo, {Iso, "3g2a", "mpeg4", 176, 144, "", "amr_nb", 8000, 1, None, 0}},
    {"AVI", "AVI - Audio Video Interleave (*.avi)", {}, TSource::AudioVideo, {"avi", "", "mpeg4", 0, 0, "", "pcm_s16le", 48000, 2, None, 0}},
    {"AVIDivX", "AVI - DivX Video (*.avi)", {}, TSource::AudioVideo, {"avi", "", "mpeg4", 0, 0, "", "mp3", 48000, 2, None, 0}},
    {"AVIXviD", "AVI - XviD Video (*.avi)", {}, TSource::AudioVideo, {"avi", "", "mpeg4", 0, 0, "", "mp3", 48000, 2, None, 0}},
    {"MOV", "MOV - QuickTime Video (*.mov)", {}, TSource::AudioVideo, {Iso, "qt  ", "mpeg4", 0, 0, "", "aac", 44100, 2, None, 0}},
    {"MP4", "MP4 - MPEG4 Video (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 0, 0, "", "aac", 44100, 2, None, 0}},
    {"MPEG1", "MPEG-1 Movie (*.mpg)", {}, TSource::AudioVideo, {"mpeg", "", "mpeg1video", 320, 240, "25/1", "mp2", 44100, 2, None, 0}},
    {"MPEG2", "MPEG-2 Movie (*.mpg)", {}, TSource::AudioVideo, {"mpeg", "", "mpeg2video", 320, 240, "25/1", "mp2", 44100, 2, None, 0}},
    {"WMV", "WMV - Windows Media Video (*.wmv)", {}, TSource::AudioVideo, {"asf", "", "wmv2", 320, 240, "", "wmav2", 48000, 2, None, 0}},
    {"ArchosAV500", "Archos AV500/GMini402 (*.avi)", {}, TSource::AudioVideo, {"avi", "", "mpeg4", 480, 272, "", "mp3", 48000, 2, None, 0}},
    {"ArchosAV700", "Archos AV700 (*.avi)", {}, TSource::AudioVideo, {"avi", "", "mpeg4", 720, 480, "", "mp3", 48000, 2, None, 0}},
    {"BlackBerryMPEG4", "BlackBerry MPEG-4 Video (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 320, 240, "24/1", "aac", 44100, 2, None, 0}},
    {"BlackBerryAVI", "BlackBerry AVI Video (*.avi)", {}, TSource::AudioVideo, {"avi", "", "h263", 176, 144, "24/1", "mp3", 44100, 2, None, 0}},
    {"BlackBerry3GP", "BlackBerry 3GP Video (*.3gp)", {}, TSource::AudioVideo, {Iso, "3gp4", "mpeg4", 176, 144, "15/1", "amr_nb", 8000, 1, None, 0}},
    {"CreativeZenVision", "Creative Zen Vision (*.avi)", {}, TSource::AudioVideo, {"avi", "", "mpeg4", 640, 480, "", "mp3", 48000, 2, None, 0}},
    {"IRiverPMP100", "iRiver PMP100 (*.avi)", {}, TSource::AudioVideo, {"avi", "", "mpeg4", 640, 480, "", "mp3", 48000, 2, None, 0}},
    {"PSP", "PSP Video (*.mp4)", {}, TSource::AudioVideo, {Iso, "MSNV", "mpeg4", 368, 208, "30000/1001", "aac", 24000, 2, None, 0}},
    {"PS3", "PS3 Video (*.mp4)", {}, TSource::AudioVideo, {Iso, "isom", "h264", 720, 480, "30000/1001", "aac", 44100, 2, Main, 41}},

    // The audio profiles from a file without pictures.
    {"M4AFromSound", "M4A - Mpeg4 Audio File (*.m4a)", {}, TSource::AudioOnly, {Iso, "M4A ", "", 0, 0, "", "aac", 48000, 2, None, 0}},
    {"MP3FromSound", "MP3 - Mpeg Layer3 Audio (*.mp3)", {}, TSource::AudioOnly, {"mp3", "", "", 0, 0, "", "mp3", 48000, 2, None, 0}},
    {"WAVFromSound", "WAV - Waveform Audio (*.wav)", {}, TSource::AudioOnly, {"wav", "", "", 0, 0, "", "pcm_s16le", 44100, 2, None, 0}},
    {"WMAFromSound", "WMA - Windows Media Audio (*.wma)", {}, TSource::AudioOnly, {"asf", "", "", 0, 0, "", "wmav2", 48000, 2, None, 0}},

    // Each other caption of the codec boxes once. The iPod of 320 x 240 decodes Baseline up to
    // level 1.3; the other iPods, the iPhones and the iPod touch Baseline up to 3.0.
    {"IPhoneH264", "iPhone (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 480, 320, "", "aac", 44100, 2, Baseline, 30}},
    {"IPhoneExtraH264", "iPhone Extra (640 x 480) (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 640, 480, "", "aac", 44100, 2, Baseline, 30}},
    {"IPhoneWideScreenH264", "iPhone Wide Screen (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 720, 480, "", "aac", 44100, 2, Baseline, 30}},
    {"IPodH264", "iPod (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 320, 240, "", "aac", 44100, 2, Baseline, 13}},
    {"IPodExtraH264", "iPod Extra (640 x 480) (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 640, 480, "", "aac", 44100, 2, Baseline, 30}},
    {"IPodVideoForTVH264", "iPod Video For TV (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 640, 480, "", "aac", 44100, 2, Baseline, 30}},
    {"IPodTouchH264", "iPod Touch (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 480, 320, "", "aac", 44100, 2, Baseline, 30}},
    {"IPodTouchExtraH264", "iPod Touch Extra (640 x 480) (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 640, 480, "", "aac", 44100, 2, Baseline, 30}},
    {"IPodTouchWideScreenH264", "iPod Touch Wide Screen (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 720, 406, "", "aac", 44100, 2, Baseline, 30}},
    // Phones: H.263 at its own sizes, H.264 Baseline; the AMR assembly keeps AMR whatever the box.
    {"ThreeGPH263", "3GP - Mobile Video Format (*.3gp)", {{VC, "H263"}}, TSource::AudioVideo, {Iso, "3gp4", "h263", 176, 144, "", "amr_nb", 8000, 1, None, 0}},
    {"ThreeGPH264", "3GP - Mobile Video Format (*.3gp)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "3gp6", "h264", 176, 144, "", "amr_nb", 8000, 1, Baseline, 30}},
    {"ThreeGPAac", "3GP - Mobile Video Format (*.3gp)", {{AC, "mpeg4aac"}}, TSource::AudioVideo, {Iso, "3gp4", "mpeg4", 176, 144, "", "amr_nb", 8000, 1, None, 0}},
    {"ThreeG2H263", "3G2 - Mobile Video Format (*.3g2)", {{VC, "H263"}}, TSource::AudioVideo, {Iso, "3g2a", "h263", 176, 144, "", "amr_nb", 8000, 1, None, 0}},
    {"ThreeG2H264", "3G2 - Mobile Video Format (*.3g2)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "3g2b", "h264", 176, 144, "", "amr_nb", 8000, 1, Baseline, 30}},
    {"ThreeG2Aac", "3G2 - Mobile Video Format (*.3g2)", {{AC, "mpeg4aac"}}, TSource::AudioVideo, {Iso, "3g2a", "mpeg4", 176, 144, "", "amr_nb", 8000, 1, None, 0}},
    {"AVIH264", "AVI - Audio Video Interleave (*.avi)", {{VC, "H264"}}, TSource::AudioVideo, {"avi", "", "h264", 0, 0, "", "pcm_s16le", 48000, 2, None, 0}},
    {"AVIMp3", "AVI - Audio Video Interleave (*.avi)", {{AC, "mp3"}}, TSource::AudioVideo, {"avi", "", "mpeg4", 0, 0, "", "mp3", 48000, 2, None, 0}},
    {"AVIMp2", "AVI - Audio Video Interleave (*.avi)", {{AC, "mp2"}}, TSource::AudioVideo, {"avi", "", "mpeg4", 0, 0, "", "mp2", 48000, 2, None, 0}},
    {"AVIAc3", "AVI - Audio Video Interleave (*.avi)", {{AC, "ac3"}}, TSource::AudioVideo, {"avi", "", "mpeg4", 0, 0, "", "ac3", 48000, 2, None, 0}},
    {"MP4H264", "MP4 - MPEG4 Video (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "isom", "h264", 0, 0, "", "aac", 44100, 2, None, 0}},
    {"MP4XVid", "MP4 - MPEG4 Video (*.mp4)", {{VC, "XVid"}}, TSource::AudioVideo, {Iso, "isom", "mpeg4", 0, 0, "", "aac", 44100, 2, None, 0}},
    {"MPEG2Ac3", "MPEG-2 Movie (*.mpg)", {{AC, "ac3"}}, TSource::AudioVideo, {"mpeg", "", "mpeg2video", 320, 240, "25/1", "ac3", 44100, 2, None, 0}},
    {"ArchosAV500Mp2", "Archos AV500/GMini402 (*.avi)", {{AC, "mp2"}}, TSource::AudioVideo, {"avi", "", "mpeg4", 480, 272, "", "mp2", 48000, 2, None, 0}},
    {"ArchosAV700Mp2", "Archos AV700 (*.avi)", {{AC, "mp2"}}, TSource::AudioVideo, {"avi", "", "mpeg4", 720, 480, "", "mp2", 48000, 2, None, 0}},
    {"CreativeZenVisionMp2", "Creative Zen Vision (*.avi)", {{AC, "mp2"}}, TSource::AudioVideo, {"avi", "", "mpeg4", 640, 480, "", "mp2", 48000, 2, None, 0}},
    {"IRiverPMP100Mp2", "iRiver PMP100 (*.avi)", {{AC, "mp2"}}, TSource::AudioVideo, {"avi", "", "mpeg4", 640, 480, "", "mp2", 48000, 2, None, 0}},
    {"BlackBerryAVIPcm", "BlackBerry AVI Video (*.avi)", {{AC, "pcm_s16le"}}, TSource::AudioVideo, {"avi", "", "h263", 176, 144, "24/1", "pcm_s16le", 44100, 2, None, 0}},
    {"BlackBerry3GPH263", "BlackBerry 3GP Video (*.3gp)", {{VC, "H263"}}, TSource::AudioVideo, {Iso, "3gp4", "h263", 176, 144, "15/1", "amr_nb", 8000, 1, None, 0}},
    {"BlackBerry3GPAac", "BlackBerry 3GP Video (*.3gp)", {{AC, "mpeg4aac"}}, TSource::AudioVideo, {Iso, "3gp4", "mpeg4", 176, 144, "15/1", "aac", 8000, 1, None, 0}},
    {"PSPH264", "PSP Video (*.mp4)", {{VC, "H264"}}, TSource::AudioVideo, {Iso, "MSNV", "h264", 368, 208, "30000/1001", "aac", 24000, 2, Main, 30}},
    {"PSPXVID", "PSP Video (*.mp4)", {{VC, "XVID"}}, TSource::AudioVideo, {Iso, "MSNV", "mpeg4", 368, 208, "30000/1001", "aac", 24000, 2, None, 0}},

    // Offered choices the encoders take only with the profile's help: MPEG-1 at the extended
    // rates, AMR-NB (narrow band) whatever the sample-rate box says, and "Auto" on a device
    // with a source faster than it shows (half of 50 fps; generic containers keep all 50).
    {"MPEG1At15", "MPEG-1 Movie (*.mpg)", {{FR, "15.0 fps"}}, TSource::AudioVideo, {"mpeg", "", "mpeg1video", 320, 240, "15/1", "mp2", 44100, 2, None, 0}},
    {"MPEG1At14985", "MPEG-1 Movie (*.mpg)", {{FR, "14.985 fps"}}, TSource::AudioVideo, {"mpeg", "", "mpeg1video", 320, 240, "15/1", "mp2", 44100, 2, None, 0}},
    {"ThreeGPAt16k", "3GP - Mobile Video Format (*.3gp)", {{SR, "16000 bps"}}, TSource::AudioVideo, {Iso, "3gp4", "mpeg4", 176, 144, "", "amr_nb", 8000, 1, None, 0}},
    {"BlackBerry3GPAt16k", "BlackBerry 3GP Video (*.3gp)", {{SR, "16000 Hz"}}, TSource::AudioVideo, {Iso, "3gp4", "mpeg4", 176, 144, "15/1", "amr_nb", 8000, 1, None, 0}},
    {"IPodFrom50fps", "iPod (*.mp4)", {}, TSource::FastVideo, {Iso, "isom", "mpeg4", 320, 240, "25/1", "aac", 44100, 2, None, 0}},
    {"IPhoneH264From50fps", "iPhone (*.mp4)", {{VC, "H264"}}, TSource::FastVideo, {Iso, "isom", "h264", 480, 320, "25/1", "aac", 44100, 2, Baseline, 30}},
    {"MP4From50fps", "MP4 - MPEG4 Video (*.mp4)", {}, TSource::FastVideo, {Iso, "isom", "mpeg4", 0, 0, "50/1", "aac", 44100, 2, None, 0}},
    // The source's size kept, but 4:2:0 has no odd sides: one line and one column less.
    {"AVIH264FromOddSize", "AVI - Audio Video Interleave (*.avi)", {{VC, "H264"}}, TSource::OddSize, {"avi", "", "h264", 320, 240, "", "pcm_s16le", 48000, 2, None, 0}},
    {"MP4XVidFromOddSize", "MP4 - MPEG4 Video (*.mp4)", {{VC, "XVid"}}, TSource::OddSize, {Iso, "isom", "mpeg4", 320, 240, "", "aac", 44100, 2, None, 0}},
  };
  return rows;
}
// clang-format on

// Samples one encoded audio frame holds, from the encoder table.
int AudioFrameSamples(const std::string& codec, int sampleRate) {
  static const std::map<std::string, int> samples = {
      {"aac", 1024}, {"mp2", 1152}, {"ac3", 1536}, {"wmav2", 2048}, {"amr_nb", 160}, {"pcm_s16le", 1}};
  if (codec == "mp3") return sampleRate < 32000 ? 576 : 1152;
  const auto found = samples.find(codec);
  return found == samples.end() ? 0 : found->second;
}

// The lowest H.264 level (level_idc) whose frame size and macroblock rate take the picture.
int LowestH264Level(int width, int height, double rate) {
  struct TLevel {
    int Idc;
    int64_t MaxMbPerSecond, MaxFrameMbs;
  };
  static const TLevel levels[] = {{10, 1485, 99},     {11, 3000, 396},     {12, 6000, 396},     {13, 11880, 396},
                                  {20, 11880, 396},   {21, 19800, 792},    {22, 20250, 1620},   {30, 40500, 1620},
                                  {31, 108000, 3600}, {32, 216000, 5120},  {40, 245760, 8192},  {41, 245760, 8192},
                                  {42, 522240, 8704}, {50, 589824, 22080}, {51, 983040, 36864}};
  const int64_t mbs = static_cast<int64_t>((width + 15) / 16) * ((height + 15) / 16);
  for (const TLevel& level : levels)
    if (mbs <= level.MaxFrameMbs && mbs * rate <= level.MaxMbPerSecond + 0.5) return level.Idc;
  return 99;
}

double RateValue(const std::string& rational) {
  const size_t slash = rational.find('/');
  if (slash == std::string::npos) return std::atof(rational.c_str());
  const double den = std::atof(rational.c_str() + slash + 1);
  return den > 0 ? std::atof(rational.substr(0, slash).c_str()) / den : 0.0;
}

// The top-level boxes of an ISO media file, in file order.
std::vector<std::string> TopLevelBoxes(const std::string& path) {
  std::vector<std::string> boxes;
  std::ifstream file(path, std::ios::binary);
  const uint64_t fileSize = fs::file_size(path);
  uint64_t offset = 0;
  while (offset + 8 <= fileSize) {
    unsigned char header[16] = {};
    file.seekg(static_cast<std::streamoff>(offset));
    if (!file.read(reinterpret_cast<char*>(header), 8)) break;
    uint64_t size = (uint64_t{header[0]} << 24) | (uint64_t{header[1]} << 16) | (uint64_t{header[2]} << 8) | header[3];
    boxes.emplace_back(reinterpret_cast<const char*>(header + 4), 4);
    if (size == 1) {
      if (!file.read(reinterpret_cast<char*>(header + 8), 8)) break;
      size = 0;
      for (int i = 8; i < 16; ++i) size = (size << 8) | header[i];
    } else if (size == 0) {
      size = fileSize - offset;
    }
    if (size < 8) break;
    offset += size;
  }
  return boxes;
}

// Seconds of sound a player gets from the file's first audio stream: the decoded samples, with
// the encoder's start-up samples left out where the file says how many there are.
double DecodedAudioSeconds(const std::string& path, int sampleRate) {
  std::string text;
  mftest::Run("ffmpeg -nostdin -v error -i '" + path + "' -map 0:a:0 -ac 1 -f s16le - 2>/dev/null | wc -c", &text);
  return std::atof(text.c_str()) / 2.0 / sampleRate;
}

// One conversion through the component, as the batch controller runs a row.
struct TOutcome {
  bool Ended = false;
  bool Exception = false;
  std::string Message;
};

class TMatrixConverter {
 public:
  TMatrixConverter() {
    Converter.SetLogLevel(mf::llError);
    Converter.OnLog = [this](int, mf::TLogLevel, const std::string& text) {
      std::lock_guard<std::mutex> lock(Guard);
      Log += text + "\n";
    };
    Converter.OnTerminate = [this](int index, bool, bool exception, const std::string& message) {
      std::lock_guard<std::mutex> lock(Guard);
      if (index >= 0) {
        Outcomes[index] = {true, exception, message};
      } else {
        AllEnded = true;
        Changed.notify_all();
      }
    };
  }

  // Registers input with the boxes' job; the task index, or -1 with the reason in Failure.
  int Add(const std::string& input, const std::string& output, mf::TPlainProfileControls& controls) {
    std::string videoSize = " ", frameRate = " ";  // the list's cells for a file without pictures
    if (Converter.Probe.Open(input)) {
      if (Converter.Probe.VideoStreamCount > 0) {
        mf::TAVVideoInfo video;
        Converter.Probe.GetVideoInfo(-1, video);
        videoSize = std::to_string(video.Width) + "x" + std::to_string(video.Height);
        frameRate = mf::FrameRateCellText(video.FrameRateNum, video.FrameRateDen);
      }
      Converter.Probe.Close();
    }
    mf::TInputOptions in;
    in.Reset();
    in.FileName = input;
    in.StartTime = 0;
    const int index = Converter.RegisterTask(input, &in);
    if (index < 0) {
      Failure = Converter.LastError;
      return -1;
    }
    mf::TOutputOptions job;
    job.Reset();
    const mf::TheAVCodec* profile = mf::AssembleProfileJob(controls, job);
    mf::CompleteJob(job, {mf::VolumeLevel(5), controls.Selected(TOptionBox::AspectRatio), videoSize,
                          controls.BoxText(TOptionBox::VideoFramerate), false, profile ? profile->ProfileId : -1,
                          frameRate});
    if (!Converter.AssignTaskOutput(index, output, &job)) {
      Failure = Converter.LastError;
      Converter.DropTask(index);
      return -1;
    }
    return index;
  }

  // Runs the registered tasks one after another and waits for the all-ended notice.
  bool RunAll(std::chrono::seconds limit = std::chrono::seconds(240)) {
    Converter.RunTasks(1);
    std::unique_lock<std::mutex> lock(Guard);
    return Changed.wait_for(lock, limit, [this] { return AllEnded; });
  }

  TOutcome Outcome(int index) {
    std::lock_guard<std::mutex> lock(Guard);
    return Outcomes[index];
  }
  std::string LogText() {
    std::lock_guard<std::mutex> lock(Guard);
    return Log;
  }

 private:
  // Declared before the component, so that they outlive the tasks' last reports.
  std::mutex Guard;
  std::condition_variable Changed;
  bool AllEnded = false;
  std::map<int, TOutcome> Outcomes;
  std::string Log;

 public:
  mf::TMediaConverter Converter;
  std::string Failure;
};

// The option boxes with the profile applied and the row's captions chosen.
mf::TPlainProfileControls BoxesFor(const TRow& row) {
  mf::TPlainProfileControls controls;
  mf::FillComboOutputFormat(controls);
  EXPECT_TRUE(controls.Choose(TOptionBox::OutputFormat, row.Caption)) << row.Caption;
  EXPECT_NE(mf::ApplyProfileControls(controls), nullptr) << row.Caption;
  for (const auto& [box, caption] : row.Choices) {
    EXPECT_TRUE(controls.Choose(box, caption)) << caption << " is not offered";
    EXPECT_EQ(controls.BoxText(box), caption);
  }
  return controls;
}

std::string OutputPathFor(const std::string& name, const mf::TPlainProfileControls& controls) {
  fs::create_directories(mftest::DataDir() + "/matrix");
  std::string ext = controls.OutputExtension();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::string path = mftest::DataDir() + "/matrix/" + name + "." + ext;
  fs::remove(path);
  return path;
}

class ProfileMatrix : public ::testing::TestWithParam<TRow> {
 protected:
  static void SetUpTestSuite() {
    mf::TMediaConverter loader;
    ASSERT_TRUE(loader.LoadCodecLibraries(MF_LIB_DIR, true)) << loader.LastError;
  }
};

TEST_P(ProfileMatrix, ConvertsToAFileItsPlayerTakes) {
  const TRow& row = GetParam();
  const TExpected& want = row.Expected;
  const std::string input = row.Source == TSource::AudioVideo  ? AudioVideoClip()
                            : row.Source == TSource::FastVideo ? FastVideoClip()
                            : row.Source == TSource::OddSize   ? OddSizeClip()
                                                               : AudioClip();
  mf::TPlainProfileControls controls = BoxesFor(row);
  const std::string output = OutputPathFor(row.Name, controls);

  TMatrixConverter run;
  const int index = run.Add(input, output, controls);
  ASSERT_GE(index, 0) << run.Failure;
  ASSERT_TRUE(run.RunAll()) << "the conversion did not end";
  const TOutcome outcome = run.Outcome(index);
  ASSERT_TRUE(outcome.Ended);
  ASSERT_FALSE(outcome.Exception) << outcome.Message << "\n" << run.LogText();

  const mftest::TProbe probe = mftest::Probe(output);
  ASSERT_TRUE(probe.Ok) << output;
  EXPECT_EQ(probe.FormatValue("format_name"), want.Container);
  if (*want.Brand) {
    EXPECT_EQ(probe.FormatValue("tags_major_brand"), want.Brand);
  }

  // Pictures.
  if (!*want.VideoCodec) {
    EXPECT_EQ(probe.CountOf("video"), 0);
  } else {
    ASSERT_EQ(probe.CountOf("video"), 1);
    const auto& video = probe.StreamOf("video");
    EXPECT_EQ(video.at("codec_name"), want.VideoCodec);
    const int width = want.Width ? want.Width : ClipWidth, height = want.Height ? want.Height : ClipHeight;
    EXPECT_EQ(mftest::IntField(video, "width"), width);
    EXPECT_EQ(mftest::IntField(video, "height"), height);
    const std::string rateText = *want.FrameRate ? want.FrameRate : "25/1";
    EXPECT_EQ(video.at("r_frame_rate"), rateText);
    // Every picture of the clip, give or take one.
    const double rate = RateValue(rateText);
    const double seconds = static_cast<double>(mftest::CountFrames(output, "video")) / rate;
    EXPECT_NEAR(seconds, ClipSeconds, 1.0 / rate + 1e-6) << "video of " << seconds << " s";
    // Players decode 4:2:0; the clip's 4:2:2 must not come through.
    EXPECT_EQ(video.at("pix_fmt"), "yuv420p");
    if (want.H264 != None) {
      const std::string profile = video.at("profile");
      if (want.H264 == Baseline)
        EXPECT_TRUE(profile == "Baseline" || profile == "Constrained Baseline") << profile;
      else
        EXPECT_EQ(profile, "Main");
      const int level = static_cast<int>(mftest::IntField(video, "level"));
      EXPECT_LE(level, want.MaxLevel);
      // Honest: no lower than the picture size and rate need.
      EXPECT_GE(level, LowestH264Level(width, height, rate));
    }
  }

  // Sound.
  ASSERT_EQ(probe.CountOf("audio"), 1);
  const auto& audio = probe.StreamOf("audio");
  EXPECT_EQ(audio.at("codec_name"), want.AudioCodec);
  EXPECT_EQ(mftest::IntField(audio, "sample_rate"), want.SampleRate);
  EXPECT_EQ(mftest::IntField(audio, "channels"), want.Channels);
  const int frameSamples = AudioFrameSamples(want.AudioCodec, want.SampleRate);
  ASSERT_GT(frameSamples, 0) << want.AudioCodec;
  // The whole sound: at most one frame short (the decoder's overlap of the first frame), at
  // most two long (the encoder's start-up frame, which AVI and ASF cannot mark for skipping,
  // and the silence that completes the last frame).
  const double frameSeconds = static_cast<double>(frameSamples) / want.SampleRate;
  const double soundSeconds = DecodedAudioSeconds(output, want.SampleRate);
  EXPECT_GE(soundSeconds, ClipSeconds - frameSeconds - 1e-6) << "sound of " << soundSeconds << " s";
  EXPECT_LE(soundSeconds, ClipSeconds + 2 * frameSeconds + 1e-6) << "sound of " << soundSeconds << " s";

  // Files of the ISO family play while they are still being copied: the index comes first.
  if (probe.FormatValue("format_name") == Iso) {
    const std::vector<std::string> boxes = TopLevelBoxes(output);
    const auto moov = std::find(boxes.begin(), boxes.end(), "moov");
    const auto mdat = std::find(boxes.begin(), boxes.end(), "mdat");
    ASSERT_NE(moov, boxes.end());
    ASSERT_NE(mdat, boxes.end());
    EXPECT_LT(moov - boxes.begin(), mdat - boxes.begin()) << "the index follows the media data";
  }
}

// A choice the profile offers but the encoder cannot take (H.263 has five picture sizes only)
// fails that file with its reason, leaves no file behind, and the next file still converts.
TEST_F(ProfileMatrix, AChoiceTheEncoderRefusesFailsOnlyItsFile) {
  TRow bad{"ThreeGPH263Vga", "3GP - Mobile Video Format (*.3gp)",
           {{VC, "H263"}, {TOptionBox::VideoSize, "320 x 240 (VGA)"}}, TSource::AudioVideo, {}};
  TRow good{"ThreeGPAfterAFailure", "3GP - Mobile Video Format (*.3gp)", {}, TSource::AudioVideo, {}};
  mf::TPlainProfileControls badBoxes = BoxesFor(bad), goodBoxes = BoxesFor(good);
  const std::string badOutput = OutputPathFor(bad.Name, badBoxes), goodOutput = OutputPathFor(good.Name, goodBoxes);

  TMatrixConverter run;
  const int badIndex = run.Add(AudioVideoClip(), badOutput, badBoxes);
  const int goodIndex = run.Add(AudioVideoClip(), goodOutput, goodBoxes);
  ASSERT_GE(badIndex, 0) << run.Failure;
  ASSERT_GE(goodIndex, 0) << run.Failure;
  ASSERT_TRUE(run.RunAll());

  const TOutcome failed = run.Outcome(badIndex);
  EXPECT_TRUE(failed.Ended && failed.Exception);
  // The reason in words, naming what would be taken instead.
  EXPECT_NE(failed.Message.find("width or height (H.263 takes the frame sizes 128x96, 176x144, 352x288"), std::string::npos)
      << failed.Message;
  EXPECT_NE(failed.Message.find("not 320x240)"), std::string::npos) << failed.Message;
  EXPECT_FALSE(fs::exists(badOutput));

  const TOutcome done = run.Outcome(goodIndex);
  EXPECT_TRUE(done.Ended && !done.Exception) << done.Message;
  EXPECT_EQ(mftest::Probe(goodOutput).StreamOf("video").at("codec_name"), "mpeg4");
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProfileMatrix, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<TRow>& info) { return std::string(info.param.Name); });

}  // namespace
