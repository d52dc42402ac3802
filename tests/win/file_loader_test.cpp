// The file loader against real files of the prefix and a real HTTP server
// on 127.0.0.1, reading through the reader module as built.
#include "net/file_loader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/fake_tools.h"
#include "foundation/text_file.h"
#include "foundation/win/file_system.h"
#include "foundation/win/process_info_record.h"
#include "foundation/xml_document.h"
#include "suite_http_server.h"
#include "net/file_times.h"
#include "net/internet_helper.h"
#include "net/loader_routing.h"
#include "scratch_folder.h"
#include "tools/tools_loader.h"
#include "toolslib/gzip_decoder.h"

namespace {

constexpr int64_t kServerTime = 1577836800;  // 1 Jan 2020, the served files' time

std::string Pattern(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + (i >> 9)) & 0xFF);
  return data;
}

// The whole file (the fixture's Read stops at 64 KB), or "<missing>".
std::string Contents(const VoString& path) {
  std::string bytes;
  return vo::ReadFileBytes(path, bytes) ? bytes : "<missing>";
}

ResourceName Resource(const VoString& path) {
  ResourceName resource;
  resource.SetPath(path.View());
  return resource;
}

struct RecordedProgress final : IFileLoaderProgress {
  std::vector<std::pair<VoString, int>> reports;
  void SetProgress(const VoString& text, int percent) override { reports.emplace_back(text, percent); }
  bool ShouldCancel() override { return false; }
};

class FileLoaderTest : public ScratchFolder {
 public:
  static void SetUpTestSuite() { server_.Start(L"FileLoaderServer\\"); }
  static void TearDownTestSuite() { server_.Stop(); }

 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    ASSERT_TRUE(server_.Started()) << "the HTTP test server did not start";
    tools_.compression = &decoder_;
  }

  // A file the server hands out, with the served files' time.
  static void Serve(const wchar_t* name, const std::string& bytes) {
    Write(server_.Folder() + name, bytes);
    ASSERT_TRUE(vo::SetFileModifiedTime(server_.Folder() + name, kServerTime));
  }
  static VoString Url(const wchar_t* path) { return server_.Url(path); }

  FakeTools tools_;
  VoGzipDecoder decoder_;
  static inline SuiteHttpServer server_;
};

TEST_F(FileLoaderTest, DownloadToFileByMode) {
  const std::string data = Pattern(200000);
  Serve(L"data.bin", data);
  const std::string half = data.substr(0, 70000);
  const std::string other(data.size(), 'o');  // a stale copy of the same size
  const std::string half_sent = data.substr(0, data.size() / 2);
  struct Case {
    const char* name;
    const wchar_t* path;
    int mode;
    const std::string* existing;  // the target before, or none
    int64_t existing_time;        // 0: left as written
    bool ok;
    const std::string* after;  // the target after, or none (deleted)
    const wchar_t* status;
  };
  const Case cases[] = {
      {"whole", L"data.bin", 0, nullptr, 0, true, &data, L"200"},
      {"replaces", L"data.bin", 0, &other, 0, true, &data, L"200"},
      {"resumed", L"data.bin", 2, &half, 0, true, &data, L"206"},
      {"resumed keeping", L"data.bin", 4, &half, 0, true, &data, L"206"},
      // Same size as the source: taken as complete without reading.
      {"already complete", L"data.bin", 2, &other, 0, true, &other, L"200"},
      {"unchanged", L"data.bin", 3, &other, kServerTime + 60, true, &other, L"304"},
      {"changed", L"data.bin", 3, &other, kServerTime - 3600, true, &data, L"200"},
      {"gzip", L"gzip/data.bin", 0, nullptr, 0, true, &data, L"200"},
      {"404", L"status/404", 0, &other, 0, false, nullptr, L"404"},
      {"500", L"status/500", 2, &half, 0, false, nullptr, L"500"},
      {"500 keeping", L"status/500", 4, &half, 0, false, &half, L"500"},
      {"dropped", L"drop/data.bin", 0, nullptr, 0, false, nullptr, L"200"},
      {"dropped keeping", L"drop/data.bin", 4, nullptr, 0, false, &half_sent, L"200"},
      // A conditional download that gets no data keeps the copy it had.
      {"conditional 404", L"status/404", 3, &other, kServerTime - 3600, false, &other, L"404"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const VoString target = At(L"target.bin");
    vo::ForceDeleteFile(target);
    if (c.existing) Write(target, *c.existing);
    if (c.existing_time) ASSERT_TRUE(vo::SetFileModifiedTime(target, c.existing_time));
    CFileLoader loader;
    VoString name = target;
    EXPECT_EQ(loader.DownloadToFile(Resource(Url(c.path)), name, c.mode), c.ok);
    EXPECT_EQ(loader.GetStatusCode(), c.status);
    const std::string after = Contents(target);
    const std::string expected = c.after ? *c.after : "<missing>";
    EXPECT_TRUE(after == expected) << after.size() << " bytes, expected " << expected.size();
    EXPECT_EQ(name.IsEmpty(), !c.ok && !c.after);
  }
}

TEST_F(FileLoaderTest, ConditionalDownloadTakesTheServersTime) {
  Serve(L"timed.bin", "new content");
  const VoString target = At(L"timed.bin");
  Write(target, "old");
  ASSERT_TRUE(vo::SetFileModifiedTime(target, kServerTime - 86400));
  CFileLoader loader;
  VoString name = target;
  ASSERT_TRUE(loader.DownloadToFile(Resource(Url(L"timed.bin")), name, 3));
  int64_t time = 0;
  ASSERT_TRUE(vo::FileModifiedTime(target, time));
  EXPECT_EQ(time, kServerTime);
  EXPECT_EQ(Read(target), "new content");
}

TEST_F(FileLoaderTest, UniqueTargetName) {
  Serve(L"unique.bin", "fresh");
  Write(At(L"unique.bin"), "mine");
  CFileLoader loader;
  VoString name = At(L"unique.bin");
  ASSERT_TRUE(loader.DownloadToFile(Resource(Url(L"unique.bin")), name, 1));
  EXPECT_EQ(name, At(L"unique (1).bin"));
  EXPECT_EQ(Read(At(L"unique.bin")), "mine");
  EXPECT_EQ(Read(name), "fresh");
}

TEST_F(FileLoaderTest, CancelledFromAnotherThreadLeavesNoTarget) {
  CInternetHelper helper;
  VoString target = At(L"endless.bin");
  std::atomic<bool> grew{false};
  std::thread canceller([&] {
    for (int i = 0; i < 1000 && vo::FileSize(target) < 20000; ++i) Sleep(10);
    grew = vo::FileSize(target) >= 20000;
    helper.Cancel();
  });
  const int result = helper.Download(Url(L"slow"), target, 0);
  canceller.join();
  EXPECT_TRUE(grew);
  EXPECT_EQ(result, CInternetHelper::kCancelled);
  EXPECT_FALSE(vo::FileExists(At(L"endless.bin")));
}

TEST_F(FileLoaderTest, SilentServerTimesOut) {
  CFileLoader loader;
  loader.SetRequestOption(L"RECEIVE_TIMEOUT", L"500");
  std::string buffer;
  EXPECT_FALSE(loader.LoadToMemory(Resource(Url(L"silent")), buffer));
  EXPECT_EQ(loader.GetStatusCode(), L"200");
  EXPECT_EQ(loader.GetStatusText(), L"The connection timed out");
}

TEST_F(FileLoaderTest, InternetHelperResults) {
  Serve(L"helper.bin", "helped");
  CInternetHelper helper;
  VoString target;
  ASSERT_EQ(helper.Download(Url(L"helper.bin"), target, 0), CInternetHelper::kSuccess);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(target, VoString(temp) + L"Vo Download (" + std::to_wstring(GetCurrentThreadId()) + L").dat");
  EXPECT_EQ(Read(target), "helped");
  vo::ForceDeleteFile(target);

  VoString missing = At(L"missing.bin");
  EXPECT_EQ(helper.Download(Url(L"status/404"), missing, 0),
            vo::IsNetworkAlive() ? CInternetHelper::kFailed : CInternetHelper::kNoNetwork);
  EXPECT_FALSE(vo::FileExists(At(L"missing.bin")));

  Serve(L"good.xml", "<root><a/></root>");
  Serve(L"bad.xml", "<root><a></root>");
  XmlDocument document;
  EXPECT_EQ(helper.DownloadXml(Url(L"good.xml"), document), CInternetHelper::kSuccess);
  EXPECT_TRUE(document.FindChildElement(L"a", true));
  EXPECT_EQ(helper.DownloadXml(Url(L"bad.xml"), document), CInternetHelper::kNotWellFormed);
}

TEST_F(FileLoaderTest, MaximumByteCount) {
  const std::string data = Pattern(100000);
  Serve(L"big.bin", data);
  struct Case {
    const wchar_t* path;
    int64_t maximum;
    bool skip_if_larger;
    bool ok;
    size_t size;
  };
  const Case cases[] = {
      {L"big.bin", 1000, false, true, 1000},
      {L"big.bin", 1000, true, false, 0},
      {L"big.bin", 200000, true, true, 100000},
      // A body of unknown length is read up to the maximum.
      {L"slow", 10000, true, true, 10000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << VoString(c.path).ToUtf8() << " max " << c.maximum);
    CFileLoader loader;
    loader.SetMaximumBytes(c.maximum, c.skip_if_larger);
    std::string buffer;
    EXPECT_EQ(loader.LoadToMemory(Resource(Url(c.path)), buffer), c.ok);
    if (!c.ok) continue;
    ASSERT_EQ(buffer.size(), c.size);
    if (c.path == std::wstring_view(L"big.bin")) EXPECT_EQ(buffer, data.substr(0, c.size));
  }
}

TEST_F(FileLoaderTest, ExpectedLeadingText) {
  std::string utf16;
  ASSERT_TRUE(vo::EncodeText(L"<?xml?><Catalogue/>", vo::kTextUtf16, utf16));
  Write(At(L"ansi.txt"), "<?xml?><Catalogue/>");
  Write(At(L"wide.txt"), utf16);
  struct Case {
    const wchar_t* file;
    const wchar_t* expected;
    bool ok;
  };
  const Case cases[] = {
      {L"ansi.txt", L"<Catalogue", true},
      {L"wide.txt", L"<Catalogue", true},
      {L"ansi.txt", L"<KVFA", false},
      {L"wide.txt", L"<KVFA", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.file).ToUtf8() + " " + VoString(c.expected).ToUtf8());
    CFileLoader loader;
    loader.SetExpectedLeadingText(c.expected);
    std::string buffer;
    EXPECT_EQ(loader.LoadToMemory(Resource(At(c.file)), buffer), c.ok);
  }
}

TEST_F(FileLoaderTest, FirstBlockCheckSeesOnlyTheFirstBlock) {
  Serve(L"blocks.bin", Pattern(150000));
  for (bool accept : {true, false}) {
    CFileLoader loader;
    size_t seen = 0;
    loader.SetFirstBlockCheck(16, [&](std::string_view block) {
      seen = block.size();
      return accept;
    });
    std::string buffer;
    EXPECT_EQ(loader.LoadToMemory(Resource(Url(L"blocks.bin")), buffer), accept);
    EXPECT_EQ(seen, 16u);
  }
}

TEST_F(FileLoaderTest, LocalFileReadInMegabyteBlocks) {
  const std::string data = Pattern(2621440);  // 2.5 MB
  Write(At(L"local.bin"), data);
  struct Case {
    const wchar_t* display_name;
    bool show_name;
    const wchar_t* first_text;
  };
  const Case cases[] = {
      {L"", false, L"Reading ''  (1.0 MB of 2.5 MB)"},
      {L"Library", false, L"Reading 'Library'  (1.0 MB of 2.5 MB)"},
      {L"Library", true, L"Library  (1.0 MB of 2.5 MB)"},
  };
  for (const Case& c : cases) {
    CFileLoader loader;
    loader.SetDisplayName(c.display_name, c.show_name);
    RecordedProgress progress;
    std::string buffer;
    ASSERT_TRUE(loader.LoadToMemory(Resource(At(L"local.bin")), buffer, nullptr, &progress));
    EXPECT_EQ(buffer, data);
    ASSERT_EQ(progress.reports.size(), 3u);
    EXPECT_EQ(progress.reports[0].first, c.first_text);
    EXPECT_EQ(progress.reports[0].second, 40);
    EXPECT_EQ(progress.reports[2].second, 100);
  }
}

TEST_F(FileLoaderTest, FractionsAndCancelFromTheProgressInterface) {
  Write(At(L"local.bin"), Pattern(2621440));
  struct Fractions final : IFileLoaderProgress, ICancelHelperCallback {
    std::vector<double> fractions;
    int blocks = 0;
    int cancel_after = 0;  // blocks; 0: never
    int callbacks = 0;
    void SetProgress(const VoString&, int) override { ++blocks; }
    bool ShouldCancel() override { return blocks == cancel_after; }
    bool WantsFraction() override { return true; }
    void SetFraction(double fraction) override { fractions.push_back(fraction); }
    void Cancel() override { ++callbacks; }
  };
  {
    CFileLoader loader;
    Fractions progress;
    std::string buffer;
    ASSERT_TRUE(loader.LoadToMemory(Resource(At(L"local.bin")), buffer, nullptr, &progress));
    // The first block and the end are always reported.
    ASSERT_GE(progress.fractions.size(), 2u);
    EXPECT_DOUBLE_EQ(progress.fractions.front(), 0.4);
    EXPECT_DOUBLE_EQ(progress.fractions.back(), 1.0);
  }
  {
    CFileLoader loader;
    Fractions progress;
    progress.cancel_after = 1;
    loader.SetCancelCallback(&progress);
    std::string buffer;
    EXPECT_FALSE(loader.LoadToMemory(Resource(At(L"local.bin")), buffer, nullptr, &progress));
    EXPECT_EQ(progress.blocks, 1);
    EXPECT_EQ(progress.callbacks, 1);
    EXPECT_TRUE(loader.IsCancelled());
    // Cancelled stays cancelled until cleared.
    EXPECT_FALSE(loader.LoadToMemory(Resource(At(L"local.bin")), buffer));
    loader.SetCancelled(false);
    EXPECT_TRUE(loader.LoadToMemory(Resource(At(L"local.bin")), buffer));
  }
}

TEST_F(FileLoaderTest, OnlyHttpAddressesAreRead) {
  CFileLoader loader;
  std::string buffer;
  EXPECT_FALSE(loader.LoadToMemory(Resource(VoString(L"ftp://127.0.0.1/file.bin")), buffer));
  EXPECT_EQ(loader.GetStatusText(), L"Only http and https addresses can be read");
}

TEST_F(FileLoaderTest, InternetProgressNamesTheResource) {
  Serve(L"progress.bin", Pattern(100000));
  CFileLoader loader;
  loader.SetProgressWindow(true, nullptr, L"Setup");
  RecordedProgress progress;
  std::string buffer;
  ASSERT_TRUE(loader.LoadToMemory(Resource(Url(L"progress.bin")), buffer, nullptr, &progress));
  ASSERT_EQ(progress.reports.size(), 2u);  // 64 KB blocks
  EXPECT_EQ(progress.reports[0].first, L"Downloading 'Internet resource'  (64.0 KB of 97.7 KB)");
  EXPECT_EQ(progress.reports[1].second, 100);
}

TEST_F(FileLoaderTest, PostDataAndHeaders) {
  CFileLoader loader;
  const std::string body = "<request/>";
  loader.SetPostData(body.data(), body.size());
  loader.AddHeader(L"X-Halvora", L"23");
  // The header lines were made at construction: the post data adds none.
  EXPECT_EQ(loader.GetRequestOptionsText(),
            L"INFO_HEADERS|Accept-Encoding: gzip\nX-Halvora: 23|HTTPREQUEST_TYPE|POST");
  std::string echo;
  ASSERT_TRUE(loader.LoadToMemory(Resource(Url(L"echo")), echo));
  EXPECT_EQ(echo.rfind("POST /echo ", 0), 0u) << echo;
  for (const char* line : {"Accept-Encoding: gzip", "X-Halvora: 23"}) {
    EXPECT_NE(echo.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(echo.substr(echo.size() - body.size()), body);
}

TEST_F(FileLoaderTest, ConstructionLeavesOnlyTheGzipHeader) {
  CFileLoader loader;
  EXPECT_EQ(loader.GetRequestOptionsText(), L"INFO_HEADERS|Accept-Encoding: gzip");
}

TEST_F(FileLoaderTest, InternetCanBeSwitchedOff) {
  Serve(L"off.bin", "x");
  CFileLoader loader;
  loader.SetAllowInternet(false);
  std::string buffer;
  EXPECT_FALSE(loader.LoadToMemory(Resource(Url(L"off.bin")), buffer));
  EXPECT_TRUE(loader.GetStatusCode().IsEmpty());
}

TEST_F(FileLoaderTest, GzipDecodedIntoMemory) {
  const std::string data = Pattern(70000);
  Serve(L"packed.bin", data);
  CFileLoader loader;
  std::string buffer;
  ASSERT_TRUE(loader.LoadToMemory(Resource(Url(L"gzip/packed.bin")), buffer));
  EXPECT_EQ(buffer, data);
  // Without a compression service the encoded data is not passed off as plain.
  tools_.compression = nullptr;
  EXPECT_FALSE(loader.LoadToMemory(Resource(Url(L"gzip/packed.bin")), buffer));
}

TEST_F(FileLoaderTest, UrlSizesAndDocumentsThroughTheLoader) {
  Serve(L"sized.bin", Pattern(12345));
  Serve(L"remote.xml", "<Install><Folder>x</Folder></Install>");
  Write(At(L"local.xml"), "\xEF\xBB\xBF<Install/>");
  EXPECT_EQ(vo::FileSize(Url(L"sized.bin")), -1);  // not routed yet
  vo::RouteReadingThroughFileLoader();
  EXPECT_EQ(vo::FileSize(Url(L"sized.bin")), 12345);
  EXPECT_EQ(vo::FileSize(Url(L"nothing.bin")), -1);

  XmlDocument local;
  EXPECT_TRUE(local.LoadFile(At(L"local.xml")));
  EXPECT_EQ(local.GetDocumentText().At(0), L'\xFEFF');  // UTF-8 mode keeps the mark
  XmlDocument remote;
  EXPECT_TRUE(remote.LoadFile(Url(L"remote.xml")));
  EXPECT_TRUE(remote.FindChildElement(L"Folder", true));
  XmlDocument missing;
  EXPECT_FALSE(missing.LoadFile(At(L"missing.xml")));

  vo::SetTextResourceReader(nullptr);
  vo::SetRemoteFileSizeQuery(nullptr);
}

TEST_F(FileLoaderTest, TextReadingAndWriting) {
  CFileLoader loader;
  VoString text;
  EXPECT_TRUE(loader.ReadText(Resource(VoString()), vo::kTextDetect, text));
  EXPECT_TRUE(text.IsEmpty());
  Serve(L"text.txt", "\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F");
  ASSERT_TRUE(loader.ReadText(Resource(Url(L"text.txt")), vo::kTextUtf8NoMark, text));
  EXPECT_EQ(text, L"gr\xFC\xDF");
  ASSERT_TRUE(CFileLoader::WriteText(At(L"out.txt"), L"gr\xFC\xDF", vo::kTextUtf16));
  EXPECT_EQ(Read(At(L"out.txt")), std::string("\xFF\xFEg\0r\0\xFC\0\xDF\0", 10));
}

}  // namespace
