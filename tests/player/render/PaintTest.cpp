#include "player/PlayerStage.h"
#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"
#include "player/TextSwf.h"
#include "player/render/PixelNear.h"
#include "player/render/RenderCache.h"
#include "player/render/StagePainter.h"
#include "player/swf/SwfParser.h"
#include "tools/swfgen/ClipDescription.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using swfgen::ClipDescription;
using swfgen::FillStyle;
using swfgen::LineStyle;
namespace Writer = swfgen::SwfWriter;

namespace {

const QSize Stage(200, 100);

testing::AssertionResult Near(const QImage& image, int x, int y, const QColor& expected,
                              int tolerance = 3) {
  return PixelNear(image, x, y, expected, tolerance);
}

QByteArray Described(const QString& drawings) {
  QString error;
  const auto description = ClipDescription::parse(
      QStringLiteral("frame 200 100\nbackground #FFFFFF\n") + drawings, &error);
  EXPECT_TRUE(description) << error.toStdString();
  return description ? description->toSwf() : QByteArray();
}

// A 200 x 100 pixel movie with a white background and the tags given.
QByteArray Movie(const QByteArray& tags) {
  return SwfBuilder::File(SwfBuilder::Background(Qt::white) + tags, 'F', 4000, 2000);
}

class PaintTest : public testing::Test {
protected:
  // Plays the movie as the main movie of a stage widget of the given size and draws it.
  QImage Draw(const QByteArray& movie, const QSize& size = Stage) {
    FFlash.resize(size);
    FFlash.SetMovie(
        SwfBuilder::Save(FDir.filePath(QStringLiteral("movie%1.swf").arg(++FCount)), movie));
    FFlash.Play();
    QImage image(size, QImage::Format_ARGB32);
    FFlash.render(&image);
    return image;
  }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
  int FCount = 0;
};

TEST_F(PaintTest, GradientsShowTheirStopsMidpointsSpreadAndFocus) {
  const QImage linear = Draw(Described("gradient 0 0 200 50 linear 0:#FF0000,255:#0000FF\n"
                                       "gradient 0 50 200 50 linear 0:#FF0000,255:#0000FF "
                                       "interpolation=linear\n"));
  EXPECT_TRUE(Near(linear, 0, 25, QColor(255, 0, 0), 4));
  EXPECT_TRUE(Near(linear, 199, 25, QColor(0, 0, 255), 4));
  EXPECT_TRUE(Near(linear, 100, 25, QColor(128, 0, 127), 4));
  // Mixed in linear light, the midpoint is brighter: half of each in linear terms.
  EXPECT_TRUE(Near(linear, 100, 75, QColor(188, 0, 188), 6));

  // Radial: the first stop at the centre, the last padded beyond the radius; a transparent
  // stop shows the background.
  const QImage radial =
      Draw(Described("gradient 0 0 100 100 radial 0:#00FF00,200:#000000,255:#00000000\n"
                     "gradient 100 0 100 100 focal 0:#FF0000,255:#0000FF focus=0.8\n"));
  EXPECT_TRUE(Near(radial, 50, 50, QColor(0, 255, 0), 8));
  EXPECT_TRUE(Near(radial, 1, 1, QColor(Qt::white)));
  // The focal point draws the first stop off centre; the mirrored point is much bluer.
  EXPECT_TRUE(Near(radial, 190, 50, QColor(255, 0, 0), 40));
  EXPECT_GT(radial.pixelColor(110, 50).blue(), 200);

  // A gradient square half as wide as the shape: pad holds the end colours, repeat starts
  // over, reflect runs back; DefineShape2 stores the stops without alpha.
  const auto spreadShape = [](int id, int y, FillStyle::Spread spread) {
    FillStyle fill;
    fill.kind = FillStyle::Kind::LinearGradient;
    fill.matrix = QTransform(2000 / 32768.0, 0, 0, 1, 1000, 0);
    fill.stops = {{0, 0xFFFF0000}, {255, 0xFF0000FF}};
    fill.spread = spread;
    return Writer::defineShape(quint16(id), 2, {{0, 0}, {4000, 0}, {4000, 600}, {0, 600}}, true,
                               fill, std::nullopt) +
           Writer::placeObject2(quint16(id), quint16(id), {0, y});
  };
  const QImage spread = Draw(Movie(spreadShape(1, 0, FillStyle::Spread::Pad) +
                                   spreadShape(2, 700, FillStyle::Spread::Repeat) +
                                   spreadShape(3, 1400, FillStyle::Spread::Reflect)));
  EXPECT_TRUE(Near(spread, 150, 15, QColor(0, 0, 255), 4));
  EXPECT_TRUE(Near(spread, 102, 50, QColor(255, 0, 0), 12));
  EXPECT_TRUE(Near(spread, 102, 85, QColor(0, 0, 255), 12));
}

TEST_F(PaintTest, GradientStopsKeepFileOrderAndEqualRatiosEndInHardEdges) {
  // 0 red, 200 green, then 100 blue lifted past 200: red to green, then blue to the end.
  const QImage unordered =
      Draw(Described("gradient 0 0 200 50 linear 0:#FF0000,200:#00FF00,100:#0000FF\n"
                     "gradient 0 50 200 50 linear 0:#FF0000,128:#00FF00,128:#0000FF,"
                     "255:#FFFFFF\n"));
  EXPECT_TRUE(Near(unordered, 78, 25, QColor(128, 127, 0), 8));
  EXPECT_TRUE(Near(unordered, 190, 25, QColor(0, 0, 255)));
  EXPECT_TRUE(Near(unordered, 97, 75, QColor(0, 255, 0), 12));
  EXPECT_TRUE(Near(unordered, 103, 75, QColor(0, 0, 255), 24));
}

TEST_F(PaintTest, SkewedPlacementsAreDrawnWithTheWholeMatrix) {
  using namespace SwfBuilder;
  // A 40-pixel square sheared so each row moves right by its height: a parallelogram.
  const QByteArray square =
      Sprite(2, RectangleShape(1, QRect(0, 0, 800, 800), Qt::black) + Place(1, 1));
  const QByteArray sheared = Tag(26, SwfBuilder::Writer()
                                         .U8(0x06)
                                         .U16(1)
                                         .U16(2)
                                         .Bytes(Writer::matrix(QTransform(1, 0, 1, 1, 200, 200)))
                                         .Data());
  const QImage image = Draw(Movie(square + sheared));
  EXPECT_TRUE(Near(image, 30, 12, Qt::black));
  EXPECT_TRUE(Near(image, 80, 45, Qt::black)) << "the bottom row runs right";
  EXPECT_TRUE(Near(image, 15, 45, Qt::white)) << "the bottom left corner moved away";
}

TEST_F(PaintTest, BitmapsOfEveryTagShowTheirCheckerSquares) {
  const QColor first(0xE0, 0x30, 0x20);
  const QColor second(0x20, 0x40, 0xD0);
  const QString formats[] = {"lossless8",    "lossless15", "lossless24", "lossless2-8",
                             "lossless2-32", "jpeg",       "jpeg2",      "jpeg3",
                             "jpeg4",        "png",        "gif"};
  for (const QString& format : formats) {
    const bool lossy = format.startsWith(u"jpeg");
    const int tolerance = lossy ? 24 : format == u"lossless15" ? 8 : 2;
    const QImage image =
        Draw(Described(QStringLiteral("bitmap 0 0 32 32 %1 16 #E03020 #2040D0\n").arg(format)));
    SCOPED_TRACE(format.toStdString());
    EXPECT_EQ(FFlash.LoadError(0), "");
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 31)})
      EXPECT_TRUE(Near(image, corner.x(), corner.y(), first, tolerance));
    for (const QPoint corner : {QPoint(31, 0), QPoint(0, 31)})
      EXPECT_TRUE(Near(image, corner.x(), corner.y(), second, tolerance));
    EXPECT_TRUE(Near(image, 8, 8, first, tolerance));
    EXPECT_TRUE(Near(image, 24, 8, second, tolerance));
    EXPECT_TRUE(Near(image, 8, 24, second, tolerance));
    EXPECT_TRUE(Near(image, 24, 24, first, tolerance));
    EXPECT_TRUE(Near(image, 100, 50, Qt::white)) << "nothing outside the shape";
  }

  // Half-transparent squares over the white background, as SWF stores them premultiplied.
  for (const QString format : {"lossless2-32", "lossless2-8", "jpeg3", "png"}) {
    const QImage image =
        Draw(Described(QStringLiteral("bitmap 0 0 32 32 %1 16 #FF000080 #0000FF\n").arg(format)));
    SCOPED_TRACE(format.toStdString());
    EXPECT_TRUE(Near(image, 8, 8, QColor(255, 127, 127), format == u"jpeg3" ? 24 : 3));
    EXPECT_TRUE(Near(image, 24, 8, QColor(0, 0, 255), format == u"jpeg3" ? 24 : 3));
  }

  // A shape wider than its bitmap repeats it, or shows it once with its edge pixels drawn on
  // beyond it; at twice the size, sharp
  // pixels keep the square's colour up to its edge where smoothing mixes in the next one.
  const QImage repeated =
      Draw(Described("bitmap 0 0 64 32 lossless24 8 #E03020 #2040D0 image=16x16\n"
                     "bitmap 100 0 64 32 lossless24 8 #E03020 #2040D0 "
                     "image=16x16 fill=clip\n"));
  EXPECT_TRUE(Near(repeated, 20, 4, first));
  EXPECT_TRUE(Near(repeated, 28, 12, first));
  EXPECT_TRUE(Near(repeated, 104, 4, first));
  EXPECT_TRUE(Near(repeated, 120, 4, second)) << "the right edge continues";
  EXPECT_TRUE(Near(repeated, 160, 28, first)) << "the corner continues";
  const QImage sharp = Draw(Described("bitmap 0 0 16 16 lossless24 8 #E03020 #2040D0 smooth=no\n"
                                      "bitmap 50 0 16 16 lossless24 8 #E03020 #2040D0\n"),
                            Stage * 2);
  EXPECT_TRUE(Near(sharp, 15, 4, first));
  EXPECT_FALSE(Near(sharp, 115, 4, first, 10));
}

TEST_F(PaintTest, OversizedBitmapsDrawNothingWithTheReason) {
  const auto lossless = [](int width, int height) {
    SwfBuilder::Writer body;
    body.U16(1).U8(5).U16(width).U16(height).Bytes(qCompress(QByteArray(16, '\0')).mid(4));
    return Movie(SwfBuilder::Tag(20, body.Data()));
  };
  Draw(lossless(9000, 1));
  EXPECT_NE(FFlash.LoadError(0).indexOf("bitmap 1 is 9000 x 1 pixels"), -1)
      << FFlash.LoadError(0).toStdString();
  Draw(lossless(8192, 2049));
  EXPECT_NE(FFlash.LoadError(0).indexOf("more than 64 MiB is refused"), -1)
      << FFlash.LoadError(0).toStdString();

  // A PNG that claims a huge size is refused from its header, before it is decoded.
  QImage wide(9001, 1, QImage::Format_RGB32);
  wide.fill(Qt::red);
  Draw(Movie(Writer::defineBitmap(1, wide, swfgen::BitmapFormat::Png)));
  EXPECT_NE(FFlash.LoadError(0).indexOf("9001 x 1"), -1) << FFlash.LoadError(0).toStdString();
}

TEST_F(PaintTest, BitmapFillsFindBitmapsDefinedAfterTheShapeAndBadBitmapsDrawNothing) {
  using namespace SwfBuilder;
  QImage red(4, 4, QImage::Format_RGB32);
  red.fill(Qt::red);
  const QImage later = Draw(Movie(BitmapRectangleShape(1, QRect(200, 200, 80, 80), 5) +
                                  OpaqueBitmap(5, red) + Place(1, 1) + ShowFrame()));
  EXPECT_EQ(FFlash.LoadError(0), "");
  EXPECT_TRUE(Near(later, 12, 12, Qt::red));

  // An empty JPEG draws nothing, and the shape beside it is drawn all the same.
  const QImage broken = Draw(Movie(BitmapRectangleShape(1, QRect(200, 200, 80, 80), 5) +
                                   Tag(21, SwfBuilder::Writer().U16(5).Data()) +
                                   RectangleShape(2, QRect(1000, 200, 80, 80), Qt::blue) +
                                   Place(1, 1) + Place(2, 2)));
  EXPECT_TRUE(Near(broken, 12, 12, Qt::white));
  EXPECT_TRUE(Near(broken, 52, 12, Qt::blue));
  EXPECT_NE(FFlash.LoadError(0).indexOf("bitmap 5: the jpeg data cannot be read"), -1)
      << FFlash.LoadError(0).toStdString();
}

// The columns of image, left to right, where row y holds ink darker than mid grey.
std::vector<int> InkColumns(const QImage& image, int y) {
  std::vector<int> columns;
  for (int x = 0; x < image.width(); ++x)
    if (qGray(image.pixel(x, y)) < 128)
      columns.push_back(x);
  return columns;
}

TEST_F(PaintTest, TextFieldsUseMetricCompatibleFontsAndCrispBorders) {
  using namespace TextSwf;
  // Device text runs as wide as the metric-compatible font sets it.
  for (const auto& [name, family] : {std::pair{"_sans", "Liberation Sans"},
                                     {"Arial", "Liberation Sans"},
                                     {"_serif", "Liberation Serif"},
                                     {"Courier New", "Liberation Mono"}}) {
    SCOPED_TRACE(name);
    const QImage image = Draw(Movie(
        DeviceFont(2, name) +
        EditText(5,
                 {.Twips = QRect(0, 0, 4000, 800), .Font = 2, .Height = 400, .Text = "MMMMMMMM"}) +
        SwfBuilder::Place(1, 5)));
    QFont font(family);
    font.setPixelSize(20);
    const double width = QFontMetricsF(font).tightBoundingRect(QStringLiteral("MMMMMMMM")).width();
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
      if (const std::vector<int> ink = InkColumns(image, y); !ink.empty()) {
        left = std::min(left, ink.front());
        right = std::max(right, ink.back());
      }
    EXPECT_NEAR(right + 1 - left, width, 4);
  }

  // A border is one black pixel through the pixels at the bounds' edges, around a white
  // background: its right and bottom lines lie on the pixels just past the background.
  const QImage bordered =
      Draw(SwfBuilder::File(SwfBuilder::Background(Qt::blue) +
                                EditText(5, {.Twips = QRect(200, 200, 1000, 600), .Border = true}) +
                                SwfBuilder::Place(1, 5),
                            'F', 4000, 2000));
  EXPECT_EQ(bordered.pixelColor(10, 20), QColor(Qt::black));
  EXPECT_EQ(bordered.pixelColor(11, 20), QColor(Qt::white));
  EXPECT_EQ(bordered.pixelColor(9, 20), QColor(Qt::blue));
  EXPECT_EQ(bordered.pixelColor(59, 20), QColor(Qt::white));
  EXPECT_EQ(bordered.pixelColor(60, 20), QColor(Qt::black));
  EXPECT_EQ(bordered.pixelColor(61, 20), QColor(Qt::blue));
  EXPECT_EQ(bordered.pixelColor(30, 40), QColor(Qt::black));
  EXPECT_EQ(bordered.pixelColor(30, 39), QColor(Qt::white));

  // Device fonts are never skewed: a skewed field keeps its crisp, upright border.
  const QImage skewed =
      Draw(SwfBuilder::File(SwfBuilder::Background(Qt::blue) +
                                EditText(5, {.Twips = QRect(200, 200, 1000, 600), .Border = true}) +
                                SwfBuilder::PlaceSkewed(1, 5, 0.1),
                            'F', 4000, 2000));
  for (const int y : {20, 30, 39})
    EXPECT_EQ(skewed.pixelColor(10, y), QColor(Qt::black)) << y;
  EXPECT_EQ(skewed.pixelColor(30, 40), QColor(Qt::black));
}

TEST_F(PaintTest, LineStylesDrawCapsJoinsHairlinesAndHinting) {
  const QImage caps = Draw(Described("line 10 #000000 20,20 60,20 cap=none\n"
                                     "line 10 #000000 20,50 60,50 cap=square\n"
                                     "line 10 #000000 20,80 60,80\n"
                                     "line 10 #000000 100,60 140,60 140,20 join=miter\n"
                                     "line 10 #000000 160,60 190,60 190,20 join=bevel\n"
                                     "line 10 #000000 100,85 140,85 cap=none endcap=square\n"));
  EXPECT_TRUE(Near(caps, 40, 20, Qt::black));
  EXPECT_TRUE(Near(caps, 63, 20, Qt::white));
  EXPECT_TRUE(Near(caps, 63, 50, Qt::black));
  EXPECT_TRUE(Near(caps, 63, 80, Qt::black));
  EXPECT_TRUE(Near(caps, 64, 84, Qt::white)) << "a round cap leaves the corner";
  EXPECT_TRUE(Near(caps, 144, 64, Qt::black)) << "a miter fills the outer corner";
  EXPECT_TRUE(Near(caps, 194, 64, Qt::white)) << "a bevel cuts it";
  EXPECT_TRUE(Near(caps, 97, 85, Qt::white)) << "no cap at the start";
  EXPECT_TRUE(Near(caps, 143, 85, Qt::black)) << "a square cap at the end";
  EXPECT_TRUE(Near(caps, 120, 85, Qt::black));

  // A hairline stays one pixel wide at half the size; a one-pixel line on a pixel edge is
  // spread over two rows unless hinting moves it onto one.
  const QImage thin = Draw(Described("line 0 #000000 10,41 190,41\n"
                                     "line 1 #000000 10,60 90,60\n"
                                     "line 1 #000000 110,60 190,60 hinting=yes\n"),
                           Stage);
  EXPECT_LT(thin.pixelColor(100, 40).red() + thin.pixelColor(100, 41).red(), 300);
  EXPECT_TRUE(Near(thin, 100, 43, Qt::white));
  EXPECT_TRUE(Near(thin, 50, 59, QColor(128, 128, 128), 40));
  EXPECT_TRUE(Near(thin, 150, 60, Qt::black, 10));
  EXPECT_TRUE(Near(thin, 150, 59, Qt::white, 10));
  const QImage half = Draw(Described("line 0 #000000 10,41 190,41\n"), Stage / 2);
  EXPECT_LT(half.pixelColor(50, 20).red() + half.pixelColor(50, 21).red(), 400);

  // A closed outline joins at its start unless it asks not to be closed.
  const QImage closing = Draw(Described("line 10 #000000 20,20 80,20 80,80 20,80 20,20 cap=none "
                                        "join=miter\n"
                                        "line 10 #000000 120,20 180,20 180,80 120,80 120,20 "
                                        "cap=none join=miter noclose=yes\n"));
  EXPECT_TRUE(Near(closing, 16, 16, Qt::black));
  EXPECT_TRUE(Near(closing, 116, 16, Qt::white));

  // Inside a clip scaled three times, a scaling stroke grows and a non-scaling one does not;
  // a stroke painted with a gradient takes its colours along the line.
  LineStyle scaling;
  scaling.widthTwips = 80;
  LineStyle fixed = scaling;
  fixed.scales = false;
  LineStyle graded = scaling;
  graded.widthTwips = 200;
  graded.fill = FillStyle{};
  graded.fill->kind = FillStyle::Kind::LinearGradient;
  graded.fill->matrix = QTransform(1200 / 32768.0, 0, 0, 1, 600, 0);
  graded.fill->stops = {{0, 0xFFFF0000}, {255, 0xFF0000FF}};
  const QByteArray sprite = SwfBuilder::Sprite(
      4, Writer::defineShape(1, 4, {{0, 100}, {600, 100}}, false, std::nullopt, scaling) +
             Writer::defineShape(2, 4, {{0, 400}, {600, 400}}, false, std::nullopt, fixed) +
             Writer::defineShape(3, 4, {{0, 560}, {1200, 560}}, false, std::nullopt, graded) +
             Writer::placeObject2(1, 1, {}) + Writer::placeObject2(2, 2, {}) +
             Writer::placeObject2(3, 3, {}));
  const QImage strokes = Draw(Movie(sprite + SwfBuilder::Place(1, 4, 0, 0, {}, 3)));
  EXPECT_TRUE(Near(strokes, 40, 10, Qt::black));
  EXPECT_TRUE(Near(strokes, 40, 60, Qt::black));
  EXPECT_TRUE(Near(strokes, 40, 64, Qt::white));
  EXPECT_TRUE(Near(strokes, 4, 84, QColor(255, 0, 0), 40));
  EXPECT_TRUE(Near(strokes, 176, 84, QColor(0, 0, 255), 40));
}

TEST_F(PaintTest, ColourTransformsNestAndAlphaFollowsScripts) {
  const QImage placed = Draw(Described("rect 0 0 50 50 #FF0000 mult=0.5,1,1,1 add=0,100,0,0\n"
                                       "gradient 50 0 50 50 linear 0:#000000,255:#000000 "
                                       "add=0,0,255,0\n"
                                       "rect 100 0 50 50 #0000FF mult=1,1,1,0.5\n"));
  EXPECT_TRUE(Near(placed, 25, 25, QColor(128, 100, 0)));
  EXPECT_TRUE(Near(placed, 75, 25, QColor(0, 0, 255)));
  EXPECT_TRUE(Near(placed, 125, 25, QColor(127, 127, 255)));

  // A shape halved in red inside a sprite placed with its green raised: both apply. An
  // RGBA fill lets the background through.
  swfgen::ColorTransform inner;
  inner.multiply = {0.5, 1, 1, 1};
  swfgen::ColorTransform outer;
  outer.add = {0, 200, 0, 0};
  FillStyle translucent;
  translucent.color = 0x80000000;
  const QByteArray nested =
      Movie(SwfBuilder::RectangleShape(1, QRect(0, 0, 1000, 1000), Qt::red) +
            SwfBuilder::Sprite(2, Writer::placeObject2(1, 1, {}, {}, inner)) +
            Writer::placeObject2(1, 2, {}, QStringLiteral("tinted"), outer) +
            Writer::defineShape(3, 3, {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}, true,
                                translucent, std::nullopt) +
            Writer::placeObject2(2, 3, {2000, 0}));
  const QImage tinted = Draw(nested);
  EXPECT_TRUE(Near(tinted, 25, 25, QColor(128, 200, 0)));
  EXPECT_TRUE(Near(tinted, 125, 25, QColor(127, 127, 127)));

  // _alpha from the host and from a clip's own script is the same alpha multiplier.
  FFlash.TSetProperty("_root.tinted", 6, "50");
  QImage faded(Stage, QImage::Format_ARGB32);
  FFlash.render(&faded);
  EXPECT_TRUE(Near(faded, 25, 25, QColor(191, 227, 127)));
  EXPECT_EQ(FFlash.TGetProperty("_root.tinted", 6), "50");
  const QImage scripted =
      Draw(Movie(SwfBuilder::RectangleShape(1, QRect(0, 0, 1000, 1000), Qt::red) +
                 SwfBuilder::Sprite(2, SwfBuilder::Place(1, 1) +
                                           SwfBuilder::Actions().SetThis("_alpha", "25").Tag()) +
                 SwfBuilder::Place(1, 2, 0, 0, "item")));
  EXPECT_TRUE(Near(scripted, 25, 25, QColor(255, 191, 191)));
}

TEST_F(PaintTest, MasksClipTheDepthsTheyCover) {
  const QImage image = Draw(Described("mask 2 20 20 40 40\n"
                                      "rect 0 0 100 100 #FF0000\n"
                                      "rect 0 50 100 50 #00FF00\n"
                                      "rect 100 0 100 100 #0000FF\n"));
  EXPECT_TRUE(Near(image, 30, 30, Qt::red));
  EXPECT_TRUE(Near(image, 30, 55, Qt::green));
  EXPECT_TRUE(Near(image, 10, 10, Qt::white)) << "masked";
  EXPECT_TRUE(Near(image, 80, 80, Qt::white)) << "masked";
  EXPECT_TRUE(Near(image, 150, 50, Qt::blue)) << "above the mask's depths";
}

TEST_F(PaintTest, SpritesMaskWithAllTheirShapesAndMasksNest) {
  using SwfBuilder::RectangleShape;
  const QByteArray twoSquares =
      SwfBuilder::Sprite(10, SwfBuilder::Place(1, 1) + SwfBuilder::Place(2, 1, 1200, 0));
  const QByteArray innerMasked = SwfBuilder::Sprite(
      11, Writer::placeObject2(1, 2, {}, {}, std::nullopt, 2) + SwfBuilder::Place(2, 3));
  const QImage image = Draw(Movie(
      RectangleShape(1, QRect(0, 0, 400, 400), Qt::black) +
      RectangleShape(2, QRect(0, 0, 800, 2000), Qt::black) +
      RectangleShape(3, QRect(0, 0, 4000, 2000), Qt::blue) +
      RectangleShape(4, QRect(0, 0, 2000, 1000), Qt::green) + twoSquares + innerMasked +
      Writer::placeObject2(1, 10, {}, {}, std::nullopt, 2) + SwfBuilder::Place(2, 4) +
      RectangleShape(5, QRect(0, 0, 3600, 800), Qt::black) +
      Writer::placeObject2(3, 5, {400, 1200}, {}, std::nullopt, 4) + SwfBuilder::Place(4, 11)));
  EXPECT_TRUE(Near(image, 10, 10, Qt::green));
  EXPECT_TRUE(Near(image, 70, 10, Qt::green));
  EXPECT_TRUE(Near(image, 40, 10, Qt::white)) << "between the sprite's squares";
  EXPECT_TRUE(Near(image, 30, 80, Qt::blue)) << "inside both masks";
  EXPECT_TRUE(Near(image, 10, 80, Qt::white)) << "outside the outer mask";
  EXPECT_TRUE(Near(image, 50, 80, Qt::white)) << "outside the inner mask";
}

TEST(RenderCacheTest, RepaintsReuseDrawingsAndMatchDirectDrawing) {
  QString error;
  const auto description =
      ClipDescription::parse("frame 200 100\ngradient 0 0 120 60 radial 0:#FFFFFF,255:#204080\n"
                             "bitmap 130 10 64 64 lossless2-32 8 #FF0000 #00FF0080\n"
                             "line 3 #000000 10,90 190,90 cap=square\n",
                             &error);
  ASSERT_TRUE(description) << error.toStdString();
  PlayerStage stage([](const QString&, const QString&) {});
  stage.LoadLevel(0, ParseSwfMovie(description->toSwf()), "clip");
  // Draws the stage at its size in logical pixels, with ratio device pixels to each.
  const auto draw = [&stage](RenderCache* cache, int ratio = 1) {
    QImage image(Stage * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    StagePainter(painter, stage, cache).Paint(QRect(QPoint(), Stage), Qt::white);
    return image;
  };
  RenderCache cache;
  const QImage first = draw(&cache);
  const quint64 rendered = cache.RenderCount();
  EXPECT_EQ(rendered, 3u);
  const QImage second = draw(&cache);
  EXPECT_EQ(cache.RenderCount(), rendered);
  EXPECT_EQ(first, second);
  const QImage direct = draw(nullptr);
  for (const QPoint point :
       {QPoint(60, 30), QPoint(2, 2), QPoint(134, 14), QPoint(142, 14), QPoint(100, 90)})
    EXPECT_TRUE(Near(first, point.x(), point.y(), direct.pixelColor(point)));

  // On a screen of twice the density the cache keeps drawings at the screen's own pixels, so
  // they match direct drawing there too, down to the pixels along a checker square's edge.
  const QImage dense = draw(&cache, 2);
  const QImage denseDirect = draw(nullptr, 2);
  EXPECT_GT(cache.RenderCount(), rendered);
  for (const QPoint point : {QPoint(120, 60), QPoint(275, 29), QPoint(276, 29), QPoint(200, 180)})
    EXPECT_TRUE(Near(dense, point.x(), point.y(), denseDirect.pixelColor(point)));
}

} // namespace
