#include "SelectionFixture.h"
#include "player/ShockwaveFlash.h"

namespace {

// The scale a stage control of Size gets for a stage of StageSize units (the 4:3 rule).
double FitScale(QSize Size, QSizeF StageSize) {
  return double(Size.width()) / Size.height() < 4.0 / 3.0 ? Size.width() / StageSize.width()
                                                          : Size.height() / StageSize.height();
}

} // namespace

// A resize while "Actions" is shown counts for the stage as it is shown again on "Dessign":
// the scale and the overlay follow its new size at once, and a click on a clip selects it.
TEST_F(SelectionTest, AResizeOnTheActionsTabReachesTheStageShownAgain) {
  CreateShown();
  TFlashElement* lamp = Place("lamp", 300, 200);
  TShockwaveFlash* stage = Window->ShockwaveFlash;
  const QSizeF stageUnits(Window->FStageWidth, Window->FStageHeight);

  ClickTab(Window->PCMain, Window->TabSheet8);
  Window->resize(Window->width() - 300, Window->height() - 250);
  PumpEvents();
  ClickTab(Window->PCMain, Window->TSDesign);

  const double scale = FitScale(stage->size(), stageUnits);
  ASSERT_LT(scale, 0.9);
  EXPECT_DOUBLE_EQ(Window->FScaleX, scale);
  EXPECT_DOUBLE_EQ(Window->FScaleY, scale);
  EXPECT_EQ(QRect(Overlay()->mapToGlobal(QPoint()), Overlay()->size()),
            QRect(stage->mapToGlobal(QPoint()), stage->size()));
  Click(QPoint(int(320 * scale), int(220 * scale)));
  EXPECT_TRUE(lamp->FSelected);
  EXPECT_EQ(ListSelection(), QList<TFlashElement*>{lamp});
}

// A resize repaints the stage: the frames drawn at the old size are gone, and the next
// refresh draws them at the new scale.
TEST_F(SelectionTest, AResizeWipesTheSelectionFrames) {
  CreateShown();
  Place("lamp", 100, 100);
  Click({120, 120});
  const QPoint corner = FrameTopLeft(100, 100);
  ASSERT_EQ(LayerPixel(corner + QPoint(1, 1)), HandleLime);

  Window->resize(Window->width() - 100, Window->height() - 80);
  PumpEvents();
  ASSERT_GT(Window->FScaleX, 0.5);
  for (int y = 0; y < Window->FStageCanvas->height(); ++y)
    for (int x = 0; x < Window->FStageCanvas->width(); ++x)
      ASSERT_EQ(qAlpha(LayerPixel({x, y})), 0) << x << "," << y;

  Click(QPoint(int(120 * Window->FScaleX), int(120 * Window->FScaleY)));
  const QPoint scaled(int(97 * Window->FScaleX) - 3, int(97 * Window->FScaleY) - 3);
  EXPECT_EQ(LayerPixel(scaled + QPoint(1, 1)), HandleLime);
}
