#pragma once
// Where start-up hands over to the install wizard.

namespace vo {

// Shows the install wizard modally and returns when it has closed.
void RunInstallWizard();

}  // namespace vo
