#pragma once
// The tools library's interface object: one per loaded module, handing out
// its services.

#include "tools/vo_tools.h"
#include "toolslib/gzip_decoder.h"
#include "toolslib/archive_service.h"
#include "toolslib/log_file.h"
#include "toolslib/message_boxes.h"
#include "toolslib/product_object.h"
#include "toolslib/registry_service.h"
#include "toolslib/text_utilities.h"
#include "toolslib/thread_registry.h"

class VoToolsLibrary final : public IVoTools, IVoLocalization, IVoSkinService {
 public:
  int GetInterfaceVersion() override { return kVoToolsInterfaceVersion; }
  bool Initialize(bool flag, void* instance) override;
  void Uninitialize() override;

  IVoLogService* Log() override { return &log_; }
  IVoDialogService* Dialogs() override { return &dialogs_; }
  IVoTextUtilities* Text() override { return &text_; }
  IVoLocalization* Localization() override { return this; }
  IVoThreadRegistry* Threads() override { return &threads_; }
  IVoSkinService* Skins() override { return this; }
  IVoProduct* Product(int which) override { return which == 0 ? &product_ : nullptr; }
  void ProductFolderChanged(int option) override;
  IVoLanguageService* Language() override { return nullptr; }  // no translations yet
  IVoCompression* Compression() override { return &compression_; }
  IVoArchive* Archives() override { return &archives_; }
  IVoRegistry* Registry() override { return &registry_; }
  // Names the settings area after the product object's name and major
  // version; without a product object stores stay unavailable. Run again
  // after the product description was read anew.
  void UpdateSettingsArea();

 private:
  // Translations plug in here; English texts are shown as they are.
  void Translate(const wchar_t* text, VoString& out) override;
  // A picture of the skin folder: "<folder><name>.png" (or .bmp/.ico).
  bool FindImage(const wchar_t* name, VoString& path) override;
  void SetSkinFolder(const wchar_t* folder) override;
  void SelectTitlebarIcon(const wchar_t* image_name) override;

  VoLogFile log_;
  VoProductObject product_{&log_};
  VoMessageBoxes dialogs_;
  VoTextUtilities text_;
  VoThreadList threads_;
  VoRegistryService registry_;
  VoArchiveService archives_;
  VoGzipDecoder compression_;
  void* instance_ = nullptr;
  VoString skin_folder_;
  VoString titlebar_icon_;
};
