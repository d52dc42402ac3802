// The catalogue as the installer loads it: found by the resource lookup,
// completed with the input plug-ins registered in the settings and with the
// install configuration's defaults, and fatal when it cannot be used.

#include <windows.h>

#include <gtest/gtest.h>

#include "assoc/shared_file_type_catalogue.h"
#include "support/fake_tools.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"

namespace {

// A catalogue failure ends the process; in these tests it must not, and
// outside the tests that expect it, it fails the test that met it.
int g_failures = 0;
bool g_failure_expected = false;
void RecordFailure() {
  ++g_failures;
  if (!g_failure_expected) ADD_FAILURE() << "the file type catalogue could not be used";
}
const bool g_ender_installed = (vo::SetCatalogueFailureEnder(RecordFailure), true);

constexpr char kCatalogue[] = R"(<KVFA version="1.5">
  <DescriptionTypes>
    <Audio>MPEG Audio (mp3)</Audio>
    <Video>Matroska (mkv)</Video>
  </DescriptionTypes>
  <DefaultFileTypes>mp3;mkv</DefaultFileTypes>
  <KVTypes>mp3</KVTypes>
</KVFA>)";

class SharedCatalogueTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    tools_.registry = &registry_;
    g_failures = 0;
    g_failure_expected = false;
    vo::ForgetSharedFileTypeCatalogue();
  }
  void TearDown() override {
    vo::ForgetSharedFileTypeCatalogue();
    g_failure_expected = false;
    RegistryTestArea::TearDown();
  }

  VoString Resource(const wchar_t* folder, const char* content) const {
    return data_.AddFile(VoString(L"Application Data\\") + folder + L"\\FileAssociations.xml", content);
  }
  void RegisterInputPlugin(const wchar_t* type, const wchar_t* path) {
    VoRegistryKeyPtr entry = vo::OpenStore((VoString(L"Plugins\\Input\\") + type).c_str(), 1);
    ASSERT_TRUE(entry);
    if (path) entry->WriteString(L"Path", path, kVoValuePlain);
    entry->WriteInt(L"IVersion", 4);
  }

  FakeTools tools_;
  TempTestFolder data_{L"shared-catalogue"};
  ProgramFolderOverride program_{data_.Path()};
};

TEST_F(SharedCatalogueTest, CompletesTheFileWithPluginTypesAndConfiguration) {
  Resource(L"Default Resources", "<KVFA version=\"1.0\"/>");
  Resource(L"Custom Resources", kCatalogue);
  RegisterInputPlugin(L"XYZ", L"C:\\Plugins\\in_xyz.dll");
  RegisterInputPlugin(L"MP3", L"C:\\Plugins\\in_mp3.dll");   // the engine has it already
  RegisterInputPlugin(L"NOPATH", nullptr);                  // no readable registration
  tools_.product.config[L"/*/Product/DefaultAssocFileTypes"] = VoString(L"mkv;;dat;mpp");

  const FileTypeCatalogue& catalogue = vo::SharedFileTypeCatalogue();

  EXPECT_EQ(catalogue.Path(), data_.Path() + L"Application Data\\Custom Resources\\FileAssociations.xml");
  EXPECT_EQ(catalogue.List(vo::kMainEngineTypes), (VoStringArray{L"mp3", L"xyz"}));
  EXPECT_EQ(catalogue.List(vo::kAllDescriptions), (VoStringArray{L"MPEG Audio (mp3)", L"XYZ (xyz)", L"Matroska (mkv)"}));
  EXPECT_EQ(catalogue.List(vo::kDefaultFileTypes), (VoStringArray{L"mp3", L"mkv"}));
  EXPECT_EQ(catalogue.List(vo::kDefaultAssocFileTypes), (VoStringArray{L"mkv"}));
  // One instance for the process.
  EXPECT_EQ(&vo::SharedFileTypeCatalogue(), &catalogue);
  EXPECT_EQ(g_failures, 0);
}

TEST_F(SharedCatalogueTest, AnUnusableCatalogueIsFatal) {
  g_failure_expected = true;
  const VoString intro =
      VoString(L"Failed to load file associations file.  This is a fatal error, so the program must close.\r\n\r\n") +
      L"Please reinstall the latest version of the program to fix this problem.\r\n\r\n";
  const VoString default_path = data_.Path() + L"Application Data\\Default Resources\\FileAssociations.xml";

  FileTypeCatalogue missing;
  Resource(L"Default Resources", "<KVFA version=\"0.9\"><KVTypes>mp3</KVTypes></KVFA>");
  FileTypeCatalogue old;
  Resource(L"Default Resources", "<Other version=\"2\"/>");
  FileTypeCatalogue wrong_root;

  EXPECT_EQ(g_failures, 3);
  EXPECT_TRUE(old.List(vo::kMainEngineTypes).IsEmpty());
  const auto boxes = tools_.MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  for (const auto& box : boxes) EXPECT_EQ(box.title, L"Information");
  EXPECT_EQ(boxes[0].text, intro + L"Path: " + default_path.View() + L"\r\nVersion: Unknown");
  EXPECT_EQ(boxes[1].text, intro + L"Path: " + default_path.View() + L"\r\nVersion: 0.9");
  EXPECT_EQ(boxes[2].text, intro + L"Path: " + default_path.View() + L"\r\nVersion: Unknown");
}

}  // namespace
