// The exceptions the engine raises for errors it detects itself.
#pragma once

#include <stdexcept>
#include <string>

namespace mf {

// Carries a fixed English message; the component turns it into the task's failure text.
class FFMpegException : public std::runtime_error {
 public:
  explicit FFMpegException(const std::string& message) : std::runtime_error(message) {}
};

// A broken precondition of a caller's argument (a codec tag that is not four characters).
// Kept apart from FFMpegException: it reports a caller's mistake, not a media problem.
class TAssertionFailed : public std::logic_error {
 public:
  explicit TAssertionFailed(const std::string& message) : std::logic_error(message) {}
};

}  // namespace mf
