// lumipack on sound archives: what create writes byte for byte, and that list, verify and
// extract read it back, as a plain archive, as volumes and as an installer.
#include <gtest/gtest.h>

#include <cstdio>

#include "archive/BackupFormat.h"
#include "platform/Files.h"
#include "support/ArchiveBytes.h"
#include "support/LumipackRun.h"
#include "support/PeImage.h"
#include "support/SeededBytes.h"
#include "tools/lumipack/Catalogue.h"
#include "tools/synthetic/SyntheticPayload.h"

namespace {

using testsupport::Lumipack;
using testsupport::ArchiveBytes;
using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

class LumipackTest : public testsupport::ScratchDriveTest {
 protected:
  void SetUp() override {
    fs.ForceDirectories(Path("in\\d\\sub"));
    files = {{"d\\a.txt", testsupport::Prose(40000)},
             {"d\\empty.bin", ""},
             {"d\\noise.bin", testsupport::Noise(16385, 7, 23)},
             {"d\\sub\\x.txt", testsupport::Prose(16384)}};
    for (const auto& f : files) WriteWholeFile(Path("in\\" + f.first), f.second);
  }
  lumipack::CreateOptions Options(const std::string& out) {
    lumipack::CreateOptions o;
    o.out = Path(out);
    o.title = "T";
    o.prefix = "c:\\p\\";
    o.inputs = {"d"};
    return o;
  }
  // The archive the format prescribes for the input tree.
  std::string Expected(const std::string& title, int level) {
    std::string catalogue;
    std::size_t total = 0;
    for (const auto& f : files) {
      catalogue += testsupport::CatalogueLine("c:\\p\\" + f.first, Age(f.first), f.second.size());
      total += f.second.size();
    }
    ArchiveBytes b;
    b.Header(title, static_cast<std::int32_t>(total + catalogue.size()),
             static_cast<std::int32_t>(files.size()));
    std::uint32_t latest = 0;
    for (const auto& f : files) latest = std::max(latest, Age(f.first));
    b.Member("FILE:LIST", latest, catalogue, level);
    for (const auto& f : files) b.Member("c:\\p\\" + f.first, Age(f.first), f.second, level);
    b.Int(0);
    return b.Str();
  }
  std::uint32_t Age(const std::string& relative) {
    return static_cast<std::uint32_t>(fs.FileAge(Path("in\\" + relative)));
  }

  plat::FileSystem& fs = plat::RealFileSystem();
  std::vector<std::pair<std::string, std::string>> files;
};

TEST_F(LumipackTest, CreateWritesWhatTheFormatPrescribes) {
  const auto r = testsupport::LumipackCreate(Options("out.lpk"), Path("in"));
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(Expected("T", 1), ReadWholeFile(Path("out.lpk")));
  EXPECT_NE(std::string::npos, r.out.find("4 files")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("(2 stored)")) << r.out;  // noise: 16,384 + 1 byte

  auto o = Options("nine.lpk");
  o.level = 9;
  o.title = "";
  ASSERT_EQ(0, testsupport::LumipackCreate(o, Path("in")).status);
  EXPECT_EQ(Expected("", 9), ReadWholeFile(Path("nine.lpk")));
}

// Through the command line: with -C the INPUTs are taken, and the members named, from there.
TEST_F(LumipackTest, CreateTakesFilesAndFoldersInTheOrderGivenAndSortsFolders) {
  const auto created = Lumipack({"create", "-o", Path("two.lpk"), "--prefix", "c:\\p\\", "-C",
                                 Path("in"), "d\\sub\\x.txt", "./d/"});
  ASSERT_EQ(0, created.status) << created.err;
  const auto r = Lumipack({"list", Path("two.lpk")});
  ASSERT_EQ(0, r.status) << r.err;
  const std::size_t single = r.out.find("c:\\p\\d\\sub\\x.txt");
  const std::size_t a = r.out.find("c:\\p\\d\\a.txt");
  ASSERT_NE(std::string::npos, single);
  ASSERT_NE(std::string::npos, a);
  EXPECT_LT(single, a);
  EXPECT_NE(std::string::npos, r.out.find("5 files,"));
}

TEST_F(LumipackTest, AnOutputInsideAnInputFolderIsNotPackedIntoItself) {
  auto o = Options("in\\d\\self.lpk");
  o.volumeSize = 17000;
  ASSERT_EQ(0, testsupport::LumipackCreate(o, Path("in")).status);
  ASSERT_TRUE(fs.FileExists(Path("in\\d\\self.002")));
  // The second run finds the first run's volumes among its inputs and leaves them out.
  const auto again = testsupport::LumipackCreate(o, Path("in"));
  ASSERT_EQ(0, again.status) << again.err;
  EXPECT_NE(std::string::npos, again.out.find(" 4 files,")) << again.out;
  EXPECT_EQ(0, Lumipack({"verify", Path("in\\d\\self.lpk")}).status);
}

TEST_F(LumipackTest, ListShowsTitleAndCatalogue) {
  ASSERT_EQ(0, testsupport::LumipackCreate(Options("out.lpk"), Path("in")).status);
  const auto r = Lumipack({"list", Path("out.lpk")});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.err);
  std::string expected = "Title: T\n";
  const std::size_t width = std::string("c:\\p\\d\\empty.bin").size() + 2;
  for (const auto& f : files) {
    char size[16];
    std::snprintf(size, sizeof size, "%12zu", f.second.size());
    const std::string name = "c:\\p\\" + f.first;
    expected += name + std::string(width - name.size(), ' ') + lumipack::FormatDosDateTime(Age(f.first)) +
                size + "\n";
  }
  expected += "4 files, 72769 bytes\n";
  EXPECT_EQ(expected, r.out);
}

TEST(LumipackCatalogue, DatesAndLines) {
  EXPECT_EQ("2004-11-22 17:54:04", lumipack::FormatDosDateTime(0x31768EC2u));
  EXPECT_EQ("1980-00-00 00:00:00", lumipack::FormatDosDateTime(0));
  std::vector<lumipack::CatalogueLine> lines;
  std::string error;
  ASSERT_TRUE(lumipack::ParseCatalogue("c:\\a b.txt\t1=2\r\nx\ty\t4294967295=0\r\n", lines, error));
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("c:\\a b.txt", lines[0].name);
  EXPECT_EQ(2, lines[0].size);
  EXPECT_EQ("x\ty", lines[1].name);
  EXPECT_EQ(4294967295u, lines[1].dateTime);
  EXPECT_TRUE(lumipack::ParseCatalogue("", lines, error));
  EXPECT_TRUE(lines.empty());
  for (const char* bad : {"a\t1=2", "a\t1=2\n", "a\t1=2\r", "a 1=2\r\n", "\t1=2\r\n", "a\t1=\r\n",
                          "a\t4294967296=1\r\n", "a\t-1=1\r\n", "a\t1=2\r\nb\t1=x\r\n"}) {
    EXPECT_FALSE(lumipack::ParseCatalogue(bad, lines, error)) << bad;
    EXPECT_EQ(0u, error.find("catalogue line ")) << error;
  }
}

TEST_F(LumipackTest, ExtractRestoresFilesAndTheirTimesFlatOrWithFolders) {
  ASSERT_EQ(0, testsupport::LumipackCreate(Options("out.lpk"), Path("in")).status);
  auto r = Lumipack({"extract", Path("out.lpk"), "-d", Path("flat")});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.err);
  EXPECT_EQ("4 files extracted to " + Path("flat") + "\n", r.out);
  for (const auto& f : files) {
    const std::string target = Path("flat\\" + plat::ExtractFileName(f.first));
    EXPECT_EQ(f.second, ReadWholeFile(target)) << target;
    EXPECT_EQ(static_cast<std::int32_t>(Age(f.first)), fs.FileAge(target)) << target;
  }

  r = Lumipack({"extract", "--full-path", Path("out.lpk"), "-d", Path("full")});
  ASSERT_EQ(0, r.status) << r.err;
  for (const auto& f : files) {
    EXPECT_EQ(f.second, ReadWholeFile(Path("full\\p\\" + f.first))) << f.first;
  }
}

TEST_F(LumipackTest, VerifyReportsASoundArchive) {
  ASSERT_EQ(0, testsupport::LumipackCreate(Options("out.lpk"), Path("in")).status);
  const auto r = Lumipack({"verify", Path("out.lpk")});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(Path("out.lpk") + ": OK: title \"T\", 4 files, 72769 bytes, 7 blocks (2 stored), 1 volume\n",
            r.out);
}

TEST_F(LumipackTest, InstallerIsStubArchiveTrailerAndReadsBack) {
  const std::string stub = "MZ" + testsupport::Noise(998, 3, 23);
  WriteWholeFile(Path("stub.exe"), stub);
  auto o = Options("setup.exe");
  o.stub = Path("stub.exe");
  ASSERT_EQ(0, testsupport::LumipackCreate(o, Path("in")).status);
  const std::string installer = ReadWholeFile(Path("setup.exe"));
  const std::string archive = Expected("T", 1);
  // Zero bytes between the stub and the archive make the size a multiple of 8, so that signing
  // adds none; the trailer names where the archive starts.
  ASSERT_EQ(0u, installer.size() % 8);
  const std::size_t offset = installer.size() - 4 - archive.size();
  ASSERT_GE(offset, stub.size());
  ASSERT_LT(offset, stub.size() + 8);
  EXPECT_EQ(stub, installer.substr(0, stub.size()));
  EXPECT_EQ(std::string(offset - stub.size(), '\0'),
            installer.substr(stub.size(), offset - stub.size()));
  EXPECT_EQ(archive, installer.substr(offset, archive.size()));
  EXPECT_EQ(std::string({static_cast<char>(offset), static_cast<char>(offset >> 8), 0, 0}),
            installer.substr(installer.size() - 4));

  auto r = Lumipack({"verify", Path("setup.exe")});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.out.find(", installer"));
  r = Lumipack({"list", Path("setup.exe")});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(0u, r.out.find("Title: T\n"));
  r = Lumipack({"extract", Path("setup.exe"), "-d", Path("x")});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(files[0].second, ReadWholeFile(Path("x\\a.txt")));

  // A stub that is no Windows program is refused, and nothing is written.
  WriteWholeFile(Path("notes.txt"), std::string("hello"));
  o.stub = Path("notes.txt");
  o.out = Path("bad.exe");
  const auto bad = testsupport::LumipackCreate(o, Path("in"));
  EXPECT_NE(0, bad.status);
  EXPECT_NE(std::string::npos, bad.err.find("MZ")) << bad.err;
  EXPECT_FALSE(fs.FileExists(Path("bad.exe")));
}

TEST_F(LumipackTest, ASignedInstallerReadsAsBeforeAndSaysItIsSigned) {
  WriteWholeFile(Path("stub.exe"), testsupport::PeImage(4096));
  auto o = Options("setup.exe");
  o.stub = Path("stub.exe");
  ASSERT_EQ(0, testsupport::LumipackCreate(o, Path("in")).status);
  std::string file = ReadWholeFile(Path("setup.exe"));
  const std::size_t unsignedSize = file.size();
  testsupport::AppendCertificateTable(file, std::string(1500, '\x30'));
  ASSERT_EQ(unsignedSize + 1500, file.size()) << "signing padded the file";
  WriteWholeFile(Path("signed.exe"), file);
  const std::string signedLine =
      "Signed: certificate table of 1500 bytes after the payload (the signature is not checked "
      "here)\n";

  const auto list = Lumipack({"list", Path("setup.exe")});
  const auto signedList = Lumipack({"list", Path("signed.exe")});
  ASSERT_EQ(0, signedList.status) << signedList.err;
  EXPECT_EQ(list.out + signedLine, signedList.out);
  const auto verify = Lumipack({"verify", Path("setup.exe")});
  const auto signedVerify = Lumipack({"verify", Path("signed.exe")});
  ASSERT_EQ(0, signedVerify.status) << signedVerify.err;
  EXPECT_EQ(verify.out.substr(Path("setup.exe").size()) + signedLine,
            signedVerify.out.substr(Path("signed.exe").size()));
  ASSERT_EQ(0, Lumipack({"extract", Path("signed.exe"), "-d", Path("x")}).status);
  for (const auto& f : files) {
    EXPECT_EQ(f.second, ReadWholeFile(Path("x\\" + plat::ExtractFileName(f.first)))) << f.first;
  }

  // Bytes after the certificate table: every command refuses the file, extract writes nothing.
  WriteWholeFile(Path("appended.exe"), file + "appended");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", Path("appended.exe")},
        std::vector<std::string>{"verify", Path("appended.exe")},
        std::vector<std::string>{"extract", Path("appended.exe"), "-d", Path("y")}}) {
    const auto r = Lumipack(args);
    EXPECT_EQ(1, r.status) << args[0];
    EXPECT_NE(std::string::npos,
              r.err.find("a damaged installer: 8 bytes follow the certificate table (offset " +
                         std::to_string(unsignedSize) + ", 1500 bytes)"))
        << r.err;
  }
  EXPECT_FALSE(fs.DirectoryExists(Path("y")));

  // A signed stub would put its table before the archive: the installer is what gets signed.
  o.stub = Path("signed.exe");
  o.out = Path("twice.exe");
  const auto twice = testsupport::LumipackCreate(o, Path("in"));
  EXPECT_NE(0, twice.status);
  EXPECT_NE(std::string::npos, twice.err.find("the stub is signed")) << twice.err;
  EXPECT_FALSE(fs.FileExists(Path("twice.exe")));
}

TEST_F(LumipackTest, VolumesSplitAndReadBackAndAMissingOneIsNamed) {
  auto o = Options("vol.lpk");
  o.volumeSize = 17000;
  const auto created = testsupport::LumipackCreate(o, Path("in"));
  ASSERT_EQ(0, created.status) << created.err;
  ASSERT_TRUE(fs.FileExists(Path("vol.002")));
  ASSERT_TRUE(fs.FileExists(Path("vol.003")));

  auto r = Lumipack({"verify", Path("vol.lpk")});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.out.find("4 files, 72769 bytes")) << r.out;
  r = Lumipack({"list", Path("vol.lpk")});
  ASSERT_EQ(0, r.status) << r.err;
  r = Lumipack({"extract", Path("vol.lpk"), "-d", Path("v")});
  ASSERT_EQ(0, r.status) << r.err;
  for (const auto& f : files) {
    EXPECT_EQ(f.second, ReadWholeFile(Path("v\\" + plat::ExtractFileName(f.first)))) << f.first;
  }

  ASSERT_TRUE(fs.DeleteFile(Path("vol.003")));
  const std::vector<std::vector<std::string>> commands = {
      {"verify", Path("vol.lpk")}, {"extract", Path("vol.lpk"), "-d", Path("w")}};
  for (const auto& command : commands) {
    r = Lumipack(command);
    EXPECT_EQ(1, r.status) << command[0];
    EXPECT_NE(std::string::npos, r.err.find("next volume " + Path("vol.003") + " is missing")) << r.err;
    EXPECT_EQ(1, testsupport::Lines(r.err)) << r.err;
  }
  EXPECT_FALSE(fs.DirectoryExists(Path("w")));  // refused before anything was written
  // list reads only the catalogue, at the start of the first volume.
  EXPECT_EQ(0, Lumipack({"list", Path("vol.lpk")}).status);
}

TEST_F(LumipackTest, SyntheticProductPacksToTheShippedShape) {
  synthetic::WriteFiles(Path("product"));
  lumipack::CreateOptions o;
  o.out = Path("demo.lpk");
  o.title = synthetic::kTitle;
  o.prefix = "c:\\nortavia";
  o.inputs = {"lumidesk"};
  ASSERT_EQ(0, testsupport::LumipackCreate(o, Path("product")).status);
  const auto r = Lumipack({"verify", Path("demo.lpk")});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos,
            r.out.find("13 files, 11127132 bytes, 688 blocks (2 stored), 1 volume")) << r.out;
}

TEST_F(LumipackTest, ProgressBarOnlyWhenAsked) {
  ASSERT_EQ(0, testsupport::LumipackCreate(Options("out.lpk"), Path("in")).status);
  std::ostringstream out, err;
  lumipack::Context ctx{out, err, fs, true};
  ASSERT_EQ(0, lumipack::Run({"extract", Path("out.lpk"), "-d", Path("p")}, ctx));
  EXPECT_EQ(0u, err.str().find("\r["));
  EXPECT_NE(std::string::npos, err.str().find("100%"));
  EXPECT_NE(std::string::npos, err.str().find("MB/s"));
  EXPECT_EQ('\n', err.str().back());

  const auto quiet = Lumipack({"extract", Path("out.lpk"), "-d", Path("q")});
  EXPECT_EQ("", quiet.err);
}

TEST(LumipackUsage, BadCommandLinesGiveStatusTwoAndOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"create", "in"},
      {"create", "-o", "x.lpk"},
      {"create", "-o", "x.lpk", "--level", "10", "in"},
      {"create", "-o", "x.lpk", "--volume-size", "0", "in"},
      {"create", "-o", "x.lpk", "--stub", "s.exe", "--volume-size", "100000", "in"},
      {"create", "-o", "x.lpk", "--bogus", "in"},
      {"create", "-o", "x.lpk", "/etc"},
      {"create", "-o", "x.lpk", "a/../../b"},
      {"create", "-o", "x.lpk", "in", "-C"},
      {"create", "-o", "x.lpk", "-C", "a", "-C", "b", "in"},
      {"create", "-o"},
      {"list"},
      {"list", "a", "b"},
      {"extract"},
      {"extract", "a", "-d"},
      {"extract", "a", "--flat"},
      {"verify"},
  };
  for (const auto& args : cases) {
    const auto r = Lumipack(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(2, r.status) << joined;
    EXPECT_EQ(1, testsupport::Lines(r.err)) << joined << r.err;
    EXPECT_EQ(0u, r.err.find("lumipack: ")) << r.err;
    EXPECT_EQ("", r.out) << joined;
  }
  EXPECT_EQ(0, Lumipack({"help"}).status);
  for (const char* version : {"--version", "-V"}) {
    EXPECT_EQ("lumipack " + std::string(lumipack::kVersion) + "\n", Lumipack({version}).out);
  }
}

}  // namespace
