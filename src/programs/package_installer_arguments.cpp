#include "programs/package_installer_arguments.h"

namespace vo {

namespace {

struct Switch {
  const wchar_t* name;
  PackageInstallerCommand command;
  bool takes_path;
};

constexpr Switch kSwitches[] = {
    {L"/RegFileAssociations", PackageInstallerCommand::kRegFileAssociations, false},
    {L"/RegDLL", PackageInstallerCommand::kRegisterServers, true},
    {L"/UnRegDLL", PackageInstallerCommand::kUnregisterServers, true},
    {L"/FinishInstall", PackageInstallerCommand::kFinishInstall, false},
    {L"/Install", PackageInstallerCommand::kInstallPackage, true},
    {L"/InstallWDMDriver", PackageInstallerCommand::kInstallDriver, true},
    {L"/RemoveWDMDriver", PackageInstallerCommand::kRemoveDriver, false},
};

const Switch* FindSwitch(std::wstring_view name) {
  for (const Switch& entry : kSwitches) {
    if (EqualsNoCase(name, entry.name)) return &entry;
  }
  return nullptr;
}

VoString WithoutQuotes(const VoString& text) {
  VoString out;
  for (wchar_t c : text.View()) {
    if (c != L'"') out += c;
  }
  return out.Trimmed();
}

}  // namespace

VoString PackageInstallerUsage() {
  return VoString(
      L"Usage: PackageInstaller.exe [/Q] /RegFileAssociations | /RegDLL <path> | /UnRegDLL <path> | "
      L"/FinishInstall | /Install <package> | /InstallWDMDriver <inf> | /RemoveWDMDriver");
}

PackageInstallerArguments ParsePackageInstallerArguments(const VoStringArray& arguments) {
  PackageInstallerArguments parsed;
  auto fail = [&parsed](const VoString& why) {
    if (parsed.error.IsEmpty()) parsed.error = why;
  };
  // "/Q" counts wherever it stands, so a bad argument before it is still
  // reported quietly.
  for (const VoString& argument : arguments) {
    if (argument.Trimmed().EqualsNoCase(L"/Q")) parsed.quiet = true;
  }
  for (size_t i = 0; i < arguments.GetCount(); ++i) {
    VoString argument = arguments[i].Trimmed();
    if (argument.IsEmpty() || argument.EqualsNoCase(L"/Q")) continue;
    // "/RegDLL C:\path" may arrive as one argument.
    VoString attached;
    const size_t blank = argument.Find(L' ');
    if (argument.At(0) == L'/' && blank != VoString::npos) {
      attached = argument.Mid(blank + 1);
      argument = argument.Left(blank);
    }
    const Switch* known = FindSwitch(argument.View());
    if (!known) {
      fail(VoString(L"Unknown argument: ") + arguments[i].View());
      continue;
    }
    if (parsed.command != PackageInstallerCommand::kNone) {
      fail(VoString(L"Only one command can be given: ") + arguments[i].View());
      continue;
    }
    parsed.command = known->command;
    if (!known->takes_path) {
      if (!attached.Trimmed().IsEmpty()) fail(VoString(L"Unexpected text after ") + known->name + L": " + attached.View());
      continue;
    }
    VoStringArray parts;
    if (!attached.IsEmpty()) parts.Add(attached);
    while (i + 1 < arguments.GetCount() && arguments[i + 1].Trimmed().At(0) != L'/') parts.Add(arguments[++i]);
    parsed.path = WithoutQuotes(parts.Join(L" "));
    if (parsed.path.IsEmpty()) fail(VoString(known->name) + L" needs a file or folder path.");
  }
  if (parsed.error.IsEmpty() && parsed.command == PackageInstallerCommand::kNone) fail(VoString(L"No command given."));
  if (!parsed.error.IsEmpty()) parsed.command = PackageInstallerCommand::kNone;
  return parsed;
}

}  // namespace vo
