#pragma once
// The tools interface: the services the installer takes from the tools
// library. Plain abstract classes, so an implementation can live in another
// module: texts go in as NUL-terminated wide strings and come back in
// caller-given VoStrings, results are return values and nothing is thrown
// across the boundary. Services arrive here as the parts of the program that
// use them are built.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

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
  // The skin folder the program's windows draw with from now on.
  virtual void SetSkinFolder(const wchar_t* folder) = 0;
  // The skin picture shown as the title-bar icon.
  virtual void SelectTitlebarIcon(const wchar_t* image_name) = 0;

 protected:
  ~IVoSkinService() = default;
};

// The user's choice of language for the program's texts.
class IVoLanguageService {
 public:
  // Shows the language selection; false when the user cancelled it.
  virtual bool ShowLanguageSelection() = 0;

 protected:
  ~IVoLanguageService() = default;
};

// The product the tools library describes: its names, programs, features and
// configuration values, read from the product description beside the tools
// module, and control of its running copy.
class IVoProduct {
 public:
  // Reads the product description again: from `file`, or, when it is empty,
  // from where it was found at start-up. False (and GetLoadError) on failure;
  // the earlier description then stays.
  virtual bool Reload(const wchar_t* file) = 0;
  // The reason the description could not be read; false when it was read.
  virtual bool GetLoadError(VoString& error) = 0;

  // Form 0: the short name ("Halvora"); 1: the name with the edition and
  // major version shown to users; 2: the family prefix of uninstall entries;
  // 3: this edition's exact name (uninstall key, installation record).
  virtual void GetProductName(int form, VoString& out) = 0;
  virtual void GetMainProgramName(VoString& out) = 0;
  virtual void GetLauncherName(VoString& out) = 0;
  virtual void GetStartMenuGroupName(VoString& out) = 0;
  // The Start Menu's own version, as text ("23" and the like).
  virtual void GetStartMenuVersion(VoString& out) = 0;
  virtual void GetVersionText(VoString& out) = 0;
  // The major version; it names the settings area ("Halvora 23").
  virtual int GetMajorVersion() = 0;
  virtual void GetWebAddress(VoString& out) = 0;
  // A numbered link of the product's web site (15: the graphics runtime
  // download); empty when the description has none.
  virtual void GetLink(int number, VoString& out) = 0;
  virtual bool HasProductFeature(int feature) = 0;
  // The MIME types and URL protocols the product handles, entries separated
  // by ";".
  virtual void GetMimeTypes(VoString& out) = 0;
  virtual void GetProtocols(VoString& out) = 0;
  // The product's own file extension, with its leading ".".
  virtual void GetOwnExtension(VoString& out) = 0;

  // Configuration values by "/*/..." element paths; the default when the
  // path names no element.
  virtual void GetConfigString(const wchar_t* path, const wchar_t* default_value, VoString& out) = 0;
  virtual int GetConfigInt(const wchar_t* path, int default_value) = 0;

  // The product's main program or its server component runs.
  virtual bool IsProductRunning() = 0;
  // Its main window (an HWND), or null.
  virtual void* GetProductWindow() = 0;
  // Asks the running product to close and waits a bounded time; returns
  // when it has done what it can.
  virtual void CloseProduct() = 0;

 protected:
  ~IVoProduct() = default;
};

// Value kinds of IVoRegistryKey::WriteString.
constexpr int kVoValuePlain = 0;
constexpr int kVoValueFolder = 2;  // a folder: kept with exactly one trailing backslash

enum class VoRegistryRoot { kClassesRoot, kCurrentUser, kLocalMachine, kUsers };

// An open registry key of the library; Release() closes it.
class IVoRegistryKey {
 public:
  virtual void Release() = 0;
  // The text value `name` ("" is the default value), or `default_value`.
  virtual void ReadString(const wchar_t* name, const wchar_t* default_value, VoString& out) = 0;
  // The number value `name` (a text holding a number counts too), or the default.
  virtual int ReadInt(const wchar_t* name, int default_value) = 0;
  virtual bool WriteString(const wchar_t* name, const wchar_t* value, int kind) = 0;
  virtual bool WriteInt(const wchar_t* name, int value) = 0;
  virtual bool ValueExists(const wchar_t* name) = 0;
  virtual bool DeleteValue(const wchar_t* name) = 0;
  // Deletes the subkey `name` with everything below it.
  virtual bool DeleteSubkey(const wchar_t* name) = 0;
  virtual void GetSubkeyNames(VoStringArray& names) = 0;
  virtual void GetValueNames(VoStringArray& names) = 0;
  // A value as stored (registry type and bytes), for carrying values over
  // between keys.
  virtual bool ReadRaw(const wchar_t* name, unsigned& type, std::vector<unsigned char>& data) = 0;
  virtual bool WriteRaw(const wchar_t* name, unsigned type, const std::vector<unsigned char>& data) = 0;

 protected:
  ~IVoRegistryKey() = default;
};

// Settings stores (keys below the product's settings area in
// HKEY_CURRENT_USER, "Software\V. Ortala\Halvora <major>\<name>") and
// registry keys of any root.
class IVoRegistry {
 public:
  // Flag 0: the key is created on the first write; 1: created at once.
  // Reading a store that does not exist gives the defaults. Null only when
  // the key can be neither opened nor created.
  virtual IVoRegistryKey* OpenStore(const wchar_t* name, int flag) = 0;
  // A key by root and path, opened for reading and writing (created when
  // `create`); null when it cannot be.
  virtual IVoRegistryKey* OpenKey(VoRegistryRoot root, const wchar_t* path, bool create) = 0;
  // The settings area's path below HKEY_CURRENT_USER.
  virtual void GetSettingsRoot(VoString& path) = 0;
  // Takes over settings shipped in `folder`: every "*.xml" file below it
  // holds a property XML text (root "XMLPH", version 1.0) whose items become
  // text values of the store named by the file's path relative to the
  // folder, without ".xml" ("Properties.xml" fills "Properties",
  // "Plugins\System.xml" fills "Plugins\System", "(Root).xml" the area
  // itself). Values already there are replaced; other files are ignored.
  // True when at least one file was imported.
  virtual bool ImportSettings(const wchar_t* folder) = 0;

 protected:
  ~IVoRegistry() = default;
};

// Gzip decoding (the compression service).
class IVoCompression {
 public:
  // Decodes the gzip file `source` (one or more members) into `target`
  // (replaced when it exists). False, with `target` left as it was and no
  // partial output, when `source` is not a whole gzip stream or when
  // `cancel` (may be null) became true between the decoded pieces.
  virtual bool GzipDecodeFile(const wchar_t* source, const wchar_t* target, const std::atomic<bool>* cancel) = 0;

 protected:
  ~IVoCompression() = default;
};

// Zip archives (the archive service).
class IVoArchive {
 public:
  // Unpacks every file of the zip archive `archive` into `folder` (created
  // when missing). With `keep_structure` the archive's folders stay,
  // otherwise every file lands directly in `folder`. An entry that would
  // land outside `folder` makes the whole unpacking fail. False on any
  // failure, with a reason in `failure`.
  virtual bool Unpack(const wchar_t* archive, const wchar_t* folder, bool keep_structure, VoString& failure) = 0;

 protected:
  ~IVoArchive() = default;
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
  // The product object; the installer asks for number 0.
  virtual IVoProduct* Product(int which) = 0;
  // The product's folders changed (a portable installation): settings and
  // data folders are taken afresh from the process information record.
  virtual void ProductFolderChanged(int option) = 0;
  virtual IVoRegistry* Registry() = 0;
  // Null when the library offers no language selection.
  virtual IVoLanguageService* Language() = 0;
  // Null while the library offers no such service.
  virtual IVoCompression* Compression() = 0;
  virtual IVoArchive* Archives() = 0;

 protected:
  ~IVoTools() = default;
};

// The loaded tools interface of this process, or null while there is none
// (before start-up has loaded it, and in the portable tests).
IVoTools* VoTools();
// Set by the loader at start-up and by tests that install a fake.
void SetVoTools(IVoTools* tools);

// Holds a key of the library and releases it.
struct VoRegistryKeyRelease {
  void operator()(IVoRegistryKey* key) const {
    if (key) key->Release();
  }
};
using VoRegistryKeyPtr = std::unique_ptr<IVoRegistryKey, VoRegistryKeyRelease>;

namespace vo {

// Conveniences over the services; harmless when no tools library is loaded.
void Log(const wchar_t* title, const VoString& text, int category = 1);
VoString Localize(const wchar_t* text);

// The product object's answers; without a library or product object: empty
// texts, the caller's defaults, no features.
IVoProduct* Product();
VoString ProductName(int form);
VoString ConfigString(const wchar_t* path, const wchar_t* default_value = L"");
int ConfigInt(const wchar_t* path, int default_value);
bool HasProductFeature(int feature);

// A settings store or registry key of the library; empty when there is none.
VoRegistryKeyPtr OpenStore(const wchar_t* name, int flag);
VoRegistryKeyPtr OpenRegistryKey(VoRegistryRoot root, const wchar_t* path, bool create);

}  // namespace vo
