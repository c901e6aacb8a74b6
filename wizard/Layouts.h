// The layout tables of the wizard window (TForm1) and of the folder chooser (TForm2).
#pragma once

#include "platform/gui/Layout.h"

namespace wizard {

class TForm1;
class TForm2;

gui::Layout<TForm1> Form1Layout();
gui::Layout<TForm2> Form2Layout();

// Colours of the wizard.
constexpr gui::TColor kPageColor = gui::Rgb(0, 64, 128);
constexpr gui::TColor kHeaderStripColor = gui::Rgb(0, 0, 96);
constexpr gui::TColor kPictureBoxColor = gui::Rgb(0, 128, 192);

}  // namespace wizard
