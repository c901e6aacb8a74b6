// The wizard's two windows as their layout tables build them, and their golden picture
// (tests/wizard/golden/windows.txt), which the headless back end's layout test and the Win32
// back end's test both compare with. The tables are the one source of the captions; the
// golden file is what they are seen to build.
//
// To write the golden file again after a deliberate change of a table, run the layout test
// with LUMI_UPDATE_GOLDEN=1 in the environment:
//   LUMI_UPDATE_GOLDEN=1 build/native/tests/wizard/wizard_tests --gtest_filter='LayoutTextTest.*'
// and read the difference (git diff) before committing it.
#pragma once

#include <string>

#include "WindowPicture.h"
#include "platform/gui/Application.h"

namespace guitest {

// Builds the wizard window and the folder chooser from their tables onto plain forms of app
// (no form members filled, no handler bound, nothing of the wizard's start-up), shows them,
// and writes their picture as `read` sees it; the texts supplied with the program are named
// rather than copied.
std::string WizardWindowsPicture(gui::TApplication& app, const PictureReader& read);

// Compares the picture with the golden file: the whole of it, or the part of one window (the
// lines from its form's line to the next form's). With LUMI_UPDATE_GOLDEN=1 in the environment
// the picture is written to the golden file first.
void ExpectGoldenPicture(const std::string& picture, const std::string& window = "");

}  // namespace guitest
