// The layout tables of the wizard window (TForm1) and of the folder chooser (TForm2).
#pragma once

#include <cstddef>

#include "platform/gui/Layout.h"

namespace wizard {

struct LayoutTable {
  const gui::FormDef& form;
  const gui::ControlDef* controls;
  std::size_t count;
};

LayoutTable Form1Layout();
LayoutTable Form2Layout();

// Colours of the wizard.
constexpr gui::TColor kPageColor = gui::Rgb(0, 64, 128);
constexpr gui::TColor kHeaderStripColor = gui::Rgb(0, 0, 96);
constexpr gui::TColor kPictureBoxColor = gui::Rgb(0, 128, 192);

// Names of the texts and pictures supplied with the program, as the tables refer to them.
constexpr char kTextLicence[] = "licence";
constexpr char kTextInformation[] = "information";
constexpr char kTextPrivacy[] = "privacy";
constexpr char kTextSlogan[] = "slogan";
constexpr char kTextVendor1[] = "vendor1";
constexpr char kTextVendor2[] = "vendor2";
constexpr char kPictureLogo[] = "logo";
constexpr char kPictureWelcome[] = "welcome";
constexpr char kPictureViewerDownload[] = "viewer-download";

}  // namespace wizard
