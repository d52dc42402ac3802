#include "engine/shortcuts.h"

#include <windows.h>
#include <objidl.h>
#include <oleauto.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>
#include <string>

#include "app/session.h"
#include "app/session_queries.h"
#include "foundation/ansi_code_page.h"
#include "foundation/number_text.h"
#include "foundation/path_text.h"
#include "foundation/win/file_system.h"
#include "foundation/win/folder_tree_delete.h"
#include "foundation/win/resource_lookup.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr int kArtLookup = 3;  // custom art first, then the default art
constexpr int kFeatureMediaServer = 104;
constexpr int kFeatureParvel = 24;
constexpr int kFeatureOstrin = 22;

std::optional<ShortcutFolders>& FolderOverride() {
  static std::optional<ShortcutFolders> folders;
  return folders;
}

VoString ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return WithTrailingBackslash(path);
}

VoString FindIcon(const wchar_t* name) { return FindResourceFile(kArtLookup, name); }

// Fills the link object through one of its two text interfaces (`Text`
// turns the caller's texts into what that interface takes), saves it and
// releases it.
template <typename Link, typename Text>
HRESULT SaveLink(Link* shell_link, Text text, const VoString& target, const VoString& link, const VoString& arguments,
                 const VoString* icon) {
  shell_link->SetPath(text(target).c_str());
  shell_link->SetDescription(text(VoString()).c_str());
  shell_link->SetArguments(text(arguments).c_str());
  if (icon) shell_link->SetIconLocation(text(*icon).c_str(), 0);
  IPersistFile* file = nullptr;
  HRESULT result = shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(result)) {
    BSTR path = SysAllocString(link.c_str());
    result = file->Save(path, TRUE);
    SysFreeString(path);
    file->Release();
  }
  shell_link->Release();
  return result;
}

template <typename Link>
HRESULT CreateLinkObject(REFIID link_interface, Link** shell_link) {
  *shell_link = nullptr;
  return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, link_interface,
                          reinterpret_cast<void**>(shell_link));
}

std::wstring WideText(const VoString& text) { return text.Std(); }
std::string AnsiText(const VoString& text) { return TextToAnsi(text.View()); }

}  // namespace

ShortcutFolders GetShortcutFolders() {
  if (FolderOverride()) return *FolderOverride();
  ShortcutFolders folders;
  folders.common_programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
  folders.common_desktop = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
  const VoString app_data = ShellFolder(CSIDL_APPDATA);
  if (!app_data.IsEmpty()) folders.quick_launch = app_data + L"Microsoft\\Internet Explorer\\Quick Launch\\";
  return folders;
}

void OverrideShortcutFolders(const ShortcutFolders* folders) {
  if (folders) {
    FolderOverride() = *folders;
  } else {
    FolderOverride().reset();
  }
}

HRESULT CreateShellLinkAnsi(const VoString& target, const VoString& link, const VoString& arguments,
                            const VoString* icon) {
  IShellLinkA* shell_link = nullptr;
  const HRESULT result = CreateLinkObject(IID_IShellLinkA, &shell_link);
  if (FAILED(result)) return result;
  return SaveLink(shell_link, AnsiText, target, link, arguments, icon);
}

HRESULT CreateShellLink(const VoString& target, const VoString& link, const VoString& arguments,
                        const VoString* icon) {
  IShellLinkW* shell_link = nullptr;
  // Systems without the wide interface get the ANSI one.
  if (FAILED(CreateLinkObject(IID_IShellLinkW, &shell_link))) return CreateShellLinkAnsi(target, link, arguments, icon);
  return SaveLink(shell_link, WideText, target, link, arguments, icon);
}

void CreateShortcutIfTargetExists(const VoString& link, const VoString& target, const VoString& arguments,
                                  const VoString& icon) {
  // A companion tool that was not installed gets no shortcut.
  if (!FileExists(target)) return;
  CreateShellLink(target, link, arguments, &icon);
}

void CreateStartMenuShortcuts() {
  VoString version_text, group_name;
  if (IVoProduct* product = Product()) {
    product->GetStartMenuVersion(version_text);
    product->GetStartMenuGroupName(group_name);
  }
  if (VoRegistryKeyPtr installer = OpenStore(L"Installer", 0)) {
    installer->WriteInt(L"Start Menu Version", ParseInt(version_text.View()));
  }

  // The group folder is deleted with everything in it below; without a
  // programs folder or a group name that would be the wrong folder.
  const VoString programs = GetShortcutFolders().common_programs;
  const VoString name = group_name.Trimmed();
  if (programs.IsEmpty() || name.IsEmpty() || name == L"." || name == L".." || name.Find(L'\\') != VoString::npos ||
      name.Find(L'/') != VoString::npos) {
    Log(L"CreateStartMenuShortcuts", VoString(L"no Start Menu group: \"") + group_name.View() + L"\"");
    return;
  }
  const VoString group = programs + group_name.View() + L"\\";
  // Shortcuts of an earlier installation disappear with the old group.
  DeleteFolderTree(group);
  CreateFolderTree(group, false);

  const VoString& folder = Session().InstallDirectory;
  const VoString product_name = ProductName(1);
  const VoString no_arguments;
  CreateShortcutIfTargetExists(group + product_name.View() + L".lnk", MainProgramPath(), no_arguments,
                               FindIcon(L"Application.ico"));
  if (HasProductFeature(kFeatureMediaServer)) {
    CreateShortcutIfTargetExists(group + L"Media Server.lnk", LauncherProgramPath(), VoString(L"/MediaServer"),
                                 FindIcon(L"Server.ico"));
  }
  CreateShortcutIfTargetExists(group + L"Uninstall " + product_name.View() + L".lnk", folder + L"VoMediaUninstall.exe",
                               no_arguments, VoString());
  if (HasProductFeature(kFeatureParvel)) {
    CreateShortcutIfTargetExists(group + L"Parvel.lnk", folder + L"Parvel.exe", no_arguments, VoString());
  }
  if (HasProductFeature(kFeatureOstrin)) {
    CreateShortcutIfTargetExists(group + L"Ostrin.lnk", folder + L"Ostrin.exe", no_arguments, VoString());
  }
}

void CreateQuickLaunchShortcut() {
  const VoString quick_launch = GetShortcutFolders().quick_launch;
  if (quick_launch.IsEmpty()) return;
  if (!FolderExists(quick_launch)) CreateFolderTree(quick_launch, false);
  CreateShortcutIfTargetExists(quick_launch + ProductName(1).View() + L".lnk", MainProgramPath(), VoString(),
                               FindIcon(L"application.ico"));
}

void CreateDesktopShortcut() {
  const VoString desktop = GetShortcutFolders().common_desktop;
  if (desktop.IsEmpty()) return;
  CreateShortcutIfTargetExists(desktop + ProductName(1).View() + L".lnk", MainProgramPath(), VoString(),
                               FindIcon(L"application.ico"));
}

bool CreateShortcuts(const ShortcutChoices& choices) {
  if (Session().Portable) return true;
  if (choices.start_menu) CreateStartMenuShortcuts();
  if (choices.quick_launch) CreateQuickLaunchShortcut();
  if (choices.desktop) CreateDesktopShortcut();
  return true;
}

}  // namespace vo
