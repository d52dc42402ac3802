#pragma once
// A running copy of the product must be closed before its files are
// replaced; its background service is asked to stop.

namespace vo {

// True when the installation may go on: the product does not run, or it was
// closed (after the user agreed, unless the installation is silent).
bool CheckRunningProduct();

// Starts the installed product's service program with "/Stop" when an
// installed product is known; a failure to start is ignored.
void StopProductService();

}  // namespace vo
