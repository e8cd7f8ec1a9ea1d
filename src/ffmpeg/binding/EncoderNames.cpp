#include "EncoderNames.h"

#include "AVCodecHlpr.h"
#include "AmrNbHlpr.h"

namespace mf {

namespace {

struct TAlias {
  std::string_view Name;
  std::string_view Candidates[2];  // tried in order; empty entries are skipped
};

// Names from an older library generation whose encoders this build offers under another
// name, best first.
constexpr TAlias Aliases[] = {
    {"libfaac", {"libfdk_aac", "aac"}},
    {"libamr_nb", {"libopencore_amrnb", EngineAmrNbEncoderName}},
};

TEncoderChoice Lookup(std::string_view name) {
  TEncoderChoice choice;
  choice.LibraryName = std::string(name);
  if (name == EngineAmrNbEncoderName) {
    choice.EngineAmrNb = LibAmrNbLoaded();
    return choice;
  }
  choice.Codec = ff::avcodec_find_encoder_by_name(choice.LibraryName.c_str());
  return choice;
}

}  // namespace

TEncoderChoice FindEncoderByName(std::string_view name) {
  for (const TAlias& alias : Aliases) {
    if (alias.Name != name) continue;
    for (std::string_view candidate : alias.Candidates) {
      if (candidate.empty()) continue;
      TEncoderChoice choice = Lookup(candidate);
      if (choice.Found()) return choice;
    }
    return TEncoderChoice{nullptr, false, std::string(name)};
  }
  return Lookup(name);
}

}  // namespace mf
