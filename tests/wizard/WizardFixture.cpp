// The wizard test fixture.
#include "WizardFixture.h"

#include "platform/Files.h"
#include "platform/Registry.h"
#include "support/ArchiveBytes.h"
#include "support/PeImage.h"

namespace wizardtest {

archive::WriterMember MemoryMember(const std::string& name, const std::string& content) {
  return testsupport::Member(name, content, 0x5A8B6000u);  // 2025-04-11 12:00:00
}

void WriteInstaller(const std::string& path, const std::string& title,
                    const std::vector<archive::WriterMember>& members) {
  std::vector<std::uint8_t> stubBytes(4096, 0x90);
  stubBytes[0] = 'M';
  stubBytes[1] = 'Z';
  plat::MemoryStream stub(stubBytes);
  archive::WriterOptions options;
  options.title = title;
  archive::ArchiveWriter writer(options);
  auto out = plat::RealFileSystem().Create(path);
  writer.WriteInstaller(stub, members, *out);
}

void WriteSignedInstaller(const std::string& path, const std::string& title,
                          const std::vector<archive::WriterMember>& members) {
  const std::string image = testsupport::PeImage(4096);
  plat::MemoryStream stub(std::vector<std::uint8_t>(image.begin(), image.end()));
  archive::WriterOptions options;
  options.title = title;
  plat::MemoryStream out;
  archive::ArchiveWriter(options).WriteInstaller(stub, members, out);
  std::string file(out.Bytes().begin(), out.Bytes().end());
  testsupport::AppendCertificateTable(file, std::string(1500, '\x30'));
  testsupport::WriteWholeFile(path, file);
}

void WriteRaw(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  auto out = plat::RealFileSystem().Create(path);
  if (!bytes.empty()) out->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

const CardValues& SampleCard() {
  static const CardValues values = {
      {"Cognome", "Rossi"}, {"Nome", "Maria"}, {"Indirizzo", "Via Roma 1"}, {"Citta", "Perugia"},
      {"Prov", "PG"},       {"Eta", "42"},     {"Tel", "333"},               {"Maschio", "True"}};
  return values;
}

void FillCard(wizard::TForm1& form, const CardValues& values) {
  for (const auto& v : values) {
    const wizard::CardField& f = wizard::CardFieldOf(v.first.c_str());
    if (f.source == wizard::FieldSource::kEdit) {
      form.Find<gui::TEdit>(f.control)->SetText(v.second);
    } else if (f.source == wizard::FieldSource::kCheckBox) {
      form.Find<gui::TCheckBox>(f.control)->SetChecked(v.second == wizard::kRecordChecked);
    }
  }
}

WizardTest::WizardTest() {
  services_.UseRegistry(&registry_);
  services_.UseProbe([this] {
    ++probeCalls_;
    if (!probeScript_.empty()) {
      const bool v = probeScript_.front();
      probeScript_.pop_front();
      return v;
    }
    return online_;
  });
  plat::SetModuleFileNameOverride(InstallerPath());
  plat::SetMailSink([this](plat::WindowRef parent, const plat::MailMessage& m, std::uint32_t f) {
    mails_.push_back({parent, m, f});
    return mailResult_;
  });
  plat::SetShellOpenSink([this](plat::WindowRef, const std::string& target) {
    opened_.push_back(target);
    return true;
  });
}

WizardTest::~WizardTest() {
  plat::SetModuleFileNameOverride("");
  plat::SetMailSink(nullptr);
  plat::SetShellOpenSink(nullptr);
}

void WizardTest::UseDefaultInstaller() {
  WriteInstaller(InstallerPath(), "3.0.0.3",
                 {MemoryMember("c:\\src\\Lumidesk.exe", "program bytes"),
                  MemoryMember("c:\\src\\docs\\Letter.Txt", "Gentile cliente")});
}

void WizardTest::WriteRecord(const CardValues& values) {
  plat::RegistryAccess reg(registry_);
  reg.SetRootKey(plat::kHKeyLocalMachine);
  reg.SetLazyWrite(false);
  ASSERT_TRUE(reg.OpenKey(wizard::kInstallRecordKey, true));
  for (const auto& v : values) reg.WriteString(v.first, v.second);
}

wizard::TForm1& WizardTest::StartWizard() {
  form_ = app_.CreateForm<wizard::TForm1>();
  form_->Show();
  return *form_;
}

int WizardTest::ExceptionBoxes() const {
  int n = 0;
  for (const auto& b : gui_.Boxes())
    if (b.title == app_.Title() && (b.flags & plat::mb::kIconError)) ++n;
  return n;
}

}  // namespace wizardtest
