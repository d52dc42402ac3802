// Installing packages into real folders and the real registry of the test
// prefix: content unpacked by the library's archive service, skins placed by
// their kind, the file actions and their failures, the records, packages
// that name paths outside their folders, downloads from the HTTP test
// server, and the staged packages of the finalize run.
#include "plugins/install_package.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/finalize_list_run.h"
#include "foundation/text_file.h"
#include "foundation/win/file_system.h"
#include "foundation/win/folder_tree_delete.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/process_info_record.h"
#include "foundation/win/temp_folders.h"
#include "foundation/win/vo_shared_memory.h"
#include "suite_http_server.h"
#include "net/internet_helper.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "registry_text_values.h"
#include "support/fake_tools.h"
#include "support/zip_builder.h"
#include "tools/tools_loader.h"
#include "toolslib/archive_service.h"

namespace {

struct Entry {
  using Actions = std::vector<std::pair<std::wstring, std::wstring>>;  // command, parameter
  Entry(std::wstring file_in, Actions actions_in, std::wstring type_in = L"")
      : file(std::move(file_in)), actions(std::move(actions_in)), type(std::move(type_in)) {}
  std::wstring file;
  Actions actions;
  std::wstring type;
};

std::wstring Escaped(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'<') out += L"&lt;";
    else if (c == L'>') out += L"&gt;";
    else if (c == L'&') out += L"&amp;";
    else out += c;
  }
  return out;
}

// A package in the XML layout.
std::string XmlPackage(const std::wstring& name, const std::wstring& url, const std::wstring& actions,
                       const std::vector<Entry>& entries, const std::wstring& version = L"1.0",
                       const std::wstring& root = L"KVPF", const std::wstring& format = L"2.0") {
  std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<" + root + L" version=\"" + format +
                      L"\">\r\n <Package><Name>" + name + L"</Name><URL>" + url + L"</URL><Version>" + version +
                      L"</Version><Action>" + actions + L"</Action></Package>\r\n <Actions>\r\n";
  for (const Entry& entry : entries) {
    text += L"  <FileEntry><File>" + entry.file + L"</File><FileType>" + entry.type + L"</FileType>";
    for (const auto& [command, param] : entry.actions) {
      text += L"<Action><Command>" + command + L"</Command><Param>" + Escaped(param) + L"</Param></Action>";
    }
    text += L"</FileEntry>\r\n";
  }
  text += L" </Actions>\r\n</" + root + L">\r\n";
  return VoString(text).ToUtf8();
}

std::string Contents(const VoString& path) {
  std::string bytes;
  return vo::ReadFileBytes(path, bytes) ? bytes : "<missing>";
}

bool IsFolder(const VoString& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class InstallPackageTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    tools_.registry = &registry_;
    tools_.archives = &archives_;
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = std::make_unique<TempTestFolder>((L"Package-" + VoString::FromUtf8(name).Std()).c_str());
    root_ = folder_->Path();
    for (const wchar_t* sub : {L"Package", L"Install", L"Temp", L"Outside"}) {
      ASSERT_TRUE(CreateDirectoryW((root_ + sub).c_str(), nullptr));
    }
    program_ = std::make_unique<ProgramFolderOverride>(root_ + L"Install\\");
    VoRegistryKeyPtr properties = vo::OpenStore(L"Properties", 1);
    ASSERT_TRUE(properties);
    properties->WriteString(L"File Location - Temp Location", (root_ + L"Temp\\").c_str(), kVoValuePlain);
    // As the plug-ins phase does before each package.
    ASSERT_TRUE(error_block_.Open(VoString(L"InstallPackageError"), sizeof(int32_t)));
    *static_cast<int32_t*>(error_block_.GetAddress()) = 0;
  }

  int ErrorBlock() const { return *static_cast<int32_t*>(error_block_.GetAddress()); }
  VoString At(const wchar_t* relative) const { return root_ + relative; }
  VoString Installed(const wchar_t* relative) const { return root_ + L"Install\\" + relative; }
  static void Write(const VoString& path, const std::string& bytes) {
    ASSERT_TRUE(vo::WriteFileBytes(path, bytes)) << path.ToUtf8();
  }
  // Writes the package file into "Package\" and installs it.
  bool Install(CInstallPackage& package, const std::string& text, const wchar_t* file = L"Package\\Test.kvp") {
    Write(At(file), text);
    if (!package.Load(At(file))) {
      ADD_FAILURE() << "not loaded";
      return false;
    }
    return package.Install();
  }

  FakeTools tools_;
  VoArchiveService archives_;
  std::unique_ptr<TempTestFolder> folder_;
  std::unique_ptr<ProgramFolderOverride> program_;
  VoSharedMemory error_block_;
  VoString root_;
};

TEST_F(InstallPackageTest, UnpacksAndCopiesWithBothLayouts) {
  const std::string kIni =
      "[Package]\r\nName=Sample Pack\r\nUrl=content.zip\r\nVersion=2.1\r\nAction=UNZIPDIR\r\nActionOpt=%s\r\n"
      "[Action]\r\nFile1=%s\r\nFile1Action1=COPY_VISUALIZATIONS\r\nFile2=b.txt\r\nFile2Action1=COPY_HELPDIR\r\n";
  auto ini = [&kIni](const char* option, const char* file) {
    std::string text = kIni;
    text.replace(text.find("%s"), 2, option);
    text.replace(text.find("%s"), 2, file);
    return text;
  };
  const struct {
    const char* what;
    std::string package;
    const wchar_t* unpacked_vis;  // where the archive's "vis/a.kvv" lands in the working folder
  } cases[] = {
      {"xml, folders kept",
       XmlPackage(L"Sample Pack", L"content.zip", L" UNZIPDIR | SAVE_DIR_STRUCT ",
                  {{L"vis\\a.kvv", {{L"COPY_VISUALIZATIONS", L""}}}, {L"b.txt", {{L"COPY_HELPDIR", L""}}}}),
       L"vis\\a.kvv"},
      {"xml, flat",
       XmlPackage(L"Sample Pack", L"content.zip", L"UNZIPDIR",
                  {{L"a.kvv", {{L"COPY_VISUALIZATIONS", L""}}}, {L"b.txt", {{L"COPY_HELPDIR", L""}}}}),
       L"a.kvv"},
      {"ini, folders kept", ini("SAVE_DIR_STRUCT", "vis\\a.kvv"), L"vis\\a.kvv"},
      {"ini, flat", ini("", "a.kvv"), L"a.kvv"},
  };
  Write(At(L"Package\\content.zip"), ZipBuilder().Add("vis/a.kvv", "A").Add("b.txt", "B", 0).Build());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CInstallPackage package;
    ASSERT_TRUE(Install(package, c.package)) << package.GetFailure().ToUtf8();
    EXPECT_EQ(package.GetName(), L"Sample Pack");
    EXPECT_TRUE(package.GetFailure().IsEmpty());
    EXPECT_EQ(ErrorBlock(), 0);
    const VoString working = At(L"Temp\\Sample Pack\\");
    EXPECT_EQ(package.GetWorkingFolder(), working);
    EXPECT_EQ(Contents(working + c.unpacked_vis), "A");
    EXPECT_EQ(Contents(Installed(L"Visualizations\\a.kvv")), "A");
    EXPECT_EQ(Contents(Installed(L"Help\\b.txt")), "B");
    // A local content file is never deleted.
    EXPECT_TRUE(vo::FileExists(At(L"Package\\content.zip")));
    EXPECT_TRUE(package.Cleanup());
    EXPECT_FALSE(IsFolder(working));
    DeleteFileW(Installed(L"Visualizations\\a.kvv").c_str());
  }
}

TEST_F(InstallPackageTest, RecordsWhatItPutInPlaceAndItsVersion) {
  Write(At(L"Package\\content.zip"), ZipBuilder()
                                         .Add("p.dll", "plugin")
                                         .Add("Skins/Panorel/Blue/main.xml", "<KVFS/>")
                                         .Add("Skins/Panorel/Blue/img/x.png", "png")
                                         .Build());
  const std::string text = XmlPackage(L"Pack Name", L"content.zip", L"UNZIPDIR|SAVE_DIR_STRUCT",
                                      {{L"p.dll", {{L"COPY_PLUGINDIR", L""}}},
                                       {L"Skins\\Panorel\\Blue", {{L"COPY_DIRECTORY", L"Skins\\Panorel\\Blue"}}}},
                                      L"1.5");
  CInstallPackage package;
  ASSERT_TRUE(Install(package, text)) << package.GetFailure().ToUtf8();
  // A full-screen-view skin folder goes to "FullSkins".
  EXPECT_EQ(Contents(Installed(L"FullSkins\\Blue\\img\\x.png")), "png");
  EXPECT_FALSE(IsFolder(Installed(L"Skins")));

  const VoString install = Installed(L"");
  const std::map<VoString, VoString> record = {
      {L"0", VoString(L"V") + area_.View() + L"\\Plugins\\Pack Name"},
      {L"1", L"F" + install + L"FullSkins\\Blue\\img\\x.png"},
      {L"2", L"D" + install + L"FullSkins\\Blue\\img\\"},
      {L"3", L"F" + install + L"FullSkins\\Blue\\main.xml"},
      {L"4", L"D" + install + L"FullSkins\\Blue\\"},
      {L"5", L"F" + install + L"Plugins\\p.dll"},
  };
  EXPECT_EQ(ReadTextValues(HKEY_CURRENT_USER, StorePath(L"Plugins\\Uninstall\\Pack Name")), record);
  EXPECT_EQ(ReadTextValues(HKEY_CURRENT_USER, StorePath(L"Plugins"))[VoString(L"Pack Name")], L"1.5");

  // Installed again over itself: the folders exist now and are not
  // claimed by the package's record.
  CInstallPackage again;
  ASSERT_TRUE(Install(again, text)) << again.GetFailure().ToUtf8();
  for (const VoString& entry : again.GetRecorded()) EXPECT_NE(entry.At(0), L'D') << entry.ToUtf8();
}

TEST_F(InstallPackageTest, PlacesSkinsByTheirKind) {
  const struct {
    const char* main_xml;  // null: the skin has none
    const wchar_t* place;
  } cases[] = {
      {"<KVS version=\"1.0\"/>", L"Skins\\Mini View\\"},
      {"<KVMS/>", L"Skins\\Standard View\\"},
      {"<KVFS><Window/></KVFS>", L"Skins\\Panorel\\"},
      {"<Other/>", L"Skins\\Mini View\\"},
      {nullptr, L"Skins\\Mini View\\"},
  };
  const VoString places[] = {Installed(L"Skins\\Mini View\\Night\\"), Installed(L"Skins\\Standard View\\Night\\"),
                             Installed(L"Skins\\Panorel\\Night\\")};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.main_xml ? c.main_xml : "no main.xml");
    ZipBuilder zip;
    zip.Add("img/art.png", "art");
    if (c.main_xml) zip.Add("main.xml", c.main_xml);
    Write(At(L"Package\\skin.zip"), zip.Build());
    CInstallPackage package;
    ASSERT_TRUE(Install(package, XmlPackage(L"Night", L"skin.zip", L"INSTALLSKIN|SAVE_DIR_STRUCT", {})))
        << package.GetFailure().ToUtf8();
    const VoString expected = Installed(c.place) + L"Night\\";
    EXPECT_EQ(Contents(expected + L"img\\art.png"), "art");
    for (const VoString& place : places) {
      if (place != expected) {
        EXPECT_FALSE(IsFolder(place)) << place.ToUtf8();
      }
    }
    // The placed skin is the product's now: clean-up leaves it alone.
    package.Cleanup();
    EXPECT_TRUE(IsFolder(expected));
    vo::DeleteFolderTree(Installed(L"Skins\\"));
  }
}

TEST_F(InstallPackageTest, AFailedActionFailsThePackage) {
  Write(At(L"Package\\p.dll"), "new");
  Write(At(L"Package\\a.txt"), "a");
  ASSERT_TRUE(vo::CreateFolderTree(Installed(L"Plugins\\"), false));
  Write(Installed(L"Plugins\\p.dll"), "old");
  HANDLE held =
      CreateFileW(Installed(L"Plugins\\p.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const VoString missing = At(L"Package\\missing.exe");
  const struct {
    const char* what;
    Entry entry;
    VoString failure;
  } cases[] = {
      {"copy into a held file", {L"p.dll", {{L"COPY_PLUGINDIR", L""}}},
       L"Destination file is in use.\r\n" + Installed(L"Plugins\\p.dll")},
      {"missing program", {L"missing.exe", {{L"RUN", L""}}}, L"Failed to start process.\r\n" + missing + L"\r\nError: 2"},
      {"missing program with a parameter", {L"missing.exe", {{L"EXECUTE", L"/S"}}},
       L"Failed to start process.\r\n" + missing + L" /S\r\nError: 2"},
      {"bad registration", {L"a.txt", {{L"REGISTER", L""}}}, L"Failed to register object.\r\n" + At(L"Package\\a.txt")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    *static_cast<int32_t*>(error_block_.GetAddress()) = 0;
    CInstallPackage package;
    package.SetQuiet(true);
    EXPECT_FALSE(Install(package, XmlPackage(L"Failing", L"p.dll", L"NONE", {c.entry, {L"a.txt", {{L"COPY_HELPDIR", L""}}}})));
    EXPECT_EQ(package.GetFailure(), c.failure);
    EXPECT_EQ(ErrorBlock(), 1);
    // The entries after the failed one do not run, and nothing is recorded.
    EXPECT_FALSE(vo::FileExists(Installed(L"Help\\a.txt")));
    EXPECT_TRUE(ReadTextValues(HKEY_CURRENT_USER, StorePath(L"Plugins")).empty());
    EXPECT_TRUE(tools_.MessageBoxes().empty());
  }
  CloseHandle(held);
  EXPECT_EQ(Contents(Installed(L"Plugins\\p.dll")), "old");
}

TEST_F(InstallPackageTest, CleanupKeepsTheWorkingFolderWhenAsked) {
  Write(At(L"Package\\content.zip"), ZipBuilder().Add("a.txt", "a").Build());
  Write(At(L"Package\\a.txt"), "a");
  const struct {
    const wchar_t* actions;
    VoString working;
    bool kept;
  } cases[] = {
      {L"UNZIPDIR", At(L"Temp\\Kept\\"), false},
      {L"UNZIPDIR|DONT_CLEANUP", At(L"Temp\\Kept\\"), true},
      {L"NONE", At(L"Package\\"), true},
      {L"INSTALLMEDIA", At(L"Package\\"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.actions).ToUtf8());
    CInstallPackage package;
    ASSERT_TRUE(Install(package, XmlPackage(L"Kept", L"content.zip", c.actions, {{L"a.txt", {{L"COPY_HELPDIR", L""}}}})))
        << package.GetFailure().ToUtf8();
    EXPECT_EQ(package.GetWorkingFolder(), c.working);
    EXPECT_TRUE(package.Cleanup());
    EXPECT_EQ(IsFolder(c.working), c.kept);
  }
}

TEST_F(InstallPackageTest, APackageWithoutAPlacingActionFails) {
  Write(At(L"Package\\a.txt"), "a");
  CInstallPackage package;
  EXPECT_FALSE(Install(package, XmlPackage(L"Odd", L"a.txt", L"SAVE_DIR_STRUCT | DONT_CLEANUP",
                                           {{L"a.txt", {{L"COPY_HELPDIR", L""}}}})));
  EXPECT_NE(package.GetFailure().Find(L"has none of the actions"), VoString::npos) << package.GetFailure().ToUtf8();
  EXPECT_EQ(ErrorBlock(), 1);
  EXPECT_FALSE(vo::FileExists(Installed(L"Help\\a.txt")));
}

TEST_F(InstallPackageTest, RefusesPathsOutsideItsFolders) {
  Write(At(L"Package\\a.txt"), "a");
  Write(At(L"Outside\\keep.txt"), "keep");
  Write(At(L"evil.txt"), "evil");
  ASSERT_TRUE(vo::CreateFolderTree(Installed(L"Keep\\"), false));
  Write(Installed(L"Keep\\k.txt"), "k");
  Write(At(L"Package\\content.zip"), ZipBuilder().Add("a.txt", "a").Build());
  Write(At(L"Package\\bad.zip"), ZipBuilder().Add("a.txt", "a").Add("../../Outside/evil.txt", "evil").Build());
  const Entry first = {L"a.txt", {{L"COPY_HELPDIR", L""}}};
  const std::wstring outside = At(L"Outside\\keep.txt").Std();
  const struct {
    const char* what;
    std::string package;
    const wchar_t* failure;  // the start of the failure text
  } cases[] = {
      {"file above the folder", XmlPackage(L"P", L"content.zip", L"NONE", {first, {L"..\\..\\evil.txt", {{L"COPY_HELPDIR", L""}}}}),
       L"The package names a path outside its folder: '..\\..\\evil.txt'."},
      {"absolute file", XmlPackage(L"P", L"content.zip", L"NONE", {first, {outside, {{L"COPY_HELPDIR", L""}}}}),
       L"The package names a path outside its folder"},
      {"folder deleted above", XmlPackage(L"P", L"content.zip", L"NONE", {first, {L"a.txt", {{L"DELETE_DIRECTORY", L".."}}}}),
       L"The package names a path outside its folder: '..'."},
      {"empty folder to delete", XmlPackage(L"P", L"content.zip", L"NONE", {first, {L"a.txt", {{L"DELETE_DIRECTORY", L""}}}}),
       L"The package names a path outside its folder: ''."},
      {"file deleted outside", XmlPackage(L"P", L"content.zip", L"NONE", {first, {L"a.txt", {{L"DELETE", L"..\\Outside\\keep.txt"}}}}),
       L"The package names a path outside its folder"},
      {"folder copied from outside", XmlPackage(L"P", L"content.zip", L"NONE", {first, {L"a.txt", {{L"COPY_DIRECTORY", L"..\\Outside"}}}}),
       L"The package names a path outside its folder"},
      {"content above the folder", XmlPackage(L"P", L"..\\Outside\\x.zip", L"UNZIPDIR", {first}),
       L"The package names a path outside its folder"},
      {"name that climbs", XmlPackage(L"..\\..\\Outside", L"content.zip", L"UNZIPDIR", {first}),
       L"The package name '..\\..\\Outside' cannot name a folder."},
      {"archive entry outside", XmlPackage(L"P", L"bad.zip", L"UNZIPDIR", {first}), L"Failed to unzip file '"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    *static_cast<int32_t*>(error_block_.GetAddress()) = 0;
    CInstallPackage package;
    EXPECT_FALSE(Install(package, c.package));
    EXPECT_TRUE(package.GetFailure().StartsWithNoCase(c.failure)) << package.GetFailure().ToUtf8();
    EXPECT_EQ(ErrorBlock(), 1);
    EXPECT_FALSE(vo::FileExists(Installed(L"Help\\a.txt")));
    EXPECT_EQ(Contents(At(L"Outside\\keep.txt")), "keep");
    EXPECT_EQ(Contents(Installed(L"Keep\\k.txt")), "k");
    EXPECT_FALSE(vo::FileExists(At(L"Outside\\evil.txt")));
    EXPECT_FALSE(IsFolder(At(L"Temp\\P")));
    EXPECT_TRUE(ReadTextValues(HKEY_CURRENT_USER, StorePath(L"Plugins")).empty());
  }
}

TEST_F(InstallPackageTest, WritesRegistryValues) {
  Write(At(L"Package\\a.txt"), "a");
  const VoString key = area_ + L"\\Written";
  const VoString install = root_ + L"Install";
  const struct {
    VoString param;
    bool ok;
    VoString value_key;
    const wchar_t* value_name;
    VoString data;
  } cases[] = {
      {L"HKEY_CURRENT_USER|" + key + L"|Path|[PROGRAMPATH]\\Halvora.exe", true, key, L"Path", install + L"\\Halvora.exe"},
      {L"HKEY_CURRENT_USER|" + key + L"\\[NameWithVersion]|Home|<PROGRAMPATH>", true, key + L"\\Halvora 23", L"Home",
       install},
      {L"HKEY_CURRENT_USER|" + key + L"|Empty|", true, key, L"Empty", L""},
      {L"HKEY_CURRENT_USER|" + key + L"|Three", false, key, L"Three", L"<none>"},
      {L"HKEY_CURRENT_USER|" + key + L"|A|B|C", false, key, L"A", L"<none>"},
      {L"HKEY_NOWHERE|" + key + L"|Nowhere|x", false, key, L"Nowhere", L"<none>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.param.ToUtf8());
    CInstallPackage package;
    EXPECT_EQ(Install(package, XmlPackage(L"Reg", L"a.txt", L"NONE", {{L"a.txt", {{L"REGISTRY", c.param.Std()}}}})), c.ok)
        << package.GetFailure().ToUtf8();
    const auto values = ReadTextValues(HKEY_CURRENT_USER, c.value_key);
    const auto found = values.find(VoString(c.value_name));
    EXPECT_EQ(found == values.end() ? VoString(L"<none>") : found->second, c.data);
  }
}

// RUN starts the file with its parameter; INSTALL hands the file to the
// package installer of the install folder as "/Q /Install <file>". The
// test program in their place logs its arguments.
TEST_F(InstallPackageTest, RunsProgramsAndNestedPackages) {
  const VoString program = vo::GetExecutableFolder() + L"exit_with.exe";
  ASSERT_TRUE(CopyFileW(program.c_str(), At(L"Package\\tool.exe").c_str(), FALSE));
  Write(At(L"Package\\Inner.kvp"), "inner");
  const VoString arguments = At(L"arguments.txt");
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", arguments.c_str());
  const struct {
    const char* what;
    bool installer_present;
    Entry entry;
    bool ok;
    VoString logged;  // the started program's arguments, or its failure
  } cases[] = {
      {"run with a parameter", false, {L"tool.exe", {{L"RUN", L"0 --quiet"}}}, true, L"0 --quiet"},
      {"run without waiting", false, {L"tool.exe", {{L"DONTWAIT", L""}, {L"EXECUTE", L"0 later"}}}, true, L"0 later"},
      {"nested package", true, {L"Inner.kvp", {{L"INSTALL", L""}}}, true, L"/Q /Install " + At(L"Package\\Inner.kvp")},
      {"no package installer", false, {L"Inner.kvp", {{L"INSTALL", L""}}}, false,
       L"Failed to install using Package Installer.\r\nParameters: /Q /Install \"" + At(L"Package\\Inner.kvp") +
           L"\"\r\nError: 2"},
      {"itself", true, {L"Test.kvp", {{L"INSTALL", L""}}}, false,
       L"Failed to install using Package Installer.\r\nParameters: /Q /Install \"" + At(L"Package\\Test.kvp") +
           L"\"\r\nError: 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileW(arguments.c_str());
    DeleteFileW(Installed(L"PackageInstaller.exe").c_str());
    if (c.installer_present) {
      ASSERT_TRUE(CopyFileW(program.c_str(), Installed(L"PackageInstaller.exe").c_str(), FALSE));
    }
    CInstallPackage package;
    EXPECT_EQ(Install(package, XmlPackage(L"Runs", L"tool.exe", L"NONE", {c.entry})), c.ok);
    if (c.ok) {
      // A program not waited for may log a little later.
      std::string logged = Contents(arguments);
      for (int i = 0; i < 100 && logged.find(c.logged.ToUtf8()) == std::string::npos; ++i) {
        Sleep(20);
        logged = Contents(arguments);
      }
      EXPECT_NE(logged.find(c.logged.ToUtf8()), std::string::npos) << logged;
    } else {
      EXPECT_EQ(package.GetFailure(), c.logged);
    }
  }
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);
}

TEST_F(InstallPackageTest, LoadsOnlyWhatItCanInstall) {
  const struct {
    const char* what;
    std::string text;
    bool loads;
  } cases[] = {
      {"xml", XmlPackage(L"A", L"a.zip", L"UNZIPDIR", {}), true},
      {"version 2", XmlPackage(L"A", L"a.zip", L"UNZIPDIR", {}, L"1", L"KVPF", L"2"), true},
      {"other root", XmlPackage(L"A", L"a.zip", L"UNZIPDIR", {}, L"1", L"KVPX"), false},
      {"version 1.0", XmlPackage(L"A", L"a.zip", L"UNZIPDIR", {}, L"1", L"KVPF", L"1.0"), false},
      {"no name", XmlPackage(L"", L"a.zip", L"UNZIPDIR", {}), false},
      {"no action", XmlPackage(L"A", L"a.zip", L" | ", {}), false},
      {"older layout", "[Package]\r\nName=A\r\nUrl=a.zip\r\nAction=NONE\r\n", true},
      {"older layout without URL", "[Package]\r\nName=A\r\nAction=NONE\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write(At(L"Package\\Load.kvp"), c.text);
    CInstallPackage package;
    EXPECT_EQ(package.Load(At(L"Package\\Load.kvp")), c.loads);
    if (c.loads) {
      EXPECT_EQ(package.GetName(), L"A");
    }
  }
  CInstallPackage none;
  EXPECT_FALSE(none.Load(At(L"Package\\Missing.kvp")));
}

TEST_F(InstallPackageTest, TheFinalizeRunInstallsStagedPackages) {
  Write(At(L"Package\\content.zip"), ZipBuilder().Add("a.kvv", "A").Build());
  Write(At(L"Package\\Good.kvp"),
        XmlPackage(L"Good", L"content.zip", L"UNZIPDIR", {{L"a.kvv", {{L"COPY_VISUALIZATIONS", L""}}}}));
  Write(At(L"Package\\Bad.kvp"), XmlPackage(L"Bad", L"missing.zip", L"UNZIPDIR", {}));
  VoRegistryKeyPtr list = vo::OpenStore(L"Installer\\Finalize", 1);
  ASSERT_TRUE(list);
  list->WriteString(L"Install File (0)", (At(L"Package\\Bad.kvp") + L"|").c_str(), kVoValuePlain);
  list->WriteString(L"Install File (1)", (At(L"Package\\Good.kvp") + L"|").c_str(), kVoValuePlain);
  list.reset();

  const vo::FinalizeListOutcome outcome = vo::CompleteFinalizeList();
  EXPECT_EQ(outcome.done.GetCount(), 1u);
  EXPECT_EQ(outcome.failed.GetCount(), 1u);
  EXPECT_EQ(Contents(Installed(L"Visualizations\\a.kvv")), "A");
  // The installed package leaves the list; the other waits for the next run.
  const std::map<VoString, VoString> left = {{L"Install File (0)", At(L"Package\\Bad.kvp") + L"|"}};
  EXPECT_EQ(ReadTextValues(HKEY_CURRENT_USER, StorePath(L"Installer\\Finalize")), left);
  EXPECT_TRUE(tools_.MessageBoxes().empty());
}

// Content on a web server, read through the reader module as built.
class InstallPackageDownloadTest : public InstallPackageTest {
 public:
  static void SetUpTestSuite() { server_.Start(L"InstallPackageServer\\"); }
  static void TearDownTestSuite() { server_.Stop(); }

 protected:
  void SetUp() override {
    InstallPackageTest::SetUp();
    ASSERT_TRUE(server_.Started()) << "the HTTP test server did not start";
  }

  static inline SuiteHttpServer server_;
};

TEST_F(InstallPackageDownloadTest, DownloadsItsContent) {
  Write(server_.Folder() + L"content.zip", ZipBuilder().Add("a.kvv", "A").Build());
  const VoString downloads = vo::GetTempFolder() + L"InstallPackage\\";
  const struct {
    const wchar_t* actions;
    const wchar_t* url;
    bool ok;
    bool content_kept;
  } cases[] = {
      {L"UNZIPDIR", L"content.zip", true, false},
      {L"UNZIPDIR|DONT_CLEANUP", L"content.zip", true, true},
      {L"UNZIPDIR", L"missing.zip", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.actions).ToUtf8() + " " + VoString(c.url).ToUtf8());
    vo::DeleteFolderTree(downloads);
    DeleteFileW(Installed(L"Visualizations\\a.kvv").c_str());
    CInstallPackage package;
    EXPECT_EQ(Install(package, XmlPackage(L"Remote", server_.Url(c.url).Std(), c.actions,
                                          {{L"a.kvv", {{L"COPY_VISUALIZATIONS", L""}}}})),
              c.ok)
        << package.GetFailure().ToUtf8();
    EXPECT_EQ(vo::FileExists(Installed(L"Visualizations\\a.kvv")), c.ok);
    EXPECT_EQ(vo::FileExists(downloads + L"Remote.tmp"), c.content_kept);
    if (!c.ok) {
      EXPECT_EQ(package.GetFailure(), L"Failed to download file '" + server_.Url(c.url) + L"'.");
    }
  }
  vo::DeleteFolderTree(downloads);
}

}  // namespace
