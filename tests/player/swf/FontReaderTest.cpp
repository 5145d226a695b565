#include "player/SwfBuilder.h"
#include "player/TextSwf.h"
#include "player/swf/SwfParser.h"

#include <gtest/gtest.h>

using namespace SwfBuilder;

namespace {

// A glyph outline: a move to (from), a curve by (control) then (anchor), and a straight
// edge by (line), each delta with its own x and y so that a swapped read shows.
QByteArray CurvedGlyph(QPoint from, QPoint control, QPoint anchor, QPoint line) {
  constexpr int bits = 16;
  Writer writer;
  writer.Bits(1, 4).Bits(0, 4);
  writer.Bits(0, 1).Bits(0x05, 5).Bits(bits, 5);
  writer.SignedBits(from.x(), bits).SignedBits(from.y(), bits).Bits(1, 1);
  writer.Bits(1, 1).Bits(0, 1).Bits(bits - 2, 4);
  for (const QPoint delta : {control, anchor})
    writer.SignedBits(delta.x(), bits).SignedBits(delta.y(), bits);
  writer.Bits(1, 1).Bits(1, 1).Bits(bits - 2, 4).Bits(1, 1);
  writer.SignedBits(line.x(), bits).SignedBits(line.y(), bits);
  writer.Bits(0, 6);
  return writer.Data();
}

TEST(FontReaderTest, EmbeddedGlyphCurvesKeepTheirPointsInOrder) {
  for (const int version : {1, 2, 3}) {
    SCOPED_TRACE(version);
    const QByteArray glyph = CurvedGlyph({100, -800}, {300, 20}, {40, 500}, {-440, 280});
    const auto movie = ParseSwfMovie(File(TextSwf::GlyphFont(1, version, u'A', glyph)));
    const QPainterPath& path = movie->Fonts.at(1)->Glyphs.at(0);
    ASSERT_EQ(path.elementCount(), 5);
    EXPECT_EQ(QPointF(path.elementAt(0)), QPointF(100, -800));
    // The quadratic curve as the painter keeps it: its cubic control points lie two thirds
    // of the way from each end towards the quadratic's control point (400, -780).
    EXPECT_DOUBLE_EQ(path.elementAt(1).x, 300);
    EXPECT_DOUBLE_EQ(path.elementAt(1).y, -800 + 20 * 2 / 3.0);
    EXPECT_EQ(QPointF(path.elementAt(3)), QPointF(440, -280));
    EXPECT_EQ(QPointF(path.elementAt(4)), QPointF(0, 0));
  }
}

} // namespace
