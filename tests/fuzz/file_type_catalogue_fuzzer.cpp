// Reads arbitrary UTF-8 as a file type catalogue, with plug-in types and
// install configuration defaults, and checks what the reader promises: no
// empty, "dat" or "mpp" entries, the combined descriptions are the six
// categories in order, and every extension found by lookup is a record.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "assoc/file_type_catalogue.h"
#include "foundation/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XmlDocument document(VoString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));
  const VoStringArray plugin_types = {VoString(L"SPX"), VoString(L"mp3"), VoString(L"MPP"), VoString()};
  const vo::CatalogueOverrides overrides = {VoString(L"ogg;;dat"), VoString()};
  vo::FileTypeCatalogueContent content;
  const vo::CatalogueReadResult result = vo::ReadFileTypeCatalogue(document, plugin_types, overrides, content);

  size_t described = 0;
  for (int list = 0; list < vo::kFileTypeListCount; ++list) {
    for (const VoString& entry : content.Lists[list]) {
      if (entry.IsEmpty() || entry == L"dat" || entry == L"mpp") __builtin_trap();
    }
    if (list >= vo::kAudioDescriptions && list <= vo::kUnknownDescriptions) described += content.Lists[list].GetCount();
  }
  if (described != content.Lists[vo::kAllDescriptions].GetCount()) __builtin_trap();
  if (result != vo::CatalogueReadResult::kRead) {
    if (!content.MimeInfos.IsEmpty() || !content.Lists[vo::kMainEngineTypes].IsEmpty()) __builtin_trap();
    return 0;
  }
  if (content.Lists[vo::kDefaultFileTypes].GetCount() != 1) __builtin_trap();
  if (content.Lists[vo::kMainEngineTypes].FindNoCase(L"spx") == VoStringArray::npos) __builtin_trap();
  for (const CMimeInfo& info : content.MimeInfos) {
    // Asked with its leading ".", as file names give it.
    const CMimeInfo* found = content.FindMimeInfo((L"." + info.Extension).View());
    if (found == nullptr || !found->Extension.EqualsNoCase(info.Extension.View())) __builtin_trap();
  }
  return 0;
}
