#include "assoc/association_writer.h"

#include <windows.h>
#include <shlobj.h>

#include "app/session.h"
#include "app/session_queries.h"
#include "assoc/apply_registry_template.h"
#include "assoc/progid_rules.h"
#include "assoc/registry_template.h"
#include "assoc/shared_file_type_catalogue.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/resource_lookup.h"
#include "tools/vo_tools.h"

namespace {

constexpr wchar_t kExplorerFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr wchar_t kMimeDatabase[] = L"Mime\\Database\\Content Type\\";
constexpr wchar_t kMediaClients[] = L"Software\\Clients\\Media\\";
constexpr wchar_t kDiscBackup[] = L"FileAssoc.BAK";
// Art lookup: custom art first, then the default art.
constexpr int kArtLookup = 3;

VoRegistryKeyPtr ClassesKey(const VoString& path, bool create) {
  return vo::OpenRegistryKey(VoRegistryRoot::kClassesRoot, path.c_str(), create);
}

// The text of a REG_SZ value; nothing for a missing value or another type.
bool ReadTextValue(IVoRegistryKey& key, const wchar_t* name, VoString& text) {
  unsigned type = 0;
  std::vector<unsigned char> data;
  if (!key.ReadRaw(name, type, data) || type != REG_SZ) return false;
  key.ReadString(name, L"", text);
  return true;
}

VoString TextValue(IVoRegistryKey& key, const wchar_t* name) {
  VoString text;
  ReadTextValue(key, name, text);
  return text;
}

void WriteText(IVoRegistryKey& key, const wchar_t* name, const VoString& text) {
  key.WriteString(name, text.c_str(), kVoValuePlain);
}

VoString Quoted(const VoString& text) { return VoString(L"\"") + text.View() + L"\""; }

// The command a shell verb runs: the quoted program, its switch and the
// item the shell hands over.
VoString VerbCommand(const VoString& program, std::wstring_view argument) {
  return Quoted(program) + L" " + argument + L" \"%L\"";
}

const wchar_t* DiscArgument(const VoString& disc_kind) {
  if (disc_kind.EqualsNoCase(L"dvdvideodisc")) return L"/DVDVideo";
  if (disc_kind.EqualsNoCase(L"bluraydisc")) return L"/Bluray";
  if (disc_kind.EqualsNoCase(L"cdaudiodisc")) return L"/AudioCD";
  return nullptr;
}

}  // namespace

AssociationWriter::AssociationWriter() {
  stem_ = vo::ProgIdStem(vo::ProductName(1).View());
  launcher_path_ = vo::LauncherProgramPath();
  if (IVoProduct* product = vo::Product()) {
    product->GetLauncherName(launcher_name_);
    VoString own;
    product->GetOwnExtension(own);
    own = own.Trimmed();
    if (!own.IsEmpty()) own_extension_ = own.At(0) == L'.' ? own : VoString(L".") + own.View();
  }
}

AssociationWriter::~AssociationWriter() { Finish(); }

VoString AssociationWriter::ProgIdFor(std::wstring_view extension) const {
  return vo::ProgIdForExtension(stem_.View(), extension, own_extension_.View());
}

bool AssociationWriter::IsOwnProgId(std::wstring_view value) const { return vo::IsOwnProgId(stem_.View(), value); }

void AssociationWriter::SetWithBackup(IVoRegistryKey& key, const wchar_t* name, const VoString* text,
                                      bool keep_old) const {
  if (keep_old) {
    VoString old;
    const VoString backup = vo::BackupValueName(stem_.View(), name);
    if (ReadTextValue(key, name, old) && !(text && old == *text) && !key.ValueExists(backup.c_str())) {
      WriteText(key, backup.c_str(), old);
    }
  }
  if (text) {
    WriteText(key, name, *text);
  } else {
    key.DeleteValue(name);
  }
}

void AssociationWriter::RestoreFromBackup(IVoRegistryKey& key, const wchar_t* name, bool delete_without_backup) const {
  const VoString backup = vo::BackupValueName(stem_.View(), name);
  VoString old;
  if (ReadTextValue(key, backup.c_str(), old)) {
    WriteText(key, name, old);
    key.DeleteValue(backup.c_str());
  } else if (delete_without_backup) {
    key.DeleteValue(name);
  }
}

void AssociationWriter::Remember(VoStringArray& list, const VoString& entry) {
  if (list.FindNoCase(entry.View()) == VoStringArray::npos) list.Add(entry);
}

void AssociationWriter::AssociateExtension(const VoString& extension_text, bool associate) {
  const VoString extension = vo::DottedExtension(extension_text.Trimmed().View());
  if (extension == L"." || extension.EqualsNoCase(L".dat")) return;

  if (const CMimeInfo* info = vo::SharedFileTypeCatalogue().FindMimeInfo(extension.View())) {
    for (const VoString& type : vo::SplitMimeTypes(info->MimeTypes.View(), false)) {
      RegisterMimeType(type, associate, extension);
    }
  }

  const VoString progid = ProgIdFor(extension.View());
  const VoString empty;
  if (associate) {
    if (VoRegistryKeyPtr key = ClassesKey(extension, true)) {
      const bool keep_old = !IsOwnProgId(TextValue(*key, L"").View());
      SetWithBackup(*key, L"", &progid, keep_old);
      SetWithBackup(*key, L"PerceivedType", &empty, keep_old);
      SetWithBackup(*key, L"Content Type", &empty, keep_old);
    }
    Remember(extensions_, extension);
  } else if (VoRegistryKeyPtr key = ClassesKey(extension, false)) {
    if (IsOwnProgId(TextValue(*key, L"").View())) {
      for (const wchar_t* name : {L"", L"PerceivedType", L"Content Type"}) RestoreFromBackup(*key, name, true);
      VoStringArray names;
      key->GetValueNames(names);
      for (const VoString& name : names) {
        if (name.StartsWithNoCase(stem_.View())) key->DeleteValue(name.c_str());
      }
    }
  }

  // Explorer's own choice for the user, only where Explorer made one.
  VoRegistryKeyPtr choice =
      vo::OpenRegistryKey(VoRegistryRoot::kCurrentUser, (VoString(kExplorerFileExts) + extension.View()).c_str(), false);
  if (!choice) return;
  const bool own = IsOwnProgId(TextValue(*choice, L"Progid").View());
  if (associate) {
    SetWithBackup(*choice, L"Progid", &progid, !own);
  } else if (own) {
    RestoreFromBackup(*choice, L"Progid", true);
  }
}

void AssociationWriter::RegisterMimeType(const VoString& type_text, bool associate, const VoString& extension_text) {
  const VoString type = type_text.Trimmed();
  if (type.Find(L'/') == VoString::npos) return;
  VoString extension = extension_text.IsEmpty() ? own_extension_ : vo::DottedExtension(extension_text.View());
  extension = extension.ToLower();
  if (extension.IsEmpty()) return;
  const VoString path = VoString(kMimeDatabase) + type.View();
  if (associate) {
    if (VoRegistryKeyPtr key = ClassesKey(path, true)) SetWithBackup(*key, L"Extension", &extension, true);
    if (mime_types_.FindNoCase(type.View()) == VoStringArray::npos) {
      mime_types_.Add(type);
      mime_extensions_.Add(extension);
    }
    return;
  }
  // Only an entry that still names this extension is the product's to undo.
  VoRegistryKeyPtr key = ClassesKey(path, false);
  if (key && TextValue(*key, L"Extension").EqualsNoCase(extension.View())) {
    RestoreFromBackup(*key, L"Extension", true);
  }
}

void AssociationWriter::RegisterProtocol(const VoString& name_text, const VoString& argument) {
  const VoString name = vo::ProtocolName(name_text.Trimmed().View());
  if (name.IsEmpty() || name.Find(L'\\') != VoString::npos) return;
  if (VoRegistryKeyPtr key = ClassesKey(name, true)) {
    const VoString description = VoString(L"URL: ") + name.View() + L" Protocol";
    const VoString empty;
    SetWithBackup(*key, L"", &description, true);
    SetWithBackup(*key, L"URL Protocol", &empty, true);
  }
  if (VoRegistryKeyPtr command = ClassesKey(name + L"\\shell\\open\\command", true)) {
    const VoString text = VerbCommand(launcher_path_, argument.View());
    SetWithBackup(*command, L"", &text, true);
  }
  Remember(protocols_, name);
}

void AssociationWriter::RegisterDiscHandler(const VoString& disc_kind, bool associate) {
  const wchar_t* argument = DiscArgument(disc_kind);
  if (!argument) return;
  VoRegistryKeyPtr key = ClassesKey(disc_kind + L"\\shell\\play\\command", associate);
  if (!key) return;
  const VoString command = VerbCommand(launcher_path_, argument);
  VoString current;
  const bool has_current = ReadTextValue(*key, L"", current);
  if (associate) {
    if (has_current && current != command && !key->ValueExists(kDiscBackup)) WriteText(*key, kDiscBackup, current);
    WriteText(*key, L"", command);
    return;
  }
  VoString old;
  if (ReadTextValue(*key, kDiscBackup, old)) {
    WriteText(*key, L"", old);
    key->DeleteValue(kDiscBackup);
  } else if (has_current && current == command) {
    key->DeleteValue(L"");
  }
}

void AssociationWriter::RegisterDefaultPrograms() {
  const VoString name = vo::ProductName(0);
  if (name.IsEmpty() || name.Find(L'\\') != VoString::npos) return;
  const VoString client = VoString(kMediaClients) + name.View();
  auto machine_key = [](const VoString& path) {
    return vo::OpenRegistryKey(VoRegistryRoot::kLocalMachine, path.c_str(), true);
  };
  if (VoRegistryKeyPtr key = machine_key(client)) WriteText(*key, L"", name);
  if (VoRegistryKeyPtr key = machine_key(client + L"\\shell\\open\\command")) WriteText(*key, L"", Quoted(launcher_path_));
  const VoString icon = vo::FindResourceFile(kArtLookup, L"Application.ico");
  if (!icon.IsEmpty()) {
    if (VoRegistryKeyPtr key = machine_key(client + L"\\DefaultIcon")) WriteText(*key, L"", icon);
  }

  const VoString capabilities = client + L"\\Capabilities";
  if (VoRegistryKeyPtr key = machine_key(capabilities)) {
    const VoString long_name = vo::ProductName(1);
    WriteText(*key, L"ApplicationName", long_name.IsEmpty() ? name : long_name);
    WriteText(*key, L"ApplicationDescription",
              VoFormat(L"%s plays music and videos, shows pictures and keeps your media library.",
                       long_name.IsEmpty() ? name : long_name));
    // Made afresh so types the product no longer handles drop out.
    key->DeleteSubkey(L"FileAssociations");
  }
  if (VoRegistryKeyPtr key = machine_key(capabilities + L"\\FileAssociations")) {
    VoStringArray extensions = extensions_;
    if (!own_extension_.IsEmpty() && extensions.FindNoCase(own_extension_.View()) == VoStringArray::npos) {
      extensions.Add(own_extension_);
    }
    for (const VoString& extension : extensions) WriteText(*key, extension.c_str(), ProgIdFor(extension.View()));
  }
  if (VoRegistryKeyPtr key = machine_key(capabilities + L"\\URLAssociations")) {
    // A protocol's own key carries its open command, so it serves as the ProgID.
    for (const VoString& protocol : protocols_) WriteText(*key, protocol.c_str(), protocol);
  }
  if (VoRegistryKeyPtr key = machine_key(capabilities + L"\\MimeAssociations")) {
    for (size_t i = 0; i < mime_types_.GetCount(); ++i) {
      WriteText(*key, mime_types_[i].c_str(), ProgIdFor(mime_extensions_[i].View()));
    }
  }
  if (VoRegistryKeyPtr key = machine_key(VoString(L"Software\\RegisteredApplications"))) {
    WriteText(*key, name.c_str(), capabilities);
  }
}

void AssociationWriter::Finish() {
  if (finished_) return;
  finished_ = true;
  if (apply_template_) {
    vo::ApplyRegistryTemplate(vo::BuiltInTemplate(), stem_, launcher_path_, launcher_name_);
    if (!own_extension_.IsEmpty()) AssociateExtension(own_extension_, true);
    VoString mime_list, protocol_list;
    if (IVoProduct* product = vo::Product()) {
      product->GetMimeTypes(mime_list);
      product->GetProtocols(protocol_list);
    }
    for (const VoString& type : vo::SplitMimeTypes(mime_list.View(), false)) RegisterMimeType(type, true, own_extension_);
    for (const VoString& protocol : VoStringArray::Split(protocol_list.View(), L";")) {
      if (!protocol.Trimmed().IsEmpty()) RegisterProtocol(protocol, VoString(L"/Protocol"));
    }
    RegisterDefaultPrograms();
  }
  if (notify_) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
