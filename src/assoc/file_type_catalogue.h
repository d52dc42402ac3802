#pragma once
// The media file types the product can open, read from its
// "FileAssociations.xml" document: fifteen ordered lists of type texts and the
// MIME types of each extension. Finding and loading the file, asking the
// plug-in registry and the install configuration are left to the caller.

#include <cstddef>
#include <string_view>

#include "foundation/vo_array.h"
#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"
#include "foundation/xml_document.h"

namespace vo {

// The lists, in the document's order; kAllDescriptions is 1 to 6 together.
enum FileTypeList : int {
  kAllDescriptions = 0,
  kAudioDescriptions = 1,
  kImageDescriptions = 2,
  kVideoDescriptions = 3,
  kDataDescriptions = 4,
  kPlaylistDescriptions = 5,
  kUnknownDescriptions = 6,
  kDefaultFileTypes = 7,
  kDefaultAssocFileTypes = 8,
  kMainEngineTypes = 9,
  kImageEngineTypes = 10,
  kDirectShowTypes = 11,
  kRealPlayerTypes = 12,
  kQuickTimeTypes = 13,
  kOtherTypes = 14,
  kFileTypeListCount = 15,
};

// The element below the root that fills `list` (1 to 14); empty for list 0.
std::wstring_view FileTypeListElement(int list);

}  // namespace vo

// One MIME association: an extension (without a leading "."), its MIME types
// separated by ";", and the name of the element it came from.
struct CMimeInfo {
  VoString Extension;
  VoString MimeTypes;
  VoString ElementName;
};

namespace vo {

enum class CatalogueReadResult {
  kRead,
  kWrongRoot,    // the first element is not "KVFA"
  kOldVersion,   // "version" missing, not a number or below 1.0
};

// What the install configuration says; an empty text leaves the file's choice.
struct CatalogueOverrides {
  VoString DefaultFileTypes;
  VoString DefaultAssocFileTypes;
};

struct FileTypeCatalogueContent {
  VoStringArray Lists[kFileTypeListCount];
  VoArray<CMimeInfo> MimeInfos;
  // The root's "version" as written, "Unknown" when it has none.
  VoString VersionText;

  // The first record for `extension` (case ignored, a leading "." ignored),
  // or nullptr.
  const CMimeInfo* FindMimeInfo(std::wstring_view extension) const;
};

// Reads the document into `content` (replacing what it held).
// `plugin_types` are the types that installed input plug-ins with a readable
// registration declare, in plug-in order: those new to the main engine's
// list join it in lower case and add "Type (type)" to the audio
// descriptions. On kWrongRoot and kOldVersion the lists stay empty;
// VersionText is still set when the root was right.
CatalogueReadResult ReadFileTypeCatalogue(XmlDocument& document, const VoStringArray& plugin_types,
                                          const CatalogueOverrides& overrides, FileTypeCatalogueContent& content);

// The text of the fatal box shown when the catalogue cannot be used; an
// empty `version_text` (nothing read) shows as "Unknown".
VoString CatalogueFailureText(std::wstring_view path, std::wstring_view version_text);

}  // namespace vo
