// The headless back end: records, scripted answers, virtual time.
#include "platform/gui/HeadlessBackend.h"

#include <algorithm>

#include "platform/MessageBox.h"
#include "platform/gui/Application.h"
#include "platform/gui/Form.h"
#include "platform/gui/StdControls.h"

namespace gui {

// A sink is a handler and its timers, kept by the back end; the object only names them.
class HeadlessBackend::Sink : public TimerSink {
 public:
  Sink(HeadlessBackend& backend, TickHandler onTick)
      : backend_(backend), onTick_(std::move(onTick)) {}
  ~Sink() override { backend_.SinkDestroyed(*this); }
  bool Start(unsigned id, unsigned intervalMs) override {
    backend_.StartTimer(*this, id, intervalMs);
    return true;
  }
  void Stop(unsigned id) override { backend_.StopTimer(*this, id); }
  const TickHandler& OnTick() const { return onTick_; }

 private:
  HeadlessBackend& backend_;
  TickHandler onTick_;
};

namespace {
void RealizeTree(TControl& c, GuiBackend* backend) {
  c.SetRealized(backend);
  for (TControl* child : c.Controls()) RealizeTree(*child, backend);
}

int DefaultAnswer(unsigned flags) {
  switch (flags & 0xF) {
    case plat::mb::kYesNo: return plat::mb::kIdYes;
    default: return plat::mb::kIdOk;
  }
}
}  // namespace

void HeadlessBackend::RealizeForm(TForm& form) {
  RealizeTree(form, this);
  // Controls that are added later realise themselves through the form when shown again.
}

void HeadlessBackend::ControlDestroyed(TControl& control) { repaints_.erase(&control); }

void HeadlessBackend::ControlChanged(TControl&, Prop) {}

void HeadlessBackend::Repaint(TControl& control) { ++repaints_[&control]; }

int HeadlessBackend::RepaintCount(const TControl& control) const {
  auto it = repaints_.find(&control);
  return it == repaints_.end() ? 0 : it->second;
}

void HeadlessBackend::ShowForm(TForm& form, bool visible) {
  RealizeTree(form, this);
  // A window that appears gets painted.
  if (visible) Paint(form);
}

void HeadlessBackend::RunModal(TForm& form) {
  modalForms_.push_back(form.Name());
  if (OnModal) OnModal(form);
  // Still open: the user closed it with the close box.
  if (form.ModalResult() == mrNone) ClickCloseBox(form);
}

void HeadlessBackend::RunLoop(TApplication& app) {
  ProcessMessages();
  if (OnRunLoop && !app.Terminated()) OnRunLoop(app);
}

void HeadlessBackend::ProcessMessages() {
  ++pumpCalls_;
  now_ += pumpStep_;
  // Only what is waiting now: actions posted while these run wait for the next call.
  std::deque<std::function<void()>> batch;
  batch.swap(posted_);
  for (auto& action : batch) Application().Dispatch(action);
  // At most one message per timer, as the system folds repeated expiries into one.
  std::vector<std::pair<const Sink*, unsigned>> fired;
  for (;;) {
    Timer* next = nullptr;
    for (Timer& t : timers_) {
      if (t.due > now_) continue;
      if (std::find(fired.begin(), fired.end(), std::make_pair(t.sink, t.id)) != fired.end())
        continue;
      if (!next || t.due < next->due) next = &t;
    }
    if (!next) break;
    const auto key = std::make_pair(next->sink, next->id);
    fired.push_back(key);
    next->due = now_ + next->interval;
    Deliver(key.first, key.second);
  }
}

bool HeadlessBackend::DeliverNextDueTimer(std::uint64_t upTo) {
  auto it = std::min_element(timers_.begin(), timers_.end(),
                             [](const Timer& a, const Timer& b) { return a.due < b.due; });
  if (it == timers_.end() || it->due > upTo) return false;
  if (it->due > now_) now_ = it->due;
  const Sink* sink = it->sink;
  const unsigned id = it->id;
  it->due += it->interval;
  Deliver(sink, id);
  return true;
}

void HeadlessBackend::AdvanceClock(std::uint64_t ms) {
  const std::uint64_t end = now_ + ms;
  while (DeliverNextDueTimer(end)) {
  }
  now_ = end;
}

int HeadlessBackend::MessageBox(const std::string& text, const std::string& title,
                                unsigned flags) {
  BoxRecord rec{text, title, flags, DefaultAnswer(flags)};
  if (OnMessageBox) {
    rec.answer = OnMessageBox(rec);
  } else if (!answers_.empty()) {
    rec.answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back(rec);
  return rec.answer;
}

void HeadlessBackend::SetCursor(int cursor) { cursors_.push_back(cursor); }

std::unique_ptr<TimerSink> HeadlessBackend::CreateTimerSink(TickHandler onTick) {
  auto sink = std::make_unique<Sink>(*this, std::move(onTick));
  sinks_.insert(sink.get());
  return sink;
}

void HeadlessBackend::SinkDestroyed(const Sink& sink) {
  sinks_.erase(&sink);
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.sink == &sink; }),
                timers_.end());
}

void HeadlessBackend::StartTimer(const Sink& sink, unsigned id, unsigned intervalMs) {
  StopTimer(sink, id);
  // The system raises periods below its minimum to that minimum.
  constexpr unsigned kMinimumPeriod = 10;
  if (intervalMs < kMinimumPeriod) intervalMs = kMinimumPeriod;
  timers_.push_back(Timer{&sink, id, intervalMs, now_ + intervalMs});
}

void HeadlessBackend::StopTimer(const Sink& sink, unsigned id) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.sink == &sink && t.id == id; }),
                timers_.end());
}

int HeadlessBackend::ActiveTimerCount() const { return static_cast<int>(timers_.size()); }

unsigned HeadlessBackend::TimerInterval(const TimerSink& sink, unsigned id) const {
  for (const Timer& t : timers_)
    if (t.sink == &sink && t.id == id) return t.interval;
  return 0;
}

void HeadlessBackend::DeliverTick(const TimerSink& sink, unsigned id) {
  Deliver(dynamic_cast<const Sink*>(&sink), id);
}

void HeadlessBackend::Deliver(const Sink* sink, unsigned id) {
  if (!sinks_.count(sink)) return;
  TickHandler call = sink->OnTick();  // a copy: the handler may destroy its own sink
  Application().Dispatch([&] {
    if (call) call(id);
  });
}

bool HeadlessBackend::Click(TControl& control) {
  // Decided before the handler runs: a handler that fails has still been given the click.
  if (!control.Showing() || !control.EffectivelyEnabled()) return false;
  Application().Dispatch([&] { control.UserClick(); });
  return true;
}

bool HeadlessBackend::ClickCloseBox(TForm& form) {
  if (!form.Visible()) return false;
  Application().Dispatch([&] { form.Close(); });
  return true;
}

bool HeadlessBackend::Type(TEdit& edit, const std::string& text) {
  if (!edit.Showing() || !edit.EffectivelyEnabled() || edit.ReadOnly()) return false;
  Application().Dispatch([&] { edit.UserSetText(text); });
  return true;
}

void HeadlessBackend::Paint(TForm& form) {
  ++paints_;
  Application().Dispatch([&] { form.Paint(); });
}

void HeadlessBackend::PostClick(TControl& control) {
  TControl* target = &control;
  posted_.push_back([target] { target->UserClick(); });
}

}  // namespace gui
