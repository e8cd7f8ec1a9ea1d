// TMediaConverter: the object through which the application drives conversions. For now it
// only loads the codec libraries for the whole process; the task list, the events and the
// probe join it later.
#pragma once

#include <string>

namespace mf {

class TMediaConverter {
 public:
  // Binds the codec libraries from LibraryFolder (once per process). False with the binding's
  // reason in LastError.
  bool LoadCodecLibraries(const std::string& libraryFolder, bool useVersionedNames);

  // Text of the last failure.
  std::string LastError;
};

}  // namespace mf
