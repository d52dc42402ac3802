#pragma once
// The exported entry points of the tools library's modules, shared by the
// modules that export them and the loader that looks them up. All are plain
// C functions with the default calling convention, so the exported names
// carry no decoration in a 32-bit build either.

class IVoTools;
class IVoReader;

extern "C" {
// The tools interface when asked for kVoToolsInterfaceVersion, else null.
using GetVoToolsDllFn = IVoTools* (*)(int interface_version);
// The image, player and television interfaces; null while a module has none.
using GetVoInterfaceDllFn = void* (*)();
// Module set-up before first use (non-zero on success) and tear-down at exit.
using VoModuleInitializeFn = int (*)();
using VoModuleUninitializeFn = void (*)();
// A new reader object (see tools/vo_reader_interface.h): the internet
// reader for URLs only, the generic reader for URLs and local files.
using CreateReaderDllFn = IVoReader* (*)();
}
