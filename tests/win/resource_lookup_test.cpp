// Finding resources, art and web pages in the product's data folders, and
// skin pictures through the tools library.

#include "foundation/win/resource_lookup.h"

#include <gtest/gtest.h>

#include "program_folder_fixture.h"
#include "support/fake_tools.h"

namespace {

TEST(ResourceLookup, SearchesTheFoldersOfEachKind) {
  FakeTools tools;
  TempTestFolder product(L"resource-lookup");
  ProgramFolderOverride program(product.Path());
  for (const wchar_t* file :
       {L"Custom Resources\\a.txt", L"Default Resources\\a.txt", L"Default Resources\\b.txt", L"Custom Art\\Logo - Blue.png",
        L"Default Art\\Logo.jpg", L"Default Art\\Logo - Blue.gif", L"Custom Art\\Banner.tif",
        L"Default Webpages\\page.html", L"Custom Webpages\\only.html"}) {
    product.AddFile(VoString(L"Application Data\\") + file);
  }
  product.AddFile(VoString(L"Application Data\\Default Art\\Folder.png\\inside.txt"));  // a folder is no file
  struct Case {
    int kind;
    const wchar_t* name;
    const wchar_t* variant;
    const wchar_t* found;  // under the data folder, or empty
  };
  const Case cases[] = {
      {0, L"a.txt", L"", L"Custom Resources\\a.txt"},
      {1, L"a.txt", L"", L"Default Resources\\a.txt"},
      {2, L"a.txt", L"", L"Custom Resources\\a.txt"},
      {0, L"b.txt", L"", L"Default Resources\\b.txt"},
      {2, L"b.txt", L"", L""},
      {3, L"Logo", L"Blue", L"Custom Art\\Logo - Blue.png"},
      {3, L"Logo", L"", L"Default Art\\Logo.jpg"},
      {4, L"Logo", L"Blue", L"Default Art\\Logo - Blue.gif"},
      {5, L"Logo", L"", L""},
      {3, L"Banner", L"Red", L"Custom Art\\Banner.tif"},
      {4, L"Folder", L"", L""},
      {6, L"page.html", L"", L"Default Webpages\\page.html"},
      {6, L"only.html", L"", L"Custom Webpages\\only.html"},
      {7, L"only.html", L"", L""},
      {8, L"page.html", L"", L""},
      {9, L"a.txt", L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << " " << VoString(c.name).ToUtf8());
    const VoString found = vo::FindResourceFile(c.kind, c.name, c.variant);
    if (*c.found) {
      EXPECT_EQ(found, product.Path() + L"Application Data\\" + c.found);
    } else {
      EXPECT_EQ(found, L"");
    }
  }
}

TEST(ResourceLookup, SkinPicturesComeFromTheToolsLibrary) {
  {
    FakeTools tools;
    tools.AddSkinImage(L"Wizard Banner", L"C:\\Skins\\banner.png");
    EXPECT_EQ(vo::FindResourceFile(3, L"image:Wizard Banner"), L"C:\\Skins\\banner.png");
    EXPECT_EQ(vo::FindResourceFile(3, L"image:Missing"), L"");
  }
  EXPECT_EQ(vo::FindResourceFile(3, L"image:Wizard Banner"), L"");  // no tools library
}

}  // namespace
