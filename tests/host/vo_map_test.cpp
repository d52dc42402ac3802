#include "foundation/vo_map.h"
#include "foundation/vo_string_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The key hash written out from its definition, for ASCII keys: lower-cased
// units, hash * 65599 + unit, wrapping at 32 bits.
uint32_t ExpectedHash(const std::wstring& key) {
  uint32_t hash = 0;
  for (wchar_t c : key) {
    const uint32_t unit = (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : static_cast<uint32_t>(c);
    hash = hash * 65599u + unit;
  }
  return hash;
}

// The order the map must iterate in: by bucket, then by insertion.
std::vector<std::wstring> ExpectedOrder(const std::vector<std::wstring>& inserted, size_t buckets) {
  std::vector<std::wstring> order = inserted;
  std::stable_sort(order.begin(), order.end(), [&](const std::wstring& a, const std::wstring& b) {
    return ExpectedHash(a) % buckets < ExpectedHash(b) % buckets;
  });
  return order;
}

template <typename V>
std::vector<std::wstring> Keys(const VoStringMap<V>& map) {
  std::vector<std::wstring> keys;
  for (const auto& entry : map) keys.push_back(entry.Key().Std());
  return keys;
}

std::wstring KeyNumber(int i) { return L"Key" + std::to_wstring(i); }

TEST(VoStringMap, HashFollowsTheDefinition) {
  struct Case { const wchar_t* key; uint32_t hash; } cases[] = {
      {L"", 0u},
      {L"a", 97u},
      {L"ab", 97u * 65599u + 98u},
      {L"AB", 97u * 65599u + 98u},
      {L"\uFFFF", 0xFFFFu},                           // a unit is a 16-bit value
      {L"InstallFolder", ExpectedHash(L"installfolder")},  // wraps at 32 bits
  };
  for (const auto& c : cases) EXPECT_EQ(VoStringNoCaseTraits::Hash(c.key), c.hash) << VoString(c.key).ToUtf8();
}

using IntMap = VoMap<int, int>;

TEST(VoMap, BucketCountGrowsAtTheStatedCounts) {
  // Rebuilt when the count would exceed 2 * buckets + 2, to the smallest
  // power of two from 8 above the new count, minus one.
  struct Step { int count; size_t buckets; } steps[] = {
      {1, 7}, {16, 7}, {17, 31}, {64, 31}, {65, 127}, {256, 127}, {257, 511},
  };
  VoMap<int, int> map;
  int added = 0;
  for (const auto& step : steps) {
    while (added < step.count) map.Set(added, added), ++added;
    EXPECT_EQ(map.GetBucketCount(), step.buckets) << step.count << " entries";
  }
  EXPECT_EQ(IntMap::BucketCountFor(7), 7u);
  EXPECT_EQ(IntMap::BucketCountFor(8), 15u);
  EXPECT_EQ(IntMap::BucketCountFor(17), 31u);

  VoMap<int, int> full;
  for (int i = 0; i < 16; ++i) full.Set(i, i);
  full.Set(3, 30);  // replacing does not add, so no rebuild
  EXPECT_EQ(full.GetBucketCount(), 7u);
}

TEST(VoStringMap, IteratesByBucketThenInsertionAcrossRebuilds) {
  VoStringMap<int> map;
  std::vector<std::wstring> inserted;
  for (int i = 0; i < 300; ++i) {
    // Mixed case and reversed numbering so chains hold several keys.
    const std::wstring key = (i % 2 ? L"key" : L"KEY") + std::to_wstring(299 - i);
    map.Set(key, i);
    inserted.push_back(key);
    ASSERT_EQ(Keys(map), ExpectedOrder(inserted, map.GetBucketCount())) << i + 1 << " entries";
  }
}

TEST(VoStringMap, ReplacingKeepsPlaceAndFirstSpelling) {
  VoStringMap<VoString> map;
  std::vector<std::wstring> inserted;
  for (int i = 0; i < 20; ++i) {
    map.Set(KeyNumber(i), L"v");
    inserted.push_back(KeyNumber(i));
  }
  EXPECT_FALSE(map.Set(L"KEY3", L"new"));
  EXPECT_EQ(map.GetCount(), 20u);
  EXPECT_EQ(Keys(map), ExpectedOrder(inserted, map.GetBucketCount()));
  EXPECT_EQ(*map.Lookup(L"key3"), L"new");
  EXPECT_EQ(*map.FindKey(L"kEy3"), L"Key3");

  VoString value;
  EXPECT_TRUE(map.Lookup(L"KEY19", value));
  EXPECT_EQ(value, L"v");
  EXPECT_FALSE(map.Lookup(L"Key20", value));
  EXPECT_EQ(map.Lookup(L"Key20"), nullptr);
  EXPECT_FALSE(map.Has(L"Key"));
}

TEST(VoStringMap, RemoveKeepsTheOthersInOrder) {
  VoStringMap<int> map;
  std::vector<std::wstring> inserted;
  for (int i = 0; i < 40; ++i) {
    map.Set(KeyNumber(i), i);
    inserted.push_back(KeyNumber(i));
  }
  for (int i = 0; i < 40; i += 3) {
    EXPECT_TRUE(map.Remove(L"KEY" + std::to_wstring(i)));
    inserted.erase(std::find(inserted.begin(), inserted.end(), KeyNumber(i)));
  }
  EXPECT_FALSE(map.Remove(L"Key0"));
  EXPECT_EQ(map.GetCount(), inserted.size());
  // A key added again goes to the end of its chain.
  map.Set(KeyNumber(0), 0);
  inserted.push_back(KeyNumber(0));
  EXPECT_EQ(Keys(map), ExpectedOrder(inserted, map.GetBucketCount()));
  // Removing never shrinks, and later growth still keeps the order.
  for (int i = 100; i < 200; ++i) {
    map.Set(KeyNumber(i), i);
    inserted.push_back(KeyNumber(i));
  }
  EXPECT_EQ(map.GetBucketCount(), 127u);
  EXPECT_EQ(Keys(map), ExpectedOrder(inserted, 127));
}

TEST(VoStringMap, CopyMoveAndClear) {
  VoStringMap<int> map;
  for (int i = 0; i < 30; ++i) map.Set(KeyNumber(i), i);
  for (int i = 0; i < 30; i += 2) map.Remove(KeyNumber(i));

  VoStringMap<int> copy = map;  // same buckets and order, not a refill
  EXPECT_EQ(copy.GetBucketCount(), map.GetBucketCount());
  EXPECT_EQ(Keys(copy), Keys(map));
  copy.Set(L"key1", 100);
  EXPECT_EQ(*map.Lookup(L"Key1"), 1);

  VoStringMap<int> moved = std::move(copy);
  EXPECT_EQ(*moved.Lookup(L"Key1"), 100);
  EXPECT_EQ(copy.GetCount(), 0u);  // NOLINT(bugprone-use-after-move): a moved-from map is empty
  copy = moved;
  EXPECT_EQ(Keys(copy), Keys(moved));

  int sum = 0;
  moved.ForEach([&](const VoString&, int& value) { sum += value; });
  EXPECT_EQ(sum, 1 + 3 + 5 + 7 + 9 + 11 + 13 + 15 + 17 + 19 + 21 + 23 + 25 + 27 + 29 + 99);

  map.Clear();
  EXPECT_EQ(map.GetCount(), 0u);
  EXPECT_EQ(map.GetBucketCount(), 7u);
  EXPECT_EQ(map.begin(), map.end());
}

TEST(VoStringUniqueList, SetOfTextsInMapOrder) {
  VoStringUniqueList list;
  VoStringMap<int> map;
  for (int i = 0; i < 25; ++i) {
    EXPECT_TRUE(list.Add(KeyNumber(i)));
    map.Set(KeyNumber(i), i);
  }
  EXPECT_FALSE(list.Add(L"KEY7"));
  EXPECT_TRUE(list.Has(L"key24"));
  EXPECT_TRUE(list.Remove(L"kEY24"));
  EXPECT_FALSE(list.Has(L"Key24"));
  map.Remove(L"Key24");
  EXPECT_EQ(list.GetCount(), 24u);

  std::vector<std::wstring> listed;
  for (const VoString& text : list) listed.push_back(text.Std());
  EXPECT_EQ(listed, Keys(map));
}

TEST(VoStringCRCUniqueList, PairsCompareExactly) {
  VoStringCRCUniqueList list;
  EXPECT_TRUE(list.Add(1, 2));
  EXPECT_TRUE(list.Add(2, 1));
  EXPECT_FALSE(list.Add(1, 2));
  EXPECT_TRUE(list.Add(0xFFFFFFFFu, 0));
  EXPECT_TRUE(list.Has(2, 1));
  EXPECT_FALSE(list.Has(1, 1));
  EXPECT_TRUE(list.Remove(1, 2));
  EXPECT_FALSE(list.Has(1, 2));
  EXPECT_EQ(list.GetCount(), 2u);
  for (uint32_t i = 0; i < 1000; ++i) list.Add(i, i * 7);
  EXPECT_EQ(list.GetCount(), 1002u);
  EXPECT_TRUE(list.Has(999, 6993));
}

}  // namespace
