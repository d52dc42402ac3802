// The tools library's product object: answers from a product description
// in a scratch folder, reading it again, and the running product found by
// its window and its processes, closed by request.
#include "toolslib/product_object.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "foundation/win/known_folders.h"
#include "scratch_folder.h"

namespace {

// The sample description as the build placed it beside the tools module.
VoString BuiltDescription() { return VoString::FromUtf8(VO_TOOLS_MODULE_DIR "/Product.xml"); }

// A small description; `main` and `servers` name the product's programs.
std::string Description(const char* edition, const char* main = "Halvora.exe", const char* servers = "") {
  return std::string("<VoProduct version='1.0'><Information><ShortName>Halvora</ShortName>") +
         "<DisplayName>Halvora 23</DisplayName><FamilyName>Halvora</FamilyName><EditionName>" + edition +
         "</EditionName><MainProgram>" + main + "</MainProgram><Launcher>L.exe</Launcher><ServerPrograms>" + servers +
         "</ServerPrograms><StartMenuGroup>G</StartMenuGroup><StartMenuVersion>1</StartMenuVersion>"
         "<Version>1.0</Version><MajorVersion>24</MajorVersion></Information>"
         "<Product><InstallToPath>" + edition + "</InstallToPath></Product></VoProduct>";
}

// A started test program; ended by force at the end if it still runs.
class StartedProgram {
 public:
  StartedProgram(const VoString& program, const wchar_t* argument) {
    std::wstring command = L"\"" + program.Std() + L"\" " + argument;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info_);
  }
  ~StartedProgram() {
    if (!started_) return;
    if (!HasEnded(0)) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool Started() const { return started_; }
  bool HasEnded(DWORD wait_ms) const { return WaitForSingleObject(info_.hProcess, wait_ms) == WAIT_OBJECT_0; }
  void End() {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION info_{};
};

// Waits until the stand-in's frame window exists (it takes a moment to start).
HWND WaitForFrame() {
  for (int tries = 0; tries < 500; ++tries) {
    if (HWND frame = FindWindowW(L"KVFrame", nullptr)) return frame;
    Sleep(10);
  }
  return nullptr;
}

class ProductObjectTest : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    file_ = At(L"Product.xml");
    ASSERT_TRUE(CopyFileW(BuiltDescription().c_str(), file_.c_str(), FALSE)) << BuiltDescription().ToUtf8();
  }
  void TearDown() override {
    // No stand-in window may outlive its test.
    EXPECT_EQ(FindWindowW(L"KVFrame", nullptr), nullptr);
    ScratchFolder::TearDown();
  }

  VoString file_;
};

TEST_F(ProductObjectTest, AnswersFromTheDescription) {
  VoProductObject product;
  ASSERT_TRUE(product.Load(file_));
  VoString error = L"stale";
  EXPECT_FALSE(product.GetLoadError(error));
  EXPECT_TRUE(error.IsEmpty());

  const struct {
    const char* name;
    void (VoProductObject::*get)(VoString&);
    const wchar_t* value;
  } texts[] = {
      {"main program", &VoProductObject::GetMainProgramName, L"Halvora.exe"},
      {"launcher", &VoProductObject::GetLauncherName, L"Halvora Launcher.exe"},
      {"start menu group", &VoProductObject::GetStartMenuGroupName, L"Halvora 23"},
      {"start menu version", &VoProductObject::GetStartMenuVersion, L"23"},
      {"version", &VoProductObject::GetVersionText, L"23.0.10.0"},
      {"web address", &VoProductObject::GetWebAddress, L"https://www.halvora.example/"},
      {"own extension", &VoProductObject::GetOwnExtension, L".kva"},
      {"protocols", &VoProductObject::GetProtocols, L"halvora://;mms://;rtsp://"},
      {"MIME types", &VoProductObject::GetMimeTypes,
       L"application/x-kelvane-kva;audio/x-mpegurl;audio/x-scpls;application/vnd.apple.mpegurl"},
  };
  for (const auto& t : texts) {
    VoString value = L"stale";
    (product.*t.get)(value);
    EXPECT_EQ(value, t.value) << t.name;
  }
  const wchar_t* const names[] = {L"Halvora", L"Halvora 23", L"Halvora", L"Halvora 23", L"", L""};
  const int forms[] = {0, 1, 2, 3, 4, -1};
  for (int i = 0; i < 6; ++i) {
    VoString name = L"stale";
    product.GetProductName(forms[i], name);
    EXPECT_EQ(name, names[i]) << forms[i];
  }
  EXPECT_EQ(product.GetMajorVersion(), 23);
  VoString link = L"stale";
  product.GetLink(15, link);
  EXPECT_EQ(link, L"http://127.0.0.1:48943/d3dx943.exe");
  product.GetLink(14, link);
  EXPECT_TRUE(link.IsEmpty());
  for (int feature : {173, 176, 104, 24, 22, 182}) EXPECT_TRUE(product.HasProductFeature(feature)) << feature;
  for (int feature : {0, 84, 191}) EXPECT_FALSE(product.HasProductFeature(feature)) << feature;

  VoString value;
  product.GetConfigString(L"/*/Product/InstallToPath", L"x", value);
  EXPECT_EQ(value, L"Halvora 23");
  product.GetConfigString(L"/*/SpecialFeatures/MinIEVersion", L"x", value);
  EXPECT_EQ(value, L"");
  product.GetConfigString(L"/*/Product/Missing", L"fallback", value);
  EXPECT_EQ(value, L"fallback");
  product.GetConfigString(nullptr, nullptr, value);
  EXPECT_EQ(value, L"");
  EXPECT_EQ(product.GetConfigInt(L"/*/Installer/PromoCount", 0), 3);
  EXPECT_EQ(product.GetConfigInt(L"/*/Installer/PromoMinimumMilliseconds", 0), 4000);
  EXPECT_EQ(product.GetConfigInt(L"/*/DefaultSettings/MAKEDEFAULTPLAYER", 7), 1);
  EXPECT_EQ(product.GetConfigInt(L"/*/DefaultSettings/SHOWSTOPBUTTON", 7), 7);
}

TEST_F(ProductObjectTest, ReloadReadsAgainAndKeepsTheEarlierDescriptionOnFailure) {
  VoProductObject product;
  int loads = 0;
  product.SetLoadedCallback([&loads] { ++loads; });
  ASSERT_TRUE(product.Load(file_));
  EXPECT_EQ(loads, 1);

  Write(file_, Description("Halvora 24 Beta"));
  ASSERT_TRUE(product.Reload(L""));
  VoString name, value, error;
  product.GetProductName(3, name);
  EXPECT_EQ(name, L"Halvora 24 Beta");
  product.GetConfigString(L"/*/Product/InstallToPath", L"", value);
  EXPECT_EQ(value, L"Halvora 24 Beta");
  EXPECT_EQ(product.GetMajorVersion(), 24);
  EXPECT_EQ(loads, 2);

  // A broken file: the reason is told, the description read before stays.
  Write(file_, "<VoProduct version='1.0'><Information>");
  EXPECT_FALSE(product.Reload(L""));
  ASSERT_TRUE(product.GetLoadError(error));
  EXPECT_TRUE(error.StartsWithNoCase(L"The product description \"" + file_ + L"\" is not well-formed XML: "))
      << error.ToUtf8();
  product.GetProductName(3, name);
  EXPECT_EQ(name, L"Halvora 24 Beta");
  EXPECT_EQ(loads, 2);

  // Another file, named; reading again without a name still means the
  // file of start-up.
  const VoString other = At(L"Other.xml");
  Write(other, Description("Halvora 25"));
  ASSERT_TRUE(product.Reload(other.c_str()));
  EXPECT_FALSE(product.GetLoadError(error));
  product.GetProductName(3, name);
  EXPECT_EQ(name, L"Halvora 25");
  Write(file_, Description("Halvora 26"));
  ASSERT_TRUE(product.Reload(nullptr));
  product.GetProductName(3, name);
  EXPECT_EQ(name, L"Halvora 26");
  DeleteFileW(other.c_str());
  EXPECT_FALSE(product.Reload(other.c_str()));
  product.GetLoadError(error);
  EXPECT_EQ(error, L"The product description \"" + other + L"\" is missing or cannot be read.");
  EXPECT_EQ(loads, 4);
}

TEST_F(ProductObjectTest, WithoutADescriptionAnswersAreEmptyAndDefaults) {
  VoProductObject product;
  EXPECT_FALSE(product.Load(At(L"Absent.xml")));
  VoString error;
  ASSERT_TRUE(product.GetLoadError(error));
  EXPECT_EQ(error, L"The product description \"" + At(L"Absent.xml") + L"\" is missing or cannot be read.");
  VoString text = L"stale";
  product.GetProductName(0, text);
  EXPECT_TRUE(text.IsEmpty());
  product.GetMainProgramName(text);
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(product.GetMajorVersion(), 0);
  EXPECT_FALSE(product.HasProductFeature(173));
  product.GetConfigString(L"/*/Product/InstallToPath", L"default", text);
  EXPECT_EQ(text, L"default");
  EXPECT_EQ(product.GetConfigInt(L"/*/Installer/PromoCount", 5), 5);
  EXPECT_FALSE(product.IsProductRunning());
  EXPECT_EQ(product.GetProductWindow(), nullptr);

  // The file start-up looked for is read once it is there.
  ASSERT_TRUE(CopyFileW(file_.c_str(), At(L"Absent.xml").c_str(), FALSE));
  EXPECT_TRUE(product.Reload(L""));
  EXPECT_FALSE(product.GetLoadError(error));
  EXPECT_EQ(product.GetMajorVersion(), 23);
}

TEST_F(ProductObjectTest, DescriptionIsLookedForBesideTheModuleHoldingTheCode) {
  // Linked into this test program, the code's module is the program itself.
  EXPECT_TRUE(VoProductObject::DescriptionBesideModule().EqualsNoCase(vo::GetExecutableFolder() + L"Product.xml"))
      << VoProductObject::DescriptionBesideModule().ToUtf8();
}

TEST_F(ProductObjectTest, ProductWindowThatClosesWhenAsked) {
  VoProductObject product;
  ASSERT_TRUE(product.Load(file_));
  EXPECT_FALSE(product.IsProductRunning());
  EXPECT_EQ(product.GetProductWindow(), nullptr);

  StartedProgram program(vo::GetExecutableFolder() + L"kvframe_window.exe", L"close");
  ASSERT_TRUE(program.Started());
  const HWND frame = WaitForFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(product.IsProductRunning());
  EXPECT_EQ(product.GetProductWindow(), frame);

  product.CloseProduct();
  EXPECT_FALSE(product.IsProductRunning());
  EXPECT_EQ(product.GetProductWindow(), nullptr);
  EXPECT_TRUE(program.HasEnded(5000));  // it ended by itself, asked
}

TEST_F(ProductObjectTest, ProductWindowThatIgnoresTheRequestIsLeftRunning) {
  VoProductObject product;
  ASSERT_TRUE(product.Load(file_));
  product.SetCloseWait(300, 50);
  StartedProgram program(vo::GetExecutableFolder() + L"kvframe_window.exe", L"ignore");
  ASSERT_TRUE(program.Started());
  const HWND frame = WaitForFrame();
  ASSERT_NE(frame, nullptr);

  product.CloseProduct();
  EXPECT_TRUE(product.IsProductRunning());
  EXPECT_EQ(product.GetProductWindow(), frame);
  EXPECT_FALSE(program.HasEnded(0));  // never ended by force
  program.End();
  EXPECT_FALSE(product.IsProductRunning());
}

TEST_F(ProductObjectTest, CloseWaitsForTheProcessAfterItsWindowIsGone) {
  // The stand-in runs under the main program's name and lingers after its
  // window closed; closing is done only when the process has ended.
  const VoString main = At(L"Halvora Probe.exe");
  ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"kvframe_window.exe").c_str(), main.c_str(), FALSE));
  Write(file_, Description("Halvora 23", "HALVORA PROBE.EXE"));
  VoProductObject product;
  ASSERT_TRUE(product.Load(file_));
  product.SetCloseWait(5000, 20);
  StartedProgram program(main, L"linger");
  ASSERT_TRUE(program.Started());
  ASSERT_NE(WaitForFrame(), nullptr);

  product.CloseProduct();
  EXPECT_TRUE(program.HasEnded(0));
  EXPECT_FALSE(product.IsProductRunning());
}

TEST_F(ProductObjectTest, ProcessesOfTheMainProgramOrServerComponentCount) {
  const VoString sleeper = vo::GetExecutableFolder() + L"sleep_forever.exe";
  const struct {
    const wchar_t* file;  // the running program's file name
    bool counts;
  } cases[] = {
      {L"Probe Main.exe", true},     // the main program, named in other case in the description
      {L"probe_server.exe", true},   // a server component
      {L"Probe Agent.EXE", true},    // the second server component
      {L"Probe Main2.exe", false},   // a name that only begins like one
      {L"unrelated.exe", false},
  };
  Write(file_, Description("Halvora 23", "PROBE MAIN.EXE", "Probe_Server.exe; probe agent.exe"));
  VoProductObject product;
  ASSERT_TRUE(product.Load(file_));
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.file).ToUtf8());
    const VoString copy = At(c.file);
    ASSERT_TRUE(CopyFileW(sleeper.c_str(), copy.c_str(), FALSE));
    EXPECT_FALSE(product.IsProductRunning());
    StartedProgram program(copy, (L"\"" + At(L"pid.txt") + L"\"").c_str());
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(product.IsProductRunning(), c.counts);
    EXPECT_EQ(product.GetProductWindow(), nullptr);
    program.End();
    EXPECT_FALSE(product.IsProductRunning());
  }
}

}  // namespace
