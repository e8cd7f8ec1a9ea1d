// Routing of the codec library's log: complete lines, tagged with their source, to every live
// component, with the task whose thread logged them.
#pragma once

#include <cstdarg>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace mf {

class TCustomMediaConverter;

// Per logging thread, the part of a line started but not yet ended by a line feed.
struct TLogItem {
  unsigned ThreadId = 0;
  std::string Pending;
  std::unique_ptr<TLogItem> Next;
};

class TLogList {
 public:
  // The entry of id: the embedded one when free or already id's, else one in the chain
  // (created right after the embedded one when missing).
  TLogItem& FindOrAdd(unsigned id);
  void Clear();

 private:
  TLogItem First;
};

// The process-wide list of components and its lock. Lock order: this lock first, then a
// component's own Lock. The pending lines have a lock of their own, taken alone and never
// held while calling out, so clearing them (from inside an end report, under a component's
// Lock) cannot close a cycle with a delivery in progress.
struct TLiveComponents {
  std::recursive_mutex Lock;
  std::vector<TCustomMediaConverter*> Items;
  std::mutex PendingLock;
  TLogList PendingLines;
};
TLiveComponents& LiveComponents();

// Installed as the library's log callback.
void LogCallback(void* context, int level, const char* format, va_list arguments);

// Delivers text as the callback would, from the calling thread (library level numbering).
void RouteLogText(const void* context, int level, const std::string& text);

// Clears every pending line, never while a callback runs on another thread.
void ClearPendingLines();

}  // namespace mf
