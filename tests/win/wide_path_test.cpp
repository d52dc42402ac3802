// Files whose names are not in the ANSI code page must still load: the
// reader opens them by their UTF-16 name.

#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/xml_document.h"

namespace {

TEST(WindowsFiles, XmlLoadsFromANonAnsiPath) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const VoString folder = VoString(temp) + L"Halvora \u00C5\u0416\u4E2D\\";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const VoString path = folder + L"Install \u00E9.xml";

  const char bytes[] = "<VoIC version=\"1.0\"><Settings><Dir>\xE2\x82\xAC</Dir></Settings></VoIC>";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, bytes, sizeof bytes - 1, &written, nullptr));
  CloseHandle(file);

  XmlDocument doc;
  EXPECT_TRUE(doc.LoadFile(path));
  EXPECT_TRUE(doc.FindElement(L"/VoIC/Settings"));
  EXPECT_EQ(doc.GetChildText(L"Dir"), L"\u20AC");

  EXPECT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

}  // namespace
