// The object through which the application drives conversions: the task list, the threads
// the tasks run on, the five events, the process-wide log routing, and the media probe.
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "AVProbe.h"
#include "FFmpegTask.h"

namespace mf {

enum TLogLevel { llQuiet, llError, llInfo, llDebug, llAll };

using TBeforeHookEvent = std::function<void(int index, int64_t pts, THookAction& action)>;
using TCustomHookEvent =
    std::function<void(int index, THookBitmap& bitmap, int frameNumber, int64_t pts, bool& update, bool& stopHook)>;
using TLogEvent = std::function<void(int index, TLogLevel level, const std::string& message)>;
using TProgressEvent = std::function<void(int index, int frameNumber, int fps, int currentDuration, float quality,
                                          float bitRate, int64_t currentSize, int totalOutputDuration)>;
using TTerminateEvent = std::function<void(int index, bool finished, bool exception, const std::string& message)>;

class TCustomMediaConverter {
 public:
  TCustomMediaConverter();
  // Halts every task and waits for their threads before anything goes.
  virtual ~TCustomMediaConverter();
  // Detaches the events, halts every task and waits for their threads. A class derived from
  // this one calls it first in its own destructor: the tasks' threads call the virtual
  // dispatch operations, which must not meet a half-destroyed object.
  void ShutDown();
  TCustomMediaConverter(const TCustomMediaConverter&) = delete;
  TCustomMediaConverter& operator=(const TCustomMediaConverter&) = delete;

  bool LoadCodecLibraries(const std::string& libraryFolder, bool useVersionedNames);
  // The task's index, or -1 with LastError set. options may be null.
  int RegisterTask(const std::string& fileName, TInputOptions* options);
  bool AssignTaskOutput(int index, const std::string& fileName, TOutputOptions* options);
  // n > 0: n tasks at a time on worker threads; n <= 0: one after another on the main thread,
  // each started 100 ms after the previous one ended, through RunOnMainThreadLater.
  void RunTasks(int n);
  void DropTask(int index);
  void DropAllTasks();
  void HaltAllTasks();
  void SuspendAllTasks();
  void ResumeAllTasks();

  TLogLevel LogLevel() const { return FLogLevel; }
  void SetLogLevel(TLogLevel level);
  int ProgressInterval() const { return FProgressInterval; }
  void SetProgressInterval(int ms) { FProgressInterval = ms <= 100 ? 100 : ms; }
  TConvertPriority ThreadPriority = tpNormal;
  static constexpr const char* Version = "2.0b";
  std::string About;

  TBeforeHookEvent OnBeforeHook;
  TCustomHookEvent OnCustomHook;
  TLogEvent OnLog;
  TProgressEvent OnProgress;
  TTerminateEvent OnTerminate;

  // How the host runs work on its main thread after a delay (Qt: QTimer::singleShot).
  std::function<void(int delayMs, std::function<void()> work)> RunOnMainThreadLater;

  std::string LastError;
  TFFmpegList Tasks;
  TAVProbe Probe;
  // Held while OnLog, OnProgress and OnTerminate run and during halt, suspend and resume.
  std::recursive_mutex Lock;

  // Dispatch of the engines' callbacks (level in the library's numbering).
  virtual void DoBeforeHook(TCustomFFmpeg* sender, int64_t pts, THookAction& action);
  virtual void DoCustomHook(TCustomFFmpeg* sender, THookBitmap& bitmap, int frameNumber, int64_t pts, bool& update,
                            bool& stopHook);
  virtual void DoLog(TCustomFFmpeg* sender, int level, const std::string& text);
  // The same for a task known by its index (-1: none), as the log routing finds it.
  void DoLogAt(int index, int level, const std::string& text);
  virtual void DoProgress(TCustomFFmpeg* sender, int frameNumber, int fps, int currentDuration, float quality,
                          float bitRate, int64_t currentSize, int totalOutputDuration);
  virtual void DoTerminate(TCustomFFmpeg* sender);

  int ParallelCount = 0;
  int NextTaskIndex = -1;
  int PendingStarts = 0;
  int TerminatedCount = 0;

 private:
  void StartNextTask();
  void StartTask(int index);
  TFFmpeg* TaskOf(TCustomFFmpeg* sender) const { return static_cast<TFFmpeg*>(sender); }

  TLogLevel FLogLevel = llInfo;
  int FProgressInterval = 500;
};

class TMediaConverter : public TCustomMediaConverter {
 public:
  ~TMediaConverter() override { ShutDown(); }
};

}  // namespace mf
