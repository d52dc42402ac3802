#include <gtest/gtest.h>

#include <map>
#include <string>

#include "foundation/win/file_finder.h"
#include "win/scratch_folder.h"

namespace {

using FileFinder = ScratchFolder;

// Path -> size of every entry the finder yields.
std::map<VoString, int64_t> Listing(const VoString& pattern) {
  std::map<VoString, int64_t> found;
  VoFileFinder finder;
  if (!finder.Open(pattern)) return found;
  while (finder.Next()) {
    EXPECT_EQ(finder.IsFolder(), finder.Path().EndsWith(L'\\')) << finder.Path().ToUtf8();
    found[finder.Path()] = finder.IsFolder() ? -1 : finder.Size();
  }
  return found;
}

TEST_F(FileFinder, ListsFoldersAndPatterns) {
  Write(At(L"a.txt"), "abc");
  Write(At(L"b.dat"), "");
  MakeFolder(At(L"sub"));
  Write(At(L"sub\\c.txt"), "12345");
  MakeFolder(At(L"empty"));

  struct Case {
    VoString pattern;
    std::map<VoString, int64_t> expected;
  } cases[] = {
      {dir_, {{At(L"a.txt"), 3}, {At(L"b.dat"), 0}, {At(L"sub\\"), -1}, {At(L"empty\\"), -1}}},
      {At(L"*.txt"), {{At(L"a.txt"), 3}}},
      {At(L"sub\\*.txt"), {{At(L"sub\\c.txt"), 5}}},
      {At(L"sub"), {{At(L"sub\\"), -1}}},
      {At(L"empty\\"), {}},
      {At(L"missing\\"), {}},
      {At(L"*.none"), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Listing(c.pattern), c.expected) << c.pattern.ToUtf8();
}

TEST_F(FileFinder, OpenTellsWhetherTheFolderCanBeRead) {
  VoFileFinder finder;
  EXPECT_TRUE(finder.Open(dir_));  // an empty folder still lists "." and ".."
  EXPECT_FALSE(finder.Next());
  EXPECT_FALSE(finder.Next());
  EXPECT_FALSE(finder.Open(At(L"missing\\")));
  EXPECT_FALSE(finder.Next());
}

}  // namespace
