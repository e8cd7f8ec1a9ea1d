#include "MediaConverter.h"

#include <algorithm>

#include "CodecLibraries.h"
#include "LogRouting.h"
#include "TaskOptionApply.h"

namespace mf {

TCustomMediaConverter::TCustomMediaConverter() {
  TLiveComponents& live = LiveComponents();
  std::lock_guard<std::recursive_mutex> lock(live.Lock);
  live.Items.push_back(this);
}

TCustomMediaConverter::~TCustomMediaConverter() {
  ShutDown();
  // Out of the routing: no log line reaches a component that is going.
  TLiveComponents& live = LiveComponents();
  std::lock_guard<std::recursive_mutex> lock(live.Lock);
  live.Items.erase(std::remove(live.Items.begin(), live.Items.end(), this), live.Items.end());
}

void TCustomMediaConverter::ShutDown() {
  {
    std::lock_guard<std::recursive_mutex> lock(Lock);
    OnBeforeHook = nullptr;
    OnCustomHook = nullptr;
    OnLog = nullptr;
    OnProgress = nullptr;
    OnTerminate = nullptr;
    PendingStarts = 0;
    for (int i = 0; i < Tasks.Count(); ++i) Tasks.Items(i)->Halt();
  }
  // Every task's thread ends (and reports into this still whole component) before anything
  // goes; the wait happens outside the lock the reports need.
  Tasks.Clear();
}

bool TCustomMediaConverter::LoadCodecLibraries(const std::string& libraryFolder, bool useVersionedNames) {
  if (!BindCodecLibraries(libraryFolder, useVersionedNames)) {
    LastError = CodecLibraryError();
    return false;
  }
  ff::av_log_set_callback(LogCallback);
  SetLogLevel(FLogLevel);
  return true;
}

void TCustomMediaConverter::SetLogLevel(TLogLevel level) {
  FLogLevel = level;
  if (!CodecLibrariesBound()) return;
  ff::av_log_set_level(AvLevelFromLibrary(static_cast<int>(level) - 1));
  LibraryLogLevel = LibraryLevelFromAv(ff::av_log_get_level());
}

int TCustomMediaConverter::RegisterTask(const std::string& fileName, TInputOptions* options) {
  if (!CodecLibrariesBound()) {
    LastError = "The codec libraries are not loaded";
    return -1;
  }
  try {
    auto task = std::make_unique<TFFmpeg>();
    task->ResetOptions();
    task->SetVerbosity(static_cast<int>(FLogLevel) - 1);
    if (options) {
      if (options->FileName.empty()) options->FileName = fileName;
      task->InputOptions = *options;
      ApplyInputOptions(*task, task->InputOptions);
    } else {
      task->InputOptions.Reset();
    }
    if (!task->OpenInputFile(fileName)) {
      LastError = task->ErrorMessage;
      return -1;
    }
    task->LogHandler = [this](TCustomFFmpeg* sender, int level, const std::string& text) { DoLog(sender, level, text); };
    task->ProgressHandler = [this](TCustomFFmpeg* sender, int frameNumber, int fps, int currentDuration, float quality,
                                   float bitRate, int64_t currentSize, int totalOutputDuration) {
      DoProgress(sender, frameNumber, fps, currentDuration, quality, bitRate, currentSize, totalOutputDuration);
    };
    task->TerminateHandler = [this](TCustomFFmpeg* sender) { DoTerminate(sender); };
    return Tasks.Add(std::move(task));
  } catch (const std::exception& e) {
    LastError = e.what();
    return -1;
  }
}

bool TCustomMediaConverter::AssignTaskOutput(int index, const std::string& fileName, TOutputOptions* options) {
  TFFmpeg* task = Tasks.Items(index);
  if (!task) {
    LastError = "Invalid task index";
    return false;
  }
  try {
    if (options) {
      if (options->FileName.empty()) options->FileName = fileName;
      task->OutputOptions = *options;
      ApplyOutputOptions(
          *task, task->OutputOptions,
          [this](TCustomFFmpeg* sender, THookBitmap& bitmap, int frameNumber, int64_t pts, bool& update, bool& stop) {
            DoCustomHook(sender, bitmap, frameNumber, pts, update, stop);
          },
          [this](TCustomFFmpeg* sender, int64_t pts, THookAction& action) { DoBeforeHook(sender, pts, action); });
    } else {
      task->OutputOptions.Reset();
    }
    if (!task->OpenOutputFile(fileName)) {
      LastError = task->ErrorMessage;
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    LastError = e.what();
    return false;
  }
}

void TCustomMediaConverter::RunTasks(int n) {
  ClearPendingLines();
  NextTaskIndex = 0;
  TerminatedCount = 0;
  ParallelCount = n;
  PendingStarts = Tasks.Count();
  for (int left = n; PendingStarts > 0;) {
    StartNextTask();
    if (--left <= 0) break;
  }
}

void TCustomMediaConverter::StartNextTask() {
  if (PendingStarts <= 0) return;
  --PendingStarts;
  const int index = NextTaskIndex++;
  if (ParallelCount > 0) {
    StartTask(index);
  } else if (RunOnMainThreadLater) {
    RunOnMainThreadLater(100, [this, index] { StartTask(index); });
  } else {
    // No host loop to come back through: start at once on this thread.
    StartTask(index);
  }
}

void TCustomMediaConverter::StartTask(int index) {
  TFFmpeg* task = Tasks.Items(index);
  if (!task) return;
  task->ReportInterval = static_cast<int64_t>(FProgressInterval) * 1000;
  task->SetVerbosity(static_cast<int>(FLogLevel) - 1);
  if (ParallelCount <= 0) {
    task->ThreadId = CurrentThreadId();
    task->Start(false, ThreadPriority);
    return;
  }
  TFFmpegThread* thread = task->Start(true, ThreadPriority);
  if (thread) {
    task->ThreadId = thread->ThreadId();
    thread->Resume();
  } else {
    task->ThreadId = 0;
  }
}

void TCustomMediaConverter::DoBeforeHook(TCustomFFmpeg* sender, int64_t pts, THookAction& action) {
  if (OnBeforeHook) OnBeforeHook(TaskOf(sender)->Index, pts, action);
}

void TCustomMediaConverter::DoCustomHook(TCustomFFmpeg* sender, THookBitmap& bitmap, int frameNumber, int64_t pts,
                                         bool& update, bool& stopHook) {
  if (OnCustomHook) OnCustomHook(TaskOf(sender)->Index, bitmap, frameNumber, pts, update, stopHook);
}

void TCustomMediaConverter::DoLog(TCustomFFmpeg* sender, int level, const std::string& text) {
  DoLogAt(sender ? TaskOf(sender)->Index : -1, level, text);
}

void TCustomMediaConverter::DoLogAt(int index, int level, const std::string& text) {
  std::lock_guard<std::recursive_mutex> lock(Lock);
  if (!OnLog) return;
  OnLog(index, static_cast<TLogLevel>(std::clamp(level + 1, 0, 4)), text);
}

void TCustomMediaConverter::DoProgress(TCustomFFmpeg* sender, int frameNumber, int fps, int currentDuration, float quality,
                                       float bitRate, int64_t currentSize, int totalOutputDuration) {
  std::lock_guard<std::recursive_mutex> lock(Lock);
  if (OnProgress)
    OnProgress(TaskOf(sender)->Index, frameNumber, fps, currentDuration, quality, bitRate, currentSize, totalOutputDuration);
}

void TCustomMediaConverter::DoTerminate(TCustomFFmpeg* sender) {
  std::lock_guard<std::recursive_mutex> lock(Lock);
  if (OnTerminate) OnTerminate(TaskOf(sender)->Index, sender->FinishedNormally, sender->ExceptionRaised, sender->ExceptionMessage);
  ++TerminatedCount;
  if (PendingStarts > 0) {
    StartNextTask();
  } else if (Tasks.Count() <= TerminatedCount) {
    // The all-ended notice; its handler may drop every task, this one included.
    if (OnTerminate) OnTerminate(-1, true, false, "");
    ClearPendingLines();
  }
}

void TCustomMediaConverter::DropTask(int index) {
  if (!Tasks.Items(index)) return;
  Tasks.Delete(index);
}

void TCustomMediaConverter::DropAllTasks() {
  Tasks.Clear();
  LastError.clear();
  ParallelCount = 0;
}

void TCustomMediaConverter::HaltAllTasks() {
  std::lock_guard<std::recursive_mutex> lock(Lock);
  PendingStarts = 0;
  for (int i = 0; i < Tasks.Count(); ++i) Tasks.Items(i)->Halt();
}

void TCustomMediaConverter::SuspendAllTasks() {
  std::lock_guard<std::recursive_mutex> lock(Lock);
  for (int i = 0; i < Tasks.Count(); ++i) Tasks.Items(i)->Pause();
}

void TCustomMediaConverter::ResumeAllTasks() {
  std::lock_guard<std::recursive_mutex> lock(Lock);
  for (int i = 0; i < Tasks.Count(); ++i) Tasks.Items(i)->Resume();
}

}  // namespace mf
