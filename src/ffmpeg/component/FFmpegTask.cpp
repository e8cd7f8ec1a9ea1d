#include "FFmpegTask.h"

namespace mf {

// The list changes under its own lock, which the log routing takes from any thread to find
// a task by thread; it is never held while calling out, and tasks are freed outside it, since
// freeing waits for a thread that may be logging.

int TFFmpegList::Add(std::unique_ptr<TFFmpeg> task) {
  std::lock_guard<std::mutex> lock(ListLock);
  task->Index = static_cast<int>(List.size());
  List.push_back(std::move(task));
  return List.back()->Index;
}

TFFmpeg* TFFmpegList::Items(int index) const {
  std::lock_guard<std::mutex> lock(ListLock);
  return index >= 0 && index < static_cast<int>(List.size()) ? List[static_cast<size_t>(index)].get() : nullptr;
}

int TFFmpegList::Count() const {
  std::lock_guard<std::mutex> lock(ListLock);
  return static_cast<int>(List.size());
}

void TFFmpegList::Delete(int index) {
  // Out of the list first, then freed: a task's end report never finds a half-freed entry.
  std::unique_ptr<TFFmpeg> task;
  {
    std::lock_guard<std::mutex> lock(ListLock);
    if (index < 0 || index >= static_cast<int>(List.size())) return;
    task = std::move(List[static_cast<size_t>(index)]);
    List.erase(List.begin() + index);
    for (size_t i = static_cast<size_t>(index); i < List.size(); ++i) List[i]->Index = static_cast<int>(i);
  }
  task.reset();
}

void TFFmpegList::Clear() {
  std::vector<std::unique_ptr<TFFmpeg>> tasks;
  {
    std::lock_guard<std::mutex> lock(ListLock);
    tasks = std::move(List);
    List.clear();
  }
  tasks.clear();
}

TFFmpeg* TFFmpegList::FindByThreadId(unsigned id) const {
  std::lock_guard<std::mutex> lock(ListLock);
  for (const auto& task : List)
    if (task->ThreadId == id) return task.get();
  return nullptr;
}

int TFFmpegList::IndexByThreadId(unsigned id) const {
  std::lock_guard<std::mutex> lock(ListLock);
  for (const auto& task : List)
    if (task->ThreadId == id) return task->Index;
  return -1;
}

}  // namespace mf
