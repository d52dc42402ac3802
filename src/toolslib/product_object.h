#pragma once
// The tools library's product object: answers from the product description
// and control of the product's running copy (its main window class
// "KVFrame", its main program and server component processes).

#include <functional>
#include <mutex>

#include "tools/vo_tools.h"
#include "toolslib/product_description.h"

class VoProductObject final : public IVoProduct {
 public:
  // The file the tools module reads at start-up: "Product.xml" beside the
  // module file (in the installer's "Kelvane\" folder).
  static VoString DescriptionBesideModule();

  // `log` receives the load results; may be null.
  explicit VoProductObject(IVoLogService* log = nullptr) : log_(log) {}

  // Reads `path`, the file Reload(L"") reads again from then on, also when
  // this first read fails.
  bool Load(const VoString& path);
  // Runs after every successful load, outside the object's lock.
  void SetLoadedCallback(std::function<void()> callback) { loaded_callback_ = std::move(callback); }
  // The longest CloseProduct waits for the product to stop, and how often
  // it looks; tests shorten them.
  void SetCloseWait(unsigned total_ms, unsigned step_ms);

  bool Reload(const wchar_t* file) override;
  bool GetLoadError(VoString& error) override;

  void GetProductName(int form, VoString& out) override;
  void GetMainProgramName(VoString& out) override;
  void GetLauncherName(VoString& out) override;
  void GetStartMenuGroupName(VoString& out) override;
  void GetStartMenuVersion(VoString& out) override;
  void GetVersionText(VoString& out) override;
  int GetMajorVersion() override;
  void GetWebAddress(VoString& out) override;
  void GetLink(int number, VoString& out) override;
  bool HasProductFeature(int feature) override;
  void GetMimeTypes(VoString& out) override;
  void GetProtocols(VoString& out) override;
  void GetOwnExtension(VoString& out) override;

  void GetConfigString(const wchar_t* path, const wchar_t* default_value, VoString& out) override;
  int GetConfigInt(const wchar_t* path, int default_value) override;

  bool IsProductRunning() override;
  void* GetProductWindow() override;
  void CloseProduct() override;

 private:
  // A copy of one information value, taken under the lock.
  template <typename Fn>
  auto Info(Fn fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    return fn(description_.Information());
  }
  // The program file names that count as the running product.
  VoStringArray ProductPrograms();
  void LogLine(const VoString& text);

  IVoLogService* log_;
  std::function<void()> loaded_callback_;
  std::mutex mutex_;  // guards everything below; config lookups move the document's cursor
  ProductDescription description_;
  VoString path_;        // the file Load was given
  VoString load_error_;  // the last load's failure, empty after a success
  unsigned close_wait_ms_ = 10000;
  unsigned close_step_ms_ = 100;
};
