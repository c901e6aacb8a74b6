// What a GUI back end shows of a window, written one control per line: the picture every back
// end is held to. Each back end's tests read it their own way (the headless back end shows the
// controls' own state, ObjectPicture; the Win32 back end's test reads the windows), and the
// lines are written here alone, so the conformance suite and the wizard's golden picture
// compare the back ends in the same words.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/Control.h"
#include "platform/gui/Form.h"

namespace guitest {

struct ControlPicture {
  std::string name;
  gui::ControlKind kind = gui::ControlKind::Form;
  std::string parent;                  // "" for a form
  int left = 0, top = 0;               // in the parent's client area (a form: 0, 0)
  int width = 0, height = 0;           // a form: its client area
  bool visible = true, enabled = true;  // the control's own flags, whatever its parents'
  std::optional<gui::TBorderStyle> border;  // forms
  std::optional<bool> checked;              // check boxes, radio buttons
  std::optional<int> page;                  // notebooks: the page shown
  std::optional<int> rangeMin, rangeMax, position;  // progress bars
  std::optional<bool> edge;                 // edits and memos: the sunken border
  std::optional<bool> readOnly;             // edits and memos
  std::optional<bool> scrollBar;            // memos: the vertical scroll bar
  std::optional<bool> wordWrap;             // labels
  std::string moves;                        // drive lists: the folder list they move
  std::string caption;
};

// Texts supplied with the program, by name: a caption equal to one is written as the name
// rather than copied (the texts have their own sources and tests).
using NamedTexts = std::vector<std::pair<std::string, std::string>>;

// "Button9 (button) in Quattro at 507,364 75x25, visible, enabled \"Installa\"". The caption's
// bytes are kept as they are (Windows-1252), but CR and LF are written <CR> and <LF>.
std::string PictureLine(const ControlPicture& picture, const NamedTexts& named = {});

// The control as its object holds it: what the headless back end shows.
ControlPicture ObjectPicture(const gui::TControl& control);

using PictureReader = std::function<ControlPicture(const gui::TControl&)>;
// The form's line, then one line per control the form owns, in creation order (for a window
// built from a layout, its table's order), each read by `read`; every line ends in "\n".
std::string WindowPicture(const gui::TForm& form, const PictureReader& read,
                          const NamedTexts& named = {});

}  // namespace guitest
