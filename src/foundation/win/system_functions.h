#pragma once
// System functions that not every Windows version has. Each table loads its
// library and looks its entries up; a missing function is a null entry, and
// callers test an entry before calling it and go without that feature.

#include <windows.h>

#include <cstddef>

namespace vo {

class SystemFunctionTable {
 public:
  ~SystemFunctionTable();
  SystemFunctionTable(const SystemFunctionTable&) = delete;
  SystemFunctionTable& operator=(const SystemFunctionTable&) = delete;
  bool IsLoaded() const { return library_ != nullptr; }

 protected:
  SystemFunctionTable() = default;
  // Loads `library` and fills `entries[i]` with the address of `names[i]`,
  // or null.
  void Load(const wchar_t* library, const char* const* names, void** entries, size_t count);

 private:
  HMODULE library_ = nullptr;
};

// An entry of a table: a function pointer of the function's own type.
template <typename Fn>
using SystemFunction = Fn*;

class User32Functions : public SystemFunctionTable {
 public:
  User32Functions();
  static const char* const kNames[13];

  SystemFunction<BOOL WINAPI(const void*, UINT, UINT)> RegisterRawInputDevices = nullptr;
  SystemFunction<UINT WINAPI(void*, UINT, void*, UINT*, UINT)> GetRawInputData = nullptr;
  SystemFunction<UINT WINAPI(void*, UINT*, UINT)> GetRawInputDeviceList = nullptr;
  SystemFunction<UINT WINAPI(HANDLE, UINT, void*, UINT*)> GetRawInputDeviceInfoW = nullptr;
  SystemFunction<BOOL WINAPI(HWND, LPCWSTR)> ShutdownBlockReasonCreate = nullptr;
  SystemFunction<BOOL WINAPI(UINT, DWORD)> ChangeWindowMessageFilter = nullptr;
  SystemFunction<BOOL WINAPI(HWND, UINT, DWORD, void*)> ChangeWindowMessageFilterEx = nullptr;
  SystemFunction<BOOL WINAPI(POINT*)> GetPhysicalCursorPos = nullptr;
  SystemFunction<BOOL WINAPI(HWND, ULONG)> RegisterTouchWindow = nullptr;
  SystemFunction<BOOL WINAPI(HANDLE, UINT, void*, int)> GetTouchInputInfo = nullptr;
  SystemFunction<BOOL WINAPI(HANDLE)> CloseTouchInputHandle = nullptr;
  SystemFunction<BOOL WINAPI(HANDLE, void*)> GetGestureInfo = nullptr;
  SystemFunction<BOOL WINAPI()> SetProcessDPIAware = nullptr;
};

class Kernel32Functions : public SystemFunctionTable {
 public:
  Kernel32Functions();
  static const char* const kNames[9];

  SystemFunction<BOOL WINAPI(LPCWSTR, LPWSTR, DWORD)> GetVolumeNameForVolumeMountPointW = nullptr;
  SystemFunction<HANDLE WINAPI(LPCWSTR, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, LPSECURITY_ATTRIBUTES)>
      CreateNamedPipeW = nullptr;
  SystemFunction<BOOLEAN WINAPI(BOOLEAN)> Wow64EnableWow64FsRedirection = nullptr;
  SystemFunction<BOOL WINAPI(HANDLE, PBOOL)> IsWow64Process = nullptr;
  SystemFunction<BOOL WINAPI(HANDLE, PDWORD)> GetProcessHandleCount = nullptr;
  SystemFunction<SIZE_T WINAPI()> GetLargePageMinimum = nullptr;
  SystemFunction<BOOL WINAPI(HANDLE, LPDWORD, PBOOL)> GetProcessDEPPolicy = nullptr;
  SystemFunction<BOOL WINAPI(DWORD)> SetProcessDEPPolicy = nullptr;
  SystemFunction<BOOL WINAPI(HANDLE)> CancelSynchronousIo = nullptr;
};

class SetupApiFunctions : public SystemFunctionTable {
 public:
  SetupApiFunctions();
  static const char* const kNames[14];

  using DeviceInfoSet = void*;
  SystemFunction<DeviceInfoSet WINAPI(const GUID*, LPCWSTR, HWND, DWORD)> SetupDiGetClassDevsW = nullptr;
  SystemFunction<BOOL WINAPI(DeviceInfoSet)> SetupDiDestroyDeviceInfoList = nullptr;
  SystemFunction<BOOL WINAPI(DeviceInfoSet, DWORD, void*)> SetupDiEnumDeviceInfo = nullptr;
  SystemFunction<BOOL WINAPI(DeviceInfoSet, void*, const GUID*, DWORD, void*)> SetupDiEnumDeviceInterfaces = nullptr;
  SystemFunction<BOOL WINAPI(DeviceInfoSet, void*, void*, DWORD, PDWORD, void*)> SetupDiGetDeviceInterfaceDetailW =
      nullptr;
  SystemFunction<BOOL WINAPI(DeviceInfoSet, void*, DWORD, PDWORD, PBYTE, DWORD, PDWORD)>
      SetupDiGetDeviceRegistryPropertyW = nullptr;
  SystemFunction<BOOL WINAPI(DeviceInfoSet, void*, const GUID*, void*)> SetupDiGetDeviceInterfaceAlias = nullptr;
  SystemFunction<HKEY WINAPI(DeviceInfoSet, void*, DWORD, REGSAM)> SetupDiOpenDeviceInterfaceRegKey = nullptr;
  SystemFunction<DWORD WINAPI(DWORD, void*, LPWSTR, ULONG, ULONG)> CM_Request_Device_EjectW = nullptr;
  SystemFunction<DWORD WINAPI(PDWORD, DWORD, ULONG)> CM_Get_Parent = nullptr;
  SystemFunction<DWORD WINAPI(PDWORD, DWORD, ULONG, HANDLE)> CM_Get_Parent_Ex = nullptr;
  SystemFunction<DWORD WINAPI(PULONG, DWORD, ULONG)> CM_Get_Device_ID_Size = nullptr;
  SystemFunction<DWORD WINAPI(DWORD, LPWSTR, ULONG, ULONG)> CM_Get_Device_IDW = nullptr;
  SystemFunction<DWORD WINAPI(DWORD, DWORD, REGSAM, DWORD, HKEY*, ULONG)> CM_Open_DevNode_Key = nullptr;
};

}  // namespace vo
