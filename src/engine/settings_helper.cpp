#include "engine/settings_helper.h"

#include <windows.h>
#include <shlobj.h>

#include "foundation/number_text.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/run_program.h"

namespace {

enum DefaultKind {
  kNumber,            // the number column
  kText,              // the text column
  kMusicFolder,       // the user's music folder
  kShellRegistered,   // 1 while the shell extensions are registered
};

struct Setting {
  const wchar_t* key;  // null: no preset in the product description
  const wchar_t* property;
  DefaultKind kind;
  int number;
  const wchar_t* text;
};

// By id; the ids are the product's and never change.
constexpr Setting kSettings[] = {
    {L"MEDIALOCATION", L"General - Music Location", kMusicFolder, 0, nullptr},  // 0
    {L"MAKEDEFAULTPLAYER", L"General - Make Default Music Player", kNumber, 1, nullptr},  // 1
    {L"MINIMIZETOSYSTRAY", L"General - Minimize To System Tray", kNumber, 0, nullptr},  // 2
    {L"MINIME_ALWAYSONTOP", L"Minime - Always On Top", kNumber, 0, nullptr},  // 3
    {L"MINIME_INACTIVETRANSPARENT", L"General - Inactive Mini View Transparent", kNumber, 1, nullptr},  // 4
    {L"ENABLESHELLINTEGRATION", L"General - Enable Shell Integration", kShellRegistered, 0, nullptr},  // 5
    {nullptr, L"General - Online Metadata Automatic Disc Lookup and Submit", kNumber, 1, nullptr},  // 6
    {nullptr, L"General - Online Metadata Automatic Cover Art Submit", kNumber, 1, nullptr},  // 7
    {nullptr, L"General - Online Metadata Automatic Ratings Submit", kNumber, 0, nullptr},  // 8
    {L"START_MODE", L"Startup - Mode", kNumber, 0, nullptr},  // 9
    {L"START_LOCATION", L"Startup - Page", kNumber, 0, nullptr},  // 10
    {L"START_SHOWSPLASHSCREEN", L"Startup - Show Splash Screen", kNumber, 1, nullptr},  // 11
    {nullptr, L"Startup - Show Tree", kNumber, 1, nullptr},  // 12
    {nullptr, L"Startup - Show Action Window", kNumber, 1, nullptr},  // 13
    {L"START_PLAYBACKCURRENT", L"Startup - Start Playback", kNumber, 0, nullptr},  // 14
    {L"START_OPTIMIZEVOLUME", L"Startup - Optimize Volume", kNumber, 1, nullptr},  // 15
    {L"LIBCONVERSION_ENCODER", L"Library Server Conversion - Encoder", kNumber, 3, nullptr},  // 16
    {L"LIBCONVERSION_ENCODERQUALITY", L"Library Server Conversion - Quality", kNumber, 0, nullptr},  // 17
    {L"AUTOIMPORT_FILES", L"General - Automatically Import Files", kNumber, 0, nullptr},  // 18
    {L"UPDATETAGS", L"Tagging - Update Tags", kNumber, 1, nullptr},  // 19
    {nullptr, L"Tagging - Use Sidecar", kText, 0, L"Video"},  // 20
    {L"WINDOWS_STARTUP_RUN_MODE", L"General - Windows Startup Run Mode", kNumber, 0, nullptr},  // 21
    {nullptr, L"General - Jump On Play Mode Audio", kNumber, 0, nullptr},  // 22
    {L"JUMP_ON_PLAY_MODE_VIDEO", L"General - Jump On Play Mode Video", kNumber, 3, nullptr},  // 23
    {nullptr, L"General - Force Windowed Playback From External", kNumber, 0, nullptr},  // 24
    {L"DOUBLECLICKMOD", L"General - List Double Click Mode", kNumber, 1, nullptr},  // 25
    {L"PLAYBUTTONMODE", L"General - Play Button Mode", kNumber, 0, nullptr},  // 26
    {L"PREVIOUSBUTTONMODE", L"General - Previous Button Mode", kNumber, 1, nullptr},  // 27
    {L"SHOWSTOPBUTTON", L"General - Show Stop Button", kNumber, 1, nullptr},  // 28
    {L"STARTPLAYBACKONADD", L"General - Start Playback On Add", kNumber, 1, nullptr},  // 29
    {L"CLEARRECENTLYIMPORTEDONEXIT", L"General - Clear Recently Imported On Exit", kNumber, 0, nullptr},  // 30
    {L"CLEARPLAYINGNOWONEXIT", L"General - Clear Playing Now On Exit", kNumber, 0, nullptr},  // 31
    {nullptr, L"General - Bookmark Mode", kNumber, 0, nullptr},  // 32
    {L"HOTKEY_MODE", L"General - Hot Key Mode", kNumber, 0, nullptr},  // 33
    {L"LIST_SHOWGRIDLINES", L"View - Show List Grid Lines", kNumber, 1, nullptr},  // 34
    {L"LIST_SHOWTOOLTIPS", L"View - List Tool Tips", kNumber, 1, nullptr},  // 35
    {L"LIST_CHECKFORMISSING", L"View - List Check For Missing Files", kNumber, 1, nullptr},  // 36
    {L"LIST_AUTOSIZECOLUMNS", L"View - List Autosize Columns", kNumber, 0, nullptr},  // 37
    {L"LIST_LEFTMOUSELASSO", L"View - Left Mouse Lasso", kNumber, 0, nullptr},  // 38
    {L"AUTOEXPANDTREE", L"View - Auto Expand Tree", kNumber, 1, nullptr},  // 39
    {L"AUTOSIZETREE", L"View - Auto Size Tree", kNumber, 0, nullptr},  // 40
    {L"SORTING_AUTOSAVELISTSORT", L"Sorting - Auto Save List Sorting", kNumber, 1, nullptr},  // 41
    {L"AUTOSIZETRUNCATELONG", L"View - Auto Size Truncate Long Values", kNumber, 1, nullptr},  // 42
    {L"MENUMRUCOUNT_RIGHTCLICK", L"View - Right Click MRU Count", kNumber, 1, nullptr},  // 43
    {L"RIP_AUTORIPMODE", L"Ripping - Auto Rip Mode", kNumber, 1, nullptr},  // 44
    {L"RIP_ANALYZEAUDIO", L"Ripping - Analyze Audio During Ripping", kNumber, 1, nullptr},  // 45
    {L"RIP_RETRIEVECOVERART", L"Ripping - Get Cover Art After Ripping", kNumber, 1, nullptr},  // 46
    {L"RIP_SHOWRECENTLYRIPPEDPLAYLIST", L"Ripping - Show Recently Ripped Playlist After Ripping", kNumber, 1, nullptr},  // 47
    {L"RIP_EJECT", L"Ripping - Eject After Ripping", kNumber, 1, nullptr},  // 48
    {L"RIP_PLAYSOUNDWHENCOMPLETE", L"Ripping - Play Sound After Ripping", kNumber, 0, nullptr},  // 49
    {L"RIP_SOUNDFILE", L"Ripping - Complete Sound File", kText, 0, L"chord.wav"},  // 50
    {L"BURN_SOUNDFILE", L"Burning - Complete Sound File", kText, 0, L"chord.wav"},  // 51
    {L"BURN_PLAYSOUND_AFTER_BURN", L"Burning - Play Sound After Burn", kNumber, 0, nullptr},  // 52
    {L"BURN_ISO_VERSION", L"Burning - ISO Version", kNumber, 1, nullptr},  // 53
    {L"BURN_USE_PLAYBACK_SETTINGS", L"Burning - Use Playback Settings", kNumber, 0, nullptr},  // 54
    {L"BURN_WRITER_NAME", L"Burning - Writer Name", kNumber, 0, nullptr},  // 55
    {L"BURN_EJECT", L"Burning - Eject After Burn", kNumber, 1, nullptr},  // 56
    {L"BURN_TEST_MODE", L"Burning - Test Mode", kNumber, 0, nullptr},  // 57
    {L"BURN_WRITE_CD_TEXT", L"Burning - Write CD Text", kNumber, 1, nullptr},  // 58
    {L"BURN_CLOSE_DISK", L"Burning - Close Disc", kNumber, 0, nullptr},  // 59
    {L"BURN_DATA_FILE_SYSTEM", L"Burning - Data File System", kNumber, 0, nullptr},  // 60
    {L"ASSOC_AUDIO_CD", L"File Associations - Play Audio CDs", kNumber, 1, nullptr},  // 61
    {L"LIBCONVERSION_ENABLE", L"Library Server Conversion - Convert audio files", kNumber, 0, nullptr},  // 62
    {nullptr, L"Ripping - Show Quirb Multi Match", kNumber, 1, nullptr},  // 63
    {nullptr, L"Ripping - Show Quirb Submission", kNumber, 1, nullptr},  // 64
    {nullptr, L"Ripping - Show Quirb Failure", kNumber, 1, nullptr},  // 65
    {nullptr, L"Ripping - Overwrite Existing", kNumber, 0, nullptr},  // 66
    {nullptr, L"Ripping - Cue File Support", kNumber, 0, nullptr},  // 67
    {nullptr, L"Ripping - Cue File Template", kNumber, 0, nullptr},  // 68
    {nullptr, L"Ripping - Auto Create Secure Mode Log File", kNumber, 0, nullptr},  // 69
    {nullptr, L"Ripping - Max Ripping Processes", kNumber, 1, nullptr},  // 70
    {nullptr, L"Ripping - Max Encoding Processes", kNumber, 3, nullptr},  // 71
    {nullptr, L"Ripping - Max Combined Processes", kNumber, 4, nullptr},  // 72
    {nullptr, L"Ripping - Encode and Rip Concurrently", kNumber, 1, nullptr},  // 73
    {L"START_ALWAYS_LOAD_DEFAULT_LIBRARY", L"Startup - Always load default library", kNumber, 0, nullptr},  // 74
};
static_assert(sizeof(kSettings) / sizeof(kSettings[0]) == CSettingsHelper::kSettingCount);

constexpr const wchar_t* kLogTitle = L"CSettingsHelper::Set";

const Setting* Find(int id) {
  return id >= 0 && id < CSettingsHelper::kSettingCount ? &kSettings[id] : nullptr;
}

VoString MusicFolder() {
  const VoString music = vo::GetMusicFolder();
  if (!music.IsEmpty()) return music;
  wchar_t documents[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents))) return {};
  return vo::WithTrailingBackslash(documents) + L"My Music\\";
}

VoString BuiltInText(const Setting& setting) {
  switch (setting.kind) {
    case kText: return VoString(setting.text);
    case kMusicFolder: return MusicFolder();
    case kShellRegistered: return vo::FormatInt(vo::IsShellExtensionRegistered() ? 1 : 0);
    case kNumber: break;
  }
  return vo::FormatInt(setting.number);
}

int BuiltInNumber(const Setting& setting) {
  switch (setting.kind) {
    case kShellRegistered: return vo::IsShellExtensionRegistered() ? 1 : 0;
    case kText:
    case kMusicFolder: return vo::ParseInt(BuiltInText(setting).View());
    case kNumber: break;
  }
  return setting.number;
}

}  // namespace

namespace vo {

bool IsShellExtensionRegistered() {
  const VoString handler = VoString(L"*\\shellex\\ContextMenuHandlers\\") + ProductName(1).View();
  return OpenRegistryKey(VoRegistryRoot::kClassesRoot, handler.c_str(), false) != nullptr;
}

bool RegisterShellExtensions(bool register_them) {
  VoString folder = GetProgramFolder() + L"Shell Extensions";
  // Quoted, and without the trailing backslash that would escape the quote.
  const VoString arguments = VoString(register_them ? L"/RegDLL " : L"/UnRegDLL ") + L"\"" + folder.View() + L"\"";
  return RunPackageInstaller(arguments);
}

}  // namespace vo

CSettingsHelper::CSettingsHelper() : properties_(vo::OpenStore(L"Properties", 0)) {}

CSettingsHelper::~CSettingsHelper() = default;

VoString CSettingsHelper::GetText(int id) {
  const VoString name = PropertyName(id);
  if (name.IsEmpty() || !properties_ || !properties_->ValueExists(name.c_str())) return DefaultText(id);
  VoString value;
  properties_->ReadString(name.c_str(), L"", value);
  return value;
}

int CSettingsHelper::GetNumber(int id) {
  const VoString name = PropertyName(id);
  if (name.IsEmpty() || !properties_ || !properties_->ValueExists(name.c_str())) return DefaultNumber(id);
  return properties_->ReadInt(name.c_str(), DefaultNumber(id));
}

bool CSettingsHelper::SetNumber(int id, int value) {
  const VoString name = PropertyName(id);
  if (name.IsEmpty()) return false;
  vo::Log(kLogTitle, VoFormat(L"%s = %d", name, value));

  if (id == kShellIntegration) {
    vo::Log(kLogTitle, VoFormat(L"SETTINGS_ENABLESHELLINTEGRATION (%i)", value));
    const bool registered = vo::IsShellExtensionRegistered();
    vo::Log(kLogTitle, VoFormat(L"bShellIntegration == %i", registered ? 1 : 0));
    if ((value != 0) != registered) {
      const bool ran = vo::RegisterShellExtensions(value != 0);
      vo::Log(kLogTitle, VoFormat(L"RunPackageInstaller == %i", ran ? 1 : 0));
    }
  }
  return properties_ && properties_->WriteInt(name.c_str(), value);
}

bool CSettingsHelper::SetText(int id, const VoString& text) {
  const VoString name = PropertyName(id);
  if (name.IsEmpty()) return false;
  return properties_ && properties_->WriteString(name.c_str(), text.c_str(), kVoValuePlain);
}

int CSettingsHelper::DefaultNumber(int id) {
  const Setting* setting = Find(id);
  if (!setting) return 0;
  const int built_in = BuiltInNumber(*setting);
  return setting->key ? ReadConfigNumber(VoString(setting->key), built_in) : built_in;
}

VoString CSettingsHelper::DefaultText(int id) {
  const Setting* setting = Find(id);
  if (!setting) return {};
  const VoString built_in = BuiltInText(*setting);
  return setting->key ? ReadConfigText(VoString(setting->key), built_in) : built_in;
}

VoString CSettingsHelper::PropertyName(int id) {
  const Setting* setting = Find(id);
  return setting ? VoString(setting->property) : VoString();
}

VoString CSettingsHelper::ConfigurationKey(int id) {
  const Setting* setting = Find(id);
  return setting && setting->key ? VoString(setting->key) : VoString();
}

VoString CSettingsHelper::ReadConfigText(const VoString& key, const VoString& default_value) {
  return vo::ConfigString((VoString(L"/*/DefaultSettings/") + key.View()).c_str(), default_value.c_str());
}

int CSettingsHelper::ReadConfigNumber(const VoString& key, int default_value) {
  return vo::ConfigInt((VoString(L"/*/DefaultSettings/") + key.View()).c_str(), default_value);
}
