#include "app/vo_app.h"

#include <clocale>
#include <cstdlib>

#include "app/command_line.h"
#include "foundation/char_class.h"
#include "net/loader_routing.h"
#include "tools/tools_loader.h"

VoApp::~VoApp() = default;

void VoApp::OnLibraryAttach(HINSTANCE instance, DWORD reason) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (library_references_++ > 0) return;
    instance_ = instance;
    arguments_.Add(VoString(GetCommandLineW()));
    if (!InitInstance()) ExitInstance();
  } else if (reason == DLL_PROCESS_DETACH) {
    if (library_references_ > 0 && --library_references_ == 0) ExitInstance();
  }
}

int VoApp::Run(HINSTANCE instance, HINSTANCE, int show_command) {
  instance_ = instance;
  show_command_ = show_command;
  if (InitInstance()) RunMessageLoop();
  ExitInstance();
  return exit_code_;
}

int VoApp::Run() { return Run(GetModuleHandleW(nullptr), nullptr, show_command_); }

bool VoApp::InitInstance() { return true; }

void VoApp::ExitInstance() {
  for (const VoString& name : window_classes_) UnregisterClassW(name.c_str(), instance_);
  window_classes_.clear();
}

void VoApp::RunMessageLoop() {}

VoExecutableApp::VoExecutableApp() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

VoExecutableApp::~VoExecutableApp() = default;  // the COM scope undoes its mode

bool VoExecutableApp::InitInstance() {
  std::setlocale(LC_ALL, "");
  vo::RebuildCharacterTables();
  static unsigned seedings = 0;
  std::srand(GetTickCount() + seedings++);
  InstallCrashReporting();
  InitOle();
  return LoadToolsLibrary();
}

void VoExecutableApp::ExitInstance() {
  vo::ReleaseToolsLibrary();
  UninitOle();
  VoApp::ExitInstance();
}

bool VoExecutableApp::LoadToolsLibrary() {
  if (!vo::LoadToolsLibrary(instance_)) return false;
  // With the reader module at hand, documents and URL sizes go through the
  // file loader.
  vo::RouteReadingThroughFileLoader();
  return true;
}

bool VoExecutableApp::InitOle() {
  if (com_.GetKind() == VoComScope::kOle) return true;
  // SetKind undoes plain COM before it initialises OLE.
  com_.SetKind(VoComScope::kOle);
  return true;
}

void VoExecutableApp::UninitOle() { com_.SetKind(VoComScope::kNone); }

void VoGraphicalApp::RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int RunApplication(VoApp* app, HINSTANCE instance, const wchar_t* command_line, int show_command) {
  if (!app) return 0;
  for (const VoString& argument : vo::SplitArguments(command_line ? command_line : L"")) app->Arguments().Add(argument);
  return app->Run(instance, nullptr, show_command);
}
