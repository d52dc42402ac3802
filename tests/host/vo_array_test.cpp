#include "foundation/vo_array.h"
#include "foundation/vo_string_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Items(const VoNumberArray& a) { return std::vector<int>(a.begin(), a.end()); }

VoNumberArray ZeroToNine() {
  VoNumberArray a;
  for (int i = 0; i < 10; ++i) a.Add(i);
  return a;
}

TEST(VoArray, RemovingShiftsTheRestDown) {
  struct Case { size_t index, count, removed; std::vector<int> rest; } cases[] = {
      {2, 3, 3, {0, 1, 5, 6, 7, 8, 9}},
      {0, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {8, 5, 2, {0, 1, 2, 3, 4, 5, 6, 7}},   // clipped at the end
      {10, 1, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {3, 0, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
  };
  for (const auto& c : cases) {
    VoNumberArray a = ZeroToNine();
    EXPECT_EQ(a.RemoveRange(c.index, c.count), c.removed) << c.index << "+" << c.count;
    EXPECT_EQ(Items(a), c.rest) << c.index << "+" << c.count;
  }
}

TEST(VoArray, InsertFindAndClear) {
  VoNumberArray a{1, 2, 3};
  a.InsertAt(0, 0);
  a.InsertAt(2, 9);
  a.InsertAt(100, 7);  // past the end appends
  EXPECT_EQ(Items(a), (std::vector<int>{0, 1, 9, 2, 3, 7}));
  EXPECT_TRUE(a.RemoveAt(2));
  EXPECT_FALSE(a.RemoveAt(5));
  EXPECT_EQ(a.Find(3), 3u);
  EXPECT_EQ(a.Find(1, 2), VoNumberArray::npos);
  a.Add(1);
  EXPECT_EQ(a.Find(1, 2), 5u);
  a.Clear();
  EXPECT_TRUE(a.IsEmpty());

  int x = 0, y = 0;
  VoPointerArray pointers;
  pointers.Add(&x);
  pointers.Add(&y);
  EXPECT_EQ(pointers.Find(&y), 1u);
}

struct Tracked {
  explicit Tracked(int& deleted, int id) : deleted_(deleted), id_(id) {}
  ~Tracked() { ++deleted_; }
  int& deleted_;
  int id_;
};

TEST(VoOwnedPtrArray, DeletesWhatItOwnsExactlyOnce) {
  int deleted = 0;
  {
    VoOwnedPtrArray<Tracked> a;
    for (int i = 0; i < 6; ++i) a.Add(new Tracked(deleted, i));
    EXPECT_TRUE(a.RemoveAt(0));
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(a.RemoveRange(1, 2), 2u);
    EXPECT_EQ(deleted, 3);
    std::vector<int> ids;
    for (Tracked* t : a) ids.push_back(t->id_);
    EXPECT_EQ(ids, (std::vector<int>{1, 4, 5}));

    std::unique_ptr<Tracked> kept = a.Detach(0);
    EXPECT_EQ(kept->id_, 1);
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(a.Find(a[1]), 1u);

    VoOwnedPtrArray<Tracked> moved = std::move(a);
    EXPECT_EQ(moved.GetCount(), 2u);
    moved.Clear();
    EXPECT_EQ(deleted, 5);
    moved.Add(std::make_unique<Tracked>(deleted, 9));
  }
  EXPECT_EQ(deleted, 7);  // the detached one and the last one at scope end
}

TEST(VoStringArray, FindJoinSplit) {
  VoStringArray a{L"Alpha", L"beta", L"alpha"};
  EXPECT_EQ(a.Find(L"alpha"), 2u);
  EXPECT_EQ(a.FindNoCase(L"ALPHA"), 0u);
  EXPECT_EQ(a.FindNoCase(L"ALPHA", 1), 2u);
  EXPECT_EQ(a.Find(L"gamma"), VoStringArray::npos);
  EXPECT_EQ(a.Join(L", "), L"Alpha, beta, alpha");
  EXPECT_EQ(VoStringArray().Join(L","), L"");

  struct Case { const wchar_t* text; const wchar_t* separator; std::vector<VoString> parts; } cases[] = {
      {L"a,b,c", L",", {L"a", L"b", L"c"}},
      {L"a,,b,", L",", {L"a", L"", L"b", L""}},
      {L"a\r\nb", L"\r\n", {L"a", L"b"}},
      {L"abc", L",", {L"abc"}},
      {L"abc", L"", {L"abc"}},
      {L"", L",", {}},
  };
  for (const auto& c : cases) {
    const VoStringArray parts = VoStringArray::Split(c.text, c.separator);
    EXPECT_EQ(std::vector<VoString>(parts.begin(), parts.end()), c.parts) << VoString(c.text).ToUtf8();
    if (*c.separator) {
      EXPECT_EQ(parts.Join(c.separator), c.text);
    }
  }
}

TEST(VoStringArray, SortsWithTheSortComparison) {
  VoStringArray exact{L"b", L"C", L"a", L"B"};
  VoStringArray folded = exact;
  exact.Sort();
  EXPECT_EQ(exact.Join(L" "), L"B C a b");
  folded.Sort(vo::kSortIgnoreCase);
  EXPECT_EQ(folded[0], L"a");
  EXPECT_EQ(folded[3], L"C");
  EXPECT_TRUE(folded[1].EqualsNoCase(L"b") && folded[2].EqualsNoCase(L"b"));
}

}  // namespace
