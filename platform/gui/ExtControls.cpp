// Picture copies, progress positions and notebook pages.
#include "platform/gui/ExtControls.h"

namespace gui {

void TImage::AssignPicture(const TPicture& source) {
  picture_.Assign(source);
  Changed(Prop::Picture);
}

void TProgressBar::SetRange(int min, int max) {
  if (max < min) max = min;
  min_ = min;
  max_ = max;
  if (position_ < min_) position_ = min_;
  if (position_ > max_) position_ = max_;
  Changed(Prop::Position);
}

void TProgressBar::SetPosition(int position) {
  if (position < min_) position = min_;
  if (position > max_) position = max_;
  if (position == position_) return;
  position_ = position;
  Changed(Prop::Position);
}

TPage* TNotebook::AddPage(const std::string& name) {
  // The page belongs to the notebook's owner, like every other control of the window.
  TPage* page = new TPage(Owner() ? Owner() : this);
  page->SetCaption(name);
  page->SetParent(this);
  page->SetBounds(0, 0, Width(), Height());
  page->SetColor(Color());
  page->SetVisible(static_cast<int>(pages_.size()) == pageIndex_);
  pages_.push_back(page);
  return page;
}

TPage* TNotebook::Page(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[static_cast<std::size_t>(index)];
}

void TNotebook::SetPageIndex(int index) {
  if (index < 0 || index >= PageCount()) return;
  pageIndex_ = index;
  for (int i = 0; i < PageCount(); ++i) pages_[static_cast<std::size_t>(i)]->SetVisible(i == index);
  Changed(Prop::PageIndex);
}

std::string TNotebook::ActivePage() const {
  const TPage* p = Page(pageIndex_);
  return p ? p->Caption() : std::string();
}

}  // namespace gui
