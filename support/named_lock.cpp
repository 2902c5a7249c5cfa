#include "support/named_lock.h"

#include "support/log.h"

namespace MyServis {

void InitNamedLock(TNamedLock& lock, const std::string& name) {
  std::lock_guard<std::recursive_mutex> guard(LogState.LogLock);
  lock.Mutex = std::make_unique<std::recursive_mutex>();
  lock.Name = name;
}

void DoneNamedLock(TNamedLock& lock) {
  std::lock_guard<std::recursive_mutex> guard(LogState.LogLock);
  lock.Mutex.reset();
}

void EnterNamedLock(TNamedLock& lock) {
  lock.Mutex->lock();
}

void LeaveNamedLock(TNamedLock& lock) {
  lock.Mutex->unlock();
}

} // namespace MyServis
