#pragma once
// Brackets a long operation in the log with "Start" and "Finish (%d ms)"
// (or "Finish (result: %d) (%d ms)" when the owner set a result).

#include <optional>

#include "foundation/vo_string.h"
#include "foundation/win/vo_timer.h"

class VoLogScope {
 public:
  explicit VoLogScope(const wchar_t* title, int category = 1, bool enabled = true);
  ~VoLogScope();
  VoLogScope(const VoLogScope&) = delete;
  VoLogScope& operator=(const VoLogScope&) = delete;

  void Log(const VoString& text);
  void SetResult(int result) { result_ = result; }

 private:
  int category_;
  const wchar_t* title_;
  bool enabled_;
  VoTimerLowPrecision timer_;
  std::optional<int> result_;
};
