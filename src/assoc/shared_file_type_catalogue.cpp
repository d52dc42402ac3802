#include "assoc/shared_file_type_catalogue.h"

#include <windows.h>

#include <memory>
#include <mutex>

#include "foundation/win/known_folders.h"
#include "foundation/win/resource_lookup.h"
#include "plugins/plugin_types.h"
#include "tools/vo_tools.h"

namespace {

constexpr wchar_t kCatalogueFile[] = L"FileAssociations.xml";
// Custom resources first, then the default resources.
constexpr int kResourceLookup = 0;

void EndProcessQuietly() { ExitProcess(0); }

vo::CatalogueFailureEnder g_failure_ender = EndProcessQuietly;

VoStringArray InstalledInputTypes() {
  VoStringArray types;
  for (const vo::RegisteredPluginType& plugin : vo::ReadPluginTypes(L"Input")) types.Add(plugin.Type);
  return types;
}

void ShowFatalBox(const VoString& text) {
  IVoTools* tools = VoTools();
  if (tools && tools->Dialogs()) {
    tools->Dialogs()->ShowInformation(L"Information", text.c_str());
  } else {
    MessageBoxW(nullptr, text.c_str(), L"Information", MB_OK | MB_ICONINFORMATION);
  }
}

std::mutex g_shared_lock;
std::unique_ptr<FileTypeCatalogue> g_shared;

}  // namespace

FileTypeCatalogue::FileTypeCatalogue() {
  path_ = vo::FindResourceFile(kResourceLookup, kCatalogueFile);
  XmlDocument document;
  vo::CatalogueReadResult result = vo::CatalogueReadResult::kWrongRoot;
  if (!path_.IsEmpty() && document.LoadFile(path_)) {
    vo::CatalogueOverrides overrides;
    overrides.DefaultFileTypes = vo::ConfigString(L"/*/Product/DefaultFileTypes");
    overrides.DefaultAssocFileTypes = vo::ConfigString(L"/*/Product/DefaultAssocFileTypes");
    result = vo::ReadFileTypeCatalogue(document, InstalledInputTypes(), overrides, content_);
  }
  if (result == vo::CatalogueReadResult::kRead) return;
  // The box names where the file belongs when there is none.
  if (path_.IsEmpty()) path_ = vo::GetSharedDataFolder() + L"Default Resources\\" + kCatalogueFile;
  const VoString text = vo::CatalogueFailureText(path_.View(), content_.VersionText.View());
  vo::Log(L"FileTypeCatalogue", text);
  ShowFatalBox(text);
  content_ = vo::FileTypeCatalogueContent();
  g_failure_ender();
}

const VoStringArray& FileTypeCatalogue::List(int list) const {
  static const VoStringArray kNone;
  if (list < 0 || list >= vo::kFileTypeListCount) return kNone;
  return content_.Lists[list];
}

namespace vo {

const FileTypeCatalogue& SharedFileTypeCatalogue() {
  std::lock_guard<std::mutex> hold(g_shared_lock);
  if (!g_shared) g_shared = std::make_unique<FileTypeCatalogue>();
  return *g_shared;
}

void ForgetSharedFileTypeCatalogue() {
  std::lock_guard<std::mutex> hold(g_shared_lock);
  g_shared.reset();
}

CatalogueFailureEnder SetCatalogueFailureEnder(CatalogueFailureEnder ender) {
  CatalogueFailureEnder previous = g_failure_ender;
  g_failure_ender = ender ? ender : EndProcessQuietly;
  return previous;
}

}  // namespace vo
