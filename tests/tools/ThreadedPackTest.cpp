// The packer on a pool of threads: the same bytes as one thread writes, for every shape of
// input (empty, one byte, exact and odd multiples of a piece, stored blocks, volumes,
// installers); an encoding failure ends the write cleanly; the command line's --threads and
// --codec options.
#include <gtest/gtest.h>

#include <atomic>

#include "archive/ArchiveWriter.h"
#include "archive/BlockCodecs.h"
#include "platform/Error.h"
#include "support/ArchiveBytes.h"
#include "support/LumipackRun.h"
#include "support/SeededBytes.h"
#include "tools/lumipack/ThreadedEncoder.h"

namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

// Deterministic bytes: text-like, or noise that deflate cannot shrink (stored blocks).
std::string Bytes(std::size_t size, unsigned seed, bool noise = false) {
  const std::uint32_t x = testsupport::Spread(seed, 7u);
  return noise ? testsupport::Noise(size, x)
               : testsupport::Letters(size, x, "program data help text template bitmap icon ", 29);
}

archive::WriterMember Member(const std::string& name, const std::string& bytes) {
  return testsupport::Member(name, bytes, 0x2F3A4B5Cu);
}

std::vector<std::uint8_t> Write(const std::vector<archive::WriterMember>& members,
                                archive::PieceEncoder* encoder, int level = 1) {
  archive::WriterOptions options;
  options.title = "t";
  options.level = level;
  options.encoder = encoder;
  return testsupport::Build(members, options);
}

TEST(ThreadedPack, EveryShapeOfInputGivesTheSingleThreadedBytes) {
  const std::vector<std::vector<archive::WriterMember>> sets = {
      {},
      {Member("c:\\e", "")},
      {Member("c:\\one", "x")},
      {Member("c:\\a", Bytes(16384, 1)), Member("c:\\b", Bytes(16385, 2)),
       Member("c:\\c", Bytes(16383, 3))},
      {Member("c:\\big", Bytes(500000, 4)), Member("c:\\empty", ""),
       Member("c:\\noise", Bytes(70000, 5, true)), Member("c:\\tail", Bytes(10, 6))},
      // Many small members: the window spans member boundaries.
      [] {
        std::vector<archive::WriterMember> many;
        for (int i = 0; i < 300; ++i) {
          many.push_back(Member("c:\\m\\f" + std::to_string(i), Bytes(static_cast<std::size_t>(i * 97), i, i % 7 == 0)));
        }
        return many;
      }(),
  };
  for (std::size_t s = 0; s < sets.size(); ++s) {
    for (int level : {0, 1, 9}) {
      const std::vector<std::uint8_t> single = Write(sets[s], nullptr, level);
      for (int threads : {1, 2, 3, 8}) {
        lumipack::ThreadedEncoder pool(archive::ZlibCodec(), level, threads);
        EXPECT_EQ(pool.Window(), lumipack::ThreadedEncoder::kPiecesPerThread * static_cast<std::size_t>(threads));
        EXPECT_TRUE(Write(sets[s], &pool, level) == single)
            << "set " << s << ", level " << level << ", " << threads << " threads";
      }
    }
  }
}

// A codec whose deflater fails on the n-th piece it is given, counted over all threads.
class FailingCodec : public archive::BlockCodec {
 public:
  explicit FailingCodec(int failAt) : failAt_(failAt) {}
  const char* Name() const override { return "failing"; }
  std::unique_ptr<archive::BlockInflater> NewInflater() const override {
    return archive::ZlibCodec().NewInflater();
  }
  std::unique_ptr<archive::BlockDeflater> NewDeflater(int level) const override {
    struct Deflater : archive::BlockDeflater {
      const FailingCodec* codec;
      std::unique_ptr<archive::BlockDeflater> inner;
      bool Deflate(const std::uint8_t* in, std::int32_t n, std::vector<std::uint8_t>& out) override {
        if (++codec->count_ == codec->failAt_) throw plat::Error("Compression error: injected");
        return inner->Deflate(in, n, out);
      }
    };
    auto d = std::make_unique<Deflater>();
    d->codec = this;
    d->inner = archive::ZlibCodec().NewDeflater(level);
    return d;
  }

 private:
  int failAt_;
  mutable std::atomic<int> count_{0};
};

TEST(ThreadedPack, AnEncodingFailureEndsTheWriteWithItsError) {
  const std::vector<archive::WriterMember> members = {Member("c:\\a", Bytes(400000, 7)),
                                                      Member("c:\\b", Bytes(50000, 8))};
  for (int failAt : {1, 2, 13, 27}) {
    FailingCodec codec(failAt);
    lumipack::ThreadedEncoder pool(codec, 1, 3);
    try {
      Write(members, &pool);
      FAIL() << "piece " << failAt;
    } catch (const plat::Error& e) {
      EXPECT_STREQ(e.what(), "Compression error: injected") << failAt;
    }
  }  // the pool's threads are stopped and joined with pieces still in flight
}

class ThreadedPackCliTest : public testsupport::ScratchDriveTest {
 protected:
  // A tree of files with pieces of every kind.
  void MakeTree() {
    for (const char* folder : {"in\\img", "in\\doc"}) {
      ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(Path(folder)));
    }
    WriteWholeFile(Path("in\\prog.exe"), Bytes(300000, 11));
    WriteWholeFile(Path("in\\img\\photo.jpg"), Bytes(50000, 12, true));
    WriteWholeFile(Path("in\\img\\empty.bmp"), "");
    WriteWholeFile(Path("in\\doc\\read.txt"), Bytes(16384, 13));
  }
  testsupport::LumipackResult Create(const std::string& out, int threads, std::int64_t volumeSize = 0,
                        const std::string& stub = "") {
    lumipack::CreateOptions o;
    o.out = Path(out);
    o.inputs = {"in"};
    o.threads = threads;
    o.volumeSize = volumeSize;
    if (!stub.empty()) o.stub = Path(stub);
    return testsupport::LumipackCreate(o, Base());
  }
};

TEST_F(ThreadedPackCliTest, ThreadedCreateWritesTheSameFilesAsOneThread) {
  MakeTree();
  WriteWholeFile(Path("stub.exe"), "MZ" + Bytes(3000, 14));
  struct Case {
    std::int64_t volumeSize;
    bool installer;
  } cases[] = {{0, false}, {60000, false}, {0, true}};
  for (const Case& c : cases) {
    const std::string tag = std::to_string(c.volumeSize) + (c.installer ? "i" : "");
    const std::string stub = c.installer ? "stub.exe" : "";
    ASSERT_EQ(Create("one" + tag + ".lpk", 1, c.volumeSize, stub).status, 0) << tag;
    ASSERT_EQ(Create("four" + tag + ".lpk", 4, c.volumeSize, stub).status, 0) << tag;
    EXPECT_EQ(ReadWholeFile(Path("one" + tag + ".lpk")), ReadWholeFile(Path("four" + tag + ".lpk")))
        << tag;
    for (int disk = 2; c.volumeSize != 0; ++disk) {
      const std::string one = archive::NextVolumeName(Path("one" + tag + ".lpk"), disk);
      if (!plat::RealFileSystem().FileExists(one)) {
        EXPECT_GT(disk, 3) << "the volume size should have split the archive";
        break;
      }
      EXPECT_EQ(ReadWholeFile(one), ReadWholeFile(archive::NextVolumeName(Path("four" + tag + ".lpk"), disk)))
          << tag << " volume " << disk;
    }
  }
}

TEST_F(ThreadedPackCliTest, CodecOptionsReadTheSameAndRefuseUnknownNames) {
  MakeTree();
  const std::string archivePath = Path("a.lpk");
  ASSERT_EQ(Create("a.lpk", 2).status, 0);
  const testsupport::LumipackResult zlibVerify = testsupport::Lumipack({"verify", archivePath});
  ASSERT_EQ(zlibVerify.status, 0) << zlibVerify.err;
  for (const std::string& codec : archive::BlockCodecNames()) {
    const testsupport::LumipackResult v = testsupport::Lumipack({"verify", archivePath, "--codec", codec});
    EXPECT_EQ(v.status, 0) << codec << ": " << v.err;
    EXPECT_EQ(v.out, zlibVerify.out) << codec;
    const std::string dir = Path("x-" + codec);
    const testsupport::LumipackResult x = testsupport::Lumipack({"extract", "--codec", codec, archivePath, "-d", dir});
    EXPECT_EQ(x.status, 0) << codec << ": " << x.err;
    EXPECT_EQ(ReadWholeFile(dir + "\\prog.exe"), Bytes(300000, 11)) << codec;
    EXPECT_EQ(ReadWholeFile(dir + "\\photo.jpg"), Bytes(50000, 12, true)) << codec;
  }

  // A damaged block is reported in the same words whatever the codec: an archive of the one
  // compressible file, damaged in the middle of its compressed data.
  lumipack::CreateOptions solo;
  solo.out = Path("solo.lpk");
  solo.inputs = {"in\\prog.exe"};
  ASSERT_EQ(testsupport::LumipackCreate(solo, Base()).status, 0);
  std::string bytes = ReadWholeFile(solo.out);
  bytes[bytes.size() / 2] ^= 0x20;
  WriteWholeFile(Path("bad.lpk"), bytes);
  const testsupport::LumipackResult zlibBad = testsupport::Lumipack({"verify", Path("bad.lpk")});
  EXPECT_EQ(zlibBad.status, lumipack::kExitFailure);
  EXPECT_NE(zlibBad.err.find("block"), std::string::npos) << zlibBad.err;
  for (const std::string& codec : archive::BlockCodecNames()) {
    const testsupport::LumipackResult v = testsupport::Lumipack({"verify", Path("bad.lpk"), "--codec", codec});
    EXPECT_EQ(v.status, zlibBad.status) << codec;
    EXPECT_EQ(v.err, zlibBad.err) << codec;
    const testsupport::LumipackResult x = testsupport::Lumipack({"extract", Path("bad.lpk"), "--codec", codec, "-d", Path("bad-" + codec)});
    EXPECT_EQ(x.status, lumipack::kExitFailure) << codec;
  }

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"create", "--threads", "0", "-o", Path("z.lpk"), Path("in")},
           {"create", "--threads", "65", "-o", Path("z.lpk"), Path("in")},
           {"create", "--threads", "-o", Path("z.lpk")},
           {"create", "--codec", "gzip", "-o", Path("z.lpk"), Path("in")},
           {"extract", archivePath, "--codec", "nope"},
           {"verify", archivePath, "--codec"},
           {"verify", archivePath, "--level", "1"}}) {
    EXPECT_EQ(testsupport::Lumipack(args).status, lumipack::kExitUsage) << args[1] << " " << args[2];
  }
  EXPECT_FALSE(plat::RealFileSystem().FileExists(Path("z.lpk")));
}

}  // namespace
