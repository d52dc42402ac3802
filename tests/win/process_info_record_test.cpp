// The process information record: its layout and first values, its paths,
// the main-thread test, and another process reading it.

#include "foundation/win/process_info_record.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <thread>
#include <vector>

#include "foundation/win/known_folders.h"
#include "foundation/win/run_program.h"
#include "support/fake_tools.h"

namespace {

TEST(ProcessInfoRecord, LayoutAndFirstValues) {
  static_assert(offsetof(ProcessInfoRecord, paths) == 4);
  static_assert(offsetof(ProcessInfoRecord, is_installer) == 4 + 5 * 261 * 2);
  static_assert(offsetof(ProcessInfoRecord, creating_thread_id) == 2616);
  EXPECT_EQ(vo::ProcessInfoRecordName(1234), L"Vortala Process v23 (1234)");

  const ProcessInfoRecord* record = vo::GetProcessInfoRecord();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->used, 1);
  EXPECT_EQ(VoString(record->paths[0]), vo::GetProgramFile());
  EXPECT_EQ(record->state, 0x80000001u);
  EXPECT_EQ(record->reserved_minus_one[0], -1);
  EXPECT_EQ(record->reserved_minus_one[1], -1);
  EXPECT_EQ(record->reserved_99, 99);
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kExecutable), vo::GetProgramFile());

  // The tests run on the thread that created it.
  EXPECT_TRUE(vo::IsMainThread());
  bool worker_is_main = true;
  std::thread([&] { worker_is_main = vo::IsMainThread(); }).join();
  EXPECT_FALSE(worker_is_main);
}

TEST(ProcessInfoRecord, CreatedOnceWhateverThreadAsks) {
  std::vector<const ProcessInfoRecord*> seen(8);
  std::vector<std::thread> threads;
  for (auto& slot : seen) threads.emplace_back([&slot] { slot = vo::GetProcessInfoRecord(); });
  for (auto& t : threads) t.join();
  for (const auto* record : seen) EXPECT_EQ(record, vo::GetProcessInfoRecord());
}

TEST(ProcessInfoRecord, PathsAreKeptAndTooLongOnesRefused) {
  const VoString before = vo::GetProcessPath(ProcessPath::kInstallFolder);
  EXPECT_TRUE(vo::SetProcessPath(ProcessPath::kInstallFolder, VoString(L"C:\\Target\\")));
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kInstallFolder), L"C:\\Target\\");
  EXPECT_TRUE(vo::SetProcessPath(ProcessPath::kInstallFolder, VoString(260, L'a')));
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kInstallFolder), VoString(260, L'a'));
  EXPECT_FALSE(vo::SetProcessPath(ProcessPath::kInstallFolder, VoString(261, L'b')));
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kInstallFolder), VoString(260, L'a'));
  vo::SetProcessPath(ProcessPath::kInstallFolder, before);
}

TEST(ProcessInfoRecord, AnotherProcessReadsWhatThisOnePublished) {
  FakeTools tools;
  const VoString paths[] = {VoString(L"C:\\Halvora\\"), VoString(L"C:\\Target\\"), VoString(L"C:\\Kelvane\\"),
                            VoString(L"C:\\Shared\\")};
  const ProcessPath which[] = {ProcessPath::kProgramFolder, ProcessPath::kInstallFolder, ProcessPath::kToolsFolder,
                               ProcessPath::kSharedDataFolder};
  VoString previous[4];
  for (int i = 0; i < 4; ++i) {
    previous[i] = vo::GetProcessPath(which[i]);
    ASSERT_TRUE(vo::SetProcessPath(which[i], paths[i]));
  }
  vo::SetInstallerProcess(true);
  vo::SetPortableInstallation(false);

  VoStringArray lines;
  int exit_code = 0;
  const bool ran = vo::RunProgram(vo::GetExecutableFolder() + L"read_process_record.exe",
                                  VoStringArray{VoString(std::to_wstring(GetCurrentProcessId()))}, false, true, false,
                                  &exit_code, 0, false, 0, nullptr, {}, &lines);
  for (int i = 0; i < 4; ++i) vo::SetProcessPath(which[i], previous[i]);
  vo::SetInstallerProcess(false);

  ASSERT_TRUE(ran) << exit_code;
  ASSERT_EQ(lines.GetCount(), 8u);
  EXPECT_TRUE(lines[0].EqualsNoCase(vo::GetProgramFile()));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(lines[i + 1], paths[i]);
  EXPECT_EQ(lines[5], L"1");
  EXPECT_EQ(lines[6], L"0");
  EXPECT_EQ(lines[7], VoString(std::to_wstring(GetCurrentThreadId())));

  ProcessInfoRecord copy;
  EXPECT_FALSE(vo::ReadProcessInfoRecord(0xFFFFFFF0u, copy));  // nobody published under that id
}

}  // namespace
