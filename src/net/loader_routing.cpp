#include "net/loader_routing.h"

#include "foundation/path_rules.h"
#include "foundation/resource_name.h"
#include "foundation/text_file.h"
#include "foundation/win/file_system.h"
#include "net/file_loader.h"
#include "tools/tools_loader.h"

namespace vo {
namespace {

ResourceName Resource(const VoString& path) {
  ResourceName resource;
  resource.SetPath(path.View());
  return resource;
}

bool ReadThroughLoader(const VoString& path, int mode, VoString& text) {
  // Without the reader module local files are still read from disk: the
  // installer's own configuration must not depend on it.
  if (!IsUrl(path.View()) && !GetVoModule(VoModule::kReader)) return ReadLocalTextFile(path, mode, text);
  CFileLoader loader;
  return loader.ReadText(Resource(path), mode, text);
}

int64_t SizeThroughLoader(const VoString& url) {
  CFileLoader loader;
  return loader.QueryLength(Resource(url));
}

}  // namespace

void RouteReadingThroughFileLoader() {
  SetTextResourceReader(ReadThroughLoader);
  SetRemoteFileSizeQuery(SizeThroughLoader);
}

}  // namespace vo
