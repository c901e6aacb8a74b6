// Where an installer's own bytes end: the certificate table a signing tool appends, read from
// the PE security directory of PE32 and PE32+ programs, every way that directory can be wrong,
// and the readers that find the payload trailer before the table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveWriter.h"
#include "archive/ArchiveWalker.h"
#include "archive/InstallerEnd.h"
#include "archive/Payload.h"
#include "support/ArchiveBytes.h"
#include "support/PeImage.h"
#include "support/SeededBytes.h"

namespace {

using testsupport::Build;
using testsupport::Content;
using testsupport::Member;
using testsupport::AppendCertificateTable;
using testsupport::PeImage;
using testsupport::SetSecurityDirectory;

constexpr std::size_t kImage = 4096;
// Stands for a WIN_CERTIFICATE with its signature: the readers only place it, never parse it.
const std::string kTable(1800, '\x30');

std::uint32_t PayloadOffset(const std::string& file) {
  return archive::LoadLe32(reinterpret_cast<const std::uint8_t*>(file.data() + file.size() - 4));
}

// An installer as the writer lays it out before it is signed: image, zero bytes, archive,
// trailer, its size a multiple of 8.
std::string Unsigned(bool pe32plus = false) {
  const std::string image = PeImage(kImage, pe32plus);
  plat::MemoryStream stub(std::vector<std::uint8_t>(image.begin(), image.end()));
  plat::MemoryStream out;
  archive::ArchiveWriter().WriteInstaller(
      stub, {Member("c:\\a\\text.txt", Content(40000, 1)), Member("c:\\a\\empty.dat", "")},
      out);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

std::string Signed(bool pe32plus = false) {
  std::string file = Unsigned(pe32plus);
  AppendCertificateTable(file, kTable);
  return file;
}

std::size_t TableStart(const std::string& signedFile) { return signedFile.size() - kTable.size(); }

archive::InstallerEnd EndOf(const std::string& file) {
  plat::MemoryStream stream(std::vector<std::uint8_t>(file.begin(), file.end()));
  return archive::FindInstallerEnd(stream);
}

TEST(InstallerEndTest, TheSecurityDirectoryPlacesTheEnd) {
  struct Case {
    const char* what;
    std::string file;
    std::int64_t end;        // -1: the file's size
    std::int64_t tableSize;  // what the directory names; 0: unsigned
    const char* damage;      // "" for none
  };
  std::vector<Case> cases;
  cases.push_back({"no security directory", Unsigned(), -1, 0, ""});
  {
    const std::string s = Signed();
    cases.push_back({"a table that ends the file", s, static_cast<std::int64_t>(TableStart(s)),
                     1800, ""});
  }
  {
    const std::string s = Signed(true);
    cases.push_back({"PE32+: a table that ends the file", s,
                     static_cast<std::int64_t>(TableStart(s)), 1800, ""});
  }
  cases.push_back({"PE32+: no security directory", Unsigned(true), -1, 0, ""});
  {
    const std::string s = Signed();
    cases.push_back({"bytes appended after the table", s + "more",
                     static_cast<std::int64_t>(TableStart(s)), 1800,
                     "4 bytes follow the certificate table"});
    cases.push_back({"a table cut short (a truncated download)", s.substr(0, s.size() - 10),
                     static_cast<std::int64_t>(TableStart(s)), 1800,
                     "runs past the end of the file"});
    std::string inside = s;
    const std::size_t at = kImage + 100;
    SetSecurityDirectory(inside, at, static_cast<std::uint32_t>(s.size() - at));
    cases.push_back({"a table pointing inside the archive", inside, static_cast<std::int64_t>(at),
                     static_cast<std::int64_t>(s.size() - at), "starts inside the archive"});
    std::string image = s;
    SetSecurityDirectory(image, 0x300, static_cast<std::uint32_t>(s.size() - 0x300));
    cases.push_back({"a table pointing inside the program's image", image, 0x300,
                     static_cast<std::int64_t>(s.size() - 0x300),
                     "starts inside the program's image, which ends at 4096"});
    std::string beyond = s;
    SetSecurityDirectory(beyond, static_cast<std::uint32_t>(s.size() + 8), 16);
    cases.push_back({"a table beyond the end", beyond, -1, 16, "runs past the end of the file"});
  }
  // Headers that cannot be read as a PE program: no security directory, so unsigned.
  {
    const std::string s = Signed();
    cases.push_back({"headers cut before the optional header", s.substr(0, 0x50), -1, 0, ""});
    std::string far = s;
    testsupport::StoreInt(far, 0x3C, 0xFFFFFFF0u);
    cases.push_back({"a PE offset beyond the file", far, -1, 0, ""});
    std::string shortOptional = s;
    shortOptional[0x40 + 20] = static_cast<char>(96 + 4 * 8);  // directories 0 to 3 only
    cases.push_back({"an optional header that ends before directory 4", shortOptional, -1, 0, ""});
    std::string fewDirectories = s;
    testsupport::StoreInt(fewDirectories, 0x40 + 24 + 92, 4);
    cases.push_back({"directory 4 beyond NumberOfRvaAndSizes", fewDirectories, -1, 0, ""});
    std::string noSignature = s;
    noSignature[0x40] = 'X';
    cases.push_back({"no PE signature", noSignature, -1, 0, ""});
    cases.push_back({"three bytes", "MZ\x90", -1, 0, ""});
  }

  for (const Case& c : cases) {
    const archive::InstallerEnd end = EndOf(c.file);
    EXPECT_EQ(end.end, c.end < 0 ? static_cast<std::int64_t>(c.file.size()) : c.end) << c.what;
    EXPECT_EQ(end.certificateTableSize, c.tableSize) << c.what;
    if (*c.damage == '\0') {
      EXPECT_EQ(end.damage, "") << c.what;
    } else {
      EXPECT_NE(end.damage.find(c.damage), std::string::npos) << c.what << ": " << end.damage;
    }
  }
}

TEST(InstallerEndTest, ReadersFindThePayloadBeforeTheTable) {
  for (const bool pe32plus : {false, true}) {
    const std::string unsignedFile = Unsigned(pe32plus);
    const std::uint32_t payload = PayloadOffset(unsignedFile);
    const std::string s = Signed(pe32plus);
    ASSERT_EQ(TableStart(s), unsignedFile.size()) << "signing padded the file";
    plat::MemoryStream stream(std::vector<std::uint8_t>(s.begin(), s.end()));
    EXPECT_EQ(archive::LocatePayload(stream), payload);
    archive::ArchiveWalker walker(stream, "setup.exe");
    EXPECT_EQ(walker.PayloadOffset(), payload);
    const archive::ArchiveSummary summary = archive::VerifyArchive(walker);
    EXPECT_EQ(summary.files, 2u);
    EXPECT_EQ(summary.certificateTableSize, 1800);
  }
  // Appended bytes: the start-up read still finds the title, the strict walk refuses the file.
  const std::string appended = Signed() + "more";
  plat::MemoryStream stream(std::vector<std::uint8_t>(appended.begin(), appended.end()));
  EXPECT_EQ(archive::LocatePayload(stream), PayloadOffset(Unsigned()));
  try {
    archive::ArchiveWalker walker(stream, "setup.exe");
    ADD_FAILURE() << "a table that does not end the file was taken";
  } catch (const archive::WalkError& e) {
    EXPECT_EQ(std::string(e.what()).find("a damaged installer: 4 bytes follow"), 0u) << e.what();
  }
}

}  // namespace
