#pragma once
// Test helper: the HTTP test server for a whole test suite. It serves a
// folder of the temporary folder, readers come from the reader module as
// built, and at the end the server is asked to quit and the tools modules
// are released.

#include <windows.h>

#include <string>

#include "foundation/resource_name.h"
#include "foundation/win/process_info_record.h"
#include "http_test_server.h"
#include "net/file_loader.h"
#include "tools/tools_loader.h"

class SuiteHttpServer {
 public:
  // Serves `folder_name` (with its trailing backslash) below the temporary folder.
  void Start(const wchar_t* folder_name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = VoString(temp) + folder_name;
    CreateDirectoryW(folder_.c_str(), nullptr);
    previous_tools_folder_ = vo::GetProcessPath(ProcessPath::kToolsFolder);
    vo::SetProcessPath(ProcessPath::kToolsFolder, VoString::FromUtf8(VO_TOOLS_MODULE_DIR "/"));
    started_ = server_.Start(folder_);
  }
  void Stop() {
    if (started_) {
      CFileLoader loader;
      std::string ignored;
      loader.LoadToMemory(ResourceName(Url(L"quit").View()), ignored);
      started_ = false;
    }
    vo::ReleaseToolsLibrary();
    vo::SetProcessPath(ProcessPath::kToolsFolder, previous_tools_folder_);
  }

  bool Started() const { return started_; }
  // The served folder, with its trailing backslash.
  const VoString& Folder() const { return folder_; }
  VoString Url(const wchar_t* path) const { return server_.Url(path); }

 private:
  HttpTestServer server_;
  VoString folder_;
  VoString previous_tools_folder_;
  bool started_ = false;
};
