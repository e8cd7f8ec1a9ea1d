// User-facing texts that more than one file of the engine raises.
#pragma once

namespace mf {

// Fixed texts that users and callers match on.
inline constexpr char InvalidTimeMessage[] = "Invalid %s specification for %s: %s";
inline constexpr char IncorrectAspectMessage[] = "Incorrect aspect ratio specification.";

}  // namespace mf
