#include "SelectionFixture.h"

namespace {

// Near-white pixels of the stage inside area: the demo clips draw their text in white on
// darker plates.
int WhiteTextPixels(TShockwaveFlash& stage, const QRect& area) {
  QImage image(stage.size(), QImage::Format_RGB32);
  stage.render(&image);
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      count += qRed(pixel) > 180 && qGreen(pixel) > 180 && qBlue(pixel) > 180;
    }
  return count;
}

} // namespace

// The demo button shows the caption of its item properties, and what the user types into
// the item grid as soon as the cell is left.
TEST_F(SelectionTest, StageShowsTheCaptionTypedIntoTheItemGrid) {
  CreateShown();
  TFlashElement* button = Place("button", 10, 10, 120, 40);
  Click({60, 30});
  const QRect face(14, 14, 112, 32);
  const int power = WhiteTextPixels(*Window->ShockwaveFlash, face);
  EXPECT_GT(power, 20) << "the caption Power";

  TypeInto(Window->VLEProp, "caption", "Lights on and off");
  LeaveCell(Window->VLEProp);
  EXPECT_EQ(button->FProps.GetValue("caption"), "Lights on and off");
  EXPECT_GT(WhiteTextPixels(*Window->ShockwaveFlash, face), power);

  TypeInto(Window->VLEProp, "caption", " ");
  LeaveCell(Window->VLEProp);
  EXPECT_EQ(WhiteTextPixels(*Window->ShockwaveFlash, face), 0);
}
