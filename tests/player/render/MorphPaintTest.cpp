#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"
#include "player/TextSwf.h"
#include "player/render/PixelNear.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace SwfBuilder;

namespace {

constexpr int EdgeBits = 16;

Writer& Edge(Writer& writer, int dx, int dy) {
  writer.Bits(1, 1).Bits(1, 1).Bits(EdgeBits - 2, 4).Bits(1, 1);
  return writer.SignedBits(dx, EdgeBits).SignedBits(dy, EdgeBits);
}

// Moves the pen; styled picks fill style 1 (on the left) and line style 1, of one bit each.
Writer& MoveTo(Writer& writer, int x, int y, bool styled) {
  writer.Bits(0, 1).Bits(styled ? 0x0D : 0x01, 5).Bits(EdgeBits, 5);
  writer.SignedBits(x, EdgeBits).SignedBits(y, EdgeBits);
  return styled ? writer.Bits(1, 1).Bits(1, 1) : writer;
}

// The edges round a rectangle of twips from its top left corner, then the end of the shape.
Writer& Rectangle(Writer& writer, const QRect& twips) {
  Edge(writer, twips.width(), 0);
  Edge(writer, 0, twips.height());
  Edge(writer, -twips.width(), 0);
  Edge(writer, 0, -twips.height());
  return writer.Bits(0, 6).Align();
}

QByteArray Bounds(const QRect& twips) {
  return Rect(twips.left(), twips.left() + twips.width(), twips.top(),
              twips.top() + twips.height());
}

// A DefineMorphShape of a rectangle filled red at its start and blue at its end, with an
// outline whose width grows from 1 to 5 pixels.
QByteArray RedToBlue(int id, const QRect& start, const QRect& end) {
  Writer writer;
  writer.U16(id).Bytes(Bounds(start)).Bytes(Bounds(end)).U32(0);
  writer.U8(1).U8(0x00).U32(0xFF0000FF).U32(0xFFFF0000); // red to blue, RGBA as stored
  writer.U8(1).U16(20).U16(100).U32(0xFF000000).U32(0xFF000000);
  writer.Bits(1, 4).Bits(1, 4);
  Rectangle(MoveTo(writer, start.x(), start.y(), true), start);
  writer.Bits(0, 4).Bits(0, 4);
  Rectangle(MoveTo(writer, end.x(), end.y(), false), end);
  return Tag(46, writer.Data());
}

testing::AssertionResult Near(const QImage& image, int x, int y, const QColor& expected) {
  return PixelNear(image, x, y, expected, 8);
}

class MorphPaintTest : public testing::Test {
protected:
  // A 200 x 100 pixel stage with the morph placed at ratio.
  QImage Draw(int ratio) {
    FFlash.resize(200, 100);
    const QByteArray movie =
        File(Background(Qt::white) +
                 RedToBlue(5, QRect(200, 200, 1000, 1000), QRect(2000, 200, 2000, 1000)) +
                 TextSwf::PlaceWithRatio(1, 5, ratio),
             'F', 4000, 2000);
    FFlash.SetMovie(Save(FDir.filePath(QStringLiteral("m%1.swf").arg(++FCount)), movie));
    FFlash.Play();
    QImage image(200, 100, QImage::Format_ARGB32);
    FFlash.render(&image);
    return image;
  }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
  int FCount = 0;
};

TEST_F(MorphPaintTest, MorphShapesAreDrawnPartOfTheWayAtTheirRatio) {
  // From x 10 to 60 pixels at the start, 100 to 200 at the end.
  const QImage start = Draw(0);
  EXPECT_TRUE(Near(start, 35, 35, Qt::red));
  EXPECT_TRUE(Near(start, 5, 35, Qt::white));
  EXPECT_TRUE(Near(start, 150, 35, Qt::white));

  // Half way: from 55 to 130 pixels, purple, the outline three pixels wide.
  const QImage half = Draw(32768);
  EXPECT_TRUE(Near(half, 90, 35, QColor(0x80, 0x00, 0x7F)));
  EXPECT_TRUE(Near(half, 35, 35, Qt::white));
  EXPECT_TRUE(Near(half, 54, 35, Qt::black));
  EXPECT_TRUE(Near(half, 130, 35, Qt::black));
  EXPECT_TRUE(Near(half, 140, 35, Qt::white));

  const QImage end = Draw(65535);
  EXPECT_TRUE(Near(end, 150, 35, Qt::blue));
  EXPECT_TRUE(Near(end, 99, 35, Qt::black)) << "five pixels wide";
  EXPECT_TRUE(Near(end, 60, 35, Qt::white));
}

} // namespace
