#include "foundation/number_text.h"
#include "foundation/property_map.h"
#include "foundation/resource_name.h"

#include <gtest/gtest.h>

namespace {

TEST(PropertyMap, TypedValuesAndDefaults) {
  VoPropertyMap map;
  EXPECT_FALSE(map.OwnsTable());
  EXPECT_EQ(map.GetInt(L"missing", 7), 7);
  EXPECT_EQ(map.GetString(L"missing", L"d"), L"d");
  EXPECT_DOUBLE_EQ(map.GetDouble(L"missing", 2.5), 2.5);

  map.SetString(L"Count", L"12abc");
  EXPECT_EQ(map.GetInt(L"count", 7), 12);
  map.SetString(L"Gain", L"1,5");
  EXPECT_DOUBLE_EQ(map.GetDouble(L"gain"), 1.5);
  map.SetDouble(L"Ratio", 0.25);
  EXPECT_EQ(map.GetString(L"Ratio"), vo::FormatDouble(0.25));
  map.SetInt(L"Neg", -3);
  EXPECT_EQ(map.GetString(L"Neg"), L"-3");
  int target = 0;
  map.SetPointer(L"Ptr", &target);
  EXPECT_EQ(map.GetPointer(L"ptr"), &target);
  map.SetString(L"Hex", L"0x1f");
  EXPECT_EQ(map.GetPointer(L"Hex"), reinterpret_cast<void*>(0x1F));
}

TEST(PropertyMap, KeysIgnoreCaseAndKeepTheirFirstSpelling) {
  VoPropertyMap map;
  map.SetString(L"Volume", L"1");
  map.SetString(L"VOLUME", L"2");
  EXPECT_EQ(map.GetCount(), 1u);
  EXPECT_EQ(map.GetString(L"volume"), L"2");
  EXPECT_EQ(map.Dump(L"[", L"]"), L"[Volume: 2]");

  map.SetString(L"volume", L"", true);
  EXPECT_FALSE(map.HasKey(L"Volume"));
  EXPECT_FALSE(map.OwnsTable());  // the last key took the table with it
  map.SetString(L"Empty", L"");
  EXPECT_TRUE(map.HasKey(L"empty"));
}

TEST(PropertyMap, CopyAndEquality) {
  VoPropertyMap a;
  a.SetString(L"x", L"1");
  a.SetString(L"y", L"Two");
  VoPropertyMap b(a);
  EXPECT_TRUE(a.Equals(b));
  b.SetString(L"Y", L"two");  // values compare exactly
  EXPECT_FALSE(a.Equals(b));
  b.CopyFrom(b);
  EXPECT_EQ(b.GetCount(), 2u);
  b.Remove(L"y");
  EXPECT_FALSE(a.Equals(b));
  b = a;
  EXPECT_TRUE(b.Equals(a));
  b.Clear();
  EXPECT_FALSE(b.OwnsTable());
}

TEST(PropertyMap, StringList) {
  VoPropertyMap map;
  map.SetString(L"a", L"1");
  map.SetString(L"b", L"");
  VoStringArray list;
  list.Add(VoString(L"before"));
  map.SaveToStringList(list, true);
  map.SaveToStringList(list, false);
  ASSERT_EQ(list.GetCount(), 7u);
  EXPECT_EQ(list[1], L"2");
  EXPECT_EQ(list[6], L"0");

  VoPropertyMap read;
  size_t position = 1;
  EXPECT_TRUE(read.LoadFromStringList(list, position));
  EXPECT_EQ(position, 6u);
  EXPECT_TRUE(read.Equals(map));
  EXPECT_TRUE(read.LoadFromStringList(list, position));
  EXPECT_EQ(read.GetCount(), 0u);

  VoStringArray cut;
  cut.Add(VoString(L"3"));
  cut.Add(VoString(L"k"));
  cut.Add(VoString(L"v"));
  EXPECT_FALSE(read.LoadFromStringList(cut));
  EXPECT_EQ(read.GetCount(), 0u);
}

TEST(PropertyXml, ExactTextLayout) {
  VoPropertyMap map;
  EXPECT_EQ(map.ToXmlText(L"XMLPH", true, 1), L"");
  EXPECT_EQ(map.ToXmlText(L"XMLPH", false, 1), L"<XMLPH version=\"1.0\">\r\n</XMLPH>");
  map.SetString(L"Gain", L"0.5");
  EXPECT_EQ(map.ToXmlText(L"XMLPH", true, 1),
            L"<XMLPH version=\"1.0\">\r\n<Item Name=\"Gain\">0.5</Item>\r\n</XMLPH>");
  map.Clear();
  map.SetString(L"Off", L"");
  EXPECT_EQ(map.ToXmlText(L"XMLPH", true, 2), L"<XMLPH version=\"2.0\">\r\n<Item Name=\"Off\"/>\r\n</XMLPH>");
}

TEST(PropertyXml, RoundTripInDeterministicOrder) {
  VoPropertyMap map;
  const wchar_t* keys[] = {L"Gain", L"Mode", L"Path", L"Name \"quoted\"", L"a<b", L"Z", L"q", L"r", L"s", L"t",
                           L"u", L"v", L"w", L"x", L"y", L"z1", L"z2", L"z3", L"z4", L"z5"};
  for (const wchar_t* k : keys) map.SetString(k, VoString(k) + L" & <value> 'x'");
  const VoString text = map.ToXmlText(L"XMLPH", true, 1);

  VoPropertyMap read;
  ASSERT_TRUE(read.FromXmlText(text.View(), L"XMLPH", 1));
  EXPECT_TRUE(read.Equals(map));
  EXPECT_EQ(read.ToXmlText(L"XMLPH", true, 1), text);  // the same order both times
  EXPECT_EQ(read.Dump(L"", L"\n"), map.Dump(L"", L"\n"));
}

TEST(PropertyXml, RejectsWrongRootVersionOrBrokenText) {
  struct Case { const wchar_t* text; bool ok; size_t count; } cases[] = {
      {L"", true, 0},
      {L"<XMLPH version=\"1.0\"><Item Name=\"a\">1</Item><Other>x</Other><Item>2</Item></XMLPH>", true, 2},
      {L"<XMLPH version=\"1,0\"><Item Name=\"a\">1</Item></XMLPH>", true, 1},
      {L"<XMLPH version=\"2.0\"><Item Name=\"a\">1</Item></XMLPH>", false, 0},
      {L"<Other version=\"1.0\"><Item Name=\"a\">1</Item></Other>", false, 0},
      {L"<XMLPH><Item Name=\"a\">1</Item></XMLPH>", false, 0},
      {L"<XMLPH version=\"1.0\"><Item Name=\"a\">1</Item>", false, 0},
  };
  for (const auto& c : cases) {
    VoPropertyMap map;
    map.SetString(L"stale", L"x");
    EXPECT_EQ(map.FromXmlText(c.text, L"XMLPH", 1), c.ok) << c.text;
    EXPECT_EQ(map.GetCount(), c.count) << c.text;
    EXPECT_FALSE(map.HasKey(L"stale"));
  }
  VoPropertyMap map;
  ASSERT_TRUE(map.FromXmlText(L"<XMLPH version=\"1.0\"><Item>nameless</Item></XMLPH>", L"XMLPH", 1));
  EXPECT_EQ(map.GetString(L""), L"nameless");
  EXPECT_TRUE(vo::IsPropertyXmlText(L"<xmlph VERSION=\"1.0\">"));
  EXPECT_FALSE(vo::IsPropertyXmlText(L"C:\\<XMLPH version="));
}

TEST(ResourceName, PathForms) {
  struct Case { const wchar_t* text; const wchar_t* path; const wchar_t* post; } cases[] = {
      {L"C:\\Music\\song.mp3;part2", L"C:\\Music\\song.mp3", L"part2"},
      {L"C:\\Music\\song.mp3", L"C:\\Music\\song.mp3", nullptr},
      {L"C:\\Music\\song.flac1;x", L"C:\\Music\\song.flac1", L"x"},
      {L"C:\\Music\\song.flac12;x", L"C:\\Music\\song.flac12;x", nullptr},  // six characters
      {L"C:\\Music\\song.;x", L"C:\\Music\\song.;x", nullptr},
      {L"C:\\a;b\\song", L"C:\\a;b\\song", nullptr},
      {L"C:\\a.b;c\\", L"C:\\a.b;c\\", nullptr},  // a folder
      {L"http://host/a.mp3;x", L"http://host/a.mp3;x", nullptr},
      {L"", L"", nullptr},
  };
  for (const auto& c : cases) {
    const ResourceName name(c.text);
    EXPECT_EQ(name.GetPath(), c.path) << c.text;
    EXPECT_EQ(name.Properties().HasKey(L"PostExtensionData"), c.post != nullptr) << c.text;
    if (c.post) {
      EXPECT_EQ(name.Properties().GetString(L"PostExtensionData"), c.post);
    }
    EXPECT_EQ(ResourceName(name.ToText().View()).GetPath(), name.GetPath()) << c.text;
  }
}

TEST(ResourceName, SerializedForm) {
  ResourceName name;
  name.SetPath(L"C:\\a & b.mp3");
  name.Properties().SetString(L"Referer", L"http://x/?a=1&b=2");
  name.Properties().SetInt(L"Timeout", 30);
  const VoString text = name.ToText();
  EXPECT_TRUE(text.StartsWithNoCase(L"<XMLFN version=\"1.0\">\r\n<Item Name=\"Filename\">C:\\a &amp; b.mp3</Item>\r\n"));
  const ResourceName read(text.View());
  EXPECT_EQ(read.GetPath(), L"C:\\a & b.mp3");
  EXPECT_TRUE(read.Properties().Equals(name.Properties()));

  struct Case { const wchar_t* text; const wchar_t* path; size_t properties; } cases[] = {
      {L"<xmlfn version=\"1.0\"><Item Name=\"FILENAME\">p</Item><Item Name=\"k\">v</Item></xmlfn>", L"p", 1},
      {L"<XMLFN version=\"1.00\"><Item Name=\"Filename\">p</Item></XMLFN>", L"", 0},
      {L"<XMLFN version=\"1.0\"><Item Name=\"Filename\">p</Item>", L"", 0},
      {L"<XMLFN version=\"1.0\"/>", L"", 0},
  };
  for (const auto& c : cases) {
    const ResourceName r(c.text);
    EXPECT_EQ(r.GetPath(), c.path) << c.text;
    EXPECT_EQ(r.Properties().GetCount(), c.properties) << c.text;
  }
}

}  // namespace
