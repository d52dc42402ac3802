#pragma once
// A page for the installation phases in tests: records everything a phase
// asks of it.

#include <vector>

#include "engine/install_page.h"

class RecordingPage final : public IInstallPage {
 public:
  VoString heading, description;
  std::vector<VoString> statuses;
  std::vector<int> ranges;     // every SetProgressRange, in order
  std::vector<int> positions;  // every SetProgressPosition, in order
  int pumps = 0;
  bool busy = false;
  int advances = 0;
  bool cancelled = false;
  bool cancel_requested = false;  // what CancelRequested answers

  void SetHeader(const VoString& h, const VoString& d) override {
    heading = h;
    description = d;
  }
  void SetStatusText(const VoString& text) override { statuses.push_back(text); }
  void SetProgressRange(int maximum) override { ranges.push_back(maximum); }
  void SetProgressPosition(int position) override {
    // A position above the range is lowered to it, as the real bar does.
    if (!ranges.empty() && position > ranges.back()) position = ranges.back();
    positions.push_back(position);
  }
  void PumpMessages() override { ++pumps; }
  void SetBusy(bool b) override { busy = b; }
  void AdvancePhase() override { ++advances; }
  void CancelWizard() override { cancelled = true; }
  bool CancelRequested() override { return cancel_requested; }
};
