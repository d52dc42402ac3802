#pragma once
// The tools interface: the services the installer takes from the tools
// library. Plain abstract classes, so an implementation can live in another
// module: texts go in as NUL-terminated wide strings and come back in
// caller-given VoStrings, results are return values and nothing is thrown
// across the boundary. Services arrive here as the parts of the program that
// use them are built.

#include <cstdint>

#include "foundation/vo_string.h"

constexpr int kVoToolsInterfaceVersion = 200048;

// Titled log lines; one file per run, plus the debugger output.
class IVoLogService {
 public:
  virtual void Write(int category, const wchar_t* title, const wchar_t* text) = 0;
  virtual void DebugOutput(const wchar_t* text) = 0;
  // The file this run's lines go to; false when the service writes none.
  virtual bool GetLogFilePath(VoString& path) {
    path.Clear();
    return false;
  }

 protected:
  ~IVoLogService() = default;
};

// Message boxes without an owner window.
class IVoDialogService {
 public:
  // An information box with OK.
  virtual void ShowInformation(const wchar_t* title, const wchar_t* text) = 0;
  // A Yes/No question, Yes the default; closing the box counts as No.
  virtual bool AskQuestion(const wchar_t* title, const wchar_t* text) = 0;
  // A question with two named buttons; `pressed` receives the pressed
  // button's text (empty when the box was closed).
  virtual void AskWithButtons(const wchar_t* title, const wchar_t* text, const wchar_t* first, const wchar_t* second,
                              VoString& pressed) = 0;

 protected:
  ~IVoDialogService() = default;
};

class IVoTextUtilities {
 public:
  // Position of `what` in `text` at or after `from`, or -1. Flags 1: ignore
  // case, 2: whole text units as the library defines them.
  virtual int Find(const wchar_t* text, const wchar_t* what, int from, unsigned flags) = 0;
  // The comparison used for sorting, with caller-given options.
  virtual int Compare(const wchar_t* a, const wchar_t* b, unsigned options) = 0;

 protected:
  ~IVoTextUtilities() = default;
};

class IVoLocalization {
 public:
  // The text to show for `text` in the user's language.
  virtual void Translate(const wchar_t* text, VoString& out) = 0;

 protected:
  ~IVoLocalization() = default;
};

// Worker threads announce themselves before they start and leave after they
// have stopped; a thread is known by its object, since its id changes with
// every start.
class IVoThreadRegistry {
 public:
  virtual void Register(const void* thread, const wchar_t* name) = 0;
  virtual void Unregister(const void* thread, int option) = 0;

 protected:
  ~IVoThreadRegistry() = default;
};

// The current skin's pictures, named by the skin.
class IVoSkinService {
 public:
  // The file of the skin picture called `name`; false when the skin has none.
  virtual bool FindImage(const wchar_t* name, VoString& path) = 0;

 protected:
  ~IVoSkinService() = default;
};

class IVoTools {
 public:
  virtual int GetInterfaceVersion() = 0;
  // `flag` is false for the installer; `instance` is the application's module handle.
  virtual bool Initialize(bool flag, void* instance) = 0;
  virtual void Uninitialize() = 0;

  virtual IVoLogService* Log() = 0;
  virtual IVoDialogService* Dialogs() = 0;
  virtual IVoTextUtilities* Text() = 0;
  virtual IVoLocalization* Localization() = 0;
  virtual IVoThreadRegistry* Threads() = 0;
  virtual IVoSkinService* Skins() = 0;

 protected:
  ~IVoTools() = default;
};

// The loaded tools interface of this process, or null while there is none
// (before start-up has loaded it, and in the portable tests).
IVoTools* VoTools();
// Set by the loader at start-up and by tests that install a fake.
void SetVoTools(IVoTools* tools);

namespace vo {

// Conveniences over the services; harmless when no tools library is loaded.
void Log(const wchar_t* title, const VoString& text, int category = 1);
VoString Localize(const wchar_t* text);

}  // namespace vo
