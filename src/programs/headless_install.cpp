// Runs the installation phases without windows: the distribution folder's
// product goes into the destination folder as the wizard would install it
// with the given choices. For tests and benchmarks; messages go to the
// standard output and the installer's log.
//
//   HeadlessInstall.exe <distribution folder> <destination folder>
//       [/StartMenu] [/QuickLaunch] [/Desktop] [/Portable] [installer switches]
//
// Exit codes: 0 installed, 1 the dependency or copy phase ended the installation,
// 2 bad arguments or the tools library could not be loaded.

#include <windows.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/installation_records.h"
#include "app/read_install_file.h"
#include "app/session.h"
#include "app/session_queries.h"
#include "engine/copy_phase.h"
#include "engine/dependency_phase.h"
#include "engine/finalization.h"
#include "engine/install_page.h"
#include "engine/plugin_phase.h"
#include "engine/shortcuts.h"
#include "foundation/char_class.h"
#include "foundation/path_text.h"
#include "foundation/win/com_scope.h"
#include "foundation/win/file_system.h"
#include "foundation/win/process_info_record.h"
#include "tools/tools_loader.h"
#include "tools/vo_tools.h"

namespace {

// The page of a run without windows: status lines are printed and logged.
class HeadlessPage final : public IInstallPage {
 public:
  void SetHeader(const VoString& heading, const VoString&) override { Print(L"== ", heading); }
  void SetStatusText(const VoString& text) override { Print(L"   ", text); }
  void SetProgressRange(int) override {}
  void SetProgressPosition(int) override {}
  void PumpMessages() override {}
  void SetBusy(bool) override {}
  void AdvancePhase() override { ++phases_done_; }
  void CancelWizard() override { cancelled_ = true; }

  bool Cancelled() const { return cancelled_; }

 private:
  static void Print(const wchar_t* prefix, const VoString& text) {
    std::printf("%ls%ls\n", prefix, text.c_str());
    std::fflush(stdout);
    vo::Log(L"Headless install", text);
  }

  int phases_done_ = 0;
  bool cancelled_ = false;
};

void ReportCriticalError(const wchar_t* caption, const wchar_t* text) {
  std::fprintf(stderr, "%ls: %ls\n", caption, text);
}

[[noreturn]] void EndAfterCriticalError() { ExitProcess(2); }

int Usage() {
  std::fprintf(stderr,
               "usage: HeadlessInstall <distribution folder> <destination folder> "
               "[/StartMenu] [/QuickLaunch] [/Desktop] [/Portable] [installer switches]\n");
  return 2;
}

int Install(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const VoString distribution = vo::WithTrailingBackslash(argv[1]);
  const VoString destination = vo::WithTrailingBackslash(argv[2]);
  if (!vo::FileExists(distribution + L"HalvoraSetup.exe") || !vo::FileExists(distribution + L"Kelvane\\Product.xml")) {
    std::fprintf(stderr, "%ls is not a distribution folder (HalvoraSetup.exe and Kelvane\\Product.xml expected)\n",
                 distribution.c_str());
    return 2;
  }

  ShortcutChoices choices;
  bool portable = false;
  VoStringArray switches;
  for (int i = 3; i < argc; ++i) {
    const VoString argument(argv[i]);
    if (argument.EqualsNoCase(L"/StartMenu")) choices.start_menu = true;
    else if (argument.EqualsNoCase(L"/QuickLaunch")) choices.quick_launch = true;
    else if (argument.EqualsNoCase(L"/Desktop")) choices.desktop = true;
    else if (argument.EqualsNoCase(L"/Portable")) portable = true;
    else switches.Add(argument);
  }

  // The process stands in for the installer of the distribution folder.
  vo::SetInstallerProcess(true);
  vo::SetProcessPath(ProcessPath::kExecutable, distribution + L"HalvoraSetup.exe");
  vo::SetProcessPath(ProcessPath::kToolsFolder, distribution + L"Kelvane\\");
  vo::SetProcessPath(ProcessPath::kInstallFolder, distribution + L"Kelvane\\");
  vo::SetCriticalErrorReporter(ReportCriticalError);
  vo::SetProcessEnder(EndAfterCriticalError);
  if (!vo::LoadToolsLibrary(GetModuleHandleW(nullptr))) return 2;

  vo::LocateInstalledProduct(vo::ProductName(3));
  vo::ReadInstallFile();
  vo::ParseCommandLine(vo::JoinArguments(switches).View());
  InstallSession& session = Session();
  session.Portable = portable;
  vo::FindEarlierInstallations();
  session.InstallDirectory = destination;

  HeadlessPage page;
  if (!vo::RunDependencyPhase(page)) {
    std::printf("== installation ended by the dependency phase\n");
    return 1;
  }
  CopyPhaseLists lists;
  if (vo::IsDowngrade()) {
    std::printf("   the installed version is not older: nothing is copied\n");
  } else {
    vo::RunCopyPhase(page, lists);
    if (page.Cancelled()) {
      std::printf("== installation ended by the copy phase\n");
      return 1;
    }
    vo::RunPluginPhase(page);
  }
  vo::CreateShortcuts(choices);

  const int finish = vo::FinalizeInstallation();
  vo::MarkInstallFolderReadOnly();
  if (finish == vo::kFinishRunProduct && !session.Silent) vo::WriteCompletionMarker();
  std::printf("== finished: %s\n", finish == vo::kFinishRestart      ? "restart required"
                                    : finish == vo::kFinishRunProduct ? "product can run"
                                                                      : "nothing to run");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::setlocale(LC_ALL, "");
  vo::RebuildCharacterTables();
  VoComScope ole(VoComScope::kOle);
  const int code = Install(argc, argv);
  vo::ReleaseToolsLibrary();
  return code;
}
