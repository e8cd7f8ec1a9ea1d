// The output format catalogue: the profiles the user can convert to, the rows of
// the output-format list, the look-up by caption and the add-files dialog's filter.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "ProfileControls.h"

namespace mf {

// One catalogue entry.
struct TheAVCodec {
  std::string_view Caption;    // text of ComboOutputFormat; unique; the look-up key
  std::string_view Extension;  // output extension, upper case, no dot
  int ProfileId;               // key of the option sets and the assembly variants
};

// Profile ids: stable numbers, not positions.
namespace ProfileIds {
inline constexpr int IPhone = 18;
inline constexpr int IPhoneExtra = 19;
inline constexpr int IPhoneWideScreen = 20;
inline constexpr int IPod = 3;
inline constexpr int IPodExtra = 4;
inline constexpr int IPodVideoForTV = 6;
inline constexpr int IPodTouch = 13;
inline constexpr int IPodTouchExtra = 14;
inline constexpr int IPodTouchWideScreen = 15;
inline constexpr int AppleTV = 10;
inline constexpr int AppleTVH264 = 8;
inline constexpr int M4A = 40;
inline constexpr int MP3 = 41;
inline constexpr int WAV = 44;
inline constexpr int WMA = 45;
inline constexpr int ThreeGP = 0;
inline constexpr int ThreeG2 = 1;
inline constexpr int AVI = 22;
inline constexpr int AVIDivX = 23;
inline constexpr int AVIXviD = 24;
inline constexpr int MOV = 26;
inline constexpr int MP4 = 27;
inline constexpr int MPEG1 = 28;
inline constexpr int MPEG2 = 29;
inline constexpr int WMV = 31;
inline constexpr int ArchosAV500 = 63;
inline constexpr int ArchosAV700 = 64;
inline constexpr int CreativeZenVision = 65;
inline constexpr int IRiverPMP100 = 66;
inline constexpr int BlackBerryMPEG4 = 67;
inline constexpr int BlackBerryAVI = 68;
inline constexpr int BlackBerry3GP = 69;
inline constexpr int PSP = 53;
inline constexpr int PS3 = 58;
}  // namespace ProfileIds

// The 34 profiles in the order the output-format list shows them.
inline constexpr std::array<TheAVCodec, 34> OutputFormatTable = {{
    {"iPhone (*.mp4)", "MP4", ProfileIds::IPhone},
    {"iPhone Extra (640 x 480) (*.mp4)", "MP4", ProfileIds::IPhoneExtra},
    {"iPhone Wide Screen (*.mp4)", "MP4", ProfileIds::IPhoneWideScreen},
    {"iPod (*.mp4)", "MP4", ProfileIds::IPod},
    {"iPod Extra (640 x 480) (*.mp4)", "MP4", ProfileIds::IPodExtra},
    {"iPod Video For TV (*.mp4)", "MP4", ProfileIds::IPodVideoForTV},
    {"iPod Touch (*.mp4)", "MP4", ProfileIds::IPodTouch},
    {"iPod Touch Extra (640 x 480) (*.mp4)", "MP4", ProfileIds::IPodTouchExtra},
    {"iPod Touch Wide Screen (*.mp4)", "MP4", ProfileIds::IPodTouchWideScreen},
    {"Apple TV (*.mp4)", "MP4", ProfileIds::AppleTV},
    {"Apple TV H264 (640 x 480) (*.mp4)", "MP4", ProfileIds::AppleTVH264},
    {"M4A - Mpeg4 Audio File (*.m4a)", "M4A", ProfileIds::M4A},
    {"MP3 - Mpeg Layer3 Audio (*.mp3)", "MP3", ProfileIds::MP3},
    {"WAV - Waveform Audio (*.wav)", "WAV", ProfileIds::WAV},
    {"WMA - Windows Media Audio (*.wma)", "WMA", ProfileIds::WMA},
    {"3GP - Mobile Video Format (*.3gp)", "3GP", ProfileIds::ThreeGP},
    {"3G2 - Mobile Video Format (*.3g2)", "3G2", ProfileIds::ThreeG2},
    {"AVI - Audio Video Interleave (*.avi)", "AVI", ProfileIds::AVI},
    {"AVI - DivX Video (*.avi)", "AVI", ProfileIds::AVIDivX},
    {"AVI - XviD Video (*.avi)", "AVI", ProfileIds::AVIXviD},
    {"MOV - QuickTime Video (*.mov)", "MOV", ProfileIds::MOV},
    {"MP4 - MPEG4 Video (*.mp4)", "MP4", ProfileIds::MP4},
    {"MPEG-1 Movie (*.mpg)", "MPG", ProfileIds::MPEG1},
    {"MPEG-2 Movie (*.mpg)", "MPG", ProfileIds::MPEG2},
    {"WMV - Windows Media Video (*.wmv)", "WMV", ProfileIds::WMV},
    {"Archos AV500/GMini402 (*.avi)", "AVI", ProfileIds::ArchosAV500},
    {"Archos AV700 (*.avi)", "AVI", ProfileIds::ArchosAV700},
    {"BlackBerry MPEG-4 Video (*.mp4)", "MP4", ProfileIds::BlackBerryMPEG4},
    {"BlackBerry AVI Video (*.avi)", "AVI", ProfileIds::BlackBerryAVI},
    {"BlackBerry 3GP Video (*.3gp)", "3GP", ProfileIds::BlackBerry3GP},
    {"Creative Zen Vision (*.avi)", "AVI", ProfileIds::CreativeZenVision},
    {"iRiver PMP100 (*.avi)", "AVI", ProfileIds::IRiverPMP100},
    {"PSP Video (*.mp4)", "MP4", ProfileIds::PSP},
    {"PS3 Video (*.mp4)", "MP4", ProfileIds::PS3},
}};

// The caption of a separator row: 14 blanks and 41 hyphens. Separators have no entry.
inline constexpr std::string_view SeparatorCaption =
    "              -----------------------------------------";

// Rows of the output-format list that are separators. The row index is a stored setting
// ("ComboOutputFormat" of the user's settings), so this layout is a stored format.
inline constexpr std::array<int, 6> OutputFormatSeparatorRows = {3, 7, 11, 14, 19, 30};

inline constexpr int OutputFormatRowCount =
    static_cast<int>(OutputFormatTable.size() + OutputFormatSeparatorRows.size());

// The entry shown in a row of the output-format list; null for a separator row or a row
// outside the list.
const TheAVCodec* OutputFormatRowEntry(int row);
// The text of a row: the entry's caption, or SeparatorCaption.
std::string_view OutputFormatRowCaption(int row);

// True when a text of the output-format list is a separator row: it contains 14 blanks
// followed by "----" (the main window's test).
bool IsSeparatorText(std::string_view text);

// The entry whose Caption equals the text exactly (case-sensitive); null when none does
// (a separator text matches none).
const TheAVCodec* FindProfileByCaption(std::string_view caption);

// Clears ComboOutputFormat, adds the 40 rows in order, sets its drop-down row count to 40
// and selects row 0.
void FillComboOutputFormat(TProfileControls& controls);

// The filter of the add-files dialog: one literal of 1,156 characters.
std::string_view OpenDialogFilter();

}  // namespace mf
