#include "audio/event_manager.h"

#include "support/log.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace EventMan {

TEventManager Events;

namespace {

const std::string_view OverflowEvent = "Error\\EventMan\\QueueOverflow";

std::uint32_t CurrentThreadId() {
  return static_cast<std::uint32_t>(gettid());
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

TEventName MakeName(std::string_view text) {
  TEventName name;
  name.Length = static_cast<std::uint8_t>(std::min(text.size(), MaxNameLength));
  std::copy_n(text.data(), name.Length, name.Bytes);
  return name;
}

TEventName UpperName(const TEventName& name) {
  TEventName upper = name;
  std::transform(upper.Bytes, upper.Bytes + upper.Length, upper.Bytes, Upper);
  return upper;
}

std::size_t BucketOf(std::string_view upper) {
  std::size_t sum = upper.size();
  for (char c : upper)
    sum += static_cast<unsigned char>(c);
  return sum % BucketCount;
}

void Log(const std::string& message) {
  try {
    MyServis::LogMessage(message);
  } catch (const std::exception&) {
    // An unwritable log must not break event delivery.
  }
}

std::string HandlerAddress(TEventHandler handler) {
  char text[32];
  std::snprintf(text, sizeof text, "%08llX",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handler)));
  return text;
}

std::string FailureText(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown exception";
  }
}

TThreadQueue* FindQueue(TEventManager& events, std::uint32_t threadId, int* index = nullptr) {
  for (std::size_t i = 0; i < events.Queues.size(); ++i)
    if (events.Queues[i]->ThreadId == threadId) {
      if (index) *index = static_cast<int>(i);
      return events.Queues[i].get();
    }
  return nullptr;
}

// Stores one queued delivery; returns false when the queue overflowed.
bool Enqueue(TThreadQueue& queue, const TEventName& name, TEventHandler handler, std::int32_t value,
             std::uint32_t due) {
  if (due == 0) {
    queue.Ring[queue.WriteIndex] = TQueuedEvent{name, handler, value, 0};
    queue.WriteIndex = static_cast<std::uint8_t>((queue.WriteIndex + 1) % RingSize);
    if (queue.WriteIndex != queue.ReadIndex) return true;
    queue.ReadIndex = static_cast<std::uint8_t>((queue.ReadIndex + 1) % RingSize);
    Log("EventMan: thread queue overflow, event: " + std::string(name.View()) +
        ", handler: " + HandlerAddress(handler));
    return false;
  }
  bool overflow = queue.DelayedCount >= DelayedSize - 1;
  if (overflow)
    Log("EventMan: thread delayed queue overflow, event: " + std::string(name.View()) +
        ", handler: " + HandlerAddress(handler));
  if (queue.DelayedCount < DelayedSize)
    queue.Delayed[queue.DelayedCount++] = {name, handler, value, due};
  return !overflow;
}

// Called with EventLock held once; releases it around direct handler calls.
void DispatchEvent(TEventManager& events, const TEventName& name, std::int32_t value,
                   std::uint32_t due, bool reportOverflow) {
  const std::uint32_t self = CurrentThreadId();
  TEventName level = UpperName(name);
  for (;;) {
    std::array<TEventHandler, MaxDirectPerLevel> direct;
    std::size_t directCount = 0;
    std::vector<std::uint32_t> overflowed;
    for (THandlerRecord* record = events.Buckets[BucketOf(level.View())]; record;
         record = record->Next) {
      if (record->Name != level.View()) continue;
      TThreadQueue* queue =
          record->QueueIndex >= 0 ? events.Queues[record->QueueIndex].get() : nullptr;
      if (queue && (record->Mode == hmQueued || queue->ThreadId != self)) {
        if (!Enqueue(*queue, name, record->Handler, value, due))
          overflowed.push_back(queue->ThreadId);
      } else {
        direct[std::min(directCount, MaxDirectPerLevel - 1)] = record->Handler;
        directCount = std::min(directCount + 1, MaxDirectPerLevel);
      }
    }
    // The overflow report never reports its own overflow, which could not end.
    if (reportOverflow)
      for (std::uint32_t owner : overflowed)
        DispatchEvent(events, MakeName(OverflowEvent), static_cast<std::int32_t>(owner), 0, false);
    if (directCount > 0) {
      MyServis::LeaveNamedLock(events.EventLock);
      for (std::size_t i = 0; i < directCount; ++i) {
        try {
          direct[i](name.View(), value);
        } catch (...) {
          Log("Error in event handler: " + std::string(name.View()) + " - " +
              FailureText(std::current_exception()));
        }
      }
      MyServis::EnterNamedLock(events.EventLock);
    }
    std::string_view current = level.View();
    std::size_t cut = current.rfind('\\');
    if (cut == std::string_view::npos) return;
    level.Length = static_cast<std::uint8_t>(cut);
  }
}

void Post(TEventManager& events, std::string_view name, std::int32_t value, std::uint32_t due) {
  if (name.empty()) return;
  MyServis::TNamedLockGuard guard(events.EventLock);
  DispatchEvent(events, MakeName(name), value, due, true);
}

} // namespace

TEventManager::TEventManager() {
  MyServis::InitNamedLock(EventLock, "EventMan");
}
TEventManager::~TEventManager() {
  MyServis::DoneNamedLock(EventLock);
}

void RegisterHandler(TEventManager& events, std::string_view name, TEventHandler handler,
                     THandlerMode mode) {
  MyServis::TNamedLockGuard guard(events.EventLock);
  if (!name.empty() && name.back() == '\\') name.remove_suffix(1);
  int queueIndex = -1;
  if (mode != hmDirect) {
    const std::uint32_t self = CurrentThreadId();
    if (!FindQueue(events, self, &queueIndex)) {
      events.Queues.push_back(std::make_unique<TThreadQueue>());
      events.Queues.back()->ThreadId = self;
      queueIndex = static_cast<int>(events.Queues.size() - 1);
    }
  }
  const TEventName upper = UpperName(MakeName(name));
  THandlerRecord*& head = events.Buckets[BucketOf(upper.View())];
  for (THandlerRecord* record = head; record; record = record->Next)
    if (record->Name == upper.View() && record->Handler == handler) return;
  auto record = std::make_unique<THandlerRecord>();
  record->Name = std::string(upper.View());
  record->Handler = handler;
  record->QueueIndex = queueIndex;
  record->Mode = mode;
  record->Next = head;
  head = record.get();
  events.Records.push_back(std::move(record));
}

void PostEvent(TEventManager& events, std::string_view name, std::int32_t value) {
  Post(events, name, value, 0);
}

void PostDelayedEvent(TEventManager& events, std::string_view name, std::int32_t value,
                      std::uint32_t due) {
  Post(events, name, value, due);
}

void ProcessThreadEvents(TEventManager& events) {
  std::array<TQueuedEvent, PumpLimit> taken;
  std::size_t count = 0;
  {
    MyServis::TNamedLockGuard guard(events.EventLock);
    TThreadQueue* queue = FindQueue(events, CurrentThreadId());
    if (!queue) return;
    while (count < PumpLimit && queue->ReadIndex != queue->WriteIndex) {
      taken[count++] = queue->Ring[queue->ReadIndex];
      queue->ReadIndex = static_cast<std::uint8_t>((queue->ReadIndex + 1) % RingSize);
    }
    if (queue->DelayedCount > 0) {
      const std::uint32_t now = TickCount();
      std::size_t i = 0;
      while (i < queue->DelayedCount && count < PumpLimit) {
        if (queue->Delayed[i].Due < now) {
          taken[count++] = queue->Delayed[i];
          queue->Delayed[i] = queue->Delayed[--queue->DelayedCount];
        } else {
          ++i;
        }
      }
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    try {
      taken[i].Handler(taken[i].Name.View(), taken[i].Value);
    } catch (...) {
      Log("Error in handling event: " + std::string(taken[i].Name.View()) + " - " +
          FailureText(std::current_exception()));
    }
  }
}

std::uint32_t TickCount() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void RegisterHandler(std::string_view name, TEventHandler handler, THandlerMode mode) {
  RegisterHandler(Events, name, handler, mode);
}
void PostEvent(std::string_view name, std::int32_t value) {
  PostEvent(Events, name, value);
}
void ProcessThreadEvents() {
  ProcessThreadEvents(Events);
}

} // namespace EventMan
