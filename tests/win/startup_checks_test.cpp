// The start-up checks' decisions and messages, with the machine's facts and
// the product's running state pretended.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/environment_checks.h"
#include "app/running_product.h"
#include "app/session.h"
#include "foundation/os_version.h"
#include "foundation/processor_features.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/vo_timer.h"
#include "program_folder_fixture.h"
#include "support/fake_tools.h"

namespace {

struct Facts {
  bool rights = true;
  bool product_closes = true;
  bool gate = true;
  uint32_t cpu = vo::kCpuComputed | vo::kCpuMmx | vo::kCpuSse | vo::kCpuSse2;
  int os = vo::kOsWindows10;
};

struct Calls {
  int running_checks = 0, service_stops = 0, gates = 0;
};

vo::EnvironmentProbes Probes(const Facts& facts, Calls& calls) {
  vo::EnvironmentProbes probes;
  probes.has_admin_rights = [&facts] { return facts.rights; };
  probes.check_running_product = [&facts, &calls] {
    ++calls.running_checks;
    return facts.product_closes;
  };
  probes.stop_product_service = [&calls] { ++calls.service_stops; };
  probes.browser_gate = [&facts, &calls] {
    ++calls.gates;
    return facts.gate;
  };
  probes.processor_features = [&facts] { return facts.cpu; };
  probes.os_code = [&facts] { return facts.os; };
  return probes;
}

TEST(EnvironmentChecks, EachFailureEndsTheChecksWithItsMessage) {
  const uint32_t base = vo::kCpuComputed | vo::kCpuMmx | vo::kCpuSse2;
  struct Case {
    const char* what;
    Facts facts;
    bool passes;
    const wchar_t* title;  // the one box shown, or null
    int gates;             // how far the checks got
  } cases[] = {
      {"all well", {}, true, nullptr, 1},
      {"no rights", {.rights = false}, false, L"Information", 0},
      {"product not closed", {.product_closes = false}, false, nullptr, 0},
      {"browser gate", {.gate = false}, false, nullptr, 1},
      {"SSE2 without MMX", {.cpu = vo::kCpuComputed | vo::kCpuSse2}, false, L"SSE2 Not Available", 1},
      {"MMX without SSE2", {.cpu = vo::kCpuComputed | vo::kCpuMmx}, false, L"SSE2 Not Available", 1},
      {"Windows 2000", {.cpu = base, .os = vo::kOsWindows2000}, true, nullptr, 1},
      {"Windows NT 4", {.cpu = base, .os = vo::kOsWindowsNt}, false, L"Operating System Not Supported", 1},
      {"code 1999", {.cpu = base, .os = 1999}, true, nullptr, 1},
      {"code 2000", {.cpu = base, .os = 2000}, false, L"Operating System Not Supported", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeTools tools;
    tools.product.names[1] = VoString(L"Halvora 23");
    Calls calls;
    EXPECT_EQ(vo::RunEnvironmentChecks(Probes(c.facts, calls)), c.passes);
    EXPECT_EQ(calls.gates, c.gates);
    // The service is asked to stop exactly when the product check passed.
    EXPECT_EQ(calls.service_stops, c.facts.rights && c.facts.product_closes ? 1 : 0);
    const auto boxes = tools.MessageBoxes();
    if (!c.title) {
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, c.title);
    EXPECT_EQ(boxes[0].buttons, std::vector<VoString>{VoString(L"OK")});
  }
}

TEST(EnvironmentChecks, MessagesNameTheProductInTheirForm) {
  FakeTools tools;
  tools.product.names[1] = VoString(L"Halvora Plus 23");
  Calls calls;
  Facts facts;
  facts.cpu = vo::kCpuComputed | vo::kCpuSse2;
  EXPECT_FALSE(vo::RunEnvironmentChecks(Probes(facts, calls)));
  facts.cpu |= vo::kCpuMmx;
  facts.os = vo::kOsWindowsMe;
  EXPECT_FALSE(vo::RunEnvironmentChecks(Probes(facts, calls)));
  facts.rights = false;
  EXPECT_FALSE(vo::RunEnvironmentChecks(Probes(facts, calls)));
  const auto boxes = tools.MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text,
            L"The Halvora Plus 23 Install Wizard failed to detect an SSE2-capable CPU.\r\n\r\n"
            L"Halvora Plus 23 requires SSE2 capabilities to run.  Setup will now abort.");
  EXPECT_EQ(boxes[1].text,
            L"The Halvora Plus 23 Install Wizard can not run on this version of Microsoft Windows.\r\n\r\n"
            L"Halvora Plus 23 requires Windows 2000 or later.  Setup will now abort.");
  EXPECT_EQ(boxes[2].text,
            L"Sorry, but you do not have sufficient rights to install the program.\r\n"
            L"Please make sure you have administrative rights before you begin the installation.");
}

class RunningProductTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Session() = InstallSession{};
    tools.product.names[0] = VoString(L"Halvora");
    tools.product.names[1] = VoString(L"Halvora 23");
  }
  void TearDown() override { Session() = InstallSession{}; }

  std::vector<VoString> Titles() const {
    std::vector<VoString> titles;
    for (const auto& box : tools.MessageBoxes()) titles.push_back(box.title);
    return titles;
  }

  FakeTools tools;
};

TEST_F(RunningProductTest, NotRunningAsksNothing) {
  EXPECT_TRUE(vo::CheckRunningProduct());
  EXPECT_TRUE(tools.MessageBoxes().empty());
  EXPECT_EQ(tools.product.close_calls, 0);
}

TEST_F(RunningProductTest, TheUsersAnswerDecides) {
  tools.product.running = true;
  tools.ScriptAnswers({false});
  EXPECT_FALSE(vo::CheckRunningProduct());
  EXPECT_EQ(tools.product.close_calls, 0);
  ASSERT_EQ(tools.MessageBoxes().size(), 1u);
  const auto question = tools.MessageBoxes()[0];
  EXPECT_EQ(question.title, L"Halvora 23 Open");
  EXPECT_EQ(question.text,
            L"Install Wizard has detected a running copy of Halvora 23.\r\n\r\n"
            L"Do you want Install Wizard to close Halvora 23 and continue setup?");
  EXPECT_EQ(question.buttons, (std::vector<VoString>{VoString(L"Yes"), VoString(L"No")}));

  tools.ScriptAnswers({true});
  EXPECT_TRUE(vo::CheckRunningProduct());
  EXPECT_EQ(tools.product.close_calls, 1);
  EXPECT_EQ(tools.MessageBoxes().size(), 2u);
}

TEST_F(RunningProductTest, SilentClosesWithoutAskingButStillReportsFailure) {
  Session().Silent = true;
  tools.product.running = true;
  tools.product.on_close = nullptr;  // ignores the request
  EXPECT_FALSE(vo::CheckRunningProduct());
  EXPECT_EQ(tools.product.close_calls, 1);
  EXPECT_EQ(Titles(), (std::vector<VoString>{VoString(L"Please Close Halvora"), VoString(L"Install Wizard Error")}));
  const auto boxes = tools.MessageBoxes();
  EXPECT_EQ(boxes[0].text,
            L"Install Wizard could not close the running copy of Halvora.\r\n"
            L"Please manually close Halvora and then press 'OK'.\r\n\r\n"
            L"If you can not close Halvora restart your computer and run Install Wizard again.");
  EXPECT_EQ(boxes[1].text,
            L"Halvora is still running.  Install Wizard can not continue.\r\n\r\n"
            L"Please restart your computer and run Install Wizard again.");
}

TEST_F(RunningProductTest, ClosedByHandWhileThePleaseCloseBoxIsShown) {
  tools.product.running = true;
  tools.product.on_close = nullptr;
  // The product stops once the "Please Close" box has been shown.
  tools.product.on_poll = [this](FakeProduct& p) {
    if (tools.MessageBoxes().size() >= 2) p.running = false;
  };
  tools.ScriptAnswers({true});
  EXPECT_TRUE(vo::CheckRunningProduct());
  EXPECT_EQ(Titles(), (std::vector<VoString>{VoString(L"Halvora 23 Open"), VoString(L"Please Close Halvora")}));
}

TEST_F(RunningProductTest, ServerEditionIsSentCloseAndPolledForFiveSeconds) {
  tools.product.names[0] = VoString(L"Halvora Odrix");
  tools.product.running = true;
  // A window of this thread receives the posted close.
  HWND window = CreateWindowExW(0, L"STATIC", L"server", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  tools.product.window = window;
  tools.product.on_poll = [](FakeProduct& p) {
    if (p.polls >= 1000) p.running = false;
  };
  tools.ScriptAnswers({true});
  EXPECT_TRUE(vo::CheckRunningProduct());
  EXPECT_EQ(tools.product.close_calls, 0);  // the library's close is not used
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  EXPECT_EQ(message.wParam, 1u);
  EXPECT_EQ(message.lParam, 0);

  // One that ignores the close: given up after five seconds.
  tools.product.running = true;
  tools.product.on_poll = nullptr;
  tools.ScriptAnswers({true});
  VoTimer timer;
  EXPECT_FALSE(vo::CheckRunningProduct());
  const uint32_t waited = timer.Elapsed();
  EXPECT_GE(waited, 4900u);
  EXPECT_EQ(Titles().back(), L"Install Wizard Error");
  DestroyWindow(window);
}

TEST(StopProductService, StartsTheServiceProgramWithStopWhenAFolderIsKnown) {
  TempTestFolder folder(L"service-stop");
  const VoString log = folder.Path() + L"arguments.log";
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", log.c_str());
  {
    ProgramFolderOverride none{VoString()};
    vo::StopProductService();  // nothing to start
  }
  ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"exit_with.exe").c_str(),
                        (folder.Path() + L"DuZizizuv.exe").c_str(), FALSE));
  {
    ProgramFolderOverride installed(folder.Path());
    vo::StopProductService();
  }
  // Not waited for: look for its line for a while.
  std::string line;
  for (int i = 0; i < 100 && line.empty(); ++i) {
    Sleep(50);
    std::ifstream in{std::filesystem::path(log.Std())};
    std::getline(in, line);
  }
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);
  if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // the log's byte-order mark
  EXPECT_EQ(line, "/Stop");
  // A missing program is not reported.
  FakeTools tools;
  DeleteFileW((folder.Path() + L"DuZizizuv.exe").c_str());
  ProgramFolderOverride installed(folder.Path());
  vo::StopProductService();
  EXPECT_TRUE(tools.MessageBoxes().empty());
}

}  // namespace
