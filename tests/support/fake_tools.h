#pragma once
// An in-process stand-in for the tools library: records every log line and
// message box, answers questions from a script, and installs itself as the
// process's tools interface for its lifetime.

#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "fake_product.h"
#include "tools/vo_tools.h"

class FakeTools final : public IVoTools,
                        IVoLogService,
                        IVoDialogService,
                        IVoTextUtilities,
                        IVoLocalization,
                        IVoThreadRegistry,
                        IVoSkinService {
 public:
  struct LogLine {
    int category;
    VoString title, text;
  };
  struct MessageBox {
    VoString title, text;
    std::vector<VoString> buttons;  // "OK", or "Yes"/"No", or the two names
  };

  FakeTools();
  ~FakeTools();

  // Answers for the coming questions, in order: true is Yes (or the first
  // named button). Without a scripted answer a question is answered No.
  void ScriptAnswers(std::initializer_list<bool> answers);

  std::vector<LogLine> LogLines() const;
  std::vector<MessageBox> MessageBoxes() const;
  std::vector<const void*> RegisteredThreads() const;
  // A picture of the pretended skin, found by FindImage.
  void AddSkinImage(const wchar_t* name, const wchar_t* path);
  // Log lines of one title, as "text" strings.
  std::vector<VoString> LogTexts(const wchar_t* title) const;

  // The product object tests set up.
  FakeProduct product;
  // Settings stores and keys: null (none to open) unless a test supplies
  // one, such as the library's real registry service on its own test keys.
  IVoRegistry* registry = nullptr;
  // The compression service: none unless a test supplies the library's.
  IVoCompression* compression = nullptr;
  // The archive service: none unless a test supplies the library's.
  IVoArchive* archives = nullptr;
  // What start-up handed to the skin service.
  VoString skin_folder, titlebar_icon;
  // Notices of a changed product folder, by option.
  std::vector<int> folder_changes;

  // IVoTools
  int GetInterfaceVersion() override { return kVoToolsInterfaceVersion; }
  bool Initialize(bool, void*) override { return true; }
  void Uninitialize() override {}
  IVoLogService* Log() override { return this; }
  IVoDialogService* Dialogs() override { return this; }
  IVoTextUtilities* Text() override { return this; }
  IVoLocalization* Localization() override { return this; }
  IVoThreadRegistry* Threads() override { return this; }
  IVoSkinService* Skins() override { return this; }
  IVoProduct* Product(int which) override { return which == 0 ? &product : nullptr; }
  void ProductFolderChanged(int option) override { folder_changes.push_back(option); }
  IVoRegistry* Registry() override { return registry; }
  IVoLanguageService* Language() override { return nullptr; }
  IVoCompression* Compression() override { return compression; }
  IVoArchive* Archives() override { return archives; }

 private:
  void Write(int category, const wchar_t* title, const wchar_t* text) override;
  void DebugOutput(const wchar_t*) override {}
  void ShowInformation(const wchar_t* title, const wchar_t* text) override;
  bool AskQuestion(const wchar_t* title, const wchar_t* text) override;
  void AskWithButtons(const wchar_t* title, const wchar_t* text, const wchar_t* first, const wchar_t* second,
                      VoString& pressed) override;
  int Find(const wchar_t* text, const wchar_t* what, int from, unsigned flags) override;
  int Compare(const wchar_t* a, const wchar_t* b, unsigned options) override;
  void Translate(const wchar_t* text, VoString& out) override { out = VoString(text); }
  void Register(const void* thread, const wchar_t*) override;
  void Unregister(const void* thread, int) override;
  bool FindImage(const wchar_t* name, VoString& path) override;
  void SetSkinFolder(const wchar_t* folder) override { skin_folder = VoString(folder); }
  void SelectTitlebarIcon(const wchar_t* name) override { titlebar_icon = VoString(name); }
  bool NextAnswer();

  mutable std::mutex mutex_;  // worker threads log too
  std::vector<LogLine> log_;
  std::vector<MessageBox> boxes_;
  std::deque<bool> answers_;
  std::vector<const void*> threads_;
  std::vector<std::pair<VoString, VoString>> skin_images_;
  IVoTools* previous_;
};
