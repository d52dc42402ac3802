#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/zip_builder.h"
#include "toolslib/zip_directory.h"
#include "toolslib/zip_entry_data.h"
#include "toolslib/zip_unpack.h"

namespace {

const std::string kText = "Halvora plug-in data, repeated. Halvora plug-in data, repeated. Halvora plug-in data.";

// Every entry as "name=bytes", or "name!failure" for one that cannot be
// extracted; or "!failure" when the directory cannot be read.
std::string Describe(const std::string& archive) {
  ZipMemorySource source(archive);
  std::vector<ZipEntry> entries;
  VoString failure;
  if (!ReadZipDirectory(source, entries, failure)) return "!" + failure.ToUtf8();
  std::string out;
  for (const ZipEntry& entry : entries) {
    std::string data;
    const bool ok = ExtractZipEntry(source, entry, [&](const char* p, size_t n) { data.append(p, n); return true; },
                                    failure);
    out += entry.name.ToUtf8() + (ok ? "=" + data : "!" + failure.ToUtf8()) + ";";
  }
  return out;
}

// The built archive with 4 bytes at `offset` overwritten by `value`.
std::string Patched(std::string archive, size_t offset, uint32_t value) {
  std::string bytes;
  ZipBuilder::Put32(bytes, value);
  archive.replace(offset, 4, bytes);
  return archive;
}

TEST(ZipArchive, ReadsEntriesAndRefusesDamage) {
  const std::string two = ZipBuilder().Add("a.txt", kText, 0).Add("sub/b.txt", kText).Build();
  // The end record is the last 22 bytes; its count of entries sits at 10,
  // its directory offset at 16. The first local header starts the file.
  const size_t end = two.size() - 22;
  ZipBuilder::Entry bad_crc{"c.txt", kText, 8, 0, 0x1};
  ZipBuilder::Entry short_size{"d.txt", kText, 8, 0, 0, -1};
  ZipBuilder::Entry long_size{"e.txt", kText, 0, 0, 0, +1};
  ZipBuilder::Entry encrypted{"f.txt", kText, 0, 1};
  ZipBuilder::Entry bzip2{"g.txt", kText, 12};
  const struct {
    const char* what;
    std::string archive;
    std::string expected;
  } cases[] = {
      {"stored and deflated", two, "a.txt=" + kText + ";sub/b.txt=" + kText + ";"},
      {"empty archive", ZipBuilder().Build(), ""},
      {"empty files", ZipBuilder().Add("s", "", 0).Add("d", "").Folder("dir/").Build(), "s=;d=;dir/=;"},
      {"trailing comment", ZipBuilder().Add("a.txt", "x").Comment("made by PK\x05\x06 tools").Build(), "a.txt=x;"},
      {"program in front", ZipBuilder().Add("a.txt", "x").Prefix(std::string(300, 'M')).Build(), "a.txt=x;"},
      {"UTF-8 and code page 437 names",
       ZipBuilder().Add({"\xC3\xA9t\xC3\xA9.txt", "u", 0, 1 << 11}).Add("\x82t\x82.txt", "c", 0).Build(),
       "\xC3\xA9t\xC3\xA9.txt=u;\xC3\xA9t\xC3\xA9.txt=c;"},
      {"CRC mismatch", ZipBuilder().Add(bad_crc).Build(), "c.txt!The archive entry 'c.txt' fails its checksum.;"},
      {"more data than recorded", ZipBuilder().Add(short_size).Build(),
       "d.txt!The archive entry 'd.txt' holds more than its recorded size.;"},
      {"stored sizes differ", ZipBuilder().Add(long_size).Build(), "e.txt!The archive entry 'e.txt' is damaged.;"},
      {"encrypted", ZipBuilder().Add(encrypted).Build(),
       "f.txt!The archive entry 'f.txt' is encrypted, which is not supported.;"},
      {"unknown method", ZipBuilder().Add(bzip2).Build(),
       "g.txt!The archive entry 'g.txt' uses compression method 12, which is not supported.;"},
      {"garbage instead of deflate data", Patched(ZipBuilder().Add("h.txt", kText).Build(), 30 + 5, 0xFFFFFFFF),
       "h.txt!The archive entry 'h.txt' is damaged.;"},
      {"truncated", two.substr(0, two.size() - 5), "!The file is not a zip archive."},
      {"cut in half", two.substr(0, two.size() / 2), "!The file is not a zip archive."},
      {"comment longer than the file", two.substr(0, end + 20) + std::string("\x10\x00", 2), "!The file is not a zip archive."},
      {"not an archive", "just some text, no zip at all", "!The file is not a zip archive."},
      {"Zip64 marker", Patched(two, end + 16, 0xFFFFFFFF),
       "!The archive uses the Zip64 extensions, which are not supported."},
      {"directory past its end record", Patched(two, end + 16, static_cast<uint32_t>(end)),
       "!The archive's central directory lies outside the file."},
      {"more entries than the directory holds", Patched(two, end + 8, 0x00400040),
       "!The archive's central directory is shorter than its entries."},
      {"spanned", Patched(two, end + 4, 0x00010001), "!The archive spans several disks, which is not supported."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Describe(c.archive), c.expected);
  }
}

// Central directory records point at the first local header twice: a small
// archive that would unpack the same data again and again.
TEST(ZipArchive, RefusesEntriesThatShareData) {
  std::string archive = ZipBuilder().Add("a.txt", kText).Add("b.txt", kText).Build();
  const size_t second_record = archive.find("PK\x01\x02", archive.find("PK\x01\x02") + 1);
  archive = Patched(archive, second_record + 42, 0);
  EXPECT_EQ(Describe(archive), "!The archive entry 'b.txt' overlaps the entry 'a.txt'.");
  // A local header offset that points into the central directory.
  std::string into = ZipBuilder().Add("a.txt", kText).Build();
  const size_t directory = into.find("PK\x01\x02");
  into = Patched(into, directory + 42, static_cast<uint32_t>(directory));
  EXPECT_EQ(Describe(into), "!The archive entry 'a.txt' has no local header where the directory says.");
}

std::string Plan(const std::vector<std::string>& names, bool keep_structure) {
  std::vector<ZipEntry> entries;
  for (const std::string& name : names) {
    ZipEntry e;
    e.name = VoString::FromUtf8(name);
    e.method = kZipDeflated;
    entries.push_back(e);
  }
  std::vector<ZipUnpackStep> steps;
  VoString failure;
  if (!PlanZipUnpack(entries, keep_structure, steps, failure)) return "!" + failure.ToUtf8();
  std::string out;
  for (const ZipUnpackStep& s : steps) out += s.relative.ToUtf8() + (s.entry ? "" : "(folder)") + ";";
  return out;
}

TEST(ZipArchive, PlansFoldersFirstAndRefusesNamesOutsideTheFolder) {
  const struct {
    std::vector<std::string> names;
    std::string structured;
    std::string flat;
  } cases[] = {
      {{"readme.txt", "skin/img/a.png", "Skin\\main.xml", "empty/", "./x.txt"},
       "readme.txt;skin\\(folder);skin\\img\\(folder);skin\\img\\a.png;Skin\\main.xml;empty\\(folder);x.txt;",
       "readme.txt;a.png;main.xml;x.txt;"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Plan(c.names, true), c.structured);
    EXPECT_EQ(Plan(c.names, false), c.flat);
  }
  // One bad name refuses the whole archive, whichever way it is unpacked.
  for (const char* bad : {"../evil.dll", "/abs.txt", "\\abs.txt", "C:x", "C:\\x.txt", "a\\..\\..\\b",
                          "a/../b.txt", "a/.. /b.txt", "nul", "sub/COM1.txt", "a/b?.txt", "", "/", "./"}) {
    SCOPED_TRACE(bad);
    const std::string failure =
        std::string("!The archive entry '") + bad + "' would be unpacked outside the target folder.";
    EXPECT_EQ(Plan({"good.txt", bad}, true), failure);
    EXPECT_EQ(Plan({"good.txt", bad}, false), failure);
  }
}

class RecordingTarget : public ZipUnpackTarget {
 public:
  bool CreateFolder(const VoString& relative, VoString&) override {
    log += "mkdir " + relative.ToUtf8() + ";";
    return true;
  }
  bool BeginFile(const VoString& relative, VoString&) override {
    log += "file " + relative.ToUtf8() + "=";
    return true;
  }
  bool Write(const char* data, size_t size, VoString& failure) override {
    if (fail_writes) {
      failure = L"disk full";
      return false;
    }
    log.append(data, size);
    return true;
  }
  bool EndFile(bool complete, VoString&) override {
    log += complete ? ";" : " (removed);";
    return true;
  }
  std::string log;
  bool fail_writes = false;
};

TEST(ZipArchive, UnpacksThroughTheTarget) {
  ZipBuilder::Entry bad_crc{"b.txt", "bbb", 8, 0, 0x1};
  const struct {
    const char* what;
    std::string archive;
    bool keep_structure;
    bool fail_writes;
    std::string log;
    std::string failure;
  } cases[] = {
      {"structure", ZipBuilder().Add("d/a.txt", "aa").Folder("e/").Build(), true, false,
       "mkdir d\\;file d\\a.txt=aa;mkdir e\\;", ""},
      {"flat", ZipBuilder().Add("d/a.txt", "aa").Folder("e/").Build(), false, false, "file a.txt=aa;", ""},
      {"unsafe entry last: nothing written", ZipBuilder().Add("a.txt", "aa").Add("../b.txt", "bb").Build(), true, false,
       "", "The archive entry '../b.txt' would be unpacked outside the target folder."},
      {"damaged entry removed", ZipBuilder().Add("a.txt", "aa").Add(bad_crc).Build(), true, false,
       "file a.txt=aa;file b.txt=bbb (removed);", "The archive entry 'b.txt' fails its checksum."},
      {"target failure", ZipBuilder().Add("a.txt", "aa").Build(), true, true, "file a.txt= (removed);", "disk full"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ZipMemorySource source(c.archive);
    RecordingTarget target;
    target.fail_writes = c.fail_writes;
    VoString failure;
    EXPECT_EQ(UnpackZip(source, c.keep_structure, target, failure), c.failure.empty());
    EXPECT_EQ(target.log, c.log);
    EXPECT_EQ(failure.ToUtf8(), c.failure);
  }
}

// Deflated data larger than one piece of the inflater's buffers.
TEST(ZipArchive, ExtractsLargeEntriesInPieces) {
  std::string big;
  for (int i = 0; i < 200000; ++i) big += static_cast<char>('a' + (i * 7919) % 26);
  const std::string archive = ZipBuilder().Add("big.bin", big).Add("raw.bin", big, 0).Build();
  EXPECT_EQ(Describe(archive), "big.bin=" + big + ";raw.bin=" + big + ";");
}

// The same archive read through a file: positions past 64 KiB, the end
// record found behind a comment, and a missing file.
TEST(ZipArchive, ReadsFromAFile) {
  std::string big(70000, 'z');
  const std::string archive = ZipBuilder().Add("big.txt", big, 0).Add("small.txt", "s").Comment("note").Build();
  const std::string path = testing::TempDir() + "zip_archive_test.zip";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(archive.data(), 1, archive.size(), file), archive.size());
  std::fclose(file);

  {
    ZipFileSource source;
    ASSERT_TRUE(source.Open(VoString::FromUtf8(path)));
    EXPECT_EQ(source.Size(), archive.size());
    RecordingTarget target;
    VoString failure;
    EXPECT_TRUE(UnpackZip(source, false, target, failure)) << failure.ToUtf8();
    EXPECT_EQ(target.log, "file big.txt=" + big + ";file small.txt=s;");
    char byte = 0;
    EXPECT_FALSE(source.Read(archive.size(), &byte, 1));
  }
  // Closed with its source, so Windows lets it go.
  ASSERT_EQ(std::remove(path.c_str()), 0);
  EXPECT_FALSE(ZipFileSource().Open(VoString::FromUtf8(path)));
}

}  // namespace
