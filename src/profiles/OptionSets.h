// The option sets of the profiles: which captions each option box offers while a
// profile is selected, and which one it preselects. The sets themselves are data
// (OptionSetData.cpp); ApplyProfileControls writes one of them into the boxes.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "Catalogue.h"
#include "ProfileControls.h"

namespace mf {

using TCaptionList = std::span<const std::string_view>;

// What an option set does to one of the seven boxes it fills.
struct TBoxContent {
  enum TKind { Empty, Fill, Single };
  TKind Kind = Empty;
  TCaptionList Items;         // Fill: the captions, in order
  std::string_view Selected;  // Fill: the caption selected (one of Items); Single: the only item
};

// The cells of the option-set table (OptionSetData.cpp).
namespace OptionSetCells {

// A box cleared and left without items.
inline constexpr TBoxContent Emptied{};

// A list with one of its captions selected.
constexpr TBoxContent List(TCaptionList items, std::string_view selected) {
  return {TBoxContent::Fill, items, selected};
}

// A one-item list with that caption selected.
constexpr TBoxContent Only(std::string_view caption) { return {TBoxContent::Single, {}, caption}; }

// What an option set does to one of the two boxes whose items the main window owns.
inline constexpr int Kept = -1;     // the box is not touched
inline constexpr int Stereo = 0;    // index of "Stereo" in ComboAudioChannels
inline constexpr int Mono = 1;      // index of "Mono"
inline constexpr int Original = 0;  // index of "Original" in ComboAspectRatio

}  // namespace OptionSetCells

struct TOptionSet {
  TBoxContent VideoCodec;
  TBoxContent VideoSize;
  TBoxContent VideoBitrate;
  TBoxContent VideoFramerate;
  TBoxContent AudioCodec;
  TBoxContent AudioBitrate;
  TBoxContent SamplingRate;
  int AudioChannelsIndex = OptionSetCells::Kept;  // index of ComboAudioChannels to select, or Kept
  int AspectRatioIndex = OptionSetCells::Kept;    // index of ComboAspectRatio to select, or Kept
};

// The items of the two boxes that option sets only select in; the main window fills them.
inline constexpr std::array<std::string_view, 2> AudioChannelCaptions = {"Stereo", "Mono"};
inline constexpr std::array<std::string_view, 3> AspectRatioCaptions = {
    "Original", "4:3 (Standard", "16:9 (Wide Screen)"};

// The option set of a profile id; null for an id that has none.
const TOptionSet* FindOptionSet(int profileId);

// Writes an option set into the boxes: each filled box is cleared, refilled and given its
// selection, each emptied box is cleared, the channel and aspect boxes are selected unless kept.
void ApplyOptionSet(TProfileControls& controls, const TOptionSet& set);

// Finds the catalogue entry whose Caption equals the text of ComboOutputFormat, sets the
// window's OutputExtension to its Extension and applies its option set. A text that matches
// no entry changes nothing. Returns the entry applied, or null.
const TheAVCodec* ApplyProfileControls(TProfileControls& controls);

}  // namespace mf
