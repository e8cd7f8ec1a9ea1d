#include "LogRouting.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "CodecLibraries.h"
#include "LibraryErrors.h"
#include "MediaConverter.h"
#include "TaskThreads.h"

namespace mf {

namespace {
constexpr size_t LogBufferSize = 2048;
}

TLogItem& TLogList::FindOrAdd(unsigned id) {
  if (First.ThreadId == 0 || First.ThreadId == id) {
    First.ThreadId = id;
    return First;
  }
  for (TLogItem* item = First.Next.get(); item; item = item->Next.get())
    if (item->ThreadId == id) return *item;
  auto item = std::make_unique<TLogItem>();
  item->ThreadId = id;
  item->Next = std::move(First.Next);
  First.Next = std::move(item);
  return *First.Next;
}

void TLogList::Clear() {
  First.ThreadId = 0;
  First.Pending.clear();
  // Unlinked one by one, so a long chain is not freed by deep recursion.
  while (First.Next) First.Next = std::move(First.Next->Next);
}

TLiveComponents& LiveComponents() {
  static TLiveComponents live;
  return live;
}

void ClearPendingLines() {
  TLiveComponents& live = LiveComponents();
  std::lock_guard<std::mutex> lock(live.PendingLock);
  live.PendingLines.Clear();
}

void RouteLogText(const void* context, int level, const std::string& text) {
  TLiveComponents& live = LiveComponents();
  const unsigned threadId = CurrentThreadId();
  // Complete lines out of this thread's pending text, the rest kept for later.
  std::vector<std::string> lines;
  {
    std::lock_guard<std::mutex> lock(live.PendingLock);
    TLogItem& entry = live.PendingLines.FindOrAdd(threadId);
    std::string buffer;
    const AVClass* descriptor = context ? *static_cast<const AVClass* const*>(context) : nullptr;
    if (descriptor && entry.Pending.empty()) {
      char tag[256];
      std::snprintf(tag, sizeof tag, "[%s @ %08" PRIXPTR "]", descriptor->item_name(const_cast<void*>(context)),
                    reinterpret_cast<uintptr_t>(descriptor));
      buffer = tag;
    } else {
      buffer = entry.Pending;
    }
    buffer += text;
    // Lines longer than the one fixed buffer would hold are cut; their line feed still ends them.
    size_t start = 0;
    for (size_t end; (end = buffer.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(buffer.substr(start, std::min(end - start, LogBufferSize - 1)));
    entry.Pending = buffer.substr(start, LogBufferSize - 1);
  }
  if (lines.empty()) return;
  std::lock_guard<std::recursive_mutex> lock(live.Lock);
  for (const std::string& line : lines)
    for (TCustomMediaConverter* component : live.Items) component->DoLogAt(component->Tasks.IndexByThreadId(threadId), level, line);
}

void LogCallback(void* context, int avLevel, const char* format, va_list arguments) {
  const int level = LibraryLevelFromAv(avLevel);
  // A refusal's reason is collected even when the log does not show errors.
  const bool collect = level <= 0 && CollectingLibraryErrors();
  const bool route = LibraryLogLevel >= level;
  if (!route && !collect) return;
  // Formatted whole (the buffer grows to fit), then cut line by line on delivery.
  char fixed[LogBufferSize];
  va_list copy;
  va_copy(copy, arguments);
  const int needed = std::vsnprintf(fixed, sizeof fixed, format, copy);
  va_end(copy);
  if (needed < 0) return;
  std::string message;
  if (static_cast<size_t>(needed) >= sizeof fixed) {
    message.resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(message.data(), message.size(), format, arguments);
    message.resize(static_cast<size_t>(needed));
  }
  const std::string_view text = message.empty() ? std::string_view(fixed) : std::string_view(message);
  if (collect) NoteLibraryError(text);
  if (route) RouteLogText(context, level, std::string(text));
}

}  // namespace mf
