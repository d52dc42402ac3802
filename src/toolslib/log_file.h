#pragma once
// This run's log: one UTF-8 file in the temporary folder, named after the
// start time and the process id, with time-stamped titled lines. Every line
// also goes to the debugger output.

#include <windows.h>

#include <mutex>

#include "tools/vo_tools.h"

class VoLogFile final : public IVoLogService {
 public:
  VoLogFile() = default;
  ~VoLogFile() { Close(); }
  VoLogFile(const VoLogFile&) = delete;
  VoLogFile& operator=(const VoLogFile&) = delete;

  void Write(int category, const wchar_t* title, const wchar_t* text) override;
  void DebugOutput(const wchar_t* text) override;
  bool GetLogFilePath(VoString& path) override;
  void Close();

 private:
  // Opens the file on the first line; false when it cannot be made.
  bool OpenLocked();

  std::mutex mutex_;  // worker threads log too
  HANDLE file_ = INVALID_HANDLE_VALUE;
  VoString path_;
};
