#include "plugins/package_description.h"

#include <gtest/gtest.h>

#include <string>

#include "plugins/ini_text.h"

namespace {

// The whole description as one line, for comparing with a table.
std::string Describe(const PackageDescription& p) {
  std::string out = "name=" + p.name.ToUtf8() + " url=" + p.url.ToUtf8() + " version=" + p.version.ToUtf8() +
                    " actions=" + p.actions.Join(L",").ToUtf8();
  for (const PackageFileEntry& f : p.files) {
    out += " | " + std::string(f.is_url ? "url " : "file ") + f.file.ToUtf8() + ":";
    for (const PackageFileAction& a : f.actions) out += " [" + a.command.ToUtf8() + "(" + a.param.ToUtf8() + ")]";
  }
  return out + (IsLoadablePackage(p) ? " loadable" : " not loadable");
}

std::wstring Package(const std::wstring& root_attributes, const std::wstring& package, const std::wstring& actions = L"") {
  return L"<?xml version=\"1.0\"?>\r\n<KVPF" + root_attributes + L">\r\n <Package>" + package + L"</Package>\r\n" +
         actions + L"</KVPF>";
}

const std::wstring kPlain = L"<Name>Vis Pack</Name><URL>vispack.zip</URL><Version>1.2</Version>";

TEST(PackageDescription, ReadsTheXmlLayout) {
  const std::wstring entries =
      L"<Actions>\r\n"
      L"  <FileEntry><File>vis_a.dll</File><FileType></FileType>\r\n"
      L"    <Action><Command>COPY_VISUALIZATIONS</Command><Param></Param></Action>\r\n"
      L"    <Action><Command>REGISTER</Command></Action></FileEntry>\r\n"
      L"  <FileEntry><File>http://example.com/x.exe</File><FileType>url</FileType>\r\n"
      L"    <Action><Command>RUN</Command><Param>/S</Param></Action></FileEntry>\r\n"
      L"  <FileEntry><File> Skins\\Panorel </File></FileEntry>\r\n"
      L"</Actions>\r\n";
  const struct {
    const char* what;
    std::wstring text;
    const char* expected;  // null: refused
  } cases[] = {
      {"version 2.0 with file entries", Package(L" version=\"2.0\"", kPlain + L"<Action>UNZIPDIR</Action>", entries),
       "name=Vis Pack url=vispack.zip version=1.2 actions=UNZIPDIR"
       " | file vis_a.dll: [COPY_VISUALIZATIONS()] [REGISTER()] | url http://example.com/x.exe: [RUN(/S)]"
       " | file Skins\\Panorel: loadable"},
      {"version 2, blanks around the separators",
       Package(L" version='2'", kPlain + L"<Action> UNZIPDIR |SAVE_DIR_STRUCT |  | DONT_CLEANUP</Action>"),
       "name=Vis Pack url=vispack.zip version=1.2 actions=UNZIPDIR,SAVE_DIR_STRUCT,DONT_CLEANUP loadable"},
      {"version 20, names in other case",
       L"<kvpf VERSION=\"20\"><package><name>P</name><url>u</url><action>NONE</action></package></kvpf>",
       "name=P url=u version= actions=NONE loadable"},
      {"no name", Package(L" version=\"2.0\"", L"<URL>u</URL><Action>NONE</Action>"),
       "name= url=u version= actions=NONE not loadable"},
      {"no URL", Package(L" version=\"2.0\"", L"<Name>P</Name><Action>NONE</Action>"),
       "name=P url= version= actions=NONE not loadable"},
      {"only blank actions", Package(L" version=\"2.0\"", kPlain + L"<Action> | </Action>"),
       "name=Vis Pack url=vispack.zip version=1.2 actions= not loadable"},
      {"version 1.0", Package(L" version=\"1.0\"", kPlain + L"<Action>NONE</Action>"), nullptr},
      {"version 2.1", Package(L" version=\"2.1\"", kPlain + L"<Action>NONE</Action>"), nullptr},
      {"no version", Package(L"", kPlain + L"<Action>NONE</Action>"), nullptr},
      {"wrong root", L"<KVS version=\"2.0\"><Package>" + kPlain + L"<Action>NONE</Action></Package></KVS>", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    XmlDocument document;
    ASSERT_TRUE(document.SetDocumentText(VoString(c.text))) << document.GetParseError().ToUtf8();
    PackageDescription package;
    package.name = L"stale";
    EXPECT_EQ(ReadPackageXml(document, package), c.expected != nullptr);
    if (c.expected) {
      EXPECT_EQ(Describe(package), c.expected);
    }
  }
}

TEST(PackageDescription, ReadsTheInitializationFileLayout) {
  const struct {
    const char* what;
    const wchar_t* text;
    const char* expected;
  } cases[] = {
      {"files, URL files and actions split at the first blank",
       L"; older package\r\n[Package]\r\nName = Old Pack\r\nUrl=http://example.com/old.zip\r\nVersion=3\r\n"
       L"Action=UNZIPDIR | SAVE_DIR_STRUCT\r\nActionOpt= DONT_CLEANUP \r\n"
       L"[action]\r\nfile1=plug.dll\r\nFile1Action1=COPY_PLUGINDIR\r\nFile1Action2=RUN /S /D=C:\\x y\r\n"
       L"File2=URL:http://example.com/extra.exe\r\nFile2Action1=EXECUTE\r\n"
       L"File3=\r\nFile4=never.dll\r\n",
       "name=Old Pack url=http://example.com/old.zip version=3 actions=UNZIPDIR,SAVE_DIR_STRUCT,DONT_CLEANUP"
       " | file plug.dll: [COPY_PLUGINDIR()] [RUN(/S /D=C:\\x y)] | url http://example.com/extra.exe: [EXECUTE()]"
       " loadable"},
      {"empty ActionOpt, missing File1",
       L"[Package]\nName=P\nUrl=p.zip\nAction=NONE\nActionOpt=\n",
       "name=P url=p.zip version= actions=NONE loadable"},
      {"only ActionOpt", L"[Package]\nName=P\nUrl=p.zip\nActionOpt=INSTALLMEDIA\n",
       "name=P url=p.zip version= actions=INSTALLMEDIA loadable"},
      {"the first section and key of a name count, quotes go",
       L"[Package]\nName=\"First\"\nName=Second\nUrl=u\n[Package]\nAction=NONE\n",
       "name=First url=u version= actions= not loadable"},
      {"no action", L"[Package]\nName=P\nUrl=u\n", "name=P url=u version= actions= not loadable"},
      {"not an initialization file", L"PK\x03\x04 binary", "name= url= version= actions= not loadable"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const IniText ini(c.text);
    const PackageDescription package = ReadPackageIni(
        [&](std::wstring_view section, std::wstring_view key) { return ini.Get(section, key, kPackageIniValueLength); });
    EXPECT_EQ(Describe(package), c.expected);
  }
}

TEST(PackageDescription, IniValuesAreCutToTheirLength) {
  const std::wstring long_value(600, L'x');
  const IniText ini(L"[Package]\nName=" + long_value + L"\n");
  EXPECT_EQ(ini.Get(L"package", L"NAME", kPackageIniValueLength).Length(), kPackageIniValueLength);
  EXPECT_EQ(ini.Get(L"Package", L"Name", 4), L"xxxx");
  EXPECT_EQ(ini.Get(L"Package", L"Url", 4), L"");
  EXPECT_EQ(ini.Get(L"Other", L"Name", 4), L"");
}

}  // namespace
