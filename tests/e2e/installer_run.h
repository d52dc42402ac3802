#pragma once
// Runs the real installer from a copy of the sample distribution, as a user
// meets it: finds the message boxes it shows, reads them, presses their
// buttons, and reads its log when it has ended.

#include <windows.h>

#include <string>

#include "foundation/vo_string.h"

struct ShownBox {
  HWND window = nullptr;
  std::wstring title, text;
};

// A fresh copy of the sample distribution in the temporary folder, removed
// at the end; `Folder()` ends in a backslash.
class DistributionCopy {
 public:
  explicit DistributionCopy(const wchar_t* name);
  ~DistributionCopy();
  DistributionCopy(const DistributionCopy&) = delete;
  DistributionCopy& operator=(const DistributionCopy&) = delete;

  const std::wstring& Folder() const { return folder_; }
  // The folder that holds the copy (for an Install.xml one level up).
  const std::wstring& Parent() const { return parent_; }
  void WriteFile(const std::wstring& relative, const std::string& content) const;

 private:
  std::wstring parent_, folder_;
};

class InstallerRun {
 public:
  InstallerRun() = default;
  ~InstallerRun();
  InstallerRun(const InstallerRun&) = delete;
  InstallerRun& operator=(const InstallerRun&) = delete;

  // Starts "HalvoraSetup.exe" of `folder` with `arguments`.
  bool Start(const std::wstring& folder, const std::wstring& arguments = L"");
  // Starts another of the product's programs, in its own folder.
  bool StartProgram(const std::wstring& program, const std::wstring& arguments);
  // The next visible message box of the installer, or an empty one after
  // `timeout_ms` or when the installer ended first.
  ShownBox WaitForBox(DWORD timeout_ms = 30000);
  // Clicks the box's button (IDOK, IDYES, IDNO) as a user would.
  static void Press(const ShownBox& box, int button);
  // True when the installer ended in time; `exit_code` receives its code.
  bool WaitForExit(DWORD& exit_code, DWORD timeout_ms = 60000);
  // The installer's log file (after it ended).
  std::string LogText() const;
  DWORD ProcessId() const { return process_id_; }

 private:
  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
};

// The product's main program stand-in, started from the distribution copy;
// ends it at the end unless it ended already.
class RunningProduct {
 public:
  RunningProduct(const std::wstring& program, const std::wstring& arguments = L"");
  ~RunningProduct();
  RunningProduct(const RunningProduct&) = delete;
  RunningProduct& operator=(const RunningProduct&) = delete;

  // Its "KVFrame" window appeared.
  bool WaitForWindow(DWORD timeout_ms = 10000) const;
  bool IsRunning() const;
  void Kill();

 private:
  HANDLE process_ = nullptr;
};
