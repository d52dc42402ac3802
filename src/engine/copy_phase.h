#pragma once
// The copy phase of the installation: the tools library, system files and
// fonts, the program files, their registration, the installation records
// and the registry settings, reported through the page.

#include "engine/copy_environment.h"
#include "engine/install_page.h"

namespace vo {

// Runs the whole phase and moves the page on to the next one. When the user
// cancels the tools library copy the phase stops and the wizard is ended.
void RunCopyPhase(IInstallPage& page, CopyPhaseLists& lists);
void RunCopyPhase(IInstallPage& page, CopyPhaseLists& lists, const CopyEnvironment& environment);

// Whether the product is the server edition: its main program's name holds
// "Odrix".
bool IsServerEdition();

}  // namespace vo
