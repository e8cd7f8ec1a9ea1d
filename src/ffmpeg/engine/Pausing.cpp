// A pause holds the task's thread at the top of the next loop iteration (or before the next
// repeated picture), where it holds no lock: suspending a thread anywhere could leave the
// codec lock or the allocator's taken while the UI waits for them.
#include "FFmpeg.h"

namespace mf {

void TCustomFFmpeg::Pause() {
  if (WorkerThread) PauseRequested = true;
}

void TCustomFFmpeg::Resume() {
  if (!PauseRequested) return;
  {
    std::lock_guard<std::mutex> lock(PauseLock);
    PauseRequested = false;
  }
  PauseChanged.notify_all();
}

void TCustomFFmpeg::WaitWhilePaused() {
  if (!PauseRequested.load()) return;
  std::unique_lock<std::mutex> lock(PauseLock);
  // A stop request ends the pause, so a paused task can see it.
  PauseChanged.wait(lock, [this] { return !PauseRequested.load() || StopRequested.load(); });
}

}  // namespace mf
