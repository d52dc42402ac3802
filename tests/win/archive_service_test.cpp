// The tools library's archive service unpacking into real folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "scratch_folder.h"
#include "support/zip_builder.h"
#include "toolslib/archive_service.h"
#include "tools/vo_module_entry_points.h"

namespace {

class ArchiveService : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    archive_ = At(L"content.zip");
    Write(archive_,
          ZipBuilder().Add("readme.txt", "read me", 0).Add("skin/img/logo.png", "PNG bytes").Folder("skin/empty/").Build());
  }
  static bool IsFolder(const VoString& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  VoArchiveService service_;
  VoString archive_;
};

TEST_F(ArchiveService, UnpacksWithAndWithoutTheArchivesFolders) {
  VoString failure;
  // The target folder and its missing parent are made; no trailing
  // backslash is needed.
  ASSERT_TRUE(service_.Unpack(archive_.c_str(), At(L"out\\kept").c_str(), true, failure)) << failure.ToUtf8();
  EXPECT_TRUE(failure.IsEmpty());
  EXPECT_EQ(Read(At(L"out\\kept\\readme.txt")), "read me");
  EXPECT_EQ(Read(At(L"out\\kept\\skin\\img\\logo.png")), "PNG bytes");
  EXPECT_TRUE(IsFolder(At(L"out\\kept\\skin\\empty")));

  ASSERT_TRUE(service_.Unpack(archive_.c_str(), At(L"flat\\").c_str(), false, failure)) << failure.ToUtf8();
  EXPECT_EQ(Read(At(L"flat\\readme.txt")), "read me");
  EXPECT_EQ(Read(At(L"flat\\logo.png")), "PNG bytes");
  EXPECT_FALSE(IsFolder(At(L"flat\\skin")));

  // Unpacking again replaces the files, read-only ones too.
  SetFileAttributesW(At(L"flat\\readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  Write(archive_, ZipBuilder().Add("readme.txt", "newer").Build());
  ASSERT_TRUE(service_.Unpack(archive_.c_str(), At(L"flat\\").c_str(), false, failure)) << failure.ToUtf8();
  EXPECT_EQ(Read(At(L"flat\\readme.txt")), "newer");
}

TEST_F(ArchiveService, RefusesAMaliciousArchiveWithNothingWritten) {
  const struct {
    const char* bad_name;
    const wchar_t* escaped_file;  // where the entry would have gone
  } cases[] = {
      {"../evil.txt", L"evil.txt"},
      {"ok\\..\\..\\evil2.txt", L"evil2.txt"},
      {"C:evil3.txt", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bad_name);
    Write(archive_, ZipBuilder().Add("first.txt", "1").Add("ok/second.txt", "2").Add(c.bad_name, "evil").Build());
    VoString failure;
    EXPECT_FALSE(service_.Unpack(archive_.c_str(), At(L"target\\").c_str(), true, failure));
    EXPECT_EQ(failure.ToUtf8(),
              std::string("The archive entry '") + c.bad_name + "' would be unpacked outside the target folder.");
    EXPECT_FALSE(IsFolder(At(L"target")));
    if (c.escaped_file) {
      EXPECT_EQ(Read(At(c.escaped_file)), "<missing>");
    }
  }
}

TEST_F(ArchiveService, FailuresNameTheirCause) {
  ZipBuilder::Entry bad_crc{"b.txt", "bbb", 8, 0, 0x1};
  Write(At(L"damaged.zip"), ZipBuilder().Add("a.txt", "aa").Add(bad_crc).Build());
  Write(At(L"text.zip"), "not an archive");
  const struct {
    VoString archive;
    const char* failure;
  } cases[] = {
      {At(L"damaged.zip"), "The archive entry 'b.txt' fails its checksum."},
      {At(L"text.zip"), "The file is not a zip archive."},
      {At(L"missing.zip"), "Opening the archive '"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failure);
    VoString failure;
    EXPECT_FALSE(service_.Unpack(c.archive.c_str(), At(L"out\\").c_str(), true, failure));
    EXPECT_TRUE(failure.ToUtf8().starts_with(c.failure)) << failure.ToUtf8();
  }
  // The damaged entry's partial file is gone; the good one before it stays.
  EXPECT_EQ(Read(At(L"out\\a.txt")), "aa");
  EXPECT_EQ(Read(At(L"out\\b.txt")), "<missing>");
}

// The tools module as built hands out the same service.
TEST_F(ArchiveService, TheToolsModuleOffersIt) {
  const VoString module_path = VoString::FromUtf8(VO_TOOLS_MODULE_DIR "/VoTools64.dll");
  HMODULE module = LoadLibraryW(module_path.c_str());
  ASSERT_NE(module, nullptr) << module_path.ToUtf8();
  auto get = reinterpret_cast<GetVoToolsDllFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "GetVoToolsDLL")));
  ASSERT_NE(get, nullptr);
  IVoArchive* archives = get(kVoToolsInterfaceVersion)->Archives();
  ASSERT_NE(archives, nullptr);
  VoString failure;
  EXPECT_TRUE(archives->Unpack(archive_.c_str(), At(L"module").c_str(), false, failure)) << failure.ToUtf8();
  EXPECT_EQ(Read(At(L"module\\logo.png")), "PNG bytes");
  FreeLibrary(module);
}

}  // namespace
