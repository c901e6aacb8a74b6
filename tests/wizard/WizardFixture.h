// A wizard under test: a scratch drive, an in-memory registry, a scripted host probe, the
// headless GUI, and an installer file (stub + archive + trailer) that the wizard takes for its
// own program file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "support/ScratchDrive.h"
#include "archive/ArchiveWriter.h"
#include "platform/Launch.h"
#include "platform/Mail.h"
#include "platform/MemoryRegistry.h"
#include "platform/gui/Application.h"
#include "platform/gui/HeadlessBackend.h"
#include "wizard/CardFields.h"
#include "wizard/InstallRecord.h"
#include "wizard/Services.h"
#include "wizard/Texts.h"
#include "wizard/Unit1.h"

namespace wizardtest {

// A member with the given content, for the writer.
archive::WriterMember MemoryMember(const std::string& name, const std::string& content);
// Writes stub + archive + trailer to path.
void WriteInstaller(const std::string& path, const std::string& title,
                    const std::vector<archive::WriterMember>& members);
// The same with a program image for a stub, then signed as a signing tool lays the file out:
// the certificate table after the trailer, named by the security directory. The table's bytes
// stand for a signature; what the system says of them comes from the test's signature sink.
void WriteSignedInstaller(const std::string& path, const std::string& title,
                          const std::vector<archive::WriterMember>& members);
// Writes raw bytes to path.
void WriteRaw(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The card's values by the record's value names.
using CardValues = std::vector<std::pair<std::string, std::string>>;
// A whole card as a user fills it in, "Maschio" checked.
const CardValues& SampleCard();
// Sets the card's controls as the card table names them: each edit box to its field's value,
// the check box to whether its value is the record's spelling of checked. A field without a
// value is left as it is.
void FillCard(wizard::TForm1& form, const CardValues& values);

class WizardTest : public testsupport::ScratchDriveTest {
 protected:
  WizardTest();
  ~WizardTest() override;

  // The installer file the wizard reads, with a small payload titled "3.0.0.3".
  std::string InstallerPath() const { return Path("LumideskSetup.exe"); }
  void UseDefaultInstaller();
  // Creates the install record key, optionally with values.
  void WriteRecord(const CardValues& values = {});
  // Creates the wizard as the application's main form and shows it.
  wizard::TForm1& StartWizard();
  // One detector period: the scripted probe answers from online_.
  void Tick() { gui_.AdvanceClock(1000); }
  // Boxes shown by the exception display.
  int ExceptionBoxes() const;

  plat::MemoryRegistry registry_;
  // The services the test's windows use: the registry above and the scripted probe, until the
  // test replaces one; all put back when the fixture goes, however the test ended.
  wizard::ScopedServices services_;
  bool online_ = false;
  // When not empty, probe answers are taken from here first.
  std::deque<bool> probeScript_;
  int probeCalls_ = 0;
  // What reaches the mail client and the shell's "open": no wizard test hands a mail to a real
  // client or starts a browser. The client answers mailResult_.
  struct SentMail {
    plat::WindowRef parent;
    plat::MailMessage message;
    std::uint32_t flags;
  };
  std::vector<SentMail> mails_;
  std::uint32_t mailResult_ = plat::mapi::kSuccess;
  std::vector<std::string> opened_;
  gui::HeadlessBackend gui_;
  gui::TApplication app_{gui_};
  wizard::TForm1* form_ = nullptr;
};

}  // namespace wizardtest
