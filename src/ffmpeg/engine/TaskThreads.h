// The threads a task runs on: its worker, and the short-lived thread that reports the end of
// a task that never ran.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <future>
#include <thread>

namespace mf {

enum TConvertPriority { tpIdle, tpLowest, tpLower, tpNormal };

// The calling thread's identifier as the system numbers it (what log routing compares).
unsigned CurrentThreadId();

// Gives the calling thread a priority: idle scheduling, or a nice value of 19, 10 or none.
void ApplyThreadPriority(TConvertPriority priority);

class TCustomFFmpeg;

// Created suspended: the thread exists (so its identifier is known) but runs its body only
// after Resume. The body runs the engine's Run. Joined by its owner, the engine.
class TFFmpegThread {
 public:
  TFFmpegThread(TCustomFFmpeg* engine, TConvertPriority priority);
  ~TFFmpegThread();
  TFFmpegThread(const TFFmpegThread&) = delete;
  TFFmpegThread& operator=(const TFFmpegThread&) = delete;

  // Starts the body on first call; later calls resume a paused engine.
  void Resume();
  unsigned ThreadId() const { return Id; }
  TConvertPriority Priority;

  // Waits for the thread to end, or lets it go when called from that very thread (a
  // handler on it may drop its own task; its last steps touch nothing of the task).
  void JoinOrRelease();

 private:
  TCustomFFmpeg* Engine;
  std::thread Thread;
  unsigned Id = 0;
  std::mutex Lock;
  std::condition_variable Changed;
  bool Started = false;
  bool Cancelled = false;
};

// Reports the termination of an engine from a thread of its own at idle priority.
class TDoTerminateThread {
 public:
  explicit TDoTerminateThread(TCustomFFmpeg* engine);
  ~TDoTerminateThread() { JoinOrRelease(); }
  void JoinOrRelease();

 private:
  std::thread Thread;
};

}  // namespace mf
