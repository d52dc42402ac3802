// The naming rules of the association entries.

#include "assoc/progid_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgIdRules, ProgIdsBackupNamesAndOwnership) {
  EXPECT_EQ(vo::ProgIdStem(L"Halvora 23"), L"Halvora23");
  struct Case {
    const wchar_t* extension;
    const wchar_t* progid;
  };
  const Case cases[] = {
      {L".mpl", L"Halvora23.Playlist"}, {L".WSZ", L"Halvora23.Pack"},     {L".xml", L"Halvora23.Subscribe"},
      {L".rss", L"Halvora23.Subscribe"}, {L".podcast", L"Halvora23.Subscribe"}, {L".kva", L"Halvora23.Mime"},
      {L".KVA", L"Halvora23.Mime"},     {L".mp3", L"Halvora23.File"},     {L".xmlx", L"Halvora23.File"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vo::ProgIdForExtension(L"Halvora23", c.extension, L".kva"), c.progid) << VoString(c.extension).ToUtf8();
  }

  EXPECT_EQ(vo::BackupValueName(L"Halvora23", L""), L"Halvora23.Default.BAK");
  EXPECT_EQ(vo::BackupValueName(L"Halvora23", L"Content Type"), L"Halvora23.ContentType.BAK");
  EXPECT_EQ(vo::BackupValueName(L"Halvora23", L" Progid "), L"Halvora23.Progid.BAK");

  EXPECT_TRUE(vo::IsOwnProgId(L"Halvora23", L"halvora23.File"));
  EXPECT_TRUE(vo::IsOwnProgId(L"Halvora23", L"Halvora23.Mime"));
  EXPECT_FALSE(vo::IsOwnProgId(L"Halvora23", L"Halvora22.File"));
  EXPECT_FALSE(vo::IsOwnProgId(L"Halvora23", L"Halvora23"));
  EXPECT_FALSE(vo::IsOwnProgId(L"Halvora23", L"Other.Halvora23.File"));
  EXPECT_FALSE(vo::IsOwnProgId(L"", L".File"));
}

TEST(ProgIdRules, ExtensionsProtocolsAndMimeLists) {
  EXPECT_EQ(vo::DottedExtension(L"mp3"), L".mp3");
  EXPECT_EQ(vo::DottedExtension(L".mp3"), L".mp3");
  EXPECT_EQ(vo::ProtocolName(L"halvora://"), L"halvora");
  EXPECT_EQ(vo::ProtocolName(L"mms"), L"mms");

  EXPECT_EQ(vo::SplitMimeTypes(L"audio/mpeg; audio/x-mp3;;audio/mpeg", false),
            (VoStringArray{L"audio/mpeg", L"audio/x-mp3"}));
  EXPECT_EQ(vo::SplitMimeTypes(L"audio/mpeg;audio/x-mp3;video/mp4;nonsense", true),
            (VoStringArray{L"audio/*", L"video/*"}));
}

TEST(ProgIdRules, SelectionEntriesNameTheirExtensions) {
  struct Case {
    const wchar_t* entry;
    VoStringArray extensions;
  };
  const Case cases[] = {
      {L"mp3", {L"mp3"}},
      {L" .MP3 ", {L"mp3"}},
      {L"MPEG Layer-3 Audio (mp3)", {L"mp3"}},
      {L"JPEG Image (jpg, jpeg; *.jpe)", {L"jpg", L"jpeg", L"jpe"}},
      {L"Monkey's Audio (Lossless) (ape)", {L"ape"}},
      {L"()", {}},
      {L"", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vo::SelectionEntryExtensions(c.entry), c.extensions) << VoString(c.entry).ToUtf8();
  }
}

}  // namespace
