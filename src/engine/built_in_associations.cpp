#include "engine/built_in_associations.h"

#include "assoc/association_writer.h"

namespace vo {

void WriteBuiltInAssociations() {
  AssociationWriter writer;
  writer.SetApplyTemplate(true);
  writer.SetNotify(true);
  writer.Finish();
}

}  // namespace vo
