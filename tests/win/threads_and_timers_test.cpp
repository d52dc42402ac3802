#include <windows.h>
#include <objbase.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <regex>

#include "foundation/win/com_scope.h"
#include "foundation/win/log_scope.h"
#include "foundation/win/vo_shared_memory.h"
#include "foundation/win/vo_thread.h"
#include "foundation/win/vo_timer.h"
#include "support/fake_tools.h"

namespace {

// Works until asked to stop, then reports 42.
class PoliteThread : public VoThread {
 public:
  ~PoliteThread() override { Stop(); }
  std::atomic<int> loops{0};

 protected:
  int Run() override {
    while (WaitForStopOr(5) != 0) ++loops;
    return 42;
  }
};

// Never looks at the stop request.
class StubbornThread : public VoThread {
 public:
  ~StubbornThread() override { Stop(); }

 protected:
  int Run() override {
    for (;;) Sleep(20);
  }
};

TEST(VoThread, CooperativeStopReturnsTheResultWithoutLogging) {
  FakeTools tools;
  PoliteThread thread;
  EXPECT_EQ(thread.Stop(), 1);  // never started
  ASSERT_TRUE(thread.Start());
  EXPECT_TRUE(thread.IsRunning());
  EXPECT_NE(thread.GetThreadId(), 0u);
  EXPECT_EQ(tools.RegisteredThreads(), std::vector<const void*>{&thread});
  EXPECT_TRUE(thread.Start());  // running and not forced: nothing happens
  EXPECT_EQ(thread.GetStartCount(), 1);
  EXPECT_EQ(thread.Stop(2000), 42);
  EXPECT_FALSE(thread.IsRunning());
  EXPECT_EQ(thread.GetThreadId(), 0u);
  EXPECT_TRUE(tools.RegisteredThreads().empty());
  EXPECT_TRUE(tools.LogTexts(L"VoThread::Stop").empty());

  ASSERT_TRUE(thread.Start());  // restartable
  EXPECT_EQ(thread.GetStartCount(), 2);
  EXPECT_FALSE(thread.IsStopRequested());
  EXPECT_EQ(thread.Stop(), 42);
}

TEST(VoThread, ThreadIgnoringTheStopIsKilledAfterTheTimeout) {
  FakeTools tools;
  StubbornThread thread;
  ASSERT_TRUE(thread.Start());
  const uint32_t id = thread.GetThreadId();
  thread.Stop(150);
  EXPECT_FALSE(thread.IsRunning());
  const auto lines = tools.LogTexts(L"VoThread::Stop");
  ASSERT_FALSE(lines.empty());
  const std::string line = lines.back().ToUtf8();
  EXPECT_TRUE(std::regex_match(line, std::regex("Hard killing thread \\(handle=[0-9a-f]+, threadId=" +
                                                std::to_string(id) + "\\), it exceeded timeout=150 MS")))
      << line;
}

TEST(VoTimer, TrustsTheTickCountWhenTheClocksDisagreeBySecond) {
  struct Case { int64_t counter, tick; uint32_t want; } cases[] = {
      {150, 100, 150},      // close enough: the precise clock
      {5000, 100, 100},     // the counter jumped
      {100, 1200, 1200},    // or fell behind
      {-20, 0, 0},          // never negative
  };
  for (const auto& c : cases) EXPECT_EQ(VoTimer::Combine(c.counter, c.tick), c.want) << c.counter << " " << c.tick;

  VoTimer timer;
  VoTimerLowPrecision coarse;
  Sleep(60);
  EXPECT_GE(timer.Elapsed(true), 50u);
  EXPECT_LT(timer.Elapsed(), 50u);  // restarted
  EXPECT_GE(coarse.Elapsed(), 30u);  // the tick count moves in steps of up to 16 ms
}

TEST(VoLogScope, StartAndFinishLines) {
  FakeTools tools;
  {
    VoLogScope scope(L"RunProgram");
    scope.Log(VoString(L"middle"));
  }
  {
    VoLogScope scope(L"WithResult", 2);
    scope.SetResult(3);
  }
  { VoLogScope quiet(L"Quiet", 1, false); }
  const auto lines = tools.LogLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].text, L"Start");
  EXPECT_EQ(lines[1].text, L"middle");
  EXPECT_TRUE(std::regex_match(lines[2].text.ToUtf8(), std::regex("Finish \\([0-9]+ ms\\)")));
  EXPECT_EQ(lines[3].category, 2);
  EXPECT_TRUE(std::regex_match(lines[4].text.ToUtf8(), std::regex("Finish \\(result: 3\\) \\([0-9]+ ms\\)")));
  EXPECT_EQ(lines[4].title, L"WithResult");
}

TEST(VoSharedMemory, TwoOpenersSeeTheSameBytes) {
  VoSharedMemory empty;
  EXPECT_FALSE(empty.Open(VoString(), 64));
  EXPECT_EQ(empty.GetAddress(), nullptr);

  const VoString name = VoString(L"Halvora test memory ") + VoString(std::to_wstring(GetCurrentProcessId()));
  VoSharedMemory a, b;
  ASSERT_TRUE(a.Open(name, 4096));
  EXPECT_FALSE(a.Existed());
  ASSERT_TRUE(b.Open(name, 4096));
  EXPECT_TRUE(b.Existed());
  std::strcpy(static_cast<char*>(a.GetAddress()), "shared");
  EXPECT_STREQ(static_cast<const char*>(b.GetAddress()), "shared");
}

TEST(VoComScope, InitialisesAndUndoesPerKind) {
  // Run on a fresh thread so the test runner's own COM state does not count.
  struct Probe : VoThread {
    ~Probe() override { Stop(); }
    int Run() override {
      int failures = 0;
      {
        VoComScope scope(VoComScope::kCom);
        failures += scope.GetKind() != VoComScope::kCom;
        failures += CoInitialize(nullptr) != S_FALSE;  // already initialised here
        CoUninitialize();
        failures += !scope.SetKind(VoComScope::kOle);
        failures += OleInitialize(nullptr) != S_FALSE;
        OleUninitialize();
      }
      // Everything was undone: a fresh initialisation is a first one again.
      failures += CoInitialize(nullptr) != S_OK;
      CoUninitialize();
      return failures;
    }
  } probe;
  ASSERT_TRUE(probe.Start());
  ASSERT_TRUE(probe.WaitUntilEnded(5000));
  EXPECT_EQ(probe.Stop(), 0);
}

}  // namespace
