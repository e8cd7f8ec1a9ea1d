// The AMR narrow-band speech encoder, driven directly over the AMR library for builds whose
// codec library has none of its own. 8000 Hz mono, 160 samples a frame, one packet per frame.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace mf {

class TAmrNbEncoder {
 public:
  static constexpr int SampleRate = 8000;
  static constexpr int FrameSamples = 160;
  static constexpr int MaxPacketBytes = 32;

  // The mode whose bit rate is nearest (ties to the lower rate), and that rate.
  static int ModeForBitRate(int64_t bitRate);
  static int BitRateOfMode(int mode);

  // False when the AMR library is not loaded or refuses to start.
  bool Open(int64_t bitRate);
  bool IsOpen() const { return State != nullptr; }
  int64_t BitRate() const { return BitRateOfMode(Mode); }

  // Encodes exactly FrameSamples samples into out (ToC byte first); returns the packet size,
  // or a negative value on failure.
  int EncodeFrame(const int16_t* samples, uint8_t* out, int outSize);

 private:
  struct TStateDeleter {
    void operator()(void* state) const;
  };
  std::unique_ptr<void, TStateDeleter> State;
  int Mode = 7;
};

}  // namespace mf
