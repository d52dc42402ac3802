// A stand-in for one of the product's programs in the sample distribution:
// it appends how it was started (its file name and arguments) to a log that
// tests and the run script read, and exits. The main program's stand-in
// also opens the product's main window and stays until it is closed; texts
// posted to that window are logged as "posted: <text>".
#include <windows.h>

#include <cstdio>
#include <string>

#ifdef STAND_IN_MAIN_WINDOW
#include "plugins/post_string_ring.h"
#endif

namespace {

std::wstring OwnFileName() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const wchar_t* name = wcsrchr(path, L'\\');
  return name ? name + 1 : path;
}

// VO_STAND_IN_LOG names the log; otherwise it is in the temporary folder.
std::wstring LogPath() {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"VO_STAND_IN_LOG", path, MAX_PATH)) return path;
  GetTempPathW(MAX_PATH, path);
  return std::wstring(path) + L"Halvora stand-ins.log";
}

void LogLine(const wchar_t* text) {
  // Several stand-ins may start at once: retry while another holds the file.
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (FILE* f = _wfopen(LogPath().c_str(), L"a, ccs=UTF-8")) {
      std::fwprintf(f, L"%ls %ls\n", OwnFileName().c_str(), text);
      std::fclose(f);
      return;
    }
    Sleep(20);
  }
}

#ifdef STAND_IN_MAIN_WINDOW
bool g_ignore_close = false;

// The post channel of the product's short name (this program's name):
// opened before the window exists and kept, so the block outlives senders
// that close their end right after posting.
struct PostChannel {
  HANDLE lock = nullptr;
  unsigned char* block = nullptr;
} g_channel;

void OpenPostChannel() {
  std::wstring name = OwnFileName();
  if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
  name += L" FC_IPC";
  g_channel.lock = CreateMutexW(nullptr, FALSE, (L"Post String Lock - " + name).c_str());
  HANDLE mapping =
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, vo::kPostBlockBytes, name.c_str());
  if (mapping) g_channel.block = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
}

// A long text waits in a file that the reader deletes.
std::wstring TakeTextFile(const std::wstring& path) {
  std::wstring text;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  wchar_t buffer[1024];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got >= sizeof(wchar_t)) {
    text.append(buffer, got / sizeof(wchar_t));
  }
  CloseHandle(file);
  DeleteFileW(path.c_str());
  return text;
}

void ReceivePosted(WPARAM wparam, LPARAM lparam) {
  if (!g_channel.lock || !g_channel.block) return;
  const DWORD waited = WaitForSingleObject(g_channel.lock, 5000);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return;
  const auto record = vo::PostRing(g_channel.block).Take({wparam, static_cast<uint64_t>(lparam)});
  ReleaseMutex(g_channel.lock);
  if (!record) return;
  std::wstring text(record->text.begin(), record->text.end());
  if (record->type == vo::kPostTypeFile) text = TakeTextFile(text);
  LogLine((L"posted: " + text).c_str());
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == vo::kPostStringMessage) {
    ReceivePosted(wparam, lparam);
    return 0;
  }
  // Commands the installer sends (reload the plug-ins, 33011).
  if (message == WM_APP + 1000) {
    LogLine((L"command " + std::to_wstring(wparam)).c_str());
    return 0;
  }
  if (message == WM_CLOSE && g_ignore_close) return 0;
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wparam, lparam);
}

int RunMainWindow(HINSTANCE instance, const wchar_t* command_line) {
  g_ignore_close = wcsstr(command_line, L"/IgnoreClose") != nullptr;
  OpenPostChannel();
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = FrameProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"KVFrame";
  RegisterClassW(&window_class);
  if (!CreateWindowExW(0, L"KVFrame", L"Halvora", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr, nullptr, instance,
                       nullptr)) {
    return 1;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  LogLine(command_line);
#ifdef STAND_IN_MAIN_WINDOW
  // "/Register" (after an installation) only registers; no window.
  if (wcsstr(command_line, L"/Register")) return 0;
  return RunMainWindow(instance, command_line);
#else
  (void)instance;
  return 0;
#endif
}
