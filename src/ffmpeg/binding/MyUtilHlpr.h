// Run-time binding of libmyutil.
#pragma once

extern "C" {
#include "myutil.h"
}

#include <string>

#include "MyUtilEntries.h"
#include "LibraryModule.h"

namespace ff {
MF_MYUTIL_ENTRIES(MF_DECLARE_ENTRY)
}  // namespace ff

namespace mf {

TLibraryModule& MyUtilHlpr();
bool LoadMyUtil(std::string& errorText);
void UnloadMyUtil();
bool MyUtilLoaded();

}  // namespace mf
