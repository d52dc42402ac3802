#pragma once
// The entry points and structures of the plug-in kinds the product loads,
// as their published interfaces lay them out. Only the members the
// registration reads are named; the rest keep their places.

#include <windows.h>

#include <cstdint>

namespace vo::plugin {

// The product's own input plug-ins: "GetInputSource" hands out a source that
// answers numbered information items.
class IVoInputSource {
 public:
  // The text of item `item` in `buffer` (`size` characters, always ended);
  // false when the source has no such item.
  virtual bool GetInfo(int item, wchar_t* buffer, int size) = 0;
  virtual void Release() = 0;

 protected:
  ~IVoInputSource() = default;
};
constexpr int kInputInfoDescription = 2;
constexpr int kInputInfoFileTypes = 4;
constexpr int kInputInfoVersion = 24;
constexpr int kRequiredInputVersion = 4;
// `services` is the tools interface of the loading program.
using GetInputSourceFn = IVoInputSource* (*)(void* services);

// Winamp 2.x input module ("winampGetInModule2").
struct WinampInModule {
  int version;
  char* description;
  HWND main_window;
  HINSTANCE dll_instance;
  // Pairs of texts, each ended by a zero, the list by an empty text:
  // extensions separated by ";", then what they are.
  char* file_extensions;
  // Further members (capabilities and functions) are not read here.
};
using WinampGetInModuleFn = WinampInModule* (*)();

// Winamp DSP header ("winampDSPGetHeader2").
struct WinampDspHeader {
  int version;
  char* description;
  void* (*get_module)(int);
};
using WinampDspGetHeaderFn = WinampDspHeader* (*)();

// VST 2.x effects ("VSTPluginMain").
struct VstEffect;
using VstHostCallback = intptr_t (*)(VstEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                     float option);
using VstDispatcher = intptr_t (*)(VstEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                   float option);
struct VstEffect {
  int32_t magic;
  VstDispatcher dispatcher;
  // Processing functions, counts and flags follow.
};
using VstPluginMainFn = VstEffect* (*)(VstHostCallback host);
constexpr int32_t kVstMagic = ('V' << 24) | ('s' << 16) | ('t' << 8) | 'P';
constexpr int32_t kVstOpen = 0;
constexpr int32_t kVstClose = 1;
constexpr int32_t kVstGetEffectName = 45;
constexpr int32_t kVstHostVersion = 1;  // the host answers its VST version
constexpr int kVstNameLength = 64;

// Girder remote-control plug-ins: texts are filled into caller buffers.
using GirderTextFn = void(__stdcall*)(char* data, int size);

}  // namespace vo::plugin
