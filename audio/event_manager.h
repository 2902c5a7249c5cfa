#pragma once
// Named events with one integer value, carried from any thread to handlers
// registered by name. Names are hierarchical with "\": an event reaches the
// handlers of its own name, then those of each parent name.
#include "support/named_lock.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace EventMan {

enum THandlerMode : std::uint8_t {
  hmQueued = 0, // always through the registering thread's queue
  hmDirect = 1, // always at once, in the posting thread
  hmAuto = 2,   // at once in the registering thread, else queued to it
};

using TEventHandler = void (*)(std::string_view name, std::int32_t value);

constexpr std::size_t MaxNameLength = 127;
constexpr std::size_t RingSize = 128; // holds 127 events
constexpr std::size_t DelayedSize = 16;
constexpr std::size_t PumpLimit = 100;
constexpr std::size_t MaxDirectPerLevel = 150;
constexpr std::size_t BucketCount = 256;

struct TEventName {
  std::uint8_t Length = 0;
  char Bytes[MaxNameLength] = {};
  std::string_view View() const { return {Bytes, Length}; }
};

struct TQueuedEvent {
  TEventName Name;
  TEventHandler Handler = nullptr;
  std::int32_t Value = 0;
  std::uint32_t Due = 0; // delayed entries only
};

struct TThreadQueue {
  std::uint32_t ThreadId = 0;
  std::array<TQueuedEvent, RingSize> Ring;
  std::array<TQueuedEvent, DelayedSize> Delayed;
  std::uint8_t ReadIndex = 0;
  std::uint8_t WriteIndex = 0;
  std::uint8_t DelayedCount = 0;
};

struct THandlerRecord {
  std::string Name; // upper-cased
  TEventHandler Handler = nullptr;
  int QueueIndex = -1; // -1 for hmDirect
  THandlerMode Mode = hmDirect;
  THandlerRecord* Next = nullptr;
};

// Written and read by every thread that registers, posts or pumps; EventLock
// ("EventMan") guards all of it, and handlers always run with it released.
struct TEventManager {
  TEventManager();
  ~TEventManager();
  TEventManager(const TEventManager&) = delete;
  TEventManager& operator=(const TEventManager&) = delete;

  MyServis::TNamedLock EventLock;
  std::array<THandlerRecord*, BucketCount> Buckets{};
  std::vector<std::unique_ptr<THandlerRecord>> Records;
  std::vector<std::unique_ptr<TThreadQueue>> Queues; // referred to by index
};

extern TEventManager Events;

// Registering the same handler for the same name again keeps the first mode.
void RegisterHandler(TEventManager& events, std::string_view name, TEventHandler handler,
                     THandlerMode mode);
// Returns once every direct handler has run and every queued entry is stored.
void PostEvent(TEventManager& events, std::string_view name, std::int32_t value);
// Queued deliveries wait in the delayed list until the tick count passes due.
void PostDelayedEvent(TEventManager& events, std::string_view name, std::int32_t value,
                      std::uint32_t due);
// Delivers up to 100 of the calling thread's queued events.
void ProcessThreadEvents(TEventManager& events);

// Milliseconds of a steady clock, wrapping at 2^32.
std::uint32_t TickCount();

// The program-wide event manager.
void RegisterHandler(std::string_view name, TEventHandler handler, THandlerMode mode);
void PostEvent(std::string_view name, std::int32_t value);
void ProcessThreadEvents();

} // namespace EventMan
