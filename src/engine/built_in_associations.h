#pragma once
// The file associations the product always has, whatever the user chooses
// on the association page: the built-in registry template, the product's own
// extension, MIME types, URL protocols and Default Programs entries.

namespace vo {

void WriteBuiltInAssociations();

}  // namespace vo
