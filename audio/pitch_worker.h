#pragma once
// Tracks the sung pitch of a recording on a thread of its own, so the window
// never waits for it. Progress goes out as "MAIN\Pitch" events with 0..100;
// 100 comes once the contour can be taken.
#include "audio/event_manager.h"
#include "audio/pitch_tracker.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace pitch {

constexpr const char* PitchEvent = "MAIN\\Pitch";

// Started, stopped and read by the GUI thread; the worker thread writes the
// contour once, under ResultLock, and reads only the recording it holds and
// the stop flag.
struct TPitchWorker {
  TPitchWorker() = default;
  ~TPitchWorker(); // stops the thread
  TPitchWorker(const TPitchWorker&) = delete;
  TPitchWorker& operator=(const TPitchWorker&) = delete;

  std::thread Thread;
  std::atomic<bool> StopRequested{false};
  std::mutex ResultLock;
  std::shared_ptr<const TPitchContour> Result;
};

// Tracks the recording, which the thread holds while it runs; a tracking
// already running is stopped first and its contour dropped. Null starts nothing.
void StartPitchWorker(TPitchWorker& worker, std::shared_ptr<const songData::TPcmMusic> recording,
                      EventMan::TEventManager& events);
// Returns once the thread has left; the contour taken so far stays.
void StopPitchWorker(TPitchWorker& worker);
// Stops the thread and drops its contour, so that a late progress event finds none.
void ResetPitchWorker(TPitchWorker& worker);
// Returns once the thread has finished tracking.
void WaitForPitchWorker(TPitchWorker& worker);
// The finished contour, or null while tracking runs or when none was started.
std::shared_ptr<const TPitchContour> PitchContour(TPitchWorker& worker);

} // namespace pitch
