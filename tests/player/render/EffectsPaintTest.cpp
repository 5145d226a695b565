#include "player/PlayerStage.h"
#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"
#include "player/TextSwf.h"
#include "player/render/PixelNear.h"
#include "player/render/RenderCache.h"
#include "player/render/StagePainter.h"
#include "player/swf/SwfParser.h"

#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace SwfBuilder;

namespace {

constexpr int DropShadow = 0, Blur = 1, Glow = 2, ColorMatrix = 6;
constexpr int Layer = 2, Multiply = 3, Screen = 4, Difference = 7, Add = 8, Subtract = 9,
              Invert = 10, Erase = 12;

Writer& Fixed(Writer& writer, double value) {
  return writer.U32(quint32(qint32(std::lround(value * 65536))));
}

Writer& Rgba(Writer& writer, QColor color) {
  return writer.U8(color.red()).U8(color.green()).U8(color.blue()).U8(color.alpha());
}

// A drop shadow (or, with distance 0 and no angle, a glow) record, one pass.
QByteArray Shadow(int kind, QColor color, double blur, double distance, bool inner = false,
                  bool knockout = false) {
  Writer writer;
  Rgba(writer.U8(kind), color);
  Fixed(Fixed(writer, blur), blur);
  if (kind == DropShadow)
    Fixed(Fixed(writer, 0), distance);
  writer.U16(256).U8((inner ? 0x80 : 0) | (knockout ? 0x40 : 0) | 0x20 | 1);
  return writer.Data();
}

QByteArray List(const QList<QByteArray>& filters) {
  QByteArray list(1, char(filters.size()));
  for (const QByteArray& filter : filters)
    list += filter;
  return list;
}

// A 200 x 100 pixel stage over white, a black 40-pixel square from (40, 20) under filters.
QByteArray Square(QColor color, int id = 1) {
  return RectangleShape(id, QRect(0, 0, 800, 800), color, 3);
}

class EffectsPaintTest : public testing::Test {
protected:
  QImage Draw(const QByteArray& tags) {
    FFlash.resize(200, 100);
    FFlash.SetMovie(Save(FDir.filePath(QStringLiteral("m%1.swf").arg(++FCount)),
                         File(Background(Qt::white) + tags, 'F', 4000, 2000)));
    FFlash.Play();
    QImage image(200, 100, QImage::Format_ARGB32);
    FFlash.render(&image);
    return image;
  }
  QImage Filtered(const QByteArray& filters) {
    return Draw(Square(Qt::black) + PlaceWithEffects(1, 1, 800, 400, filters));
  }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
  int FCount = 0;
};

testing::AssertionResult Near(const QImage& image, int x, int y, QColor expected,
                              int tolerance = 6) {
  return PixelNear(image, x, y, expected, tolerance);
}

TEST_F(EffectsPaintTest, ShadowsGlowsBlurAndColourMatricesFilterThePlacedObject) {
  const QImage shadow = Filtered(List({Shadow(DropShadow, Qt::red, 0, 10)}));
  EXPECT_TRUE(Near(shadow, 45, 40, Qt::black));
  EXPECT_TRUE(Near(shadow, 85, 40, Qt::red)) << "the shadow lies 10 pixels to the right";
  EXPECT_TRUE(Near(shadow, 95, 40, Qt::white));

  const QImage knockout = Filtered(List({Shadow(DropShadow, Qt::red, 0, 10, false, true)}));
  EXPECT_TRUE(Near(knockout, 45, 40, Qt::white)) << "the object itself is knocked out";
  EXPECT_TRUE(Near(knockout, 85, 40, Qt::red));

  const QImage inner = Filtered(List({Shadow(DropShadow, Qt::red, 0, 10, true)}));
  EXPECT_TRUE(Near(inner, 45, 40, Qt::red)) << "an inner shadow shows inside the left edge";
  EXPECT_TRUE(Near(inner, 75, 40, Qt::black));
  EXPECT_TRUE(Near(inner, 85, 40, Qt::white));

  const QImage glow = Filtered(List({Shadow(Glow, Qt::green, 8, 0)}));
  const QColor beside = glow.pixelColor(81, 40);
  EXPECT_GT(beside.green(), beside.red() + 40) << "a green glow just outside the edge";
  EXPECT_TRUE(Near(glow, 120, 40, Qt::white));

  Writer blur;
  Fixed(Fixed(blur.U8(Blur), 10), 10).U8(1 << 3);
  const QImage blurred = Filtered(List({blur.Data()}));
  EXPECT_TRUE(Near(blurred, 40, 40, QColor(128, 128, 128), 30)) << "the edge is soft";
  EXPECT_TRUE(Near(blurred, 60, 40, Qt::black));

  // Red and blue swapped: a red square turns blue.
  Writer matrix;
  matrix.U8(ColorMatrix);
  const float swap[20] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
  for (const float value : swap)
    matrix.U32(std::bit_cast<quint32>(value));
  const QImage swapped =
      Draw(Square(Qt::red) + PlaceWithEffects(1, 1, 800, 400, List({matrix.Data()})));
  EXPECT_TRUE(Near(swapped, 60, 40, Qt::blue));
}

TEST_F(EffectsPaintTest, BlendModesMixWithWhatLiesBeneath) {
  // A red square at 40..80, a blue one at 60..100 over it blended; white around.
  const auto blended = [this](int mode) {
    return Draw(Square(Qt::red) + Square(Qt::blue, 2) + Place(1, 1, 800, 400) +
                PlaceWithEffects(2, 2, 1200, 400, {}, mode));
  };
  const struct {
    int Mode;
    QColor OverRed, OverWhite;
  } cases[] = {
      {Multiply, Qt::black, Qt::blue},       {Screen, Qt::magenta, Qt::white},
      {Difference, Qt::magenta, Qt::yellow}, {Add, Qt::magenta, Qt::white},
      {Subtract, Qt::red, Qt::yellow},       {Invert, Qt::cyan, Qt::black},
      {Layer, Qt::blue, Qt::blue},
  };
  for (const auto& [mode, overRed, overWhite] : cases) {
    SCOPED_TRACE(mode);
    const QImage image = blended(mode);
    EXPECT_TRUE(Near(image, 70, 40, overRed));
    EXPECT_TRUE(Near(image, 90, 40, overWhite));
    EXPECT_TRUE(Near(image, 50, 40, Qt::red));
  }

  // Erase cuts through a layer: the stage shows through the hole.
  const QByteArray layer = Sprite(3, Square(Qt::red) + Square(Qt::blue, 2) + Place(1, 1) +
                                         PlaceWithEffects(2, 2, 400, 0, {}, Erase));
  const QImage erased = Draw(layer + PlaceWithEffects(1, 3, 800, 400, {}, Layer));
  EXPECT_TRUE(Near(erased, 45, 40, Qt::red));
  EXPECT_TRUE(Near(erased, 70, 40, Qt::white));
}

TEST_F(EffectsPaintTest, TextMasksAndScrollRectanglesClip) {
  // A 20-pixel text field masking the 40-pixel square placed at the same point.
  const QByteArray mask =
      Tag(26, Writer().U8(0x46).U16(1).U16(5).Bytes(Matrix(800, 400)).U16(2).Data());
  const QImage masked = Draw(TextSwf::EditText(5, {.Twips = QRect(0, 0, 400, 400)}) +
                             Square(Qt::red) + mask + Place(2, 1, 800, 400));
  EXPECT_TRUE(Near(masked, 45, 25, Qt::red));
  EXPECT_TRUE(Near(masked, 70, 50, Qt::white));

  // A clip of a red and a blue square side by side, scrolled to the top half of the blue.
  PlayerStage stage([](const QString&, const QString&) {});
  stage.LoadLevel(0,
                  ParseSwfMovie(File(Background(Qt::white) +
                                         Sprite(3, Square(Qt::red) + Square(Qt::blue, 2) +
                                                       Place(1, 1) + Place(2, 2, 800, 0)) +
                                         Place(1, 3, 400, 400, "scrolled"),
                                     'F', 4000, 2000)),
                  "clip");
  stage.Levels().at(0)->Root()->DisplayList().at(0).Clip->SetScrollRect(QRectF(40, 0, 40, 20));
  QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  StagePainter(painter, stage).Paint(image.rect(), Qt::white);
  painter.end();
  EXPECT_TRUE(Near(image, 30, 25, Qt::blue));
  EXPECT_TRUE(Near(image, 30, 45, Qt::white));
  EXPECT_TRUE(Near(image, 70, 25, Qt::white));
}

TEST_F(EffectsPaintTest, KeptPicturesOfFilteredClipsFollowEveryChangeInside) {
  // A sprite holding a sprite holding a red square, the outer one with a drop shadow.
  PlayerStage stage([](const QString&, const QString&) {});
  stage.LoadLevel(
      0,
      ParseSwfMovie(
          File(Background(Qt::white) + Sprite(3, Square(Qt::red) + Place(1, 1, 0, 0, "plate")) +
                   Sprite(4, Place(1, 3, 0, 0, "inner")) +
                   PlaceWithEffects(1, 4, 800, 400, List({Shadow(DropShadow, Qt::black, 0, 10)})),
               'F', 4000, 2000)),
      "clip");
  RenderCache cache;
  const auto draw = [&stage](RenderCache* kept) {
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    StagePainter(painter, stage, kept).Paint(image.rect(), Qt::white);
    return image;
  };
  const QImage first = draw(&cache);
  EXPECT_TRUE(Near(first, 60, 40, Qt::red));
  EXPECT_TRUE(Near(first, 85, 40, Qt::black));
  EXPECT_EQ(draw(&cache), first);

  // A change two clips down shows at the next paint, as it does without the cache.
  MovieClip* outer = stage.Levels().at(0)->Root()->DisplayList().at(0).Clip;
  MovieClip* inner = outer->DisplayList().at(0).Clip;
  SwfColorTransform green;
  green.Multiply = {0, 0, 0, 1};
  green.Add = {0, 255, 0, 0};
  inner->SetColorTransform(green);
  const QImage changed = draw(&cache);
  EXPECT_TRUE(Near(changed, 60, 40, Qt::green));
  EXPECT_EQ(changed, draw(nullptr));
  inner->SetProperty(MovieClip::X, 20.0);
  EXPECT_EQ(draw(&cache), draw(nullptr));
  EXPECT_TRUE(Near(draw(&cache), 45, 40, Qt::white)) << "the plate moved right";
}

} // namespace
