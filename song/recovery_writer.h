#pragma once
// Writes and removes recovery files on a thread of its own, so that the fsync of
// a large song never holds up the window. The GUI thread hands over requests; the
// writer thread carries them out in order, and a newer request for a file
// replaces one for the same file that has not started yet.
// Shared between threads: the request queue, under mutex_; nothing else.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace songData {

class TRecoveryWriter {
public:
  // failed is called on the writer thread with the message of a failed write.
  explicit TRecoveryWriter(std::function<void(const std::string&)> failed);
  // Carries out what is still queued, then ends the thread.
  ~TRecoveryWriter();
  TRecoveryWriter(const TRecoveryWriter&) = delete;
  TRecoveryWriter& operator=(const TRecoveryWriter&) = delete;

  void Write(const std::string& path, std::string text);
  void Remove(const std::string& path);
  // Returns once every request made so far is carried out.
  void Wait();

private:
  struct TRequest {
    std::string Path;
    std::string Text;
    bool Remove = false;
  };
  void Queue(TRequest request);
  void Run();

  std::function<void(const std::string&)> failed_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<TRequest> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

} // namespace songData
