#include <string_view>

#include "FFmpeg.h"
#include "OptionParsing.h"

namespace mf {

namespace {

using TE = TCustomFFmpeg;
using TRowEffect = void (*)(TE& engine, const std::string& name, const std::string& value);

struct TOptionRow {
  std::string_view Name;
  TRowEffect Apply;
};

// Row kinds. A text argument that is empty leaves everything as it is, unless the row takes
// empty texts too.

void Ignored(TE& e, const std::string& name, const std::string&) { e.Log(1, "Do nothing: option - " + name); }

void Rejected(TE&, const std::string& name, const std::string&) {
  throw FFMpegException("TODO: option - " + name);
}

template <int TEngineOptionState::*Field>
void Flag(TE& e, const std::string&, const std::string&) {
  e.*Field = 1;
}

template <int TEngineOptionState::*Field>
void IntField(TE& e, const std::string&, const std::string& v) {
  e.*Field = StrToInt(v);
}

template <float TEngineOptionState::*Field>
void FloatField(TE& e, const std::string&, const std::string& v) {
  e.*Field = static_cast<float>(StrToFloat(v));
}

template <void (TE::*Setter)(int)>
void IntSetter(TE& e, const std::string&, const std::string& v) {
  (e.*Setter)(StrToInt(v));
}

template <void (TE::*Setter)(const std::string&)>
void TextSetter(TE& e, const std::string&, const std::string& v) {
  if (!v.empty()) (e.*Setter)(v);
}

template <TAvText TEngineOptionState::*Field>
void TextCopy(TE& e, const std::string&, const std::string& v) {
  if (!v.empty()) e.*Field = DupText(v);
}

template <std::string TEngineOptionState::*Field>
void TextAlsoEmpty(TE& e, const std::string&, const std::string& v) {
  e.*Field = v;
}

template <int Type>
void MaxFramesOf(TE& e, const std::string&, const std::string& v) {
  e.MaxFrames[Type] = StrToInt(v);
}

void BitRate(TE& e, const std::string& name, const std::string& v) { e.SetBitRate(name, v); }

// Compared in this order, exactly and with case.
constexpr TOptionRow OptionTable[] = {
    {"L", Ignored},
    {"h", Ignored},
    {"version", Ignored},
    {"formats", Ignored},
    {"f", TextSetter<&TE::SetFormat>},
    {"i", Ignored},  // the input is opened by the component
    {"y", Ignored},
    {"map", TextSetter<&TE::AddStreamMap>},
    {"map_meta_data", TextSetter<&TE::AddMetaDataMap>},
    {"t", [](TE& e, const std::string&, const std::string& v) { e.SetRecordingTime(v); }},
    {"fs", [](TE& e, const std::string&, const std::string& v) { e.LimitFileSize = StrToInt64(v); }},
    {"ss", [](TE& e, const std::string& n, const std::string& v) { e.StartTime = e.ParseTimeOption(n, v, true); }},
    {"itsoffset",
     [](TE& e, const std::string& n, const std::string& v) { e.InputTsOffset = e.ParseTimeOption(n, v, true); }},
    {"itsscale", TextSetter<&TE::SetInputTsScale>},
    {"title", TextSetter<&TE::SetTitle>},
    {"timestamp",
     [](TE& e, const std::string& n, const std::string& v) {
       e.RecordTimestamp = DivideRoundHalfEven(e.ParseTimeOption(n, v, false), 1000000);
     }},
    {"author", TextSetter<&TE::SetAuthor>},
    {"copyright", TextSetter<&TE::SetCopyright>},
    {"comment", TextSetter<&TE::SetComment>},
    {"genre", TextSetter<&TE::SetGenre>},
    {"album", TextSetter<&TE::SetAlbum>},
    {"dframes", MaxFramesOf<AVMEDIA_TYPE_DATA>},
    {"benchmark", Ignored},
    {"dump", Flag<&TE::PacketDump>},
    {"hex", Flag<&TE::HexDump>},
    {"re", Flag<&TE::RateEmulation>},
    {"loop_input", Flag<&TE::LoopInput>},
    {"loop_output", IntField<&TE::LoopOutput>},
    {"v", IntSetter<&TE::SetVerbosity>},
    {"target", TextSetter<&TE::SetTarget>},
    {"threads", Rejected},
    {"vsync", IntField<&TE::VideoSyncMethod>},
    {"async", IntField<&TE::AudioSyncMethod>},
    {"adrift_threshold", FloatField<&TE::AudioDriftThreshold>},
    {"vglobal", IntField<&TE::VideoGlobalHeader>},
    {"copyts", [](TE& e, const std::string&, const std::string&) { e.CopyTimestamps = true; }},
    {"shortest", Flag<&TE::Shortest>},
    {"dts_delta_threshold", FloatField<&TE::DtsDeltaThreshold>},
    {"programid", IntField<&TE::ProgramId>},
    {"b", BitRate},
    {"vb", BitRate},
    {"vframes", MaxFramesOf<AVMEDIA_TYPE_VIDEO>},
    {"r", TextSetter<&TE::SetFrameRate>},
    {"s", TextSetter<&TE::SetFrameSize>},
    {"aspect", TextSetter<&TE::SetAspectRatio>},
    {"pix_fmt", TextSetter<&TE::SetPixelFormat>},
    {"croptop", IntSetter<&TE::SetCropTop>},
    {"cropbottom", IntSetter<&TE::SetCropBottom>},
    {"cropleft", IntSetter<&TE::SetCropLeft>},
    {"cropright", IntSetter<&TE::SetCropRight>},
    {"padtop", IntSetter<&TE::SetPadTop>},
    {"padbottom", IntSetter<&TE::SetPadBottom>},
    {"padleft", IntSetter<&TE::SetPadLeft>},
    {"padright", IntSetter<&TE::SetPadRight>},
    {"padcolor", IntSetter<&TE::SetPadColor>},
    {"intra", Flag<&TE::IntraOnly>},
    {"vn", Flag<&TE::VideoDisable>},
    {"vdt", IntField<&TE::VideoDiscard>},
    {"qscale", [](TE& e, const std::string&, const std::string& v) { e.SetVideoQScale(StrToFloat(v)); }},
    {"rc_override", TextCopy<&TE::VideoRcOverride>},
    {"vcodec", TextSetter<&TE::SetVideoCodec>},
    {"me_threshold", IntField<&TE::MeThreshold>},
    {"sameq", Flag<&TE::SameQuality>},
    {"pass", IntSetter<&TE::SetPass>},
    {"passlogfile", TextAlsoEmpty<&TE::PassLogFileName>},
    {"deinterlace", Flag<&TE::Deinterlace>},
    {"psnr", Flag<&TE::Psnr>},
    {"vstats", [](TE& e, const std::string&, const std::string&) { e.EnableVstats(); }},
    {"vstats_file", TextSetter<&TE::SetVstatsFileName>},
    {"vhook", TextSetter<&TE::AddVideoHook>},
    {"intra_matrix", TextSetter<&TE::SetIntraMatrix>},
    {"inter_matrix", TextSetter<&TE::SetInterMatrix>},
    {"top", IntField<&TE::TopFieldFirst>},
    {"dc", IntField<&TE::IntraDcPrecision>},
    {"vtag", TextSetter<&TE::SetVideoTag>},
    {"newvideo", [](TE& e, const std::string&, const std::string&) { e.AppendVideoStream(); }},
    {"qphist", Flag<&TE::QpHistogram>},
    {"ab", BitRate},
    {"aframes", MaxFramesOf<AVMEDIA_TYPE_AUDIO>},
    {"aq", FloatField<&TE::AudioQScale>},
    {"ar", IntSetter<&TE::SetAudioSampleRate>},
    {"ac", IntSetter<&TE::SetAudioChannels>},
    {"an", Flag<&TE::AudioDisable>},
    {"acodec", TextSetter<&TE::SetAudioCodec>},
    {"atag", TextSetter<&TE::SetAudioTag>},
    {"vol", IntField<&TE::AudioVolume>},
    {"newaudio", [](TE& e, const std::string&, const std::string&) { e.AppendAudioStream(); }},
    {"alang", TextAlsoEmpty<&TE::AudioLanguage>},
    {"sn", Flag<&TE::SubtitleDisable>},
    {"scodec", TextSetter<&TE::SetSubtitleCodec>},
    {"newsubtitle", [](TE& e, const std::string&, const std::string&) { e.AppendSubtitleStream(); }},
    {"slang", TextAlsoEmpty<&TE::SubtitleLanguage>},
    {"vc", IntField<&TE::VideoChannel>},
    {"tvstd", TextCopy<&TE::VideoStandard>},
    {"isync", Flag<&TE::InputSync>},
    {"muxdelay", FloatField<&TE::MuxMaxDelay>},
    {"muxpreload", FloatField<&TE::MuxPreload>},
    {"absf", Rejected},  // bitstream filters are not offered
    {"vbsf", Rejected},
    {"sbsf", Rejected},
    {"apre", Ignored},
    {"vpre", Ignored},
    {"spre", Ignored},
};

}  // namespace

void TCustomFFmpeg::SetOption(const std::string& name, const std::string& value) {
  for (const TOptionRow& row : OptionTable) {
    if (row.Name == name) {
      row.Apply(*this, name, value);
      return;
    }
  }
  // Unknown to the table: perhaps a codec, format or scaler option; unknown there too, it is
  // ignored without a word.
  SetLibraryOption(name, value);
}

}  // namespace mf
