#pragma once
// A settings area of its own for each test below HKEY_CURRENT_USER
// ("Software\V. Ortala Tests\<suite>.<test>"), removed with everything in it
// before and after the test, and the library's registry service pointed at
// it. Tests of code that uses settings stores set FakeTools::registry to
// `&registry_`.

#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/vo_string.h"
#include "toolslib/registry_service.h"

class RegistryTestArea : public testing::Test {
 protected:
  static constexpr const wchar_t* kTestsKey = L"Software\\V. Ortala Tests";

  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    area_ = VoString(kTestsKey) + L"\\" +
            VoString::FromUtf8(std::string(info->test_suite_name()) + "." + info->name()).View();
    RegDeleteTreeW(HKEY_CURRENT_USER, area_.c_str());
    registry_.SetSettingsArea(area_.View());
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, area_.c_str());
    // Gone once the last test's area is gone.
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestsKey);
  }

  // The path of `store` in the area, for checks that go to the registry
  // directly.
  VoString StorePath(const wchar_t* store) const { return area_ + L"\\" + store; }

  VoString area_;
  VoRegistryService registry_;
};
