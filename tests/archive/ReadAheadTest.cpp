// The read-ahead buffer under the restore and the walk: every mix of reads and seeks gives the
// bytes and positions of the stream underneath, and a caller's stream is left where reading
// stopped, not where the buffer ran ahead to.
#include <gtest/gtest.h>

#include "archive/ArchiveWalker.h"
#include "archive/BackupFile.h"
#include "archive/ReadAheadStream.h"
#include "platform/Error.h"
#include "support/ArchiveBytes.h"
#include "support/SeededBytes.h"

namespace {

using archive::ReadAheadStream;
using Origin = plat::Stream::Origin;

std::vector<std::uint8_t> Numbers(std::size_t n) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return v;
}

// Counts the calls that reach the stream underneath.
struct CountingStream : plat::MemoryStream {
  using MemoryStream::MemoryStream;
  int reads = 0;
  int seeks = 0;
  std::int32_t Read(void* b, std::int32_t n) override {
    ++reads;
    return MemoryStream::Read(b, n);
  }
  std::int64_t Seek(std::int64_t offset, Origin origin) override {
    ++seeks;
    return MemoryStream::Seek(offset, origin);
  }
};

TEST(ReadAhead, ReadsAndSeeksMatchTheStreamUnderneath) {
  const std::vector<std::uint8_t> data = Numbers(300000);
  // Steps: a read of n bytes (n > 0), or a seek (origin, offset); the buffer holds 1000 bytes.
  struct Step {
    bool read;
    std::int64_t n;
    Origin origin;
  } steps[] = {
      {true, 4, Origin::Current},      {true, 13, Origin::Current},    {false, 100, Origin::Current},
      {true, 900, Origin::Current},    {false, -50, Origin::Current},  {true, 60, Origin::Current},
      {true, 5000, Origin::Current},   {false, 2500, Origin::Current}, {false, 10, Origin::Begin},
      {true, 1, Origin::Current},      {false, -8, Origin::End},       {true, 20, Origin::Current},
      {false, 299990, Origin::Begin},  {true, 4, Origin::Current},     {false, 400000, Origin::Begin},
      {true, 4, Origin::Current},
  };
  plat::MemoryStream plain(data);
  CountingStream inner(data);
  {
    ReadAheadStream ahead(inner, 1000);
    for (const Step& s : steps) {
      const std::size_t i = static_cast<std::size_t>(&s - steps);
      if (s.read) {
        std::vector<std::uint8_t> a(static_cast<std::size_t>(s.n)), b(a.size());
        const std::int32_t got = ahead.Read(a.data(), static_cast<std::int32_t>(s.n));
        ASSERT_EQ(got, plain.Read(b.data(), static_cast<std::int32_t>(s.n))) << "step " << i;
        a.resize(static_cast<std::size_t>(got));
        b.resize(static_cast<std::size_t>(got));
        EXPECT_EQ(a, b) << "step " << i;
      } else {
        EXPECT_EQ(ahead.Seek(s.n, s.origin), plain.Seek(s.n, s.origin)) << "step " << i;
      }
      EXPECT_EQ(ahead.Position(), plain.Position()) << "step " << i;
      EXPECT_EQ(ahead.Size(), plain.Size()) << "step " << i;
    }
    EXPECT_THROW(ahead.WriteBuffer("x", 1), plat::StreamError);
  }
  // Let go of, the stream underneath stands where the reads stopped.
  EXPECT_EQ(inner.Position(), plain.Position());
}

TEST(ReadAhead, SmallReadsAndShortStepsCostOneReadPerBuffer) {
  CountingStream inner(Numbers(100000));
  ReadAheadStream ahead(inner, 10000);
  std::uint8_t b[16];
  for (int i = 0; i < 1000; ++i) {  // 1000 x (4-byte read + 56-byte step) = 60,000 bytes
    ahead.ReadBuffer(b, 4);
    ahead.Seek(56, Origin::Current);
  }
  EXPECT_LE(inner.reads, 7);
  // One to find the starting position, and one where a step goes past the buffer's end.
  EXPECT_LE(inner.seeks, 7);
  EXPECT_EQ(ahead.Position(), 60000);
  ahead.Release();
  EXPECT_EQ(inner.Position(), 60000);
}

TEST(ReadAhead, ShortReadsAndDeviceErrorsReachTheReader) {
  plat::MemoryStream inner(Numbers(10));
  ReadAheadStream ahead(inner, 4);
  std::uint8_t b[16];
  EXPECT_THROW(ahead.ReadBuffer(b, 11), plat::StreamError);  // a short read is never success

  struct Failing : plat::MemoryStream {
    using MemoryStream::MemoryStream;
    std::int32_t Read(void*, std::int32_t) override { throw plat::StreamError("Cannot read file \"x\""); }
  } failing(Numbers(10));
  ReadAheadStream broken(failing, 4);
  try {
    broken.ReadBuffer(b, 2);
    FAIL();
  } catch (const plat::StreamError& e) {
    EXPECT_STREQ(e.what(), "Cannot read file \"x\"");
  }
}

TEST(ReadAhead, RestoreAndWalkLeaveACallersStreamAfterTheArchive) {
  using namespace testsupport;
  std::vector<std::uint8_t> bytes = Build({Member("c:\\a.txt", Content(50000, 31))});
  const std::size_t archiveEnd = bytes.size();
  // Whatever follows the archive in the caller's stream is not the reader's to consume.
  bytes.resize(bytes.size() + 200000, 0xAB);

  plat::MemoryStream stream(bytes);
  archive::TBackupFile bf;
  int members = 0;
  bf.OnRestoreFile = [&](archive::TBackupFile*, std::string&, std::int32_t, bool& doRestore) {
    ++members;
    doRestore = false;  // passed over: the reader steps over the blocks
  };
  EXPECT_TRUE(bf.RestoreFromStream(&stream, ""));
  EXPECT_EQ(members, 1);
  EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(archiveEnd));

  // The walk over an installer's own stream stops before the payload trailer.
  plat::MemoryStream stub(std::vector<std::uint8_t>{'M', 'Z', 1, 2, 3});
  plat::MemoryStream installer;
  archive::ArchiveWriter().WriteInstaller(stub, {Member("c:\\b.txt", Content(70000, 32))}, installer);
  {
    archive::ArchiveWalker walker(installer, "setup.exe");
    walker.ReadHeader();
    EXPECT_EQ(walker.Walk([](const archive::MemberRecord&) { return false; }, nullptr).size(), 2u);
    walker.CheckTail();
  }
  EXPECT_EQ(installer.Position(), installer.Size() - archive::kTrailerSize);
}

}  // namespace
