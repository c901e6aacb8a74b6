// Ownership, lookup, parent chains, the user-click rule and the control kinds' own behaviour.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/ExtControls.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Layout.h"
#include "platform/gui/StdControls.h"

namespace gui {
namespace {

// Records its own destruction into a shared log.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string name, std::vector<std::string>& log)
      : TComponent(owner), log_(log) {
    SetName(std::move(name));
  }
  ~Probe() override { log_.push_back(Name()); }

 private:
  std::vector<std::string>& log_;
};

TEST(Component, OwnerFreesOwnedLastCreatedFirstAndKeepsOrder) {
  std::vector<std::string> log;
  auto* owner = new TComponent(nullptr);
  new Probe(owner, "a", log);
  auto* b = new Probe(owner, "b", log);
  new Probe(owner, "c", log);
  ASSERT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components()[1], b);
  delete b;  // leaves the owner's list
  ASSERT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components()[1]->Name(), "c");
  delete owner;
  EXPECT_EQ(log, (std::vector<std::string>{"b", "c", "a"}));
}

TEST(Component, FindComponentIgnoresAsciiCaseAndEmptyNames) {
  std::vector<std::string> log;
  TComponent owner(nullptr);
  auto* p = new Probe(&owner, "Button12", log);
  new Probe(&owner, "", log);
  EXPECT_EQ(owner.FindComponent("button12"), p);
  EXPECT_EQ(owner.FindComponent("Button1"), nullptr);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  EXPECT_EQ(owner.Find<Probe>("BUTTON12"), p);
}

// Controls without a form never show, so only the parent-chain rules are tested here; clicks
// on real forms are in the application tests.
TEST(Control, ParentChainDecidesEnabledAndParentForm) {
  TComponent owner(nullptr);
  auto* panel = new TPanel(&owner);
  auto* button = new TButton(&owner);
  button->SetParent(panel);
  EXPECT_EQ(button->ParentForm(), nullptr);
  EXPECT_FALSE(button->Showing());  // not on a form
  EXPECT_TRUE(button->EffectivelyEnabled());
  panel->SetEnabled(false);
  EXPECT_FALSE(button->EffectivelyEnabled());
  EXPECT_TRUE(button->Enabled());
  delete panel;  // the child only loses its parent
  EXPECT_EQ(button->Parent(), nullptr);
}

TEST(Control, RadioButtonsOfOneParentExcludeEachOtherCheckBoxesDoNot) {
  TComponent owner(nullptr);
  auto* groupA = new TPanel(&owner);
  auto* groupB = new TPanel(&owner);
  auto* r1 = new TRadioButton(&owner);
  auto* r2 = new TRadioButton(&owner);
  auto* r3 = new TRadioButton(&owner);
  auto* c1 = new TCheckBox(&owner);
  auto* c2 = new TCheckBox(&owner);
  r1->SetParent(groupA);
  r2->SetParent(groupA);
  r3->SetParent(groupB);
  c1->SetParent(groupA);
  c2->SetParent(groupA);
  r1->SetChecked(true);
  r3->SetChecked(true);
  r2->SetChecked(true);
  EXPECT_FALSE(r1->Checked());
  EXPECT_TRUE(r2->Checked());
  EXPECT_TRUE(r3->Checked());  // another parent
  c1->SetChecked(true);
  c2->SetChecked(true);
  EXPECT_TRUE(c1->Checked());
  EXPECT_TRUE(c2->Checked());
  EXPECT_TRUE(r2->Checked());
}

TEST(Control, NotebookShowsOnlyItsActivePageAndIgnoresBadIndexes) {
  TComponent owner(nullptr);
  auto* book = new TNotebook(&owner);
  TPage* p0 = book->AddPage("zero");
  TPage* p1 = book->AddPage("one");
  EXPECT_TRUE(p0->Visible());
  EXPECT_FALSE(p1->Visible());
  book->SetPageIndex(1);
  EXPECT_FALSE(p0->Visible());
  EXPECT_TRUE(p1->Visible());
  EXPECT_EQ(book->ActivePage(), "one");
  book->SetPageIndex(2);
  book->SetPageIndex(-1);
  EXPECT_EQ(book->PageIndex(), 1);
}

TEST(Control, ProgressBarClampsToItsRange) {
  TComponent owner(nullptr);
  auto* bar = new TProgressBar(&owner);
  bar->SetRange(0, 10);
  bar->SetPosition(11);
  EXPECT_EQ(bar->Position(), 10);
  bar->SetPosition(-3);
  EXPECT_EQ(bar->Position(), 0);
}

std::vector<unsigned char> Bmp(std::int32_t width, std::int32_t height) {
  std::vector<unsigned char> b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  b[14] = 40;
  for (int i = 0; i < 4; ++i) {
    b[18 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(width) >> (8 * i));
    b[22 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(height) >> (8 * i));
  }
  return b;
}

TEST(Picture, SizeComesFromTheHeaderAndBadFilesAreEmpty) {
  EXPECT_EQ(TPicture(Bmp(104, 93)).Width(), 104);
  EXPECT_EQ(TPicture(Bmp(104, 93)).Height(), 93);
  EXPECT_EQ(TPicture(Bmp(200, -54)).Height(), 54);  // top-down
  EXPECT_TRUE(TPicture(Bmp(5, INT32_MIN)).Empty());
  EXPECT_TRUE(TPicture(std::vector<unsigned char>{'B', 'M', 0}).Empty());
  std::vector<unsigned char> notBmp = Bmp(3, 3);
  notBmp[0] = 'X';
  EXPECT_TRUE(TPicture(notBmp).Empty());
}

TEST(Picture, AssignCopiesAndCountsGenerations) {
  TPicture source(Bmp(3, 4));
  TPicture copy;
  copy.Assign(source);
  copy.Assign(source);
  EXPECT_TRUE(copy.SameImage(source));
  EXPECT_EQ(copy.Generation(), 2u);
}

TEST(Layout, StripAcceleratorKeepsDoubledAmpersands) {
  EXPECT_EQ(StripAccelerator("&Next>>"), "Next>>");
  EXPECT_EQ(StripAccelerator("<<&Back"), "<<Back");
  EXPECT_EQ(StripAccelerator("A && B"), "A & B");
  EXPECT_EQ(StripAccelerator("end&"), "end");
}

}  // namespace
}  // namespace gui
