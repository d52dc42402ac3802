#include "toolslib/product_object.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <utility>

#include "foundation/number_text.h"

namespace {

constexpr wchar_t kFrameClass[] = L"KVFrame";
// The product description's file name, beside the tools module.
constexpr wchar_t kDescriptionFile[] = L"Product.xml";

VoString ModuleFilePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return VoString();
    if (length < path.size()) return VoString(std::wstring_view(path.data(), length));
    path.resize(path.size() * 2);
  }
}

// The file name part of a path.
std::wstring_view FileNamePart(std::wstring_view path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

BOOL CALLBACK PostCloseToFrame(HWND window, LPARAM posted) {
  wchar_t name[64];
  const int length = GetClassNameW(window, name, 64);
  if (length > 0 && vo::EqualsNoCase(std::wstring_view(name, length), kFrameClass)) {
    if (PostMessageW(window, WM_CLOSE, 0, 0)) ++*reinterpret_cast<int*>(posted);
  }
  return TRUE;
}

}  // namespace

VoString VoProductObject::DescriptionBesideModule() {
  HMODULE module = nullptr;
  // The module that holds this code: the tools module, not the program that loaded it.
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&DescriptionBesideModule), &module)) {
    return VoString(kDescriptionFile);
  }
  const VoString path = ModuleFilePath(module);
  const size_t slash = path.FindLast(L'\\');
  return (slash == VoString::npos ? VoString() : path.Left(slash + 1)) + kDescriptionFile;
}

void VoProductObject::LogLine(const VoString& text) {
  if (log_) log_->Write(1, L"Product", text.c_str());
}

bool VoProductObject::Load(const VoString& path) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    path_ = path;  // Reload(L"") tries this file again, also after a failure
  }
  return Reload(path.c_str());
}

void VoProductObject::SetCloseWait(unsigned total_ms, unsigned step_ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  close_wait_ms_ = total_ms;
  close_step_ms_ = step_ms ? step_ms : 1;
}

bool VoProductObject::Reload(const wchar_t* file) {
  VoString path;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    path = file && *file ? VoString(file) : path_;
  }
  // Read without the lock: the other answers stay available meanwhile.
  ProductDescription fresh;
  VoString error;
  const bool ok = fresh.Load(path, error);
  VoString name;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ok) {
      description_ = std::move(fresh);
      load_error_.Clear();
      name = description_.Information().names[3];
    } else {
      load_error_ = error;
    }
  }
  if (!ok) {
    LogLine(error);
    return false;
  }
  LogLine(L"Read \"" + path + L"\": " + name);
  if (loaded_callback_) loaded_callback_();
  return true;
}

bool VoProductObject::GetLoadError(VoString& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  error = load_error_;
  return !load_error_.IsEmpty();
}

void VoProductObject::GetProductName(int form, VoString& out) {
  out = Info([form](const ProductInformation& i) { return form >= 0 && form < 4 ? i.names[form] : VoString(); });
}
void VoProductObject::GetMainProgramName(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.main_program; });
}
void VoProductObject::GetLauncherName(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.launcher; });
}
void VoProductObject::GetStartMenuGroupName(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.start_menu_group; });
}
void VoProductObject::GetStartMenuVersion(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.start_menu_version; });
}
void VoProductObject::GetVersionText(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.version_text; });
}
int VoProductObject::GetMajorVersion() {
  return Info([](const ProductInformation& i) { return i.major_version; });
}
void VoProductObject::GetWebAddress(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.web_address; });
}
void VoProductObject::GetLink(int number, VoString& out) {
  out = Info([number](const ProductInformation& i) {
    const auto it = i.links.find(number);
    return it == i.links.end() ? VoString() : it->second;
  });
}
bool VoProductObject::HasProductFeature(int feature) {
  return Info([feature](const ProductInformation& i) { return i.features.count(feature) != 0; });
}
void VoProductObject::GetMimeTypes(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.mime_types; });
}
void VoProductObject::GetProtocols(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.protocols; });
}
void VoProductObject::GetOwnExtension(VoString& out) {
  out = Info([](const ProductInformation& i) { return i.own_extension; });
}

void VoProductObject::GetConfigString(const wchar_t* path, const wchar_t* default_value, VoString& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  out = description_.ConfigString(path ? path : L"", default_value ? default_value : L"");
}

int VoProductObject::GetConfigInt(const wchar_t* path, int default_value) {
  std::lock_guard<std::mutex> lock(mutex_);
  return description_.ConfigInt(path ? path : L"", default_value);
}

VoStringArray VoProductObject::ProductPrograms() {
  return Info([](const ProductInformation& i) {
    VoStringArray programs = i.server_programs;
    if (!i.main_program.IsEmpty()) programs.InsertAt(0, i.main_program);
    return programs;
  });
}

bool VoProductObject::IsProductRunning() {
  if (FindWindowW(kFrameClass, nullptr)) return true;
  const VoStringArray programs = ProductPrograms();
  if (programs.IsEmpty()) return false;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  // A library inside the product itself does not count its own process.
  const DWORD self = GetCurrentProcessId();
  bool running = false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !running; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == self) continue;
    running = programs.FindNoCase(FileNamePart(entry.szExeFile)) != VoStringArray::npos;
  }
  CloseHandle(snapshot);
  return running;
}

void* VoProductObject::GetProductWindow() { return FindWindowW(kFrameClass, nullptr); }

void VoProductObject::CloseProduct() {
  unsigned total_ms, step_ms;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    total_ms = close_wait_ms_;
    step_ms = close_step_ms_;
  }
  int posted = 0;
  EnumWindows(PostCloseToFrame, reinterpret_cast<LPARAM>(&posted));
  LogLine(L"Asked " + vo::FormatInt(posted) + L" product window(s) to close");
  // The product is asked, never ended by force: it may have work to save.
  const ULONGLONG start = GetTickCount64();
  bool running = IsProductRunning();
  while (running && GetTickCount64() - start < total_ms) {
    Sleep(step_ms);
    running = IsProductRunning();
  }
  LogLine(running ? VoString(L"The product is still running after " + vo::FormatInt(total_ms) + L" ms")
                  : VoString(L"The product is not running"));
}
