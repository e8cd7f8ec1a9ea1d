// The main window's controls as the profile layer sees them: its drop-down lists and its
// OutputExtension field. The Qt main window implements this with its combo boxes; tests
// implement it with a plain model. All calls happen on the user-interface thread.
#pragma once

#include <string>
#include <string_view>

namespace mf {

// The drop-down lists the profiles fill or read.
enum class TOptionBox {
  OutputFormat,    // ComboOutputFormat: the catalogue's rows
  VideoCodec,      // ComboVideoCodec
  VideoSize,       // ComboVideoSize
  VideoBitrate,    // ComboVideoBitrate
  VideoFramerate,  // ComboVideoFramerate
  AudioCodec,      // ComboAudioCodec
  AudioBitrate,    // ComboAudioBitrate
  SamplingRate,    // ComboSamplingRate
  AudioChannels,   // ComboAudioChannels: items owned by the window, option sets only select
  AspectRatio,     // ComboAspectRatio: items owned by the window, option sets only select
};

class TProfileControls {
 public:
  virtual ~TProfileControls() = default;

  // Removes every item; the box then shows no text.
  virtual void ClearBox(TOptionBox box) = 0;
  // Appends one item; the selection is not changed.
  virtual void AddCaption(TOptionBox box, std::string_view caption) = 0;
  // Selects an item by index; its caption becomes the box's text. Raises no change notice.
  virtual void SelectIndex(TOptionBox box, int index) = 0;
  // The selected item's caption, or empty when nothing is selected.
  virtual std::string BoxText(TOptionBox box) const = 0;
  // How many rows the box's list shows when dropped down (only ComboOutputFormat uses it).
  virtual void SetDropDownCount(TOptionBox box, int rows) = 0;

  // The window's OutputExtension: the selected profile's extension, upper case, no dot.
  virtual std::string OutputExtension() const = 0;
  virtual void SetOutputExtension(std::string_view extension) = 0;
};

}  // namespace mf
