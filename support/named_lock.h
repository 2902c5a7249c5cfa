#pragma once
// A recursive lock with a name; the owning thread may take it again, and each
// take needs its own release.
#include <memory>
#include <mutex>
#include <string>

namespace MyServis {

struct TNamedLock {
  std::unique_ptr<std::recursive_mutex> Mutex;
  std::string Name;
};

void InitNamedLock(TNamedLock& lock, const std::string& name);
void DoneNamedLock(TNamedLock& lock);
void EnterNamedLock(TNamedLock& lock);
void LeaveNamedLock(TNamedLock& lock);

// Holds the lock for one scope, so that every path releases it.
class TNamedLockGuard {
public:
  explicit TNamedLockGuard(TNamedLock& lock) : lock_(lock) { EnterNamedLock(lock_); }
  ~TNamedLockGuard() { LeaveNamedLock(lock_); }
  TNamedLockGuard(const TNamedLockGuard&) = delete;
  TNamedLockGuard& operator=(const TNamedLockGuard&) = delete;

private:
  TNamedLock& lock_;
};

} // namespace MyServis
