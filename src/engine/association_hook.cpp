#include "engine/association_hook.h"

#include "tools/vo_tools.h"

namespace vo {

void WriteBuiltInAssociations() {
  // Not done yet: logged so an installation shows it wrote none.
  Log(L"WriteBuiltInAssociations", VoString(L"Built-in file associations arrive with the association writer"));
}

}  // namespace vo
