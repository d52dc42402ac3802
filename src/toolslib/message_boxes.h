#pragma once
// Message boxes without an owner window, shown with the system's message box.

#include "tools/vo_tools.h"

class VoMessageBoxes final : public IVoDialogService {
 public:
  void ShowInformation(const wchar_t* title, const wchar_t* text) override;
  bool AskQuestion(const wchar_t* title, const wchar_t* text) override;
  void AskWithButtons(const wchar_t* title, const wchar_t* text, const wchar_t* first, const wchar_t* second,
                      VoString& pressed) override;
};
