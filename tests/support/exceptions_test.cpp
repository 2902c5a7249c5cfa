#include "support/exceptions.h"

#include <gtest/gtest.h>
#include <new>
#include <regex>

using namespace MyServis;

namespace {

[[gnu::noinline]] void FailDeep() {
  throw EError("Bad header");
}
[[gnu::noinline]] void FailMiddle() {
  FailDeep();
  asm volatile("");
}
[[gnu::noinline]] void FailTop() {
  FailMiddle();
  asm volatile("");
}

} // namespace

TEST(BaseException, MessageStartsWithUpToThreeCallersOutermostFirst) {
  try {
    FailTop();
    FAIL();
  } catch (const TBaseException& e) {
    std::string message = e.what();
    EXPECT_TRUE(
        std::regex_match(message, std::regex(R"(\[[0-9A-F]{8,}(->[0-9A-F]{8,}){2}\] Bad header)")))
        << message;
    EXPECT_NE(e.Address(), 0u);
  }
}

TEST(BaseException, TracePrefixFormat) {
  std::uintptr_t frames[] = {0x1A2B, 0xFFFF0000, 0x10};
  EXPECT_EQ(TracePrefix(frames, 3), "[00001A2B->FFFF0000->00000010] ");
  EXPECT_EQ(TracePrefix(frames, 0), "[] ");
}

TEST(BaseException, KindsAreCaughtAsTheirBase) {
  EXPECT_THROW(throw EWarning("w"), TBaseException);
  EXPECT_THROW(throw EFatalError("f"), std::exception);
}

TEST(BaseException, MessageOfNamesMemoryInWords) {
  EXPECT_EQ(MessageOf(std::bad_alloc()), "Not enough memory");
  EXPECT_EQ(MessageOf(std::runtime_error("No sound")), "No sound");
  EWarning warning("It broke");
  EXPECT_EQ(MessageOf(warning), warning.what()); // the trace stays for the log
  EXPECT_EQ(WithoutTracePrefixes(warning.what()), "It broke");
}
