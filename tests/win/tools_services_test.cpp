// The tools library's services one by one, linked in directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "scratch_folder.h"
#include "toolslib/log_file.h"
#include "toolslib/thread_registry.h"

namespace {

TEST(ToolsThreadRegistry, KnowsThreadsByTheirObjects) {
  VoThreadList registry;
  int a = 0, b = 0, c = 0;
  const struct {
    bool enter;
    const void* thread;
    const wchar_t* name;
    std::vector<VoString> names;
  } steps[] = {
      {true, &a, L"Copier", {L"Copier"}},
      {true, &b, L"Download", {L"Copier", L"Download"}},
      // Restarted without leaving: one entry, named anew.
      {true, &a, L"Copier 2", {L"Copier 2", L"Download"}},
      {true, nullptr, L"Nobody", {L"Copier 2", L"Download"}},
      {false, &c, nullptr, {L"Copier 2", L"Download"}},
      {false, &a, nullptr, {L"Download"}},
      {true, &c, nullptr, {L"Download", L""}},
      {false, &b, nullptr, {L""}},
      {false, &c, nullptr, {}},
  };
  int n = 0;
  for (const auto& s : steps) {
    SCOPED_TRACE(n++);
    if (s.enter) registry.Register(s.thread, s.name);
    else registry.Unregister(s.thread, 0);
    EXPECT_EQ(registry.Names(), s.names);
  }
}

class ToolsLogFile : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    wchar_t previous[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(L"TMP", previous, MAX_PATH + 1);
    previous_tmp_ = length && length <= MAX_PATH ? VoString(previous) : VoString();
    SetEnvironmentVariableW(L"TMP", dir_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"TMP", previous_tmp_.IsEmpty() ? nullptr : previous_tmp_.c_str());
    ScratchFolder::TearDown();
  }
  VoString previous_tmp_;
};

TEST_F(ToolsLogFile, LinesFromManyThreadsStayWhole) {
  VoString path;
  {
    VoLogFile log;
    EXPECT_FALSE(log.GetLogFilePath(path));  // no file before the first line
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
      writers.emplace_back([&log, t] {
        for (int i = 0; i < 200; ++i) {
          log.Write(t, L"Worker", (VoString(L"line ") + std::to_wstring(i) + L" of writer").c_str());
        }
      });
    }
    for (auto& writer : writers) writer.join();
    ASSERT_TRUE(log.GetLogFilePath(path));
    // Closed and written again: the same file goes on.
    log.Close();
    log.Write(9, nullptr, nullptr);
  }
  const std::string text = Read(path);
  ASSERT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);
  size_t lines = 0, start = 3;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2, ++lines) {
    const std::string line = text.substr(start, end - start);
    const bool worker = line.find("] Worker: line ") == 26 && line.ends_with(" of writer");
    const bool last = line.substr(24) == "[9] : ";
    EXPECT_TRUE(worker || last) << line;
  }
  EXPECT_EQ(start, text.size());  // nothing after the last line end
  EXPECT_EQ(lines, 4u * 200u + 1u);
  EXPECT_EQ(text.find("\xEF\xBB\xBF", 3), std::string::npos);  // one mark, at the start
}

}  // namespace
