#pragma once
// The product description: one XML file a distributor writes for a product,
// giving the product's names, programs, features and handled types, and the
// configuration values the installer asks for by "/*/..." element paths.
//
//   <VoProduct version="1.0">
//     <Information>
//       <ShortName>Halvora</ShortName>          names: forms 0-3
//       <DisplayName>Halvora 23</DisplayName>
//       <FamilyName>Halvora</FamilyName>
//       <EditionName>Halvora 23</EditionName>
//       <MainProgram>Halvora.exe</MainProgram>  plain file names
//       <Launcher>Halvora Launcher.exe</Launcher>
//       <ServerPrograms>a.exe;b.exe</ServerPrograms>
//       <StartMenuGroup>, <StartMenuVersion>, <Version>, <MajorVersion>,
//       <WebAddress>, <Links><Link Number="15">...</Link></Links>,
//       <Features>173;176</Features>, <MimeTypes>, <Protocols>, <OwnExtension>
//     </Information>
//     <General>, <Installer>, <Product>, ...   configuration sections
//   </VoProduct>
//
// The configuration sections are children of the root, so "/*/Product/X"
// finds them; the product's own information lives in <Information>, which
// no configuration path uses.

#include <map>
#include <set>
#include <string_view>

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"
#include "foundation/xml_document.h"

// The major version of the format this reader understands.
constexpr int kProductDescriptionFormat = 1;

struct ProductInformation {
  VoString names[4];  // forms 0-3
  VoString main_program;
  VoString launcher;
  VoStringArray server_programs;  // the server component's program files
  VoString start_menu_group;
  VoString start_menu_version;
  VoString version_text;
  int major_version = 0;
  VoString web_address;
  std::map<int, VoString> links;
  std::set<int> features;
  VoString mime_types;  // entries separated by ";"
  VoString protocols;   // entries separated by ";"
  VoString own_extension;  // with its leading ".", or empty
};

class ProductDescription {
 public:
  // Reads the description from `text`; `source` names it in error texts.
  // On failure `error` says why and this object keeps what it held.
  bool Read(VoString text, const VoString& source, VoString& error);
  // Reads the UTF-8 file `path`.
  bool Load(const VoString& path, VoString& error);

  bool IsLoaded() const { return loaded_; }
  const ProductInformation& Information() const { return info_; }

  // The text of the element at `path` ("/*/Product/InstallToPath"); false
  // when the path names no element.
  bool FindConfigText(std::wstring_view path, VoString& out);
  VoString ConfigString(std::wstring_view path, std::wstring_view default_value);
  // The element's text read as a number (vo::ParseInt), or the default.
  int ConfigInt(std::wstring_view path, int default_value);

 private:
  bool loaded_ = false;
  ProductInformation info_;
  XmlDocument config_;
};
