#include "foundation/win/vo_thread.h"

#include <objbase.h>
#include <process.h>

#include <cerrno>

#include "foundation/string_format.h"
#include "foundation/win/vo_timer.h"
#include "tools/vo_tools.h"

VoThread::VoThread() = default;

VoThread::~VoThread() {
  Stop();
}

bool VoThread::IsRunning() const {
  std::lock_guard guard(lock_);
  return thread_ != nullptr && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT;
}

bool VoThread::Start(int priority, bool force) {
  if (IsRunning() && !force) return true;
  {
    std::unique_lock guard(lock_);
    const bool has_thread = thread_ != nullptr;
    guard.unlock();
    if (has_thread) Stop(-2);  // no time-out
  }
  stop_requested_ = false;
  if (!IsReadyToStart()) return false;
  if (!registered_) {
    if (IVoTools* tools = VoTools(); tools && tools->Threads()) tools->Threads()->Register(this, GetThreadName());
    registered_ = true;
  }
  if (stop_event_) CloseHandle(stop_event_);
  stop_event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);

  std::lock_guard guard(lock_);
  unsigned id = 0;
  const uintptr_t handle = _beginthreadex(nullptr, 0, &VoThread::ThreadProc, this, CREATE_SUSPENDED, &id);
  if (handle == 0) {
    vo::Log(L"VoThread::StartThread", VoFormat(L"Error starting thread, errno=%d", errno));
    return false;
  }
  thread_ = reinterpret_cast<HANDLE>(handle);
  thread_id_ = id;
  if (priority != kNoPriority) SetThreadPriority(thread_, priority);
  ++start_count_;
  ResumeThread(thread_);
  return true;
}

unsigned __stdcall VoThread::ThreadProc(void* param) {
  auto* self = static_cast<VoThread*>(param);
  const bool com = self->initialize_com_ && SUCCEEDED(CoInitialize(nullptr));
  self->result_ = self->Run();
  if (com) CoUninitialize();
  self->OnRunEnded();
  std::lock_guard guard(self->lock_);
  if (self->thread_) CloseHandle(self->thread_);
  self->thread_ = nullptr;
  self->thread_id_ = 0;
  return 0;
}

void VoThread::RequestStop(bool stop) {
  stop_requested_ = stop;
  if (stop_event_) {
    if (stop) SetEvent(stop_event_);
    else ResetEvent(stop_event_);
  }
}

bool VoThread::WaitUntilEnded(uint32_t timeout_ms) {
  HANDLE copy = nullptr;
  {
    std::lock_guard guard(lock_);
    // A duplicate keeps the wait valid when the thread closes its own handle.
    if (!thread_ || !DuplicateHandle(GetCurrentProcess(), thread_, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0))
      return true;
  }
  const bool ended = WaitForSingleObject(copy, timeout_ms) == WAIT_OBJECT_0;
  CloseHandle(copy);
  return ended;
}

int VoThread::WaitForStopOr(uint32_t timeout_ms, HANDLE extra) {
  HANDLE handles[3];
  DWORD count = 0;
  HANDLE thread_copy = nullptr;
  if (stop_event_) handles[count++] = stop_event_;
  {
    std::lock_guard guard(lock_);
    if (thread_ && DuplicateHandle(GetCurrentProcess(), thread_, GetCurrentProcess(), &thread_copy, SYNCHRONIZE,
                                   FALSE, 0)) {
      handles[count++] = thread_copy;
    }
  }
  if (extra) handles[count++] = extra;
  int fired = -1;
  if (count == 0) {
    Sleep(timeout_ms);
  } else {
    const DWORD r = WaitForMultipleObjects(count, handles, FALSE, timeout_ms);
    if (r < WAIT_OBJECT_0 + count) fired = static_cast<int>(r - WAIT_OBJECT_0);
  }
  if (thread_copy) CloseHandle(thread_copy);
  return fired;
}

int VoThread::Stop(int timeout_ms) {
  if (start_count_ == 0) return 1;  // never started: nothing to stop
  if (timeout_ms == -1) timeout_ms = default_timeout_ms_;
  if (!stop_requested_) RequestStop(true);

  using CancelSynchronousIoFn = BOOL(WINAPI*)(HANDLE);
  static const auto cancel_io = reinterpret_cast<CancelSynchronousIoFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CancelSynchronousIo")));
  bool tried_cancel = false;
  VoTimerLowPrecision timer;
  while (true) {
    std::unique_lock guard(lock_);
    if (!thread_) break;
    const uint32_t elapsed = timer.Elapsed();
    if (timeout_ms >= 0 && elapsed > static_cast<uint32_t>(timeout_ms) && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT) {
      vo::Log(L"VoThread::Stop",
              VoFormat(L"Hard killing thread (handle=%x, threadId=%d), it exceeded timeout=%d MS",
                       static_cast<uint32_t>(reinterpret_cast<uintptr_t>(thread_)), thread_id_.load(), timeout_ms));
      if (!tried_cancel) {
        tried_cancel = true;
        if (cancel_io && cancel_io(thread_)) {
          guard.unlock();
          Sleep(100);
          continue;
        }
      }
      TerminateThread(thread_, 1);
      CloseHandle(thread_);
      thread_ = nullptr;
      break;
    }
    if (elapsed > 1000 && GetThreadPriority(thread_) == THREAD_PRIORITY_ERROR_RETURN) {
      vo::Log(L"VoThread::Stop", VoFormat(L"GetThreadPriority returned error, errno=%d", GetLastError()));
      thread_ = nullptr;
      break;
    }
    guard.unlock();
    if (pump_messages_) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    Sleep(poll_ms_);
  }
  Unregister();
  if (stop_event_) {
    CloseHandle(stop_event_);
    stop_event_ = nullptr;
  }
  thread_id_ = 0;
  return result_.exchange(0);
}

void VoThread::Unregister() {
  if (!registered_) return;
  if (IVoTools* tools = VoTools(); tools && tools->Threads()) tools->Threads()->Unregister(this, unregister_option_);
  registered_ = false;
}
