// A GUI back end without a display, for tests and for builds with no window system. It keeps a
// record of what was shown and lets a driver act as the user:
// - message boxes are recorded and answered from a script (or by a callback);
// - a modal form runs the modal callback, which presses the dialog's buttons; a modal form
//   whose callback leaves it open is closed as by its close box;
// - time is virtual: AdvanceClock moves it and delivers the timer ticks that fall due, in
//   order; ProcessMessages delivers what is due now (posted actions, then due timers), so the
//   same ticks and clicks can arrive inside a long operation that pumps messages;
// - Click and the other user actions go through TApplication::Dispatch, like real input, and
//   respect the control's showing and enabled state.
// Portable: built on every target.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/gui/Backend.h"

namespace gui {

class TControl;
class TEdit;
class TForm;

class HeadlessBackend : public GuiBackend {
 public:
  struct BoxRecord {
    std::string text;
    std::string title;
    unsigned flags;
    int answer;
  };

  // --- GuiBackend
  void RealizeForm(TForm& form) override;
  void ControlDestroyed(TControl& control) override;
  void ControlChanged(TControl& control, Prop what) override;
  void Repaint(TControl& control) override;
  void ShowForm(TForm& form, bool visible) override;
  void RunModal(TForm& form) override;
  void RunLoop(TApplication& app) override;
  void ProcessMessages() override;
  void Terminate() override {}
  int MessageBox(const std::string& text, const std::string& title, unsigned flags) override;
  void SetCursor(int cursor) override;
  std::unique_ptr<TimerSink> CreateTimerSink(TickHandler onTick) override;

  // --- Message boxes
  // Answers for the next boxes, in order. Without one a box gets its first button (OK or Yes).
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // Called for every box instead of the script when set; returns the answer.
  std::function<int(const BoxRecord&)> OnMessageBox;
  const std::vector<BoxRecord>& Boxes() const { return boxes_; }
  void ClearBoxes() { boxes_.clear(); }

  // --- Modal forms
  std::function<void(TForm&)> OnModal;
  const std::vector<std::string>& ModalForms() const { return modalForms_; }

  // --- User actions (each goes through the application's Dispatch; false when refused)
  bool Click(TControl& control);
  bool ClickCloseBox(TForm& form);
  bool Type(TEdit& edit, const std::string& text);
  void Paint(TForm& form);
  // Queued until the next ProcessMessages (a press that arrives during a long operation).
  void PostClick(TControl& control);
  void Post(std::function<void()> action) { posted_.push_back(std::move(action)); }

  // --- Virtual clock and timers
  std::uint64_t Now() const { return now_; }
  // Moves the clock and delivers every tick that falls due on the way, in time order.
  void AdvanceClock(std::uint64_t ms);
  // Moves the clock only; due ticks wait for the next ProcessMessages.
  void AdvanceClockQuietly(std::uint64_t ms) { now_ += ms; }
  // Every ProcessMessages first moves the clock this much (0: not at all).
  void SetClockStepPerPump(std::uint64_t ms) { pumpStep_ = ms; }
  int ActiveTimerCount() const;
  // Interval of a running timer of a sink made here, 0 when it does not run.
  unsigned TimerInterval(const TimerSink& sink, unsigned id) const;
  int TimerSinkCount() const { return static_cast<int>(sinks_.size()); }
  // Delivers a tick of timer `id` to a live sink made here at once, as the system would,
  // whether that timer runs or not.
  void DeliverTick(const TimerSink& sink, unsigned id);

  // --- Records
  const std::vector<int>& CursorHistory() const { return cursors_; }
  int Cursor() const { return cursors_.empty() ? 0 : cursors_.back(); }
  int PaintCount() const { return paints_; }
  int RepaintCount(const TControl& control) const;
  int ProcessMessagesCalls() const { return pumpCalls_; }
  // Called when the main loop runs (a headless run ends when it returns).
  std::function<void(TApplication&)> OnRunLoop;

 private:
  class Sink;
  struct Timer {
    const Sink* sink;
    unsigned id;
    unsigned interval;
    std::uint64_t due;
  };
  bool DeliverNextDueTimer(std::uint64_t upTo);
  void StartTimer(const Sink& sink, unsigned id, unsigned intervalMs);
  void StopTimer(const Sink& sink, unsigned id);
  void SinkDestroyed(const Sink& sink);
  void Deliver(const Sink* sink, unsigned id);

  std::deque<int> answers_;
  std::vector<BoxRecord> boxes_;
  std::vector<std::string> modalForms_;
  std::deque<std::function<void()>> posted_;
  std::uint64_t now_ = 0;
  std::uint64_t pumpStep_ = 0;
  std::set<const Sink*> sinks_;
  std::vector<Timer> timers_;
  std::vector<int> cursors_;
  int paints_ = 0;
  std::map<const TControl*, int> repaints_;
  int pumpCalls_ = 0;
};

}  // namespace gui
