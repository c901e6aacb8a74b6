// The wizard window: construction, start-up and the handlers of navigation, online gating,
// paint, the folder chooser, the statistics card with its mail and the Flash viewer check, the
// installation run (InstallRun), closing with the install record (InstallRecord), and the
// uninstall; and the window as the run's and the record's InstallHost.
#include "wizard/Unit1.h"

#include <exception>
#include <utility>

#include "archive/Payload.h"
#include "platform/Error.h"
#include "platform/Launch.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/gui/Application.h"
#include "shell/ShortCut.h"
#include "wizard/CardFields.h"
#include "wizard/Configuration.h"
#include "wizard/InstallRecord.h"
#include "wizard/Layouts.h"
#include "wizard/Services.h"
#include "wizard/Texts.h"
#include "wizard/Unit2.h"

namespace wizard {

namespace {

// The shell-integration component as the window resource configures it.
void ConfigureShortCut(shell::TMyShortCut& s) {
  s.SetName("MyShortCut1");
  s.SetTag(kShortCutTag);
  s.ExeName = "Lumidesk.exe";
  s.IconPathName = "search.ico";
  s.Descrizione = "Spedisci Con Lumidesk";
  s.MenuText = "Spedisci Con Lumidesk";
  s.LinkName = "Lumidesk";
  s.CLSIDExplore = "{4B30061A-5D23-11D3-80F8-0090276F456F}";
  s.CLSIDExplore1 = "{4B30061A-5D22-11D3-80F8-0090276F456F}";
  s.GruppoProgrammiName = "Lumidesk";
  s.DescrizioneExeInForder = "Falc@ro";
  s.CreateDeskTopLink = true;
  s.CreateFolder = true;
  s.CreateToAvvio = true;
  s.Setlistafile({"Lumidesk.EXE"});
}

// A flag that is set for the length of a handler and cleared however the handler ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TForm1::TForm1(gui::TComponent* owner) : TForm(owner), run_(*this) {
  const Services& services = CurrentServices();

  // 1. The window, its controls (each in its member) and its non-visual components.
  gui::BuildLayout(*this, Form1Layout(), [this](Handler h) { return Bind(h); });

  BackupFile1 = std::make_unique<archive::TBackupFile>(this, services.Files());
  BackupFile1->SetName("BackupFile1");
  BackupFile1->RestoreMode = archive::rmAll;
  BackupFile1->RestoreFullPath = false;
  BackupFile1->OnRestoreFile = [this](archive::TBackupFile* b, std::string& name,
                                      std::int32_t fa, bool& doRestore) {
    BackupFile1RestoreFile(b, name, fa, doRestore);
  };
  BackupFile1->OnProgress = [this](archive::TBackupFile* b, std::string name,
                                   archive::TPercentage percent, bool& go) {
    BackupFile1Progress(b, std::move(name), percent, go);
  };
  // The engine's own report is an English box naming no file; the run's end tells the user in
  // Italian what failed and where instead.
  BackupFile1->OnError = [this](archive::TBackupFile* b, std::int32_t code, std::string) {
    run_.EngineError(code, b->CurrentFile());
  };

  // Its links and registrations go through the run's journalled layers, so that a run that
  // fails takes them back.
  MyShortCut1 = new shell::TMyShortCut(this, run_.LinkShell(), run_.LinkFiles(),
                                       run_.LinkRegistry());
  ConfigureShortCut(*MyShortCut1);

  // The card's mail goes to the user's mail client without its dialogs; nobody listens to the
  // outcome.
  MapiUse1 = new net::TMapiControl(this);
  MapiUse1->SetName("MapiUse1");
  MapiUse1->ShowDialog = false;
  MapiUse1->UseAppHandle = false;

  // The stored Online = True is not applied: the detector ignores it and starts offline.
  INetDetector1 = new net::TINetDetector(this, services.Probe(), services.Registry(), Backend());
  INetDetector1->SetName("INetDetector1");
  INetDetector1->SetEnabled(true);
  INetDetector1->SetDispatchInterval(net::kDefaultDispatchInterval);
  INetDetector1->OnChanged = [this](gui::TComponent* s) { INetDetector1Changed(s); };

  OnCreate = [this](gui::TComponent* s) { FormCreate(s); };
  OnClose = [this](gui::TComponent* s, gui::TCloseAction& a) { FormClose(s, a); };
  OnPaint = [this](gui::TComponent* s) { FormPaint(s); };

  // 2. The owned state starts empty (the member initialisers); 3. the card from the record.
  PrefillCard(*this);
}

TForm1::~TForm1() {
  // The detector goes before the window's other parts, so no tick reaches a half-gone window.
  delete INetDetector1;
  INetDetector1 = nullptr;
}

void TForm1::AfterConstruction() {
  TForm::AfterConstruction();
  if (!payloadLocated_ || payloadDamaged_) Button9->SetEnabled(false);
  if (payloadDamaged_) StatusBar1->SetSimpleText(kStatusPayloadDamaged);
}

gui::TNotifyEvent TForm1::Bind(Handler handler) {
  // While a run extracts, the restore pumps messages and a click would run its handler inside
  // the run: a second "Installa" would start a run on the same stream, and a page change, the
  // chooser, the card or the uninstall would act on the window in the middle of it. Every
  // handler of the table waits for the run's end; closing is refused by FormClose.
  return [this, handler](gui::TComponent* sender) {
    if (run_.Active()) return;
    (this->*handler)(sender);
  };
}

void TForm1::FormCreate(gui::TComponent*) {
  // Before anything else: an installation that was killed midway is undone first.
  run_.RecoverInterruptedRun();
  // Steps 1 to 8 form one unit: the first error leaves here and the rest is skipped.
  catalogue_ = std::make_unique<std::vector<std::string>>();
  payload_ = CurrentServices().Files().OpenRead(plat::ModuleFileName());
  payloadOffset_ = archive::LocatePayload(*payload_);
  payloadLocated_ = true;
  std::string title;
  BackupFile1->ReadFileListFromStream(payload_.get(), catalogue_.get(), title);
  version_ = title;
  SetCaption(Caption() + kCaptionVersionPrefix + version_);
  systemFolder_ = plat::SystemDirectory();

  // 9. A previous installation makes the uninstall button usable.
  plat::RegistryAccess reg(CurrentServices().Registry());
  if (!OpenInstallRecord(reg, false)) Button14->SetEnabled(false);
  reg.CloseKey();

  // 10. A truncated download is told at once rather than when "Installa" is pressed.
  std::string damage;
  if (ScanPayloadDamaged(*payload_, damage)) MarkPayloadDamaged(damage);
}

void TForm1::MarkPayloadDamaged(const std::string& why) {
  payloadDamaged_ = true;
  payloadDamage_ = why;
  Button9->SetEnabled(false);
  StatusBar1->SetSimpleText(kStatusPayloadDamaged);
}

std::string TForm1::StatusText() const {
  return payloadDamaged_ ? kStatusPayloadDamaged : connectionStatus_;
}

void TForm1::FormClose(gui::TComponent*, gui::TCloseAction& action) {
  // Freeing the window now would pull it from under the restore that is pumping messages.
  if (run_.Active()) {
    action = gui::TCloseAction::caNone;
    return;
  }
  if (!uninstallDone_ && installDone_) {
    try {
      WriteInstallRecord(*this);
      recordFailed_ = false;
    } catch (const std::exception&) {
      // The first failure is shown by the exception display and the window stays open; a
      // further close that fails as well says what that means and lets the installer end.
      if (!recordFailed_) {
        recordFailed_ = true;
        throw;
      }
      gui::Application().MessageBox(kRecordNotWrittenText, kInstallFailedTitle,
                                    plat::mb::kOk | plat::mb::kIconWarning);
    }
  }
  action = gui::TCloseAction::caFree;
}

void TForm1::FormPaint(gui::TComponent*) {
  Image2->AssignPicture(ImgBase->Picture());
  Image4->AssignPicture(ImgBase->Picture());
}

void TForm1::Button2Click(gui::TComponent* sender) {
  Notebook1->SetPageIndex(sender->Tag());
}

void TForm1::Button3Click(gui::TComponent*) { Close(); }

void TForm1::Button8Click(gui::TComponent*) { Close(); }

void TForm1::Button5Click(gui::TComponent*) {
  std::unique_ptr<TForm2> dialog(gui::Create<TForm2>(&gui::Application()));
  dialog->Edit1->SetText(LabelDir->Caption());
  if (dialog->ShowModal() == gui::mrOk) LabelDir->SetCaption(dialog->Edit1->Text());
}

void TForm1::Button1Click(gui::TComponent*) {
  // Without a located, sound payload there is nothing to extract; the button is kept disabled
  // then, and a press that gets here anyway does nothing.
  if (!payloadLocated_ || !payload_ || payloadDamaged_) return;
  // A press delivered while the restore pumps messages never gets here (Bind).
  // Empty or relative, the destination would be taken from the current drive and folder, which
  // are wherever the installer was started from.
  if (!plat::IsFullPath(LabelDir->Caption())) {
    gui::Application().MessageBox(std::string(kDestinationNotFullText) + kDefaultDestination,
                                  kInstallFailedTitle, plat::mb::kOk | plat::mb::kIconError);
    return;
  }

  if (!run_.Execute(LabelDir->Caption())) return;
  gui::Application().MessageBox(kInstallDoneText, kInstallDoneTitle, plat::mb::kOk);
  Close();
}

void TForm1::BackupFile1RestoreFile(archive::TBackupFile*, std::string& Filename, std::int32_t,
                                    bool& DoRestore) {
  run_.RestoreFile(Filename, DoRestore);
}

void TForm1::BackupFile1Progress(archive::TBackupFile*, std::string, archive::TPercentage Percent,
                                 bool&) {
  SetProgress(Percent, true);
}

void TForm1::Button14Click(gui::TComponent*) {
  Panel10->Hide();
  // The browser shows the page or it does not; the wizard has nothing more to tell the user.
  plat::ShellOpen(Window(), kFlashDownloadPage);
}

bool TForm1::CardComplete() const {
  // Blanks count as filled.
  for (const CardField& f : kCardFields)
    if (f.required && CardEdit(f).Text().empty()) return false;
  return true;
}

gui::TComponent& TForm1::CardControl(const CardField& field) const {
  gui::TComponent* control = field.control ? FindComponent(field.control) : nullptr;
  if (!control) throw plat::Error("the card table names a control the window does not have");
  return *control;
}

gui::TEdit& TForm1::CardEdit(const CardField& field) const {
  return dynamic_cast<gui::TEdit&>(CardControl(field));
}

gui::TCheckBox& TForm1::CardCheckBox(const CardField& field) const {
  return dynamic_cast<gui::TCheckBox&>(CardControl(field));
}

void TForm1::CheckFlashViewer() {
  // Start-up reads the system folder after locating the payload; when it stopped before that,
  // the folder is asked for now rather than testing paths below the drive's root.
  const std::string system = systemFolder_.empty() ? plat::SystemDirectory() : systemFolder_;
  plat::FileSystem& fs = CurrentServices().Files();
  const bool present =
      fs.FileExists(system + "\\" + kFlashControlFile) ||
      fs.FileExists(system + "\\" + kFlashSubfolder + "\\" + kFlashControlFile);
  if (present) Panel10->Hide();
  else Panel10->Show();
}

void TForm1::SendMail(gui::TComponent* sender) {
  const int target = sender->Tag();
  if (RadioButton1->Checked()) {
    if (!CardComplete()) {
      gui::Application().MessageBox(kIncompleteCardText, kIncompleteCardTitle,
                                    plat::mb::kOk | plat::mb::kIconError);
      return;
    }
    static constexpr const CardField& kSurname = CardFieldOf("Cognome");
    static constexpr const CardField& kName = CardFieldOf("Nome");
    MapiUse1->FromName = CardText(kSurname) + " " + CardText(kName);
    MapiUse1->SetRecipients({kStatisticsMailbox});
    MapiUse1->Subject = kCardSubject;
    MapiUse1->Body = CardBody(*this, Memo3->Text());
    try {
      MapiUse1->Send();
    } catch (const std::exception&) {
      // Whether the card reached the vendor is not the user's concern: a mail client that
      // breaks down must not keep the product from being installed.
    }
  }
  CheckFlashViewer();
  if (target == kFolderPage && !RadioButton1->Checked()) {
    gui::Application().MessageBox(kAcceptNoticeText, gui::Application().Title(), plat::mb::kOk);
    return;
  }
  Notebook1->SetPageIndex(target);
}

void TForm1::Deinstall(gui::TComponent*) {
  uninstallDone_ = true;
  // Button2 stays off until the handler ends, however it ends: after an error the detector's
  // next report gives it back.
  FlagScope busy(uninstalling_);
  Button2->SetEnabled(false);
  std::string root;
  if (DeleteInstallRecord(root)) {
    MyShortCut1->FilePathName = root;
    ProgressBar2->SetPosition(ProgressBar2->Position() + 1);
    MyShortCut1->RemoveLink();
    ProgressBar2->SetPosition(ProgressBar2->Position() + 1);
    MyShortCut1->RemoveCartella(root, ProgressBar2);
    ProgressBar2->SetPosition(ProgressBar2->Max());
  }
  gui::Application().MessageBox(kUninstalledText, gui::Application().Title(), plat::mb::kOk);
  Button2->SetEnabled(true);
}

void TForm1::INetDetector1Changed(gui::TComponent*) {
  const bool online = INetDetector1->Online();
  // The detector ticks on inside the uninstall's closing message box; Button2 stays off until
  // the uninstall has ended.
  Button2->SetEnabled(online && !uninstalling_);
  Button4->SetEnabled(online);
  Button1->SetEnabled(online);
  // "Installa" also needs a sound payload to install from; a damaged one is what the status
  // bar keeps telling, whatever the connection does.
  Button9->SetEnabled(online && payloadLocated_ && !payloadDamaged_);
  connectionStatus_ = online ? kStatusOnline : kStatusOffline;
  StatusBar1->SetSimpleText(StatusText());
}

// --- InstallHost

std::string TForm1::DestinationFolder() const { return LabelDir->Caption(); }

std::string TForm1::CardText(const CardField& field) const { return CardEdit(field).Text(); }

bool TForm1::CardChecked(const CardField& field) const { return CardCheckBox(field).Checked(); }

void TForm1::SetCardText(const CardField& field, const std::string& text) {
  CardEdit(field).SetText(text);
}

void TForm1::SetCardChecked(const CardField& field, bool checked) {
  CardCheckBox(field).SetChecked(checked);
}

std::vector<shell::TMyShortCut*> TForm1::ShortCuts() const {
  std::vector<shell::TMyShortCut*> found;
  for (gui::TComponent* c : Components()) {
    if (c->Tag() != kShortCutTag) continue;
    if (auto* sc = dynamic_cast<shell::TMyShortCut*>(c)) found.push_back(sc);
  }
  return found;
}

archive::TBackupFile& TForm1::Engine() { return *BackupFile1; }

void TForm1::ShowProgress(bool shown) {
  if (shown) ProgressBar1->Show();
  else ProgressBar1->Hide();
}

void TForm1::SetProgress(int percent, bool paintNow) {
  ProgressBar1->SetPosition(percent);
  if (paintNow) ProgressBar1->Repaint();
}

void TForm1::SetStatusText(const std::string& text) { StatusBar1->SetSimpleText(text); }

void TForm1::MarkInstallDone() {
  installDone_ = true;
  // An uninstall earlier in this window removed an older installation; this one is recorded.
  uninstallDone_ = false;
}

}  // namespace wizard
