#include "plugins/plugin_types.h"

#include <functional>

#include "foundation/vo_string_array.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr wchar_t kOlderFamilyPlugins[] = L"SOFTWARE\\V. Ortala\\Kelvane\\Plugins\\";

using KeyOpener = std::function<VoRegistryKeyPtr(const VoString& path)>;

// Reads the entries below `parent_path`; `need_version` asks for an
// "IVersion" value as well, which the older family's readable entries carry.
void ReadEntries(const KeyOpener& open, const VoString& parent_path, bool need_version,
                 VoArray<RegisteredPluginType>& out) {
  VoRegistryKeyPtr parent = open(parent_path);
  if (!parent) return;
  VoStringArray names;
  parent->GetSubkeyNames(names);
  for (const VoString& name : names) {
    VoRegistryKeyPtr entry = open(parent_path + L"\\" + name.View());
    if (!entry) continue;
    RegisteredPluginType plugin;
    plugin.Type = name;
    entry->ReadString(L"Path", L"", plugin.Path);
    if (plugin.Path.IsEmpty()) continue;
    if (need_version && !entry->ValueExists(L"IVersion")) continue;
    entry->ReadString(L"Name", L"", plugin.Name);
    if (plugin.Name.IsEmpty()) entry->ReadString(L"Plugin Description", L"", plugin.Name);
    if (plugin.Name.IsEmpty()) entry->ReadString(L"Description", L"", plugin.Name);
    out.Add(plugin);
  }
}

}  // namespace

VoArray<RegisteredPluginType> ReadPluginTypes(const wchar_t* kind) {
  VoArray<RegisteredPluginType> plugins;
  const VoString own = VoString(L"Plugins\\") + kind;
  ReadEntries([](const VoString& path) { return OpenStore(path.c_str(), 0); }, own, false, plugins);
  const VoString older = VoString(kOlderFamilyPlugins) + kind;
  // The older family wrote per user or per machine depending on its version.
  for (VoRegistryRoot root : {VoRegistryRoot::kCurrentUser, VoRegistryRoot::kLocalMachine}) {
    ReadEntries([root](const VoString& path) { return OpenRegistryKey(root, path.c_str(), false); }, older, true,
                plugins);
  }
  return plugins;
}

}  // namespace vo
