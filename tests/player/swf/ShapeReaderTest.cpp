#include "player/SwfBuilder.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/SwfWriter.h"

#include <gtest/gtest.h>

using swfgen::FillStyle;
using swfgen::LineStyle;
namespace Writer = swfgen::SwfWriter;

namespace {

const QList<QPoint> Square{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}};

std::shared_ptr<const SwfMovie> Parsed(const QByteArray& tags) {
  return ParseSwfMovie(SwfBuilder::File(tags));
}

TEST(ShapeReaderTest, StylesKeepEveryFieldTheyStore) {
  FillStyle focal;
  focal.kind = FillStyle::Kind::FocalGradient;
  focal.matrix = QTransform(0.5, 0, 0, 0.25, 300, 400);
  focal.stops = {{255, 0xFF0000FF}, {0, 0x80FF0000}, {128, 0xFF00FF00}};
  focal.spread = FillStyle::Spread::Repeat;
  focal.linearRgb = true;
  focal.focalPoint = -0.75;
  LineStyle line;
  line.widthTwips = 45;
  line.cap = LineStyle::Cap::None;
  line.endCap = LineStyle::Cap::Square;
  line.join = LineStyle::Join::Miter;
  line.miterLimit = 2.5;
  line.noClose = true;
  line.pixelHinting = true;
  line.scales = false;
  line.fill = focal;
  const auto movie = Parsed(Writer::defineShape(1, 4, Square, true, focal, line));
  const SwfShape& shape = movie->Shapes.at(1);
  ASSERT_EQ(shape.Fills.size(), 1u);
  ASSERT_EQ(shape.Strokes.size(), 1u);

  const SwfFillStyle& fill = shape.Fills[0].Style;
  EXPECT_EQ(fill.Type, SwfFillStyle::Kind::FocalGradient);
  EXPECT_EQ(fill.Matrix, QTransform(0.5, 0, 0, 0.25, 300, 400));
  EXPECT_EQ(fill.Gradient.SpreadMode, SwfGradient::Spread::Repeat);
  EXPECT_EQ(fill.Gradient.InterpolationMode, SwfGradient::Interpolation::LinearRgb);
  EXPECT_DOUBLE_EQ(fill.Gradient.FocalPoint, -0.75);
  // Stops keep the file's order and ratios, even out of order: drawing follows both.
  ASSERT_EQ(fill.Gradient.Stops.size(), 3);
  EXPECT_EQ(fill.Gradient.Stops[0], QGradientStop(1, QColor(0, 0, 255)));
  EXPECT_EQ(fill.Gradient.Stops[1], QGradientStop(0, QColor(255, 0, 0, 0x80)));
  EXPECT_NEAR(fill.Gradient.Stops[2].first, 128 / 255.0, 1e-9);
  EXPECT_EQ(fill.Gradient.Stops[2].second, QColor(0, 255, 0));

  const SwfLineStyle& stroke = shape.Strokes[0].Style;
  EXPECT_EQ(stroke.Width, 45);
  EXPECT_EQ(stroke.Cap, Qt::FlatCap);
  EXPECT_EQ(stroke.EndCap, Qt::SquareCap);
  EXPECT_EQ(stroke.Join, Qt::MiterJoin);
  EXPECT_DOUBLE_EQ(stroke.MiterLimit, 2.5);
  EXPECT_TRUE(stroke.NoClose);
  EXPECT_TRUE(stroke.PixelHinting);
  EXPECT_FALSE(stroke.ScalesHorizontally);
  EXPECT_FALSE(stroke.ScalesVertically);
  ASSERT_TRUE(stroke.Fill);
  EXPECT_EQ(stroke.Fill->Type, SwfFillStyle::Kind::FocalGradient);
  // The outline runs once round the square, open at its start as it asked.
  EXPECT_EQ(shape.Strokes[0].Path.elementCount(), 5);
  EXPECT_NE(shape.Strokes[0].Path.currentPosition(), QPointF(0, 0));

  // Older shape versions: a width and an RGB colour, round caps and joins; a bitmap fill
  // names a bitmap defined before it and keeps its repeat and smoothing flags.
  LineStyle plain;
  plain.widthTwips = 30;
  plain.color = 0xFF123456;
  FillStyle bitmap;
  bitmap.kind = FillStyle::Kind::Bitmap;
  bitmap.bitmapId = 7;
  bitmap.repeats = false;
  bitmap.smoothed = false;
  QImage image(2, 2, QImage::Format_RGB32);
  image.fill(Qt::red);
  const auto older = Parsed(Writer::defineBitmap(7, image, swfgen::BitmapFormat::Rgb24) +
                            Writer::defineShape(2, 2, Square, true, bitmap, plain) +
                            Writer::defineShape(3, 1, Square, false, std::nullopt, plain));
  const SwfShape& filled = older->Shapes.at(2);
  EXPECT_EQ(filled.Fills[0].Style.Type, SwfFillStyle::Kind::Bitmap);
  EXPECT_EQ(filled.Fills[0].Style.Bitmap.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_FALSE(filled.Fills[0].Style.Repeats);
  EXPECT_FALSE(filled.Fills[0].Style.Smoothed);
  EXPECT_EQ(filled.Strokes[0].Style.Color, QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(filled.Strokes[0].Style.Cap, Qt::RoundCap);
  EXPECT_EQ(older->Shapes.at(3).Fills.size(), 0u);
  EXPECT_EQ(older->Shapes.at(3).Strokes[0].Style.Width, 30);
}

TEST(ShapeReaderTest, PlacementsCarryColourTransformsAndClipDepths) {
  swfgen::ColorTransform colors;
  colors.multiply = {0.5, 1, 2, 0.25};
  colors.add = {-10, 0, 20, 255};
  SwfBuilder::Writer move;
  move.U8(0x41).U16(1).U16(6); // move depth 1: a new clip depth only
  const auto movie =
      Parsed(SwfBuilder::RectangleShape(1, QRect(0, 0, 100, 100), Qt::red) +
             Writer::placeObject2(1, 1, {}, {}, colors, 3) + SwfBuilder::Tag(26, move.Data()));
  const SwfTimeline::Placement& placed = movie->Root.Frame1.at(0);
  EXPECT_EQ(placed.ClipDepth, 6);
  EXPECT_EQ(placed.ColorTransform.Multiply, (std::array<double, 4>{0.5, 1, 2, 0.25}));
  EXPECT_EQ(placed.ColorTransform.Add, (std::array<double, 4>{-10, 0, 20, 255}));
  EXPECT_EQ(placed.ColorTransform.Apply(QColor(200, 100, 100, 100)), QColor(90, 100, 220, 255));
}

} // namespace
