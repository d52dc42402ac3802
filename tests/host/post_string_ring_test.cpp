#include "plugins/post_string_ring.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using vo::PostMessageKey;
using vo::PostRing;

// A fresh block as the system hands out new shared memory: all zero.
struct Block {
  std::vector<unsigned char> bytes = std::vector<unsigned char>(vo::kPostBlockBytes, 0);
  PostRing ring{bytes.data()};

  Block() { ring.Prepare(); }
  void Put32(size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
  }
  // Both positions, as if this many bytes had passed through the ring.
  void StartAt(uint32_t position) {
    Put32(4, position);
    Put32(8, position);
  }
  unsigned char& RingByte(uint32_t position) { return bytes[vo::kPostBlockHeaderBytes + position % vo::kPostRingBytes]; }
};

const PostMessageKey kKey{0x2A0017, 0x1234567890ABCDEFull};

TEST(PostStringRingTest, RecordsComeBackAsWritten) {
  const struct {
    std::u16string text;
    uint32_t type;
  } cases[] = {
      {u"", 0},
      {u"/ServiceUpdate", 0},
      {std::u16string(128, u'x'), 0},
      {u"C:\\Temp\\PostMessage\\Message.pmd", vo::kPostTypeFile},
      {u"\u00e9t\u00e9 \u4e2d\u6587 \U0001F3B5", 0},
  };
  for (const auto& c : cases) {
    Block block;
    ASSERT_TRUE(block.ring.Write(kKey, c.type, c.text));
    EXPECT_EQ(block.ring.FreeBytes(), vo::kPostRingBytes - vo::PostRecordBytes(c.text.size()));
    const auto record = block.ring.Take(kKey);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text, c.text);
    EXPECT_EQ(record->type, c.type);
    EXPECT_EQ(block.ring.FreeBytes(), vo::kPostRingBytes);
    EXPECT_FALSE(block.ring.Take(kKey));
  }
}

TEST(PostStringRingTest, TextsTravelThroughAFileWhenLongOrWithoutRoom) {
  EXPECT_EQ(vo::PostRecordBytes(10), 42u);
  const struct {
    size_t units, free_bytes;
    bool file;
  } cases[] = {
      {128, vo::kPostRingBytes, false},
      {129, vo::kPostRingBytes, true},
      {10, 42, false},
      {10, 41, true},
      {0, 21, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vo::PostNeedsFile(c.units, c.free_bytes), c.file) << c.units << " " << c.free_bytes;
  }
}

// Records that cross the end of the ring, with the header or the text cut
// in two, and positions that wrap around 2^32.
TEST(PostStringRingTest, RecordsWrapAroundTheEndOfTheRing) {
  const std::u16string text = u"/Play C:\\Music\\Song.mp3";
  const uint32_t end = vo::kPostRingBytes;
  for (uint32_t start : {end - 1, end - 10, end - 20, end - 21, end - 30, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(start);
    Block block;
    block.StartAt(start);
    ASSERT_EQ(block.ring.Write(kKey, 0, text), start);
    const auto record = block.ring.Take(kKey);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text, text);
    EXPECT_EQ(block.ring.FreeBytes(), vo::kPostRingBytes);
  }
}

TEST(PostStringRingTest, AFullRingTakesNoMoreUntilARecordIsRead) {
  Block block;
  const std::u16string text(100, u'a');
  uint64_t written = 0;
  while (block.ring.Write({1, written}, 0, text)) ++written;
  ASSERT_EQ(written, vo::kPostRingBytes / vo::PostRecordBytes(text.size()));
  EXPECT_LT(block.ring.FreeBytes(), vo::PostRecordBytes(text.size()));
  EXPECT_TRUE(vo::PostNeedsFile(text.size(), block.ring.FreeBytes()));
  // Nothing of the refused record was written.
  ASSERT_TRUE(block.ring.Take({1, 0}));
  EXPECT_TRUE(block.ring.Write({2, 0}, 0, text));
  for (uint64_t i = 1; i < written; ++i) ASSERT_TRUE(block.ring.Take({1, i})) << i;
  EXPECT_EQ(block.ring.Take({2, 0})->text, text);
}

TEST(PostStringRingTest, TakingARecordDropsOlderOnesAndLeavesNewerOnes) {
  Block block;
  block.ring.Write({1, 1}, 0, u"lost");
  block.ring.Write({1, 2}, 0, u"wanted");
  block.ring.Write({1, 3}, 0, u"later");
  EXPECT_FALSE(block.ring.Take({9, 9}));
  EXPECT_EQ(block.ring.Take({1, 2})->text, u"wanted");
  EXPECT_FALSE(block.ring.Take({1, 1}));
  EXPECT_EQ(block.ring.Take({1, 3})->text, u"later");
  EXPECT_FALSE(block.ring.Write({uint64_t{1} << 32, 0}, 0, u"wide"));
}

TEST(PostStringRingTest, UnwriteTakesBackOnlyUnreadRecords) {
  Block block;
  block.ring.Write({1, 1}, 0, u"kept");
  const auto start = block.ring.Write({1, 2}, 0, u"taken back");
  ASSERT_TRUE(start);
  block.ring.Unwrite(*start);
  EXPECT_EQ(block.ring.FreeBytes(), vo::kPostRingBytes - vo::PostRecordBytes(4));
  block.ring.Unwrite(*start + 1000);  // beyond the written part
  block.ring.Unwrite(*start - 1000);  // before the unread part
  EXPECT_EQ(block.ring.FreeBytes(), vo::kPostRingBytes - vo::PostRecordBytes(4));
  EXPECT_EQ(block.ring.Take({1, 1})->text, u"kept");
}

// Whatever another process left in the block, reading stays inside it and
// a block that does not add up is emptied.
TEST(PostStringRingTest, DamagedBlocksAreEmptiedNotRead) {
  const struct {
    const char* name;
    std::function<void(Block&)> damage;
  } cases[] = {
      {"signature", [](Block& b) { b.bytes[0] = 'X'; }},
      {"more unread than the ring holds", [](Block& b) { b.Put32(8, vo::kPostRingBytes + 1000); }},
      {"length odd", [](Block& b) { b.RingByte(16) = 13; }},
      {"length zero", [](Block& b) { b.RingByte(16) = 0; }},
      {"length beyond the written part", [](Block& b) { b.RingByte(18) = 0x10; }},
      {"length of 4 GiB", [](Block& b) { b.RingByte(19) = 0xFF; }},
      {"no terminating zero", [](Block& b) { b.RingByte(20 + 6) = 'x'; }},
      {"a tail shorter than a header", [](Block& b) { b.Put32(8, 7); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Block block;
    ASSERT_TRUE(block.ring.Write(kKey, 0, u"abc"));
    c.damage(block);
    EXPECT_FALSE(block.ring.Take(kKey));
    EXPECT_EQ(block.ring.FreeBytes(), vo::kPostRingBytes);
    ASSERT_TRUE(block.ring.Write(kKey, 0, u"again"));
    EXPECT_EQ(block.ring.Take(kKey)->text, u"again");
  }
}

TEST(PostStringRingTest, PrepareKeepsAValidRing) {
  Block block;
  block.ring.Write(kKey, 0, u"waiting");
  block.ring.Prepare();
  EXPECT_EQ(block.ring.Take(kKey)->text, u"waiting");
}

}  // namespace
