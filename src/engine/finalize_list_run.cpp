#include "engine/finalize_list_run.h"

#include <windows.h>

#include "foundation/string_format.h"
#include "foundation/win/com_server_registration.h"
#include "plugins/install_package.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr wchar_t kLogTitle[] = L"FinishInstall";
constexpr wchar_t kInstallFamily[] = L"Install File";
constexpr wchar_t kDeleteFamily[] = L"Delete File";
constexpr wchar_t kRegisterFamily[] = L"Register File";

VoString Numbered(const wchar_t* family, size_t number) {
  return VoFormat(VoString(family) + L" (%d)", static_cast<int>(number));
}

// The numbered values of one family, from 0 up to the first gap.
VoStringArray ReadFamily(IVoRegistryKey& list, const wchar_t* family) {
  VoStringArray entries;
  for (size_t n = 0;; ++n) {
    const VoString name = Numbered(family, n);
    if (!list.ValueExists(name.c_str())) break;
    VoString entry;
    list.ReadString(name.c_str(), L"", entry);
    entries.Add(entry);
  }
  return entries;
}

// The path before the "|" of an entry and the text after it.
void SplitEntry(const VoString& entry, VoString& path, VoString& rest) {
  const size_t bar = entry.Find(L'|');
  path = (bar == VoString::npos ? entry : entry.Left(bar)).Trimmed();
  rest = bar == VoString::npos ? VoString() : entry.Mid(bar + 1).Trimmed();
}

bool PutInPlace(const VoString& staged, const VoString& destination) {
  SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
  return MoveFileExW(staged.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

bool DeleteListedFile(const VoString& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileW(path.c_str())) return true;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

struct Pass {
  const wchar_t* family;
  VoStringArray entries;
  VoStringArray kept;
};

}  // namespace

FinalizeListOutcome CompleteFinalizeList() {
  FinalizeListOutcome outcome;
  VoRegistryKeyPtr list = OpenStore(L"Installer\\Finalize", 0);
  if (!list) return outcome;
  Pass passes[] = {{kInstallFamily, ReadFamily(*list, kInstallFamily), {}},
                   {kDeleteFamily, ReadFamily(*list, kDeleteFamily), {}},
                   {kRegisterFamily, ReadFamily(*list, kRegisterFamily), {}}};
  list.reset();

  for (Pass& pass : passes) {
    for (const VoString& entry : pass.entries) {
      VoString path, rest;
      SplitEntry(entry, path, rest);
      bool ok = false;
      VoString line;
      if (pass.family == kInstallFamily) {
        if (rest.IsEmpty()) {
          // A package that failed during the installation, staged with
          // its content: installed now, quietly, as the installer would.
          CInstallPackage package;
          package.SetQuiet(true);
          const bool loaded = package.Load(path);
          ok = loaded && package.Install();
          if (ok) package.Cleanup();
          line = ok       ? VoFormat(L"installed package %s", path)
                 : loaded ? VoFormat(L"could not install package %s: %s", path, package.GetFailure())
                          : VoFormat(L"could not load package %s", path);
        } else {
          ok = PutInPlace(path, rest);
          line = ok ? VoFormat(L"installed %s from %s", rest, path)
                    : VoFormat(L"could not install %s from %s (error %d)", rest, path, static_cast<int>(GetLastError()));
        }
      } else if (pass.family == kDeleteFamily) {
        ok = DeleteListedFile(path);
        line = ok ? VoFormat(L"deleted %s", path)
                  : VoFormat(L"could not delete %s (error %d)", path, static_cast<int>(GetLastError()));
      } else {
        ok = RegisterInProcess(path);
        line = VoString(ok ? L"registered " : L"could not register ") + path.View();
      }
      Log(kLogTitle, line);
      if (ok) {
        outcome.done.Add(line);
      } else {
        outcome.failed.Add(line);
        pass.kept.Add(entry);
      }
    }
  }

  if (VoRegistryKeyPtr installer = OpenStore(L"Installer", 0)) installer->DeleteSubkey(L"Finalize");
  bool any_kept = false;
  for (const Pass& pass : passes) any_kept = any_kept || !pass.kept.IsEmpty();
  if (any_kept) {
    if (VoRegistryKeyPtr rest = OpenStore(L"Installer\\Finalize", 1)) {
      for (const Pass& pass : passes) {
        for (size_t n = 0; n < pass.kept.GetCount(); ++n) {
          rest->WriteString(Numbered(pass.family, n).c_str(), pass.kept[n].c_str(), kVoValuePlain);
        }
      }
    }
  }
  return outcome;
}

}  // namespace vo
