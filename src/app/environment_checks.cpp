#include "app/environment_checks.h"

#include <windows.h>

#include "app/browser_gate.h"
#include "app/running_product.h"
#include "foundation/os_version.h"
#include "foundation/processor_features.h"
#include "foundation/string_format.h"
#include "foundation/win/run_program.h"
#include "foundation/win/system_info.h"
#include "tools/vo_tools.h"

namespace vo {
namespace {

// Microsoft's download page for the browser.
constexpr const wchar_t* kBrowserDownloadPage = L"https://www.microsoft.com/download/internet-explorer";

void ShowInformation(const VoString& title, const VoString& text) {
  if (IVoTools* tools = VoTools()) tools->Dialogs()->ShowInformation(title.c_str(), text.c_str());
}

}  // namespace

EnvironmentProbes EnvironmentProbes::System() {
  EnvironmentProbes probes;
  probes.has_admin_rights = [] { return HasAdminRights(); };
  probes.check_running_product = [] { return CheckRunningProduct(); };
  probes.stop_product_service = [] { StopProductService(); };
  probes.browser_gate = [] { return RunBrowserGate(); };
  probes.processor_features = [] { return GetProcessorFeatures(); };
  probes.os_code = [] { return GetOsVersion().code; };
  return probes;
}

bool RunEnvironmentChecks(const EnvironmentProbes& probes) {
  if (!probes.has_admin_rights()) {
    ShowInformation(Localize(L"Information"),
                    Localize(L"Sorry, but you do not have sufficient rights to install the program.\r\n") +
                        Localize(L"Please make sure you have administrative rights before you begin the installation."));
    return false;
  }
  if (!probes.check_running_product()) return false;
  probes.stop_product_service();
  if (!probes.browser_gate()) return false;

  const VoString name = ProductName(1);
  const uint32_t features = probes.processor_features();
  if (!(features & kCpuMmx) || !(features & kCpuSse2)) {
    ShowInformation(Localize(L"SSE2 Not Available"),
                    VoFormat(Localize(L"The %s Install Wizard failed to detect an SSE2-capable CPU.\r\n\r\n") +
                                 Localize(L"%s requires SSE2 capabilities to run.  Setup will now abort."),
                             name, name));
    return false;
  }
  const int os = probes.os_code();
  if (os < kOsWindows2000 || os >= 2000) {
    ShowInformation(Localize(L"Operating System Not Supported"),
                    VoFormat(Localize(L"The %s Install Wizard can not run on this version of Microsoft Windows.\r\n\r\n") +
                                 Localize(L"%s requires Windows 2000 or later.  Setup will now abort."),
                             name, name));
    return false;
  }
  return true;
}

bool RunBrowserGate() {
  CBrowserGateFacts facts;
  if (facts.Passes()) return true;
  Log(L"Internet Explorer", VoString(L"The browser gate did not pass: ") +
                                (facts.BrowserControlAvailable() ? L"installed version too old" : L"no web browser control"));
  // The warning's two buttons: "Download" opens the download page. Start-up
  // ends whichever is chosen.
  IVoTools* tools = VoTools();
  if (!tools) return false;
  VoString pressed;
  const VoString download = Localize(L"Download");
  tools->Dialogs()->AskWithButtons(
      Localize(L"Internet Explorer Warning").c_str(),
      (Localize(L"Install Wizard did not detect a new enough version of Microsoft Internet Explorer.  Setup cannot continue.") +
       L"\r\n\r\n" +
       Localize(L"Click on 'Download' to download and install the latest version of Internet Explorer.  Please re-run setup after installing Internet Explorer."))
          .c_str(),
      download.c_str(), Localize(L"Quit Setup").c_str(), pressed);
  if (pressed == download) {
    RunProgram(VoString(kBrowserDownloadPage), VoStringArray(), true, false, false, nullptr, NORMAL_PRIORITY_CLASS);
  }
  return false;
}

bool IsCheckSkippingChordHeld() {
  return (GetKeyState(VK_CONTROL) & 0x8000) && (GetKeyState(VK_SHIFT) & 0x8000) && (GetKeyState('C') & 0x8000);
}

}  // namespace vo
