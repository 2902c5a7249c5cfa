#include "song/recovery_writer.h"

#include "song/recovery_file.h"

#include <algorithm>
#include <filesystem>

namespace songData {

TRecoveryWriter::TRecoveryWriter(std::function<void(const std::string&)> failed)
    : failed_(std::move(failed)), thread_([this] { Run(); }) {}

TRecoveryWriter::~TRecoveryWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void TRecoveryWriter::Write(const std::string& path, std::string text) {
  Queue({path, std::move(text), false});
}

void TRecoveryWriter::Remove(const std::string& path) {
  Queue({path, {}, true});
}

void TRecoveryWriter::Queue(TRequest request) {
  {
    std::lock_guard lock(mutex_);
    auto same = std::find_if(queue_.begin(), queue_.end(),
                             [&](const TRequest& queued) { return queued.Path == request.Path; });
    if (same != queue_.end())
      *same = std::move(request);
    else
      queue_.push_back(std::move(request));
  }
  changed_.notify_all();
}

void TRecoveryWriter::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void TRecoveryWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
    if (queue_.empty()) return;
    TRequest request = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    try {
      if (request.Remove) {
        std::error_code ignored;
        std::filesystem::remove(request.Path, ignored);
      } else {
        WriteRecoveryFile(request.Path, request.Text);
      }
    } catch (const std::exception& e) {
      if (failed_) failed_(e.what());
    }
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

} // namespace songData
