#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation/text_file.h"

namespace {

using std::string_literals::operator""s;

class TextFile : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() / (std::string("vo_text_file_") + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  VoString PathOf(const wchar_t* name) const { return VoString((dir_ / name).wstring()); }

  std::filesystem::path dir_;
};

TEST_F(TextFile, WritesAndReadsEachMode) {
  struct Case {
    int write_mode;
    std::wstring text;
    std::string bytes;
    int read_mode;
  } cases[] = {
      {vo::kTextUtf8, L"a\u20AC", "a\xE2\x82\xAC", vo::kTextDetect},
      {vo::kTextUtf8, L"a\u20AC", "a\xE2\x82\xAC", vo::kTextUtf8},
      {vo::kTextUtf16, L"\u4E2D\u6587", "\xFF\xFE\x2D\x4E\x87\x65", vo::kTextDetect},
      {vo::kTextAnsi, L"plain", "plain", vo::kTextAnsi},
      {vo::kTextUtf8, L"", "", vo::kTextDetect},
  };
  const VoString path = PathOf(L"written.txt");
  for (const Case& c : cases) {
    ASSERT_TRUE(vo::WriteTextFile(path, c.text, c.write_mode)) << c.write_mode;
    std::string bytes;
    ASSERT_TRUE(vo::ReadFileBytes(path, bytes));
    EXPECT_EQ(bytes, c.bytes);
    VoString text;
    ASSERT_TRUE(vo::ReadTextFile(path, c.read_mode, text));
    EXPECT_EQ(text, VoString(c.text));
  }
}

TEST_F(TextFile, ReadingKeepsOrDropsTheMark) {
  const VoString path = PathOf(L"marked.txt");
  {
    std::FILE* f = std::fopen((dir_ / "marked.txt").string().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("\xEF\xBB\xBFx", f);
    std::fclose(f);
  }
  const std::pair<int, const wchar_t*> cases[] = {
      {vo::kTextUtf8, L"\uFEFFx"}, {vo::kTextUtf8NoMark, L"x"}, {vo::kTextDetect, L"x"}};
  for (const auto& [mode, expected] : cases) {
    VoString text;
    ASSERT_TRUE(vo::ReadTextFile(path, mode, text));
    EXPECT_EQ(text, expected) << mode;
  }
}

TEST_F(TextFile, EmptyNameMissingFileAndUnknownModes) {
  VoString text = L"old";
  EXPECT_TRUE(vo::ReadTextFile(L"", vo::kTextDetect, text));
  EXPECT_EQ(text, L"");

  text = L"old";
  EXPECT_FALSE(vo::ReadTextFile(PathOf(L"missing.txt"), vo::kTextDetect, text));
  EXPECT_FALSE(vo::ReadTextFile(L"http://localhost/x.txt", vo::kTextDetect, text));
  EXPECT_EQ(text, L"old");

  EXPECT_FALSE(vo::WriteTextFile(PathOf(L"never.txt"), L"x", 5));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "never.txt"));
  EXPECT_FALSE(vo::WriteTextFile(PathOf(L"no such folder/x.txt"), L"x", vo::kTextUtf8));
}

}  // namespace
