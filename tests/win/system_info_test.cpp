// System facts under Wine: the true version, the rights test against the
// real registry, the processor word, known folders, optional system
// functions, library loading and file versions of built test programs.

#include "foundation/win/system_info.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/processor_features.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/library_loader.h"
#include "foundation/win/system_functions.h"
#include "foundation/win/version_info.h"
#include "program_folder_fixture.h"
#include "support/fake_tools.h"

namespace {

TEST(SystemInfo, OsVersionIsTheTrueVersion) {
  OSVERSIONINFOEXW truth = {};
  truth.dwOSVersionInfoSize = sizeof(truth);
  using Fn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  auto rtl = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtl, nullptr);
  ASSERT_EQ(rtl(&truth), 0);

  const VoOsVersion version = vo::GetOsVersion();
  const VoOsVersion expected =
      vo::ClassifyOsVersion(truth.dwPlatformId, truth.dwMajorVersion, truth.dwMinorVersion, truth.szCSDVersion);
  EXPECT_EQ(version.code, expected.code);
  EXPECT_EQ(version.name, expected.name);
  EXPECT_EQ(version.major, truth.dwMajorVersion);
  EXPECT_EQ(version.minor, truth.dwMinorVersion);
  EXPECT_NE(version.code, vo::kOsUnknown);

  // The test program's manifest declares Windows 10, so even the compatible
  // answer is the true one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  OSVERSIONINFOW compatible = {};
  compatible.dwOSVersionInfoSize = sizeof(compatible);
  ASSERT_TRUE(GetVersionExW(&compatible));
#pragma GCC diagnostic pop
  EXPECT_EQ(compatible.dwMajorVersion, truth.dwMajorVersion);
  EXPECT_EQ(compatible.dwMinorVersion, truth.dwMinorVersion);
}

TEST(SystemInfo, AdminRightsTestLeavesNoTrace) {
  EXPECT_TRUE(vo::HasAdminRights());  // the prefix's user is an administrator
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\V. Ortala\\Rights Check", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  if (key) RegCloseKey(key);
  EXPECT_TRUE(vo::HasAdminRights());  // and again, with the product key already there
}

TEST(SystemInfo, ProcessorWordOfThisMachine) {
  const uint32_t word = vo::GetProcessorFeatures();
  // Every 64-bit processor has these.
  for (uint32_t bit : {vo::kCpuComputed, vo::kCpuMmx, vo::kCpuSse, vo::kCpuSse2, vo::kCpuLongMode}) {
    EXPECT_TRUE(word & bit) << std::hex << bit;
  }
  EXPECT_EQ(vo::GetProcessorFeatures(), word);
}

bool IsFolder(const VoString& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SystemInfo, KnownFoldersEndInOneBackslash) {
  ProgramFolderOverride program(VoString(L"C:\\Program Files\\Halvora"));
  wchar_t program_files[MAX_PATH] = {};
  DWORD size = sizeof(program_files);
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir",
                         RRF_RT_REG_SZ, nullptr, program_files, &size),
            ERROR_SUCCESS);
  struct Case {
    const char* what;
    VoString folder;
    bool exists;
    const wchar_t* expected;  // or null
  };
  const VoString pf = VoString(program_files) + L"\\";
  const Case cases[] = {
      {"executable", vo::GetExecutableFolder(), true, nullptr},
      {"system", vo::GetSystemFolder(), true, nullptr},
      {"fonts", vo::GetFontsFolder(), true, nullptr},
      {"program files", vo::GetProgramFilesFolder(), true, pf.c_str()},
      {"music", vo::GetMusicFolder(), false, nullptr},
      {"program", vo::GetProgramFolder(), false, L"C:\\Program Files\\Halvora\\"},
      {"shared data", vo::GetSharedDataFolder(), false, L"C:\\Program Files\\Halvora\\Application Data\\"},
      {"mini view", vo::GetSkinViewFolder(SkinView::kMiniView), false, L"C:\\Program Files\\Halvora\\Skins\\Mini View\\"},
      {"standard view", vo::GetSkinViewFolder(SkinView::kStandardView), false,
       L"C:\\Program Files\\Halvora\\Skins\\Standard View\\"},
      {"panorel", vo::GetSkinViewFolder(SkinView::kPanorel), false, L"C:\\Program Files\\Halvora\\Skins\\Panorel\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_GE(c.folder.Length(), 4u) << c.folder.ToUtf8();
    EXPECT_EQ(c.folder[c.folder.Length() - 1], L'\\');
    EXPECT_NE(c.folder[c.folder.Length() - 2], L'\\');
    if (c.exists) {
      EXPECT_TRUE(IsFolder(c.folder)) << c.folder.ToUtf8();
    }
    if (c.expected) {
      EXPECT_EQ(c.folder, c.expected);
    }
  }
  EXPECT_TRUE(vo::GetFontsFolder().View().ends_with(L"\\Fonts\\"));
  EXPECT_TRUE(vo::GetProgramFile().EqualsNoCase(vo::GetExecutableFolder() + L"foundation_tests.exe"));

  ProgramFolderOverride none(VoString{});
  EXPECT_EQ(vo::GetSharedDataFolder(), L"");
  EXPECT_EQ(vo::GetSkinViewFolder(SkinView::kPanorel), L"");
}

struct Entry {
  const wchar_t* library;
  const char* name;
  void* found;
};
#define VO_ENTRY(library, table, name) Entry{library, #name, reinterpret_cast<void*>(table.name)}

TEST(SystemInfo, SystemFunctionTablesMatchTheLibraries) {
  const vo::User32Functions user;
  const vo::Kernel32Functions kernel;
  const vo::SetupApiFunctions setup;
  EXPECT_TRUE(user.IsLoaded());
  EXPECT_TRUE(kernel.IsLoaded());
  EXPECT_TRUE(setup.IsLoaded());
  const Entry entries[] = {
      VO_ENTRY(L"user32.dll", user, RegisterRawInputDevices),
      VO_ENTRY(L"user32.dll", user, GetRawInputData),
      VO_ENTRY(L"user32.dll", user, GetRawInputDeviceList),
      VO_ENTRY(L"user32.dll", user, GetRawInputDeviceInfoW),
      VO_ENTRY(L"user32.dll", user, ShutdownBlockReasonCreate),
      VO_ENTRY(L"user32.dll", user, ChangeWindowMessageFilter),
      VO_ENTRY(L"user32.dll", user, ChangeWindowMessageFilterEx),
      VO_ENTRY(L"user32.dll", user, GetPhysicalCursorPos),
      VO_ENTRY(L"user32.dll", user, RegisterTouchWindow),
      VO_ENTRY(L"user32.dll", user, GetTouchInputInfo),
      VO_ENTRY(L"user32.dll", user, CloseTouchInputHandle),
      VO_ENTRY(L"user32.dll", user, GetGestureInfo),
      VO_ENTRY(L"user32.dll", user, SetProcessDPIAware),
      VO_ENTRY(L"kernel32.dll", kernel, GetVolumeNameForVolumeMountPointW),
      VO_ENTRY(L"kernel32.dll", kernel, CreateNamedPipeW),
      VO_ENTRY(L"kernel32.dll", kernel, Wow64EnableWow64FsRedirection),
      VO_ENTRY(L"kernel32.dll", kernel, IsWow64Process),
      VO_ENTRY(L"kernel32.dll", kernel, GetProcessHandleCount),
      VO_ENTRY(L"kernel32.dll", kernel, GetLargePageMinimum),
      VO_ENTRY(L"kernel32.dll", kernel, GetProcessDEPPolicy),
      VO_ENTRY(L"kernel32.dll", kernel, SetProcessDEPPolicy),
      VO_ENTRY(L"kernel32.dll", kernel, CancelSynchronousIo),
      VO_ENTRY(L"setupapi.dll", setup, SetupDiGetClassDevsW),
      VO_ENTRY(L"setupapi.dll", setup, SetupDiDestroyDeviceInfoList),
      VO_ENTRY(L"setupapi.dll", setup, SetupDiEnumDeviceInfo),
      VO_ENTRY(L"setupapi.dll", setup, SetupDiEnumDeviceInterfaces),
      VO_ENTRY(L"setupapi.dll", setup, SetupDiGetDeviceInterfaceDetailW),
      VO_ENTRY(L"setupapi.dll", setup, SetupDiGetDeviceRegistryPropertyW),
      VO_ENTRY(L"setupapi.dll", setup, SetupDiGetDeviceInterfaceAlias),
      VO_ENTRY(L"setupapi.dll", setup, SetupDiOpenDeviceInterfaceRegKey),
      VO_ENTRY(L"setupapi.dll", setup, CM_Request_Device_EjectW),
      VO_ENTRY(L"setupapi.dll", setup, CM_Get_Parent),
      VO_ENTRY(L"setupapi.dll", setup, CM_Get_Parent_Ex),
      VO_ENTRY(L"setupapi.dll", setup, CM_Get_Device_ID_Size),
      VO_ENTRY(L"setupapi.dll", setup, CM_Get_Device_IDW),
      VO_ENTRY(L"setupapi.dll", setup, CM_Open_DevNode_Key),
  };
  ASSERT_EQ(std::size(entries),
            std::size(vo::User32Functions::kNames) + std::size(vo::Kernel32Functions::kNames) +
                std::size(vo::SetupApiFunctions::kNames));
  int present = 0;
  for (const Entry& e : entries) {
    HMODULE library = GetModuleHandleW(e.library);
    ASSERT_NE(library, nullptr);  // the tables keep their libraries loaded
    EXPECT_EQ(e.found, reinterpret_cast<void*>(GetProcAddress(library, e.name))) << e.name;
    present += e.found != nullptr;
  }
  EXPECT_GT(present, 20);
}

TEST(SystemInfo, LoadLibraryIntoASlot) {
  struct Case {
    const wchar_t* name;
    DWORD flags;
    bool loaded;
    const wchar_t* logged;
  };
  const Case cases[] = {
      {L"version.dll", 0, true, nullptr},
      {L"version.dll", vo::kLogLoadFailure, true, nullptr},
      {L"no_such_library.dll", 0, false, nullptr},
      {L"no_such_library.dll", vo::kLogLoadFailure, false, L"Loading no_such_library.dll failed, error: 126"},
      {L"", vo::kLogLoadFailure, false, nullptr},
  };
  for (const Case& c : cases) {
    FakeTools tools;
    HMODULE slot = nullptr;
    vo::VoLoadLibrary(slot, L"setupapi.dll");  // held before: released by the next load
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(vo::VoLoadLibrary(slot, c.name, c.flags), c.loaded) << VoString(c.name).ToUtf8();
    EXPECT_EQ(slot != nullptr, c.loaded);
    const auto log = tools.LogTexts(L"VoLoadLibrary");
    if (c.logged) {
      ASSERT_EQ(log.size(), 1u);
      EXPECT_EQ(log[0], c.logged);
    } else {
      EXPECT_TRUE(log.empty());
    }
    vo::VoLoadLibrary(slot, nullptr);
    EXPECT_EQ(slot, nullptr);
  }
}

TEST(SystemInfo, FileVersionsOfBuiltPrograms) {
  CVersionInfo info;
  VoString version;
  EXPECT_EQ(info.GetFileVersion(version), E_FAIL);  // nothing loaded yet
  ASSERT_EQ(info.Load(vo::GetExecutableFolder() + L"exit_with.exe"), S_OK);
  ASSERT_EQ(info.GetFileVersion(version), S_OK);
  EXPECT_EQ(version, L"1.2.3.4");
  ASSERT_EQ(info.GetFileVersion(version, false), S_OK);
  EXPECT_EQ(version, L"1.2.3");

  for (const wchar_t* file : {L"sleep_forever.exe", L"no_such_file.exe"}) {
    EXPECT_EQ(info.Load(vo::GetExecutableFolder() + file), E_FAIL);
    EXPECT_EQ(info.GetFileVersion(version), E_FAIL);
  }
}

}  // namespace
