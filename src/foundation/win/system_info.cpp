#include "foundation/win/system_info.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include "foundation/processor_features.h"
#include "foundation/string_format.h"

namespace vo {

VoOsVersion GetOsVersion() {
  // GetVersionExW reports what the manifest allows; the loader's own answer
  // is the true version.
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto rtl_get_version =
      ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  if (!rtl_get_version || rtl_get_version(&info) != 0) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return ClassifyOsVersion(0, 0, 0, L"");
#pragma GCC diagnostic pop
  }
  return ClassifyOsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.szCSDVersion);
}

bool HasAdminRights() {
  HKEY product = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\V. Ortala", 0, nullptr, 0,
                      KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &product, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool read_back = false, value_deleted = false;
  HKEY check = nullptr;
  if (RegCreateKeyExW(product, L"Rights Check", 0, nullptr, 0, KEY_READ | KEY_SET_VALUE, nullptr, &check, nullptr) ==
      ERROR_SUCCESS) {
    const VoString name = VoFormat(L"Rights Check (%d)", GetTickCount());
    static const wchar_t kText[] = L"Rights OK";
    if (RegSetValueExW(check, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kText), sizeof(kText)) ==
        ERROR_SUCCESS) {
      wchar_t buffer[129] = {};  // 256 bytes and a terminator of our own
      DWORD type = 0, size = 256;
      if (RegQueryValueExW(check, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
              ERROR_SUCCESS &&
          type == REG_SZ) {
        read_back = std::wcscmp(buffer, kText) == 0;
      }
      value_deleted = RegDeleteValueW(check, name.c_str()) == ERROR_SUCCESS;
    }
    RegCloseKey(check);
  }
  const bool key_deleted = RegDeleteKeyW(product, L"Rights Check") == ERROR_SUCCESS;
  RegCloseKey(product);
  return read_back && value_deleted && key_deleted;
}

namespace {

uint32_t ReadProcessorFeatures() {
  CpuidFacts facts;
#if defined(__i386__) || defined(__x86_64__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(0, a, b, c, d);
  facts.max_leaf = a;
  std::memcpy(facts.vendor, &b, 4);
  std::memcpy(facts.vendor + 4, &d, 4);
  std::memcpy(facts.vendor + 8, &c, 4);
  if (facts.max_leaf >= 1) {
    __cpuid(1, a, b, c, d);
    facts.leaf1_eax = a;
    facts.leaf1_ecx = c;
    facts.leaf1_edx = d;
    // XGETBV faults unless the system has enabled it (OSXSAVE).
    if (c & (1u << 27)) {
      unsigned lo = 0, hi = 0;
      __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
      facts.xcr0 = (static_cast<uint64_t>(hi) << 32) | lo;
    }
  }
  __cpuid(0x80000000u, a, b, c, d);
  facts.max_extended_leaf = a;
  if (facts.max_extended_leaf >= 0x80000001u) {
    __cpuid(0x80000001u, a, b, c, d);
    facts.extended_ecx = c;
    facts.extended_edx = d;
  }
#endif
  return ComputeProcessorFeatures(facts);
}

}  // namespace

uint32_t GetProcessorFeatures() {
  static std::atomic<uint32_t> cached{0};
  uint32_t word = cached.load(std::memory_order_relaxed);
  if (!(word & kCpuComputed)) {
    word = ReadProcessorFeatures();
    cached.store(word, std::memory_order_relaxed);
  }
  return word;
}

bool IsWindows64Bit() {
#if defined(_WIN64)
  return true;
#else
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto is_wow64 = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return is_wow64 && is_wow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}

}  // namespace vo
