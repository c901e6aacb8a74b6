// Forms: creation event, showing, closing with its action, modal runs, release.
#include "platform/gui/Form.h"

#include "platform/gui/Application.h"

namespace gui {

TForm::TForm(TComponent* owner)
    : TControl(owner, kKindOf<TForm>), app_(&Application()), backend_(&app_->Backend()) {
  SetVisible(false);
}

TForm::~TForm() { app_->FormDestroyed(this); }

void TForm::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  SetBounds(Left(), Top(), width, height);
}

void TForm::AfterConstruction() {
  if (!OnCreate) return;
  try {
    OnCreate(this);
  } catch (...) {
    app_->HandleException(std::current_exception());
  }
}

void TForm::EnsureRealized() {
  if (!Realized()) backend_->RealizeForm(*this);
}

void TForm::Show() {
  EnsureRealized();
  SetVisible(true);
  backend_->ShowForm(*this, true);
}

void TForm::HideForm() {
  SetVisible(false);
  backend_->ShowForm(*this, false);
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  lastCloseAction_ = action;
  if (action == TCloseAction::caNone) return;
  if (app_->MainForm() == this) {
    app_->Terminate();
    return;
  }
  if (action == TCloseAction::caFree) Release();
  else HideForm();
}

int TForm::ShowModal() {
  EnsureRealized();
  modal_ = true;
  modalResult_ = mrNone;
  SetVisible(true);
  backend_->ShowForm(*this, true);
  try {
    backend_->RunModal(*this);
  } catch (...) {
    modal_ = false;
    HideForm();
    throw;
  }
  if (modalResult_ == mrNone) modalResult_ = mrCancel;
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  lastCloseAction_ = action;
  modal_ = false;
  HideForm();
  return modalResult_;
}

void TForm::Release() { app_->ScheduleRelease(this); }

void TForm::Paint() {
  if (OnPaint) OnPaint(this);
}

}  // namespace gui
