// The combined loader of the codec libraries and the process-wide state that goes with them.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "AVCodecHlpr.h"
#include "AVFormatHlpr.h"
#include "AVUtilHlpr.h"
#include "AmrNbHlpr.h"
#include "MyUtilHlpr.h"
#include "SwResampleHlpr.h"
#include "SwScaleHlpr.h"

namespace mf {

// Loads every library from Folder (made current and put in PATH while loading) or, with an
// empty Folder, through the system's search. True once all are bound; a second call after a
// success returns true at once. A failure unloads what did load. Never throws.
bool BindCodecLibraries(const std::string& folder, bool versioned);
std::string CodecLibraryError();
bool CodecLibrariesBound();
void UnloadCodecLibraries();

// The level the library log callback filters against, in the system's numbering:
// -1 quiet, 0 error, 1 information, 2 debug, 3 all. One value for the whole process.
extern std::atomic<int> LibraryLogLevel;

// The library's log levels are spaced differently; these translate at the boundary.
int LibraryLevelFromAv(int avLevel);
int AvLevelFromLibrary(int level);

// Held around stream-information probing and around every codec open and close, for one
// library call at a time; never taken while holding a component's lock on the UI thread.
std::recursive_mutex& CodecLock();

// Puts folder in front of PATH unless it already occurs in it (any letter case, as part of
// any entry). The folder stays there.
void AddFolderToPath(const std::string& folder);

}  // namespace mf
