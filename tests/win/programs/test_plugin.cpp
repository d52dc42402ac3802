// Test plug-in libraries, one per kind, built from this file with a
// definition naming the kind. Each exports what its kind's loaders look for.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <cwchar>

#define EXPORT extern "C" __declspec(dllexport)

#if defined(PLUGIN_OWN_INPUT)
namespace {
class Source {
 public:
  virtual bool GetInfo(int item, wchar_t* buffer, int size) {
    const wchar_t* text = item == 2    ? L"Test Input Source"
                          : item == 4  ? L"XYZ;Xyw"
                          : item == 24 ? PLUGIN_VERSION_TEXT
                                       : nullptr;
    if (!text) return false;
    wcsncpy(buffer, text, size - 1);
    buffer[size - 1] = 0;
    return true;
  }
  virtual void Release() {}
};
Source g_source;
}  // namespace
EXPORT void* GetInputSource(void*) { return &g_source; }
#endif

#if defined(PLUGIN_WINAMP_INPUT)
namespace {
struct InModule {
  int version;
  const char* description;
  HWND main_window;
  HINSTANCE instance;
  const char* extensions;
};
InModule g_module = {0x100, "Test Winamp Input v1.0", nullptr, nullptr, "wtA;wtB\0Test Audio\0wtc\0Other Audio\0"};
}  // namespace
EXPORT void* winampGetInModule2() { return &g_module; }
#endif

#if defined(PLUGIN_DSP) || defined(PLUGIN_DSP_AND_VIS)
namespace {
struct DspHeader {
  int version;
  const char* description;
  void* (*get_module)(int);
};
DspHeader g_header = {0x20, "Test DSP Effect", nullptr};
}  // namespace
EXPORT void* winampDSPGetHeader2() { return &g_header; }
#endif

#if defined(PLUGIN_VIS) || defined(PLUGIN_DSP_AND_VIS)
EXPORT void* winampVisGetHeader() { return nullptr; }
#endif

#if defined(PLUGIN_VST)
namespace {
struct Effect;
using Dispatcher = intptr_t (*)(Effect*, int32_t, int32_t, intptr_t, void*, float);
struct Effect {
  int32_t magic;
  Dispatcher dispatcher;
};
intptr_t Dispatch(Effect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
  if (opcode == 45) std::strcpy(static_cast<char*>(ptr), "Test Reverb");
  return 0;
}
Effect g_effect = {('V' << 24) | ('s' << 16) | ('t' << 8) | 'P', Dispatch};
}  // namespace
EXPORT void* VSTPluginMain(void*) { return &g_effect; }
#endif

#if defined(PLUGIN_GIRDER)
namespace {
void Fill(char* data, int size, const char* text) {
  std::strncpy(data, text, size - 1);
  data[size - 1] = 0;
}
}  // namespace
EXPORT void __stdcall gir_name(char* data, int size) { Fill(data, size, "Test Remote"); }
EXPORT void __stdcall gir_version(char* data, int size) { Fill(data, size, "1.2"); }
EXPORT void __stdcall gir_description(char* data, int size) { Fill(data, size, "A remote control"); }
EXPORT int gir_open() { return 1; }
EXPORT int gir_requested_api() { return 1; }
EXPORT int gir_devicenum() { return 1; }
EXPORT int gir_config() { return 1; }
EXPORT int gir_close() { return 1; }
EXPORT int gir_start() { return 1; }
EXPORT int gir_info() { return 1; }
EXPORT int gir_stop() { return 1; }
EXPORT int gir_compare() { return 1; }
#endif

#if defined(PLUGIN_NONE)
EXPORT int SomethingElse() { return 0; }
#endif
