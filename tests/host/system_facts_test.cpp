// The portable decisions behind the system facts: version codes, the
// processor feature word, file version texts, COM server names and the
// resource search order.

#include <gtest/gtest.h>

#include "foundation/com_server_text.h"
#include "foundation/file_version_text.h"
#include "foundation/os_version.h"
#include "foundation/processor_features.h"
#include "foundation/resource_search.h"
#include "foundation/start_error_text.h"
#include "foundation/string_format.h"

namespace {

TEST(SystemFacts, OsVersionTableCoversEveryRow) {
  struct Case {
    unsigned platform, major, minor;
    const wchar_t* service_pack;
    int code;
    const wchar_t* name;
  };
  const Case cases[] = {
      {vo::kPlatformWindows9x, 4, 0, L"", 1000, L"Microsoft Windows 95"},
      {vo::kPlatformWindows9x, 4, 10, L"", 1001, L"Microsoft Windows 98"},
      {vo::kPlatformWindows9x, 4, 10, L" B", 1001, L"Microsoft Windows 98"},
      {vo::kPlatformWindows9x, 4, 10, L" A ", 1002, L"Microsoft Windows 98"},
      {vo::kPlatformWindows9x, 4, 10, L"A", 1001, L"Microsoft Windows 98"},  // "A" must be the second character
      {vo::kPlatformWindows9x, 4, 90, L"", 1003, L"Microsoft Windows ME"},
      {vo::kPlatformWindows9x, 4, 20, L"", 0, L"Unknown OS"},
      {vo::kPlatformWindows9x, 5, 0, L"", 0, L"Unknown OS"},
      {vo::kPlatformWindowsNt, 3, 51, L"", 1004, L"Microsoft Windows NT"},
      {vo::kPlatformWindowsNt, 4, 0, L"", 1004, L"Microsoft Windows NT"},
      {vo::kPlatformWindowsNt, 5, 0, L"", 1005, L"Microsoft Windows 2000"},
      {vo::kPlatformWindowsNt, 5, 1, L"", 1006, L"Microsoft Windows XP"},
      {vo::kPlatformWindowsNt, 5, 2, L"", 1007, L"Microsoft Windows Server 2003"},
      {vo::kPlatformWindowsNt, 6, 0, L"", 1008, L"Microsoft Windows Vista"},
      {vo::kPlatformWindowsNt, 6, 1, L"", 1009, L"Microsoft Windows 7"},
      {vo::kPlatformWindowsNt, 6, 2, L"", 1010, L"Microsoft Windows 8"},
      {vo::kPlatformWindowsNt, 6, 3, L"", 1011, L"Microsoft Windows 8.1"},
      {vo::kPlatformWindowsNt, 10, 0, L"", 1012, L"Microsoft Windows 10"},
      {vo::kPlatformWindowsNt, 10, 1, L"", 1013, L"Microsoft Windows New (10.1)"},
      {vo::kPlatformWindowsNt, 11, 0, L"", 1013, L"Microsoft Windows New (11.0)"},
      {vo::kPlatformWindowsNt, 5, 3, L"", 0, L"Unknown OS"},
      {vo::kPlatformWindowsNt, 6, 4, L"", 0, L"Unknown OS"},
      {0, 3, 10, L"", 0, L"Unknown OS"},
  };
  for (const Case& c : cases) {
    const VoOsVersion v = vo::ClassifyOsVersion(c.platform, c.major, c.minor, c.service_pack);
    SCOPED_TRACE(testing::Message() << c.platform << " " << c.major << "." << c.minor);
    EXPECT_EQ(v.code, c.code);
    EXPECT_EQ(v.name, c.name);
    EXPECT_EQ(v.major, c.major);
    EXPECT_EQ(v.minor, c.minor);
  }
}

vo::CpuidFacts Facts(const char* vendor, uint32_t eax, uint32_t ecx, uint32_t edx, uint64_t xcr0 = 0) {
  vo::CpuidFacts f;
  f.max_leaf = 1;
  for (int i = 0; i < 12 && vendor[i]; ++i) f.vendor[i] = vendor[i];
  f.leaf1_eax = eax;
  f.leaf1_ecx = ecx;
  f.leaf1_edx = edx;
  f.xcr0 = xcr0;
  return f;
}

TEST(SystemFacts, ProcessorFeatureWordFromIdentificationRegisters) {
  constexpr uint32_t kOsxsave = 1u << 27, kAvx = 1u << 28;
  const uint32_t family6 = 6u << 8;
  auto model = [&](uint32_t m) { return family6 | ((m >> 4) << 16) | ((m & 0xF) << 4); };
  struct Case {
    const char* what;
    vo::CpuidFacts facts;
    uint32_t word;
  };
  vo::CpuidFacts no_leaf1 = Facts("GenuineIntel", model(28), ~0u, ~0u, ~0ull);
  no_leaf1.max_leaf = 0;
  vo::CpuidFacts extended = Facts("AuthenticAMD", 0, 0, 0);
  extended.max_extended_leaf = 0x80000001u;
  extended.extended_ecx = 1u << 6;
  extended.extended_edx = 1u << 29;
  vo::CpuidFacts extended_missing = extended;
  extended_missing.max_extended_leaf = 0x80000000u;
  const Case cases[] = {
      {"nothing", Facts("AuthenticAMD", 0, 0, 0), 0x1},
      {"mmx", Facts("AuthenticAMD", 0, 0, 1u << 23), 0x3},
      {"sse sse2", Facts("AuthenticAMD", 0, 0, (1u << 25) | (1u << 26)), 0xD},
      {"sse3 ssse3", Facts("AuthenticAMD", 0, (1u << 0) | (1u << 9), 0), 0x31},
      {"sse4.1 sse4.2", Facts("AuthenticAMD", 0, (1u << 19) | (1u << 20), 0), 0x181},
      {"avx with saved state", Facts("AuthenticAMD", 0, kAvx | kOsxsave, 0, 0x7), 0x201},
      {"avx without ymm state", Facts("AuthenticAMD", 0, kAvx | kOsxsave, 0, 0x3), 0x1},
      {"avx without xmm state", Facts("AuthenticAMD", 0, kAvx | kOsxsave, 0, 0x4), 0x1},
      {"avx without osxsave", Facts("AuthenticAMD", 0, kAvx, 0, 0x7), 0x1},
      {"low power 28", Facts("GenuineIntel", model(28), 0, 0), 0x10001},
      {"low power 38", Facts("GenuineIntel", model(38), 0, 0), 0x10001},
      {"low power 54", Facts("GenuineIntel", model(54), 0, 0), 0x10001},
      {"other model", Facts("GenuineIntel", model(29), 0, 0), 0x1},
      {"other family", Facts("GenuineIntel", (15u << 8) | (1u << 16) | (12u << 4), 0, 0), 0x1},
      {"other vendor", Facts("AuthenticAMD", model(28), 0, 0), 0x1},
      {"leaf 1 absent", no_leaf1, 0x1},
      {"sse4a and long mode", extended, 0x441},
      {"extended leaf absent", extended_missing, 0x1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vo::ComputeProcessorFeatures(c.facts), c.word) << c.what;
  }
}

TEST(SystemFacts, FileVersionTextInBothForms) {
  EXPECT_EQ(vo::FileVersionText(0x00010002, 0x00030004), L"1.2.3.4");
  EXPECT_EQ(vo::FileVersionText(0x00010002, 0x00030004, false), L"1.2.3");
  EXPECT_EQ(vo::FileVersionText(0xFFFF0000, 0x0000FFFF), L"65535.0.0.65535");
  EXPECT_EQ(vo::FileVersionText(0, 0, false), L"0.0.0");
}

TEST(SystemFacts, ComServerFilesAndRegSvr32Parameters) {
  struct Case {
    const wchar_t* path;
    bool registrable;
  };
  const Case cases[] = {
      {L"C:\\P\\codec.dll", true}, {L"C:\\P\\view.ocx", true},  {L"C:\\P\\filter.ax", true},
      {L"C:\\P\\CODEC.DLL", true}, {L"C:\\P\\Filter.Ax", true}, {L"C:\\P\\player.exe", false},
      {L"C:\\P\\readme.txt", false}, {L"", false},              {L"C:\\P\\dll", false},
  };
  for (const Case& c : cases) EXPECT_EQ(vo::IsRegistrableFile(c.path), c.registrable) << VoString(c.path).ToUtf8();
  EXPECT_EQ(vo::RegSvr32Parameters(L"C:\\A B\\x.dll", false), L"/s \"C:\\A B\\x.dll\"");
  EXPECT_EQ(vo::RegSvr32Parameters(L"C:\\A B\\x.dll", true), L"/s /u \"C:\\A B\\x.dll\"");
}

TEST(SystemFacts, StartErrorMessagesByShellCode) {
  struct Case {
    int code;
    const wchar_t* text;
  };
  const Case cases[] = {
      {2, L"File 'C:\\x.exe' is not found."},
      {3, L"The specified path to file 'C:\\x.exe' was not found."},
      {11, L"File 'C:\\x.exe' is invalid."},
      {5, L"Can not start program 'C:\\x.exe'.  Error unknown.  (5)"},
      {31, L"Can not start program 'C:\\x.exe'.  Error unknown.  (31)"},
  };
  for (const Case& c : cases) EXPECT_EQ(VoFormat(vo::StartErrorFormat(c.code), L"C:\\x.exe", c.code), c.text);
}

TEST(SystemFacts, ResourceFoldersOfEachKind) {
  const std::vector<std::vector<const wchar_t*>> expected = {
      {L"Custom Resources", L"Default Resources"}, {L"Default Resources"}, {L"Custom Resources"},
      {L"Custom Art", L"Default Art"},             {L"Default Art"},       {L"Custom Art"},
      {L"Custom Webpages", L"Default Webpages"},   {L"Default Webpages"},  {L"Custom Webpages"},
  };
  for (int kind = 0; kind < vo::kResourceKindCount; ++kind) {
    const VoStringArray folders = vo::ResourceFolders(kind);
    ASSERT_EQ(folders.GetCount(), expected[kind].size()) << kind;
    for (size_t i = 0; i < folders.GetCount(); ++i) EXPECT_EQ(folders[i], expected[kind][i]) << kind;
  }
  EXPECT_EQ(vo::ResourceFolders(-1).GetCount(), 0u);
  EXPECT_EQ(vo::ResourceFolders(9).GetCount(), 0u);
}

TEST(SystemFacts, ResourceFileCandidatesWithExtensionsAndVariants) {
  struct Case {
    const wchar_t* name;
    const wchar_t* variant;
    std::vector<const wchar_t*> names;
  };
  const Case cases[] = {
      {L"Logo", L"", {L"Logo.png", L"Logo.jpg", L"Logo.gif", L"Logo.tif"}},
      {L"Logo",
       L"Blue",
       {L"Logo - Blue.png", L"Logo - Blue.jpg", L"Logo - Blue.gif", L"Logo - Blue.tif", L"Logo.png", L"Logo.jpg",
        L"Logo.gif", L"Logo.tif"}},
      {L"page.html", L"", {L"page.html"}},
      {L"page.html", L"Blue", {L"page - Blue.html", L"page.html"}},
      {L"my.dir\\Logo", L"", {L"my.dir\\Logo.png", L"my.dir\\Logo.jpg", L"my.dir\\Logo.gif", L"my.dir\\Logo.tif"}},
      {L"", L"Blue", {}},
  };
  for (const Case& c : cases) {
    const VoStringArray names = vo::ResourceFileCandidates(c.name, c.variant);
    ASSERT_EQ(names.GetCount(), c.names.size()) << VoString(c.name).ToUtf8();
    for (size_t i = 0; i < names.GetCount(); ++i) EXPECT_EQ(names[i], c.names[i]);
  }
}

}  // namespace
