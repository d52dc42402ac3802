#include "foundation/win/system_functions.h"

#include <iterator>

#include "foundation/win/library_loader.h"

namespace vo {

namespace {

// Hands the looked-up addresses to the typed entries, in the order of the names.
template <size_t N, typename... Fn>
void Assign(void* const (&found)[N], Fn*&... entries) {
  static_assert(sizeof...(Fn) == N, "one entry per name");
  size_t i = 0;
  ((entries = reinterpret_cast<Fn*>(found[i++])), ...);
}

}  // namespace

SystemFunctionTable::~SystemFunctionTable() { VoLoadLibrary(library_, nullptr); }

void SystemFunctionTable::Load(const wchar_t* library, const char* const* names, void** entries, size_t count) {
  VoLoadLibrary(library_, library);  // no flags: a missing library is not logged
  for (size_t i = 0; i < count; ++i) {
    entries[i] = library_ ? reinterpret_cast<void*>(GetProcAddress(library_, names[i])) : nullptr;
  }
}

const char* const User32Functions::kNames[13] = {
    "RegisterRawInputDevices", "GetRawInputData",     "GetRawInputDeviceList",       "GetRawInputDeviceInfoW",
    "ShutdownBlockReasonCreate", "ChangeWindowMessageFilter", "ChangeWindowMessageFilterEx", "GetPhysicalCursorPos",
    "RegisterTouchWindow",     "GetTouchInputInfo",   "CloseTouchInputHandle",       "GetGestureInfo",
    "SetProcessDPIAware"};

User32Functions::User32Functions() {
  void* found[std::size(kNames)];
  Load(L"user32.dll", kNames, found, std::size(kNames));
  Assign(found, RegisterRawInputDevices, GetRawInputData, GetRawInputDeviceList, GetRawInputDeviceInfoW,
         ShutdownBlockReasonCreate, ChangeWindowMessageFilter, ChangeWindowMessageFilterEx, GetPhysicalCursorPos,
         RegisterTouchWindow, GetTouchInputInfo, CloseTouchInputHandle, GetGestureInfo, SetProcessDPIAware);
}

const char* const Kernel32Functions::kNames[9] = {
    "GetVolumeNameForVolumeMountPointW", "CreateNamedPipeW",    "Wow64EnableWow64FsRedirection",
    "IsWow64Process",                    "GetProcessHandleCount", "GetLargePageMinimum",
    "GetProcessDEPPolicy",               "SetProcessDEPPolicy", "CancelSynchronousIo"};

Kernel32Functions::Kernel32Functions() {
  void* found[std::size(kNames)];
  Load(L"kernel32.dll", kNames, found, std::size(kNames));
  Assign(found, GetVolumeNameForVolumeMountPointW, CreateNamedPipeW, Wow64EnableWow64FsRedirection, IsWow64Process,
         GetProcessHandleCount, GetLargePageMinimum, GetProcessDEPPolicy, SetProcessDEPPolicy, CancelSynchronousIo);
}

const char* const SetupApiFunctions::kNames[14] = {
    "SetupDiGetClassDevsW",          "SetupDiDestroyDeviceInfoList",      "SetupDiEnumDeviceInfo",
    "SetupDiEnumDeviceInterfaces",   "SetupDiGetDeviceInterfaceDetailW",  "SetupDiGetDeviceRegistryPropertyW",
    "SetupDiGetDeviceInterfaceAlias", "SetupDiOpenDeviceInterfaceRegKey", "CM_Request_Device_EjectW",
    "CM_Get_Parent",                 "CM_Get_Parent_Ex",                  "CM_Get_Device_ID_Size",
    "CM_Get_Device_IDW",             "CM_Open_DevNode_Key"};

SetupApiFunctions::SetupApiFunctions() {
  void* found[std::size(kNames)];
  Load(L"setupapi.dll", kNames, found, std::size(kNames));
  Assign(found, SetupDiGetClassDevsW, SetupDiDestroyDeviceInfoList, SetupDiEnumDeviceInfo, SetupDiEnumDeviceInterfaces,
         SetupDiGetDeviceInterfaceDetailW, SetupDiGetDeviceRegistryPropertyW, SetupDiGetDeviceInterfaceAlias,
         SetupDiOpenDeviceInterfaceRegKey, CM_Request_Device_EjectW, CM_Get_Parent, CM_Get_Parent_Ex,
         CM_Get_Device_ID_Size, CM_Get_Device_IDW, CM_Open_DevNode_Key);
}

}  // namespace vo
