// The wizard window: a white header with the logo and a dark strip, the six-page notebook with
// a 41-pixel button strip at the bottom of each page (forward button at the far right, back or
// close button to its left), and the status bar. Client area 592 x 464.
#include "wizard/Layouts.h"

namespace wizard {

namespace {

using gui::ControlKind;
using gui::ControlDef;
using gui::FontDef;
using gui::kDefaultColor;

constexpr FontDef kInherit{nullptr, 0, 0, 0};
constexpr FontDef kSans{"MS Sans Serif", 8, gui::clWindowText, 0};
constexpr FontDef kSansWhite{"MS Sans Serif", 8, gui::clWhite, 0};
constexpr FontDef kArialWhite{"Arial", 8, gui::clWhite, 0};
constexpr FontDef kArialWhiteBold{"Arial", 8, gui::clWhite, gui::fsBold};
constexpr FontDef kArialWhiteBoldUnderline{"Arial", 8, gui::clWhite,
                                            gui::fsBold | gui::fsUnderline};
constexpr FontDef kProductName{"Arial", 20, gui::clWhite, gui::fsBold};

constexpr unsigned kWrap = gui::optWordWrap;
constexpr unsigned kFixed = gui::optNoAutoSize;
constexpr unsigned kTextBox = gui::optVScroll | gui::optNoBorder;
constexpr unsigned kBox = gui::optNoBorder | gui::optWhiteOutline;

const gui::FormDef kForm1{"Form1",
                           "Installazione di Lumidesk",
                           592,
                           464,
                           gui::TBorderStyle::bsDialog,
                           gui::TPosition::poScreenCenter,
                           gui::clBtnFace,
                           kSans};

// Button strip geometry of every page (page height 397: the strip starts at 356).
constexpr int kStripTop = 364;
constexpr int kForwardLeft = 507;
constexpr int kBackLeft = 426;
constexpr int kThirdLeft = 345;
constexpr int kBtnW = 75;
constexpr int kBtnH = 25;

const ControlDef kForm1Controls[] = {
    // name, kind, parent, left, top, width, height, caption, colour, font, Tag, visible,
    // handler, options, ref
    // Header
    {"Panel1", ControlKind::Panel, "", 0, 0, 592, 49, "", gui::clWhite, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Image1", ControlKind::Image, "Panel1", 0, 0, 200, 49, "", kDefaultColor, kInherit, 0, true, "", 0, kPictureLogo},
    {"Panel2", ControlKind::Panel, "Panel1", 260, 0, 332, 49, "", kHeaderStripColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Shape1", ControlKind::Shape, "Panel2", 10, 8, 33, 33, "", gui::clWhite, kInherit, 0, true, "", 0, ""},
    {"Label32", ControlKind::Label, "Panel2", 54, 17, 260, 14, "Programma di installazione di Lumidesk", kDefaultColor, kArialWhiteBold, 0, true, "", 0, ""},

    // Notebook and its pages
    {"Notebook1", ControlKind::Notebook, "", 0, 49, 592, 397, "", kPageColor, kInherit, 0, true, "", 0, ""},
    {"Default", ControlKind::Page, "Notebook1", 0, 0, 592, 397, "Default", kPageColor, kInherit, 0, true, "", 0, ""},
    {"Meil", ControlKind::Page, "Notebook1", 0, 0, 592, 397, "Meil", kPageColor, kInherit, 0, true, "", 0, ""},
    {"due", ControlKind::Page, "Notebook1", 0, 0, 592, 397, "due", kPageColor, kInherit, 0, true, "", 0, ""},
    {"Tre", ControlKind::Page, "Notebook1", 0, 0, 592, 397, "Tre", kPageColor, kInherit, 0, true, "", 0, ""},
    {"erwe", ControlKind::Page, "Notebook1", 0, 0, 592, 397, "erwe", kPageColor, kInherit, 0, true, "", 0, ""},
    {"Quattro", ControlKind::Page, "Notebook1", 0, 0, 592, 397, "Quattro", kPageColor, kInherit, 0, true, "", 0, ""},

    // Page 0: welcome
    {"Panel3", ControlKind::Panel, "Default", 8, 16, 119, 280, "", kPictureBoxColor, kInherit, 0, true, "", kBox, ""},
    {"ImgBase", ControlKind::Image, "Panel3", 7, 8, 104, 93, "", kDefaultColor, kInherit, 0, true, "", 0, kPictureWelcome},
    {"Label1", ControlKind::Label, "Default", 8, 304, 576, 14, "", kDefaultColor, kArialWhiteBold, 0, true, "", kFixed, kTextSlogan},
    {"Label2", ControlKind::Label, "Default", 150, 40, 300, 32, "Lumidesk", kDefaultColor, kProductName, 0, true, "", 0, ""},
    {"Label3", ControlKind::Label, "Default", 150, 100, 420, 14, "Premere avanti per procedere con l'installazione", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Button14", ControlKind::Button, "Default", 150, 240, 150, kBtnH, "Disinstalla Lumidesk", kDefaultColor, kInherit, 0, true, "Deinstall", 0, ""},
    {"Label4", ControlKind::Label, "Default", 8, 362, 250, 14, "", kDefaultColor, kArialWhite, 0, true, "", kFixed, kTextVendor1},
    {"Label5", ControlKind::Label, "Default", 8, 378, 250, 14, "", kDefaultColor, kArialWhite, 0, true, "", kFixed, kTextVendor2},
    {"ProgressBar2", ControlKind::ProgressBar, "Default", 264, 368, 154, 16, "", kDefaultColor, kInherit, 0, true, "", 0, "0..10"},
    {"Button3", ControlKind::Button, "Default", kBackLeft, kStripTop, kBtnW, kBtnH, "&Chiudi", kDefaultColor, kInherit, 0, true, "Button3Click", 0, ""},
    {"Button2", ControlKind::Button, "Default", kForwardLeft, kStripTop, kBtnW, kBtnH, "&Avanti>>", kDefaultColor, kInherit, 1, true, "Button2Click", 0, ""},

    // Page 1: statistics card
    {"Label6", ControlKind::Label, "Meil", 8, 4, 576, 28, "Scheda Statistica Lumidesk - I dati della scheda verranno inoltrati con il programma di posta predefinito", kDefaultColor, kArialWhiteBold, 0, true, "", kWrap, ""},
    {"Label7", ControlKind::Label, "Meil", 8, 40, 80, 14, "Cognome", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Edit1", ControlKind::Edit, "Meil", 90, 38, 190, 18, "", kDefaultColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Label8", ControlKind::Label, "Meil", 300, 40, 70, 14, "Nome", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Edit2", ControlKind::Edit, "Meil", 380, 38, 200, 18, "", kDefaultColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Label9", ControlKind::Label, "Meil", 8, 66, 80, 14, "Indirizzo", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Edit7", ControlKind::Edit, "Meil", 90, 64, 490, 18, "", kDefaultColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Label10", ControlKind::Label, "Meil", 8, 92, 80, 14, "Citt\xE0", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Edit3", ControlKind::Edit, "Meil", 90, 90, 190, 18, "", kDefaultColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Label11", ControlKind::Label, "Meil", 300, 92, 40, 14, "Prov.", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Edit4", ControlKind::Edit, "Meil", 340, 90, 40, 18, "", kDefaultColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Label12", ControlKind::Label, "Meil", 400, 92, 30, 14, "Et\xE0", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Edit5", ControlKind::Edit, "Meil", 440, 90, 40, 18, "", kDefaultColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Label13", ControlKind::Label, "Meil", 8, 120, 170, 14, "Telefono cellulare (*Opzionale)", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Edit6", ControlKind::Edit, "Meil", 180, 118, 160, 18, "", kDefaultColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"GroupBox1", ControlKind::GroupBox, "Meil", 400, 110, 180, 40, "Sesso", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"CheckBox1", ControlKind::CheckBox, "GroupBox1", 10, 16, 70, 17, "Maschio", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"CheckBox2", ControlKind::CheckBox, "GroupBox1", 95, 16, 75, 17, "Femmina", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Label14", ControlKind::Label, "Meil", 8, 156, 576, 28, "Compilando la scheda sarai informato tempestivamente sulle nuove release e suoi nuovi software prodotti da NORTAVIA", kDefaultColor, kArialWhiteBold, 0, true, "", kWrap, ""},
    {"Label15", ControlKind::Label, "Meil", 8, 188, 200, 14, "Leggere con attenzione:", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Memo3", ControlKind::Memo, "Meil", 8, 204, 576, 96, "", kDefaultColor, kInherit, 0, true, "", kTextBox, kTextPrivacy},
    {"Label16", ControlKind::Label, "Meil", 8, 306, 120, 14, "Informativa privacy ", kDefaultColor, kArialWhiteBoldUnderline, 0, true, "", gui::optHandCursor, ""},
    {"Label17", ControlKind::Label, "Meil", 8, 324, 380, 14, "(Selezionando accetto, accetti anche quanto previsto dalla informativa)", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"RadioButton1", ControlKind::RadioButton, "Meil", 400, 320, 75, 17, "Accetto", kDefaultColor, kArialWhite, 0, true, "", gui::optChecked, ""},
    {"RadioButton2", ControlKind::RadioButton, "Meil", 480, 320, 100, 17, "non accetto", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Label18", ControlKind::Label, "Meil", 8, 362, 300, 14, "", kDefaultColor, kArialWhite, 0, true, "", kFixed, kTextVendor1},
    {"Label19", ControlKind::Label, "Meil", 8, 378, 300, 14, "", kDefaultColor, kArialWhite, 0, true, "", kFixed, kTextVendor2},
    {"Button13", ControlKind::Button, "Meil", kBackLeft, kStripTop, kBtnW, kBtnH, "&Indietro", kDefaultColor, kInherit, 0, true, "Button2Click", 0, ""},
    {"Button12", ControlKind::Button, "Meil", kForwardLeft, kStripTop, kBtnW, kBtnH, "&Avanti>>", kDefaultColor, kInherit, 2, true, "SendMail", 0, ""},

    // Page 2: destination folder
    {"Panel4", ControlKind::Panel, "due", 8, 16, 119, 280, "", kPictureBoxColor, kInherit, 0, true, "", kBox, ""},
    {"Image2", ControlKind::Image, "Panel4", 7, 8, 104, 93, "", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"Label20", ControlKind::Label, "due", 150, 40, 400, 14, "Per installare nelle Directory premere Avanti", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Label21", ControlKind::Label, "due", 150, 60, 400, 14, "Per cambiare Directory premere Cambia", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"sds", ControlKind::GroupBox, "due", 150, 236, 420, 60, "Directory di destinazione", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"LabelDir", ControlKind::Label, "sds", 12, 28, 253, 14, "c:\\programmi\\nortavia\\Lumidesk", kDefaultColor, kArialWhite, 0, true, "", kFixed, ""},
    {"Button5", ControlKind::Button, "sds", 330, 22, kBtnW, kBtnH, "Cambia", kDefaultColor, kSans, 0, true, "Button5Click", 0, ""},
    {"Panel10", ControlKind::Panel, "due", 144, 8, 325, 209, " ", kPageColor, kInherit, 0, true, "", gui::optNoBorder, ""},
    {"Image5", ControlKind::Image, "Panel10", 10, 8, 135, 38, "", kDefaultColor, kInherit, 0, false, "Button14Click", gui::optHandCursor, kPictureViewerDownload},
    {"Label26", ControlKind::Label, "Panel10", 10, 56, 305, 40, "Per un corretto funzionamento di Lumidesk \xE8 necessario installare il visualizzatore di Macromedia Flash!", kDefaultColor, kArialWhite, 0, false, "", kWrap, ""},
    {"Label29", ControlKind::Label, "Panel10", 10, 104, 305, 28, "Per installare il componente aggiuntivo premere il pulsante", kDefaultColor, kArialWhite, 0, false, "", kWrap, ""},
    {"Label30", ControlKind::Label, "Panel10", 13, 166, 300, 14, "Per installare nelle Directory premere Avanti", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Label31", ControlKind::Label, "Panel10", 31, 188, 280, 14, "Per cambiare Directory premere Cambia", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Indietro", ControlKind::Button, "due", kBackLeft, kStripTop, kBtnW, kBtnH, "<<&Indietro", kDefaultColor, kInherit, 1, true, "Button2Click", 0, ""},
    {"Button4", ControlKind::Button, "due", kForwardLeft, kStripTop, kBtnW, kBtnH, "&Avanti>>", kDefaultColor, kInherit, 3, true, "Button2Click", 0, ""},

    // Page 3: licence agreement
    {"Label22", ControlKind::Label, "Tre", 8, 6, 576, 28, "Leggere il seguente accordo di licenza. Premere il tasto PAG-GIU' per visualizzare la parte restante dell'accordo", kDefaultColor, kArialWhite, 0, true, "", kWrap, ""},
    {"Memo1", ControlKind::Memo, "Tre", 8, 38, 576, 262, "", kDefaultColor, kInherit, 0, true, "", kTextBox, kTextLicence},
    {"Label23", ControlKind::Label, "Tre", 8, 308, 576, 40, "L'utente accetta i termini del precedente accordo? Selezionando NO, l'installazione viene sospesa.Per installare Kalbrook premere SI", kDefaultColor, kArialWhiteBold, 0, true, "", kWrap, ""},
    {"Button8", ControlKind::Button, "Tre", kThirdLeft, kStripTop, kBtnW, kBtnH, "NO", kDefaultColor, kInherit, 0, true, "Button8Click", 0, ""},
    {"Button7", ControlKind::Button, "Tre", kBackLeft, kStripTop, kBtnW, kBtnH, "<<&Indietro", kDefaultColor, kInherit, 2, true, "Button2Click", 0, ""},
    {"Button6", ControlKind::Button, "Tre", kForwardLeft, kStripTop, kBtnW, kBtnH, "Si", kDefaultColor, kInherit, 4, true, "Button2Click", 0, ""},

    // Page 4: information
    {"Label24", ControlKind::Label, "erwe", 8, 8, 200, 14, "Informazioni", kDefaultColor, kArialWhiteBold, 0, true, "", 0, ""},
    {"Memo2", ControlKind::Memo, "erwe", 8, 28, 576, 320, "", kDefaultColor, kInherit, 0, true, "", kTextBox, kTextInformation},
    {"Button11", ControlKind::Button, "erwe", kBackLeft, kStripTop, kBtnW, kBtnH, "<<&Indietro", kDefaultColor, kInherit, 3, true, "Button2Click", 0, ""},
    {"Button1", ControlKind::Button, "erwe", kForwardLeft, kStripTop, kBtnW, kBtnH, "Avanti >>", kDefaultColor, kInherit, 5, true, "Button2Click", 0, ""},

    // Page 5: installation
    {"Panel5", ControlKind::Panel, "Quattro", 8, 16, 119, 280, "", kPictureBoxColor, kInherit, 0, true, "", kBox, ""},
    {"Image4", ControlKind::Image, "Panel5", 7, 8, 104, 93, "", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"Label25", ControlKind::Label, "Quattro", 150, 40, 420, 16, "Complimenti per la vostra scelta.", kDefaultColor, kArialWhiteBold, 0, true, "", 0, ""},
    {"Label27", ControlKind::Label, "Quattro", 150, 70, 420, 14, "Il programma verr\xE0 installato sul vostro computer in pochi secondi", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"Label28", ControlKind::Label, "Quattro", 150, 100, 200, 14, "Buon lavoro!!!", kDefaultColor, kArialWhite, 0, true, "", 0, ""},
    {"ProgressBar1", ControlKind::ProgressBar, "Quattro", 8, 368, 400, 16, "", kDefaultColor, kInherit, 0, false, "", 0, "0..100"},
    {"Button10", ControlKind::Button, "Quattro", kBackLeft, kStripTop, kBtnW, kBtnH, "<<&Indietro", kDefaultColor, kInherit, 3, true, "Button2Click", 0, ""},
    {"Button9", ControlKind::Button, "Quattro", kForwardLeft, kStripTop, kBtnW, kBtnH, "Installa", kDefaultColor, kInherit, 0, true, "Button1Click", 0, ""},

    // Status bar
    {"StatusBar1", ControlKind::StatusBar, "", 0, 446, 592, 18, "", kDefaultColor, kInherit, 0, true, "", 0, ""},
};

}  // namespace

LayoutTable Form1Layout() {
  return LayoutTable{kForm1, kForm1Controls, sizeof kForm1Controls / sizeof kForm1Controls[0]};
}

}  // namespace wizard
