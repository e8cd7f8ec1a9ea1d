// The option sets, as data. The shared caption lists are written once; each profile's set
// names its lists, its selections (by caption, so a reordered list cannot silently change what
// is preselected) and the boxes it empties or keeps. Families that differ in a few cells
// (iPod touch, iPod, iPhone, Archos and its sharers, AVI kinds, MPEG 1/2) are written out as
// the resulting sets, so each row can be checked on its own.
#include <algorithm>
#include <iterator>

#include "OptionSets.h"

namespace mf {

namespace {

using C = std::string_view;
using namespace OptionSetCells;

// ---- Shared caption lists ----

constexpr C VB_A[] = {"512 Kbps", "800 Kbps", "1200 Kbps", "1500 Kbps", "2500 Kbps"};
constexpr C VB_B[] = {"512 Kbps",  "800 Kbps",  "1200 Kbps", "1500 Kbps",
                      "2000 Kbps", "2500 Kbps", "4000 Kbps", "7000 Kbps"};
constexpr C VB_C[] = {"192 Kbps",  "200 Kbps",  "216 Kbps",  "384 Kbps",  "512 Kbps",
                      "640 Kbps",  "768 Kbps",  "1000 Kbps", "1200 Kbps", "1500 Kbps",
                      "1600 Kbps", "2000 Kbps", "2500 Kbps"};
// VB-C without "1600 Kbps" and "2000 Kbps".
constexpr C VB_D[] = {"192 Kbps", "200 Kbps",  "216 Kbps",  "384 Kbps",  "512 Kbps", "640 Kbps",
                      "768 Kbps", "1000 Kbps", "1200 Kbps", "1500 Kbps", "2500 Kbps"};
constexpr C VB_E[] = {"1000 Kbps", "1200 Kbps", "1500 Kbps", "2000 Kbps", "2500 Kbps"};
constexpr C VB_F[] = {"1200 Kbps", "1500 Kbps", "2000 Kbps", "2500 Kbps", "3000 Kbps"};
constexpr C VB_G[] = {"48 Kbps", "64 Kbps", "96 Kbps", "128 Kbps", "256 Kbps", "512 Kbps"};
constexpr C VB_H[] = {"80 Kbps", "120 Kbps", "200 Kbps", "256 Kbps", "300 Kbps", "512 Kbps"};
constexpr C VB_I[] = {"48 Kbps", "64 Kbps", "96 Kbps", "120 Kbps", "128 Kbps", "256 Kbps", "512 Kbps"};

constexpr C AB_A[] = {"32 Kbps",  "40 Kbps",  "48 Kbps",  "64 Kbps",  "80 Kbps",
                      "96 Kbps",  "112 Kbps", "128 Kbps", "160 Kbps", "192 Kbps",
                      "224 Kbps", "256 Kbps", "320 Kbps"};
constexpr C AB_B[] = {"32 Kbps", "48 Kbps", "64 Kbps", "96 Kbps", "128 Kbps", "160 Kbps"};
constexpr C AB_C[] = {"40 Kbps", "48 Kbps", "64 Kbps", "80 Kbps", "96 Kbps", "112 Kbps"};
constexpr C AB_D[] = {"4750 bps", "5150 bps", "5900 bps",  "6700 bps",
                      "7400 bps", "7950 bps", "10200 bps", "12200 bps"};

constexpr C SR_A[] = {"8000 Hz",  "16000 Hz", "22050 Hz", "32000 Hz",
                      "44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"};
// SR-A with two blanks in the first caption.
constexpr C SR_B[] = {"8000  Hz", "16000 Hz", "22050 Hz", "32000 Hz",
                      "44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"};
constexpr C SR_C[] = {"8000  bps", "16000 bps"};
constexpr C SR_D[] = {"8000  Hz", "16000 Hz"};

constexpr C FR_A[] = {"Auto",     "14.985 fps", "15.0 fps", "23.975 fps",
                      "25.0 fps", "29.97 fps",  "30.0 fps"};
constexpr C FR_B[] = {"Auto", "11 fps", "14.985 fps", "15 fps"};
constexpr C FR_C[] = {"11 fps", "15 fps", "20 fps", "24 fps", "25 fps"};
constexpr C FR_D[] = {"Auto", "11 fps", "15 fps", "20 fps", "24 fps", "25 fps"};

constexpr C SZ_A[] = {"Original Video Size", "128 x 96 (SQCIF)", "160 x 120 (QVGA)", "176 x 120",
                      "176 x 144 (QCIF)",    "192 x 144",        "208 x 176",        "220 x 176",
                      "240 x 180",           "320 x 200",        "320 x 240 (VGA)",  "352 x 240",
                      "352 x 288 (CIF)",     "480 x 272",        "480 x 360",        "480 x 480",
                      "480 x 576",           "624 x 352",        "640 x 352",        "640 x 480",
                      "704 x 576 (4CIF)",    "720 x 480",        "720 x 576"};
constexpr C SZ_B[] = {"128 x 96 (SQCIF)", "160 x 120 (QVGA)", "176 x 144 (QCIF)", "208 x 176",
                      "220 x 176",        "320 x 240 (VGA)",  "352 x 288 (CIF)"};
constexpr C SZ_C[] = {"Auto", "160 x 120", "320 x 240", "480 x 272", "720 x 480", "640 x 480"};
constexpr C SZ_D[] = {"176 x 144", "240 x 180", "320 x 240"};

// ---- Lists of one or two profiles ----

constexpr C Mpeg4_H264[] = {"MPEG4", "H264"};
constexpr C Mpeg4_H263[] = {"MPEG4", "H263"};
constexpr C Mpeg4_H263_H264[] = {"MPEG4", "H263", "H264"};
constexpr C Mpeg4_H264_XVid[] = {"MPEG4", "H264", "XVid"};
constexpr C Mpeg4_H264_XVID[] = {"MPEG4", "H264", "XVID"};

constexpr C AmrNb_Aac[] = {"amr_nb", "mpeg4aac"};
constexpr C Pcm_Mp3_Mp2_Ac3[] = {"pcm_s16le", "mp3", "mp2", "ac3"};
constexpr C Mp2_Ac3[] = {"mp2", "ac3"};
constexpr C Mp3_Mp2[] = {"mp3", "mp2"};
constexpr C Mp3_Pcm[] = {"mp3", "pcm_s16le"};

constexpr C PspSizes[] = {"160 x 112", "320 x 240", "368 x 208", "480 x 272"};
constexpr C PspFrameRates[] = {"14.985 fps", "29.97 fps"};
constexpr C Ps3Sizes[] = {"640 x 480", "720 x 480", "720 x 576"};

// ---- The option sets ----
// Columns: video codec, size, video bit rate, frame rate, audio codec, audio bit rate,
// sample rate, channels, aspect.

constexpr TOptionSet IPhone = {
    List(Mpeg4_H264, "MPEG4"), Only("480 x 320"), List(VB_A, "1200 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "80 Kbps"), List(SR_A, "44100 Hz"), Stereo, Original};
constexpr TOptionSet IPhoneExtra = {
    List(Mpeg4_H264, "MPEG4"), Only("640 x 480"), List(VB_A, "1500 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "128 Kbps"), List(SR_A, "44100 Hz"), Stereo, Original};
constexpr TOptionSet IPhoneWideScreen = {
    List(Mpeg4_H264, "MPEG4"), Only("720 x 480"), List(VB_A, "1500 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "128 Kbps"), List(SR_A, "44100 Hz"), Stereo, Original};

constexpr TOptionSet IPod = {
    List(Mpeg4_H264, "MPEG4"), Only("320 x 240"), List(VB_A, "512 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "64 Kbps"), List(SR_A, "44100 Hz"), Kept, Kept};
// Also "iPod Video For TV".
constexpr TOptionSet IPodExtra = {
    List(Mpeg4_H264, "MPEG4"), Only("640 x 480"), List(VB_A, "1500 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "64 Kbps"), List(SR_A, "44100 Hz"), Kept, Kept};

constexpr TOptionSet IPodTouch = {
    List(Mpeg4_H264, "MPEG4"), Only("480 x 320"), List(VB_A, "1200 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "80 Kbps"), List(SR_A, "44100 Hz"), Kept, Kept};
constexpr TOptionSet IPodTouchExtra = {
    List(Mpeg4_H264, "MPEG4"), Only("640 x 480"), List(VB_A, "1500 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "80 Kbps"), List(SR_A, "44100 Hz"), Kept, Kept};
constexpr TOptionSet IPodTouchWideScreen = {
    List(Mpeg4_H264, "MPEG4"), Only("720 x 406"), List(VB_A, "1500 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "128 Kbps"), List(SR_A, "44100 Hz"), Stereo, Original};

constexpr TOptionSet AppleTV = {
    Only("MPEG4"), Only("640 x 480"), List(VB_A, "1500 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "128 Kbps"), List(SR_A, "44100 Hz"), Stereo, Original};
constexpr TOptionSet AppleTVH264 = {
    Only("H264"), Only("640 x 480"), List(VB_B, "2000 Kbps"), List(FR_A, "29.97 fps"),
    Only("mpeg4aac"), List(AB_A, "64 Kbps"), List(SR_A, "48000 Hz"), Stereo, Original};

// Audio only: the four video boxes are emptied.
constexpr TOptionSet M4A = {
    Emptied, Emptied, Emptied, Emptied,
    Only("mpeg4aac"), List(AB_A, "128 Kbps"), List(SR_A, "48000 Hz"), Stereo, Original};
constexpr TOptionSet MP3 = {
    Emptied, Emptied, Emptied, Emptied,
    Only("mp3"), List(AB_A, "192 Kbps"), List(SR_A, "48000 Hz"), Stereo, Original};
constexpr TOptionSet WAV = {
    Emptied, Emptied, Emptied, Emptied,
    Only("pcm_s16le"), List(AB_A, "128 Kbps"), List(SR_B, "44100 Hz"), Stereo, Original};
constexpr TOptionSet WMA = {
    Emptied, Emptied, Emptied, Emptied,
    Only("wmav2"), List(AB_A, "128 Kbps"), List(SR_B, "48000 Hz"), Stereo, Original};

// Also "3G2"; selects "Mono" and leaves the aspect box alone.
constexpr TOptionSet ThreeGP = {
    List(Mpeg4_H263_H264, "MPEG4"), List(SZ_B, "176 x 144 (QCIF)"), List(VB_G, "128 Kbps"),
    List(FR_B, "Auto"),
    List(AmrNb_Aac, "amr_nb"), List(AB_D, "7400 bps"), List(SR_C, "8000  bps"), Mono, Kept};

// The AVI kinds share everything but the codec lists.
constexpr TOptionSet AVI = {
    List(Mpeg4_H264, "MPEG4"), List(SZ_A, "Original Video Size"), List(VB_D, "1200 Kbps"),
    List(FR_A, "Auto"),
    List(Pcm_Mp3_Mp2_Ac3, "pcm_s16le"), List(AB_A, "128 Kbps"), List(SR_A, "48000 Hz"), Stereo,
    Original};

constexpr TOptionSet WithCodecs(TOptionSet set, TBoxContent videoCodec, TBoxContent audioCodec) {
  set.VideoCodec = videoCodec;
  set.AudioCodec = audioCodec;
  return set;
}

constexpr TOptionSet AVIDivX = WithCodecs(AVI, Only("MPEG4"), Only("mp3"));
constexpr TOptionSet AVIXviD = WithCodecs(AVI, Only("XVID"), Only("mp3"));

constexpr TOptionSet MOV = {
    Only("MPEG4"), List(SZ_A, "Original Video Size"), List(VB_C, "1200 Kbps"), List(FR_A, "Auto"),
    Only("mpeg4aac"), List(AB_A, "128 Kbps"), List(SR_A, "44100 Hz"), Stereo, Original};
constexpr TOptionSet MP4 = WithCodecs(MOV, List(Mpeg4_H264_XVid, "MPEG4"), Only("mpeg4aac"));

constexpr TOptionSet MPEG1 = {
    Only("MPEG1VIDEO"), List(SZ_A, "320 x 240 (VGA)"), List(VB_C, "1600 Kbps"),
    List(FR_A, "25.0 fps"),
    Only("mp2"), List(AB_A, "192 Kbps"), List(SR_A, "44100 Hz"), Stereo, Original};
constexpr TOptionSet MPEG2 = {
    Only("MPEG2VIDEO"), List(SZ_A, "320 x 240 (VGA)"), List(VB_C, "2000 Kbps"),
    List(FR_A, "25.0 fps"),
    List(Mp2_Ac3, "mp2"), List(AB_A, "192 Kbps"), List(SR_A, "44100 Hz"), Stereo, Original};

constexpr TOptionSet WMV = {
    Only("WMV2"), List(SZ_A, "320 x 240 (VGA)"), List(VB_C, "1200 Kbps"), List(FR_A, "Auto"),
    Only("wmav2"), List(AB_A, "128 Kbps"), List(SR_A, "48000 Hz"), Stereo, Original};

// Archos AV700, Creative Zen Vision and iRiver PMP100 are the AV500 set with another size
// selected (and, for the AV700, another video bit-rate list).
constexpr TOptionSet ArchosAV500 = {
    Only("MPEG4"), List(SZ_C, "480 x 272"), List(VB_C, "1200 Kbps"), List(FR_A, "Auto"),
    List(Mp3_Mp2, "mp3"), List(AB_A, "128 Kbps"), List(SR_A, "48000 Hz"), Kept, Kept};

constexpr TOptionSet WithVideo(TOptionSet set, TBoxContent size, TBoxContent videoBitrate) {
  set.VideoSize = size;
  set.VideoBitrate = videoBitrate;
  return set;
}

constexpr TOptionSet ArchosAV700 =
    WithVideo(ArchosAV500, List(SZ_C, "720 x 480"), List(VB_E, "2000 Kbps"));
// Also "iRiver PMP100".
constexpr TOptionSet CreativeZenVision =
    WithVideo(ArchosAV500, List(SZ_C, "640 x 480"), ArchosAV500.VideoBitrate);

constexpr TOptionSet BlackBerryMPEG4 = {
    Only("MPEG4"), List(SZ_D, "320 x 240"), List(VB_H, "300 Kbps"), List(FR_C, "24 fps"),
    Only("mpeg4aac"), List(AB_C, "80 Kbps"), List(SR_A, "44100 Hz"), Kept, Kept};
constexpr TOptionSet BlackBerryAVI = {
    Only("H263"), Only("176 x 144"), List(VB_H, "300 Kbps"), List(FR_C, "24 fps"),
    List(Mp3_Pcm, "mp3"), List(AB_C, "80 Kbps"), List(SR_A, "44100 Hz"), Kept, Kept};
constexpr TOptionSet BlackBerry3GP = {
    List(Mpeg4_H263, "MPEG4"), List(SZ_D, "176 x 144"), List(VB_I, "120 Kbps"), List(FR_D, "15 fps"),
    List(AmrNb_Aac, "amr_nb"), List(AB_D, "4750 bps"), List(SR_D, "8000  Hz"), Kept, Kept};

constexpr TOptionSet PSP = {
    List(Mpeg4_H264_XVID, "MPEG4"), List(PspSizes, "368 x 208"), Only("768 Kbps"),
    List(PspFrameRates, "29.97 fps"),
    Only("mpeg4aac"), List(AB_B, "64 Kbps"), Only("24000 Hz"), Stereo, Original};
constexpr TOptionSet PS3 = {
    Only("H264"), List(Ps3Sizes, "720 x 480"), List(VB_F, "1200 Kbps"), Only("29.97 fps"),
    Only("mpeg4aac"), List(AB_A, "96 Kbps"), List(SR_B, "44100 Hz"), Stereo, Original};

// ---- Profile id to option set ----

struct TOptionSetOfProfile {
  int ProfileId;
  const TOptionSet* Set;
};

constexpr TOptionSetOfProfile OptionSetTable[] = {
    {ProfileIds::IPhone, &IPhone},
    {ProfileIds::IPhoneExtra, &IPhoneExtra},
    {ProfileIds::IPhoneWideScreen, &IPhoneWideScreen},
    {ProfileIds::IPod, &IPod},
    {ProfileIds::IPodExtra, &IPodExtra},
    {ProfileIds::IPodVideoForTV, &IPodExtra},
    {ProfileIds::IPodTouch, &IPodTouch},
    {ProfileIds::IPodTouchExtra, &IPodTouchExtra},
    {ProfileIds::IPodTouchWideScreen, &IPodTouchWideScreen},
    {ProfileIds::AppleTV, &AppleTV},
    {ProfileIds::AppleTVH264, &AppleTVH264},
    {ProfileIds::M4A, &M4A},
    {ProfileIds::MP3, &MP3},
    {ProfileIds::WAV, &WAV},
    {ProfileIds::WMA, &WMA},
    {ProfileIds::ThreeGP, &ThreeGP},
    {ProfileIds::ThreeG2, &ThreeGP},
    {ProfileIds::AVI, &AVI},
    {ProfileIds::AVIDivX, &AVIDivX},
    {ProfileIds::AVIXviD, &AVIXviD},
    {ProfileIds::MOV, &MOV},
    {ProfileIds::MP4, &MP4},
    {ProfileIds::MPEG1, &MPEG1},
    {ProfileIds::MPEG2, &MPEG2},
    {ProfileIds::WMV, &WMV},
    {ProfileIds::ArchosAV500, &ArchosAV500},
    {ProfileIds::ArchosAV700, &ArchosAV700},
    {ProfileIds::CreativeZenVision, &CreativeZenVision},
    {ProfileIds::IRiverPMP100, &CreativeZenVision},
    {ProfileIds::BlackBerryMPEG4, &BlackBerryMPEG4},
    {ProfileIds::BlackBerryAVI, &BlackBerryAVI},
    {ProfileIds::BlackBerry3GP, &BlackBerry3GP},
    {ProfileIds::PSP, &PSP},
    {ProfileIds::PS3, &PS3},
};

constexpr const TOptionSet* OptionSetOf(int profileId) {
  for (const TOptionSetOfProfile& row : OptionSetTable)
    if (row.ProfileId == profileId) return row.Set;
  return nullptr;
}

// ---- Checks of the data, at compile time ----

constexpr bool SelectionListed(const TBoxContent& box) {
  switch (box.Kind) {
    case TBoxContent::Empty:
      return box.Items.empty() && box.Selected.empty();
    case TBoxContent::Single:
      return box.Items.empty() && !box.Selected.empty();
    case TBoxContent::Fill:
      return std::find(box.Items.begin(), box.Items.end(), box.Selected) != box.Items.end();
  }
  return false;
}

constexpr bool SetConsistent(const TOptionSet& set) {
  return SelectionListed(set.VideoCodec) && SelectionListed(set.VideoSize) &&
         SelectionListed(set.VideoBitrate) && SelectionListed(set.VideoFramerate) &&
         SelectionListed(set.AudioCodec) && SelectionListed(set.AudioBitrate) &&
         SelectionListed(set.SamplingRate) &&
         (set.AudioChannelsIndex == Kept || (set.AudioChannelsIndex >= 0 &&
                                             set.AudioChannelsIndex < int(AudioChannelCaptions.size()))) &&
         (set.AspectRatioIndex == Kept || (set.AspectRatioIndex >= 0 &&
                                           set.AspectRatioIndex < int(AspectRatioCaptions.size())));
}

constexpr bool EveryProfileHasAConsistentSet() {
  for (const TheAVCodec& entry : OutputFormatTable) {
    const TOptionSet* set = OptionSetOf(entry.ProfileId);
    if (set == nullptr || !SetConsistent(*set)) return false;
  }
  return std::size(OptionSetTable) == OutputFormatTable.size();
}

static_assert(EveryProfileHasAConsistentSet(),
              "every catalogue profile has one option set whose selections are among its items");

}  // namespace

const TOptionSet* FindOptionSet(int profileId) { return OptionSetOf(profileId); }

}  // namespace mf
