#include "PictureOps.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace mf {

namespace {

struct TPlaneLayout {
  int Planes = 0;
  int ChromaShiftW = 0;
  int ChromaShiftH = 0;
};

// The planar 8-bit formats these routines know; the shifts are the chroma subsampling.
bool Layout(AVPixelFormat format, TPlaneLayout& layout) {
  switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUVJ420P: layout = {3, 1, 1}; return true;
    case AV_PIX_FMT_YUV422P:
    case AV_PIX_FMT_YUVJ422P: layout = {3, 1, 0}; return true;
    case AV_PIX_FMT_YUV444P:
    case AV_PIX_FMT_YUVJ444P: layout = {3, 0, 0}; return true;
    case AV_PIX_FMT_YUV411P: layout = {3, 2, 0}; return true;
    case AV_PIX_FMT_YUV410P: layout = {3, 2, 2}; return true;
    case AV_PIX_FMT_GRAY8: layout = {1, 0, 0}; return true;
    default: return false;
  }
}

void FillRect(uint8_t* plane, int linesize, int x, int y, int w, int h, uint8_t value) {
  if (w <= 0 || h <= 0) return;
  for (int row = y; row < y + h; ++row) std::memset(plane + static_cast<ptrdiff_t>(row) * linesize + x, value, static_cast<size_t>(w));
}

}  // namespace

bool PaintPadding(uint8_t* const data[4], const int linesize[4], AVPixelFormat format, int width, int height,
                  const TPadding& pad, const int color[3]) {
  TPlaneLayout layout;
  if (!Layout(format, layout)) return false;
  for (int p = 0; p < layout.Planes; ++p) {
    const int sw = p == 0 ? 0 : layout.ChromaShiftW;
    const int sh = p == 0 ? 0 : layout.ChromaShiftH;
    const int w = -((-width) >> sw), h = -((-height) >> sh);
    const int top = std::min(pad.Top >> sh, h), bottom = std::min(pad.Bottom >> sh, h - top);
    const int left = std::min(pad.Left >> sw, w), right = std::min(pad.Right >> sw, w - left);
    const auto value = static_cast<uint8_t>(std::clamp(color[p], 0, 255));
    FillRect(data[p], linesize[p], 0, 0, w, top, value);
    FillRect(data[p], linesize[p], 0, h - bottom, w, bottom, value);
    FillRect(data[p], linesize[p], 0, top, left, h - top - bottom, value);
    FillRect(data[p], linesize[p], w - right, top, right, h - top - bottom, value);
  }
  return true;
}

int DeinterlacePicture(uint8_t* const dst[4], const int dstLinesize[4], const uint8_t* const src[4],
                       const int srcLinesize[4], AVPixelFormat format, int width, int height) {
  TPlaneLayout layout;
  if (!Layout(format, layout) || width <= 0 || height <= 0 || (width & 3) != 0 || (height & 3) != 0) return -1;
  for (int p = 0; p < layout.Planes; ++p) {
    const int w = p == 0 ? width : width >> layout.ChromaShiftW;
    const int h = p == 0 ? height : height >> layout.ChromaShiftH;
    // Beyond an edge the line is reflected about the current one, which keeps it in the
    // same field as the line it stands for.
    auto line = [&](int y, int offset) {
      int row = y + offset;
      if (row < 0 || row >= h) row = y - offset;
      return src[p] + static_cast<ptrdiff_t>(std::clamp(row, 0, h - 1)) * srcLinesize[p];
    };
    for (int y = 0; y < h; ++y) {
      uint8_t* out = dst[p] + static_cast<ptrdiff_t>(y) * dstLinesize[p];
      if ((y & 1) == 0) {
        std::memcpy(out, line(y, 0), static_cast<size_t>(w));
        continue;
      }
      const uint8_t* m2 = line(y, -2);
      const uint8_t* m1 = line(y, -1);
      const uint8_t* c = line(y, 0);
      const uint8_t* p1 = line(y, 1);
      const uint8_t* p2 = line(y, 2);
      for (int x = 0; x < w; ++x) {
        const int sum = -m2[x] + 4 * m1[x] + 2 * c[x] + 4 * p1[x] - p2[x];
        out[x] = static_cast<uint8_t>(std::clamp((sum + 4) >> 3, 0, 255));
      }
    }
  }
  return 0;
}

}  // namespace mf
