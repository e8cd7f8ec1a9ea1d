#include "TaskThreads.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "FFmpeg.h"

namespace mf {

unsigned CurrentThreadId() { return static_cast<unsigned>(syscall(SYS_gettid)); }

void ApplyThreadPriority(TConvertPriority priority) {
  switch (priority) {
    case tpIdle: {
      sched_param param{};
      pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
      break;
    }
    case tpLowest: setpriority(PRIO_PROCESS, CurrentThreadId(), 19); break;
    case tpLower: setpriority(PRIO_PROCESS, CurrentThreadId(), 10); break;
    case tpNormal: break;
  }
}

TFFmpegThread::TFFmpegThread(TCustomFFmpeg* engine, TConvertPriority priority) : Priority(priority), Engine(engine) {
  std::promise<unsigned> id;
  auto idReady = id.get_future();
  Thread = std::thread([this, &id] {
    id.set_value(CurrentThreadId());
    {
      std::unique_lock<std::mutex> lock(Lock);
      Changed.wait(lock, [this] { return Started || Cancelled; });
      if (Cancelled) return;
    }
    ApplyThreadPriority(Priority);
    TCustomFFmpeg* engine = Engine;
    // Nothing of this object is touched after Run: its end report may free the task.
    engine->Run();
  });
  Id = idReady.get();
}

TFFmpegThread::~TFFmpegThread() {
  {
    std::lock_guard<std::mutex> lock(Lock);
    if (!Started) Cancelled = true;
  }
  Changed.notify_all();
  JoinOrRelease();
}

void TFFmpegThread::Resume() {
  bool first = false;
  {
    std::lock_guard<std::mutex> lock(Lock);
    if (!Started && !Cancelled) Started = first = true;
  }
  if (first)
    Changed.notify_all();
  else
    Engine->Resume();
}

// Waits for thread to end, or lets it go when called from that very thread (a handler on it
// may free its own task; its last steps touch nothing of the task).
static void JoinOrReleaseThread(std::thread& thread) {
  if (!thread.joinable()) return;
  if (thread.get_id() == std::this_thread::get_id())
    thread.detach();
  else
    thread.join();
}

void TFFmpegThread::JoinOrRelease() { JoinOrReleaseThread(Thread); }

TDoTerminateThread::TDoTerminateThread(TCustomFFmpeg* engine) {
  Thread = std::thread([engine] {
    ApplyThreadPriority(tpIdle);
    engine->DoTerminate();
  });
}

void TDoTerminateThread::JoinOrRelease() { JoinOrReleaseThread(Thread); }

}  // namespace mf
