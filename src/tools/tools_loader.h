#pragma once
// Loads the tools library's modules from the tools folder on first use and
// keeps them until exit. Loading and unloading share one process-wide
// critical section.

#include <windows.h>

#include <string>

#include "foundation/vo_string.h"

enum class VoModule { kTools, kImage, kReader, kDisc, kPlayer, kWMFactory, kTelevision };
constexpr int kVoModuleCount = 7;

namespace vo {

// Shows the "Critical Error" box; tests record it instead.
using CriticalErrorReporter = void (*)(const wchar_t* caption, const wchar_t* text);
// Ends the process after a critical error; the installer always exits with
// code 0. When it returns (tests), the load fails instead.
using ProcessEnder = void (*)();

// Each returns the previous one; null restores the default (a message box,
// ExitProcess(0)).
CriticalErrorReporter SetCriticalErrorReporter(CriticalErrorReporter reporter);
ProcessEnder SetProcessEnder(ProcessEnder ender);
// The tools module's expected SHA-256 as hex; null restores the checksum the
// build recorded.
void SetToolsModuleChecksum(const char* sha256_hex);

// The tools module: loaded from the tools folder of the process information
// record (else by the default search), checked against the recorded
// checksum, initialised with a false flag and `instance`, and installed as
// VoTools(). On failure the "Critical Error" box is shown and the process
// ends. True while the tools interface is there.
bool LoadToolsLibrary(HINSTANCE instance);

// A module on first use (the tools module through LoadToolsLibrary with this
// program's instance); null when it is absent or was released for lack of
// its entry point or interface.
HMODULE GetVoModule(VoModule which);
// The interface a module handed out (the tools interface for kTools), or null.
void* GetVoModuleInterface(VoModule which);

// The file name of a module: the tools module's run-time name or a sibling's.
VoString VoModuleFileName(VoModule which);

// Loads `name` by the loading rule: a full path with the altered search
// path, a bare name from the tools folder, else by the default search.
HMODULE LoadModuleByRule(const VoString& name);

// At exit: the uninitialise entry points run and the modules are released in
// reverse table order. Afterwards modules load afresh on their next use.
void ReleaseToolsLibrary();

// The SHA-256 of a file as lower-case hex; false when it cannot be read.
bool FileSha256(const VoString& path, std::string& hex);

}  // namespace vo
