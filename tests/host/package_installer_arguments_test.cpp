// The package installer's command line.

#include "programs/package_installer_arguments.h"

#include <gtest/gtest.h>

namespace {

using Command = vo::PackageInstallerCommand;

TEST(PackageInstallerArguments, CommandsPathsAndQuiet) {
  struct Case {
    VoStringArray arguments;
    Command command;
    const wchar_t* path;
    bool quiet;
  };
  const Case cases[] = {
      {{L"/RegFileAssociations"}, Command::kRegFileAssociations, L"", false},
      {{L"/finishinstall"}, Command::kFinishInstall, L"", false},
      {{L"/FinishInstall", L"/Q"}, Command::kFinishInstall, L"", true},
      {{L"/RegDLL", L"C:\\Program Files\\Halvora\\Shell Extensions"}, Command::kRegisterServers,
       L"C:\\Program Files\\Halvora\\Shell Extensions", false},
      // Unquoted paths arrive in pieces; one argument may hold switch and path.
      {{L"/UnRegDLL", L"C:\\Program", L"Files\\x.dll", L"/Q"}, Command::kUnregisterServers,
       L"C:\\Program Files\\x.dll", true},
      {{L"/RegDLL \"C:\\A B\\x.dll\""}, Command::kRegisterServers, L"C:\\A B\\x.dll", false},
      // The installer's plug-ins phase and nested packages: "/Q /Install <file>".
      {{L"/Q", L"/Install", L"\"C:\\Setup\\Vis Pack.kvp\""}, Command::kInstallPackage, L"C:\\Setup\\Vis Pack.kvp", true},
      {{L"/InstallWDMDriver", L"C:\\Halvora\\Drivers\\VortalaWDMDriver.inf"}, Command::kInstallDriver,
       L"C:\\Halvora\\Drivers\\VortalaWDMDriver.inf", false},
      {{L"/removewdmdriver"}, Command::kRemoveDriver, L"", false},
  };
  for (const Case& c : cases) {
    const auto parsed = vo::ParsePackageInstallerArguments(c.arguments);
    EXPECT_EQ(parsed.error, L"") << c.arguments.Join(L" ").ToUtf8();
    EXPECT_EQ(parsed.command, c.command) << c.arguments.Join(L" ").ToUtf8();
    EXPECT_EQ(parsed.path, c.path);
    EXPECT_EQ(parsed.quiet, c.quiet);
  }
}

TEST(PackageInstallerArguments, BadArgumentsAreNamed) {
  struct Case {
    VoStringArray arguments;
    const wchar_t* error;
    bool quiet;
  };
  const Case cases[] = {
      {{}, L"No command given.", false},
      {{L"/Q"}, L"No command given.", true},
      {{L"/Bogus", L"/Q"}, L"Unknown argument: /Bogus", true},
      {{L"C:\\file.kvp"}, L"Unknown argument: C:\\file.kvp", false},
      {{L"/RegDLL"}, L"/RegDLL needs a file or folder path.", false},
      {{L"/RegDLL", L"\"\""}, L"/RegDLL needs a file or folder path.", false},
      {{L"/FinishInstall", L"/RegFileAssociations"}, L"Only one command can be given: /RegFileAssociations", false},
      {{L"/FinishInstall now"}, L"Unexpected text after /FinishInstall: now", false},
      {{L"/Install", L"/Q"}, L"/Install needs a file or folder path.", true},
      {{L"/RemoveWDMDriver x.inf"}, L"Unexpected text after /RemoveWDMDriver: x.inf", false},
  };
  for (const Case& c : cases) {
    const auto parsed = vo::ParsePackageInstallerArguments(c.arguments);
    EXPECT_EQ(parsed.error, c.error) << c.arguments.Join(L" ").ToUtf8();
    EXPECT_EQ(parsed.command, Command::kNone);
    EXPECT_EQ(parsed.quiet, c.quiet);
  }
}

}  // namespace
