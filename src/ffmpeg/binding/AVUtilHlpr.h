// Run-time binding of libavutil.
#pragma once

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/avstring.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/fifo.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libavutil/time.h>
}

#include <string>

#include "AVUtilEntries.h"
#include "LibraryModule.h"

namespace ff {
MF_AVUTIL_ENTRIES(MF_DECLARE_ENTRY)
}  // namespace ff

namespace mf {

TLibraryModule& AVUtilHlpr();
bool LoadLibAVUtil(std::string& errorText, bool versioned);
void UnloadLibAVUtil();
bool LibAVUtilLoaded();

}  // namespace mf
