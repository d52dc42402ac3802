#pragma once
// The HTTP test server (tests/support/http_test_server.py) run by the
// machine's python3 from inside Wine: Wine starts a Unix program handed to
// CreateProcessW directly, so the test needs no outside help. The server
// serves a folder of the prefix on 127.0.0.1 at a free port, which it writes
// into "port.txt" there. It ends on "/quit" or after a minute without
// requests (Wine gives no handle of a Unix process to end it by).

#include <windows.h>

#include <string>

#include "foundation/vo_string.h"

class HttpTestServer {
 public:
  // Serves `folder` (with its trailing backslash); false when python3 or
  // the script cannot be started or no port appears within ten seconds.
  bool Start(const VoString& folder) {
    folder_ = folder;
    DeleteFileW((folder + L"port.txt").c_str());
    const std::string unix_folder = UnixPath(folder);
    if (unix_folder.empty()) return false;
    std::wstring command = L"python3 \"" + VoString::FromUtf8(VO_TEST_SUPPORT_DIR "/http_test_server.py").Std() +
                           L"\" \"" + VoString::FromUtf8(unix_folder).Std() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\usr\\bin\\python3", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      return false;
    }
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    for (int i = 0; i < 200 && port_ == 0; ++i) {
      Sleep(50);
      port_ = ReadPort();
    }
    return port_ != 0;
  }

  // "http://127.0.0.1:<port>/<path>".
  VoString Url(const wchar_t* path) const {
    return VoString(L"http://127.0.0.1:") + std::to_wstring(port_) + L"/" + path;
  }
  int Port() const { return port_; }

 private:
  int ReadPort() const {
    HANDLE file = CreateFileW((folder_ + L"port.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    char text[16] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    return atoi(text);
  }

  // Wine's own export names the Unix file behind a Windows path.
  static std::string UnixPath(const VoString& path) {
    using ToUnix = char* (*)(const wchar_t*);
    auto to_unix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!to_unix) return std::string();
    char* name = to_unix(path.c_str());
    if (!name) return std::string();
    std::string result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
  }

  VoString folder_;
  int port_ = 0;
};
