// Every decoded picture once, before any output stream sees it: deinterlacing, the host's
// custom hook on a 24-bit picture, and the video hook modules.
#include <algorithm>
#include <cstring>
#include <new>

#include "FFmpeg.h"
#include "HookBitmap.h"
#include "PictureOps.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace mf {

namespace {
constexpr AVPixelFormat HookRgbFormat = AV_PIX_FMT_BGR24;
constexpr int HookScaleFlags = 4;  // bicubic
}  // namespace

bool TCustomFFmpeg::PreprocessVideoFrame(TInputStreamState& ist, AVFrame* picture) {
  ++HookFrameCounter;
  const int w = picture->width, h = picture->height;
  const auto fmt = static_cast<AVPixelFormat>(picture->format);
  const int64_t pts = ist.Pts;

  // The verdict for the modules.
  if (!CustomHookHandler && UsingVideoHooks) {
    if (BeforeHookHandler) {
      try {
        BeforeHookHandler(this, pts, HookAction);
      } catch (const std::exception& e) {
        if (LogHandler) Log(0, std::string("Error occurs OnBeforeHook: ") + e.what());
        HookAction = haStop;
      } catch (...) {
        if (LogHandler) Log(0, "Error occurs OnBeforeHook: unknown error");
        HookAction = haStop;
      }
      if (HookAction == haStop) UsingVideoHooks = false;
    } else if (HookRangeCount > 0) {
      HookAction = haIgnore;
      for (int r = HookRangeCursor; r < HookRangeCount; ++r) {
        const THookTimeRange& range = HookTimeRanges[static_cast<size_t>(r)];
        if (range.Start <= pts && pts <= range.End) {
          HookRangeCursor = r;
          HookAction = haContinue;
          break;
        }
        if (r == HookRangeCount - 1 && range.End < pts) {
          HookAction = haStop;
          UsingVideoHooks = false;
        }
      }
    }
  }

  // A working copy only when something will change the picture: the decoder may still
  // predict later pictures from its buffer, so nothing is ever written into that.
  uint8_t* work[4] = {picture->data[0], picture->data[1], picture->data[2], picture->data[3]};
  int workLinesize[4] = {picture->linesize[0], picture->linesize[1], picture->linesize[2], picture->linesize[3]};
  const bool hooksRun = CustomHookHandler || (UsingVideoHooks && HookAction == haContinue);
  bool copied = false;
  if (Deinterlace || hooksRun) {
    const int size = ff::av_image_get_buffer_size(fmt, w, h, 1);
    uint8_t* copy[4] = {};
    int copyLinesize[4] = {};
    bool allocated = size > 0;
    if (allocated && HookBuffer.size() < static_cast<size_t>(size)) {
      try {
        HookBuffer.resize(static_cast<size_t>(size));
      } catch (const std::bad_alloc&) {
        allocated = false;
      }
    }
    if (!allocated || ff::av_image_fill_arrays(copy, copyLinesize, HookBuffer.data(), fmt, w, h, 1) < 0) {
      if (LogHandler) Log(0, "hook buf malloc error.");
      return false;
    }
    bool deinterlaced = false;
    if (Deinterlace) {
      deinterlaced = DeinterlacePicture(copy, copyLinesize, picture->data, picture->linesize, fmt, w, h) >= 0;
      if (!deinterlaced && LogHandler) Log(0, "deinterlace error.");
    }
    // Without deinterlacing the picture goes on as decoded; hooks still get a copy to paint on.
    if (!deinterlaced && hooksRun)
      ff::av_image_copy(copy, copyLinesize, const_cast<const uint8_t**>(picture->data), picture->linesize, fmt, w, h);
    if (deinterlaced || hooksRun) {
      std::copy_n(copy, 4, work);
      std::copy_n(copyLinesize, 4, workLinesize);
      copied = true;
    }
  }

  if (CustomHookHandler) {
    RunCustomHook(work, workLinesize, fmt, w, h, pts);
  } else if (UsingVideoHooks && HookAction == haContinue) {
    MfHookPicture hookPicture{};
    std::copy_n(work, 4, hookPicture.data);
    std::copy_n(workLinesize, 4, hookPicture.linesize);
    ProcessFrameHooks(FirstHook.get(), &hookPicture, fmt, w, h, pts);
    std::copy_n(hookPicture.data, 4, work);
    std::copy_n(hookPicture.linesize, 4, workLinesize);
  }

  if (!copied) return false;
  for (int p = 0; p < 4; ++p) {
    picture->data[p] = work[p];
    picture->linesize[p] = workLinesize[p];
  }
  return true;
}

void TCustomFFmpeg::RunCustomHook(uint8_t* const work[4], const int workLinesize[4], AVPixelFormat fmt, int w, int h,
                                  int64_t pts) {
  if (!HookBitmap) HookBitmap = std::make_unique<THookBitmap>();
  if (HookBitmap->Width != w || HookBitmap->Height != h) HookBitmap->Resize(w, h);
  bool stop = false;
  uint8_t* rgb[4] = {work[0], work[1], work[2], work[3]};
  int rgbLinesize[4] = {workLinesize[0], workLinesize[1], workLinesize[2], workLinesize[3]};
  if (fmt != HookRgbFormat) {
    const int size = ff::av_image_get_buffer_size(HookRgbFormat, w, h, 1);
    if (size > 0 && RgbBuffer.size() < static_cast<size_t>(size)) RgbBuffer.resize(static_cast<size_t>(size));
    ff::av_image_fill_arrays(rgb, rgbLinesize, RgbBuffer.data(), HookRgbFormat, w, h, 1);
    ToRgbContext.reset(ff::sws_getCachedContext(ToRgbContext.release(), w, h, fmt, w, h, HookRgbFormat, HookScaleFlags,
                                                nullptr, nullptr, nullptr));
    if (ToRgbContext) {
      ff::sws_scale(ToRgbContext.get(), work, workLinesize, 0, h, rgb, rgbLinesize);
    } else {
      if (LogHandler) Log(0, "Cannot initialize the toRGB conversion context");
      stop = true;
    }
  }
  if (!stop) {
    const size_t rowBytes = static_cast<size_t>(std::min(rgbLinesize[0], HookBitmap->Stride));
    for (int r = 0; r < h; ++r) std::memcpy(HookBitmap->ScanLine(r), rgb[0] + static_cast<ptrdiff_t>(r) * rgbLinesize[0], rowBytes);
    bool update = true;
    {
      std::lock_guard<std::mutex> lock(HookBitmap->Lock);
      try {
        CustomHookHandler(this, *HookBitmap, HookFrameCounter, pts, update, stop);
      } catch (const std::exception& e) {
        if (LogHandler) Log(0, std::string("Error occurs OnCustomHook: ") + e.what());
        update = false;
      } catch (...) {
        if (LogHandler) Log(0, "Error occurs OnCustomHook: unknown error");
        update = false;
      }
    }
    if (update) {
      for (int r = 0; r < h; ++r) std::memcpy(rgb[0] + static_cast<ptrdiff_t>(r) * rgbLinesize[0], HookBitmap->ScanLine(r), rowBytes);
      if (fmt != HookRgbFormat) {
        FromRgbContext.reset(ff::sws_getCachedContext(FromRgbContext.release(), w, h, HookRgbFormat, w, h, fmt,
                                                      HookScaleFlags, nullptr, nullptr, nullptr));
        if (FromRgbContext) {
          ff::sws_scale(FromRgbContext.get(), rgb, rgbLinesize, 0, h, work, workLinesize);
        } else {
          if (LogHandler) Log(0, "Cannot initialize the fromRGB conversion context");
          stop = true;
        }
      }
    }
  }
  if (stop) {
    // Disconnected for the rest of the task.
    CustomHookHandler = nullptr;
    HookAction = haStop;
    UsingVideoHooks = false;
  }
}

}  // namespace mf
