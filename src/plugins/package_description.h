#pragma once
// What a package file (".kvp", ".kvs") says: the component's name, the
// address of its content, its version, the package-level actions and the
// files with their actions. Read from the XML layout:
//
//   <KVPF version="2.0">
//     <Package><Name>..</Name><URL>..</URL><Version>..</Version>
//              <Action>UNZIPDIR | SAVE_DIR_STRUCT</Action></Package>
//     <Actions>
//       <FileEntry><File>x.dll</File><FileType></FileType>
//         <Action><Command>COPY_PLUGINDIR</Command><Param></Param></Action>
//       </FileEntry>
//     </Actions>
//   </KVPF>
//
// or from the older initialization-file layout, through a lookup that
// answers like GetPrivateProfileStringW, so the reading needs no Windows.

#include <functional>
#include <string_view>
#include <vector>

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"
#include "foundation/xml_document.h"

struct PackageFileAction {
  VoString command;
  VoString param;
};

struct PackageFileEntry {
  VoString file;  // relative to the package's working folder, or a web address
  bool is_url = false;
  std::vector<PackageFileAction> actions;  // in the order they run
};

struct PackageDescription {
  VoString name;
  VoString url;
  VoString version;
  VoStringArray actions;  // package-level actions, trimmed, none empty
  std::vector<PackageFileEntry> files;
};

// The characters of one value the older layout is read with.
constexpr size_t kPackageIniValueLength = 512;

// Answers (section, key) with the value, empty when missing.
using PackageIniLookup = std::function<VoString(std::wstring_view section, std::wstring_view key)>;

// Reads a parsed package document. False when its root is not "KVPF" or
// its version, without dots, reads neither "20" nor "2".
bool ReadPackageXml(XmlDocument& document, PackageDescription& out);

// Reads the older layout.
PackageDescription ReadPackageIni(const PackageIniLookup& lookup);

// Whether a package was read completely enough to install: at least one
// package-level action, a name and a URL.
bool IsLoadablePackage(const PackageDescription& package);

// The package-level action list: split at "|", each trimmed; empty ones
// are dropped.
VoStringArray SplitPackageActions(std::wstring_view text);

// A path a package names relative to one of its folders (a "File", the
// parameter of "COPY_DIRECTORY" or "DELETE_DIRECTORY") is used only when
// vo::StaysInsideFolder (foundation/contained_path.h) accepts it.
