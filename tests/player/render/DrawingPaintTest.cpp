#include "player/ActionAssembler.h"
#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"
#include "player/render/PixelNear.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <variant>

using Asm = ActionAssembler;

namespace {

constexpr int GetVariable = 0x1C, SetMember = 0x4F, CallMethod = 0x52, InitArray = 0x42,
              InitObject = 0x43, Pop = 0x17;

using Argument = std::variant<double, QString, Asm>;

Asm& PushArgument(Asm& script, const Argument& argument) {
  if (const double* number = std::get_if<double>(&argument))
    return script.Push(*number);
  if (const QString* text = std::get_if<QString>(&argument))
    return script.Push(*text);
  return script.Append(std::get<Asm>(argument));
}

// object.method(arguments...), its result dropped.
Asm& Call(Asm& script, const QString& object, const QString& method,
          const std::vector<Argument>& arguments = {}) {
  for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument)
    PushArgument(script, *argument);
  script.Push(double(arguments.size())).Push(object).Op(GetVariable);
  return script.Push(method).Op(CallMethod).Op(Pop);
}

Asm Array(const std::vector<double>& values) {
  Asm array;
  for (auto value = values.rbegin(); value != values.rend(); ++value)
    array.Push(*value);
  return array.Push(double(values.size())).Op(InitArray);
}

Asm Object(const std::vector<std::pair<QString, Argument>>& members) {
  Asm object;
  for (const auto& [name, value] : members)
    PushArgument(object.Push(name), value);
  return object.Push(double(members.size())).Op(InitObject);
}

// A clip "d" made on the root at depth 1, drawn on by the script that follows.
Asm DrawingClip() {
  Asm script;
  return Call(script, QStringLiteral("_root"), QStringLiteral("createEmptyMovieClip"),
              {QStringLiteral("d"), 1.0});
}

testing::AssertionResult Near(const QImage& image, int x, int y, const QColor& expected,
                              int tolerance = 8) {
  return PixelNear(image, x, y, expected, tolerance);
}

class DrawingPaintTest : public testing::Test {
protected:
  // Plays a 200 x 100 pixel movie over white whose first frame runs script, and draws it.
  QImage Draw(const Asm& script) {
    FFlash.resize(200, 100);
    const QByteArray movie =
        SwfBuilder::File(SwfBuilder::Background(Qt::white) + script.Tag(), 'F', 4000, 2000, 8);
    FFlash.SetMovie(
        SwfBuilder::Save(FDir.filePath(QStringLiteral("m%1.swf").arg(++FCount)), movie));
    FFlash.Play();
    QImage image(200, 100, QImage::Format_ARGB32);
    FFlash.render(&image);
    return image;
  }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
  int FCount = 0;
};

TEST_F(DrawingPaintTest, FillsAndLinesFollowThePenAndEndingAFillClosesIt) {
  Asm script = DrawingClip();
  const QString d = QStringLiteral("d");
  Call(script, d, QStringLiteral("lineStyle"), {4.0, double(0x0000FF)});
  Call(script, d, QStringLiteral("beginFill"), {double(0xFF0000), 100.0});
  Call(script, d, QStringLiteral("moveTo"), {20.0, 20.0});
  Call(script, d, QStringLiteral("lineTo"), {80.0, 20.0});
  Call(script, d, QStringLiteral("lineTo"), {80.0, 80.0});
  Call(script, d, QStringLiteral("lineTo"), {20.0, 80.0});
  Call(script, d, QStringLiteral("endFill"));
  // A curve filled half transparent, no line, and a line after the fill ended.
  Call(script, d, QStringLiteral("lineStyle"));
  Call(script, d, QStringLiteral("beginFill"), {double(0x00FF00), 50.0});
  Call(script, d, QStringLiteral("moveTo"), {100.0, 80.0});
  Call(script, d, QStringLiteral("curveTo"), {140.0, 0.0, 180.0, 80.0});
  Call(script, d, QStringLiteral("endFill"));
  Call(script, d, QStringLiteral("lineStyle"), {2.0, 0.0});
  Call(script, d, QStringLiteral("moveTo"), {100.0, 90.0});
  Call(script, d, QStringLiteral("lineTo"), {180.0, 90.0});
  const QImage image = Draw(script);
  EXPECT_TRUE(Near(image, 50, 50, Qt::red));
  EXPECT_TRUE(Near(image, 80, 50, Qt::blue));
  EXPECT_TRUE(Near(image, 20, 50, Qt::blue)) << "endFill draws the closing line";
  EXPECT_TRUE(Near(image, 50, 20, Qt::blue));
  EXPECT_TRUE(Near(image, 10, 50, Qt::white));
  EXPECT_TRUE(Near(image, 140, 60, QColor(0x80, 0xFF, 0x80))) << "inside the curve";
  EXPECT_TRUE(Near(image, 105, 45, Qt::white)) << "outside the curve";
  EXPECT_TRUE(Near(image, 140, 90, Qt::black));
}

TEST_F(DrawingPaintTest, GradientFillsMapTheirBoxAndClearTakesTheDrawingAway) {
  Asm script = DrawingClip();
  const QString d = QStringLiteral("d");
  const Asm box = Object({{QStringLiteral("matrixType"), QStringLiteral("box")},
                          {QStringLiteral("x"), 0.0},
                          {QStringLiteral("y"), 0.0},
                          {QStringLiteral("w"), 200.0},
                          {QStringLiteral("h"), 50.0},
                          {QStringLiteral("r"), 0.0}});
  Call(script, d, QStringLiteral("beginGradientFill"),
       {QStringLiteral("linear"), Array({0.0, double(0xFFFFFF)}), Array({100.0, 100.0}),
        Array({0.0, 255.0}), box});
  for (const auto& [x, y] : {std::pair(200.0, 0.0), {200.0, 50.0}, {0.0, 50.0}})
    Call(script, d, QStringLiteral("lineTo"), {x, y});
  Call(script, d, QStringLiteral("endFill"));
  // A second clip drawn and cleared shows nothing.
  Call(script, QStringLiteral("_root"), QStringLiteral("createEmptyMovieClip"),
       {QStringLiteral("e"), 2.0});
  const QString e = QStringLiteral("e");
  Call(script, e, QStringLiteral("beginFill"), {0.0});
  Call(script, e, QStringLiteral("moveTo"), {0.0, 60.0});
  for (const auto& [x, y] : {std::pair(200.0, 60.0), {200.0, 100.0}, {0.0, 100.0}})
    Call(script, e, QStringLiteral("lineTo"), {x, y});
  Call(script, e, QStringLiteral("clear"));
  const QImage image = Draw(script);
  EXPECT_TRUE(Near(image, 5, 25, Qt::black, 16));
  EXPECT_TRUE(Near(image, 100, 25, QColor(0x80, 0x80, 0x80), 16));
  EXPECT_TRUE(Near(image, 195, 25, Qt::white, 16));
  EXPECT_TRUE(Near(image, 100, 80, Qt::white));
}

// A line kept from scaling along one axis takes the other axis's scale: the clip is drawn
// five times as wide, so its vertical lines are five times as thick unless they keep their
// width across.
TEST_F(DrawingPaintTest, LinesThatScaleAlongOneAxisTakeThatAxisScale) {
  Asm script = DrawingClip();
  const QString d = QStringLiteral("d");
  Call(script, d, QStringLiteral("lineStyle"),
       {2.0, 0.0, 100.0, 0.0, QStringLiteral("vertical"), QStringLiteral("none")});
  Call(script, d, QStringLiteral("moveTo"), {10.0, 10.0});
  Call(script, d, QStringLiteral("lineTo"), {10.0, 40.0});
  Call(script, d, QStringLiteral("lineStyle"),
       {2.0, 0.0, 100.0, 0.0, QStringLiteral("horizontal"), QStringLiteral("none")});
  Call(script, d, QStringLiteral("moveTo"), {30.0, 10.0});
  Call(script, d, QStringLiteral("lineTo"), {30.0, 40.0});
  script.Push(d).Op(GetVariable).Push(QStringLiteral("_xscale")).Push(500.0).Op(SetMember);
  const QImage image = Draw(script);
  EXPECT_TRUE(Near(image, 50, 25, Qt::black));
  EXPECT_TRUE(Near(image, 54, 25, Qt::black)) << "ten pixels wide";
  EXPECT_TRUE(Near(image, 150, 25, Qt::black));
  EXPECT_TRUE(Near(image, 154, 25, Qt::white)) << "two pixels wide";
}

// A scroll rectangle shows its part of the clip at the clip's origin, clipped to its size.
TEST_F(DrawingPaintTest, ScrollRectanglesShowTheirPartOfTheClipAtItsOrigin) {
  Asm script = DrawingClip();
  const QString d = QStringLiteral("d");
  Call(script, d, QStringLiteral("beginFill"), {double(0xFF0000)});
  Call(script, d, QStringLiteral("moveTo"), {40.0, 40.0});
  for (const auto& [x, y] : {std::pair(100.0, 40.0), {100.0, 100.0}, {40.0, 100.0}})
    Call(script, d, QStringLiteral("lineTo"), {x, y});
  script.Push(d).Op(GetVariable).Push(QStringLiteral("scrollRect"));
  script
      .Append(Object({{QStringLiteral("x"), 30.0},
                      {QStringLiteral("y"), 30.0},
                      {QStringLiteral("width"), 20.0},
                      {QStringLiteral("height"), 20.0}}))
      .Op(SetMember);
  const QImage image = Draw(script);
  EXPECT_TRUE(Near(image, 5, 5, Qt::white)) << "left of the drawing in the rectangle";
  EXPECT_TRUE(Near(image, 15, 15, Qt::red));
  EXPECT_TRUE(Near(image, 25, 15, Qt::white)) << "past the rectangle's width";
  EXPECT_TRUE(Near(image, 60, 60, Qt::white)) << "the drawing's own place";
}

} // namespace
