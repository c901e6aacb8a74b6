// The wizard window: a white header with the logo and a dark strip, the six-page notebook with
// a 41-pixel button strip at the bottom of each page (forward button at the far right, back or
// close button to its left), and the status bar. Client area 592 x 464.
#include "wizard/Layouts.h"

#include <vector>

#include "wizard/Texts.h"
#include "wizard/Unit1.h"
#include "wizard/content/Content.h"

namespace wizard {

namespace {

using gui::FontDef;
using Row = gui::LayoutRow<TForm1>;

constexpr FontDef kSans{"MS Sans Serif", 8, gui::clWindowText, 0};
constexpr FontDef kSansWhite{"MS Sans Serif", 8, gui::clWhite, 0};
constexpr FontDef kArialWhite{"Arial", 8, gui::clWhite, 0};
constexpr FontDef kArialWhiteBold{"Arial", 8, gui::clWhite, gui::fsBold};
constexpr FontDef kArialWhiteBoldUnderline{"Arial", 8, gui::clWhite,
                                            gui::fsBold | gui::fsUnderline};
constexpr FontDef kProductName{"Arial", 20, gui::clWhite, gui::fsBold};

gui::TPicture PictureFrom(content::Bytes bytes) {
  return gui::TPicture(std::vector<unsigned char>(bytes.begin(), bytes.end()));
}
gui::TPicture LogoPicture() { return PictureFrom(content::LogoBitmap()); }
gui::TPicture WelcomePicture() { return PictureFrom(content::WelcomeBitmap()); }
gui::TPicture ViewerDownloadPicture() { return PictureFrom(content::ViewerDownloadBitmap()); }

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

constexpr Row kForm1Controls[] = {
    // Header
    Row::Panel("Panel1").At(0, 0, 592, 49).Color(gui::clWhite).Options(gui::optNoBorder),
    Row::Image("Image1").In("Panel1").At(0, 0, 200, 49).Picture(LogoPicture),
    Row::Panel("Panel2").In("Panel1").At(260, 0, 332, 49).Color(kHeaderStripColor)
        .Options(gui::optNoBorder),
    Row::Shape("Shape1").In("Panel2").At(10, 8, 33, 33).Color(gui::clWhite),
    Row::Label("Label32").In("Panel2").At(54, 17, 260, 14)
        .Caption("Programma di installazione di Lumidesk").Font(kArialWhiteBold),

    // Notebook and its pages
    Row::Notebook("Notebook1", &TForm1::Notebook1).At(0, 49, 592, 397).Color(kPageColor),
    Row::Page("Default").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Page("Meil").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Page("due").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Page("Tre").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Page("erwe").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Page("Quattro").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),

    // Page 0: welcome
    Row::Panel("Panel3").In("Default").At(8, 16, 119, 280).Color(kPictureBoxColor).Options(kBox),
    Row::Image("ImgBase", &TForm1::ImgBase).In("Panel3").At(7, 8, 104, 93).Picture(WelcomePicture),
    Row::Label("Label1").In("Default").At(8, 304, 576, 14).Font(kArialWhiteBold).Options(kFixed)
        .Text(content::Slogan),
    Row::Label("Label2").In("Default").At(150, 40, 300, 32).Caption("Lumidesk").Font(kProductName),
    Row::Label("Label3").In("Default").At(150, 100, 420, 14)
        .Caption("Premere avanti per procedere con l'installazione").Font(kArialWhite),
    Row::Button("Button14", &TForm1::Button14).In("Default").At(150, 240, 150, kBtnH)
        .Caption("Disinstalla Lumidesk").OnClick(&TForm1::Deinstall),
    Row::Label("Label4").In("Default").At(8, 362, 250, 14).Font(kArialWhite).Options(kFixed)
        .Text(content::VendorNotice1),
    Row::Label("Label5").In("Default").At(8, 378, 250, 14).Font(kArialWhite).Options(kFixed)
        .Text(content::VendorNotice2),
    Row::ProgressBar("ProgressBar2", &TForm1::ProgressBar2).In("Default").At(264, 368, 154, 16)
        .Range(0, 10),
    Row::Button("Button3", &TForm1::Button3).In("Default").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("&Chiudi").OnClick(&TForm1::Button3Click),
    Row::Button("Button2", &TForm1::Button2).In("Default")
        .At(kForwardLeft, kStripTop, kBtnW, kBtnH).Caption("&Avanti>>").Tag(1)
        .OnClick(&TForm1::Button2Click),

    // Page 1: statistics card
    Row::Label("Label6").In("Meil").At(8, 4, 576, 28)
        .Caption("Scheda Statistica Lumidesk - I dati della scheda verranno inoltrati con "
                 "il programma di posta predefinito").Font(kArialWhiteBold).Options(kWrap),
    Row::Label("Label7").In("Meil").At(8, 40, 80, 14).Caption("Cognome").Font(kArialWhite),
    Row::Edit("Edit1", &TForm1::Edit1).In("Meil").At(90, 38, 190, 18).Options(gui::optNoBorder),
    Row::Label("Label8").In("Meil").At(300, 40, 70, 14).Caption("Nome").Font(kArialWhite),
    Row::Edit("Edit2", &TForm1::Edit2).In("Meil").At(380, 38, 200, 18).Options(gui::optNoBorder),
    Row::Label("Label9").In("Meil").At(8, 66, 80, 14).Caption("Indirizzo").Font(kArialWhite),
    Row::Edit("Edit7", &TForm1::Edit7).In("Meil").At(90, 64, 490, 18).Options(gui::optNoBorder),
    Row::Label("Label10").In("Meil").At(8, 92, 80, 14).Caption("Citt\xE0").Font(kArialWhite),
    Row::Edit("Edit3", &TForm1::Edit3).In("Meil").At(90, 90, 190, 18).Options(gui::optNoBorder),
    Row::Label("Label11").In("Meil").At(300, 92, 40, 14).Caption("Prov.").Font(kArialWhite),
    Row::Edit("Edit4", &TForm1::Edit4).In("Meil").At(340, 90, 40, 18).Options(gui::optNoBorder),
    Row::Label("Label12").In("Meil").At(400, 92, 30, 14).Caption("Et\xE0").Font(kArialWhite),
    Row::Edit("Edit5", &TForm1::Edit5).In("Meil").At(440, 90, 40, 18).Options(gui::optNoBorder),
    Row::Label("Label13").In("Meil").At(8, 120, 170, 14).Caption("Telefono cellulare (*Opzionale)")
        .Font(kArialWhite),
    Row::Edit("Edit6", &TForm1::Edit6).In("Meil").At(180, 118, 160, 18).Options(gui::optNoBorder),
    Row::GroupBox("GroupBox1").In("Meil").At(400, 110, 180, 40).Caption("Sesso").Font(kArialWhite),
    Row::CheckBox("CheckBox1", &TForm1::CheckBox1).In("GroupBox1").At(10, 16, 70, 17)
        .Caption("Maschio").Font(kArialWhite),
    Row::CheckBox("CheckBox2", &TForm1::CheckBox2).In("GroupBox1").At(95, 16, 75, 17)
        .Caption("Femmina").Font(kArialWhite),
    Row::Label("Label14").In("Meil").At(8, 156, 576, 28)
        .Caption("Compilando la scheda sarai informato tempestivamente sulle nuove release "
                 "e suoi nuovi software prodotti da NORTAVIA")
        .Font(kArialWhiteBold).Options(kWrap),
    Row::Label("Label15").In("Meil").At(8, 188, 200, 14).Caption("Leggere con attenzione:")
        .Font(kArialWhite),
    Row::Memo("Memo3", &TForm1::Memo3).In("Meil").At(8, 204, 576, 96).Options(kTextBox)
        .Text(content::PrivacyNotice),
    Row::Label("Label16").In("Meil").At(8, 306, 120, 14).Caption("Informativa privacy ")
        .Font(kArialWhiteBoldUnderline).Options(gui::optHandCursor),
    Row::Label("Label17").In("Meil").At(8, 324, 380, 14)
        .Caption("(Selezionando accetto, accetti anche quanto previsto dalla informativa)")
        .Font(kArialWhite),
    Row::RadioButton("RadioButton1", &TForm1::RadioButton1).In("Meil").At(400, 320, 75, 17)
        .Caption("Accetto").Font(kArialWhite).Options(gui::optChecked),
    Row::RadioButton("RadioButton2", &TForm1::RadioButton2).In("Meil").At(480, 320, 100, 17)
        .Caption("non accetto").Font(kArialWhite),
    Row::Label("Label18").In("Meil").At(8, 362, 300, 14).Font(kArialWhite).Options(kFixed)
        .Text(content::VendorNotice1),
    Row::Label("Label19").In("Meil").At(8, 378, 300, 14).Font(kArialWhite).Options(kFixed)
        .Text(content::VendorNotice2),
    Row::Button("Button13", &TForm1::Button13).In("Meil").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("&Indietro").OnClick(&TForm1::Button2Click),
    Row::Button("Button12", &TForm1::Button12).In("Meil").At(kForwardLeft, kStripTop, kBtnW, kBtnH)
        .Caption("&Avanti>>").Tag(2).OnClick(&TForm1::SendMail),

    // Page 2: destination folder
    Row::Panel("Panel4").In("due").At(8, 16, 119, 280).Color(kPictureBoxColor).Options(kBox),
    Row::Image("Image2", &TForm1::Image2).In("Panel4").At(7, 8, 104, 93),
    Row::Label("Label20").In("due").At(150, 40, 400, 14)
        .Caption("Per installare nelle Directory premere Avanti").Font(kArialWhite),
    Row::Label("Label21").In("due").At(150, 60, 400, 14)
        .Caption("Per cambiare Directory premere Cambia").Font(kArialWhite),
    Row::GroupBox("sds").In("due").At(150, 236, 420, 60).Caption("Directory di destinazione")
        .Font(kArialWhite),
    Row::Label("LabelDir", &TForm1::LabelDir).In("sds").At(12, 28, 253, 14)
        .Caption(kDefaultDestination).Font(kArialWhite).Options(kFixed),
    Row::Button("Button5", &TForm1::Button5).In("sds").At(330, 22, kBtnW, kBtnH).Caption("Cambia")
        .Font(kSans).OnClick(&TForm1::Button5Click),
    Row::Panel("Panel10", &TForm1::Panel10).In("due").At(144, 8, 325, 209).Caption(" ")
        .Color(kPageColor).Options(gui::optNoBorder),
    Row::Image("Image5", &TForm1::Image5).In("Panel10").At(10, 8, 135, 38).Hidden()
        .Options(gui::optHandCursor).Picture(ViewerDownloadPicture).OnClick(&TForm1::Button14Click),
    Row::Label("Label26", &TForm1::Label26).In("Panel10").At(10, 56, 305, 40)
        .Caption("Per un corretto funzionamento di Lumidesk \xE8 necessario installare il "
                 "visualizzatore di Macromedia Flash!")
        .Font(kArialWhite).Hidden().Options(kWrap),
    Row::Label("Label29", &TForm1::Label29).In("Panel10").At(10, 104, 305, 28)
        .Caption("Per installare il componente aggiuntivo premere il pulsante").Font(kArialWhite)
        .Hidden().Options(kWrap),
    Row::Label("Label30", &TForm1::Label30).In("Panel10").At(13, 166, 300, 14)
        .Caption("Per installare nelle Directory premere Avanti").Font(kArialWhite),
    Row::Label("Label31", &TForm1::Label31).In("Panel10").At(31, 188, 280, 14)
        .Caption("Per cambiare Directory premere Cambia").Font(kArialWhite),
    Row::Button("Indietro", &TForm1::Indietro).In("due").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("<<&Indietro").Tag(1).OnClick(&TForm1::Button2Click),
    Row::Button("Button4", &TForm1::Button4).In("due").At(kForwardLeft, kStripTop, kBtnW, kBtnH)
        .Caption("&Avanti>>").Tag(3).OnClick(&TForm1::Button2Click),

    // Page 3: licence agreement
    Row::Label("Label22").In("Tre").At(8, 6, 576, 28)
        .Caption("Leggere il seguente accordo di licenza. Premere il tasto PAG-GIU' per "
                 "visualizzare la parte restante dell'accordo").Font(kArialWhite).Options(kWrap),
    Row::Memo("Memo1", &TForm1::Memo1).In("Tre").At(8, 38, 576, 262).Options(kTextBox)
        .Text(content::LicenceText),
    Row::Label("Label23").In("Tre").At(8, 308, 576, 40)
        .Caption("L'utente accetta i termini del precedente accordo? Selezionando NO, "
                 "l'installazione viene sospesa.Per installare Kalbrook premere SI")
        .Font(kArialWhiteBold).Options(kWrap),
    Row::Button("Button8", &TForm1::Button8).In("Tre").At(kThirdLeft, kStripTop, kBtnW, kBtnH)
        .Caption("NO").OnClick(&TForm1::Button8Click),
    Row::Button("Button7", &TForm1::Button7).In("Tre").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("<<&Indietro").Tag(2).OnClick(&TForm1::Button2Click),
    Row::Button("Button6", &TForm1::Button6).In("Tre").At(kForwardLeft, kStripTop, kBtnW, kBtnH)
        .Caption("Si").Tag(4).OnClick(&TForm1::Button2Click),

    // Page 4: information
    Row::Label("Label24").In("erwe").At(8, 8, 200, 14).Caption("Informazioni")
        .Font(kArialWhiteBold),
    Row::Memo("Memo2", &TForm1::Memo2).In("erwe").At(8, 28, 576, 320).Options(kTextBox)
        .Text(content::InformationText),
    Row::Button("Button11", &TForm1::Button11).In("erwe").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("<<&Indietro").Tag(3).OnClick(&TForm1::Button2Click),
    Row::Button("Button1", &TForm1::Button1).In("erwe").At(kForwardLeft, kStripTop, kBtnW, kBtnH)
        .Caption("Avanti >>").Tag(5).OnClick(&TForm1::Button2Click),

    // Page 5: installation
    Row::Panel("Panel5").In("Quattro").At(8, 16, 119, 280).Color(kPictureBoxColor).Options(kBox),
    Row::Image("Image4", &TForm1::Image4).In("Panel5").At(7, 8, 104, 93),
    Row::Label("Label25").In("Quattro").At(150, 40, 420, 16)
        .Caption("Complimenti per la vostra scelta.").Font(kArialWhiteBold),
    Row::Label("Label27").In("Quattro").At(150, 70, 420, 14)
        .Caption("Il programma verr\xE0 installato sul vostro computer in pochi secondi")
        .Font(kArialWhite),
    Row::Label("Label28").In("Quattro").At(150, 100, 200, 14).Caption("Buon lavoro!!!")
        .Font(kArialWhite),
    Row::ProgressBar("ProgressBar1", &TForm1::ProgressBar1).In("Quattro").At(8, 368, 400, 16)
        .Hidden().Range(0, 100),
    Row::Button("Button10", &TForm1::Button10).In("Quattro").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("<<&Indietro").Tag(3).OnClick(&TForm1::Button2Click),
    Row::Button("Button9", &TForm1::Button9).In("Quattro")
        .At(kForwardLeft, kStripTop, kBtnW, kBtnH).Caption("Installa")
        .OnClick(&TForm1::Button1Click),

    // Status bar
    Row::StatusBar("StatusBar1", &TForm1::StatusBar1).At(0, 446, 592, 18),
};

}  // namespace

gui::Layout<TForm1> Form1Layout() {
  return {kForm1, kForm1Controls, sizeof kForm1Controls / sizeof kForm1Controls[0]};
}

}  // namespace wizard

