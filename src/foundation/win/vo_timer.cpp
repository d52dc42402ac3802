#include "foundation/win/vo_timer.h"

#include <windows.h>

void VoTimerLowPrecision::Restart() { start_tick_ = GetTickCount(); }

uint32_t VoTimerLowPrecision::Elapsed(bool restart) {
  const uint32_t now = GetTickCount();
  const uint32_t elapsed = now - start_tick_;  // unsigned: survives the 49-day wrap
  if (restart) start_tick_ = now;
  return elapsed;
}

VoTimer::VoTimer() {
  LARGE_INTEGER frequency;
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) ms_per_count_ = 1000.0 / frequency.QuadPart;
  Restart();
}

void VoTimer::Restart() {
  start_tick_ = GetTickCount();
  LARGE_INTEGER counter;
  start_counter_ = ms_per_count_ > 0 && QueryPerformanceCounter(&counter) ? counter.QuadPart : 0;
}

uint32_t VoTimer::Combine(int64_t counter_ms, int64_t tick_ms) {
  int64_t ms = counter_ms;
  if (ms - tick_ms > 1000 || tick_ms - ms > 1000) ms = tick_ms;
  return ms < 0 ? 0 : static_cast<uint32_t>(ms);
}

uint32_t VoTimer::Elapsed(bool restart) {
  const uint32_t now_tick = GetTickCount();
  const int64_t tick_ms = static_cast<uint32_t>(now_tick - start_tick_);
  int64_t counter_ms = tick_ms;
  LARGE_INTEGER counter;
  if (ms_per_count_ > 0 && QueryPerformanceCounter(&counter)) {
    counter_ms = static_cast<int64_t>((counter.QuadPart - start_counter_) * ms_per_count_);
    if (restart) start_counter_ = counter.QuadPart;
  }
  if (restart) start_tick_ = now_tick;
  return Combine(counter_ms, tick_ms);
}
