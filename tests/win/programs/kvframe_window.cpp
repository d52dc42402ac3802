// Test program standing in for a running product: a top-level window of the
// product's frame class "KVFrame". The first argument says what it does
// when asked to close: "close" ends at once, "ignore" stays open, "linger"
// takes its window down but keeps the process running a little longer.
#include <windows.h>

#include <cwchar>

namespace {

enum class Mode { kClose, kIgnore, kLinger };
Mode g_mode = Mode::kClose;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      if (g_mode == Mode::kIgnore) return 0;
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wcscmp(argv[1], L"ignore") == 0) g_mode = Mode::kIgnore;
  if (argc > 1 && std::wcscmp(argv[1], L"linger") == 0) g_mode = Mode::kLinger;
  WNDCLASSW frame{};
  frame.lpfnWndProc = FrameProc;
  frame.hInstance = GetModuleHandleW(nullptr);
  frame.lpszClassName = L"KVFrame";
  if (!RegisterClassW(&frame)) return 2;
  if (!CreateWindowExW(0, L"KVFrame", L"Product stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                       frame.hInstance, nullptr)) {
    return 3;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (g_mode == Mode::kLinger) Sleep(800);
  return 0;
}
