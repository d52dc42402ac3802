// The real tools library's modules, installed into a "Kelvane\" folder and
// loaded the way start-up loads them.
#include "tools/tools_loader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/win/process_info_record.h"
#include "scratch_folder.h"
#include "tools/vo_module_entry_points.h"
#include "tools/vo_tools.h"

namespace {

const wchar_t* const kAllModules[] = {L"VoTools64.dll",  L"VoImage.dll",     L"VoReader.dll",    L"VoDisc.dll",
                                      L"VoPlayer.dll", L"VoWMFactory.dll", L"VoTelevision.dll"};

struct CriticalError {
  VoString caption, text;
};
std::vector<CriticalError> g_errors;
int g_ends = 0;

void RecordError(const wchar_t* caption, const wchar_t* text) { g_errors.push_back({caption, text}); }
void RecordEnd() { ++g_ends; }

VoString BuiltModule(const wchar_t* name) { return VoString::FromUtf8(VO_TOOLS_MODULE_DIR "/") + name; }

VoString ExpectedMessage(const VoString& path, const wchar_t* reason) {
  return L"The following module has failed to load:\r\n" + path + L"\r\n\r\nIt has reported the following error:\r\n\r\n" +
         reason + L"\r\n\r\nPlease reinstall the latest version of the program.";
}

class ToolsLoaderTest : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    kelvane_ = At(L"Kelvane\\");
    MakeFolder(kelvane_);
    previous_folder_ = vo::GetProcessPath(ProcessPath::kToolsFolder);
    ASSERT_TRUE(vo::SetProcessPath(ProcessPath::kToolsFolder, kelvane_));
    // The run's log file goes to the temporary folder: this test's own.
    previous_tmp_ = Environment(L"TMP");
    SetEnvironmentVariableW(L"TMP", dir_.c_str());
    g_errors.clear();
    g_ends = 0;
    vo::SetCriticalErrorReporter(RecordError);
    vo::SetProcessEnder(RecordEnd);
  }
  void TearDown() override {
    vo::ReleaseToolsLibrary();
    vo::SetCriticalErrorReporter(nullptr);
    vo::SetProcessEnder(nullptr);
    vo::SetToolsModuleChecksum(nullptr);
    vo::SetProcessPath(ProcessPath::kToolsFolder, previous_folder_);
    SetEnvironmentVariableW(L"TMP", previous_tmp_.IsEmpty() ? nullptr : previous_tmp_.c_str());
    ScratchFolder::TearDown();
  }

 public:  // the case tables' preparations install modules too
  static VoString Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH + 1);
    return length && length <= MAX_PATH ? VoString(value) : VoString();
  }
  void Install(const wchar_t* built, const wchar_t* as = nullptr) {
    const VoString target = kelvane_ + (as ? as : built);
    ASSERT_TRUE(CopyFileW(BuiltModule(built).c_str(), target.c_str(), FALSE)) << BuiltModule(built).ToUtf8();
  }
  void InstallAll() {
    for (const wchar_t* name : kAllModules) Install(name);
    Install(L"Product.xml");  // the product description the tools module reads
  }
  // True while this process has the file at `path` loaded.
  static bool IsLoaded(const VoString& path) { return GetModuleHandleW(path.c_str()) != nullptr; }
  static VoString LoadedPath(HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return VoString(std::wstring_view(path, length));
  }

  VoString kelvane_, previous_folder_, previous_tmp_;
};

TEST_F(ToolsLoaderTest, LoadsLogsAndReleasesInstalledModules) {
  InstallAll();
  ASSERT_TRUE(vo::LoadToolsLibrary(GetModuleHandleW(nullptr)));
  EXPECT_TRUE(g_errors.empty());
  IVoTools* tools = VoTools();
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->GetInterfaceVersion(), 200048);
  EXPECT_EQ(vo::GetVoModuleInterface(VoModule::kTools), tools);
  EXPECT_TRUE(LoadedPath(vo::GetVoModule(VoModule::kTools)).EqualsNoCase(kelvane_ + L"VoTools64.dll"));

  // Modules with set-up entry points or none at all stay; those whose
  // interface getter answers null (no interface exists yet) are released.
  const struct {
    VoModule module;
    const wchar_t* file;
    bool kept;
  } siblings[] = {
      {VoModule::kImage, L"VoImage.dll", false},     {VoModule::kReader, L"VoReader.dll", true},
      {VoModule::kDisc, L"VoDisc.dll", true},        {VoModule::kPlayer, L"VoPlayer.dll", false},
      {VoModule::kWMFactory, L"VoWMFactory.dll", true}, {VoModule::kTelevision, L"VoTelevision.dll", false},
  };
  for (const auto& s : siblings) {
    SCOPED_TRACE(VoString(s.file).ToUtf8());
    const HMODULE module = vo::GetVoModule(s.module);
    EXPECT_EQ(module != nullptr, s.kept);
    EXPECT_EQ(IsLoaded(kelvane_ + s.file), s.kept);
    if (module) {
      EXPECT_TRUE(LoadedPath(module).EqualsNoCase(kelvane_ + s.file));
    }
    EXPECT_EQ(vo::GetVoModule(s.module), module);  // tried once, not again
  }

  vo::Log(L"Loader test", VoString(L"a line with \u00fc and \u20ac"), 3);
  VoString log_path;
  ASSERT_TRUE(tools->Log()->GetLogFilePath(log_path));
  EXPECT_TRUE(log_path.StartsWithNoCase(dir_ + L"HalvoraInstall_")) << log_path.ToUtf8();
  EXPECT_TRUE(log_path.View().ends_with(L".log"));

  vo::ReleaseToolsLibrary();
  EXPECT_EQ(VoTools(), nullptr);
  for (const wchar_t* name : kAllModules) EXPECT_FALSE(IsLoaded(kelvane_ + name)) << VoString(name).ToUtf8();

  const std::string log = Read(log_path);
  EXPECT_EQ(log.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_NE(log.find(" [1] VoTools: Initialized for the installer\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" [3] Loader test: a line with \xC3\xBC and \xE2\x82\xAC\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" [1] VoTools: Uninitialized\r\n"), std::string::npos) << log;
  // Each line starts with its time stamp, "yyyy-mm-dd hh:mm:ss.mmm".
  const size_t second_line = log.find("\r\n") + 2;
  ASSERT_GT(log.size(), second_line + 24);
  const std::string stamp = log.substr(second_line, 24);
  EXPECT_TRUE(stamp[4] == '-' && stamp[7] == '-' && stamp[10] == ' ' && stamp[13] == ':' && stamp[16] == ':' &&
              stamp[19] == '.' && stamp[23] == ' ')
      << stamp;
  EXPECT_TRUE(g_errors.empty());
}

TEST_F(ToolsLoaderTest, ThreadsRacingForFirstUseLoadEachModuleOnce) {
  InstallAll();
  std::vector<std::thread> threads;
  std::vector<HMODULE> seen[4];
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&seen, t] {
      vo::LoadToolsLibrary(GetModuleHandleW(nullptr));
      for (int m = 0; m < kVoModuleCount; ++m) seen[t].push_back(vo::GetVoModule(static_cast<VoModule>(m)));
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[t], seen[0]);
  EXPECT_NE(VoTools(), nullptr);
  // A module loaded twice would keep a reference after the release.
  vo::ReleaseToolsLibrary();
  for (const wchar_t* name : kAllModules) EXPECT_FALSE(IsLoaded(kelvane_ + name)) << VoString(name).ToUtf8();
  EXPECT_TRUE(g_errors.empty());
}

TEST_F(ToolsLoaderTest, ToolsEntryPointAnswersOnlyItsInterfaceVersion) {
  Install(L"VoTools64.dll");
  const HMODULE module = LoadLibraryW((kelvane_ + L"VoTools64.dll").c_str());
  ASSERT_NE(module, nullptr);
  auto get = reinterpret_cast<GetVoToolsDllFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "GetVoToolsDLL")));
  ASSERT_NE(get, nullptr);
  for (int version : {0, 200047, 200049, -200048}) EXPECT_EQ(get(version), nullptr) << version;
  IVoTools* tools = get(200048);
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->GetInterfaceVersion(), 200048);
  EXPECT_EQ(get(200048), tools);
  FreeLibrary(module);
}

TEST_F(ToolsLoaderTest, BrokenToolsModuleIsReportedAndEnds) {
  const struct {
    const char* name;
    void (*prepare)(ToolsLoaderTest& test);
    const wchar_t* reason;
  } cases[] = {
      {"missing", [](ToolsLoaderTest&) {}, L"Failed to load VoTools"},
      {"corrupted",
       [](ToolsLoaderTest& test) {
         test.Install(L"VoTools64.dll");
         const VoString path = test.kelvane_ + L"VoTools64.dll";
         std::string bytes = Read(BuiltModule(L"VoTools64.dll"));
         ASSERT_GT(bytes.size(), 1024u);
         HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         ASSERT_NE(file, INVALID_HANDLE_VALUE);
         // The last byte: the module still loads, only its contents differ.
         ASSERT_NE(SetFilePointer(file, -1, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
         unsigned char byte = 0;
         DWORD done = 0;
         ASSERT_TRUE(ReadFile(file, &byte, 1, &done, nullptr));
         byte ^= 0x5A;
         SetFilePointer(file, -1, nullptr, FILE_END);
         ASSERT_TRUE(WriteFile(file, &byte, 1, &done, nullptr));
         CloseHandle(file);
       },
       L"The module's file does not match the checksum recorded when it was built."},
      {"without entry point",
       [](ToolsLoaderTest& test) {
         // A module that passes the integrity check but exports nothing.
         test.Install(L"VoWMFactory.dll", L"VoTools64.dll");
         static std::string checksum;
         ASSERT_TRUE(vo::FileSha256(test.kelvane_ + L"VoTools64.dll", checksum));
         vo::SetToolsModuleChecksum(checksum.c_str());
       },
       L"Unknown error loading product information"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_errors.clear();
    g_ends = 0;
    DeleteFileW((kelvane_ + L"VoTools64.dll").c_str());
    c.prepare(*this);
    EXPECT_FALSE(vo::LoadToolsLibrary(GetModuleHandleW(nullptr)));
    EXPECT_EQ(VoTools(), nullptr);
    ASSERT_EQ(g_errors.size(), 1u);
    EXPECT_EQ(g_errors[0].caption, L"Critical Error");
    EXPECT_EQ(g_errors[0].text, ExpectedMessage(kelvane_ + L"VoTools64.dll", c.reason));
    EXPECT_EQ(g_ends, 1);
    EXPECT_FALSE(IsLoaded(kelvane_ + L"VoTools64.dll"));
    vo::ReleaseToolsLibrary();
    vo::SetToolsModuleChecksum(nullptr);
  }
}

TEST_F(ToolsLoaderTest, ProductDescriptionFaultIsReportedWithTheLibrarysText) {
  const VoString description = kelvane_ + L"Product.xml";
  const struct {
    const char* name;
    const char* content;  // null: no description
    std::wstring reason;  // after the description's quoted path
  } cases[] = {
      {"missing", nullptr, L" is missing or cannot be read."},
      {"broken", "<VoProduct version='1.0'><Information></VoProduct>",
       L" is not well-formed XML: End tag 'VoProduct' at offset 39 does not match start tag 'Information' at offset "
       L"25."},
      {"newer format", "<VoProduct version='2.0'/>",
       L" has the version \"2.0\"; this library reads version 1 descriptions only."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_errors.clear();
    g_ends = 0;
    InstallAll();
    if (c.content) Write(description, c.content);
    else ASSERT_TRUE(DeleteFileW(description.c_str()));
    EXPECT_FALSE(vo::LoadToolsLibrary(GetModuleHandleW(nullptr)));
    EXPECT_EQ(VoTools(), nullptr);
    ASSERT_EQ(g_errors.size(), 1u);
    EXPECT_EQ(g_errors[0].caption, L"Critical Error");
    // The library names the description by the path it found its module at.
    const VoString reason = L"The product description \"" + description + L"\"" + c.reason;
    EXPECT_TRUE(g_errors[0].text.EqualsNoCase(ExpectedMessage(kelvane_ + L"VoTools64.dll", reason.c_str())))
        << g_errors[0].text.ToUtf8();
    EXPECT_NE(g_errors[0].text.Find(c.reason), VoString::npos);  // the library's own words, exactly
    EXPECT_EQ(g_ends, 1);
    EXPECT_FALSE(IsLoaded(kelvane_ + L"VoTools64.dll"));
    vo::ReleaseToolsLibrary();
  }
}

TEST_F(ToolsLoaderTest, LoadingRuleFullPathOrToolsFolder) {
  Install(L"VoDisc.dll");
  const VoString elsewhere = At(L"Elsewhere\\");
  MakeFolder(elsewhere);
  ASSERT_TRUE(CopyFileW(BuiltModule(L"VoDisc.dll").c_str(), (elsewhere + L"VoDisc.dll").c_str(), FALSE));
  const struct {
    VoString name;
    VoString folder;
    VoString loaded_from;  // empty: not loaded
  } cases[] = {
      {elsewhere + L"VoDisc.dll", kelvane_, elsewhere + L"VoDisc.dll"},
      {VoString(L"VoDisc.dll"), kelvane_, kelvane_ + L"VoDisc.dll"},
      {VoString(L"VoDisc.dll"), elsewhere, elsewhere + L"VoDisc.dll"},
      {kelvane_ + L"Absent.dll", elsewhere, VoString()},
      // Without a tools folder the default search does not look in ours.
      {VoString(L"VoDisc.dll"), VoString(), VoString()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name.ToUtf8() + " in " + c.folder.ToUtf8());
    ASSERT_TRUE(vo::SetProcessPath(ProcessPath::kToolsFolder, c.folder));
    const HMODULE module = vo::LoadModuleByRule(c.name);
    EXPECT_EQ(module ? LoadedPath(module).ToLower() : VoString(), c.loaded_from.ToLower());
    if (module) FreeLibrary(module);
  }
}

TEST_F(ToolsLoaderTest, FileSha256) {
  const struct {
    std::string bytes;
    const char* sha256;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // Longer than one read.
      {std::string(100000, 'a'), "6d1cf22d7cc09b085dfc25ee1a1f3ae0265804c607bc2074ad253bcc82fd81ee"},
  };
  for (const auto& c : cases) {
    Write(At(L"data.bin"), c.bytes);
    std::string hex;
    ASSERT_TRUE(vo::FileSha256(At(L"data.bin"), hex));
    EXPECT_EQ(hex, c.sha256) << c.bytes.size();
  }
  std::string hex = "left over";
  EXPECT_FALSE(vo::FileSha256(At(L"absent.bin"), hex));
  EXPECT_TRUE(hex.empty());
}

TEST_F(ToolsLoaderTest, TextLocalisationAndSkinServices) {
  InstallAll();
  ASSERT_TRUE(vo::LoadToolsLibrary(GetModuleHandleW(nullptr)));
  IVoTextUtilities* text = VoTools()->Text();
  const struct {
    const wchar_t* text;
    const wchar_t* what;
    int from;
    unsigned flags;
    int at;
  } finds[] = {
      {L"Hello World", L"world", 0, 1, 6}, {L"Hello World", L"world", 0, 0, -1}, {L"Hello World", L"World", 0, 0, 6},
      {L"abcABC", L"abc", 1, 1, 3},        {L"abc", L"x", 0, 1, -1},             {L"abc", L"c", 3, 1, -1},
      {L"abc", L"", 3, 1, 3},              {L"abc", L"a", 9, 1, -1},             {L"abc", L"a", -4, 1, 0},
      {L"x-Y-z", L"y-Z", 0, 3, 2},
  };
  for (const auto& f : finds) {
    EXPECT_EQ(text->Find(f.text, f.what, f.from, f.flags), f.at) << VoString(f.text).ToUtf8() << " / " << f.from;
  }
  EXPECT_EQ(text->Find(nullptr, L"a", 0, 1), -1);
  // The foundation's own case-insensitive search now goes through the library.
  EXPECT_EQ(VoString(L"Some TEXT").FindNoCase(L"text"), 5u);
  EXPECT_LT(text->Compare(L"apple", L"Banana", 1), 0);
  EXPECT_GT(text->Compare(L"apple", L"Banana", 0), 0);
  EXPECT_EQ(text->Compare(L"ABC", L"abc", 1), 0);

  EXPECT_EQ(vo::Localize(L"Next >"), L"Next >");
  VoString image = L"stale";
  EXPECT_FALSE(VoTools()->Skins()->FindImage(L"Background", image));
  EXPECT_TRUE(image.IsEmpty());
}

// Drives the real message boxes from a second thread: waits for the box of
// `title`, reads its buttons and presses one.
struct BoxDriver {
  std::vector<VoString> buttons;
  bool found = false;
  void Press(const wchar_t* title, int button) {
    HWND box = nullptr;
    for (int tries = 0; tries < 1000 && !box; ++tries) {
      box = FindWindowW(L"#32770", title);
      if (!box) Sleep(10);
    }
    if (!box) return;
    found = true;
    // The box is shown only after its buttons are made; on a busy machine
    // that takes a while.
    for (int tries = 0; tries < 500 && !IsWindowVisible(box); ++tries) Sleep(10);
    Sleep(50);  // let the renaming on activation happen
    for (int id : {IDOK, IDYES, IDNO}) {
      if (HWND item = GetDlgItem(box, id); item && IsWindowVisible(item)) {
        wchar_t name[64] = {};
        GetWindowTextW(item, name, 64);
        buttons.emplace_back(name);
      }
    }
    SendMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
  }
};

TEST_F(ToolsLoaderTest, RealMessageBoxes) {
  InstallAll();
  ASSERT_TRUE(vo::LoadToolsLibrary(GetModuleHandleW(nullptr)));
  IVoDialogService* dialogs = VoTools()->Dialogs();
  enum Kind { kInformation, kQuestion, kNamed };
  const struct {
    Kind kind;
    int press;
    std::vector<VoString> buttons;
    VoString answer;
  } cases[] = {
      {kInformation, IDOK, {L"&OK"}, VoString()},
      {kQuestion, IDYES, {L"&Yes", L"&No"}, VoString(L"yes")},
      {kQuestion, IDNO, {L"&Yes", L"&No"}, VoString(L"no")},
      {kNamed, IDYES, {L"Keep", L"Replace"}, VoString(L"Keep")},
      {kNamed, IDNO, {L"Keep", L"Replace"}, VoString(L"Replace")},
  };
  int n = 0;
  for (const auto& c : cases) {
    const VoString title = VoString(L"Box test ") + std::to_wstring(n++);
    SCOPED_TRACE(title.ToUtf8());
    BoxDriver driver;
    std::thread thread([&] { driver.Press(title.c_str(), c.press); });
    VoString answer;
    if (c.kind == kInformation) dialogs->ShowInformation(title.c_str(), L"Some information");
    else if (c.kind == kQuestion) answer = dialogs->AskQuestion(title.c_str(), L"A question?") ? L"yes" : L"no";
    else dialogs->AskWithButtons(title.c_str(), L"Which one?", L"Keep", L"Replace", answer);
    thread.join();
    ASSERT_TRUE(driver.found);
    // Wine and Windows differ in the mnemonic of the standard buttons.
    ASSERT_EQ(driver.buttons.size(), c.buttons.size());
    for (size_t i = 0; i < c.buttons.size(); ++i) {
      VoString shown = driver.buttons[i];
      VoString expected = c.buttons[i];
      std::erase(shown.Std(), L'&');
      std::erase(expected.Std(), L'&');
      EXPECT_EQ(shown, expected);
    }
    EXPECT_EQ(answer, c.answer);
  }
}

}  // namespace
