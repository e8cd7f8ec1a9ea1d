// A plain model of the main window's controls for the profile tests: each box a list of
// items with a selected index, and the OutputExtension field.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ProfileControls.h"

namespace mf::test {

struct TBoxState {
  std::vector<std::string> Items;
  int Selected = -1;
  int DropDownCount = 8;

  std::string Text() const {
    return Selected >= 0 && Selected < int(Items.size()) ? Items[Selected] : std::string();
  }
  bool operator==(const TBoxState&) const = default;
};

inline const char* BoxName(TOptionBox box) {
  switch (box) {
    case TOptionBox::OutputFormat: return "ComboOutputFormat";
    case TOptionBox::VideoCodec: return "ComboVideoCodec";
    case TOptionBox::VideoSize: return "ComboVideoSize";
    case TOptionBox::VideoBitrate: return "ComboVideoBitrate";
    case TOptionBox::VideoFramerate: return "ComboVideoFramerate";
    case TOptionBox::AudioCodec: return "ComboAudioCodec";
    case TOptionBox::AudioBitrate: return "ComboAudioBitrate";
    case TOptionBox::SamplingRate: return "ComboSamplingRate";
    case TOptionBox::AudioChannels: return "ComboAudioChannels";
    case TOptionBox::AspectRatio: return "ComboAspectRatio";
  }
  return "?";
}

class TBoxModel : public TProfileControls {
 public:
  // The state of the main window after it is created: the channel and aspect boxes hold
  // their items, the others something a profile must replace.
  TBoxModel() {
    Boxes[TOptionBox::AudioChannels] = {{"Stereo", "Mono"}, 0};
    Boxes[TOptionBox::AspectRatio] = {{"Original", "4:3 (Standard", "16:9 (Wide Screen)"}, 0};
    for (TOptionBox box : {TOptionBox::VideoCodec, TOptionBox::VideoSize, TOptionBox::VideoBitrate,
                           TOptionBox::VideoFramerate, TOptionBox::AudioCodec,
                           TOptionBox::AudioBitrate, TOptionBox::SamplingRate})
      Boxes[box] = {{"left over 1", "left over 2"}, 1};
  }

  void ClearBox(TOptionBox box) override {
    Boxes[box].Items.clear();
    Boxes[box].Selected = -1;
  }
  void AddCaption(TOptionBox box, std::string_view caption) override {
    Boxes[box].Items.emplace_back(caption);
  }
  void SelectIndex(TOptionBox box, int index) override {
    TBoxState& state = Boxes[box];
    if (index < 0 || index >= int(state.Items.size()))
      ADD_FAILURE() << BoxName(box) << ": index " << index << " of " << state.Items.size() << " items";
    state.Selected = index;
  }
  std::string BoxText(TOptionBox box) const override {
    auto found = Boxes.find(box);
    return found == Boxes.end() ? std::string() : found->second.Text();
  }
  void SetDropDownCount(TOptionBox box, int rows) override { Boxes[box].DropDownCount = rows; }
  std::string OutputExtension() const override { return Extension; }
  void SetOutputExtension(std::string_view extension) override { Extension = extension; }

  // Selects the row of ComboOutputFormat that reads the caption (the list must be filled).
  void ChooseFormat(std::string_view caption) {
    TBoxState& state = Boxes[TOptionBox::OutputFormat];
    for (int row = 0; row < int(state.Items.size()); ++row)
      if (state.Items[row] == caption) {
        state.Selected = row;
        return;
      }
    ADD_FAILURE() << "no output-format row \"" << caption << "\"";
  }
  // Selects an item of a box by its caption.
  void Choose(TOptionBox box, std::string_view caption) {
    TBoxState& state = Boxes[box];
    for (int i = 0; i < int(state.Items.size()); ++i)
      if (state.Items[i] == caption) {
        state.Selected = i;
        return;
      }
    ADD_FAILURE() << BoxName(box) << " has no item \"" << caption << "\"";
  }
  // Puts a text into a box as its only, selected item (for captions no option set offers).
  void Force(TOptionBox box, std::string caption) { Boxes[box] = {{std::move(caption)}, 0}; }

  std::map<TOptionBox, TBoxState> Boxes;
  std::string Extension;
};

}  // namespace mf::test
