// A stand-in for one of the product's programs in the sample distribution:
// it appends how it was started (its file name and arguments) to a log that
// tests and the run script read, and exits. The main program's stand-in
// also opens the product's main window and stays until it is closed.
#include <windows.h>

#include <cstdio>
#include <string>

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

void LogStart(const wchar_t* command_line) {
  // Several stand-ins may start at once: retry while another holds the file.
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (FILE* f = _wfopen(LogPath().c_str(), L"a, ccs=UTF-8")) {
      std::fwprintf(f, L"%ls %ls\n", OwnFileName().c_str(), command_line);
      std::fclose(f);
      return;
    }
    Sleep(20);
  }
}

#ifdef STAND_IN_MAIN_WINDOW
bool g_ignore_close = false;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE && g_ignore_close) return 0;
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wparam, lparam);
}

int RunMainWindow(HINSTANCE instance, const wchar_t* command_line) {
  g_ignore_close = wcsstr(command_line, L"/IgnoreClose") != nullptr;
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
  LogStart(command_line);
#ifdef STAND_IN_MAIN_WINDOW
  // "/Register" (after an installation) only registers; no window.
  if (wcsstr(command_line, L"/Register")) return 0;
  return RunMainWindow(instance, command_line);
#else
  (void)instance;
  return 0;
#endif
}
