#pragma once
// The product's file type catalogue as the installer uses it: found by the
// resource lookup, completed with the installed input plug-ins' types and
// the install configuration's defaults. A catalogue that cannot be used is
// fatal: the box says so and the process ends.

#include <string_view>

#include "assoc/file_type_catalogue.h"

class FileTypeCatalogue {
 public:
  // Loads everything; ends the process when the file cannot be used.
  FileTypeCatalogue();

  const VoStringArray& List(int list) const;
  const VoArray<CMimeInfo>& MimeInfos() const { return content_.MimeInfos; }
  const CMimeInfo* FindMimeInfo(std::wstring_view extension) const { return content_.FindMimeInfo(extension); }
  // The file that was read (empty when none was found).
  const VoString& Path() const { return path_; }

 private:
  VoString path_;
  vo::FileTypeCatalogueContent content_;
};

namespace vo {

// The one catalogue of the process, created on first use under a lock and
// only read afterwards.
const FileTypeCatalogue& SharedFileTypeCatalogue();
// Tests: the next use reads the file afresh.
void ForgetSharedFileTypeCatalogue();

// Ends the process after the fatal box (ExitProcess(0)). When a replacement
// returns (tests), the catalogue stays empty. Returns the previous one; null
// restores the default.
using CatalogueFailureEnder = void (*)();
CatalogueFailureEnder SetCatalogueFailureEnder(CatalogueFailureEnder ender);

}  // namespace vo
