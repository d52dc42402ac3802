#include "foundation/contained_path.h"

#include <gtest/gtest.h>

namespace {

TEST(ContainedPath, SplitsPathsThatStayInsideAndRefusesTheRest) {
  const struct {
    const wchar_t* path;
    const wchar_t* names;  // joined by "|"; null: refused
  } cases[] = {
      {L"a.txt", L"a.txt"},
      {L"Skins/Panorel\\main.xml", L"Skins|Panorel|main.xml"},
      {L"a//b/./c/", L"a|b|c"},
      {L"dir/", L"dir"},
      {L"file.", L"file."},
      {L"..name", L"..name"},
      {L"console/x", L"console|x"},
      {L"con.d/x", nullptr},
      {L"COM0.txt", L"COM0.txt"},
      {L"", nullptr},
      {L"./", nullptr},
      {L"/abs", nullptr},
      {L"\\abs", nullptr},
      {L"\\\\server\\share\\x", nullptr},
      {L"C:x", nullptr},
      {L"C:\\x", nullptr},
      {L"a:stream", nullptr},
      {L"..", nullptr},
      {L"../x", nullptr},
      {L"a/../b", nullptr},
      {L"a\\..\\..\\b", nullptr},
      {L"a/.. /b", nullptr},
      {L"a/.../b", nullptr},
      {L"a/ /b", nullptr},
      {L"NUL", nullptr},
      {L"sub/aux.txt", nullptr},
      {L"lpt9", nullptr},
      {L"CONIN$", nullptr},
      {L"a/b*.txt", nullptr},
      {L"a\tb", nullptr},
      {L"a|b", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.path).ToUtf8());
    VoStringArray names{L"stale"};
    const bool inside = vo::SplitContainedPath(c.path, names);
    EXPECT_EQ(inside, c.names != nullptr);
    EXPECT_EQ(vo::StaysInsideFolder(c.path), inside);
    EXPECT_EQ(names.Join(L"|"), c.names ? c.names : L"");
  }
}

}  // namespace
