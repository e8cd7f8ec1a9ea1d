// The library's own words when one of its calls refuses. The library explains a refusal only
// in its log (the call itself returns a bare error code), so the log callback hands every
// error line logged on a thread to the collector living on that thread, if there is one.
#pragma once

#include <string>
#include <string_view>

namespace mf {

// Lives on one thread around the library calls whose refusals should be explained. Collectors
// nest; the innermost takes the lines.
class TLibraryErrorCollector {
 public:
  TLibraryErrorCollector();
  ~TLibraryErrorCollector();
  TLibraryErrorCollector(const TLibraryErrorCollector&) = delete;
  TLibraryErrorCollector& operator=(const TLibraryErrorCollector&) = delete;

  // The error lines collected so far, one sentence after the other; empty when none came.
  std::string Text() const;
  // message, followed by the collected reason in brackets when there is one.
  std::string Explained(const std::string& message) const;

 private:
  friend void NoteLibraryError(std::string_view text);
  TLibraryErrorCollector* Outer;
  std::string Collected;
};

// True when an error line logged on this thread now would be collected.
bool CollectingLibraryErrors();
// Called by the log callback with an error-level text of the library (line feeds included).
void NoteLibraryError(std::string_view text);

}  // namespace mf
