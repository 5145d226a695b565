#include "SelectionFixture.h"
#include "designer/AlignArithmetic.h"

#include <QListWidget>

using namespace AlignArithmetic;

namespace {

QList<double> Positions(const QList<TPlacement>& Placements, QList<qsizetype>* Indices = nullptr) {
  QList<double> positions;
  for (const TPlacement& placement : Placements) {
    positions << placement.Position;
    if (Indices)
      *Indices << placement.Index;
  }
  return positions;
}

} // namespace

// Edges go to the outermost edge among the boxes, centres to the mean centre; sizes decide
// where each box's own x or y ends up.
TEST(AlignArithmeticTest, EdgesTakeTheOutermostBoxAndCentresTheMean) {
  const QList<TBox> boxes = {{10, 20, 30, 40}, {50, 5, 10, 10}, {-5, 60, 20, 20}};
  EXPECT_EQ(AlignedPositions(TAlignLine::Left, boxes), (QList<double>{-5, -5, -5}));
  EXPECT_EQ(AlignedPositions(TAlignLine::Top, boxes), (QList<double>{5, 5, 5}));
  EXPECT_EQ(AlignedPositions(TAlignLine::Right, boxes), (QList<double>{30, 50, 40}));
  EXPECT_EQ(AlignedPositions(TAlignLine::Bottom, boxes), (QList<double>{40, 70, 60}));
  EXPECT_EQ(AlignedPositions(TAlignLine::TopCenter, boxes), (QList<double>{20, 35, 30}));
  const double meanCentre = (25.0 + 55 + 5) / 3;
  const QList<double> centred = AlignedPositions(TAlignLine::Center, boxes);
  ASSERT_EQ(centred.size(), 3);
  EXPECT_DOUBLE_EQ(centred[0], meanCentre - 15);
  EXPECT_DOUBLE_EQ(centred[1], meanCentre - 5);
  EXPECT_DOUBLE_EQ(centred[2], meanCentre - 10);
}

// Boxes wholly left of or above the stage origin line up on their own edge, not on 0; boxes
// beyond the 32-bit range line up on their own edge, not on 2147483647.
TEST(AlignArithmeticTest, LinesComeFromTheBoxesWhereverTheyLie) {
  const QList<TBox> offStage = {{-100, -80, 30, 20}, {-60, -50, 20, 10}};
  EXPECT_EQ(AlignedPositions(TAlignLine::Right, offStage), (QList<double>{-70, -60}));
  EXPECT_EQ(AlignedPositions(TAlignLine::Bottom, offStage), (QList<double>{-60, -50}));

  const QList<TBox> farOut = {{4e9, 3e9, 1, 1}, {3e9, 5e9, 1, 1}};
  EXPECT_EQ(AlignedPositions(TAlignLine::Left, farOut), (QList<double>{3e9, 3e9}));
  EXPECT_EQ(AlignedPositions(TAlignLine::Top, farOut), (QList<double>{3e9, 3e9}));

  // One box stays where it is; no boxes, no positions.
  EXPECT_EQ(AlignedPositions(TAlignLine::Center, {{7, 8, 4, 2}}), QList<double>{7});
  EXPECT_TRUE(AlignedPositions(TAlignLine::Right, {}).isEmpty());
}

// Three boxes given out of order: only the middle one by position moves, to equal gaps.
TEST(AlignArithmeticTest, DistributionMovesOnlyTheMiddleBoxesToEqualGaps) {
  const QList<TBox> boxes = {{100, 0, 10, 10}, {80, 30, 20, 10}, {0, 60, 10, 10}};
  QList<qsizetype> indices;
  EXPECT_EQ(Positions(DistributedPositions(true, boxes), &indices), QList<double>{45});
  EXPECT_EQ(indices, QList<qsizetype>{1});

  EXPECT_TRUE(DistributedPositions(true, {}).isEmpty());
  EXPECT_TRUE(DistributedPositions(false, {{0, 0, 1, 1}, {5, 5, 1, 1}}).isEmpty());
}

// Boxes level with each other keep their given order; boxes that do not fit overlap by equal
// amounts.
TEST(AlignArithmeticTest, DistributionKeepsLevelBoxesInOrderAndOverlapsEvenly) {
  const QList<TBox> level = {
      {10, 0, 0, 0}, {0, 0, 0, 0}, {10, 0, 0, 0}, {10, 0, 0, 0}, {100, 0, 0, 0}};
  QList<qsizetype> indices;
  EXPECT_EQ(Positions(DistributedPositions(true, level), &indices), (QList<double>{25, 50, 75}));
  EXPECT_EQ(indices, (QList<qsizetype>{0, 2, 3}));

  const QList<double> overlapping = Positions(
      DistributedPositions(true, {{0, 0, 10, 0}, {1, 0, 30, 0}, {2, 0, 30, 0}, {20, 0, 5, 0}}));
  ASSERT_EQ(overlapping.size(), 2);
  EXPECT_DOUBLE_EQ(overlapping[0], 10 - 50.0 / 3);
  EXPECT_DOUBLE_EQ(overlapping[1], 10 - 50.0 / 3 + 30 - 50.0 / 3);
}

// The commands in the window: they act on the Objects list's selection only.
class AlignWindowTest : public SelectionTest {
protected:
  void SelectInList(const QList<TFlashElement*>& elements) {
    for (int row = 0; row < Window->ListBoxItem->count(); ++row)
      Window->ListBoxItem->item(row)->setSelected(elements.contains(Window->ListBoxElement(row)));
  }

  QString ClipX(const TFlashElement* element) const {
    return Window->ShockwaveFlash->TGetProperty(element->GetLevelName(), 0);
  }
};

TEST_F(AlignWindowTest, AlignMovesListedSelectionOnlyAndRecordsOneStep) {
  CreateShown();
  TFlashElement* a = Place("button", 10, 10, 40, 40);
  TFlashElement* b = Place("lamp", 100, 80, 60, 40);
  InsertPage("P");
  TFlashElement* hidden = Place("label", 20, 200, 30, 30);
  Window->FElements.Select(hidden);
  SelectPage(0);
  ASSERT_EQ(Window->ListBoxItem->count(), 2);
  const int steps = Window->LBHistory->count();

  SelectInList({a, b});
  Window->AlignRight->trigger();
  EXPECT_DOUBLE_EQ(a->FX, 120);
  EXPECT_DOUBLE_EQ(b->FX, 100);
  EXPECT_EQ(ClipX(a), "120");
  EXPECT_DOUBLE_EQ(a->FY, 10);
  EXPECT_DOUBLE_EQ(hidden->FX, 20);
  EXPECT_EQ(Window->LBHistory->count(), steps + 1);
  EXPECT_EQ(HistoryCount("Align"), 1);

  Window->AlignTopCenter->trigger();
  EXPECT_DOUBLE_EQ(a->FY, 45);
  EXPECT_DOUBLE_EQ(b->FY, 45);
  EXPECT_DOUBLE_EQ(hidden->FY, 200);

  // One element: sent again, still a step. None: nothing moves, no step.
  SelectInList({b});
  Window->AlignLeft->trigger();
  EXPECT_DOUBLE_EQ(b->FX, 100);
  EXPECT_EQ(HistoryCount("Align"), 3);
  SelectInList({});
  Window->AlignBottom->trigger();
  Window->AlignH->trigger();
  EXPECT_EQ(HistoryCount("Align"), 3);
  EXPECT_DOUBLE_EQ(a->FY, 45);
}

TEST_F(AlignWindowTest, DistributionNeedsThreeAndStoresTwoDecimalsFromTheExactRun) {
  CreateShown();
  TFlashElement* top = Place("button", 0, 0, 20, 10);
  TFlashElement* lower = Place("lamp", 30, 6, 20, 10);
  TFlashElement* upper = Place("label", 60, 5, 20, 10);
  TFlashElement* bottom = Place("slider", 90, 41, 20, 10);

  SelectInList({lower, bottom});
  Window->AlignVert->trigger();
  EXPECT_EQ(HistoryCount("Align"), 0);

  SelectInList({top, lower, upper, bottom});
  Window->AlignVert->trigger();
  EXPECT_DOUBLE_EQ(top->FY, 0);
  EXPECT_DOUBLE_EQ(bottom->FY, 41);
  EXPECT_DOUBLE_EQ(upper->FY, 13.67);
  // 27.33 from the exact running end; 27.34 had it carried the stored 13.67.
  EXPECT_DOUBLE_EQ(lower->FY, 27.33);
  EXPECT_EQ(Window->ShockwaveFlash->TGetProperty(lower->GetLevelName(), 1), "27.33");
  EXPECT_DOUBLE_EQ(lower->FX, 30);
  EXPECT_EQ(HistoryCount("Align"), 1);

  Window->AlignH->trigger();
  EXPECT_DOUBLE_EQ(lower->FX, 30);
  EXPECT_DOUBLE_EQ(upper->FX, 60);
  EXPECT_EQ(HistoryCount("Align"), 2);
}
