#include "LibraryErrors.h"

namespace mf {

namespace {
thread_local TLibraryErrorCollector* Current = nullptr;
}

TLibraryErrorCollector::TLibraryErrorCollector() : Outer(Current) { Current = this; }

TLibraryErrorCollector::~TLibraryErrorCollector() { Current = Outer; }

bool CollectingLibraryErrors() { return Current != nullptr; }

void NoteLibraryError(std::string_view text) {
  if (Current == nullptr) return;
  // A message may come in pieces and span lines: the pieces are joined with single blanks.
  std::string& collected = Current->Collected;
  for (const char c : text) {
    const bool blank = static_cast<unsigned char>(c) <= ' ';
    if (blank) {
      if (!collected.empty() && collected.back() != ' ') collected += ' ';
    } else {
      collected += c;
    }
  }
}

std::string TLibraryErrorCollector::Text() const {
  return !Collected.empty() && Collected.back() == ' ' ? Collected.substr(0, Collected.size() - 1) : Collected;
}

std::string TLibraryErrorCollector::Explained(const std::string& message) const {
  const std::string reason = Text();
  return reason.empty() ? message : message + " (" + reason + ")";
}

}  // namespace mf
