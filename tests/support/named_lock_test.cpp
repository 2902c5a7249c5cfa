#include "support/named_lock.h"

#include <gtest/gtest.h>
#include <thread>

using namespace MyServis;

TEST(NamedLock, IsRecursiveAndExcludesOtherThreads) {
  TNamedLock lock;
  InitNamedLock(lock, "EventMan");
  EXPECT_EQ(lock.Name, "EventMan");
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 2000; ++i) {
      TNamedLockGuard outer(lock);
      TNamedLockGuard inner(lock); // the owner may take it again
      ++counter;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 4000);
  DoneNamedLock(lock);
  EXPECT_EQ(lock.Mutex, nullptr);
}
