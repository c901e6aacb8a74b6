#include "ShortCutFixture.h"

namespace shelltest {

void ConfigureAsWizard(shell::TMyShortCut& c) {
  c.SetTag(50);
  c.ExeName = "Lumidesk.exe";
  c.IconPathName = "search.ico";
  c.Descrizione = "Spedisci Con Lumidesk";
  c.MenuText = "Spedisci Con Lumidesk";
  c.LinkName = "Lumidesk";
  c.CLSIDExplore = "{4B30061A-5D23-11D3-80F8-0090276F456F}";
  c.CLSIDExplore1 = "{4B30061A-5D22-11D3-80F8-0090276F456F}";
  c.GruppoProgrammiName = "Lumidesk";
  c.DescrizioneExeInForder = "Falc@ro";
  c.CreateDeskTopLink = true;
  c.CreateFolder = true;
  c.CreateToAvvio = true;
  c.Setlistafile({"Lumidesk.EXE"});
}

void ShortCutTest::SetUp() {
  base_ = drive_.Base();
  program_ = base_ + "\\Programmi\\Lumidesk\\Lumidesk.exe";
  // The target exists, as the installed program does when the links are made.
  plat::RealFileSystem().ForceDirectories(plat::ExtractFilePath(program_));
  WriteFile(program_, "MZ");
  shell_.reset(new TestShell(base_));
  sc_ = NewComponent();
  ConfigureAsWizard(*sc_);
  sc_->FilePathName = program_;
}

void ShortCutTest::TearDown() {
  sc_.reset();
  EXPECT_EQ(shell_->linksAlive, 0) << "a link object or file interface was not released";
  EXPECT_EQ(shell_->initialised, shell_->uninitialised) << "COM initialisations unbalanced";
  EXPECT_EQ(registry_.OpenHandleCount(), 0u) << "a registry key was left open";
}

std::unique_ptr<shell::TMyShortCut> ShortCutTest::NewComponent() {
  return std::unique_ptr<shell::TMyShortCut>(
      new shell::TMyShortCut(nullptr, *shell_, plat::RealFileSystem(), registry_));
}

plat::LinkInfo ShortCutTest::Link(const std::string& path) {
  plat::LinkInfo info;
  EXPECT_TRUE(plat::SystemShell().ReadLink(path, info)) << "no link at " << path;
  return info;
}


}  // namespace shelltest
