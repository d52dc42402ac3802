#include "toolslib/product_description.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const VoString kSource(L"C:\\Setup\\Kelvane\\Product.xml");

// The sample distribution's description, beside the tests' data folder.
VoString SampleDescriptionPath() { return VoString::FromUtf8(VO_SAMPLE_DIR "/Kelvane/Product.xml"); }

// A description with the required information and `extra` inside
// <Information>, then `sections` below the root.
VoString Description(std::wstring_view extra = {}, std::wstring_view sections = {},
                     std::wstring_view root = L"<VoProduct version=\"1.0\">") {
  return VoString(root) +
         L"<Information><ShortName>Nova</ShortName><DisplayName>Nova 7</DisplayName><FamilyName>Nova</FamilyName>"
         L"<EditionName>Nova 7 Pro</EditionName><MainProgram>Nova.exe</MainProgram><Launcher>Nova Start.exe</Launcher>"
         L"<StartMenuGroup>Nova 7</StartMenuGroup><StartMenuVersion>7</StartMenuVersion><Version>7.1.2.3</Version>"
         L"<MajorVersion>7</MajorVersion>" +
         extra + L"</Information>" + sections + L"</VoProduct>";
}

// The description without one required element.
VoString DescriptionWithout(const std::wstring& element) {
  std::wstring text = Description().Std();
  const size_t open = text.find(L"<" + element + L">");
  const size_t close = text.find(L"</" + element + L">");
  text.erase(open, close + element.size() + 3 - open);
  return VoString(text);
}

TEST(ProductDescription, SampleDistributionDescribesHalvora23) {
  ProductDescription d;
  VoString error;
  ASSERT_TRUE(d.Load(SampleDescriptionPath(), error)) << error.ToUtf8();
  EXPECT_TRUE(error.IsEmpty());
  const ProductInformation& info = d.Information();
  EXPECT_EQ(info.names[0], L"Halvora");
  EXPECT_EQ(info.names[1], L"Halvora 23");
  EXPECT_EQ(info.names[2], L"Halvora");
  EXPECT_EQ(info.names[3], L"Halvora 23");
  EXPECT_EQ(info.main_program, L"Halvora.exe");
  EXPECT_EQ(info.launcher, L"Halvora Launcher.exe");
  EXPECT_EQ(info.server_programs.Join(L";"), L"OdrixServer.exe");
  EXPECT_EQ(info.start_menu_group, L"Halvora 23");
  EXPECT_EQ(info.start_menu_version, L"23");
  EXPECT_EQ(info.major_version, 23);
  EXPECT_FALSE(info.version_text.IsEmpty());
  EXPECT_TRUE(info.web_address.StartsWithNoCase(L"https://"));
  ASSERT_EQ(info.links.count(15), 1u);
  EXPECT_TRUE(info.links.at(15).StartsWithNoCase(L"http://127.0.0.1:"));
  EXPECT_TRUE(info.links.at(15).View().ends_with(L"/d3dx943.exe"));
  EXPECT_EQ(info.features.count(173), 1u);
  EXPECT_EQ(info.features.count(176), 1u);
  EXPECT_NE(info.mime_types.Find(L"application/x-kelvane-kva"), VoString::npos);
  EXPECT_FALSE(info.protocols.IsEmpty());
  EXPECT_EQ(info.own_extension, L".kva");

  // Every configuration path the installer asks for is answered by the file.
  const struct {
    const wchar_t* path;
    const wchar_t* text;
  } config[] = {
      {L"/*/General/MegaSkin", L""},
      {L"/*/General/MegaSkinStyles", L"Standard;Compact"},
      {L"/*/General/MegaSkinKey", L"Standard View Skin"},
      {L"/*/Installer/ShowLanguageSelection", L"0"},
      {L"/*/Installer/PromoMinimumMilliseconds", L"4000"},
      {L"/*/Installer/PromoCount", L"3"},
      {L"/*/SpecialFeatures/MinIEVersion", L""},
      {L"/*/Product/InstallToPath", L"Halvora 23"},
      {L"/*/Product/ObsoleteFiles", L"Halvora Help.chm;Plugins\\Input\\OldTagReader.dll;Data\\Cache.dat"},
      {L"/*/Product/DefaultFileTypes", L"mp3;wma;m4a;flac;ogg;wav;ape;mpc;mp4;m4v;mkv;avi;wmv;jpg;png;m3u;pls;mpl"},
      {L"/*/Product/DefaultAssocFileTypes", L"mp3;wma;m4a;flac;ogg;ape;mpc;m3u;pls;mpl"},
      {L"/*/DefaultSettings/MAKEDEFAULTPLAYER", L"1"},
  };
  for (const auto& c : config) {
    VoString text = L"stale";
    EXPECT_TRUE(d.FindConfigText(c.path, text)) << VoString(c.path).ToUtf8();
    EXPECT_EQ(text, c.text) << VoString(c.path).ToUtf8();
  }
  EXPECT_EQ(d.ConfigInt(L"/*/Installer/PromoCount", 0), 3);
  EXPECT_EQ(d.ConfigInt(L"/*/Installer/PromoMinimumMilliseconds", 0), 4000);
}

TEST(ProductDescription, InformationValues) {
  const struct {
    const char* name;
    const wchar_t* extra;
    ProductInformation expected;  // only the optional values are compared
  } cases[] = {
      {"none given", L"", {}},
      {"own extension gets its dot",
       L"<OwnExtension> nva </OwnExtension>",
       [] {
         ProductInformation i;
         i.own_extension = L".nva";
         return i;
       }()},
      {"own extension keeps its dot",
       L"<OwnExtension>.nva</OwnExtension>",
       [] {
         ProductInformation i;
         i.own_extension = L".nva";
         return i;
       }()},
      {"lists and links",
       L"<Features> 5 ; 176;;173 ;5</Features><MimeTypes>audio/x-a;audio/x-b</MimeTypes><Protocols>nova://</Protocols>"
       L"<WebAddress>https://nova.example/</WebAddress>"
       L"<ServerPrograms>NovaServer.exe; Nova Agent.exe ;</ServerPrograms>"
       L"<Links><Link Number=\"15\"> http://127.0.0.1/x.exe </Link><Other/><Link Number=\"3\">http://b/</Link>"
       L"<Link Number=\"15\">http://second/</Link></Links>",
       [] {
         ProductInformation i;
         i.features = {5, 173, 176};
         i.mime_types = L"audio/x-a;audio/x-b";
         i.protocols = L"nova://";
         i.web_address = L"https://nova.example/";
         i.server_programs = {VoString(L"NovaServer.exe"), VoString(L"Nova Agent.exe")};
         i.links = {{3, VoString(L"http://b/")}, {15, VoString(L"http://127.0.0.1/x.exe")}};
         return i;
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProductDescription d;
    VoString error;
    ASSERT_TRUE(d.Read(Description(c.extra), kSource, error)) << error.ToUtf8();
    const ProductInformation& info = d.Information();
    EXPECT_EQ(info.names[0], L"Nova");
    EXPECT_EQ(info.names[1], L"Nova 7");
    EXPECT_EQ(info.names[2], L"Nova");
    EXPECT_EQ(info.names[3], L"Nova 7 Pro");
    EXPECT_EQ(info.main_program, L"Nova.exe");
    EXPECT_EQ(info.launcher, L"Nova Start.exe");
    EXPECT_EQ(info.start_menu_group, L"Nova 7");
    EXPECT_EQ(info.start_menu_version, L"7");
    EXPECT_EQ(info.version_text, L"7.1.2.3");
    EXPECT_EQ(info.major_version, 7);
    EXPECT_EQ(info.own_extension, c.expected.own_extension);
    EXPECT_EQ(info.features, c.expected.features);
    EXPECT_EQ(info.mime_types, c.expected.mime_types);
    EXPECT_EQ(info.protocols, c.expected.protocols);
    EXPECT_EQ(info.web_address, c.expected.web_address);
    EXPECT_EQ(info.server_programs.Join(L"|"), c.expected.server_programs.Join(L"|"));
    EXPECT_EQ(info.links, c.expected.links);
  }
}

TEST(ProductDescription, RefusedDescriptionsSayWhy) {
  const std::wstring quoted = L"The product description \"C:\\Setup\\Kelvane\\Product.xml\" ";
  const struct {
    const char* name;
    VoString text;
    std::wstring error;  // after the description's name
  } cases[] = {
      {"empty", VoString(), L"is not well-formed XML: Empty document."},
      {"ill-formed", VoString(L"<VoProduct version='1'><Information></VoProduct>"),
       L"is not well-formed XML: End tag 'VoProduct' at offset 37 does not match start tag 'Information' at offset "
       L"23."},
      {"fault without a parser message", VoString(L"<VoProduct><!ELEMENT x></VoProduct>"),
       L"is not well-formed XML."},
      {"wrong root", VoString(L"<VoIC version='1.0'/>"),
       L"has the root element <VoIC>; a product description has <VoProduct>."},
      {"no version", Description({}, {}, L"<VoProduct>"), L"has no version attribute on <VoProduct>."},
      {"newer format", Description({}, {}, L"<VoProduct version='2.0'>"),
       L"has the version \"2.0\"; this library reads version 1 descriptions only."},
      {"older format", Description({}, {}, L"<VoProduct version='0.9'>"),
       L"has the version \"0.9\"; this library reads version 1 descriptions only."},
      {"not a version", Description({}, {}, L"<VoProduct version='1.x'>"),
       L"has the version \"1.x\", which is not a version number."},
      {"no information", VoString(L"<VoProduct version='1'><Product/></VoProduct>"),
       L"has no <Information> element."},
      {"no short name", DescriptionWithout(L"ShortName"),
       L"does not give the product's <ShortName> in <Information>."},
      {"no edition name", DescriptionWithout(L"EditionName"),
       L"does not give the product's <EditionName> in <Information>."},
      {"no main program", DescriptionWithout(L"MainProgram"),
       L"does not give the product's <MainProgram> in <Information>."},
      {"no launcher", DescriptionWithout(L"Launcher"), L"does not give the product's <Launcher> in <Information>."},
      {"no major version", DescriptionWithout(L"MajorVersion"),
       L"does not give the product's <MajorVersion> in <Information>."},
      {"no start menu group", DescriptionWithout(L"StartMenuGroup"),
       L"does not give the product's <StartMenuGroup> in <Information>."},
      {"empty display name",
       VoString(std::wstring(Description().Std()).replace(Description().Std().find(L"Nova 7<"), 6, L" ")),
       L"does not give the product's <DisplayName> in <Information>."},
      {"major version not a number",
       VoString(std::wstring(Description().Std()).replace(Description().Std().find(L">7</Major") + 1, 1, L"7b")),
       L"gives the MajorVersion \"7b\", which is not a positive number."},
      {"major version zero",
       VoString(std::wstring(Description().Std()).replace(Description().Std().find(L">7</Major") + 1, 1, L"0")),
       L"gives the MajorVersion \"0\", which is not a positive number."},
      {"main program with a path",
       VoString(std::wstring(Description().Std()).replace(Description().Std().find(L"Nova.exe"), 8, L"..\\Nova.exe")),
       L"gives the MainProgram \"..\\Nova.exe\", which is not a plain file name."},
      {"launcher with a drive",
       VoString(std::wstring(Description().Std()).replace(Description().Std().find(L"Nova Start.exe"), 14, L"C:x.exe")),
       L"gives the Launcher \"C:x.exe\", which is not a plain file name."},
      {"server program with a path", Description(L"<ServerPrograms>a.exe;sub/b.exe</ServerPrograms>"),
       L"gives the ServerPrograms \"sub/b.exe\", which is not a plain file name."},
      {"feature not a number", Description(L"<Features>173;all</Features>"),
       L"lists the feature \"all\", which is not a number."},
      {"link without a number", Description(L"<Links><Link>http://x/</Link></Links>"),
       L"has a <Link> whose Number \"\" is not a number."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProductDescription d;
    VoString error;
    EXPECT_FALSE(d.Read(c.text, kSource, error));
    EXPECT_EQ(error, VoString(quoted + c.error));
    EXPECT_FALSE(d.IsLoaded());
  }
}

TEST(ProductDescription, MissingFileAndRefusedReadKeepTheEarlierDescription) {
  ProductDescription d;
  VoString error;
  ASSERT_TRUE(d.Read(Description({}, L"<Product><InstallToPath>Nova</InstallToPath></Product>"), kSource, error));

  const VoString missing = VoString::FromUtf8(VO_TEST_DATA_DIR "/no such folder/Product.xml");
  EXPECT_FALSE(d.Load(missing, error));
  EXPECT_EQ(error, L"The product description \"" + missing + L"\" is missing or cannot be read.");
  EXPECT_FALSE(d.Read(VoString(L"<VoProduct version='3'/>"), kSource, error));
  EXPECT_FALSE(error.IsEmpty());

  EXPECT_TRUE(d.IsLoaded());
  EXPECT_EQ(d.Information().names[3], L"Nova 7 Pro");
  EXPECT_EQ(d.ConfigString(L"/*/Product/InstallToPath", L"x"), L"Nova");
}

TEST(ProductDescription, ConfigurationPaths) {
  ProductDescription d;
  VoString error;
  ASSERT_TRUE(d.Read(Description({},
                                 L"<General><MegaSkin>Dark</MegaSkin></General>"
                                 L"<installer><PromoCount> 12abc</PromoCount><ShowLanguageSelection/>"
                                 L"<PromoMinimumMilliseconds>-200</PromoMinimumMilliseconds></installer>"
                                 L"<SpecialFeatures><MinIEVersion></MinIEVersion></SpecialFeatures>"
                                 L"<Product><InstallToPath>Nova &amp; Co</InstallToPath>"
                                 L"<DefaultFileTypes>mp3;<![CDATA[<wav>]]></DefaultFileTypes></Product>"
                                 L"<DefaultSettings><START_MODE>2</START_MODE><Nested><A>1</A></Nested>"
                                 L"</DefaultSettings>"),
                     kSource, error))
      << error.ToUtf8();
  const struct {
    const wchar_t* path;
    const wchar_t* text;  // null: the path names no element
    int number;           // what ConfigInt gives with the default -1
  } cases[] = {
      {L"/*/General/MegaSkin", L"Dark", 0},
      {L"/*/General/MegaSkinStyles", nullptr, -1},
      {L"/*/Installer/PromoCount", L" 12abc", 12},  // names compare without regard to case
      {L"/*/Installer/ShowLanguageSelection", L"", 0},
      {L"/*/Installer/PromoMinimumMilliseconds", L"-200", -200},
      {L"/*/SpecialFeatures/MinIEVersion", L"", 0},
      {L"/*/Product/InstallToPath", L"Nova & Co", 0},
      {L"/*/Product/DefaultFileTypes", L"mp3;<wav>", 0},
      {L"/*/Product/ObsoleteFiles", nullptr, -1},
      {L"/*/DefaultSettings/START_MODE", L"2", 2},
      {L"/*/DefaultSettings/MAKEDEFAULTPLAYER", nullptr, -1},
      {L"/*/DefaultSettings/Nested", L"", 0},  // an element with children has no text of its own
      {L"/*/Information/ShortName", L"Nova", 0},
      {L"/*/Nothing/Here", nullptr, -1},
      {L"", nullptr, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.path).ToUtf8());
    VoString text = L"stale";
    EXPECT_EQ(d.FindConfigText(c.path, text), c.text != nullptr);
    EXPECT_EQ(text, c.text ? c.text : L"");
    EXPECT_EQ(d.ConfigString(c.path, L"fallback"), c.text ? c.text : L"fallback");
    EXPECT_EQ(d.ConfigInt(c.path, -1), c.number);
  }
}

TEST(ProductDescription, NothingReadAnswersDefaults) {
  ProductDescription d;
  EXPECT_FALSE(d.IsLoaded());
  VoString text = L"stale";
  EXPECT_FALSE(d.FindConfigText(L"/*/Product/InstallToPath", text));
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(d.ConfigString(L"/*/Product/InstallToPath", L"x"), L"x");
  EXPECT_EQ(d.ConfigInt(L"/*/Installer/PromoCount", 5), 5);
}

}  // namespace
