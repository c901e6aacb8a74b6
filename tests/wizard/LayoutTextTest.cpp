// The two windows' controls, texts, tags, colours and fonts, checked against the list of what
// each window must hold.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "WizardFixture.h"
#include "platform/gui/ExtControls.h"
#include "wizard/Layouts.h"
#include "wizard/Unit2.h"

namespace wizardtest {
namespace {

struct Expected {
  const char* name;
  gui::ControlKind kind;
  const char* caption;
};

using K = gui::ControlKind;

const Expected kForm1Texts[] = {
    {"Label32", K::Label, "Programma di installazione di Lumidesk"},
    {"Label2", K::Label, "Lumidesk"},
    {"Label3", K::Label, "Premere avanti per procedere con l'installazione"},
    {"Button14", K::Button, "Disinstalla Lumidesk"},
    {"Button3", K::Button, "&Chiudi"},
    {"Button2", K::Button, "&Avanti>>"},
    {"Label6", K::Label, "Scheda Statistica Lumidesk - I dati della scheda verranno inoltrati con il programma di posta predefinito"},
    {"Label7", K::Label, "Cognome"},
    {"Label8", K::Label, "Nome"},
    {"Label9", K::Label, "Indirizzo"},
    {"Label10", K::Label, "Citt\xE0"},
    {"Label11", K::Label, "Prov."},
    {"Label12", K::Label, "Et\xE0"},
    {"Label13", K::Label, "Telefono cellulare (*Opzionale)"},
    {"GroupBox1", K::GroupBox, "Sesso"},
    {"CheckBox1", K::CheckBox, "Maschio"},
    {"CheckBox2", K::CheckBox, "Femmina"},
    {"Label14", K::Label, "Compilando la scheda sarai informato tempestivamente sulle nuove release e suoi nuovi software prodotti da NORTAVIA"},
    {"Label15", K::Label, "Leggere con attenzione:"},
    {"Label16", K::Label, "Informativa privacy "},
    {"Label17", K::Label, "(Selezionando accetto, accetti anche quanto previsto dalla informativa)"},
    {"RadioButton1", K::RadioButton, "Accetto"},
    {"RadioButton2", K::RadioButton, "non accetto"},
    {"Button13", K::Button, "&Indietro"},
    {"Button12", K::Button, "&Avanti>>"},
    {"Label20", K::Label, "Per installare nelle Directory premere Avanti"},
    {"Label21", K::Label, "Per cambiare Directory premere Cambia"},
    {"sds", K::GroupBox, "Directory di destinazione"},
    {"LabelDir", K::Label, "c:\\programmi\\nortavia\\Lumidesk"},
    {"Button5", K::Button, "Cambia"},
    {"Label26", K::Label, "Per un corretto funzionamento di Lumidesk \xE8 necessario installare il visualizzatore di Macromedia Flash!"},
    {"Label29", K::Label, "Per installare il componente aggiuntivo premere il pulsante"},
    {"Label30", K::Label, "Per installare nelle Directory premere Avanti"},
    {"Label31", K::Label, "Per cambiare Directory premere Cambia"},
    {"Indietro", K::Button, "<<&Indietro"},
    {"Button4", K::Button, "&Avanti>>"},
    {"Label22", K::Label, "Leggere il seguente accordo di licenza. Premere il tasto PAG-GIU' per visualizzare la parte restante dell'accordo"},
    {"Label23", K::Label, "L'utente accetta i termini del precedente accordo? Selezionando NO, l'installazione viene sospesa.Per installare Kalbrook premere SI"},
    {"Button8", K::Button, "NO"},
    {"Button7", K::Button, "<<&Indietro"},
    {"Button6", K::Button, "Si"},
    {"Label24", K::Label, "Informazioni"},
    {"Button11", K::Button, "<<&Indietro"},
    {"Button1", K::Button, "Avanti >>"},
    {"Label25", K::Label, "Complimenti per la vostra scelta."},
    {"Label27", K::Label, "Il programma verr\xE0 installato sul vostro computer in pochi secondi"},
    {"Label28", K::Label, "Buon lavoro!!!"},
    {"Button10", K::Button, "<<&Indietro"},
    {"Button9", K::Button, "Installa"},
    {"StatusBar1", K::StatusBar, ""},
    {"Panel10", K::Panel, " "},
    {"Edit1", K::Edit, ""}, {"Edit2", K::Edit, ""}, {"Edit3", K::Edit, ""}, {"Edit4", K::Edit, ""},
    {"Edit5", K::Edit, ""}, {"Edit6", K::Edit, ""}, {"Edit7", K::Edit, ""},
};

const Expected kForm2Texts[] = {
    {"Label5", K::Label, "Selezionare un nuovo percorso per l'installazione"},
    {"Label3", K::Label, "Percorso:"},
    {"Label2", K::Label, "Directory:"},
    {"Button1", K::Button, "Conferma"},
    {"Button2", K::Button, "Annulla"},
    {"Label1", K::Label, "Driver:"},
};

using LayoutTextTest = WizardTest;

TEST_F(LayoutTextTest, WizardWindowHoldsEveryControlWithItsText) {
  UseDefaultInstaller();
  auto& w = StartWizard();
  for (const Expected& e : kForm1Texts) {
    auto* c = w.Find<gui::TControl>(e.name);
    ASSERT_NE(c, nullptr) << e.name;
    EXPECT_EQ(c->Kind(), e.kind) << e.name;
    EXPECT_EQ(c->Caption(), e.caption) << e.name;
  }
  // The text boxes and the vendor lines carry the texts supplied with the program.
  for (const char* memo : {"Memo1", "Memo2", "Memo3"}) {
    auto* m = w.Find<gui::TMemo>(memo);
    ASSERT_NE(m, nullptr) << memo;
    EXPECT_GT(m->Text().size(), 200u) << memo;
    EXPECT_TRUE(m->VerticalScrollBar()) << memo;
    EXPECT_FALSE(m->Border()) << memo;
    EXPECT_FALSE(m->ReadOnly()) << memo;
  }
  EXPECT_NE(w.Memo3->Text().find("NORTAVIA"), std::string::npos);
  EXPECT_EQ(w.Caption().rfind("Installazione di Lumidesk", 0), 0u);
}

TEST_F(LayoutTextTest, PagesInOrderWithTheirNames) {
  UseDefaultInstaller();
  auto& w = StartWizard();
  const std::vector<std::string> names = {"Default", "Meil", "due", "Tre", "erwe", "Quattro"};
  ASSERT_EQ(w.Notebook1->PageCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(w.Notebook1->Page(i)->Caption(), names[static_cast<std::size_t>(i)]);
    EXPECT_EQ(w.Notebook1->Page(i)->Color(), wizard::kPageColor);
  }
}

TEST_F(LayoutTextTest, TagsAndHandlersOfTheButtons) {
  using wizard::TForm1;
  using Handler = void (TForm1::*)(gui::TComponent*);
  const std::map<std::string, std::pair<int, Handler>> expected = {
      {"Button2", {1, &TForm1::Button2Click}},  {"Button3", {0, &TForm1::Button3Click}},
      {"Button14", {0, &TForm1::Deinstall}},    {"Button13", {0, &TForm1::Button2Click}},
      {"Button12", {2, &TForm1::SendMail}},     {"Indietro", {1, &TForm1::Button2Click}},
      {"Button5", {0, &TForm1::Button5Click}},  {"Button4", {3, &TForm1::Button2Click}},
      {"Button8", {0, &TForm1::Button8Click}},  {"Button7", {2, &TForm1::Button2Click}},
      {"Button6", {4, &TForm1::Button2Click}},  {"Button11", {3, &TForm1::Button2Click}},
      {"Button1", {5, &TForm1::Button2Click}},  {"Button10", {3, &TForm1::Button2Click}},
      {"Button9", {0, &TForm1::Button1Click}},  {"Image5", {0, &TForm1::Button14Click}},
  };
  std::size_t found = 0;
  for (const auto& row : wizard::Form1Layout()) {
    auto it = expected.find(row.def.name);
    if (it == expected.end()) continue;
    ++found;
    EXPECT_EQ(row.def.tag, it->second.first) << row.def.name;
    EXPECT_TRUE(row.handler == it->second.second) << row.def.name;
  }
  EXPECT_EQ(found, expected.size());
}

TEST_F(LayoutTextTest, WindowGeometryColoursAndFonts) {
  UseDefaultInstaller();
  auto& w = StartWizard();
  EXPECT_EQ(w.ClientWidth(), 592);
  EXPECT_EQ(w.ClientHeight(), 464);
  EXPECT_EQ(w.BorderStyle(), gui::TBorderStyle::bsDialog);
  EXPECT_EQ(w.Position(), gui::TPosition::poScreenCenter);
  EXPECT_EQ(w.Font().Name, "MS Sans Serif");
  EXPECT_EQ(w.Font().Size, 8);
  EXPECT_EQ(w.Find<gui::TControl>("Panel2")->Color(), gui::Rgb(0, 0, 96));
  for (const char* box : {"Panel3", "Panel4", "Panel5"}) {
    auto* p = w.Find<gui::TPanel>(box);
    EXPECT_EQ(p->Color(), gui::Rgb(0, 128, 192)) << box;
    EXPECT_EQ(p->Width(), 119) << box;
    EXPECT_EQ(p->Height(), 280) << box;
    EXPECT_EQ(p->Outline(), gui::clWhite) << box;
  }
  EXPECT_EQ(w.Panel10->Color(), gui::Rgb(0, 64, 128));
  EXPECT_EQ(w.Panel10->Left(), 144);
  EXPECT_EQ(w.Panel10->Top(), 8);
  EXPECT_EQ(w.Panel10->Width(), 325);
  EXPECT_EQ(w.Panel10->Height(), 209);
  EXPECT_EQ(w.Label30->Left(), 13);
  EXPECT_EQ(w.Label30->Top(), 166);
  EXPECT_EQ(w.Label31->Left(), 31);
  EXPECT_EQ(w.Label31->Top(), 188);
  EXPECT_EQ(w.LabelDir->Width(), 253);
  EXPECT_FALSE(static_cast<gui::TLabel*>(w.LabelDir)->WordWrap());
  EXPECT_EQ(w.Image5->Cursor(), gui::crHandPoint);
  EXPECT_EQ(w.Find<gui::TControl>("Label16")->Cursor(), gui::crHandPoint);
  EXPECT_TRUE(w.Find<gui::TControl>("Label16")->Font().Underline);
  EXPECT_EQ(w.Label26->Font().Color, gui::clWhite);
  EXPECT_EQ(w.Find<gui::TImage>("Image1")->Picture().Width(), 200);
  EXPECT_EQ(w.Find<gui::TImage>("Image1")->Picture().Height(), 54);
  // The viewer prompt's picture, complete for whenever the panel shows it.
  EXPECT_EQ(w.Image5->Picture().Width(), 135);
  EXPECT_EQ(w.Image5->Picture().Height(), 38);
  EXPECT_EQ(w.StatusBar1->Height(), 18);
}

TEST_F(LayoutTextTest, FolderChooserHoldsEveryControlWithItsText) {
  auto* d = gui::Create<wizard::TForm2>(&app_);
  for (const Expected& e : kForm2Texts) {
    auto* c = d->Find<gui::TControl>(e.name);
    ASSERT_NE(c, nullptr) << e.name;
    EXPECT_EQ(c->Kind(), e.kind) << e.name;
    EXPECT_EQ(c->Caption(), e.caption) << e.name;
  }
  EXPECT_EQ(d->Caption(), "Seleziona percorso");
  EXPECT_EQ(d->ClientWidth(), 275);
  EXPECT_EQ(d->ClientHeight(), 258);
  EXPECT_EQ(d->BorderStyle(), gui::TBorderStyle::bsDialog);
  EXPECT_EQ(d->Edit1->Width(), 229);
  EXPECT_EQ(d->DirectoryListBox1->Width(), 145);
  EXPECT_EQ(d->DirectoryListBox1->Height(), 97);
  EXPECT_EQ(d->DriveComboBox1->Width(), 145);
  EXPECT_FALSE(d->Label4->Visible());
  EXPECT_EQ(d->DriveComboBox1->DirList(), d->DirectoryListBox1);
  delete d;
}

TEST_F(LayoutTextTest, NonVisualComponentsAsConfigured) {
  UseDefaultInstaller();
  auto& w = StartWizard();
  EXPECT_TRUE(w.INetDetector1->Enabled());
  EXPECT_EQ(w.INetDetector1->DispatchInterval(), 1000u);
  EXPECT_FALSE(w.INetDetector1->Online());
  EXPECT_EQ(w.BackupFile1->RestoreMode, archive::rmAll);
  EXPECT_FALSE(w.BackupFile1->RestoreFullPath);
  int tagged = 0;
  for (gui::TComponent* c : w.Components())
    if (c->Tag() == wizard::kShortCutTag) ++tagged;
  EXPECT_EQ(tagged, 1);
  EXPECT_NE(w.FindComponent("MyShortCut1"), nullptr);
}

}  // namespace
}  // namespace wizardtest
