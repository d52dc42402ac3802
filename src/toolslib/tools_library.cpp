#include "toolslib/tools_library.h"

#include <windows.h>

#include <type_traits>

#include "foundation/number_text.h"
#include "foundation/path_text.h"

#include "tools/vo_module_entry_points.h"

bool VoToolsLibrary::Initialize(bool flag, void* instance) {
  instance_ = instance;
  log_.Write(1, L"VoTools", flag ? L"Initialized for the product" : L"Initialized for the installer");
  if (!product_.Load(VoProductObject::DescriptionBesideModule())) {
    // A library that failed to start is released without Uninitialize.
    log_.Close();
    return false;
  }
  UpdateSettingsArea();
  product_.SetLoadedCallback([this] { UpdateSettingsArea(); });
  return true;
}

void VoToolsLibrary::ProductFolderChanged(int option) {
  // The product's folders are read from the process information record
  // where they are used, so there is nothing to refresh here yet.
  log_.Write(1, L"VoTools", (L"Product folder changed (option " + vo::FormatInt(option) + L")").c_str());
}

void VoToolsLibrary::UpdateSettingsArea() {
  IVoProduct* product = Product(0);
  if (!product) return;
  VoString name;
  product->GetProductName(0, name);
  registry_.SetSettingsArea(SettingsAreaOf(name.View(), product->GetMajorVersion()).View());
}

void VoToolsLibrary::Uninitialize() {
  log_.Write(1, L"VoTools", L"Uninitialized");
  log_.Close();
  instance_ = nullptr;
}

void VoToolsLibrary::Translate(const wchar_t* text, VoString& out) { out = VoString(text ? text : L""); }

bool VoToolsLibrary::FindImage(const wchar_t* name, VoString& path) {
  path.Clear();
  if (skin_folder_.IsEmpty() || !name || !*name) return false;
  for (const wchar_t* extension : {L".png", L".bmp", L".ico"}) {
    const VoString candidate = skin_folder_ + name + extension;
    const DWORD attributes = GetFileAttributesW(candidate.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      path = candidate;
      return true;
    }
  }
  return false;
}

void VoToolsLibrary::SetSkinFolder(const wchar_t* folder) {
  skin_folder_ = vo::WithTrailingBackslash(folder ? folder : L"");
  if (!folder || !*folder) skin_folder_.Clear();
  log_.Write(1, L"Skin", (L"Skin folder: " + skin_folder_).c_str());
}

void VoToolsLibrary::SelectTitlebarIcon(const wchar_t* image_name) {
  titlebar_icon_ = VoString(image_name ? image_name : L"");
}

// The interface object lives as long as the module; each load starts afresh.
extern "C" __declspec(dllexport) IVoTools* GetVoToolsDLL(int interface_version) {
  static VoToolsLibrary library;
  if (interface_version != kVoToolsInterfaceVersion) return nullptr;
  return &library;
}

// Keep the declared type and the export in step.
static_assert(std::is_same_v<decltype(&GetVoToolsDLL), GetVoToolsDllFn>);
