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
using gui::TGroupBox;
using gui::TImage;
using gui::TLabel;
using gui::TPage;
using gui::TPanel;
using gui::TShape;
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
    Row::Control<TPanel>("Panel1").At(0, 0, 592, 49).Color(gui::clWhite).Options(gui::optNoBorder),
    Row::Control<TImage>("Image1").In("Panel1").At(0, 0, 200, 49).Picture(LogoPicture),
    Row::Control<TPanel>("Panel2").In("Panel1").At(260, 0, 332, 49).Color(kHeaderStripColor)
        .Options(gui::optNoBorder),
    Row::Control<TShape>("Shape1").In("Panel2").At(10, 8, 33, 33).Color(gui::clWhite),
    Row::Control<TLabel>("Label32").In("Panel2").At(54, 17, 260, 14)
        .Caption("Programma di installazione di Lumidesk").Font(kArialWhiteBold),

    // Notebook and its pages
    Row::Control<&TForm1::Notebook1>("Notebook1").At(0, 49, 592, 397).Color(kPageColor),
    Row::Control<TPage>("Default").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Control<TPage>("Meil").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Control<TPage>("due").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Control<TPage>("Tre").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Control<TPage>("erwe").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),
    Row::Control<TPage>("Quattro").In("Notebook1").At(0, 0, 592, 397).Color(kPageColor),

    // Page 0: welcome
    Row::Control<TPanel>("Panel3").In("Default").At(8, 16, 119, 280).Color(kPictureBoxColor)
        .Options(kBox),
    Row::Control<&TForm1::ImgBase>("ImgBase").In("Panel3").At(7, 8, 104, 93)
        .Picture(WelcomePicture),
    Row::Control<TLabel>("Label1").In("Default").At(8, 304, 576, 14).Font(kArialWhiteBold)
        .Options(kFixed).Text(content::Slogan),
    Row::Control<TLabel>("Label2").In("Default").At(150, 40, 300, 32).Caption("Lumidesk")
        .Font(kProductName),
    Row::Control<TLabel>("Label3").In("Default").At(150, 100, 420, 14)
        .Caption("Premere avanti per procedere con l'installazione").Font(kArialWhite),
    Row::Control<&TForm1::Button14>("Button14").In("Default").At(150, 240, 150, kBtnH)
        .Caption("Disinstalla Lumidesk").OnClick(&TForm1::Deinstall),
    Row::Control<TLabel>("Label4").In("Default").At(8, 362, 250, 14).Font(kArialWhite)
        .Options(kFixed).Text(content::VendorNotice1),
    Row::Control<TLabel>("Label5").In("Default").At(8, 378, 250, 14).Font(kArialWhite)
        .Options(kFixed).Text(content::VendorNotice2),
    Row::Control<&TForm1::ProgressBar2>("ProgressBar2").In("Default").At(264, 368, 154, 16)
        .Range(0, 10),
    Row::Control<&TForm1::Button3>("Button3").In("Default").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("&Chiudi").OnClick(&TForm1::Button3Click),
    Row::Control<&TForm1::Button2>("Button2").In("Default")
        .At(kForwardLeft, kStripTop, kBtnW, kBtnH).Caption("&Avanti>>").Tag(1)
        .OnClick(&TForm1::Button2Click),

    // Page 1: statistics card
    Row::Control<TLabel>("Label6").In("Meil").At(8, 4, 576, 28)
        .Caption("Scheda Statistica Lumidesk - I dati della scheda verranno inoltrati con "
                 "il programma di posta predefinito").Font(kArialWhiteBold).Options(kWrap),
    Row::Control<TLabel>("Label7").In("Meil").At(8, 40, 80, 14).Caption("Cognome")
        .Font(kArialWhite),
    Row::Control<&TForm1::Edit1>("Edit1").In("Meil").At(90, 38, 190, 18).Options(gui::optNoBorder),
    Row::Control<TLabel>("Label8").In("Meil").At(300, 40, 70, 14).Caption("Nome").Font(kArialWhite),
    Row::Control<&TForm1::Edit2>("Edit2").In("Meil").At(380, 38, 200, 18).Options(gui::optNoBorder),
    Row::Control<TLabel>("Label9").In("Meil").At(8, 66, 80, 14).Caption("Indirizzo")
        .Font(kArialWhite),
    Row::Control<&TForm1::Edit7>("Edit7").In("Meil").At(90, 64, 490, 18).Options(gui::optNoBorder),
    Row::Control<TLabel>("Label10").In("Meil").At(8, 92, 80, 14).Caption("Citt\xE0")
        .Font(kArialWhite),
    Row::Control<&TForm1::Edit3>("Edit3").In("Meil").At(90, 90, 190, 18).Options(gui::optNoBorder),
    Row::Control<TLabel>("Label11").In("Meil").At(300, 92, 40, 14).Caption("Prov.")
        .Font(kArialWhite),
    Row::Control<&TForm1::Edit4>("Edit4").In("Meil").At(340, 90, 40, 18).Options(gui::optNoBorder),
    Row::Control<TLabel>("Label12").In("Meil").At(400, 92, 30, 14).Caption("Et\xE0")
        .Font(kArialWhite),
    Row::Control<&TForm1::Edit5>("Edit5").In("Meil").At(440, 90, 40, 18).Options(gui::optNoBorder),
    Row::Control<TLabel>("Label13").In("Meil").At(8, 120, 170, 14)
        .Caption("Telefono cellulare (*Opzionale)").Font(kArialWhite),
    Row::Control<&TForm1::Edit6>("Edit6").In("Meil").At(180, 118, 160, 18)
        .Options(gui::optNoBorder),
    Row::Control<TGroupBox>("GroupBox1").In("Meil").At(400, 110, 180, 40).Caption("Sesso")
        .Font(kArialWhite),
    Row::Control<&TForm1::CheckBox1>("CheckBox1").In("GroupBox1").At(10, 16, 70, 17)
        .Caption("Maschio").Font(kArialWhite),
    Row::Control<&TForm1::CheckBox2>("CheckBox2").In("GroupBox1").At(95, 16, 75, 17)
        .Caption("Femmina").Font(kArialWhite),
    Row::Control<TLabel>("Label14").In("Meil").At(8, 156, 576, 28)
        .Caption("Compilando la scheda sarai informato tempestivamente sulle nuove release "
                 "e suoi nuovi software prodotti da NORTAVIA")
        .Font(kArialWhiteBold).Options(kWrap),
    Row::Control<TLabel>("Label15").In("Meil").At(8, 188, 200, 14)
        .Caption("Leggere con attenzione:").Font(kArialWhite),
    Row::Control<&TForm1::Memo3>("Memo3").In("Meil").At(8, 204, 576, 96).Options(kTextBox)
        .Text(content::PrivacyNotice),
    Row::Control<TLabel>("Label16").In("Meil").At(8, 306, 120, 14).Caption("Informativa privacy ")
        .Font(kArialWhiteBoldUnderline).Options(gui::optHandCursor),
    Row::Control<TLabel>("Label17").In("Meil").At(8, 324, 380, 14)
        .Caption("(Selezionando accetto, accetti anche quanto previsto dalla informativa)")
        .Font(kArialWhite),
    Row::Control<&TForm1::RadioButton1>("RadioButton1").In("Meil").At(400, 320, 75, 17)
        .Caption("Accetto").Font(kArialWhite).Options(gui::optChecked),
    Row::Control<&TForm1::RadioButton2>("RadioButton2").In("Meil").At(480, 320, 100, 17)
        .Caption("non accetto").Font(kArialWhite),
    Row::Control<TLabel>("Label18").In("Meil").At(8, 362, 300, 14).Font(kArialWhite).Options(kFixed)
        .Text(content::VendorNotice1),
    Row::Control<TLabel>("Label19").In("Meil").At(8, 378, 300, 14).Font(kArialWhite).Options(kFixed)
        .Text(content::VendorNotice2),
    Row::Control<&TForm1::Button13>("Button13").In("Meil").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("&Indietro").OnClick(&TForm1::Button2Click),
    Row::Control<&TForm1::Button12>("Button12").In("Meil").At(kForwardLeft, kStripTop, kBtnW, kBtnH)
        .Caption("&Avanti>>").Tag(2).OnClick(&TForm1::SendMail),

    // Page 2: destination folder
    Row::Control<TPanel>("Panel4").In("due").At(8, 16, 119, 280).Color(kPictureBoxColor)
        .Options(kBox),
    Row::Control<&TForm1::Image2>("Image2").In("Panel4").At(7, 8, 104, 93),
    Row::Control<TLabel>("Label20").In("due").At(150, 40, 400, 14)
        .Caption("Per installare nelle Directory premere Avanti").Font(kArialWhite),
    Row::Control<TLabel>("Label21").In("due").At(150, 60, 400, 14)
        .Caption("Per cambiare Directory premere Cambia").Font(kArialWhite),
    Row::Control<TGroupBox>("sds").In("due").At(150, 236, 420, 60)
        .Caption("Directory di destinazione").Font(kArialWhite),
    Row::Control<&TForm1::LabelDir>("LabelDir").In("sds").At(12, 28, 253, 14)
        .Caption(kDefaultDestination).Font(kArialWhite).Options(kFixed),
    Row::Control<&TForm1::Button5>("Button5").In("sds").At(330, 22, kBtnW, kBtnH).Caption("Cambia")
        .Font(kSans).OnClick(&TForm1::Button5Click),
    Row::Control<&TForm1::Panel10>("Panel10").In("due").At(144, 8, 325, 209).Caption(" ")
        .Color(kPageColor).Options(gui::optNoBorder),
    Row::Control<&TForm1::Image5>("Image5").In("Panel10").At(10, 8, 135, 38).Hidden()
        .Options(gui::optHandCursor).Picture(ViewerDownloadPicture).OnClick(&TForm1::Button14Click),
    Row::Control<&TForm1::Label26>("Label26").In("Panel10").At(10, 56, 305, 40)
        .Caption("Per un corretto funzionamento di Lumidesk \xE8 necessario installare il "
                 "visualizzatore di Macromedia Flash!")
        .Font(kArialWhite).Hidden().Options(kWrap),
    Row::Control<&TForm1::Label29>("Label29").In("Panel10").At(10, 104, 305, 28)
        .Caption("Per installare il componente aggiuntivo premere il pulsante").Font(kArialWhite)
        .Hidden().Options(kWrap),
    Row::Control<&TForm1::Label30>("Label30").In("Panel10").At(13, 166, 300, 14)
        .Caption("Per installare nelle Directory premere Avanti").Font(kArialWhite),
    Row::Control<&TForm1::Label31>("Label31").In("Panel10").At(31, 188, 280, 14)
        .Caption("Per cambiare Directory premere Cambia").Font(kArialWhite),
    Row::Control<&TForm1::Indietro>("Indietro").In("due").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("<<&Indietro").Tag(1).OnClick(&TForm1::Button2Click),
    Row::Control<&TForm1::Button4>("Button4").In("due").At(kForwardLeft, kStripTop, kBtnW, kBtnH)
        .Caption("&Avanti>>").Tag(3).OnClick(&TForm1::Button2Click),

    // Page 3: licence agreement
    Row::Control<TLabel>("Label22").In("Tre").At(8, 6, 576, 28)
        .Caption("Leggere il seguente accordo di licenza. Premere il tasto PAG-GIU' per "
                 "visualizzare la parte restante dell'accordo").Font(kArialWhite).Options(kWrap),
    Row::Control<&TForm1::Memo1>("Memo1").In("Tre").At(8, 38, 576, 262).Options(kTextBox)
        .Text(content::LicenceText),
    Row::Control<TLabel>("Label23").In("Tre").At(8, 308, 576, 40)
        .Caption("L'utente accetta i termini del precedente accordo? Selezionando NO, "
                 "l'installazione viene sospesa.Per installare Kalbrook premere SI")
        .Font(kArialWhiteBold).Options(kWrap),
    Row::Control<&TForm1::Button8>("Button8").In("Tre").At(kThirdLeft, kStripTop, kBtnW, kBtnH)
        .Caption("NO").OnClick(&TForm1::Button8Click),
    Row::Control<&TForm1::Button7>("Button7").In("Tre").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("<<&Indietro").Tag(2).OnClick(&TForm1::Button2Click),
    Row::Control<&TForm1::Button6>("Button6").In("Tre").At(kForwardLeft, kStripTop, kBtnW, kBtnH)
        .Caption("Si").Tag(4).OnClick(&TForm1::Button2Click),

    // Page 4: information
    Row::Control<TLabel>("Label24").In("erwe").At(8, 8, 200, 14).Caption("Informazioni")
        .Font(kArialWhiteBold),
    Row::Control<&TForm1::Memo2>("Memo2").In("erwe").At(8, 28, 576, 320).Options(kTextBox)
        .Text(content::InformationText),
    Row::Control<&TForm1::Button11>("Button11").In("erwe").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("<<&Indietro").Tag(3).OnClick(&TForm1::Button2Click),
    Row::Control<&TForm1::Button1>("Button1").In("erwe").At(kForwardLeft, kStripTop, kBtnW, kBtnH)
        .Caption("Avanti >>").Tag(5).OnClick(&TForm1::Button2Click),

    // Page 5: installation
    Row::Control<TPanel>("Panel5").In("Quattro").At(8, 16, 119, 280).Color(kPictureBoxColor)
        .Options(kBox),
    Row::Control<&TForm1::Image4>("Image4").In("Panel5").At(7, 8, 104, 93),
    Row::Control<TLabel>("Label25").In("Quattro").At(150, 40, 420, 16)
        .Caption("Complimenti per la vostra scelta.").Font(kArialWhiteBold),
    Row::Control<TLabel>("Label27").In("Quattro").At(150, 70, 420, 14)
        .Caption("Il programma verr\xE0 installato sul vostro computer in pochi secondi")
        .Font(kArialWhite),
    Row::Control<TLabel>("Label28").In("Quattro").At(150, 100, 200, 14).Caption("Buon lavoro!!!")
        .Font(kArialWhite),
    Row::Control<&TForm1::ProgressBar1>("ProgressBar1").In("Quattro").At(8, 368, 400, 16)
        .Hidden().Range(0, 100),
    Row::Control<&TForm1::Button10>("Button10").In("Quattro").At(kBackLeft, kStripTop, kBtnW, kBtnH)
        .Caption("<<&Indietro").Tag(3).OnClick(&TForm1::Button2Click),
    Row::Control<&TForm1::Button9>("Button9").In("Quattro")
        .At(kForwardLeft, kStripTop, kBtnW, kBtnH).Caption("Installa")
        .OnClick(&TForm1::Button1Click),

    // Status bar
    Row::Control<&TForm1::StatusBar1>("StatusBar1").At(0, 446, 592, 18),
};

}  // namespace

gui::Layout<TForm1> Form1Layout() {
  return {kForm1, kForm1Controls, sizeof kForm1Controls / sizeof kForm1Controls[0]};
}

}  // namespace wizard

