#include "net/reader_factory.h"

#include <windows.h>

#include "tools/tools_loader.h"
#include "tools/vo_module_entry_points.h"

namespace vo {
namespace {

VoReaderPtr Create(const char* entry_point) {
  HMODULE module = GetVoModule(VoModule::kReader);
  if (!module) return VoReaderPtr();
  // Through void(*)() since FARPROC's own type is only a placeholder.
  auto create = reinterpret_cast<CreateReaderDllFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, entry_point)));
  return VoReaderPtr(create ? create() : nullptr);
}

}  // namespace

VoReaderPtr CreateGenericReader() { return Create("CreateGenericReaderDLL"); }
VoReaderPtr CreateInternetReader() { return Create("CreateInternetReaderDLL"); }

}  // namespace vo
