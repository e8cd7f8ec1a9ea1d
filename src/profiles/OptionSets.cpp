#include "OptionSets.h"

#include <algorithm>

namespace mf {

namespace {

void ApplyBox(TProfileControls& controls, TOptionBox box, const TBoxContent& content) {
  controls.ClearBox(box);
  switch (content.Kind) {
    case TBoxContent::Empty:
      return;
    case TBoxContent::Single:
      controls.AddCaption(box, content.Selected);
      controls.SelectIndex(box, 0);
      return;
    case TBoxContent::Fill: {
      for (std::string_view caption : content.Items) controls.AddCaption(box, caption);
      auto selected = std::find(content.Items.begin(), content.Items.end(), content.Selected);
      controls.SelectIndex(box, static_cast<int>(selected - content.Items.begin()));
      return;
    }
  }
}

void SelectUnlessKept(TProfileControls& controls, TOptionBox box, int index) {
  if (index != OptionSetCells::Kept) controls.SelectIndex(box, index);
}

}  // namespace

void ApplyOptionSet(TProfileControls& controls, const TOptionSet& set) {
  ApplyBox(controls, TOptionBox::VideoCodec, set.VideoCodec);
  ApplyBox(controls, TOptionBox::VideoSize, set.VideoSize);
  ApplyBox(controls, TOptionBox::VideoBitrate, set.VideoBitrate);
  ApplyBox(controls, TOptionBox::VideoFramerate, set.VideoFramerate);
  ApplyBox(controls, TOptionBox::AudioCodec, set.AudioCodec);
  ApplyBox(controls, TOptionBox::AudioBitrate, set.AudioBitrate);
  ApplyBox(controls, TOptionBox::SamplingRate, set.SamplingRate);
  SelectUnlessKept(controls, TOptionBox::AudioChannels, set.AudioChannelsIndex);
  SelectUnlessKept(controls, TOptionBox::AspectRatio, set.AspectRatioIndex);
}

const TheAVCodec* ApplyProfileControls(TProfileControls& controls) {
  const TheAVCodec* entry = FindProfileByCaption(controls.BoxText(TOptionBox::OutputFormat));
  if (entry == nullptr) return nullptr;
  controls.SetOutputExtension(entry->Extension);
  if (const TOptionSet* set = FindOptionSet(entry->ProfileId)) ApplyOptionSet(controls, *set);
  return entry;
}

}  // namespace mf
