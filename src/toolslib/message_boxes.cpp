#include "toolslib/message_boxes.h"

#include <windows.h>

namespace {

// Task-modal: no owner, but the box still blocks this thread's other windows.
constexpr UINT kBoxStyle = MB_TASKMODAL | MB_SETFOREGROUND;

// The button names for the box this thread is about to show; the hook renames
// the Yes and No buttons when the box is activated.
struct ButtonNames {
  const wchar_t* first;
  const wchar_t* second;
  HHOOK hook;
};
thread_local ButtonNames* t_names = nullptr;

LRESULT CALLBACK RenameButtons(int code, WPARAM wparam, LPARAM lparam) {
  ButtonNames* names = t_names;
  if (code == HCBT_ACTIVATE && names) {
    HWND box = reinterpret_cast<HWND>(wparam);
    SetDlgItemTextW(box, IDYES, names->first);
    SetDlgItemTextW(box, IDNO, names->second);
    // Only the first activation is our box; later ones may be other windows.
    t_names = nullptr;
  }
  return CallNextHookEx(names ? names->hook : nullptr, code, wparam, lparam);
}

const wchar_t* OrEmpty(const wchar_t* text) { return text ? text : L""; }

}  // namespace

void VoMessageBoxes::ShowInformation(const wchar_t* title, const wchar_t* text) {
  MessageBoxW(nullptr, OrEmpty(text), OrEmpty(title), MB_OK | MB_ICONINFORMATION | kBoxStyle);
}

bool VoMessageBoxes::AskQuestion(const wchar_t* title, const wchar_t* text) {
  // Anything but Yes (including a box closed by the system) is No.
  return MessageBoxW(nullptr, OrEmpty(text), OrEmpty(title), MB_YESNO | MB_DEFBUTTON1 | MB_ICONQUESTION | kBoxStyle) ==
         IDYES;
}

void VoMessageBoxes::AskWithButtons(const wchar_t* title, const wchar_t* text, const wchar_t* first,
                                    const wchar_t* second, VoString& pressed) {
  pressed.Clear();
  ButtonNames names{OrEmpty(first), OrEmpty(second), nullptr};
  names.hook = SetWindowsHookExW(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId());
  t_names = names.hook ? &names : nullptr;
  const int answer =
      MessageBoxW(nullptr, OrEmpty(text), OrEmpty(title), MB_YESNO | MB_DEFBUTTON1 | MB_ICONQUESTION | kBoxStyle);
  t_names = nullptr;
  if (names.hook) UnhookWindowsHookEx(names.hook);
  if (answer == IDYES) pressed = VoString(names.first);
  else if (answer == IDNO) pressed = VoString(names.second);
}
