// The installer's process entry.

#include <windows.h>

#include "app/install_app.h"

namespace {

CInstallApp g_app;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR command_line, int show_command) {
  (void)previous;
  return RunApplication(&g_app, instance, command_line, show_command);
}
