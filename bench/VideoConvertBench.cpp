// One conversion by the engine, as a task runs it, for timing from outside:
//   video_convert_bench <input> <output> [option value]...
// The options are the engine's option names, applied between opening the input and creating
// the output. Prints nothing on success; on failure the reason, with exit status 1.
#include <cstdio>
#include <exception>

#include "CodecLibraries.h"
#include "FFmpeg.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) {
    std::fprintf(stderr, "usage: %s <input> <output> [option value]...\n", argv[0]);
    return 2;
  }
  if (!mf::BindCodecLibraries(MF_LIB_DIR, true)) {
    std::fprintf(stderr, "%s\n", mf::CodecLibraryError().c_str());
    return 1;
  }
  mf::TCustomFFmpeg engine;
  engine.ResetOptions();
  if (!engine.OpenInputFile(argv[1])) {
    std::fprintf(stderr, "%s\n", engine.ErrorMessage.c_str());
    return 1;
  }
  try {
    for (int i = 3; i + 1 < argc; i += 2) engine.SetOption(argv[i], argv[i + 1]);
    if (!engine.OpenOutputFile(argv[2])) {
      std::fprintf(stderr, "%s\n", engine.ErrorMessage.c_str());
      return 1;
    }
    engine.Transcode();
  } catch (const std::exception& e) {
    engine.CloseOpenCodecs();
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  engine.ResetOptions();  // closes the output
  return 0;
}
