#include "plugins/install_wa_plugin.h"

#include <windows.h>

#include <string>

#include "foundation/path_text.h"
#include "foundation/ansi_code_page.h"
#include "foundation/number_text.h"
#include "foundation/string_format.h"
#include "foundation/win/library_loader.h"
#include "plugins/plugin_interfaces.h"
#include "plugins/uninstall_record.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr wchar_t kLogTitle[] = L"CInstallWAPlugin";
constexpr char kGirderUrl[] = "https://www.girder.example/";
constexpr const char* kGirderExports[] = {"gir_open",  "gir_requested_api", "gir_devicenum", "gir_config",
                                          "gir_close", "gir_start",         "gir_info",      "gir_stop",
                                          "gir_name",  "gir_description",   "gir_version",   "gir_compare"};
// Tells the running product to load its plug-ins again.
constexpr UINT kProductCommandMessage = WM_APP + 1000;
constexpr WPARAM kReloadPluginsCommand = 33011;

template <typename Fn>
Fn Export(HMODULE library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// A text of at most `limit` bytes from a plug-in, converted from 8 bits.
VoString PluginText(const char* text, size_t limit = 4096) {
  if (!text) return {};
  size_t length = 0;
  while (length < limit && text[length]) ++length;
  return AnsiToText(std::string_view(text, length)).Trimmed();
}

// The settings area's path of a store, for "K" entries.
VoString StorePath(const VoString& store) {
  VoString root;
  if (IVoTools* tools = VoTools(); tools && tools->Registry()) tools->Registry()->GetSettingsRoot(root);
  return root + L"\\" + store.View();
}

// One key below "Plugins\<kind>"; a name that would climb out or nest is refused.
bool UsableKeyName(const VoString& name) {
  return !name.IsEmpty() && name.Find(L'\\') == VoString::npos && name != L"." && name != L"..";
}

bool WriteInputEntries(const VoString& path, const VoString& description, const VoString& types, int version,
                       PluginRegistration& result) {
  VoStringArray written;
  for (const VoString& raw : VoStringArray::Split(types.View(), L";")) {
    const VoString type = raw.Trimmed();
    if (!UsableKeyName(type)) continue;
    const VoString store = VoString(L"Plugins\\Input\\") + type.View();
    VoRegistryKeyPtr entry = OpenStore(store.c_str(), 1);
    if (!entry) continue;
    entry->WriteString(L"Path", path.c_str(), kVoValuePlain);
    entry->WriteString(L"Plugin Description", description.c_str(), kVoValuePlain);
    entry->WriteString(L"File Description", types.c_str(), kVoValuePlain);
    entry->WriteString(L"Name", FileNameOf(path).c_str(), kVoValuePlain);
    entry->WriteInt(L"IVersion", version);
    entry->DeleteValue(L"strPath");
    result.recorded.Add(VoString(L"K") + StorePath(store).View());
    written.Add(type);
  }
  return !written.IsEmpty();
}

bool WriteDspEntry(const VoString& path, const VoString& name, const VoString& description,
                   PluginRegistration& result) {
  if (!UsableKeyName(name)) return false;
  const VoString store = VoString(L"Plugins\\DSP\\") + name.View();
  VoRegistryKeyPtr entry = OpenStore(store.c_str(), 1);
  if (!entry) return false;
  entry->WriteString(L"Path", path.c_str(), kVoValuePlain);
  entry->WriteString(L"Description", description.c_str(), kVoValuePlain);
  entry->WriteInt(L"IVersion", 1);
  result.recorded.Add(VoString(L"K") + StorePath(store).View());
  return true;
}

// The extensions of a Winamp module's list of (extensions, description) pairs.
VoString WinampFileTypes(const char* list) {
  VoStringArray types;
  if (!list) return {};
  // A bounded walk: a list without its final empty text ends the reading.
  size_t at = 0;
  for (int pair = 0; pair < 256 && list[at]; ++pair) {
    const VoString extensions = PluginText(list + at);
    at += std::char_traits<char>::length(list + at) + 1;
    if (!list[at]) {
      types.Add(extensions);
      break;
    }
    at += std::char_traits<char>::length(list + at) + 1;
    types.Add(extensions);
  }
  return types.Join(L";");
}

intptr_t VstHost(plugin::VstEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == plugin::kVstHostVersion ? 2400 : 0;
}

void RegisterOwnInput(HMODULE library, const VoString& path, PluginRegistration& result) {
  auto get_source = Export<plugin::GetInputSourceFn>(library, "GetInputSource");
  plugin::IVoInputSource* source = get_source(VoTools());
  if (!source) {
    result.refusal = VoString(L"Unsupported plugin type.  The plugin can not be installed.");
    return;
  }
  wchar_t buffer[1024];
  auto item = [&](int number) {
    buffer[0] = 0;
    if (!source->GetInfo(number, buffer, static_cast<int>(std::size(buffer)))) return VoString();
    buffer[std::size(buffer) - 1] = 0;
    return VoString(buffer).Trimmed();
  };
  VoString description = item(plugin::kInputInfoDescription);
  if (description.IsEmpty()) description = L"Unknown input plug-in";
  const int version = ParseInt(item(plugin::kInputInfoVersion).View());
  const VoString types = item(plugin::kInputInfoFileTypes);
  source->Release();
  result.name = description;
  if (version != plugin::kRequiredInputVersion) {
    result.refusal = VoFormat(
        L"The input plugin '%s' is not the correct version.\r\n\r\nPlugin version: %d\r\nRequired version: %d",
        description, version, plugin::kRequiredInputVersion);
    return;
  }
  result.registered = WriteInputEntries(path, description, types, plugin::kRequiredInputVersion, result);
}

void RegisterGirder(HMODULE library, const VoString& path, PluginRegistration& result) {
  auto text = [&](const char* name) {
    char buffer[256] = {};
    Export<plugin::GirderTextFn>(library, name)(buffer, static_cast<int>(sizeof(buffer) - 1));
    buffer[sizeof(buffer) - 1] = 0;
    return PluginText(buffer, 255);
  };
  result.name = text("gir_name");
  if (!UsableKeyName(result.name)) {
    result.refusal = VoString(L"Unsupported plugin type.  The plugin can not be installed.");
    return;
  }
  const VoString store = VoString(L"Plugins\\RemoteControl\\") + result.name.View();
  VoRegistryKeyPtr entry = OpenStore(store.c_str(), 1);
  if (!entry) return;
  entry->WriteInt(L"GirderPlugin", 1);
  entry->WriteInt(L"IVersion", 2);
  entry->WriteString(L"Company", L"Girder", kVoValuePlain);
  entry->WriteString(L"Version", text("gir_version").c_str(), kVoValuePlain);
  entry->WriteString(L"URL", VoString::FromUtf8(kGirderUrl).c_str(), kVoValuePlain);
  entry->WriteString(L"Copyright", L"Plugin Author", kVoValuePlain);
  entry->WriteString(L"Filename", path.c_str(), kVoValuePlain);
  entry->WriteInt(L"Configurable", 1);
  result.recorded.Add(VoString(L"K") + StorePath(store).View());
  result.registered = true;
}

bool IsGirder(HMODULE library) {
  for (const char* name : kGirderExports) {
    if (!GetProcAddress(library, name)) return false;
  }
  return true;
}

void RegisterLoaded(HMODULE library, const VoString& path, PluginRegistration& result) {
  if (GetProcAddress(library, "GetInputSource")) {
    RegisterOwnInput(library, path, result);
  } else if (auto get_module = Export<plugin::WinampGetInModuleFn>(library, "winampGetInModule2")) {
    const plugin::WinampInModule* module = get_module();
    if (!module) return;
    result.name = PluginText(module->description);
    result.registered = WriteInputEntries(path, result.name, WinampFileTypes(module->file_extensions),
                                          plugin::kRequiredInputVersion, result);
  } else if (auto get_header = Export<plugin::WinampDspGetHeaderFn>(library, "winampDSPGetHeader2")) {
    const plugin::WinampDspHeader* header = get_header();
    if (!header) return;
    result.name = PluginText(header->description);
    result.registered = WriteDspEntry(path, result.name, result.name, result);
  } else if (auto vst_main = Export<plugin::VstPluginMainFn>(library, "VSTPluginMain")) {
    plugin::VstEffect* effect = vst_main(VstHost);
    if (!effect || effect->magic != plugin::kVstMagic || !effect->dispatcher) {
      Log(kLogTitle, VoString(L"Not a VST effect (PtsV or VstP expected): ") + path.View());
      result.refusal = VoString(L"Unsupported plugin type.  The plugin can not be installed.");
      return;
    }
    char name[plugin::kVstNameLength + 1] = {};
    effect->dispatcher(effect, plugin::kVstOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, plugin::kVstGetEffectName, 0, 0, name, 0.0f);
    effect->dispatcher(effect, plugin::kVstClose, 0, 0, nullptr, 0.0f);
    result.name = PluginText(name, plugin::kVstNameLength);
    if (result.name.IsEmpty()) result.name = FileNameOf(path);
    result.registered = WriteDspEntry(path, result.name, VoFormat(L"%s (VST Plugin)", result.name), result);
  } else if (GetProcAddress(library, "winampVisGetHeader")) {
    result.refusal = VoString(L"Winamp 2.x visualization plug-ins are not supported.");
  } else if (IsGirder(library)) {
    RegisterGirder(library, path, result);
  } else {
    result.refusal = VoString(L"Unsupported plugin type.  The plugin can not be installed.");
  }
}

void TellProductToReload() {
  HWND product = FindWindowW(L"KVFrame", nullptr);
  if (!product) return;
  // A product that does not answer must not hold the installation up.
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(product, kProductCommandMessage, kReloadPluginsCommand, 0, SMTO_ABORTIFHUNG, 5000, &answer);
}

}  // namespace

PluginRegistration RegisterPlugin(const VoString& path) {
  PluginRegistration result;
  HMODULE library = nullptr;
  if (!VoLoadLibrary(library, path.c_str(), LOAD_WITH_ALTERED_SEARCH_PATH)) {
    result.refusal = VoFormat(L"Cannot load plug-in.\r\n\r\n%s", path);
    return result;
  }
  RegisterLoaded(library, path, result);
  VoLoadLibrary(library, nullptr);
  if (!result.registered && result.refusal.IsEmpty()) {
    result.refusal = VoString(L"Unsupported plugin type.  The plugin can not be installed.");
  }
  if (result.registered) WriteUninstallRecord(result.name, result.recorded);
  return result;
}

}  // namespace vo

bool CInstallWAPlugin::Install(const VoString& path, bool silent, VoStringArray* recorded) {
  const vo::PluginRegistration result = vo::RegisterPlugin(path);
  if (recorded) *recorded = result.recorded;
  if (!result.registered) {
    vo::Log(vo::kLogTitle, result.refusal + L" (" + path.View() + L")");
    if (!silent) {
      if (IVoTools* tools = VoTools(); tools && tools->Dialogs()) {
        tools->Dialogs()->ShowInformation(L"Information", result.refusal.c_str());
      }
    }
    return false;
  }
  vo::Log(vo::kLogTitle, VoString(L"Registered ") + result.name.View() + L" (" + path.View() + L")");
  vo::TellProductToReload();
  return true;
}
