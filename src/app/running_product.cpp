#include "app/running_product.h"

#include <windows.h>

#include "app/session.h"
#include "foundation/string_format.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/run_program.h"
#include "foundation/win/vo_timer.h"
#include "tools/vo_tools.h"

namespace vo {
namespace {

void ShowInformation(const VoString& title, const VoString& text) {
  if (IVoTools* tools = VoTools()) tools->Dialogs()->ShowInformation(title.c_str(), text.c_str());
}

bool AskQuestion(const VoString& title, const VoString& text) {
  IVoTools* tools = VoTools();
  return tools && tools->Dialogs()->AskQuestion(title.c_str(), text.c_str());
}

// The server edition's main window is asked directly and given five seconds;
// the poll does not sleep, as no window of ours needs the time.
void CloseServerEdition(IVoProduct& product) {
  PostMessageW(static_cast<HWND>(product.GetProductWindow()), WM_CLOSE, 1, 0);
  VoTimer timer;
  while (product.IsProductRunning()) {
    if (timer.Elapsed() / 1000.0 >= 5.0) break;
  }
}

}  // namespace

bool CheckRunningProduct() {
  IVoProduct* product = Product();
  if (!product || !product->IsProductRunning()) return true;

  const VoString name1 = ProductName(1);
  if (!Session().Silent) {
    const VoString text = VoFormat(Localize(L"Install Wizard has detected a running copy of %s.\r\n\r\n") +
                                       Localize(L"Do you want Install Wizard to close %s and continue setup?"),
                                   name1, name1);
    if (!AskQuestion(name1 + Localize(L" Open"), text)) return false;
  }

  const VoString name0 = ProductName(0);
  if (name0.FindNoCase(L"Odrix") != VoString::npos) CloseServerEdition(*product);
  else product->CloseProduct();
  if (!product->IsProductRunning()) return true;

  ShowInformation(Localize(L"Please Close ") + name0,
                  VoFormat(Localize(L"Install Wizard could not close the running copy of %s.\r\n") +
                               Localize(L"Please manually close %s and then press 'OK'.\r\n\r\n") +
                               Localize(L"If you can not close %s restart your computer and run Install Wizard again."),
                           name0, name0, name0));
  if (!product->IsProductRunning()) return true;

  ShowInformation(Localize(L"Install Wizard Error"),
                  VoFormat(Localize(L"%s is still running.  Install Wizard can not continue.\r\n\r\n") +
                               Localize(L"Please restart your computer and run Install Wizard again."),
                           name0));
  return false;
}

void StopProductService() {
  const VoString folder = GetProgramFolder();
  if (folder.IsEmpty()) return;
  VoStringArray arguments;
  arguments.Add(VoString(L"/Stop"));
  // Hidden: it has nothing to show, and the shell must not report a
  // missing program to the user.
  RunProgram(folder + L"DuZizizuv.exe", arguments, false, false, false, nullptr, NORMAL_PRIORITY_CLASS);
}

}  // namespace vo
