// The tools library's compression service on real files.
#include "toolslib/gzip_decoder.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "foundation/text_file.h"
#include "scratch_folder.h"

namespace {

std::string Gzip(const std::string& data) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, data.size()) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string Contents(const VoString& path) {
  std::string bytes;
  return vo::ReadFileBytes(path, bytes) ? bytes : "<missing>";
}

using GzipDecoderTest = ScratchFolder;

TEST_F(GzipDecoderTest, DecodesWholeStreamsOnly) {
  std::string large(300000, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 31 / 7);
  const std::string packed = Gzip(large);
  struct Case {
    const char* name;
    std::string source;
    const char* result;  // the target afterwards
  };
  const Case cases[] = {
      {"whole", packed, nullptr},
      {"two members", Gzip("first,") + Gzip("second"), "first,second"},
      {"empty content", Gzip(""), ""},
      {"cut short", packed.substr(0, packed.size() - 9), "earlier"},
      {"not gzip", "plain text, not packed", "earlier"},
      {"trailing garbage", Gzip("data") + "junk", "earlier"},
      {"empty file", "", "earlier"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write(At(L"in.gz"), c.source);
    Write(At(L"out.bin"), "earlier");
    VoGzipDecoder decoder;
    const bool ok = decoder.GzipDecodeFile(At(L"in.gz").c_str(), At(L"out.bin").c_str(), nullptr);
    EXPECT_EQ(ok, std::string_view(c.result ? c.result : "") != "earlier");
    EXPECT_EQ(Contents(At(L"out.bin")), c.result ? std::string(c.result) : large);
    EXPECT_EQ(Contents(At(L"out.bin.partial")), "<missing>");
  }
}

TEST_F(GzipDecoderTest, CancelStopsBetweenPieces) {
  Write(At(L"in.gz"), Gzip(std::string(100000, 'z')));
  const std::atomic<bool> cancel{true};
  VoGzipDecoder decoder;
  EXPECT_FALSE(decoder.GzipDecodeFile(At(L"in.gz").c_str(), At(L"out.bin").c_str(), &cancel));
  EXPECT_EQ(Contents(At(L"out.bin")), "<missing>");
  EXPECT_EQ(Contents(At(L"out.bin.partial")), "<missing>");
}

}  // namespace
