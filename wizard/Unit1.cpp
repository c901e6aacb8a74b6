// The wizard window: construction, start-up and the handlers of navigation, online gating,
// paint, the folder chooser and closing.
#include "wizard/Unit1.h"

#include <map>

#include "archive/Payload.h"
#include "platform/Error.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/gui/Application.h"
#include "shell/ShortCut.h"
#include "wizard/Layouts.h"
#include "wizard/Services.h"
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
  throw plat::Error("Unknown picture " + name);
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

  auto* shortCut = new shell::TMyShortCut(this, plat::SystemShell(), services.Files(),
                                          services.Registry());
  ConfigureShortCut(*shortCut);

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
  PrefillCard();
}

TForm1::~TForm1() {
  // The detector goes before the window's other parts, so no tick reaches a half-gone window.
  delete INetDetector1;
  INetDetector1 = nullptr;
}

void TForm1::AfterConstruction() {
  TForm::AfterConstruction();
  if (!payloadLocated_) Button9->SetEnabled(false);
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

void TForm1::PrefillCard() {
  plat::RegistryAccess reg(CurrentServices().Registry());
  reg.SetRootKey(plat::kHKeyLocalMachine);
  reg.SetLazyWrite(false);
  // Without the record the card stays empty (reading with no key open would read the root).
  if (!reg.OpenKey(kInstallRecordKey, false)) return;
  Edit1->SetText(reg.ReadString("Cognome"));
  Edit2->SetText(reg.ReadString("Nome"));
  Edit3->SetText(reg.ReadString("Citta"));
  Edit4->SetText(reg.ReadString("Prov"));
  Edit7->SetText(reg.ReadString("Indirizzo"));
  Edit5->SetText(reg.ReadString("Eta"));
  Edit6->SetText(reg.ReadString("Tel"));
  // Exactly "True": the record is written with that spelling.
  if (reg.ReadString("Maschio") == "True") CheckBox1->SetChecked(true);
  reg.CloseKey();
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
  reg.SetRootKey(plat::kHKeyLocalMachine);
  reg.SetLazyWrite(false);
  if (!reg.OpenKey(kInstallRecordKey, false)) Button14->SetEnabled(false);
  reg.CloseKey();
}

void TForm1::FormClose(gui::TComponent*, gui::TCloseAction& action) {
  action = gui::TCloseAction::caFree;
}

void TForm1::FormPaint(gui::TComponent*) {
  Image2->AssignPicture(ImgBase->Picture());
  Image4->AssignPicture(ImgBase->Picture());
}

void TForm1::Button2Click(gui::TComponent* sender) { Notebook1->SetPageIndex(sender->Tag()); }

void TForm1::Button3Click(gui::TComponent*) { Close(); }

void TForm1::Button8Click(gui::TComponent*) { Close(); }

void TForm1::Button5Click(gui::TComponent*) {
  std::unique_ptr<TForm2> dialog(gui::Create<TForm2>(&gui::Application()));
  dialog->Edit1->SetText(LabelDir->Caption());
  if (dialog->ShowModal() == gui::mrOk) LabelDir->SetCaption(dialog->Edit1->Text());
}

void TForm1::Button1Click(gui::TComponent*) {
  // Without a located payload there is nothing to extract; the button is kept disabled then,
  // and a press that gets here anyway does nothing.
  if (!payloadLocated_ || !payload_) return;
  // The installation run itself is added with the restore wiring.
}

void TForm1::Button14Click(gui::TComponent*) {
  // The download page is opened by the Flash viewer check's wiring; the panel goes either way.
  Panel10->Hide();
}

void TForm1::SendMail(gui::TComponent* sender) {
  // The card's mail is sent by the mail component's wiring; until then the card only moves on.
  Notebook1->SetPageIndex(sender->Tag());
}

void TForm1::Deinstall(gui::TComponent*) {
  // Removing a previous installation is added with the uninstaller.
}

void TForm1::INetDetector1Changed(gui::TComponent*) {
  const bool online = INetDetector1->Online();
  Button2->SetEnabled(online);
  Button4->SetEnabled(online);
  Button1->SetEnabled(online);
  // "Installa" also needs a payload to install from.
  Button9->SetEnabled(online && payloadLocated_);
  StatusBar1->SetSimpleText(online ? kStatusOnline : kStatusOffline);
}

}  // namespace wizard
