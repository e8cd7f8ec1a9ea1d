// The picture a custom hook paints on: 24 bits a pixel in blue, green, red order, rows
// addressable, locked for the whole handler call.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace mf {

struct THookBitmap {
  int Width = 0;
  int Height = 0;
  int Stride = 0;  // bytes per row
  std::vector<uint8_t> Pixels;
  std::mutex Lock;  // held while the handler runs

  void Resize(int width, int height) {
    Width = width;
    Height = height;
    Stride = width * 3;
    Pixels.assign(static_cast<size_t>(Stride) * height, 0);
  }
  uint8_t* ScanLine(int row) { return Pixels.data() + static_cast<size_t>(row) * Stride; }
  const uint8_t* ScanLine(int row) const { return Pixels.data() + static_cast<size_t>(row) * Stride; }
};

}  // namespace mf
