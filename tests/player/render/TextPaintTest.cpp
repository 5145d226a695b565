#include "player/ActionAssembler.h"
#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"
#include "player/TextSwf.h"
#include "tools/swfgen/SwfWriter.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace TextSwf;
using Asm = ActionAssembler;

namespace {

constexpr int SetMember = 0x4F, GetVariable = 0x1C;

testing::AssertionResult Shows(const QImage& image, int x, int y, const QColor& expected) {
  const QColor actual = image.pixelColor(x, y);
  const int distance = std::max({std::abs(actual.red() - expected.red()),
                                 std::abs(actual.green() - expected.green()),
                                 std::abs(actual.blue() - expected.blue())});
  if (distance <= 8)
    return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "pixel " << x << "," << y << " is " << actual.name().toStdString() << ", not "
         << expected.name().toStdString();
}

// field.member = value on the first frame.
Asm Assign(const QString& field, const QString& member, const Asm& value) {
  return Asm().Push(field).Op(GetVariable).Push(member).Append(value).Op(SetMember);
}

class TextPaintTest : public testing::Test {
protected:
  // A 200 x 100 pixel movie on white with the tags given, drawn at scale 1.
  QImage Draw(const QByteArray& tags) {
    FFlash.resize(200, 100);
    const QByteArray movie =
        SwfBuilder::File(SwfBuilder::Background(Qt::white) + tags, 'F', 4000, 2000);
    FFlash.SetMovie(
        SwfBuilder::Save(FDir.filePath(QStringLiteral("text%1.swf").arg(++FCount)), movie));
    FFlash.Play();
    QImage image(200, 100, QImage::Format_ARGB32);
    FFlash.render(&image);
    return image;
  }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
  int FCount = 0;
};

} // namespace

// The Block font's glyph is a block from 100/1024 em right of the pen, 600/1024 em wide and
// 800/1024 em high above the baseline; the pen advances 800/1024 em and a line's ascent is
// 900/1024 em. Fields start 2 px inside their bounds.

TEST_F(TextPaintTest, HtmlRunsInEmbeddedFontsKeepTheirColourSizeAndFace) {
  // A red A at 20 px, a blue A at 40 px, then B, which only the bold face of the font has.
  const QImage image =
      Draw(BlockFont(1, 3, u'A') + BlockFont(2, 3, u'B', true) +
           EditText(3, {.Twips = QRect(0, 0, 4000, 2000),
                        .Font = 1,
                        .Height = 400,
                        .Text = "<font color=\"#FF0000\">A</font><font size=\"40\" "
                                "color=\"#0000FF\">A</font><b>B</b>",
                        .Html = true,
                        .Outlines = true}) +
           SwfBuilder::Place(1, 3));
  // All three stand on the baseline of the tallest, 2 + 35.2 px down.
  EXPECT_TRUE(Shows(image, 9, 30, Qt::red));
  EXPECT_TRUE(Shows(image, 9, 12, Qt::white)) << "the small glyph stays small";
  EXPECT_TRUE(Shows(image, 33, 12, Qt::blue));
  EXPECT_TRUE(Shows(image, 33, 30, Qt::blue));
  EXPECT_TRUE(Shows(image, 58, 30, Qt::black)) << "drawn in the bold face";
  EXPECT_TRUE(Shows(image, 58, 12, Qt::white));
}

TEST_F(TextPaintTest, ScrolledFieldsDrawTheLinesFromTheirFirstShownLine) {
  // Lines "A", "", "AA" in 10 px type; scrolled to the third line, its second glyph shows
  // where nothing was drawn before.
  const QByteArray tags = BlockFont(1, 3, u'A') + EditText(2, {.Twips = QRect(0, 0, 4000, 500),
                                                               .Font = 1,
                                                               .Height = 200,
                                                               .Text = "A\r\rAA",
                                                               .Multiline = true,
                                                               .Outlines = true});
  const QImage still = Draw(tags + SwfBuilder::Place(1, 2, 0, 0, "field"));
  EXPECT_TRUE(Shows(still, 4, 7, Qt::black));
  EXPECT_TRUE(Shows(still, 12, 7, Qt::white));
  const QImage scrolled = Draw(tags + SwfBuilder::Place(1, 2, 0, 0, "field") +
                               Assign("field", "scroll", Asm().Push(3.0)).Tag());
  EXPECT_TRUE(Shows(scrolled, 4, 7, Qt::black));
  EXPECT_TRUE(Shows(scrolled, 12, 7, Qt::black));
}

TEST_F(TextPaintTest, FieldsMaskWithTheGlyphsOfTheirEmbeddedFont) {
  namespace Writer = swfgen::SwfWriter;
  const QByteArray blue = SwfBuilder::RectangleShape(4, QRect(0, 0, 4000, 2000), Qt::blue);
  const QByteArray field = EditText(
      3,
      {.Twips = QRect(0, 0, 4000, 2000), .Font = 1, .Height = 400, .Text = "AA", .Outlines = true});
  const QImage image =
      Draw(BlockFont(1, 3, u'A') + field + blue +
           Writer::placeObject2(1, 3, {}, {}, std::nullopt, 2) + SwfBuilder::Place(2, 4));
  EXPECT_TRUE(Shows(image, 9, 12, Qt::blue)) << "inside the first glyph";
  EXPECT_TRUE(Shows(image, 28, 12, Qt::blue)) << "inside the second glyph";
  EXPECT_TRUE(Shows(image, 18, 12, Qt::white)) << "between the glyphs";
  EXPECT_TRUE(Shows(image, 9, 60, Qt::white)) << "inside the bounds, below the text";
}
