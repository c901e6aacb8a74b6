// The further controls of the two windows: picture, progress bar, status bar with one field,
// and the notebook of pages (one page shown at a time).
#pragma once

#include <string>
#include <vector>

#include "platform/gui/Control.h"

namespace gui {

class TImage : public TControl {
 public:
  explicit TImage(TComponent* owner) : TControl(owner, kKindOf<TImage>) {}
  const TPicture& Picture() const { return picture_; }
  // Replaces the bitmap by a copy of the source's.
  void AssignPicture(const TPicture& source);

 private:
  TPicture picture_;
};

// A circle filled with the control's colour (a decoration; no events).
class TShape : public TControl {
 public:
  explicit TShape(TComponent* owner) : TControl(owner, kKindOf<TShape>) {}
};

class TProgressBar : public TControl {
 public:
  explicit TProgressBar(TComponent* owner) : TControl(owner, kKindOf<TProgressBar>) {}
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  // Clamped to the range, as the common control does.
  void SetPosition(int position);

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};

// A status bar showing one text field (its caption).
class TStatusBar : public TControl {
 public:
  explicit TStatusBar(TComponent* owner) : TControl(owner, kKindOf<TStatusBar>) {}
  const std::string& SimpleText() const { return Caption(); }
  void SetSimpleText(const std::string& text) { SetCaption(text); }
};

class TNotebook;

// One page of a notebook; its caption is the page's name. Only the notebook's active page is
// visible.
class TPage : public TControl {
 public:
  explicit TPage(TComponent* owner) : TControl(owner, kKindOf<TPage>) { SetParentColor(true); }
};

class TNotebook : public TControl {
 public:
  explicit TNotebook(TComponent* owner) : TControl(owner, kKindOf<TNotebook>) {}
  // Pages are the notebook's child pages, in the order they were added.
  TPage* AddPage(const std::string& name);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TPage* Page(int index) const;
  int PageIndex() const { return pageIndex_; }
  // Shows the page with this index and hides the others; an index outside the pages changes
  // nothing.
  void SetPageIndex(int index);
  std::string ActivePage() const;

 private:
  std::vector<TPage*> pages_;
  int pageIndex_ = 0;
};

}  // namespace gui
