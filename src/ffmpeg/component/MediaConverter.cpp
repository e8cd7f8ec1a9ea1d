#include "MediaConverter.h"

#include "CodecLibraries.h"

namespace mf {

bool TMediaConverter::LoadCodecLibraries(const std::string& libraryFolder, bool useVersionedNames) {
  if (BindCodecLibraries(libraryFolder, useVersionedNames)) return true;
  LastError = CodecLibraryError();
  return false;
}

}  // namespace mf
