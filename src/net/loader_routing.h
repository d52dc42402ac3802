#pragma once
// Plugs the file loader into the layers below it: from now on text
// resources (XmlDocument::LoadFile among them) are read through the loader,
// and the size of a URL comes from its HEAD request. Called once the tools
// library is loaded.

namespace vo {

void RouteReadingThroughFileLoader();

}  // namespace vo
