#pragma once
// A folder of its own for each test under the prefix's temporary folder,
// removed with everything in it at the end, plus small file helpers.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "foundation/vo_string.h"

class ScratchFolder : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    dir_ = VoString(temp) + VoString::FromUtf8(name).View() + L"\\";
    std::error_code ignored;
    std::filesystem::remove_all(dir_.c_str(), ignored);
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_.c_str(), ignored);
  }

  // `relative` inside the test's folder.
  VoString At(const wchar_t* relative) const { return dir_ + relative; }

  static void Write(const VoString& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path.ToUtf8();
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
  }
  // The file's bytes, or "<missing>".
  static std::string Read(const VoString& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
  }
  static void MakeFolder(const VoString& path) { ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << path.ToUtf8(); }

  // Holds a file open without sharing, as a running program would.
  class InUse {
   public:
    explicit InUse(const VoString& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~InUse() {
      if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

   private:
    HANDLE handle_;
  };

  VoString dir_;
};
