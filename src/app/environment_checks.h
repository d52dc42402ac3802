#pragma once
// The machine checks before the wizard: rights, a running product and its
// service, the browser component, the processor and the Windows version.
// Each fact comes through a replaceable probe so the decisions can be tested
// on any machine.

#include <cstdint>
#include <functional>

namespace vo {

struct EnvironmentProbes {
  std::function<bool()> has_admin_rights;
  std::function<bool()> check_running_product;
  std::function<void()> stop_product_service;
  std::function<bool()> browser_gate;
  std::function<uint32_t()> processor_features;
  std::function<int()> os_code;

  // The real machine.
  static EnvironmentProbes System();
};

// Runs the checks in order; the first that fails has told the user and
// ends them with false.
bool RunEnvironmentChecks(const EnvironmentProbes& probes);

// The browser gate as start-up runs it: true when it passes; otherwise the
// user may open the browser's download page, and start-up ends either way.
bool RunBrowserGate();

// The key chord that skips the checks: Ctrl+Shift+C held at that moment.
bool IsCheckSkippingChordHeld();

}  // namespace vo
