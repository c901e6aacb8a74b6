// TForm1: the wizard window. Construction builds the window from its layout table
// (Form1Layout.cpp), which stores each control in its member and binds each handler through
// Bind; it creates the non-visual components, resets the owned state and pre-fills the
// statistics card from the install record (InstallRecord.h). FormCreate then opens the
// program's own file, locates the payload, reads the archive's title and catalogue, extends the
// caption, remembers the system folder and probes for a previous installation. The handlers are
// the window's behaviour: navigation by Tag, the online gating, the picture copies at paint
// time, the folder chooser, the statistics card (its fields in CardFields.h) and the Flash
// viewer check, the installation run (InstallRun.h does it), closing with the install record,
// and the uninstall. The run and the record see the window only as their InstallHost
// (InstallHost.h), which the window implements over its controls.
//
// While a run extracts, the restore pumps messages, so other handlers can run inside it: every
// handler of the layout table (a second "Installa", a page change, "Cambia", the card, the
// uninstall) does nothing until the run has ended, and closing is refused.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/BackupFile.h"
#include "net/INetDetector.h"
#include "net/MapiControl.h"
#include "platform/Files.h"
#include "platform/gui/ExtControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/StdControls.h"
#include "wizard/InstallHost.h"
#include "wizard/InstallRun.h"

namespace shell {
class TMyShortCut;
}

namespace wizard {

// The Tag by which the run recognises the shell-integration components among the window's.
constexpr int kShortCutTag = 50;
// The destination-folder page, where the card's forward button leads.
constexpr int kFolderPage = 2;
// The Flash viewer's control file, looked for in the system folder and in this subfolder of it.
constexpr char kFlashControlFile[] = "SWFLASH.OCX";
constexpr char kFlashSubfolder[] = "MACROMED\\FLASH";

class TForm1 : public gui::TForm, private InstallHost {
 public:
  explicit TForm1(gui::TComponent* owner);
  ~TForm1() override;
  // Raises OnCreate (FormCreate); when start-up could not locate the payload, "Installa" stays
  // disabled for the window's life.
  void AfterConstruction() override;

  // --- Controls (owned by the window), each stored by its row of the layout table
  gui::TNotebook* Notebook1;
  gui::TStatusBar* StatusBar1;
  gui::TButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8,
      *Button9, *Button10, *Button11, *Button12, *Button13, *Button14, *Indietro;
  gui::TLabel* LabelDir;
  gui::TEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7;
  gui::TCheckBox *CheckBox1, *CheckBox2;
  gui::TRadioButton *RadioButton1, *RadioButton2;
  gui::TMemo *Memo1, *Memo2, *Memo3;
  gui::TImage *ImgBase, *Image2, *Image4, *Image5;
  gui::TPanel* Panel10;
  gui::TLabel *Label26, *Label29, *Label30, *Label31;
  gui::TProgressBar *ProgressBar1, *ProgressBar2;

  // --- Non-visual components
  std::unique_ptr<archive::TBackupFile> BackupFile1;
  net::TINetDetector* INetDetector1;  // owned by the window
  shell::TMyShortCut* MyShortCut1;    // owned by the window
  net::TMapiControl* MapiUse1;        // owned by the window

  // --- Handlers
  void FormCreate(gui::TComponent* sender);
  void FormClose(gui::TComponent* sender, gui::TCloseAction& action);
  void FormPaint(gui::TComponent* sender);
  void Button2Click(gui::TComponent* sender);
  void Button3Click(gui::TComponent* sender);
  void Button8Click(gui::TComponent* sender);
  void Button5Click(gui::TComponent* sender);
  void Button1Click(gui::TComponent* sender);
  void Button14Click(gui::TComponent* sender);
  void SendMail(gui::TComponent* sender);
  void Deinstall(gui::TComponent* sender);
  void BackupFile1RestoreFile(archive::TBackupFile* sender, std::string& Filename,
                              std::int32_t FA, bool& DoRestore);
  void BackupFile1Progress(archive::TBackupFile* sender, std::string Filename,
                           archive::TPercentage Percent, bool& Continue);
  void INetDetector1Changed(gui::TComponent* sender);

  // Shows Panel10 on the folder page when the Flash viewer's control file is missing from the
  // system folder, hides it when it is there.
  void CheckFlashViewer();

  // --- Owned state
  plat::FileStream* PayloadStream() const override { return payload_.get(); }
  std::uint32_t PayloadOffset() const override { return payloadOffset_; }
  // True once the payload's place in the program file is known; without it nothing can be
  // installed.
  bool PayloadAvailable() const { return payloadLocated_; }
  // True once a check of the payload found it damaged or incomplete; "Installa" stays disabled.
  bool PayloadDamaged() const { return payloadDamaged_; }
  // What the check found, in the packager's words (for diagnosis; not shown to the user).
  const std::string& PayloadDamage() const { return payloadDamage_; }
  const std::vector<std::string>* Catalogue() const { return catalogue_.get(); }
  const std::string& VersionText() const override { return version_; }
  const std::string& SystemFolder() const { return systemFolder_; }
  bool InstallDone() const { return installDone_; }
  bool UninstallDone() const { return uninstallDone_; }
  // True while an installation run is extracting (its handlers may run other handlers through
  // the restore's message pumping).
  bool Installing() const { return run_.Active(); }

  // Marks the payload damaged: "Installa" stays disabled and the status bar says so.
  void MarkPayloadDamaged(const std::string& why) override;
  // What the status bar says for the present state: the damaged payload, else the connection
  // as the detector last reported it.
  std::string StatusText() const override;

 private:
  using Handler = void (TForm1::*)(gui::TComponent* sender);
  // The event installed for a handler of the layout table.
  gui::TNotifyEvent Bind(Handler handler);
  // True when every required field of the card has at least one character.
  bool CardComplete() const;
  // The card field's control, by the name the card table gives it; one of another kind throws
  // std::bad_cast.
  gui::TComponent& CardControl(const CardField& field) const;
  gui::TEdit& CardEdit(const CardField& field) const;
  gui::TCheckBox& CardCheckBox(const CardField& field) const;

  // --- The run's and the record's view of the window (InstallHost)
  std::string DestinationFolder() const override;
  std::string CardText(const CardField& field) const override;
  bool CardChecked(const CardField& field) const override;
  std::vector<shell::TMyShortCut*> ShortCuts() const override;
  archive::TBackupFile& Engine() override;
  void SetCardText(const CardField& field, const std::string& text) override;
  void SetCardChecked(const CardField& field, bool checked) override;
  void ShowProgress(bool shown) override;
  void SetProgress(int percent, bool paintNow) override;
  void SetStatusText(const std::string& text) override;
  void MarkInstallDone() override;

  std::unique_ptr<plat::FileStream> payload_;
  std::uint32_t payloadOffset_ = 0;
  bool payloadLocated_ = false;
  bool payloadDamaged_ = false;
  std::string payloadDamage_;
  std::unique_ptr<std::vector<std::string>> catalogue_;
  std::string version_;
  std::string systemFolder_;
  bool installDone_ = false;
  bool uninstallDone_ = false;
  // The connection's status text as the detector last reported it; empty before its first
  // report.
  std::string connectionStatus_;
  bool uninstalling_ = false;  // while the uninstall handler runs, its closing message included
  // The install record could not be written at the last close.
  bool recordFailed_ = false;
  InstallRun run_;
};

}  // namespace wizard
