// Streams: exact reads and writes, and the memory stream's positions.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/Stream.h"

namespace {

using plat::MemoryStream;
using plat::Stream;

TEST(MemoryStream, ReadsWhatWasWrittenAndStopsAtTheEnd) {
  MemoryStream s;
  EXPECT_EQ(s.Write("abcdef", 6), 6);
  EXPECT_EQ(s.Size(), 6);
  s.SetPosition(2);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4);
  EXPECT_EQ(std::string(buf, 4), "cdef");
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_EQ(s.Read(buf, -1), 0);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  MemoryStream s;
  s.Seek(3, Stream::Origin::Begin);
  s.WriteBuffer("x", 1);
  ASSERT_EQ(s.Bytes().size(), 4u);
  EXPECT_EQ(s.Bytes()[0], 0);
  EXPECT_EQ(s.Bytes()[3], 'x');
}

TEST(MemoryStream, SeekOriginsAndInvalidTargets) {
  MemoryStream s(std::vector<std::uint8_t>(10, 1));
  EXPECT_EQ(s.Seek(-4, Stream::Origin::End), 6);
  EXPECT_EQ(s.Seek(2, Stream::Origin::Current), 8);
  EXPECT_EQ(s.Position(), 8);
  EXPECT_EQ(s.Seek(20, Stream::Origin::Begin), 20);  // beyond the end: reads give nothing
  char c;
  EXPECT_EQ(s.Read(&c, 1), 0);
  EXPECT_THROW(s.Seek(-1, Stream::Origin::Begin), plat::StreamError);
}

TEST(StreamBuffer, ShortReadAndShortWriteRaiseTheirMessages) {
  MemoryStream s(std::vector<std::uint8_t>{1, 2, 3});
  char buf[4];
  try {
    s.ReadBuffer(buf, 4);
    FAIL() << "a short read must raise";
  } catch (const plat::StreamError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  s.SetPosition(0);
  EXPECT_NO_THROW(s.ReadBuffer(buf, 3));
  EXPECT_NO_THROW(s.ReadBuffer(buf, 0));

  // A stream that takes nothing more, like a full disk.
  struct Full : MemoryStream {
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
  } full;
  try {
    full.WriteBuffer("ab", 2);
    FAIL() << "a short write must raise";
  } catch (const plat::StreamError& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }
}

TEST(StreamBuffer, PartialTransfersAreCompleted) {
  struct Trickle : MemoryStream {
    std::int32_t Read(void* b, std::int32_t n) override { return MemoryStream::Read(b, n > 2 ? 2 : n); }
    std::int32_t Write(const void* b, std::int32_t n) override {
      return MemoryStream::Write(b, n > 3 ? 3 : n);
    }
  } s;
  s.WriteBuffer("abcdefgh", 8);
  s.SetPosition(0);
  char buf[8];
  s.ReadBuffer(buf, 8);
  EXPECT_EQ(std::string(buf, 8), "abcdefgh");
}

TEST(StreamBuffer, DefaultSizeKeepsThePosition) {
  struct Plain : Stream {
    MemoryStream inner{std::vector<std::uint8_t>(7, 0)};
    std::int32_t Read(void* b, std::int32_t n) override { return inner.Read(b, n); }
    std::int32_t Write(const void* b, std::int32_t n) override { return inner.Write(b, n); }
    std::int64_t Seek(std::int64_t o, Origin w) override { return inner.Seek(o, w); }
  } plain;
  plain.SetPosition(3);
  EXPECT_EQ(plain.Size(), 7);
  EXPECT_EQ(plain.Position(), 3);
}

}  // namespace
