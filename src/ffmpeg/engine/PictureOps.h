// The engine's own small picture routines for planar YUV pictures: painting the padding
// border and deinterlacing.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace mf {

struct TPadding {
  int Top = 0, Bottom = 0, Left = 0, Right = 0;
};

// Paints the border of a width x height picture (the full, padded size) in the colour
// {Y, Cb, Cr}; the inner area is left as it is. Chroma planes are painted at their own
// subsampled size. Returns false for a format that is not planar YUV or gray.
bool PaintPadding(uint8_t* const data[4], const int linesize[4], AVPixelFormat format, int width, int height,
                  const TPadding& pad, const int color[3]);

// One picture in, one out: keeps the lines of the top field and rebuilds every other line
// with a five-tap vertical low-pass (-1 4 2 4 -1)/8 over its neighbours. Returns -1 for
// formats or sizes it cannot handle (sizes must be multiples of 4), 0 otherwise.
int DeinterlacePicture(uint8_t* const dst[4], const int dstLinesize[4], const uint8_t* const src[4],
                       const int srcLinesize[4], AVPixelFormat format, int width, int height);

}  // namespace mf
