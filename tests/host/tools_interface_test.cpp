#include "support/fake_tools.h"

#include <gtest/gtest.h>

#include "foundation/string_replace.h"

namespace {

TEST(ToolsInterface, ServicesReachTheInstalledLibraryAndFallBackWithout) {
  EXPECT_EQ(VoTools(), nullptr);
  vo::Log(L"Nowhere", VoString(L"dropped"));  // no library: nothing happens
  EXPECT_EQ(vo::Localize(L"Cancel"), L"Cancel");
  {
    FakeTools tools;
    EXPECT_EQ(VoTools(), &tools);
    vo::Log(L"CSettingsHelper::Set", VoString(L"value written"), 3);
    ASSERT_EQ(tools.LogLines().size(), 1u);
    EXPECT_EQ(tools.LogLines()[0].category, 3);
    EXPECT_EQ(tools.LogTexts(L"CSettingsHelper::Set"), std::vector<VoString>{VoString(L"value written")});

    // Case-insensitive replacement goes through the library's text search.
    VoString text(L"ABab");
    EXPECT_EQ(vo::ReplaceAll(text, VoString(L"ab"), VoString(L"x"), vo::kReplaceIgnoreCase), 2u);
    EXPECT_EQ(text, L"xx");
  }
  EXPECT_EQ(VoTools(), nullptr);
}

TEST(ToolsInterface, FakeRecordsMessageBoxesAndAnswersFromItsScript) {
  FakeTools tools;
  tools.ScriptAnswers({true, false});
  IVoDialogService* dialogs = VoTools()->Dialogs();
  EXPECT_TRUE(dialogs->AskQuestion(L"Halvora", L"Close it?"));
  VoString pressed;
  dialogs->AskWithButtons(L"Halvora", L"Which?", L"Retry", L"Skip", pressed);
  EXPECT_EQ(pressed, L"Skip");
  EXPECT_FALSE(dialogs->AskQuestion(L"Halvora", L"Unscripted"));  // closing counts as No
  dialogs->ShowInformation(L"Halvora", L"Done");
  const auto boxes = tools.MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[1].buttons, (std::vector<VoString>{VoString(L"Retry"), VoString(L"Skip")}));
  EXPECT_EQ(boxes[3].text, L"Done");
  EXPECT_EQ(boxes[3].buttons, std::vector<VoString>{VoString(L"OK")});
}

}  // namespace

namespace {

TEST(ToolsInterface, ProductAnswersComeFromTheProductObjectOrTheCallersDefaults) {
  EXPECT_EQ(vo::ProductName(1), L"");
  EXPECT_EQ(vo::ConfigString(L"/*/General/MegaSkinKey", L"Standard View Skin"), L"Standard View Skin");
  EXPECT_EQ(vo::ConfigInt(L"/*/Installer/PromoCount", 7), 7);
  EXPECT_FALSE(vo::HasProductFeature(176));
  EXPECT_FALSE(vo::OpenStore(L"Installer", 0));

  FakeTools tools;
  tools.product.names[1] = VoString(L"Halvora Plus 23");
  tools.product.features = {176};
  tools.product.config[L"/*/Installer/PromoCount"] = VoString(L" 12abc");
  EXPECT_EQ(vo::ProductName(1), L"Halvora Plus 23");
  EXPECT_EQ(vo::ConfigInt(L"/*/Installer/PromoCount", 0), 12);
  EXPECT_EQ(vo::ConfigInt(L"/*/Installer/ShowLanguageSelection", 0), 0);
  EXPECT_EQ(vo::ConfigString(L"/*/General/MegaSkin", L""), L"");
  EXPECT_TRUE(vo::HasProductFeature(176));
  EXPECT_FALSE(vo::HasProductFeature(173));
  EXPECT_FALSE(vo::OpenStore(L"Installer", 0));  // the fake has no registry unless a test gives one
}

}  // namespace
