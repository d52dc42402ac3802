#pragma once
// Elapsed-time measurement. The performance counter is precise but can jump
// (some processors, suspended machines); the tick count is coarse but steady,
// so VoTimer trusts the counter only while both agree within a second.

#include <cstdint>

class VoTimerLowPrecision {
 public:
  VoTimerLowPrecision() { Restart(); }
  void Restart();
  // Milliseconds since the start; with `restart` the start becomes now.
  uint32_t Elapsed(bool restart = false);

 private:
  uint32_t start_tick_ = 0;
};

class VoTimer {
 public:
  VoTimer();
  void Restart();
  uint32_t Elapsed(bool restart = false);

  // The measurement from the two clocks' readings since the start, for tests
  // of the disagreement rule.
  static uint32_t Combine(int64_t counter_ms, int64_t tick_ms);

 private:
  uint32_t start_tick_ = 0;
  int64_t start_counter_ = 0;
  double ms_per_count_ = 0;  // 0 when there is no performance counter
};
