#include "installer_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace {

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

struct BoxSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<BoxSearch*>(lparam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (owner == search->process_id && IsWindowVisible(window) && std::wstring(class_name) == L"#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::wstring WindowText(HWND window) {
  wchar_t text[4096] = {};
  GetWindowTextW(window, text, 4096);
  return text;
}

}  // namespace

DistributionCopy::DistributionCopy(const wchar_t* name) {
  parent_ = TempFolder() + L"e2e-" + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  folder_ = parent_ + L"Distribution\\";
  std::error_code ignored;
  std::filesystem::remove_all(parent_, ignored);
  std::filesystem::create_directories(folder_, ignored);
  const std::filesystem::path source = VO_DISTRIBUTION_DIR;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(source, ignored)) {
    const std::filesystem::path target = std::filesystem::path(folder_) / entry.path().lexically_relative(source);
    if (entry.is_directory()) std::filesystem::create_directories(target, ignored);
    else CopyFileW(entry.path().c_str(), target.c_str(), FALSE);
  }
}

DistributionCopy::~DistributionCopy() {
  std::error_code ignored;
  // A program started from the copy may still be ending.
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (std::filesystem::remove_all(parent_, ignored) != static_cast<std::uintmax_t>(-1) && !ignored) return;
    Sleep(100);
  }
}

void DistributionCopy::WriteFile(const std::wstring& relative, const std::string& content) const {
  const std::filesystem::path path = folder_ + relative;
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  std::ofstream(path, std::ios::binary) << content;
}

InstallerRun::~InstallerRun() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
  CloseHandle(process_);
}

bool InstallerRun::Start(const std::wstring& folder, const std::wstring& arguments) {
  return StartProgram(folder + L"HalvoraSetup.exe", arguments);
}

bool InstallerRun::StartProgram(const std::wstring& program, const std::wstring& arguments) {
  const std::wstring folder = program.substr(0, program.rfind(L'\\') + 1);
  std::wstring command_line = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &info)) {
    std::fprintf(stderr, "CreateProcess %ls failed with %lu\n", program.c_str(), GetLastError());
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  process_id_ = info.dwProcessId;
  return true;
}

ShownBox InstallerRun::WaitForBox(DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeout_ms) {
    BoxSearch search{process_id_, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      ShownBox box;
      box.window = search.found;
      box.title = WindowText(search.found);
      // The box's text is its static control 0xFFFF.
      if (HWND text = GetDlgItem(search.found, 0xFFFF)) box.text = WindowText(text);
      return box;
    }
    if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) break;
  }
  return {};
}

void InstallerRun::Press(const ShownBox& box, int button) {
  if (HWND control = GetDlgItem(box.window, button)) SendMessageW(control, BM_CLICK, 0, 0);
  // Wait for the box to go before looking for the next one.
  for (int i = 0; i < 200 && IsWindow(box.window) && IsWindowVisible(box.window); ++i) Sleep(25);
}

bool InstallerRun::WaitForExit(DWORD& exit_code, DWORD timeout_ms) {
  if (WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process_, &exit_code);
  return true;
}

std::string InstallerRun::LogText() const {
  const std::wstring pattern = TempFolder() + L"HalvoraInstall_*_" + std::to_wstring(process_id_) + L".log";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  FindClose(search);
  std::ifstream in(std::filesystem::path(TempFolder() + found.cFileName), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

RunningProduct::RunningProduct(const std::wstring& program, const std::wstring& arguments) {
  std::wstring command_line = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
  }
}

RunningProduct::~RunningProduct() {
  Kill();
  if (process_) CloseHandle(process_);
}

bool RunningProduct::WaitForWindow(DWORD timeout_ms) const {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeout_ms) {
    if (FindWindowW(L"KVFrame", nullptr)) return true;
    Sleep(25);
  }
  return false;
}

bool RunningProduct::IsRunning() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

void RunningProduct::Kill() {
  if (IsRunning()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
}
