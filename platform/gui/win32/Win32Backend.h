// The Win32 back end: every form is a top-level window, every control a native child window
// (BUTTON, STATIC, EDIT, COMBOBOX, LISTBOX, the comctl32 progress and status bars) or one of
// our own window classes where no native control fits (forms, panels, notebook pages, group
// frames, pictures, the circle shape). The control object is kept in the window's
// GWLP_USERDATA, and its name in the "LumiName" property (a global atom), so a test driver in
// another process can find it.
#pragma once

#include <windows.h>
// windows.h renames MessageBox to its A/W forms; the back end interface uses the plain name.
#undef MessageBox

#include <map>
#include <string>
#include <tuple>

#include "platform/gui/Backend.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/win32/GdiObjects.h"

namespace gui {

class TForm;
class TControl;

namespace win32 {

class Win32Backend : public GuiBackend {
 public:
  Win32Backend();
  ~Win32Backend() override;

  void RealizeForm(TForm& form) override;
  void ControlDestroyed(TControl& control) override;
  void ControlChanged(TControl& control, Prop what) override;
  void Repaint(TControl& control) override;
  void ShowForm(TForm& form, bool visible) override;
  void RunModal(TForm& form) override;
  void RunLoop(TApplication& app) override;
  void ProcessMessages() override;
  void Terminate() override;
  int MessageBox(const std::string& text, const std::string& title, unsigned flags) override;
  void SetCursor(int cursor) override;
  std::unique_ptr<TimerSink> CreateTimerSink(TickHandler onTick) override;

  // Shared with the window procedures.
  static Win32Backend* Instance() { return instance_; }
  HFONT FontFor(const TFont& font);
  HBRUSH BrushFor(COLORREF colour);
  int AppCursor() const { return cursor_; }
  // Sets the cursor for the window under the mouse; true when it did (WM_SETCURSOR).
  bool ApplyCursor(HWND hwnd);
  // Delivers a notification from a native child to its control.
  void OnCommand(HWND child, unsigned code);
  // Default and cancel buttons of a form (Enter and Escape through IsDialogMessage).
  void OnDialogKey(TForm& form, int id);
  // True while the back end itself writes a control's text (the edit's change is not the
  // user's then).
  bool Updating() const { return updating_ > 0; }

 private:
  void CreateControlWindow(TControl& control, HWND parent);
  void ApplyFont(TControl& control, HWND hwnd);
  void ApplyVisibility(TControl& control, HWND hwnd);
  void MoveFocusOffHidden(HWND form);
  HWND OwnerForBox() const;
  // Takes one message off the queue and delivers it; false when none waits.
  bool PumpOne(bool wait);

  static Win32Backend* instance_;
  std::map<std::tuple<std::string, int, bool, bool, bool>, FontHandle> fonts_;
  std::map<COLORREF, BrushHandle> brushes_;
  HWND mainWindow_ = nullptr;
  int cursor_ = 0;
  int updating_ = 0;
  int nextId_ = 100;
};

// What a control of each kind is as a window. WindowKind is the one place of the Win32 back end
// that looks at a control's kind: creation, the state shown on the window, the commands read
// back from it and the painting of our own classes all follow its answer.
struct KindWindow {
  const char* windowClass = nullptr;  // a system class, or one of ours (Painting.cpp)
  DWORD style = 0;                    // besides WS_CHILD | WS_CLIPSIBLINGS
  DWORD exStyle = 0;
  bool captionAsText = true;   // its window text is its caption
  bool holdsWindows = false;   // the windows of the controls inside it are its children
  int extraHeight = 0;         // a drop-down list's window includes the list
  bool classicLook = false;    // without visual styles (they ignore our text colours)
  bool systemColours = false;  // drawn in the system's colours rather than the control's
  bool coversEarlier = false;  // raised above the earlier siblings it overlaps
  // Shows the kind's own state on the window: once when it is made, and whenever stateProp
  // changes.
  void (*showState)(TControl& control, HWND hwnd, bool creating) = nullptr;
  Prop stateProp = Prop::Caption;
  // Turns a notification the window sent its parent into the user's action.
  void (*command)(TControl& control, HWND hwnd, unsigned code) = nullptr;
  // What our container class draws over the control's colour.
  void (*paintFrame)(HDC dc, const RECT& client, const TControl& control) = nullptr;
};
KindWindow WindowKind(const TControl& control);

// COLORREF of one of our colours (system colours resolved).
COLORREF ToColorRef(TColor colour);
// The control a window stands for, or null.
TControl* ControlOf(HWND hwnd);
HWND WindowOf(const TControl& control);
// The hidden window that receives a sink's timers (TimerSinks.cpp), or null.
HWND TimerSinkWindow(const TimerSink& sink);
// Every window procedure runs its body through this: an exception goes to the application's
// exception display instead of unwinding into user32.
LRESULT Guarded(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                LRESULT (*body)(HWND, UINT, WPARAM, LPARAM));

// Our window classes (Painting.cpp).
extern const char kFormClass[];
extern const char kContainerClass[];
extern const char kPictureClass[];
extern const char kShapeClass[];
void RegisterWindowClasses();
void PaintGroupFrame(HDC dc, const RECT& client, const TControl& control);
void PaintPanelFrame(HDC dc, const RECT& client, const TControl& control);

}  // namespace win32
}  // namespace gui
