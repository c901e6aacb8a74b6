// The installation journal as the next start finds it: read back whole, a record torn by a kill
// dropped, damage anywhere else refused whole; and what the wizard does at start-up with the
// journal of a run that was killed, readable or not.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <vector>

#include "InstallFixture.h"
#include "wizard/InstallJournal.h"
#include "wizard/InstallTransaction.h"

namespace wizardtest {
namespace {

class JournalTest : public InstallTest {
 protected:
  std::string JournalFile() const {
    return wizard::JournalPath(SpecialFolder(plat::SpecialFolder::kCommonAppData));
  }
  // A line as the journal writes it, checksum first, for records the writer would not write.
  static std::string Line(const std::string& body) {
    const auto crc = static_cast<std::uint32_t>(adler32(
        adler32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(body.data()),
        static_cast<uInt>(body.size())));
    static const char kHex[] = "0123456789abcdef";
    std::string line(8, '0');
    for (int i = 7; i >= 0; --i) line[static_cast<std::size_t>(i)] = kHex[(crc >> (4 * (7 - i))) & 0xF];
    return line + " " + body + "\n";
  }
};

TEST_F(JournalTest, ATornLastRecordIsDroppedAndDamageElsewhereRefusesTheWhole) {
  // A path with the bytes the format escapes: a percent sign, a tab and a line end.
  const std::string odd = Path("a%b\tc\nd");
  {
    wizard::JournalWriter journal(plat::RealFileSystem(), JournalFile(), Dest());
    journal.Append(wizard::Change::Folder(Dest()));
    journal.Append(wizard::Change::NewFile(odd, odd + ".lumi-new"));
    journal.Append(wizard::Change::RegistryValue(plat::kHKeyLocalMachine, "SOFTWARE\\X", "V",
                                                 true, plat::reg::kSz, {'o', 0, 'k'}));
  }
  const std::string whole = testsupport::ReadWholeFile(JournalFile());
  const std::vector<wizard::Change> read = wizard::ReadJournal(plat::RealFileSystem(), JournalFile());
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(read[0].path, Dest());
  EXPECT_EQ(read[2].path, odd);
  EXPECT_EQ(read[2].temp, odd + ".lumi-new");
  EXPECT_EQ(read[3].data, (std::vector<std::uint8_t>{'o', 0, 'k'}));
  EXPECT_TRUE(read[3].existed);

  const std::size_t lastLine = whole.rfind('\n', whole.size() - 2) + 1;
  const std::size_t secondLine = whole.find('\n') + 1;
  std::string flippedLast = whole;
  flippedLast[whole.size() - 3] ^= 1;
  std::string flippedSecond = whole;
  flippedSecond[secondLine + 12] ^= 1;
  const struct {
    const char* what;
    std::string bytes;
    int records;  // -1: unreadable
  } rows[] = {
      {"the last record cut short", whole.substr(0, whole.size() - 5), 3},
      {"the last record without its line end", whole.substr(0, whole.size() - 1), 3},
      {"the last record's checksum wrong", flippedLast, 3},
      {"only the first record, torn", whole.substr(0, 10), 0},
      {"a record before the last damaged", flippedSecond, -1},
      {"a record of a kind it does not know",
       whole.substr(0, lastLine) + Line("rename\ta\tb") + whole.substr(lastLine), -1},
      {"no begin record first", Line("folder\tc:\\x") + whole, -1},
      {"a second begin record", whole + Line("begin\t1\tc:\\y"), -1},
      {"a later format", Line("begin\t2\tc:\\y"), -1},
  };
  for (const auto& row : rows) {
    testsupport::WriteWholeFile(JournalFile(), row.bytes);
    if (row.records < 0) {
      EXPECT_THROW(wizard::ReadJournal(plat::RealFileSystem(), JournalFile()),
                   wizard::JournalUnreadable)
          << row.what;
    } else {
      EXPECT_EQ(wizard::ReadJournal(plat::RealFileSystem(), JournalFile()).size(),
                static_cast<std::size_t>(row.records))
          << row.what;
    }
  }
}

TEST_F(JournalTest, TheJournalOfAKilledRunIsUndoneBeforeTheWizardIsShown) {
  // What a run killed after its first file and links left.
  UseDefaultInstaller();
  {
    wizard::JournalWriter journal(plat::RealFileSystem(), JournalFile(), Dest());
    journal.Append(wizard::Change::Folder(Dest()));
    ASSERT_TRUE(plat::RealFileSystem().CreateDir(Dest()));
    journal.Append(wizard::Change::NewFile(InDest("Lumidesk.exe"), InDest("Lumidesk.exe.lumi-new")));
    testsupport::WriteWholeFile(InDest("Lumidesk.exe"), "program");
    journal.Append(wizard::Change::Link(DesktopLink(), std::string()));
    testsupport::WriteWholeFile(DesktopLink(), "a link");
    journal.Append(wizard::Change::NewFile(InDest("b.txt"), InDest("b.txt.lumi-new")));
    testsupport::WriteWholeFile(InDest("b.txt.lumi-new"), "half of b");
  }
  StartWizard();
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].title, wizard::kInterruptedTitle);
  EXPECT_EQ(gui_.Boxes()[0].text, std::string(wizard::kInterruptedUndoneText) +
                                      "1 file, 1 cartella e 1 collegamento." +
                                      wizard::kInterruptedAgainText);
  EXPECT_FALSE(IsFolder(Dest()));
  EXPECT_FALSE(IsFile(DesktopLink()));
  EXPECT_FALSE(IsFile(JournalFile()));
}

TEST_F(JournalTest, AJournalThatCannotBeReadIsLeftAndNoRunStartsOverIt) {
  const std::string damaged = Line("folder\tc:\\x") + "not a record\n" + Line("commit");
  testsupport::WriteWholeFile(JournalFile(), damaged);
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "program")});
  ASSERT_GE(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].text,
            std::string(wizard::kInterruptedUnreadableText) + JournalFile() + ".");
  EXPECT_EQ(testsupport::ReadWholeFile(JournalFile()), damaged);
  // A run would write its own journal over it: it is refused, naming the one that is there.
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(gui_.Boxes().back().text,
            wizard::kJournalPendingText + JournalFile() + wizard::kJournalPendingAdvice);
  EXPECT_FALSE(IsFolder(Dest()));
  EXPECT_FALSE(w.InstallDone());
  EXPECT_EQ(testsupport::ReadWholeFile(JournalFile()), damaged);
}

}  // namespace
}  // namespace wizardtest
