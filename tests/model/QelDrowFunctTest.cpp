#include "model/QelDrowFunct.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb Lime = qRgb(0, 255, 0);

QImage Canvas() {
  QImage Image(48, 48, QImage::Format_RGB32);
  Image.fill(White);
  return Image;
}

QImage Frame(QPoint P1, QPoint P2) {
  QImage Image = Canvas();
  QPainter Painter(&Image);
  DrawFrameWithHandles(Painter, P1, P2);
  return Image;
}

// Whether every pixel of Area has Color.
bool Filled(const QImage& Image, const QRect& Area, QRgb Color) {
  for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
    for (int X = Area.left(); X <= Area.right(); ++X)
      if (Image.pixel(X, Y) != Color)
        return false;
  return true;
}

} // namespace

TEST(QelDrowFunctTest, HandleExcludesRightAndBottomEdgesAndTakesBgrColour) {
  QImage Image = Canvas();
  QPainter Painter(&Image);
  DrawHandle(Painter, QPoint(10, 10), 2, 0x0000FF); // red in the BGR form
  EXPECT_EQ(Painter.brush().color(), QColor(255, 0, 0));
  Painter.end();
  EXPECT_TRUE(Filled(Image, QRect(8, 8, 4, 4), qRgb(255, 0, 0)));
  EXPECT_EQ(Image.pixel(12, 10), White);
  EXPECT_EQ(Image.pixel(10, 12), White);
  EXPECT_EQ(Image.pixel(7, 7), White);
}

TEST(QelDrowFunctTest, FrameHasOutlineAndBorderedLimeHandlesAtEachCorner) {
  const QImage Image = Frame(QPoint(10, 10), QPoint(36, 30));
  for (const QPoint Corner : {QPoint(10, 10), QPoint(36, 30), QPoint(10, 30), QPoint(36, 10)}) {
    const QRect Border(Corner.x() - 4, Corner.y() - 4, 8, 8);
    EXPECT_TRUE(Filled(Image, Border.adjusted(1, 1, -1, -1), Lime))
        << Corner.x() << "," << Corner.y();
    EXPECT_EQ(Image.pixel(Border.topLeft()), Black);
    EXPECT_EQ(Image.pixel(Border.bottomRight()), Black);
    EXPECT_EQ(Image.pixel(Border.topRight()), Black);
    EXPECT_EQ(Image.pixel(Border.bottomLeft()), Black);
    EXPECT_EQ(Image.pixel(Border.topLeft() - QPoint(1, 1)), White);
    EXPECT_EQ(Image.pixel(Border.bottomRight() + QPoint(1, 1)), White);
  }
  // The outline between the handles, the inside left alone.
  EXPECT_EQ(Image.pixel(23, 10), Black);
  EXPECT_EQ(Image.pixel(23, 30), Black);
  EXPECT_EQ(Image.pixel(10, 20), Black);
  EXPECT_EQ(Image.pixel(36, 20), Black);
  EXPECT_EQ(Image.pixel(23, 20), White);
  EXPECT_EQ(Image.pixel(23, 9), White);
}

TEST(QelDrowFunctTest, CornerOrderDoesNotMatter) {
  EXPECT_EQ(Frame(QPoint(36, 30), QPoint(10, 10)), Frame(QPoint(10, 10), QPoint(36, 30)));
  EXPECT_EQ(Frame(QPoint(10, 30), QPoint(36, 10)), Frame(QPoint(10, 10), QPoint(36, 30)));
}

TEST(QelDrowFunctTest, LimeHandlesWinWhereHandlesOverlap) {
  // Equal points: all eight handles on one point, the lime square on top.
  QImage Image = Frame(QPoint(20, 20), QPoint(20, 20));
  EXPECT_TRUE(Filled(Image, QRect(17, 17, 6, 6), Lime));
  EXPECT_EQ(Image.pixel(16, 16), Black);
  EXPECT_EQ(Image.pixel(23, 23), Black);
  EXPECT_EQ(Image.pixel(24, 24), White);

  // A frame 3 pixels wide: the right handles' black squares cover the left lime ones, which
  // are drawn later and stay lime.
  Image = Frame(QPoint(20, 20), QPoint(23, 30));
  EXPECT_TRUE(Filled(Image, QRect(17, 17, 9, 6), Lime));
  EXPECT_TRUE(Filled(Image, QRect(17, 27, 9, 6), Lime));
  EXPECT_EQ(Image.pixel(16, 20), Black);
  EXPECT_EQ(Image.pixel(26, 20), Black);
}

TEST(QelDrowFunctTest, FrameUsesThePaintersPenAndLeavesTheBrushLime) {
  QImage Image = Canvas();
  QPainter Painter(&Image);
  Painter.setPen(QColor(0, 0, 255));
  DrawFrameWithHandles(Painter, QPoint(10, 10), QPoint(36, 30));
  EXPECT_EQ(Painter.brush().color(), QColor(0, 255, 0));
  Painter.end();
  EXPECT_EQ(Image.pixel(23, 10), qRgb(0, 0, 255));
}
