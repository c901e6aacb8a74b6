// The application object and the routing of message boxes and message pumping into the GUI.
#include "platform/gui/Application.h"

#include <algorithm>

#include "platform/Error.h"
#include "platform/gui/Form.h"

namespace gui {

namespace {
TApplication* g_current = nullptr;
int g_dispatchDepth = 0;
}  // namespace

TApplication::TApplication(GuiBackend& backend)
    : TComponent(nullptr), backend_(backend), previous_(g_current) {
  g_current = this;
  previousBoxHandler_ = plat::SetMessageBoxHandler(
      [this](const std::string& text, const std::string& title, unsigned flags) {
        return MessageBox(text, title, flags);
      });
  previousPump_ = plat::SetMessagePump([this] { ProcessMessages(); });
}

TApplication::~TApplication() {
  // Forms go first, while this is still the current application they talk to.
  while (!Components().empty()) delete Components().back();
  plat::SetMessagePump(previousPump_);
  plat::SetMessageBoxHandler(previousBoxHandler_);
  if (g_current == this) g_current = previous_;
}

TApplication& Application() {
  if (!g_current) {
    static TApplication* fallback = new TApplication(DefaultGuiBackend());
    (void)fallback;
  }
  return *g_current;
}

void TApplication::Run() {
  if (mainForm_ && !terminated_) Dispatch([this] { mainForm_->Show(); });
  if (!terminated_) backend_.RunLoop(*this);
  FreeReleasedForms();
}

void TApplication::Terminate() {
  terminated_ = true;
  backend_.Terminate();
}

void TApplication::ProcessMessages() {
  backend_.ProcessMessages();
  if (g_dispatchDepth == 0) FreeReleasedForms();
}

int TApplication::MessageBox(const std::string& text, const std::string& title,
                             unsigned flags) {
  return backend_.MessageBox(text, title, flags);
}

void TApplication::SetCursor(int cursor) {
  cursor_ = cursor;
  backend_.SetCursor(cursor);
}

void TApplication::ShowException(const std::exception& e) {
  if (dynamic_cast<const plat::SilentAbort*>(&e)) return;
  MessageBox(e.what(), title_, plat::mb::kOk | plat::mb::kIconError);
}

void TApplication::HandleException(std::exception_ptr e) {
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    ShowException(ex);
  } catch (...) {
    ShowException(plat::Error("Unknown error"));
  }
}

void TApplication::Dispatch(const std::function<void()>& handler) {
  ++g_dispatchDepth;
  try {
    handler();
  } catch (...) {
    HandleException(std::current_exception());
  }
  --g_dispatchDepth;
  if (g_dispatchDepth == 0) FreeReleasedForms();
}

void TApplication::ScheduleRelease(TForm* form) {
  if (std::find(released_.begin(), released_.end(), form) == released_.end())
    released_.push_back(form);
}

void TApplication::FreeReleasedForms() {
  while (!released_.empty()) {
    TForm* f = released_.back();
    released_.pop_back();
    delete f;
  }
}

void TApplication::FormDestroyed(TForm* form) {
  if (mainForm_ == form) mainForm_ = nullptr;
  released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
}

}  // namespace gui
