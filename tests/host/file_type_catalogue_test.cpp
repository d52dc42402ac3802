#include "assoc/file_type_catalogue.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/vo_string_array.h"
#include "foundation/xml_document.h"

namespace {

using vo::CatalogueReadResult;

struct Read {
  CatalogueReadResult result;
  vo::FileTypeCatalogueContent content;
};

Read ReadText(const wchar_t* xml, const VoStringArray& plugin_types = {}, const vo::CatalogueOverrides& overrides = {}) {
  XmlDocument document{VoString(xml)};
  Read read;
  read.result = vo::ReadFileTypeCatalogue(document, plugin_types, overrides, read.content);
  return read;
}

VoStringArray Entries(std::vector<const wchar_t*> entries) {
  VoStringArray out;
  for (const wchar_t* entry : entries) out.Add(VoString(entry));
  return out;
}

TEST(FileTypeCatalogue, AcceptsOnlyTheRightRootFromVersionOneOn) {
  struct Case {
    const wchar_t* xml;
    CatalogueReadResult result;
    const wchar_t* version_text;
  };
  const Case cases[] = {
      {L"<KVFA version=\"1\"/>", CatalogueReadResult::kRead, L"1"},
      {L"<KVFA version=\"1.5\"><KVTypes>mp3</KVTypes></KVFA>", CatalogueReadResult::kRead, L"1.5"},
      {L"<?xml version=\"1.0\"?><!-- x --><KVFA version=\"2.0\"/>", CatalogueReadResult::kRead, L"2.0"},
      {L"<KVFA version=\"0.9\"><KVTypes>mp3</KVTypes></KVFA>", CatalogueReadResult::kOldVersion, L"0.9"},
      {L"<KVFA><KVTypes>mp3</KVTypes></KVFA>", CatalogueReadResult::kOldVersion, L"Unknown"},
      {L"<KVFA version=\"new\"/>", CatalogueReadResult::kOldVersion, L"new"},
      {L"<KVFA version=\"-3\"/>", CatalogueReadResult::kOldVersion, L"-3"},
      {L"<VoIC version=\"1.0\"><KVFA version=\"1.0\"/></VoIC>", CatalogueReadResult::kWrongRoot, L""},
      {L"", CatalogueReadResult::kWrongRoot, L""},
      {L"just text", CatalogueReadResult::kWrongRoot, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.xml).ToUtf8());
    const Read read = ReadText(c.xml);
    EXPECT_EQ(read.result, c.result);
    EXPECT_EQ(read.content.VersionText, c.version_text);
    if (c.result != CatalogueReadResult::kRead) {
      // A rejected file leaves nothing behind for the caller to show.
      for (const VoStringArray& list : read.content.Lists) EXPECT_TRUE(list.IsEmpty());
      EXPECT_TRUE(read.content.MimeInfos.IsEmpty());
    }
  }
}

constexpr const wchar_t* kEveryList =
    L"<KVFA version=\"1.0\">"
    L"<DescriptionTypes>"
    L"<Audio>MP3 (mp3);;Wave (wav);</Audio><Image>JPEG (jpg);dat</Image><Video>AVI (avi)</Video>"
    L"<Data>Backup (kvb)</Data><Playlist>M3U (m3u);mpp</Playlist><Unknown>Module (mod)</Unknown>"
    L"</DescriptionTypes>"
    L"<DefaultFileTypes>mp3;dat;wav;</DefaultFileTypes><DefaultAssocFileTypes>ignored</DefaultAssocFileTypes>"
    L"<KVTypes>mp3;wav;mpp;;m3u</KVTypes><IMGTypes>jpg</IMGTypes><DXTypes>avi;dat</DXTypes>"
    L"<RPTypes>rm</RPTypes><QTTypes>mov</QTTypes><OTTypes>;swf;</OTTypes>"
    L"</KVFA>";

TEST(FileTypeCatalogue, ReadsEveryListWithoutEmptyDatOrMppEntries) {
  const Read read = ReadText(kEveryList);
  ASSERT_EQ(read.result, CatalogueReadResult::kRead);
  const VoStringArray expected[vo::kFileTypeListCount] = {
      Entries({L"MP3 (mp3)", L"Wave (wav)", L"JPEG (jpg)", L"AVI (avi)", L"Backup (kvb)", L"M3U (m3u)", L"Module (mod)"}),
      Entries({L"MP3 (mp3)", L"Wave (wav)"}),
      Entries({L"JPEG (jpg)"}),
      Entries({L"AVI (avi)"}),
      Entries({L"Backup (kvb)"}),
      Entries({L"M3U (m3u)"}),
      Entries({L"Module (mod)"}),
      Entries({L"mp3", L"wav"}),
      Entries({L"mp3", L"wav"}),  // the file's own element is overwritten by the defaults
      Entries({L"mp3", L"wav", L"m3u"}),
      Entries({L"jpg"}),
      Entries({L"avi"}),
      Entries({L"rm"}),
      Entries({L"mov"}),
      Entries({L"swf"}),
  };
  for (int list = 0; list < vo::kFileTypeListCount; ++list) {
    SCOPED_TRACE(list);
    EXPECT_EQ(read.content.Lists[list], expected[list]);
  }
}

TEST(FileTypeCatalogue, MissingElementsGiveEmptyLists) {
  const Read read = ReadText(L"<KVFA version=\"1.0\"><KVTypes>mp3</KVTypes></KVFA>");
  ASSERT_EQ(read.result, CatalogueReadResult::kRead);
  for (int list = 0; list < vo::kFileTypeListCount; ++list) {
    SCOPED_TRACE(list);
    EXPECT_EQ(read.content.Lists[list].GetCount(), list == vo::kMainEngineTypes ? 1u : 0u);
  }
  EXPECT_TRUE(read.content.MimeInfos.IsEmpty());
}

TEST(FileTypeCatalogue, AddsNewPluginTypesToTheAudioAndMainEngineLists) {
  struct Case {
    std::vector<const wchar_t*> plugin_types;
    std::vector<const wchar_t*> audio;
    std::vector<const wchar_t*> engine;
  };
  const Case cases[] = {
      {{L"SPX"}, {L"MP3 (mp3)", L"Wave (wav)", L"SPX (spx)"}, {L"mp3", L"wav", L"m3u", L"spx"}},
      // Known in another letter case, or twice among the plug-ins: added once at most.
      {{L"MP3", L"Wav", L"tta", L"TTA"}, {L"MP3 (mp3)", L"Wave (wav)", L"tta (tta)"}, {L"mp3", L"wav", L"m3u", L"tta"}},
      // Handled by the product itself, or nameless.
      {{L"MPP", L"mpp", L"AudioTest", L""}, {L"MP3 (mp3)", L"Wave (wav)"}, {L"mp3", L"wav", L"m3u"}},
  };
  for (const Case& c : cases) {
    const VoStringArray plugin_types = Entries(c.plugin_types);
    SCOPED_TRACE(plugin_types.Join(L";").ToUtf8());
    const Read read = ReadText(kEveryList, plugin_types);
    ASSERT_EQ(read.result, CatalogueReadResult::kRead);
    EXPECT_EQ(read.content.Lists[vo::kAudioDescriptions], Entries(c.audio));
    EXPECT_EQ(read.content.Lists[vo::kMainEngineTypes], Entries(c.engine));
  }
}

TEST(FileTypeCatalogue, AllDescriptionsStartWithTheAudioOnesIncludingPluginTypes) {
  const Read read = ReadText(kEveryList, Entries({L"SPX"}));
  ASSERT_EQ(read.result, CatalogueReadResult::kRead);
  EXPECT_EQ(read.content.Lists[vo::kAllDescriptions],
            Entries({L"MP3 (mp3)", L"Wave (wav)", L"SPX (spx)", L"JPEG (jpg)", L"AVI (avi)", L"Backup (kvb)",
                     L"M3U (m3u)", L"Module (mod)"}));
}

TEST(FileTypeCatalogue, InstallConfigurationReplacesTheDefaults) {
  struct Case {
    const wchar_t* default_types;
    const wchar_t* default_assoc_types;
    std::vector<const wchar_t*> list7;
    std::vector<const wchar_t*> list8;
  };
  const Case cases[] = {
      {L"", L"", {L"mp3", L"wav"}, {L"mp3", L"wav"}},
      {L"ogg;flac;", L"", {L"ogg", L"flac"}, {L"ogg", L"flac"}},
      {L"", L"wav;;mpp", {L"mp3", L"wav"}, {L"wav"}},
      {L"ogg;dat", L"flac", {L"ogg"}, {L"flac"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.default_types).ToUtf8() + " / " + VoString(c.default_assoc_types).ToUtf8());
    const Read read = ReadText(kEveryList, {}, {VoString(c.default_types), VoString(c.default_assoc_types)});
    ASSERT_EQ(read.result, CatalogueReadResult::kRead);
    EXPECT_EQ(read.content.Lists[vo::kDefaultFileTypes], Entries(c.list7));
    EXPECT_EQ(read.content.Lists[vo::kDefaultAssocFileTypes], Entries(c.list8));
  }
}

TEST(FileTypeCatalogue, ReadsMimeAssociationsInDocumentOrder) {
  const Read read = ReadText(
      L"<KVFA version=\"1.0\"><MimeAssociations>"
      L"<Audio Name=\"mp3\">audio/mpeg;audio/mp3</Audio>"
      L"<Video Name=\".MP4\">video/mp4</Video>"
      L"<Audio Name=\"Mp3\">audio/x-later</Audio>"
      L"<Image>image/png</Image>"
      L"</MimeAssociations></KVFA>");
  ASSERT_EQ(read.result, CatalogueReadResult::kRead);
  const vo::FileTypeCatalogueContent& content = read.content;
  ASSERT_EQ(content.MimeInfos.GetCount(), 4u);
  struct Record {
    const wchar_t* extension;
    const wchar_t* mime_types;
    const wchar_t* element;
  };
  const Record records[] = {
      {L"mp3", L"audio/mpeg;audio/mp3", L"Audio"},
      {L"MP4", L"video/mp4", L"Video"},
      {L"Mp3", L"audio/x-later", L"Audio"},
      {L"", L"image/png", L"Image"},
  };
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(content.MimeInfos[i].Extension, records[i].extension);
    EXPECT_EQ(content.MimeInfos[i].MimeTypes, records[i].mime_types);
    EXPECT_EQ(content.MimeInfos[i].ElementName, records[i].element);
  }

  struct Lookup {
    const wchar_t* extension;
    const CMimeInfo* found;
  };
  const Lookup lookups[] = {
      {L"mp3", &content.MimeInfos[0]}, {L".MP3", &content.MimeInfos[0]}, {L"mp4", &content.MimeInfos[1]},
      {L".mp4", &content.MimeInfos[1]}, {L"wav", nullptr},              {L"..mp3", nullptr},
  };
  for (const Lookup& l : lookups) {
    SCOPED_TRACE(VoString(l.extension).ToUtf8());
    EXPECT_EQ(content.FindMimeInfo(l.extension), l.found);
  }
}

TEST(FileTypeCatalogue, FailureTextNamesThePathAndVersion) {
  const VoString intro =
      L"Failed to load file associations file.  This is a fatal error, so the program must close.\r\n\r\n"
      L"Please reinstall the latest version of the program to fix this problem.\r\n\r\n";
  EXPECT_EQ(vo::CatalogueFailureText(L"C:\\P\\FileAssociations.xml", L"0.9"),
            intro + L"Path: C:\\P\\FileAssociations.xml\r\nVersion: 0.9");
  EXPECT_EQ(vo::CatalogueFailureText(L"C:\\P\\FileAssociations.xml", L""),
            intro + L"Path: C:\\P\\FileAssociations.xml\r\nVersion: Unknown");
}

// The sample distribution's catalogue: every list filled, and every type it
// offers or maps to MIME types handled by one of the engines.
TEST(FileTypeCatalogue, SampleDistributionCatalogueIsComplete) {
  XmlDocument document;
  ASSERT_TRUE(document.LoadFile(VoString::FromUtf8(VO_SAMPLE_DIR "/Kelvane/Application Data/Default Resources/FileAssociations.xml")));
  EXPECT_TRUE(document.IsWellFormed()) << document.GetParseError().ToUtf8();
  vo::FileTypeCatalogueContent content;
  ASSERT_EQ(vo::ReadFileTypeCatalogue(document, {}, {}, content), CatalogueReadResult::kRead);

  VoStringArray engine_types;
  for (int list = 0; list < vo::kFileTypeListCount; ++list) {
    SCOPED_TRACE(list);
    EXPECT_FALSE(content.Lists[list].IsEmpty());
    if (list >= vo::kMainEngineTypes) {
      for (const VoString& type : content.Lists[list]) engine_types.Add(type);
    }
  }
  for (const VoString& description : content.Lists[vo::kAllDescriptions]) {
    const size_t open = description.FindLast(L'(');
    ASSERT_NE(open, VoString::npos) << description.ToUtf8();
    ASSERT_TRUE(description.EndsWith(L')')) << description.ToUtf8();
    const VoString type = description.Mid(open + 1, description.Length() - open - 2);
    EXPECT_NE(engine_types.Find(type.View()), VoStringArray::npos) << description.ToUtf8();
  }
  for (const VoString& type : content.Lists[vo::kDefaultFileTypes]) {
    EXPECT_NE(engine_types.Find(type.View()), VoStringArray::npos) << type.ToUtf8();
  }
  ASSERT_FALSE(content.MimeInfos.IsEmpty());
  for (const CMimeInfo& info : content.MimeInfos) {
    EXPECT_NE(engine_types.Find(info.Extension.View()), VoStringArray::npos) << info.Extension.ToUtf8();
    EXPECT_NE(info.MimeTypes.Find(L'/'), VoString::npos) << info.Extension.ToUtf8();
  }
  ASSERT_NE(content.FindMimeInfo(L".MP3"), nullptr);
  EXPECT_EQ(content.FindMimeInfo(L".MP3")->MimeTypes, L"audio/mpeg;audio/mp3;audio/x-mp3");
}

}  // namespace
