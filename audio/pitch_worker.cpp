#include "audio/pitch_worker.h"

#include <exception>

namespace pitch {

void StartPitchWorker(TPitchWorker& worker, std::shared_ptr<const songData::TPcmMusic> recording,
                      EventMan::TEventManager& events) {
  ResetPitchWorker(worker);
  if (!recording) return;
  worker.StopRequested = false;
  worker.Thread = std::thread([&worker, recording = std::move(recording), &events] {
    int posted = -1;
    const auto post = [&](int percent) {
      if (percent == posted) return;
      posted = percent;
      EventMan::PostEvent(events, PitchEvent, percent);
    };
    try {
      auto contour = TrackPitch(*recording, [&](float done) {
        post(static_cast<int>(done * 99.0f));
        return !worker.StopRequested;
      });
      if (!contour) return;
      {
        std::lock_guard<std::mutex> guard(worker.ResultLock);
        worker.Result = std::make_shared<const TPitchContour>(std::move(*contour));
      }
      post(100);
    } catch (const std::exception&) {
      // Out of memory for a contour: the view goes on without one.
    }
  });
}

void StopPitchWorker(TPitchWorker& worker) {
  worker.StopRequested = true;
  if (worker.Thread.joinable()) worker.Thread.join();
}

void ResetPitchWorker(TPitchWorker& worker) {
  StopPitchWorker(worker);
  std::lock_guard<std::mutex> guard(worker.ResultLock);
  worker.Result.reset();
}

void WaitForPitchWorker(TPitchWorker& worker) {
  if (worker.Thread.joinable()) worker.Thread.join();
}

std::shared_ptr<const TPitchContour> PitchContour(TPitchWorker& worker) {
  std::lock_guard<std::mutex> guard(worker.ResultLock);
  return worker.Result;
}

TPitchWorker::~TPitchWorker() {
  StopPitchWorker(*this);
}

} // namespace pitch
