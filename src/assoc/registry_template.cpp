#include "assoc/registry_template.h"

#include <array>

#include "foundation/number_text.h"

namespace vo {

namespace {

constexpr std::wstring_view kAutoplayKey = L"[AUTOPLAYKEY]";
constexpr std::wstring_view kCustomArt = L"[CUSTOMART]";

}  // namespace

std::optional<TemplateRoot> ParseTemplateRootLine(std::wstring_view line) {
  if (EqualsNoCase(line, L"HKEY_CLASSES_ROOT")) return TemplateRoot::kClassesRoot;
  if (EqualsNoCase(line, L"HKEY_CURRENT_USER")) return TemplateRoot::kCurrentUser;
  if (EqualsNoCase(line, L"HKEY_LOCAL_MACHINE")) return TemplateRoot::kLocalMachine;
  return std::nullopt;
}

std::optional<TemplateEntry> ParseTemplateEntry(std::wstring_view line) {
  std::array<std::wstring_view, 5> fields;
  size_t count = 0;
  size_t start = 0;
  for (;;) {
    size_t bar = line.find(L'|', start);
    if (count == fields.size()) return std::nullopt;
    fields[count++] = line.substr(start, bar == std::wstring_view::npos ? std::wstring_view::npos : bar - start);
    if (bar == std::wstring_view::npos) break;
    start = bar + 1;
  }
  if (count != fields.size()) return std::nullopt;

  TemplateEntry entry;
  entry.key_path = VoString(fields[0]);
  if (fields[1] != L"Default") entry.value_name = VoString(fields[1]);
  if (fields[3] == L"STRING") {
    entry.type = TemplateValueType::kString;
    entry.text = VoString(fields[2]);
  } else {
    entry.type = TemplateValueType::kDword;
    entry.number = static_cast<uint32_t>(ParseInt(fields[2]));
  }
  if (fields[4] == L"DELETE") {
    entry.action = TemplateAction::kDelete;
  } else if (fields[4] == L"CREATE") {
    entry.action = TemplateAction::kCreate;
  } else {
    entry.action = TemplateAction::kModify;
  }
  return entry;
}

VoString ReplaceTemplatePlaceholders(std::wstring_view line, const TemplatePlaceholders& values) {
  const std::array<std::pair<std::wstring_view, const VoString*>, 9> simple = {{
      {L"[INSTALLDIR]", &values.install_dir},
      {L"[SYSTEMDIR]", &values.system_dir},
      {L"[CURRENTDIR]", &values.current_dir},
      {L"[PRODUCTNAME]", &values.product_name},
      {L"[PRODUCTWITHVERSION]", &values.progid_stem},
      {L"[EXEPATH]", &values.exe_path},
      {L"[LAUNCHERPATH]", &values.launcher_path},
      {L"[LAUNCHERNAME]", &values.launcher_name},
      {kAutoplayKey, nullptr},
  }};
  static const VoString kAutoplayPath(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\");

  std::wstring out;
  out.reserve(line.size());
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] != L'[') {
      out.push_back(line[i++]);
      continue;
    }
    std::wstring_view rest = line.substr(i);
    bool replaced = false;
    for (const auto& [name, value] : simple) {
      if (rest.starts_with(name)) {
        out.append(value ? value->View() : kAutoplayPath.View());
        i += name.size();
        replaced = true;
        break;
      }
    }
    if (replaced) continue;
    if (rest.starts_with(kCustomArt)) {
      size_t name_start = i + kCustomArt.size();
      size_t quote = line.find(L'"', name_start);
      size_t name_end = quote == std::wstring_view::npos ? line.size() : quote;
      std::wstring_view file_name = line.substr(name_start, name_end - name_start);
      if (values.find_art) out.append(values.find_art(file_name).View());
      i = name_end;
      continue;
    }
    out.push_back(line[i++]);
  }
  return VoString(std::move(out));
}

bool NeedsBothRegistryViews(std::wstring_view line) { return line.find(kAutoplayKey) != std::wstring_view::npos; }

const std::vector<VoString>& BuiltInTemplate() {
  static const std::vector<VoString> lines = {
      L"HKEY_CLASSES_ROOT",
      L"[PRODUCTWITHVERSION].File|Default|[PRODUCTNAME] file|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].File\\shell|Default|Play|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].File\\shell\\open\\command|Default|\"[LAUNCHERPATH]\" /Play \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].File\\shell\\Play|Default|&Play in [PRODUCTNAME]|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].File\\shell\\Play\\command|Default|\"[LAUNCHERPATH]\" /Play \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].File\\DefaultIcon|Default|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"Applications\\[LAUNCHERNAME]|Default|[PRODUCTNAME] file|STRING|MODIFY",
      L"Applications\\[LAUNCHERNAME]\\shell|Default|Play|STRING|MODIFY",
      L"Applications\\[LAUNCHERNAME]\\shell\\open\\command|Default|\"[LAUNCHERPATH]\" /Play \"%L\"|STRING|MODIFY",
      L"Applications\\[LAUNCHERNAME]\\shell\\Play|Default|&Play in [PRODUCTNAME]|STRING|MODIFY",
      L"Applications\\[LAUNCHERNAME]\\shell\\Play\\command|Default|\"[LAUNCHERPATH]\" /Play \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Pack|Default|[PRODUCTWITHVERSION].Pack|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Pack|BrowserFlags|8|DWORD|MODIFY",
      L"[PRODUCTWITHVERSION].Pack|EditFlags|65536|DWORD|MODIFY",
      L"[PRODUCTWITHVERSION].Pack|Content Type|application/x-kelvane-kvp|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Pack\\shell\\open\\command|Default|\"[INSTALLDIR]PackageInstaller.exe\" /Install \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Pack\\DefaultIcon|Default|\"[INSTALLDIR]PackageInstaller.exe\",1|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Playlist|Default|[PRODUCTWITHVERSION].Playlist|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Playlist|BrowserFlags|8|DWORD|MODIFY",
      L"[PRODUCTWITHVERSION].Playlist|EditFlags|65536|DWORD|MODIFY",
      L"[PRODUCTWITHVERSION].Playlist|Content Type|application/x-kelvane-mpl|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Playlist\\shell\\open\\command|Default|\"[LAUNCHERPATH]\" /Play \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Playlist\\DefaultIcon|Default|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Subscribe|Default|[PRODUCTWITHVERSION].Subscribe|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Subscribe|BrowserFlags|8|DWORD|MODIFY",
      L"[PRODUCTWITHVERSION].Subscribe|EditFlags|65536|DWORD|MODIFY",
      L"[PRODUCTWITHVERSION].Subscribe\\shell\\open\\command|Default|\"[LAUNCHERPATH]\" /Subscribe \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Subscribe\\DefaultIcon|Default|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Mime|Default|[PRODUCTWITHVERSION].Mime|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Mime|BrowserFlags|8|DWORD|MODIFY",
      L"[PRODUCTWITHVERSION].Mime|EditFlags|65536|DWORD|MODIFY",
      L"[PRODUCTWITHVERSION].Mime\\shell\\open\\command|Default|\"[LAUNCHERPATH]\" /Mime \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Mime\\DefaultIcon|Default|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"MIME\\Database\\Content Type\\application/podcast+xml|Extension|.podcast|STRING|MODIFY",
      L"MIME\\Database\\Content Type\\application/rss+xml|Extension|.rss|STRING|MODIFY",
      L".kvp|Default|[PRODUCTWITHVERSION].Pack|STRING|MODIFY",
      L".mpl|Default|[PRODUCTWITHVERSION].Playlist|STRING|MODIFY",
      L".kvs|Default|[PRODUCTWITHVERSION].Pack|STRING|MODIFY",
      L"Mime\\Database\\Content Type\\application/x-kelvane-kvp|Extension|.kvp|STRING|MODIFY",
      L"Mime\\Database\\Content Type\\application/x-kelvane-mpl|Extension|.mpl|STRING|MODIFY",
      L"Mime\\Database\\Content Type\\application/x-kelvane-kva|Extension|.kva|STRING|MODIFY",
      L"HKEY_CURRENT_USER",
      L"Software\\Netscape\\Netscape Navigator\\User Trusted External Applications|[LAUNCHERPATH]|Yes|STRING|MODIFY",
      L"HKEY_LOCAL_MACHINE",
      L"[AUTOPLAYKEY]CancelAutoplay\\CLSID|21369263-6C67-4a4d-9202-B34D2A5CBC85||STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\MTPMediaPlayerArrival|VoMTPHandler||STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoMTPHandler|Action|Synchronize media files to this device|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoMTPHandler|DefaultIcon|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoMTPHandler|ProgID|Shell.HWEventHandlerShellExecute|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoMTPHandler|InvokeVerb|Start|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoMTPHandler|Provider|[PRODUCTNAME]|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoMTPHandler|InitCmdLine|\"[EXEPATH]\"|STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\HandleCDBurningOnArrival|VoBurnCDOnArrival||STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoBurnCDOnArrival|Action|Burn a CD or DVD|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoBurnCDOnArrival|DefaultIcon|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoBurnCDOnArrival|InvokeProgID|[PRODUCTWITHVERSION].BurnCD|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoBurnCDOnArrival|InvokeVerb|Burn|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoBurnCDOnArrival|Provider|[PRODUCTNAME]|STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\PlayCDAudioOnArrival|VoCDAudioOnArrival||STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoCDAudioOnArrival|Action|Play an audio CD|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoCDAudioOnArrival|DefaultIcon|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoCDAudioOnArrival|InvokeProgID|[PRODUCTWITHVERSION].PlayAudioCD|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoCDAudioOnArrival|InvokeVerb|Play|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoCDAudioOnArrival|Provider|[PRODUCTNAME]|STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\PlayCDAudioOnArrival|VoRipCDOnArrival||STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoRipCDOnArrival|Action|Rip an audio CD|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoRipCDOnArrival|DefaultIcon|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoRipCDOnArrival|InvokeProgID|[PRODUCTWITHVERSION].Rip|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoRipCDOnArrival|InvokeVerb|Start|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoRipCDOnArrival|Provider|[PRODUCTNAME]|STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\PlayDVDMovieOnArrival|VoPlayDVDOnArrival||STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayDVDOnArrival|Action|Play DVD Video|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayDVDOnArrival|DefaultIcon|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayDVDOnArrival|InvokeProgID|[PRODUCTWITHVERSION].PlayDVDVideo|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayDVDOnArrival|InvokeVerb|Play|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayDVDOnArrival|Provider|[PRODUCTNAME]|STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\PlayBluRayOnArrival|VoPlayBlurayOnArrival||STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayBlurayOnArrival|Action|Play Blu-ray|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayBlurayOnArrival|DefaultIcon|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayBlurayOnArrival|InvokeProgID|[PRODUCTWITHVERSION].PlayBluray|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayBlurayOnArrival|InvokeVerb|Play|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayBlurayOnArrival|Provider|[PRODUCTNAME]|STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\PlayMusicFilesOnArrival|VoPlayMediaOnArrival||STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\ShowPicturesOnArrival|VoPlayMediaOnArrival||STRING|MODIFY",
      L"[AUTOPLAYKEY]EventHandlers\\PlayVideoFilesOnArrival|VoPlayMediaOnArrival||STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayMediaOnArrival|Action|Play Media|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayMediaOnArrival|DefaultIcon|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayMediaOnArrival|InvokeProgID|[PRODUCTWITHVERSION].PlayMedia|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayMediaOnArrival|InvokeVerb|Play|STRING|MODIFY",
      L"[AUTOPLAYKEY]Handlers\\VoPlayMediaOnArrival|Provider|[PRODUCTNAME]|STRING|MODIFY",
      L"HKEY_CLASSES_ROOT",
      L"[PRODUCTWITHVERSION].BurnCD\\DefaultIcon|Default|\"[EXEPATH]\",1|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].BurnCD\\shell\\Burn\\command|Default|\"[LAUNCHERPATH]\" /Burn \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Rip\\DefaultIcon|Default|\"[EXEPATH]\",1|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Rip\\shell\\Start\\command|Default|\"[LAUNCHERPATH]\" /Rip \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].PlayAudioCD\\DefaultIcon|Default|\"[EXEPATH]\",1|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].PlayAudioCD\\shell\\Play\\command|Default|\"[LAUNCHERPATH]\" /AudioCD \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].PlayDVDVideo\\DefaultIcon|Default|\"[EXEPATH]\",1|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].PlayDVDVideo\\shell\\Play\\command|Default|\"[LAUNCHERPATH]\" /DVDVideo \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].PlayBluray\\DefaultIcon|Default|\"[EXEPATH]\",1|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].PlayBluray\\shell\\Play\\command|Default|\"[LAUNCHERPATH]\" /Bluray \"%L\"|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Start\\DefaultIcon|Default|\"[EXEPATH]\",1|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].Start\\shell\\Start\\command|Default|\"[LAUNCHERPATH]\" /Start|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].PlayMedia\\DefaultIcon|Default|\"[EXEPATH]\",1|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].PlayMedia\\shell\\Start\\command|Default|\"[LAUNCHERPATH]\" /Play \"%L\"|STRING|MODIFY",
      L"HKEY_CURRENT_USER",
      L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\[PRODUCTNAME]|AppName|[PRODUCTNAME]|STRING|MODIFY",
      L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\[PRODUCTNAME]|ExePath|[EXEPATH]|STRING|MODIFY",
  };
  return lines;
}

}  // namespace vo
