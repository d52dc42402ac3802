#pragma once
// A product object for tests: every answer is a public field the test sets.

#include <functional>
#include <map>
#include <set>

#include "tools/vo_tools.h"

class FakeProduct final : public IVoProduct {
 public:
  VoString names[4] = {VoString(L"Halvora"), VoString(L"Halvora 23"), VoString(L"Halvora"),
                       VoString(L"Halvora 23")};
  VoString main_program = VoString(L"Halvora.exe");
  VoString launcher = VoString(L"Halvora Launcher.exe");
  VoString start_menu_group = VoString(L"Halvora 23");
  VoString start_menu_version = VoString(L"23");
  VoString version_text = VoString(L"23.0.10.0");
  int major_version = 23;
  VoString web_address = VoString(L"https://www.halvora.example/");
  std::map<int, VoString> links;
  std::set<int> features;
  VoString mime_types, protocols;
  VoString own_extension = VoString(L".hvl");
  // Configuration values by exact path; a path not here gives the default.
  std::map<std::wstring, VoString> config;
  VoString load_error;  // GetLoadError reports it when not empty
  int reloads = 0;

  // Running-product control: `running` is what IsProductRunning answers;
  // `on_close` runs for each CloseProduct (by default the product stops).
  bool running = false;
  void* window = nullptr;
  int close_calls = 0;
  std::function<void(FakeProduct&)> on_close = [](FakeProduct& p) { p.running = false; };
  // Runs before each IsProductRunning answer (a product that stops later).
  std::function<void(FakeProduct&)> on_poll;
  int polls = 0;

  bool Reload(const wchar_t*) override {
    ++reloads;
    return load_error.IsEmpty();
  }
  bool GetLoadError(VoString& error) override {
    error = load_error;
    return !load_error.IsEmpty();
  }
  void GetProductName(int form, VoString& out) override { out = (form >= 0 && form < 4) ? names[form] : VoString(); }
  void GetMainProgramName(VoString& out) override { out = main_program; }
  void GetLauncherName(VoString& out) override { out = launcher; }
  void GetStartMenuGroupName(VoString& out) override { out = start_menu_group; }
  void GetStartMenuVersion(VoString& out) override { out = start_menu_version; }
  void GetVersionText(VoString& out) override { out = version_text; }
  int GetMajorVersion() override { return major_version; }
  void GetWebAddress(VoString& out) override { out = web_address; }
  void GetLink(int number, VoString& out) override {
    const auto it = links.find(number);
    out = it == links.end() ? VoString() : it->second;
  }
  bool HasProductFeature(int feature) override { return features.count(feature) != 0; }
  void GetMimeTypes(VoString& out) override { out = mime_types; }
  void GetProtocols(VoString& out) override { out = protocols; }
  void GetOwnExtension(VoString& out) override { out = own_extension; }
  void GetConfigString(const wchar_t* path, const wchar_t* default_value, VoString& out) override;
  int GetConfigInt(const wchar_t* path, int default_value) override;
  bool IsProductRunning() override {
    ++polls;
    if (on_poll) on_poll(*this);
    return running;
  }
  void* GetProductWindow() override { return window; }
  void CloseProduct() override {
    ++close_calls;
    if (on_close) on_close(*this);
  }
};
