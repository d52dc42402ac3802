#pragma once
// Test helper: the product's package installer as an installation leaves it,
// beside the tools library's modules and the product description, in
// `folder` (with its trailing backslash). True when every file was copied.

#include <windows.h>

#include "foundation/vo_string.h"

inline bool InstallPackageInstallerInto(const VoString& folder) {
  const VoString modules = VoString::FromUtf8(VO_TOOLS_MODULE_DIR "/");
  for (const wchar_t* name : {L"VoTools64.dll", L"VoImage.dll", L"VoReader.dll", L"VoDisc.dll", L"VoPlayer.dll",
                              L"VoWMFactory.dll", L"VoTelevision.dll", L"Product.xml"}) {
    if (!CopyFileW((modules + name).c_str(), (folder + name).c_str(), FALSE)) return false;
  }
  return CopyFileW(VoString::FromUtf8(VO_PACKAGE_INSTALLER).c_str(), (folder + L"PackageInstaller.exe").c_str(),
                   FALSE) != 0;
}
