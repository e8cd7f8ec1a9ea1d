#include "JobAssembly.h"

#include <iterator>
#include <string>

#include "CaptionTranslation.h"
#include "PlayerSettings.h"

namespace mf {

namespace {

struct TVariantOfProfile {
  int ProfileId;
  TAssemblyVariant Variant;
};

using enum TAssemblyVariant;

constexpr TVariantOfProfile VariantTable[] = {
    {ProfileIds::IPhone, Generic},
    {ProfileIds::IPhoneExtra, Generic},
    {ProfileIds::IPhoneWideScreen, Generic},
    {ProfileIds::M4A, Generic},
    {ProfileIds::MP3, Generic},
    {ProfileIds::WAV, Generic},
    {ProfileIds::WMA, Generic},
    {ProfileIds::AVI, Generic},
    {ProfileIds::AVIDivX, Generic},
    {ProfileIds::AVIXviD, Generic},
    {ProfileIds::MOV, Generic},
    {ProfileIds::MP4, Generic},
    {ProfileIds::MPEG1, Generic},
    {ProfileIds::MPEG2, Generic},
    {ProfileIds::WMV, Generic},
    {ProfileIds::ArchosAV500, Generic},
    {ProfileIds::ArchosAV700, Generic},
    {ProfileIds::CreativeZenVision, Generic},
    {ProfileIds::IRiverPMP100, Generic},
    {ProfileIds::BlackBerryMPEG4, Generic},
    {ProfileIds::BlackBerryAVI, Generic},
    {ProfileIds::BlackBerry3GP, Generic},
    {ProfileIds::PSP, Generic},
    {ProfileIds::PS3, Generic},
    {ProfileIds::IPod, Aac},
    {ProfileIds::IPodExtra, Aac},
    {ProfileIds::IPodVideoForTV, Aac},
    {ProfileIds::IPodTouch, Aac},
    {ProfileIds::IPodTouchExtra, Aac},
    {ProfileIds::IPodTouchWideScreen, Aac},
    {ProfileIds::AppleTV, Aac},
    {ProfileIds::AppleTVH264, Aac},
    {ProfileIds::ThreeGP, Amr},
    {ProfileIds::ThreeG2, Amr},
};

constexpr const TVariantOfProfile* FindVariant(int profileId) {
  for (const TVariantOfProfile& row : VariantTable)
    if (row.ProfileId == profileId) return &row;
  return nullptr;
}

constexpr bool EveryProfileHasAVariant() {
  for (const TheAVCodec& entry : OutputFormatTable)
    if (FindVariant(entry.ProfileId) == nullptr) return false;
  return std::size(VariantTable) == OutputFormatTable.size();
}

static_assert(EveryProfileHasAVariant(), "every catalogue profile has one assembly variant");

// The four texts every variant reads first.
struct TCaptionsRead {
  std::string VideoBitrate;
  std::string AudioBitrate;
  std::string SamplingRate;
  std::string VideoSize;
};

TCaptionsRead ReadCaptions(const TProfileControls& controls) {
  return {controls.BoxText(TOptionBox::VideoBitrate), controls.BoxText(TOptionBox::AudioBitrate),
          controls.BoxText(TOptionBox::SamplingRate), controls.BoxText(TOptionBox::VideoSize)};
}

// The decimal texts of the three numbers; converted to integers only in the last step.
struct TNumberTexts {
  std::string VideoBitrate;
  std::string AudioBitrate;
  std::string SampleRate;
};

TNumberTexts NumberTexts(const TCaptionsRead& captions, TBitrateRule audioRule) {
  return {BitrateTextFromCaption(captions.VideoBitrate, TBitrateRule::Kilo),
          BitrateTextFromCaption(captions.AudioBitrate, audioRule),
          std::string(NumberPrefix(captions.SamplingRate))};
}

void WriteFrameSize(const std::string& sizeCaption, TOutputOptions& job) {
  if (!SizeCaptionKeepsSourceSize(sizeCaption)) job.FrameSize = FrameSizeFromCaption(sizeCaption);
}

// Last step of every variant: each field is written before the next text is converted, so a
// failure leaves the earlier ones written.
void WriteNumbers(const TNumberTexts& texts, TOutputOptions& job) {
  job.VideoBitrate = DecimalInteger(texts.VideoBitrate);
  job.AudioBitrate = DecimalInteger(texts.AudioBitrate);
  job.AudioSampleRate = DecimalInteger(texts.SampleRate);
}

bool IsAudioOnlyExtension(std::string_view extension) {
  std::string lower = AsciiLowerCase(extension);
  return lower == "m4a" || lower == "mp3" || lower == "wav" || lower == "wma";
}

// The AAC and AMR variants differ only in the audio rule, the audio encoder and the channels.
void AssembleFixedAudioJob(const TProfileControls& controls, TOutputOptions& job,
                           TBitrateRule audioRule, std::string_view audioCodec) {
  TCaptionsRead captions = ReadCaptions(controls);
  TNumberTexts numbers = NumberTexts(captions, audioRule);
  job.VideoCodec = EncoderNameFromCaption(controls.BoxText(TOptionBox::VideoCodec));
  job.AudioCodec = std::string(audioCodec);
  WriteFrameSize(captions.VideoSize, job);
  WriteNumbers(numbers, job);
}

}  // namespace

bool AssemblyVariantOf(int profileId, TAssemblyVariant& variant) {
  const TVariantOfProfile* row = FindVariant(profileId);
  if (row == nullptr) return false;
  variant = row->Variant;
  return true;
}

bool SizeCaptionKeepsSourceSize(std::string_view caption) {
  return caption == "Original Video Size" || caption == "Auto";
}

void AssembleGenericJob(const TProfileControls& controls, TOutputOptions& job) {
  TCaptionsRead captions = ReadCaptions(controls);
  TNumberTexts numbers = NumberTexts(captions, TBitrateRule::ByUnitText);
  job.VideoCodec = EncoderNameFromCaption(controls.BoxText(TOptionBox::VideoCodec));
  job.AudioCodec = EncoderNameFromCaption(controls.BoxText(TOptionBox::AudioCodec));
  WriteFrameSize(captions.VideoSize, job);
  job.AudioChannels = ChannelsFromCaption(controls.BoxText(TOptionBox::AudioChannels));
  std::string extension = controls.OutputExtension();
  if (extension == "3GP" || extension == "3G2") job.AudioChannels = 1;
  if (IsAudioOnlyExtension(extension)) job.DisableVideo = true;
  WriteNumbers(numbers, job);
}

void AssembleAacJob(const TProfileControls& controls, TOutputOptions& job) {
  AssembleFixedAudioJob(controls, job, TBitrateRule::Kilo, "libfaac");
}

void AssembleAmrJob(const TProfileControls& controls, TOutputOptions& job) {
  AssembleFixedAudioJob(controls, job, TBitrateRule::Plain, "libamr_nb");
  job.AudioChannels = 1;
}

const TheAVCodec* AssembleProfileJob(const TProfileControls& controls, TOutputOptions& job) {
  const TheAVCodec* entry = FindProfileByCaption(controls.BoxText(TOptionBox::OutputFormat));
  if (entry == nullptr) return nullptr;
  const TVariantOfProfile* row = FindVariant(entry->ProfileId);
  if (row == nullptr) return entry;
  switch (row->Variant) {
    case Generic:
      AssembleGenericJob(controls, job);
      break;
    case Aac:
      AssembleAacJob(controls, job);
      break;
    case Amr:
      AssembleAmrJob(controls, job);
      break;
  }
  AddPlayerSettings(*entry, controls, job);
  return entry;
}

}  // namespace mf
