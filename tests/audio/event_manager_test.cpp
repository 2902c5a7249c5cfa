#include "audio/event_manager.h"
#include "audio_fixtures.h"
#include "support/file_io.h"
#include "support/log.h"

#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

using namespace EventMan;

struct TCall {
  std::string Handler;
  std::string Name;
  std::int32_t Value;
  std::thread::id Thread;
  bool operator==(const TCall&) const = default;
};

std::mutex CallsLock;
std::vector<TCall> Calls;

void Record(const char* handler, std::string_view name, std::int32_t value) {
  std::lock_guard<std::mutex> guard(CallsLock);
  Calls.push_back({handler, std::string(name), value, std::this_thread::get_id()});
}
void HandlerA(std::string_view name, std::int32_t value) {
  Record("A", name, value);
}
void HandlerB(std::string_view name, std::int32_t value) {
  Record("B", name, value);
}
void HandlerC(std::string_view name, std::int32_t value) {
  Record("C", name, value);
}
void Failing(std::string_view, std::int32_t) {
  throw std::runtime_error("broken");
}

std::vector<TCall> TakeCalls() {
  std::lock_guard<std::mutex> guard(CallsLock);
  return std::exchange(Calls, {});
}

std::vector<std::string> Handlers(const std::vector<TCall>& calls) {
  std::vector<std::string> names;
  for (const TCall& call : calls)
    names.push_back(call.Handler + ":" + call.Name);
  return names;
}

using Names = std::vector<std::string>;

// Each test works on its own manager and starts with no recorded calls.
class EventManager : public ::testing::Test {
protected:
  void SetUp() override { TakeCalls(); }
  TEventManager events;
};

// A log in a scratch folder for the test's lifetime.
class TScratchLog {
public:
  TScratchLog() { MyServis::OpenLog(folder_.File("main.log")); }
  ~TScratchLog() { MyServis::OpenLog(""); }
  std::string Text() const { return MyServis::ReadFileBytes(folder_.File("main.log")); }

private:
  TTempFolder folder_;
};

TEST_F(EventManager, DeliversToTheNameThenEachParentInAnyCase) {
  RegisterHandler(events, "MAIN", HandlerA, hmDirect);
  RegisterHandler(events, "main\\analyser", HandlerB, hmDirect);
  RegisterHandler(events, "MAIN\\Analyser\\Deeper", HandlerC, hmDirect);
  PostEvent(events, "MAIN\\Analyser", 42);
  EXPECT_EQ(Handlers(TakeCalls()), (Names{"B:MAIN\\Analyser", "A:MAIN\\Analyser"}));
  RegisterHandler(events, "a\\b\\c", HandlerA, hmDirect);
  RegisterHandler(events, "a", HandlerB, hmDirect);
  RegisterHandler(events, "a\\b", HandlerC, hmDirect);
  PostEvent(events, "A\\b\\C", 1);
  EXPECT_EQ(Handlers(TakeCalls()), (Names{"A:A\\b\\C", "C:A\\b\\C", "B:A\\b\\C"}));
  PostEvent(events, "", 1);
  PostEvent(events, "MAINX", 1);
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(EventManager, NewestRegistrationRunsFirstAndDuplicatesKeepTheFirstMode) {
  RegisterHandler(events, "MAIN\\", HandlerA, hmQueued); // the same as "MAIN"
  RegisterHandler(events, "Main", HandlerA, hmDirect);
  RegisterHandler(events, "MAIN", HandlerB, hmDirect);
  RegisterHandler(events, "MAIN", HandlerC, hmDirect);
  PostEvent(events, "MAIN", 5);
  EXPECT_EQ(Handlers(TakeCalls()), (Names{"C:MAIN", "B:MAIN"}));
  ProcessThreadEvents(events);
  EXPECT_EQ(Handlers(TakeCalls()), (Names{"A:MAIN"}));
}

TEST_F(EventManager, AutoRunsAtOnceInItsThreadAndQueuesFromOthers) {
  RegisterHandler(events, "MAIN", HandlerA, hmAuto);
  PostEvent(events, "MAIN\\Analyser", 1);
  EXPECT_EQ(TakeCalls().size(), 1u);
  std::thread other([&] { PostEvent(events, "MAIN\\Analyser", 2); });
  other.join();
  EXPECT_TRUE(TakeCalls().empty());
  ProcessThreadEvents(events);
  std::vector<TCall> calls = TakeCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], (TCall{"A", "MAIN\\Analyser", 2, std::this_thread::get_id()}));
  // A thread without a queue gets nothing from pumping.
  std::thread pump([&] { ProcessThreadEvents(events); });
  pump.join();
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(EventManager, PumpDeliversAHundredAtATime) {
  RegisterHandler(events, "Q", HandlerA, hmQueued);
  for (int i = 0; i < 120; ++i)
    PostEvent(events, "Q", i);
  EXPECT_TRUE(TakeCalls().empty());
  ProcessThreadEvents(events);
  std::vector<TCall> calls = TakeCalls();
  ASSERT_EQ(calls.size(), 100u);
  EXPECT_EQ(calls.front().Value, 0);
  EXPECT_EQ(calls.back().Value, 99);
  ProcessThreadEvents(events);
  calls = TakeCalls();
  ASSERT_EQ(calls.size(), 20u);
  EXPECT_EQ(calls.back().Value, 119);
}

TEST_F(EventManager, FullRingDropsTheOldestLogsAndReports) {
  TScratchLog log;
  RegisterHandler(events, "Q", HandlerA, hmQueued);
  RegisterHandler(events, "Error", HandlerB, hmDirect);
  for (int i = 0; i < 128; ++i)
    PostEvent(events, "Q", i);
  std::vector<TCall> reports = TakeCalls();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].Name, "Error\\EventMan\\QueueOverflow");
  EXPECT_EQ(reports[0].Value, static_cast<std::int32_t>(gettid()));
  EXPECT_NE(log.Text().find("EventMan: thread queue overflow, event: Q, handler: "),
            std::string::npos);
  ProcessThreadEvents(events);
  ProcessThreadEvents(events);
  std::vector<TCall> calls = TakeCalls();
  ASSERT_EQ(calls.size(), 127u);
  EXPECT_EQ(calls.front().Value, 1);
  EXPECT_EQ(calls.back().Value, 127);
}

TEST_F(EventManager, OverflowReportThatOverflowsItselfStops) {
  RegisterHandler(events, "Error", HandlerA, hmQueued);
  for (int i = 0; i < 300; ++i)
    PostEvent(events, "Error", i);
  ProcessThreadEvents(events);
  EXPECT_EQ(TakeCalls().size(), 100u);
}

TEST_F(EventManager, HandlerFailuresAreLoggedAndTheRestStillRun) {
  TScratchLog log;
  RegisterHandler(events, "E", HandlerA, hmDirect);
  RegisterHandler(events, "E", Failing, hmDirect);
  RegisterHandler(events, "Q", Failing, hmQueued);
  RegisterHandler(events, "Q", HandlerB, hmQueued);
  PostEvent(events, "E", 1);
  EXPECT_EQ(Handlers(TakeCalls()), (Names{"A:E"}));
  PostEvent(events, "Q", 2);
  ProcessThreadEvents(events);
  EXPECT_EQ(Handlers(TakeCalls()), (Names{"B:Q"}));
  std::string text = log.Text();
  EXPECT_NE(text.find("Error in event handler: E - broken"), std::string::npos) << text;
  EXPECT_NE(text.find("Error in handling event: Q - broken"), std::string::npos) << text;
}

TEST_F(EventManager, DelayedEventsWaitUntilDue) {
  TScratchLog log;
  RegisterHandler(events, "D", HandlerA, hmQueued);
  const std::uint32_t now = TickCount();
  PostDelayedEvent(events, "D", 1, now - 5);
  PostDelayedEvent(events, "D", 2, now + 100000);
  ProcessThreadEvents(events);
  EXPECT_EQ(TakeCalls(), (std::vector<TCall>{{"A", "D", 1, std::this_thread::get_id()}}));
  for (int i = 0; i < 16; ++i)
    PostDelayedEvent(events, "D", 3, now + 100000);
  std::string text = log.Text();
  EXPECT_NE(text.find("EventMan: thread delayed queue overflow, event: D"), std::string::npos);
  EXPECT_EQ(events.Queues[0]->DelayedCount, 16);
}

TEST_F(EventManager, NamesAreCutTo127Characters) {
  std::string longName(200, 'x');
  RegisterHandler(events, longName.substr(0, 127), HandlerA, hmDirect);
  PostEvent(events, longName, 1);
  std::vector<TCall> calls = TakeCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Name, longName.substr(0, 127));
}

TEST_F(EventManager, DirectHandlerMayPostWhileAnotherThreadPosts) {
  static TEventManager* shared = nullptr;
  shared = &events;
  RegisterHandler(
      events, "Outer",
      [](std::string_view, std::int32_t value) { PostEvent(*shared, "Inner", value); }, hmDirect);
  RegisterHandler(events, "Inner", HandlerA, hmDirect);
  std::thread other([&] {
    for (int i = 0; i < 200; ++i)
      PostEvent(events, "Outer", i);
  });
  for (int i = 0; i < 200; ++i)
    PostEvent(events, "Outer", i);
  other.join();
  EXPECT_EQ(TakeCalls().size(), 400u);
}

} // namespace
