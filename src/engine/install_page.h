#pragma once
// What the installation phases may ask of the page that runs them: its
// heading, status line and progress bar, the busy (downloading) state,
// moving on to the next phase, and ending the wizard. The copy-and-install
// page implements it; tests and the headless driver have their own.

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

class IInstallPage {
 public:
  virtual ~IInstallPage() = default;

  // Replaces the page's heading and description line.
  virtual void SetHeader(const VoString& heading, const VoString& description) = 0;
  // Sets the status line; pending window messages run so it shows at once.
  virtual void SetStatusText(const VoString& text) = 0;
  // The progress bar runs 0..maximum; a position above it is lowered to it.
  virtual void SetProgressRange(int maximum) = 0;
  // Moves the bar; pending window messages run.
  virtual void SetProgressPosition(int position) = 0;
  // Lets pending window messages run during long loops.
  virtual void PumpMessages() = 0;
  // Set while a dependency downloads; every phase clears it when it starts.
  virtual void SetBusy(bool busy) = 0;
  // Every phase's last step: the next phase starts from the message loop.
  virtual void AdvancePhase() = 0;
  // Ends the wizard through its cancel operation (a fatal engine failure).
  virtual void CancelWizard() = 0;
  // Whether the user asked to stop a running download.
  virtual bool CancelRequested() { return false; }
};

// The working lists of the copy phase, owned by the page for its lifetime.
struct CopyPhaseLists {
  // Full paths of copied files that need self-registration, in order.
  VoStringArray registrations;
  // Earlier versions migrated ("Halvora %d") and their install folders.
  VoStringArray earlier_versions;
  VoStringArray earlier_folders;
};
