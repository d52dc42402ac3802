#pragma once
// The file associations the product always writes, whatever the user
// chooses on the association page.

namespace vo {

void WriteBuiltInAssociations();

}  // namespace vo
