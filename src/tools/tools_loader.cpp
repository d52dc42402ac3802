#include "tools/tools_loader.h"

#include <bcrypt.h>

#include "foundation/win/process_info_record.h"
#include "tools/module_loading_rules.h"
#include "tools/vo_module_entry_points.h"
#include "tools/vo_tools.h"

extern const char kVoToolsModuleSha256[];

namespace {

struct ModuleSlot {
  const wchar_t* file;            // null: the tools module, named at run time
  const char* interface_getter;   // returns the module's interface
  const char* initialize;         // run after loading
  const char* uninitialize;       // run before release
};

// In table order; released in reverse.
constexpr ModuleSlot kModules[kVoModuleCount] = {
    {nullptr, "GetVoToolsDLL", nullptr, nullptr},
    {L"VoImage.dll", "GetVoImageAppDLL", nullptr, nullptr},
    {L"VoReader.dll", nullptr, "VoReaderInitialize", "VoReaderUninitialize"},
    {L"VoDisc.dll", nullptr, "VoDiscInitialize", "VoDiscUninitialize"},
    {L"VoPlayer.dll", "GetVoPlayerDLL", nullptr, nullptr},
    {L"VoWMFactory.dll", nullptr, nullptr, nullptr},
    {L"VoTelevision.dll", "GetVoTelevisionDLL", nullptr, nullptr},
};

struct LoadedModule {
  bool tried = false;
  HMODULE module = nullptr;
  void* interface = nullptr;
};

LoadedModule g_loaded[kVoModuleCount];

class ModuleLock {
 public:
  ModuleLock() { EnterCriticalSection(&Section()); }
  ~ModuleLock() { LeaveCriticalSection(&Section()); }

 private:
  // Initialised in place: a critical section must not be copied once made.
  struct MadeSection {
    CRITICAL_SECTION section;
    MadeSection() { InitializeCriticalSection(&section); }
  };
  static CRITICAL_SECTION& Section() {
    static MadeSection made;
    return made.section;
  }
};

void ShowCriticalError(const wchar_t* caption, const wchar_t* text) {
  MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}
void EndProcess() { ExitProcess(0); }

vo::CriticalErrorReporter g_reporter = ShowCriticalError;
vo::ProcessEnder g_ender = EndProcess;
const char* g_checksum = kVoToolsModuleSha256;

// An exported function by name, typed; through void(*)() since FARPROC's own
// type is only a placeholder.
template <typename Fn>
Fn EntryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

VoString ToolsModuleName() { return vo::ToolsModuleFileName(static_cast<int>(sizeof(void*) * 8)); }

VoString ModuleFileName(VoModule which) {
  const ModuleSlot& slot = kModules[static_cast<int>(which)];
  return slot.file ? VoString(slot.file) : ToolsModuleName();
}

VoString LoadedFilePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return VoString();
    if (length < path.size()) return VoString(std::wstring_view(path.data(), length));
    path.resize(path.size() * 2);
  }
}

bool SameHex(const std::string& a, const char* b) {
  if (a.size() != strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// Start-up cannot go on without the tools library.
bool FailCritically(const VoString& path, const wchar_t* reason) {
  g_reporter(L"Critical Error", vo::CriticalErrorText(path, reason).c_str());
  g_ender();
  return false;
}

void Release(LoadedModule& loaded) {
  if (loaded.module) FreeLibrary(loaded.module);
  loaded.module = nullptr;
  loaded.interface = nullptr;
}

bool LoadToolsLocked(HINSTANCE instance) {
  LoadedModule& loaded = g_loaded[static_cast<int>(VoModule::kTools)];
  if (loaded.tried) return loaded.interface != nullptr;
  loaded.tried = true;
  const VoString path = vo::ModuleLoadPath(ToolsModuleName(), vo::GetProcessPath(ProcessPath::kToolsFolder));
  loaded.module = vo::LoadModuleByRule(path);
  if (!loaded.module) return FailCritically(path, L"Failed to load VoTools");

  // Cheap enough to do on every start.
  std::string actual;
  if (!vo::FileSha256(LoadedFilePath(loaded.module), actual) || !SameHex(actual, g_checksum)) {
    Release(loaded);
    return FailCritically(path, L"The module's file does not match the checksum recorded when it was built.");
  }

  auto get = EntryPoint<GetVoToolsDllFn>(loaded.module, "GetVoToolsDLL");
  IVoTools* tools = get ? get(kVoToolsInterfaceVersion) : nullptr;
  if (!tools || !tools->Initialize(false, instance)) {
    // The library's own reason, taken before the module goes away.
    VoString reason;
    IVoProduct* product = tools ? tools->Product(0) : nullptr;
    if (!product || !product->GetLoadError(reason) || reason.IsEmpty()) {
      reason = L"Unknown error loading product information";
    }
    Release(loaded);
    return FailCritically(path, reason.c_str());
  }
  loaded.interface = tools;
  SetVoTools(tools);
  return true;
}

void LoadSiblingLocked(VoModule which) {
  LoadedModule& loaded = g_loaded[static_cast<int>(which)];
  if (loaded.tried) return;
  loaded.tried = true;
  const ModuleSlot& slot = kModules[static_cast<int>(which)];
  loaded.module = vo::LoadModuleByRule(ModuleFileName(which));
  if (!loaded.module) return;
  if (slot.initialize) {
    auto initialize = EntryPoint<VoModuleInitializeFn>(loaded.module, slot.initialize);
    if (!initialize || !initialize()) Release(loaded);
  } else if (slot.interface_getter) {
    auto get = EntryPoint<GetVoInterfaceDllFn>(loaded.module, slot.interface_getter);
    loaded.interface = get ? get() : nullptr;
    if (!loaded.interface) Release(loaded);
  }
}

}  // namespace

namespace vo {

CriticalErrorReporter SetCriticalErrorReporter(CriticalErrorReporter reporter) {
  ModuleLock lock;
  const CriticalErrorReporter previous = g_reporter;
  g_reporter = reporter ? reporter : ShowCriticalError;
  return previous;
}

ProcessEnder SetProcessEnder(ProcessEnder ender) {
  ModuleLock lock;
  const ProcessEnder previous = g_ender;
  g_ender = ender ? ender : EndProcess;
  return previous;
}

void SetToolsModuleChecksum(const char* sha256_hex) {
  ModuleLock lock;
  g_checksum = sha256_hex ? sha256_hex : kVoToolsModuleSha256;
}

VoString VoModuleFileName(VoModule which) { return ModuleFileName(which); }

HMODULE LoadModuleByRule(const VoString& name) {
  if (IsFullModulePath(name)) return LoadLibraryExW(name.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const VoString folder = GetProcessPath(ProcessPath::kToolsFolder);
  if (folder.IsEmpty()) return LoadLibraryW(name.c_str());
  return LoadLibraryExW(ModuleLoadPath(name, folder).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool LoadToolsLibrary(HINSTANCE instance) {
  ModuleLock lock;
  return LoadToolsLocked(instance);
}

HMODULE GetVoModule(VoModule which) {
  ModuleLock lock;
  if (which == VoModule::kTools) LoadToolsLocked(GetModuleHandleW(nullptr));
  else LoadSiblingLocked(which);
  return g_loaded[static_cast<int>(which)].module;
}

void* GetVoModuleInterface(VoModule which) {
  ModuleLock lock;
  GetVoModule(which);
  return g_loaded[static_cast<int>(which)].interface;
}

void ReleaseToolsLibrary() {
  ModuleLock lock;
  for (int i = kVoModuleCount - 1; i >= 0; --i) {
    LoadedModule& loaded = g_loaded[i];
    if (loaded.module) {
      if (i == static_cast<int>(VoModule::kTools)) {
        auto* tools = static_cast<IVoTools*>(loaded.interface);
        if (VoTools() == tools) SetVoTools(nullptr);
        tools->Uninitialize();
      } else if (const char* name = kModules[i].uninitialize) {
        if (auto uninitialize = EntryPoint<VoModuleUninitializeFn>(loaded.module, name)) {
          uninitialize();
        }
      }
      Release(loaded);
    }
    loaded.tried = false;
  }
}

bool FileSha256(const VoString& path, std::string& hex) {
  hex.clear();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
            BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
  unsigned char buffer[64 * 1024];
  while (ok) {
    DWORD read = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) ok = false;
    else if (read == 0) break;
    else ok = BCRYPT_SUCCESS(BCryptHashData(hash, buffer, read, 0));
  }
  unsigned char digest[32];
  ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
  if (hash) BCryptDestroyHash(hash);
  if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  CloseHandle(file);
  if (!ok) return false;
  static const char kDigits[] = "0123456789abcdef";
  for (unsigned char byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return true;
}

}  // namespace vo
