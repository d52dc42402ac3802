#pragma once
// The framework's application objects. A program has one static object; the
// process entry hands it the command line and runs it. The installer's
// object does all its work in the initialisation step and never runs a
// message loop.

#include <windows.h>

#include <vector>

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"
#include "foundation/win/com_scope.h"

class VoApp {
 public:
  VoApp() = default;
  virtual ~VoApp();
  VoApp(const VoApp&) = delete;
  VoApp& operator=(const VoApp&) = delete;

  // For an application living in a library: the first attach (reason 1)
  // takes the process command line and initialises; the last detach exits.
  virtual void OnLibraryAttach(HINSTANCE instance, DWORD reason);
  // Initialises, runs the message loop only when that succeeded, always
  // exits; returns the exit code.
  virtual int Run(HINSTANCE instance, HINSTANCE previous, int show_command);
  virtual int Run();
  virtual bool InitInstance();
  virtual void ExitInstance();
  virtual void RunMessageLoop();
  virtual bool OnIdleHook() { return true; }
  virtual bool OnQuitHook() { return true; }

  VoStringArray& Arguments() { return arguments_; }
  HINSTANCE Instance() const { return instance_; }
  int ShowCommand() const { return show_command_; }
  int ExitCode() const { return exit_code_; }
  // Window classes this process registered; unregistered at exit.
  void AddWindowClass(const VoString& name) { window_classes_.push_back(name); }

 protected:
  HINSTANCE instance_ = nullptr;
  int show_command_ = SW_SHOWNORMAL;
  VoStringArray arguments_;
  std::vector<VoString> window_classes_;
  int exit_code_ = 0;  // the installer never changes it
  int library_references_ = 0;
};

class VoExecutableApp : public VoApp {
 public:
  VoExecutableApp();
  ~VoExecutableApp() override;

  bool InitInstance() override;
  void ExitInstance() override;
  virtual bool LoadToolsLibrary();
  // OLE for the main thread; true in every case.
  virtual bool InitOle();
  virtual void UninitOle();
  virtual void InstallCrashReporting() {}

  VoComScope::Kind ComMode() const { return com_.GetKind(); }

 protected:
  VoComScope com_;
};

class VoGraphicalApp : public VoExecutableApp {
 public:
  // Window messages until the application quits.
  void RunMessageLoop() override;
  // Crash reporting is not part of this program.
  void InstallCrashReporting() override {}
};

// The process entry: splits the command line after the program name into
// the application's arguments and runs it; 0 without an application.
int RunApplication(VoApp* app, HINSTANCE instance, const wchar_t* command_line, int show_command);
