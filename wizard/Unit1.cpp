// The wizard window: construction, start-up and the handlers of navigation, online gating,
// paint, the folder chooser, the statistics card with its mail and the Flash viewer check, the
// installation run with its file routing, closing with the install record, and the uninstall.
#include "wizard/Unit1.h"

#include <exception>
#include <map>
#include <utility>

#include "archive/ArchiveCheck.h"
#include "archive/Payload.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/FileSignature.h"
#include "platform/Launch.h"
#include "platform/MessagePump.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/gui/Application.h"
#include "shell/ShortCut.h"
#include "wizard/Configuration.h"
#include "wizard/FileRouting.h"
#include "wizard/InstallRecord.h"
#include "wizard/Layouts.h"
#include "wizard/Services.h"
#include "wizard/Texts.h"
#include "wizard/Unit2.h"
#include "wizard/content/Content.h"

namespace wizard {

namespace {

template <class T>
T* Need(gui::TForm& form, const char* name) {
  T* c = form.Find<T>(name);
  if (!c) throw plat::Error(std::string("Missing control ") + name);
  return c;
}

gui::TPicture PictureFrom(content::Bytes bytes) {
  return gui::TPicture(std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

std::string SuppliedText(const std::string& name) {
  if (name == kTextLicence) return content::LicenceText();
  if (name == kTextInformation) return content::InformationText();
  if (name == kTextPrivacy) return content::PrivacyNotice();
  if (name == kTextSlogan) return content::Slogan();
  if (name == kTextVendor1) return content::VendorNotice1();
  if (name == kTextVendor2) return content::VendorNotice2();
  throw plat::Error("Unknown text " + name);
}

gui::TPicture SuppliedPicture(const std::string& name) {
  if (name == kPictureLogo) return PictureFrom(content::LogoBitmap());
  if (name == kPictureWelcome) return PictureFrom(content::WelcomeBitmap());
  if (name == kPictureViewerDownload) return PictureFrom(content::ViewerDownloadBitmap());
  throw plat::Error("Unknown picture " + name);
}

// Why a signed installer's signature makes it damaged, empty when it does not: a signature that
// does not match the file's bytes, or a certificate table with no signature the system can read.
// An unsigned installer, and a signer the system does not trust or whose certificate has
// expired, are not the installer's to judge: Windows and the browser warn the user of those.
std::string SignatureDamage(const archive::ArchiveWalker& walker, const std::string& path) {
  if (walker.CertificateTableSize() == 0) return std::string();
  const plat::SignatureVerdict verdict = plat::CheckFileSignature(path);
  if (verdict.state != plat::SignatureState::kMismatch &&
      verdict.state != plat::SignatureState::kNotFound) {
    return std::string();
  }
  // The system's code in hex, as its documentation gives it. Not snprintf: MinGW's printf
  // family would bring its floating-point formatting into the installer.
  std::string damage = verdict.state == plat::SignatureState::kMismatch
                           ? "the signature does not match the file's bytes (0x"
                           : "the certificate table holds no signature the system can read (0x";
  for (int shift = 28; shift >= 0; shift -= 4) {
    damage += "0123456789ABCDEF"[(verdict.code >> shift) & 0xF];
  }
  return damage + ")";
}

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

// The screen cursor for the length of an installation run, and the run's flag, put back
// however the run ends.
class RunScope {
 public:
  explicit RunScope(bool& installing) : installing_(installing) {
    installing_ = true;
    gui::Application().SetCursor(gui::crHourGlass);
  }
  ~RunScope() { End(); }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;
  void End() {
    if (!installing_) return;
    gui::Application().SetCursor(gui::crDefault);
    installing_ = false;
  }

 private:
  bool& installing_;
};

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

TForm1::TForm1(gui::TComponent* owner) : TForm(owner) {
  const Services& services = CurrentServices();

  // 1. The window, its controls and its non-visual components.
  const LayoutTable t = Form1Layout();
  gui::BuildLayout(*this, t.form, t.controls, t.count,
                   [this](const std::string& n) { return Handler(n); }, SuppliedPicture,
                   SuppliedText);
  Notebook1 = Need<gui::TNotebook>(*this, "Notebook1");
  StatusBar1 = Need<gui::TStatusBar>(*this, "StatusBar1");
  Button1 = Need<gui::TButton>(*this, "Button1");
  Button2 = Need<gui::TButton>(*this, "Button2");
  Button3 = Need<gui::TButton>(*this, "Button3");
  Button4 = Need<gui::TButton>(*this, "Button4");
  Button5 = Need<gui::TButton>(*this, "Button5");
  Button6 = Need<gui::TButton>(*this, "Button6");
  Button7 = Need<gui::TButton>(*this, "Button7");
  Button8 = Need<gui::TButton>(*this, "Button8");
  Button9 = Need<gui::TButton>(*this, "Button9");
  Button10 = Need<gui::TButton>(*this, "Button10");
  Button11 = Need<gui::TButton>(*this, "Button11");
  Button12 = Need<gui::TButton>(*this, "Button12");
  Button13 = Need<gui::TButton>(*this, "Button13");
  Button14 = Need<gui::TButton>(*this, "Button14");
  Indietro = Need<gui::TButton>(*this, "Indietro");
  LabelDir = Need<gui::TLabel>(*this, "LabelDir");
  Edit1 = Need<gui::TEdit>(*this, "Edit1");
  Edit2 = Need<gui::TEdit>(*this, "Edit2");
  Edit3 = Need<gui::TEdit>(*this, "Edit3");
  Edit4 = Need<gui::TEdit>(*this, "Edit4");
  Edit5 = Need<gui::TEdit>(*this, "Edit5");
  Edit6 = Need<gui::TEdit>(*this, "Edit6");
  Edit7 = Need<gui::TEdit>(*this, "Edit7");
  CheckBox1 = Need<gui::TCheckBox>(*this, "CheckBox1");
  CheckBox2 = Need<gui::TCheckBox>(*this, "CheckBox2");
  RadioButton1 = Need<gui::TRadioButton>(*this, "RadioButton1");
  RadioButton2 = Need<gui::TRadioButton>(*this, "RadioButton2");
  Memo1 = Need<gui::TMemo>(*this, "Memo1");
  Memo2 = Need<gui::TMemo>(*this, "Memo2");
  Memo3 = Need<gui::TMemo>(*this, "Memo3");
  ImgBase = Need<gui::TImage>(*this, "ImgBase");
  Image2 = Need<gui::TImage>(*this, "Image2");
  Image4 = Need<gui::TImage>(*this, "Image4");
  Image5 = Need<gui::TImage>(*this, "Image5");
  Panel10 = Need<gui::TPanel>(*this, "Panel10");
  Label26 = Need<gui::TLabel>(*this, "Label26");
  Label29 = Need<gui::TLabel>(*this, "Label29");
  Label30 = Need<gui::TLabel>(*this, "Label30");
  Label31 = Need<gui::TLabel>(*this, "Label31");
  ProgressBar1 = Need<gui::TProgressBar>(*this, "ProgressBar1");
  ProgressBar2 = Need<gui::TProgressBar>(*this, "ProgressBar2");

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
    engineError_ = code;
    failedFile_ = b->CurrentFile();
    failedFileExisted_ = currentTargetExisted_;
  };

  MyShortCut1 = new shell::TMyShortCut(this, plat::SystemShell(), services.Files(),
                                       services.Registry());
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

gui::TNotifyEvent TForm1::Handler(const std::string& name) {
  using Method = void (TForm1::*)(gui::TComponent*);
  static const std::map<std::string, Method> handlers = {
      {"Button1Click", &TForm1::Button1Click},   {"Button2Click", &TForm1::Button2Click},
      {"Button3Click", &TForm1::Button3Click},   {"Button5Click", &TForm1::Button5Click},
      {"Button8Click", &TForm1::Button8Click},   {"Button14Click", &TForm1::Button14Click},
      {"SendMail", &TForm1::SendMail},           {"Deinstall", &TForm1::Deinstall},
  };
  auto it = handlers.find(name);
  if (it == handlers.end()) return nullptr;
  const Method m = it->second;
  return [this, m](gui::TComponent* sender) { (this->*m)(sender); };
}

void TForm1::FormCreate(gui::TComponent*) {
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
  ScanPayload();
}

void TForm1::ScanPayload() {
  try {
    archive::ArchiveWalker walker(*payload_, plat::ModuleFileName());
    archive::ScanArchive(walker);
    // A signed file is checked whole against its signature, so that a byte changed anywhere,
    // even where the archive format cannot see it, disables "Installa" from the start.
    const std::string damage = SignatureDamage(walker, plat::ModuleFileName());
    if (!damage.empty()) MarkPayloadDamaged(damage);
  } catch (const archive::WalkError& e) {
    MarkPayloadDamaged(e.what());
  } catch (const std::exception& e) {
    MarkPayloadDamaged(e.what());
  }
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

std::string TForm1::CheckPayloadBeforeInstalling() {
  StatusBar1->SetSimpleText(kStatusCheckingPayload);
  archive::ArchiveSummary summary;
  std::string damage;
  try {
    archive::ArchiveWalker walker(*payload_, plat::ModuleFileName());
    int shown = -1;
    walker.SetProgress([this, &shown](std::int64_t done, std::int64_t total) {
      const int percent = archive::TBackupFile::Percentage(done, total);
      if (percent != shown) {
        shown = percent;
        ProgressBar1->SetPosition(percent);
        ProgressBar1->Repaint();
      }
      // As during the restore: the window repaints and the detector's ticks still arrive.
      plat::ProcessMessages();
    });
    summary = archive::VerifyArchive(walker);
    // Again here: the file is shared for writing and may have changed since start-up.
    damage = SignatureDamage(walker, plat::ModuleFileName());
  } catch (const std::exception& e) {
    damage = e.what();
    if (damage.empty()) damage = "the payload cannot be read";
  }
  // The detector ticks on during the check: the bar tells the state as it is now, which may
  // not be the one it told before.
  StatusBar1->SetSimpleText(StatusText());
  ProgressBar1->SetPosition(0);
  if (!damage.empty()) {
    MarkPayloadDamaged(damage);
    return kPayloadDamagedText;
  }
  // A member the routing would refuse stops the run before its first file.
  for (const std::string& name : summary.fileNames) {
    if (RouteMember(name, Destination()).Refused()) return kUnsafeNameText + name;
  }
  return std::string();
}

std::string TForm1::FailedRunText() const {
  if (!failedFolder_.empty()) {
    return kFolderNotCreatedText + failedFolder_ + kFolderNotCreatedAdvice;
  }
  if (engineError_ == archive::kErrReadFile && !failedFile_.empty()) {
    return failedFileExisted_ ? kFileInUseText + failedFile_ + kFileInUseAdvice
                              : kFileNotWrittenText + failedFile_ + kFileNotWrittenAdvice;
  }
  return kInstallFailedText;
}

void TForm1::FormClose(gui::TComponent*, gui::TCloseAction& action) {
  // Freeing the window now would pull it from under the restore that is pumping messages.
  if (installing_) {
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
  if (installing_) return;  // the run's page stays until the run ends
  Notebook1->SetPageIndex(sender->Tag());
}

void TForm1::Button3Click(gui::TComponent*) { Close(); }

void TForm1::Button8Click(gui::TComponent*) { Close(); }

void TForm1::Button5Click(gui::TComponent*) {
  if (installing_) return;
  std::unique_ptr<TForm2> dialog(gui::Create<TForm2>(&gui::Application()));
  dialog->Edit1->SetText(LabelDir->Caption());
  if (dialog->ShowModal() == gui::mrOk) LabelDir->SetCaption(dialog->Edit1->Text());
}

void TForm1::Button1Click(gui::TComponent*) {
  // Without a located, sound payload there is nothing to extract; the button is kept disabled
  // then, and a press that gets here anyway does nothing.
  if (!payloadLocated_ || !payload_ || payloadDamaged_) return;
  // A press delivered while the restore pumps messages would start a second run inside the
  // first, on the same stream.
  if (installing_) return;
  // Empty or relative, the destination would be taken from the current drive and folder, which
  // are wherever the installer was started from.
  if (!plat::IsFullPath(LabelDir->Caption())) {
    gui::Application().MessageBox(std::string(kDestinationNotFullText) + kDefaultDestination,
                                  kInstallFailedTitle, plat::mb::kOk | plat::mb::kIconError);
    return;
  }

  bool restored = false;
  std::string stop;  // why the run stopped before writing anything
  {
    RunScope run(installing_);
    runDestination_ = LabelDir->Caption();
    failedFolder_.clear();
    failedFile_.clear();
    failedFileExisted_ = false;
    engineError_ = 0;
    ResetShortCutsForRun();
    ProgressBar1->Show();
    stop = CheckPayloadBeforeInstalling();
    if (stop.empty()) {
      try {
        payload_->Seek(payloadOffset_, plat::Stream::Origin::Begin);
        restored = BackupFile1->RestoreFromStream(payload_.get(), std::string());
      } catch (const std::exception&) {
        restored = false;  // the payload could not be reached: nothing was extracted
      }
    }
  }

  if (!restored) {
    // The controls go back to their state before the run, so that the user can change the
    // folder and try again.
    ProgressBar1->SetPosition(0);
    ProgressBar1->Hide();
    gui::Application().MessageBox(stop.empty() ? FailedRunText() : stop, kInstallFailedTitle,
                                  plat::mb::kOk | plat::mb::kIconError);
    return;
  }
  installDone_ = true;
  // An uninstall earlier in this window removed an older installation; this one is recorded.
  uninstallDone_ = false;
  gui::Application().MessageBox(kInstallDoneText, kInstallDoneTitle, plat::mb::kOk);
  Close();
}

std::string TForm1::Destination() const {
  return installing_ ? runDestination_ : LabelDir->Caption();
}

void TForm1::ResetShortCutsForRun() {
  for (gui::TComponent* c : Components()) {
    if (c->Tag() != kShortCutTag) continue;
    auto* sc = dynamic_cast<shell::TMyShortCut*>(c);
    if (!sc) continue;
    auto it = initialIcons_.find(sc);
    if (it == initialIcons_.end()) {
      initialIcons_.emplace(sc, sc->IconPathName);
    } else {
      sc->IconPathName = it->second;
    }
  }
}

void TForm1::PrepareFolders(const std::string& destination) {
  plat::FileSystem& fs = CurrentServices().Files();
  const std::string folders[] = {destination, destination + "\\" + kTemplatesFolder,
                                 destination + "\\" + kRtfTemplatesFolder};
  try {
    // One level each; a creation that fails is left to the engine, which makes the whole
    // chain of every target before writing.
    for (const std::string& folder : folders)
      if (!fs.DirectoryExists(folder)) fs.CreateDir(folder);
  } catch (const std::exception&) {
    throw plat::Error(kFolderPreparationError);
  }
}

void TForm1::BackupFile1RestoreFile(archive::TBackupFile*, std::string& Filename, std::int32_t,
                                    bool& DoRestore) {
  const std::string destination = Destination();
  const std::string fileName = plat::ExtractFileName(Filename);
  const MemberRoute route = RouteMember(Filename, destination);
  // Refusing the member ends the run with failure; nothing is written outside the folder.
  // (The check before the run refuses such a payload already; this guards every member.)
  if (route.Refused()) throw plat::Error(kUnsafeMemberName + Filename);
  PrepareFolders(destination);

  Filename = route.target;
  // The engine passes over a member whose folder it cannot make, without an error: the run
  // would end as a success with files missing. The folder is made here, and a failure ends
  // the run.
  plat::FileSystem& fs = CurrentServices().Files();
  const std::string folder = plat::ExcludeTrailingBackslash(plat::ExtractFilePath(Filename));
  if (!fs.ForceDirectories(folder)) {
    failedFolder_ = folder;
    throw plat::Error(kFolderPreparationError);
  }
  currentTargetExisted_ = fs.FileExists(Filename);

  // The links are made when the program is met, before its file is written.
  const std::string upperName = plat::AnsiUpperCase(fileName);
  for (gui::TComponent* c : Components()) {
    if (c->Tag() != kShortCutTag) continue;
    auto* sc = dynamic_cast<shell::TMyShortCut*>(c);
    if (!sc || plat::AnsiUpperCase(sc->ExeName) != upperName) continue;
    sc->FilePathName = Filename;
    // Prefixed from the value before the run, so that a second match or a second run does
    // not prefix the folder twice.
    auto it = initialIcons_.find(sc);
    const std::string icon = it != initialIcons_.end() ? it->second : sc->IconPathName;
    if (!icon.empty()) sc->IconPathName = destination + "\\" + icon;
    sc->CreateLink();
  }
  DoRestore = true;
}

void TForm1::BackupFile1Progress(archive::TBackupFile*, std::string, archive::TPercentage Percent,
                                 bool&) {
  ProgressBar1->SetPosition(Percent);
  // The restore keeps the GUI thread busy; waiting for an idle paint would freeze the bar.
  ProgressBar1->Repaint();
}

void TForm1::Button14Click(gui::TComponent*) {
  Panel10->Hide();
  // The browser shows the page or it does not; the wizard has nothing more to tell the user.
  plat::ShellOpen(BackendData(), kFlashDownloadPage);
}

bool TForm1::CardComplete() const {
  // Blanks count as filled; the phone is optional.
  for (const gui::TEdit* required : {Edit7, Edit1, Edit2, Edit3, Edit4, Edit5})
    if (required->Text().empty()) return false;
  return true;
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
  if (installing_) return;
  const int target = sender->Tag();
  if (RadioButton1->Checked()) {
    if (!CardComplete()) {
      gui::Application().MessageBox(kIncompleteCardText, kIncompleteCardTitle,
                                    plat::mb::kOk | plat::mb::kIconError);
      return;
    }
    MapiUse1->FromName = Edit1->Text() + " " + Edit2->Text();
    MapiUse1->SetRecipients({kStatisticsMailbox});
    MapiUse1->Subject = kCardSubject;
    MapiUse1->Body = CardBody(*this);
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
  if (installing_) return;
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

}  // namespace wizard
