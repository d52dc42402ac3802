#include "app/skin_selection.h"

#include <gtest/gtest.h>

#include "program_folder_fixture.h"

namespace {

TEST(SkinSelection, ValidSkinFolders) {
  TempTestFolder folder(L"skins");
  struct Case {
    const wchar_t* name;
    const char* main_xml;  // null: no main.xml
    const wchar_t* styles;
    bool valid;
  } cases[] = {
      {L"Plain", "<Skin version=\"3\" style=\"Standard\"><MAINFRAME/></Skin>", L"Standard;Compact", true},
      {L"CaseAndNear", "<skin VERSION=\"3.009\" Style=\"COMPACT\"><Frame><mainframe/></Frame></skin>", L"Standard;Compact", true},
      {L"Comma", "<Skin version=\"2,995\" style=\"Standard\"><MAINFRAME/></Skin>", L"Standard", true},
      {L"TooFar", "<Skin version=\"3.011\" style=\"Standard\"><MAINFRAME/></Skin>", L"Standard", false},
      {L"Version2", "<Skin version=\"2\" style=\"Standard\"><MAINFRAME/></Skin>", L"Standard", false},
      {L"OtherStyle", "<Skin version=\"3\" style=\"Wide\"><MAINFRAME/></Skin>", L"Standard;Compact", false},
      {L"NoStyleNoList", "<Skin version=\"3\"><MAINFRAME/></Skin>", L"", true},
      {L"StyleButNoList", "<Skin version=\"3\" style=\"Standard\"><MAINFRAME/></Skin>", L"", false},
      {L"NoFrame", "<Skin version=\"3\" style=\"Standard\"><Panel/></Skin>", L"Standard", false},
      {L"Broken", "<Skin version=\"3\" style=\"Standard\"><MAINFRAME></Skin", L"Standard", false},
      {L"Missing", nullptr, L"Standard", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << VoString(c.name).ToUtf8());
    if (c.main_xml) folder.AddFile(VoString(c.name) + L"\\main.xml", c.main_xml);
    EXPECT_EQ(vo::IsValidSkinFolder(folder.Path() + c.name + L"\\", c.styles), c.valid);
  }
  EXPECT_FALSE(vo::IsValidSkinFolder(VoString(), L""));
}

TEST(SkinSelection, TheProductsValidChoiceWinsOverTheConfiguredSkin) {
  TempTestFolder folder(L"skin-choice");
  const VoString base = folder.Path() + L"Standard View\\";
  folder.AddFile(VoString(L"Standard View\\Night\\main.xml"), "<Skin version=\"3\" style=\"S\"><MAINFRAME/></Skin>");
  const VoString elsewhere = folder.Path() + L"Elsewhere\\Night\\";
  struct Case {
    VoString current;
    const wchar_t* configured;
    VoString chosen;
  } cases[] = {
      {VoString(), L"", base},
      {VoString(), L"Day", base + L"Day"},
      // The current skin's last folder name is looked up below the standard view's skins.
      {elsewhere, L"Day", base + L"Night"},
      {VoString(L"C:\\Skins\\Night"), L"Day", base + L"Night"},
      {VoString(L"C:\\Skins\\Dusk\\"), L"Day", base + L"Day"},
      // One piece only: not a path to a skin.
      {VoString(L"Night\\"), L"Day", base + L"Day"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.current.ToUtf8());
    EXPECT_EQ(vo::ChooseSkinFolder(base, VoString(c.configured), c.current, L"S"), c.chosen);
  }
}

}  // namespace
