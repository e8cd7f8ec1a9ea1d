#include "MyUtilHlpr.h"

#include <string>

namespace mf {

TLibraryModule& MyUtilHlpr() {
  static TLibraryModule module(
      [](bool) -> std::string { return "libmyutil.so"; },
      {MF_MYUTIL_ENTRIES(MF_ENTRY_ROW)});
  return module;
}

bool LoadMyUtil(std::string& errorText) {
  return MyUtilHlpr().Load(errorText, false);
}

void UnloadMyUtil() { MyUtilHlpr().Unload(); }

bool MyUtilLoaded() { return MyUtilHlpr().Loaded(); }

}  // namespace mf
