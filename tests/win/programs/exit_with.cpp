// Test program: prints its arguments, one a line, and exits with the code
// given as its first argument (0 when that is not a number). An argument
// "#N" prints a line of N letters instead, "~N" waits N ms first. With VO_TEST_ARGUMENT_LOG set,
// the arguments are also appended to that file as one line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  std::wstring joined;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == L'~') Sleep(static_cast<DWORD>(_wtoi(argv[i] + 1)));
    if (argv[i][0] == L'#') {
      std::printf("%s\n", std::string(static_cast<size_t>(_wtoi(argv[i] + 1)), 'x').c_str());
    } else {
      std::printf("%ls\n", argv[i]);
    }
    if (i > 1) joined += L' ';
    joined += argv[i];
  }
  std::fflush(stdout);
  wchar_t log[MAX_PATH];
  if (GetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", log, MAX_PATH)) {
    if (FILE* f = _wfopen(log, L"a, ccs=UTF-8")) {
      std::fwprintf(f, L"%ls\n", joined.c_str());
      std::fclose(f);
    }
  }
  wchar_t* end = nullptr;
  const long code = argc > 1 ? std::wcstol(argv[1], &end, 10) : 0;
  return argc > 1 && end && *end == L'\0' ? static_cast<int>(code) : 0;
}
