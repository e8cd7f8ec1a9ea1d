// The option boxes as plain data, for front ends without a window (the command line): each
// box a list of captions with a selected index, as the window's combo boxes hold them.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ProfileControls.h"

namespace mf {

class TPlainProfileControls : public TProfileControls {
 public:
  struct TBox {
    std::vector<std::string> Items;
    int Selected = -1;
  };

  // The window's fixed items of the channel and aspect boxes.
  TPlainProfileControls() {
    Boxes[TOptionBox::AudioChannels] = {{"Stereo", "Mono"}, 0};
    Boxes[TOptionBox::AspectRatio] = {{"Original", "4:3 (Standard", "16:9 (Wide Screen)"}, 0};
  }

  void ClearBox(TOptionBox box) override { Boxes[box] = {}; }
  void AddCaption(TOptionBox box, std::string_view caption) override { Boxes[box].Items.emplace_back(caption); }
  void SelectIndex(TOptionBox box, int index) override {
    TBox& state = Boxes[box];
    state.Selected = index >= 0 && index < static_cast<int>(state.Items.size()) ? index : -1;
  }
  std::string BoxText(TOptionBox box) const override {
    const auto found = Boxes.find(box);
    if (found == Boxes.end()) return "";
    const TBox& state = found->second;
    return state.Selected >= 0 && state.Selected < static_cast<int>(state.Items.size()) ? state.Items[state.Selected] : "";
  }
  void SetDropDownCount(TOptionBox, int) override {}
  std::string OutputExtension() const override { return Extension; }
  void SetOutputExtension(std::string_view extension) override { Extension = extension; }

  // Selects the item that reads caption (compared without regard to letter case, and as a
  // prefix when no item reads it whole, so "4:3" finds "4:3 (Standard"). False when none does.
  bool Choose(TOptionBox box, std::string_view caption) {
    TBox& state = Boxes[box];
    auto lower = [](std::string_view text) {
      std::string result(text);
      for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return result;
    };
    const std::string wanted = lower(caption);
    for (int pass = 0; pass < 2; ++pass)
      for (int i = 0; i < static_cast<int>(state.Items.size()); ++i) {
        const std::string item = lower(state.Items[static_cast<size_t>(i)]);
        if (pass == 0 ? item == wanted : item.rfind(wanted, 0) == 0) {
          state.Selected = i;
          return true;
        }
      }
    return false;
  }
  const std::vector<std::string>& Items(TOptionBox box) { return Boxes[box].Items; }
  int Selected(TOptionBox box) { return Boxes[box].Selected; }

  std::map<TOptionBox, TBox> Boxes;
  std::string Extension;
};

}  // namespace mf
