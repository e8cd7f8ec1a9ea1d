#include "AmrNbEncoder.h"

#include <cstdlib>

#include "AmrNbHlpr.h"

namespace mf {

namespace {
constexpr int ModeBitRates[] = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};
constexpr int ModeCount = sizeof ModeBitRates / sizeof ModeBitRates[0];
}  // namespace

void TAmrNbEncoder::TStateDeleter::operator()(void* state) const {
  if (state) ff::Encoder_Interface_exit(state);
}

int TAmrNbEncoder::ModeForBitRate(int64_t bitRate) {
  int best = 0;
  for (int mode = 1; mode < ModeCount; ++mode)
    if (std::llabs(bitRate - ModeBitRates[mode]) < std::llabs(bitRate - ModeBitRates[best])) best = mode;
  return best;
}

int TAmrNbEncoder::BitRateOfMode(int mode) {
  return mode >= 0 && mode < ModeCount ? ModeBitRates[mode] : 0;
}

bool TAmrNbEncoder::Open(int64_t bitRate) {
  if (!LibAmrNbLoaded()) return false;
  Mode = ModeForBitRate(bitRate);
  State.reset(ff::Encoder_Interface_init(0));
  return State != nullptr;
}

int TAmrNbEncoder::EncodeFrame(const int16_t* samples, uint8_t* out, int outSize) {
  if (!State || outSize < MaxPacketBytes) return -1;
  return ff::Encoder_Interface_Encode(State.get(), static_cast<enum Mode>(Mode), samples, out, 0);
}

}  // namespace mf
