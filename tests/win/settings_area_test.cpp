// The built tools module names its settings area after the product it
// describes, also after the description was read anew.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "scratch_folder.h"
#include "tools/vo_module_entry_points.h"
#include "tools/vo_tools.h"

namespace {

class ToolsSettingsArea : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    // The module's log file goes to the temporary folder: this test's own.
    wchar_t previous[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(L"TMP", previous, MAX_PATH + 1);
    previous_tmp_ = length && length <= MAX_PATH ? VoString(previous) : VoString();
    SetEnvironmentVariableW(L"TMP", dir_.c_str());
    for (const wchar_t* name : {L"VoTools64.dll", L"Product.xml"}) {
      const VoString built = VoString::FromUtf8(VO_TOOLS_MODULE_DIR "/") + name;
      ASSERT_TRUE(CopyFileW(built.c_str(), At(name).c_str(), FALSE)) << built.ToUtf8();
    }
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
    SetEnvironmentVariableW(L"TMP", previous_tmp_.IsEmpty() ? nullptr : previous_tmp_.c_str());
    ScratchFolder::TearDown();
  }

  HMODULE module_ = nullptr;
  VoString previous_tmp_;
};

TEST_F(ToolsSettingsArea, FollowsTheProductsNameAndMajorVersion) {
  module_ = LoadLibraryW(At(L"VoTools64.dll").c_str());
  ASSERT_NE(module_, nullptr);
  auto get_tools =
      reinterpret_cast<GetVoToolsDllFn>(reinterpret_cast<void (*)()>(GetProcAddress(module_, "GetVoToolsDLL")));
  ASSERT_NE(get_tools, nullptr);
  IVoTools* tools = get_tools(kVoToolsInterfaceVersion);
  ASSERT_NE(tools, nullptr);
  ASSERT_TRUE(tools->Initialize(false, GetModuleHandleW(nullptr)));
  ASSERT_NE(tools->Registry(), nullptr);
  IVoProduct* product = tools->Product(0);
  ASSERT_NE(product, nullptr);

  VoString root;
  tools->Registry()->GetSettingsRoot(root);
  EXPECT_EQ(root, L"Software\\V. Ortala\\Halvora 23");

  // Another product's description, read in place of the first.
  std::string description = Read(At(L"Product.xml"));
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"<ShortName>Halvora<", "<ShortName>Orvala<"},
                                 {"<MajorVersion>23<", "<MajorVersion>24<"}}) {
    const size_t at = description.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    description.replace(at, from.size(), to);
  }
  Write(At(L"Other.xml"), description);
  ASSERT_TRUE(product->Reload(At(L"Other.xml").c_str()));
  tools->Registry()->GetSettingsRoot(root);
  EXPECT_EQ(root, L"Software\\V. Ortala\\Orvala 24");
  tools->Uninitialize();
}

}  // namespace
