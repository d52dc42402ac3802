// The browser gate's facts from the prefix: the web browser control through
// COM and the "Version" value under HKEY_LOCAL_MACHINE, written by the test
// and put back afterwards.

#include "app/browser_gate.h"
#include "app/environment_checks.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>

#include <thread>
#include <vector>

#include "support/fake_tools.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\Microsoft\\Internet Explorer";

// Keeps the prefix's own "Version" value and restores it at the end.
class BrowserGateTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr), ERROR_SUCCESS);
    DWORD size = 0;
    had_value_ = RegQueryValueExW(key_, L"Version", nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
    if (had_value_) {
      saved_.resize(size);
      RegQueryValueExW(key_, L"Version", nullptr, &type_, saved_.data(), &size);
    }
  }
  void TearDown() override {
    if (had_value_) {
      RegSetValueExW(key_, L"Version", 0, type_, saved_.data(), static_cast<DWORD>(saved_.size()));
    } else {
      RegDeleteValueW(key_, L"Version");
    }
    RegCloseKey(key_);
  }

  void Write(DWORD type, const void* data, size_t size) {
    ASSERT_EQ(RegSetValueExW(key_, L"Version", 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)), ERROR_SUCCESS);
  }
  void WriteText(const wchar_t* text, DWORD type = REG_SZ) { Write(type, text, (wcslen(text) + 1) * sizeof(wchar_t)); }

  HKEY key_ = nullptr;
  bool had_value_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> saved_;
};

TEST_F(BrowserGateTest, ReadsTheVersionValueOfEachType) {
  WriteText(L"6.0.2900.2180");
  EXPECT_EQ(CBrowserGateFacts::ReadInstalledVersionText(), L"6.0.2900.2180");
  WriteText(L"%SystemRoot%7", REG_EXPAND_SZ);  // taken as it is, not expanded
  EXPECT_EQ(CBrowserGateFacts::ReadInstalledVersionText(), L"%SystemRoot%7");

  const DWORD eight = 8, all_bits = 0xFFFFFFFF;
  Write(REG_DWORD, &eight, sizeof(eight));
  EXPECT_EQ(CBrowserGateFacts::ReadInstalledVersionText(), L"8");
  Write(REG_DWORD, &all_bits, sizeof(all_bits));
  EXPECT_EQ(CBrowserGateFacts::ReadInstalledVersionText(), L"-1");  // signed

  Write(REG_SZ, L"9.0", 3 * sizeof(wchar_t));  // stored without its terminator
  EXPECT_EQ(CBrowserGateFacts::ReadInstalledVersionText(), L"9.0");

  const BYTE bytes[] = {1, 2, 3, 4};
  Write(REG_BINARY, bytes, sizeof(bytes));
  EXPECT_EQ(CBrowserGateFacts::ReadInstalledVersionText(), L"1.0.0.0");
  ASSERT_EQ(RegDeleteValueW(key_, L"Version"), ERROR_SUCCESS);
  EXPECT_EQ(CBrowserGateFacts::ReadInstalledVersionText(), L"1.0.0.0");
}

// COM is started and ended on a thread of the test's own.
template <typename Body>
void OnComThread(bool initialize, Body body) {
  std::thread([&] {
    const bool started = initialize && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    body();
    if (started) CoUninitialize();
  }).join();
}

TEST_F(BrowserGateTest, WithoutComTheControlIsUnavailableAndTheGateFails) {
  WriteText(L"11.0.9600.0");
  OnComThread(false, [] {
    CBrowserGateFacts facts;
    EXPECT_FALSE(facts.BrowserControlAvailable());
    EXPECT_EQ(facts.InstalledVersion(), 11ull << 48 | 9600ull << 16);
    EXPECT_FALSE(facts.Passes());
  });
}

TEST_F(BrowserGateTest, PassesAgainstTheConfiguredMinimum) {
  FakeTools tools;
  OnComThread(true, [&] {
    ASSERT_TRUE(CBrowserGateFacts::CanCreateBrowserControl());
    struct Case {
      const wchar_t* installed;
      const wchar_t* minimum;  // null: not configured
      bool passes;
    };
    const Case cases[] = {
        {L"6.0.2900.2180", nullptr, true},
        {L"4.72.3110.0", nullptr, false},
        {L"7.0.0.0", L"7,0", true},
        {L"6.0.2900.2180", L"7,0", false},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(VoString(c.installed).ToUtf8());
      tools.product.config.clear();
      if (c.minimum) tools.product.config[L"/*/SpecialFeatures/MinIEVersion"] = VoString(c.minimum);
      WriteText(c.installed);
      EXPECT_EQ(CBrowserGateFacts().Passes(), c.passes);
    }
  });
}

}  // namespace

namespace {

// A failing gate asks with the warning's two buttons and ends start-up
// whatever is chosen; "Quit Setup" opens nothing.
TEST_F(BrowserGateTest, FailingGateShowsTheWarningAndEndsStartup) {
  WriteText(L"4.72.3110.0");
  CoInitialize(nullptr);
  FakeTools tools;
  tools.ScriptAnswers({false});
  EXPECT_FALSE(vo::RunBrowserGate());
  const auto boxes = tools.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, L"Internet Explorer Warning");
  EXPECT_EQ(boxes[0].buttons, (std::vector<VoString>{VoString(L"Download"), VoString(L"Quit Setup")}));
  EXPECT_EQ(boxes[0].text,
            L"Install Wizard did not detect a new enough version of Microsoft Internet Explorer.  Setup cannot "
            L"continue.\r\n\r\nClick on 'Download' to download and install the latest version of Internet Explorer.  "
            L"Please re-run setup after installing Internet Explorer.");

  WriteText(L"11.0.9600.0");
  EXPECT_TRUE(vo::RunBrowserGate());
  EXPECT_EQ(tools.MessageBoxes().size(), 1u);
  CoUninitialize();
}

}  // namespace
