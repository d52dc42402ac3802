#pragma once
// VoThread: the worker-thread base class. A derived class supplies Run();
// Stop() asks the body to end through the stop flag and event and, past the
// time-out, ends it by force. Derived classes stop their thread in their own
// destructor: once it runs, the body's object is already gone.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>

class VoThread {
 public:
  static constexpr int kNoPriority = 0x7FFFFFFF;

  VoThread();
  virtual ~VoThread();
  VoThread(const VoThread&) = delete;
  VoThread& operator=(const VoThread&) = delete;

  // Succeeds at once when running and not forced; otherwise stops a running
  // instance and starts anew.
  virtual bool Start(int priority = kNoPriority, bool force = false);
  // -1: the default time-out. Returns the body's result.
  virtual int Stop(int timeout_ms = -1);
  virtual void RequestStop(bool stop = true);
  virtual bool IsRunning() const;
  virtual bool WaitUntilEnded(uint32_t timeout_ms = INFINITE);
  // Waits on the stop event, the thread and an optional third handle; the
  // index of the one that fired, or -1 on time-out.
  virtual int WaitForStopOr(uint32_t timeout_ms, HANDLE extra = nullptr);

  int GetResult() const { return result_; }
  uint32_t GetThreadId() const { return thread_id_; }
  bool IsStopRequested() const { return stop_requested_; }
  HANDLE GetStopEvent() const { return stop_event_; }
  int GetStartCount() const { return start_count_; }
  void SetDefaultTimeout(int ms) { default_timeout_ms_ = ms; }
  void SetPollInterval(uint32_t ms) { poll_ms_ = ms; }
  void SetPumpMessages(bool pump) { pump_messages_ = pump; }
  void SetInitializeCom(bool com) { initialize_com_ = com; }
  void SetUnregisterOption(int option) { unregister_option_ = option; }

 protected:
  virtual bool IsReadyToStart() { return true; }
  // The body; its result is what Stop() returns.
  virtual int Run() = 0;
  // Called on the thread after the body has returned.
  virtual void OnRunEnded() {}
  virtual const wchar_t* GetThreadName() const { return L"VoThread"; }

 private:
  static unsigned __stdcall ThreadProc(void* self);
  void Unregister();

  mutable std::mutex lock_;  // guards the handle against the thread's own clean-up
  HANDLE thread_ = nullptr;
  std::atomic<uint32_t> thread_id_{0};
  std::atomic<bool> stop_requested_{false};
  HANDLE stop_event_ = nullptr;
  int default_timeout_ms_ = 10000;
  uint32_t poll_ms_ = 10;
  std::atomic<int> result_{0};
  bool registered_ = false;
  bool pump_messages_ = false;
  int unregister_option_ = 0;
  bool initialize_com_ = false;
  int start_count_ = 0;
};
