// One conversion task of the component, and the component's owned list of them.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "FFmpeg.h"
#include "TaskOptions.h"

namespace mf {

class TFFmpeg : public TCustomFFmpeg {
 public:
  TFFmpeg() {
    InputOptions.Reset();
    OutputOptions.Reset();
  }
  // The thread reports with this object's Index: it must end before any of it goes.
  ~TFFmpeg() override { StopAndWait(); }
  int Index = -1;         // position in the component's list
  unsigned ThreadId = 0;  // the thread it runs on; 0 until started
  TInputOptions InputOptions;    // the records it was given, for the caller's inspection
  TOutputOptions OutputOptions;
};

class TFFmpegList {
 public:
  int Add(std::unique_ptr<TFFmpeg> task);
  TFFmpeg* Items(int index) const;
  int Count() const;
  // Frees task index (waiting for its thread) and renumbers the ones after it.
  void Delete(int index);
  void Clear();
  TFFmpeg* FindByThreadId(unsigned id) const;
  // The index of the task running on thread id, or -1; safe from any thread.
  int IndexByThreadId(unsigned id) const;

 private:
  mutable std::mutex ListLock;
  std::vector<std::unique_ptr<TFFmpeg>> List;
};

}  // namespace mf
