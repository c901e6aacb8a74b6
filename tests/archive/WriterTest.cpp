// The writer's bytes: header, catalogue, blocks, markers, the installer's trailer.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include <zlib.h>

#include "archive/Payload.h"
#include "platform/Error.h"
#include "support/ArchiveBytes.h"
#include "support/ArchiveMap.h"
#include "support/SeededBytes.h"

namespace {

using namespace testsupport;
using archive::ArchiveWriter;
using archive::WriterMember;
using archive::WriterOptions;

// A member whose content is size zero bytes, made on demand.
WriterMember Zeros(const std::string& name, std::int64_t size) {
  WriterMember m;
  m.name = name;
  m.dosDateTime = kJuly2003;
  m.size = size;
  m.open = [size] {
    return std::make_unique<plat::MemoryStream>(std::vector<std::uint8_t>(static_cast<std::size_t>(size)));
  };
  return m;
}

std::vector<std::uint8_t> Inflate(const std::uint8_t* data, std::size_t n) {
  std::vector<std::uint8_t> out(archive::kBlockSize);
  uLongf outLen = static_cast<uLongf>(out.size());
  EXPECT_EQ(uncompress(out.data(), &outLen, data, static_cast<uLong>(n)), Z_OK);
  out.resize(outLen);
  return out;
}

// Thirteen members shaped like the shipped product: 11,127,132 bytes of files and a catalogue
// of exactly 812 bytes.
std::vector<WriterMember> ShippedShape() {
  const std::string root = "c:\\nortavia\\lumidesk\\";
  const std::string rtf = root + "modellirtf\\";
  std::vector<WriterMember> m = {
      Zeros(root + "lumidesk.exe", 9178112), Zeros(root + "search.ico", 766),
      Zeros(rtf + "lettera.rvf", 4881),      Zeros(rtf + "fattura.rvf", 98919),
      Zeros(rtf + "offerta.rvf", 20000),     Zeros(rtf + "ordine.rvf", 25000),
      Zeros(rtf + "verbale.rvf", 27326),     Zeros(rtf + "lettera.bmp", 22128),
      Zeros(rtf + "fattura.bmp", 22128),     Zeros(rtf + "offerta.bmp", 22128),
      Zeros(root + "lumidesk.hlp", 1661488), Zeros(rtf + "ordine.bmp", 22128),
      Zeros(rtf + "verbale.bmp", 22128)};
  const std::size_t len = archive::CatalogueText(m).size();
  EXPECT_LE(len, 812u);
  m[12].name = rtf + std::string(812 - len, 'v') + "verbale.bmp";
  return m;
}

TEST(WriterGolden, WorkedExampleHeaderAndCatalogueStart) {
  WriterOptions options;
  options.title = "3.0.0.3";
  options.catalogueDateTime = kNov2004;
  const std::vector<WriterMember> members = ShippedShape();
  ASSERT_EQ(archive::CatalogueText(members).size(), 812u);
  const std::vector<std::uint8_t> bytes = Build(members, options);
  const std::vector<std::uint8_t> expected = {
      0x07, 0x00, 0x00, 0x00, 0x33, 0x2E, 0x30, 0x2E, 0x30, 0x2E, 0x33,        // title
      0x88, 0xCC, 0xA9, 0x00, 0x0D, 0x00, 0x00, 0x00,                          // sizes
      0x09, 0x00, 0x00, 0x00, 0x46, 0x49, 0x4C, 0x45, 0x3A, 0x4C, 0x49, 0x53, 0x54,  // name
      0xC2, 0x8E, 0x76, 0x31, 0x45, 0x43, 0x32, 0x00};                         // date, "EC2"
  ASSERT_GT(bytes.size(), expected.size() + 6);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + expected.size()), expected);
  EXPECT_GT(LoadInt(bytes, expected.size()), 0);  // a compressed block
  EXPECT_EQ(bytes[expected.size() + 4], 0x78);
  EXPECT_EQ(bytes[expected.size() + 5], 0x01);
}

TEST(WriterGolden, InstallerEndsInMarkersAndTrailer) {
  WriterOptions options;
  options.title = "3.0.0.3";
  const std::vector<WriterMember> members = {Member("c:\\a\\b.txt", "hello")};
  const std::vector<std::uint8_t> archiveBytes = Build(members, options);
  // Stubs of every size modulo 8: zero bytes in front of the archive bring the file to a
  // multiple of 8 (signing adds none then), and the trailer names where the archive starts.
  for (std::size_t extra = 0; extra < 8; ++extra) {
    std::vector<std::uint8_t> stubBytes(0x88800 + extra, 0x90);
    stubBytes[0] = 'M';
    stubBytes[1] = 'Z';
    plat::MemoryStream stub(stubBytes);
    plat::MemoryStream out;
    ArchiveWriter(options).WriteInstaller(stub, members, out);
    const std::vector<std::uint8_t>& b = out.Bytes();
    ASSERT_GE(b.size(), stubBytes.size() + archiveBytes.size() + 4) << extra;
    const std::size_t padding = b.size() - stubBytes.size() - archiveBytes.size() - 4;
    EXPECT_EQ(b.size() % 8, 0u) << extra;
    EXPECT_LT(padding, 8u) << extra;
    const std::size_t offset = stubBytes.size() + padding;
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + stubBytes.size()), stubBytes);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + stubBytes.size(), b.begin() + offset),
              std::vector<std::uint8_t>(padding, 0))
        << extra;
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + offset, b.end() - 4), archiveBytes) << extra;
    const std::vector<std::uint8_t> tail(b.end() - 12, b.end());
    EXPECT_EQ(tail, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0,
                                               static_cast<std::uint8_t>(offset), 0x88, 0x08, 0x00}))
        << extra;

    EXPECT_EQ(archive::LocatePayload(out), offset);
    EXPECT_EQ(out.Position(), static_cast<std::int64_t>(offset));
    EXPECT_EQ(LoadInt(b, offset), 7);
  }
}

TEST(WriterLayout, CatalogueLinesBlocksAndCounts) {
  const std::string full = Content(16384, 1);
  const std::string over = Content(16385, 2);
  const std::vector<WriterMember> members = {
      Member("c:\\p\\empty.txt", "", kJuly2003), Member("c:\\p\\full.bin", full, kNov2004),
      Member("c:\\p\\over.bin", over), Member("file:list", "lower case is a file")};
  const std::vector<std::uint8_t> bytes = Build(members);
  const ArchiveMap a = ArchiveMap::Of(bytes);
  ASSERT_EQ(a.members.size(), 5u);
  EXPECT_EQ(a.fileCount, 4);
  const std::string catalogue =
      "c:\\p\\empty.txt\t" + std::to_string(static_cast<std::int32_t>(kJuly2003)) + "=0\r\n" +
      "c:\\p\\full.bin\t" + std::to_string(static_cast<std::int32_t>(kNov2004)) + "=16384\r\n" +
      "c:\\p\\over.bin\t" + std::to_string(static_cast<std::int32_t>(kJuly2003)) + "=16385\r\n" +
      "file:list\t" + std::to_string(static_cast<std::int32_t>(kJuly2003)) + "=20\r\n";
  EXPECT_EQ(a.totalSize, static_cast<std::int32_t>(catalogue.size() + 16384 + 16385 + 20));
  EXPECT_EQ(a.members[0].name, "FILE:LIST");
  EXPECT_EQ(a.members[0].when, kNov2004);  // the latest member date-time
  ASSERT_EQ(a.members[0].blocks.size(), 1u);
  const auto& cb = a.members[0].blocks[0];
  EXPECT_EQ(Inflate(&bytes[cb.offset], static_cast<std::size_t>(cb.length)), Bytes(catalogue));

  EXPECT_TRUE(a.members[1].blocks.empty());  // "=0": signature, then the end marker
  EXPECT_EQ(a.members[2].blocks.size(), 1u);
  ASSERT_EQ(a.members[3].blocks.size(), 2u);
  const auto& last = a.members[3].blocks[1];
  EXPECT_EQ(last.length, -1);  // one byte does not compress: it is stored
  EXPECT_EQ(bytes[last.offset], static_cast<std::uint8_t>(over[16384]));
  EXPECT_EQ(a.members[4].name, "file:list");
  EXPECT_EQ(a.size, bytes.size());
}

TEST(WriterLayout, BlocksAreTheOneCallCompressionOrStoredWhenNotShorter) {
  const std::string text = Content(40000, 3);
  const std::string noise = Content(20000, 4, false);
  for (int level : {1, 6, 9}) {
    WriterOptions options;
    options.level = level;
    options.writeCatalogue = false;
    const std::vector<std::uint8_t> bytes =
        Build({Member("c:\\t.txt", text), Member("c:\\n.bin", noise)}, options);
    const ArchiveMap a = ArchiveMap::Of(bytes);
    ASSERT_EQ(a.members.size(), 2u);
    const std::string* sources[] = {&text, &noise};
    for (std::size_t i = 0; i < 2; ++i) {
      for (std::size_t k = 0; k < a.members[i].blocks.size(); ++k) {
        const BlockInfo& blk = a.members[i].blocks[k];
        const std::string piece = sources[i]->substr(k * 16384, 16384);
        const std::vector<std::uint8_t> data(bytes.begin() + static_cast<long>(blk.offset),
                                             bytes.begin() + static_cast<long>(blk.offset) +
                                                 (blk.length < 0 ? -blk.length : blk.length));
        if (i == 0) {
          EXPECT_EQ(data, Compress(piece, level)) << "level " << level << " block " << k;
          if (level == 1) {
            EXPECT_EQ(data[1], 0x01);
          }
        } else {
          EXPECT_LT(blk.length, 0) << "noise does not compress";
          EXPECT_EQ(data, Bytes(piece));
        }
      }
    }
  }
}

TEST(WriterLayout, LevelZeroStoresEveryPiece) {
  WriterOptions options;
  options.level = 0;
  const std::string text = Content(20000, 5);
  const std::vector<std::uint8_t> bytes = Build({Member("c:\\t.txt", text)}, options);
  for (const MemberInfo& m : ArchiveMap::Of(bytes).members) {
    for (const BlockInfo& b : m.blocks) EXPECT_LT(b.length, 0) << m.name;
  }
}

TEST(WriterLayout, EmptyArchives) {
  // With a catalogue: header, a catalogue member without blocks, the end marker.
  const std::vector<std::uint8_t> with = Build({});
  const std::vector<std::uint8_t> expected = ArchiveBytes()
                                                 .Header("", 0, 0)
                                                 .MemberStart("FILE:LIST", 0)  // no member: date-time 0
                                                 .Int(0)
                                                 .Int(0)
                                                 .b;
  EXPECT_EQ(with, expected);

  WriterOptions options;
  options.writeCatalogue = false;
  options.title = "t";
  EXPECT_EQ(Build({}, options), ArchiveBytes().Header("t", 0, 0).Int(0).b);
}

TEST(WriterLayout, ContentOfTheWrongSizeIsRefusedNamingTheMember) {
  WriterMember shorter = Member("c:\\short.txt", "abc");
  shorter.size = 4;
  WriterMember longer = Member("c:\\long.txt", "abcde");
  longer.size = 4;
  for (const WriterMember& m : {shorter, longer}) {
    plat::MemoryStream out;
    try {
      ArchiveWriter().Write({m}, out);
      FAIL() << m.name;
    } catch (const plat::Error& e) {
      EXPECT_NE(std::string(e.what()).find(m.name), std::string::npos) << e.what();
    }
  }
}

TEST(WriterLayout, ContentHandedOverInDribblesIsReadWhole) {
  // A stream that never gives more than 1000 bytes per read.
  struct Dribble : plat::MemoryStream {
    using MemoryStream::MemoryStream;
    std::int32_t Read(void* b, std::int32_t n) override {
      return MemoryStream::Read(b, n < 1000 ? n : 1000);
    }
  };
  const std::string data = Content(40000, 12);
  WriterMember m = Member("c:\\d.txt", data);
  m.open = [data] { return std::make_unique<Dribble>(Bytes(data)); };
  EXPECT_EQ(Build({m}), Build({Member("c:\\d.txt", data)}));
}

TEST(WriterLayout, ReservedNamesAreRefusedButLowerCaseIsAFile) {
  for (const char* name : {"FILE:LIST", "NEXT:DISK002", "NEXT:DISK"}) {
    plat::MemoryStream out;
    EXPECT_THROW(ArchiveWriter().Write({Member(name, "x")}, out), plat::Error) << name;
  }
  plat::MemoryStream out;
  EXPECT_NO_THROW(ArchiveWriter().Write({Member("next:disk002", "x")}, out));
}

TEST(WriterLayout, PluggedEncoderGivesTheSameBytesWithinItsWindow) {
  // Encodes everything handed over when a piece is taken, last first, as a pool would finish
  // them out of order.
  struct Reversing : archive::PieceEncoder {
    std::deque<archive::Piece> held;
    std::size_t most = 0;
    std::size_t Window() const override { return 3; }
    void Submit(archive::Piece piece) override {
      held.push_back(std::move(piece));
      most = std::max(most, held.size());
    }
    archive::Piece Take() override {
      for (auto it = held.rbegin(); it != held.rend(); ++it) {
        if (it->encoded.empty()) archive::EncodePiece(*it, archive::kDefaultLevel);
      }
      archive::Piece piece = std::move(held.front());
      held.pop_front();
      return piece;
    }
  } reversing;
  const std::vector<WriterMember> members = {Member("c:\\a", Content(100000, 6)),
                                             Member("c:\\e", ""),
                                             Member("c:\\b", Content(30000, 7, false)),
                                             Member("c:\\c", Content(5, 8))};
  WriterOptions options;
  options.encoder = &reversing;
  std::int64_t lastDone = 0, lastTotal = 0;
  options.onProgress = [&](std::int64_t done, std::int64_t total) {
    EXPECT_GT(done, lastDone);
    lastDone = done;
    lastTotal = total;
  };
  EXPECT_EQ(Build(members, options), Build(members));
  EXPECT_EQ(reversing.most, 3u);
  EXPECT_TRUE(reversing.held.empty());
  EXPECT_EQ(lastDone, lastTotal);
}

TEST(WriterLayout, OptionsOutOfRangeAreRefused) {
  WriterOptions bad;
  bad.level = 10;
  EXPECT_THROW(ArchiveWriter{bad}, plat::Error);
  WriterOptions volumes;
  volumes.maxSize = 1000;
  plat::MemoryStream out;
  EXPECT_THROW(ArchiveWriter(volumes).Write({}, out), plat::Error);
  EXPECT_EQ(archive::NextVolumeName("c:\\o\\setup.lpk", 2), "c:\\o\\setup.002");
  EXPECT_EQ(archive::NextVolumeName("c:\\o\\setup", 12), "c:\\o\\setup.012");
}

}  // namespace
