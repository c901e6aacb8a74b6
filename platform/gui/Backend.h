// The GUI back end: what the portable component core asks of a windowing system. The core
// (components, controls, forms, the application) holds all state; a back end realises forms as
// windows, mirrors property changes onto them, runs the message loop, shows message boxes,
// sets the cursor and delivers timer ticks. It reports user actions back by calling the core
// (TControl::UserClick, TEdit::UserSetText, TForm::Close, ...), always through
// TApplication::Dispatch so that an exception leaving a handler reaches the exception display.
//
// Two back ends: the headless one (HeadlessBackend.h, portable, used by tests on every target)
// and the platform's own, returned by DefaultGuiBackend() (gui/<platform>/).
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace gui {

class TApplication;
class TControl;
class TForm;

// What changed on a control, so a back end updates only that.
enum class Prop {
  Bounds,
  Caption,
  Enabled,
  Visible,
  Color,
  Font,
  Checked,
  Position,  // progress bar position or range
  Picture,
  PageIndex,
  Items,     // list contents of drive and folder lists
  Cursor,
};

// Periodic ticks for a non-visual component (the online detector polls with one). A sink
// numbers its own timers. Ticks run on the GUI thread, from the message loop and from
// ProcessMessages, so they also arrive inside a long operation that pumps messages; each one
// goes through TApplication::Dispatch, so an exception leaving the handler reaches the
// exception display. Destroying the sink stops its timers: no tick arrives afterwards, and a
// handler may destroy its own sink. A sink must not outlive the back end that made it.
class TimerSink {
 public:
  virtual ~TimerSink() = default;
  // Starts timer `id`, or restarts it when it runs: its next tick comes one full period from
  // now. False when the system refuses the timer.
  virtual bool Start(unsigned id, unsigned intervalMs) = 0;
  // A timer that does not run is no error.
  virtual void Stop(unsigned id) = 0;
};
// Called with the number of the timer that expired.
using TickHandler = std::function<void(unsigned timerId)>;

class GuiBackend {
 public:
  virtual ~GuiBackend() = default;

  // Creates the window of the form and of every control on it. Called once, before the form is
  // first shown.
  virtual void RealizeForm(TForm& form) = 0;
  // The control is going away: release whatever the back end made for it.
  virtual void ControlDestroyed(TControl& control) = 0;
  virtual void ControlChanged(TControl& control, Prop what) = 0;
  // Paints the control now rather than at the next idle moment.
  virtual void Repaint(TControl& control) = 0;

  virtual void ShowForm(TForm& form, bool visible) = 0;
  // Runs a modal loop for the form (its owner windows disabled) and returns when the form's
  // ModalResult is non-zero.
  virtual void RunModal(TForm& form) = 0;
  // The main message loop: returns once the application is terminated.
  virtual void RunLoop(TApplication& app) = 0;
  // Delivers the messages that are waiting, then returns.
  virtual void ProcessMessages() = 0;
  // Wakes the main loop so that it sees the application's terminated state.
  virtual void Terminate() = 0;

  // Text first, title second; flags and result as in platform/MessageBox.h.
  virtual int MessageBox(const std::string& text, const std::string& title, unsigned flags) = 0;
  virtual void SetCursor(int cursor) = 0;

  // Never null: a sink the system could not make answers false to every Start.
  virtual std::unique_ptr<TimerSink> CreateTimerSink(TickHandler onTick) = 0;
};

// The platform's own back end (Win32 windows, or the headless one where there is no other).
GuiBackend& DefaultGuiBackend();

}  // namespace gui
