// Test program that never ends by itself; it writes its process id to the
// file named by its first argument so a test can check it was ended.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc > 1) {
    if (FILE* f = _wfopen(argv[1], L"w")) {
      std::fprintf(f, "%lu", GetCurrentProcessId());
      std::fclose(f);
    }
  }
  for (;;) Sleep(INFINITE);
}
