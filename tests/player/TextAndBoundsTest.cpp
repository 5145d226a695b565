#include "player/ShockwaveFlash.h"
#include "player/SwfBuilder.h"
#include "player/TextSwf.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace SwfBuilder;
using namespace TextSwf;

namespace {

// Ink is anything visibly darker or more coloured than the white background.
bool IsInk(QRgb pixel) {
  return qRed(pixel) < 200 || qGreen(pixel) < 200 || qBlue(pixel) < 200;
}

class TextAndBoundsTest : public testing::Test {
protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    return Save(FDir.filePath(name), bytes);
  }
  // Plays tags as the main movie of a white 400 x 300 pixel stage.
  void Play(const QByteArray& tags) {
    FFlash.resize(400, 300);
    FFlash.SetMovie(
        Write(QStringLiteral("movie%1.swf").arg(++FMovies), File(Background(Qt::white) + tags)));
    FFlash.Play();
    ASSERT_EQ(FFlash.LoadError(0).toStdString(), "");
  }
  QSizeF RootSize() {
    return {FFlash.TGetProperty("_root", 8).toDouble(), FFlash.TGetProperty("_root", 9).toDouble()};
  }
  QImage Render() {
    QImage image(FFlash.size(), QImage::Format_RGB32);
    FFlash.render(&image);
    return image;
  }
  // Inked pixels inside area and outside it.
  std::pair<int, int> Ink(const QRect& area) {
    const QImage image = Render();
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (IsInk(image.pixel(x, y)))
          ++(area.contains(x, y) ? inside : outside);
    return {inside, outside};
  }
  // Ink inside area and none anywhere else.
  testing::AssertionResult InkOnlyIn(const QRect& area) {
    const auto [inside, outside] = Ink(area);
    if (inside > 0 && outside == 0)
      return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << inside << " inked pixels inside, " << outside << " outside";
  }
  bool Blank() { return Ink({}).second == 0; }

  QTemporaryDir FDir;
  TShockwaveFlash FFlash;
  int FMovies = 0;
};

// A shape filled with bitmap 9 over twips, without edges: it is measured by its bounds.
QByteArray BitmapShape(int id, const QRect& twips) {
  Writer writer;
  writer.U16(id).Bytes(Rect(twips.left(), twips.right() + 1, twips.top(), twips.bottom() + 1));
  writer.U8(1).U8(0x41).U16(9).Bytes(Matrix(0, 0, 20)).U8(0);
  writer.Bits(1, 4).Bits(0, 4).Bits(0, 6);
  return Tag(2, writer.Data());
}

const QRect FieldPixels(50, 40, 100, 20);
const QRect FieldTwips(1000, 800, 2000, 400);

} // namespace

TEST_F(TextAndBoundsTest, MeasuresEveryKindOfCharacterPlacedOnTheFirstFrame) {
  const QByteArray blockShape = RectangleShape(1, QRect(0, 0, 1000, 400), Qt::red);
  const QByteArray hugeShape = RectangleShape(2, QRect(0, 0, 7000, 5000), Qt::red);
  const struct {
    const char* what;
    QByteArray tags;
    QSizeF size;
  } cases[] = {
      {"a text field alone",
       EditText(5, {.Twips = FieldTwips, .Text = "x"}) + Place(1, 5),
       {100, 20}},
      {"a text field moved and scaled by its placement",
       EditText(5, {.Twips = QRect(0, 0, 2000, 400)}) + Place(1, 5, 300, 300, {}, 1.5),
       {150, 30}},
      {"static text through its text matrix",
       BlockFont(3, 2, u'A') +
           StaticText(5, 1, QRect(0, -200, 1000, 200), 3, 200, Qt::black, 2, 250, 400, 600, 2) +
           Place(1, 5),
       {100, 20}},
      {"a button by its up state",
       blockShape + hugeShape + Button(5, 2, 1, 2, 100, 100) + Place(1, 5),
       {50, 20}},
      {"a DefineButton by its up state",
       blockShape + hugeShape + Button(5, 1, 1, 2) + Place(1, 5),
       {50, 20}},
      {"a morph shape at its start",
       MorphShape(5, QRect(0, 0, 1000, 1000), QRect(0, 0, 3000, 2000)) + PlaceWithRatio(1, 5, 0),
       {50, 50}},
      {"a morph shape at its end",
       MorphShape(5, QRect(0, 0, 1000, 1000), QRect(0, 0, 3000, 2000)) +
           PlaceWithRatio(1, 5, 65535),
       {150, 100}},
      {"a bitmap through the shape it fills",
       BitmapShape(5, QRect(0, 0, 1280, 640)) + Place(1, 5),
       {64, 32}},
      {"a video stream", VideoStream(5, 160, 120) + Place(1, 5), {160, 120}},
      {"a sprite by its first frame's text field",
       Sprite(6, EditText(5, {.Twips = FieldTwips}) + Place(1, 5)) + Place(1, 6, 0, 0, "clip"),
       {100, 20}},
      {"a text field and a shape together",
       EditText(5, {.Twips = FieldTwips}) + Place(1, 5) + blockShape + Place(2, 1, 4000, 2000),
       {200, 80}},
  };
  for (const auto& [what, tags, size] : cases) {
    SCOPED_TRACE(what);
    Play(tags);
    const QSizeF measured = RootSize();
    EXPECT_NEAR(measured.width(), size.width(), 0.01);
    EXPECT_NEAR(measured.height(), size.height(), 0.01);
  }
  Play(MorphShape(5, QRect(0, 0, 1000, 1000), QRect(0, 0, 3000, 2000)) +
       PlaceWithRatio(1, 5, 32768));
  EXPECT_NEAR(RootSize().width(), 100, 0.01);
  EXPECT_NEAR(RootSize().height(), 75, 0.01);
}

TEST_F(TextAndBoundsTest, DamageAfterACompleteFirstFramePlaysThatFrame) {
  const QByteArray frame1 = RectangleShape(1, QRect(0, 0, 1000, 400), Qt::blue) + Place(1, 1) +
                            Actions().AnnounceLoad().Tag() + ShowFrame();
  const struct {
    const char* what;
    QByteArray tail;
  } damages[] = {
      {"a cut-off tag", Writer().U16((12 << 6) | 0x3F).U32(1000).Bytes("abc").Data()},
      {"a tag body that does not read", Tag(48, Writer().U16(9).U8(0).U8(0).U8(40).Data())},
      {"garbage", QByteArray("\xff\xff\xff\xff\x01", 5)},
      {"a damaged sprite", Tag(39, Writer().U16(7).U16(1).U16((26 << 6) | 10).Data())},
  };
  for (const auto& [what, tail] : damages) {
    SCOPED_TRACE(what);
    const QString path = Write(QStringLiteral("damaged%1.swf").arg(++FMovies), File(frame1 + tail));
    QSignalSpy commands(&FFlash, &TShockwaveFlash::FSCommand);
    FFlash.LoadMovie(101, path);
    QCoreApplication::processEvents();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands[0][0].toString(), "load");
    EXPECT_EQ(FFlash.TGetProperty("_level101", 8), "50");
    EXPECT_TRUE(FFlash.LoadError(101).startsWith(path + ": damaged after the first frame: "))
        << FFlash.LoadError(101).toStdString();
  }

  // A compressed file whose stream turns corrupt after the first frame: here its checksum.
  QByteArray badChecksum = File(frame1 + Background(Qt::red), 'C');
  badChecksum[badChecksum.size() - 1] = char(~badChecksum[badChecksum.size() - 1]);
  FFlash.LoadMovie(103, Write("checksum.swf", badChecksum));
  QCoreApplication::processEvents();
  EXPECT_EQ(FFlash.TGetProperty("_level103", 8), "50");
  EXPECT_TRUE(FFlash.LoadError(103).contains(
      "damaged after the first frame: compressed body corrupt (zlib: "))
      << FFlash.LoadError(103).toStdString();

  // Damage before the first frame is complete still fails the movie.
  const QByteArray early = RectangleShape(1, QRect(0, 0, 1000, 400), Qt::blue) +
                           Writer().U16((12 << 6) | 0x3F).U32(1000).Data();
  FFlash.LoadMovie(102, Write("early.swf", File(early)));
  QCoreApplication::processEvents();
  EXPECT_THROW(FFlash.TGetProperty("_level102", 8), std::runtime_error);
  EXPECT_NE(FFlash.LoadError(102), "");
  EXPECT_EQ(FFlash.LoadError(101).contains("damaged"), true);
}

TEST_F(TextAndBoundsTest, TextFieldsShowTheirTextOrTheirVariableInsideTheirBounds) {
  const QByteArray sans = DeviceFont(2, "_sans");
  Play(sans + EditText(5, {.Twips = FieldTwips, .Font = 2, .Text = "Hello"}) + Place(1, 5));
  EXPECT_TRUE(InkOnlyIn(FieldPixels));

  // A plain name set by the frame script, shown over the initial text.
  Play(sans + EditText(5, {.Twips = FieldTwips, .Font = 2, .Variable = "caption"}) + Place(1, 5) +
       Actions().SetThis("caption", "Set by the script").Tag());
  EXPECT_TRUE(InkOnlyIn(FieldPixels));

  // Dotted and _root paths, set by the host after the movie plays.
  for (const QString& variable :
       {QStringLiteral("item.label"), QStringLiteral("_root.item.label")}) {
    SCOPED_TRACE(variable.toStdString());
    Play(sans + Sprite(6, Actions().SetThis("prop", "").Tag()) + Place(1, 6, 0, 0, "item") +
         EditText(5, {.Twips = FieldTwips, .Font = 2, .Variable = variable}) + Place(2, 5));
    EXPECT_TRUE(Blank());
    FFlash.SetVariable("_root.item.label", "Lights on");
    EXPECT_TRUE(InkOnlyIn(FieldPixels));
    FFlash.SetVariable("_root.item.label", "");
    EXPECT_TRUE(Blank());
  }

  // A field without a font of its own, and text far longer than the field: clipped.
  Play(EditText(5, {.Twips = FieldTwips, .Text = QString(200, u'W')}) + Place(1, 5));
  EXPECT_TRUE(InkOnlyIn(FieldPixels));
}

TEST_F(TextAndBoundsTest, TextFieldsFollowAlignmentWrappingAndHtml) {
  const QByteArray sans = DeviceFont(2, "_sans");
  const QRect leftHalf(50, 40, 50, 20);
  const QRect rightHalf(100, 40, 50, 20);
  Play(sans + EditText(5, {.Twips = FieldTwips, .Font = 2, .Align = 1, .Text = "ab"}) +
       Place(1, 5));
  EXPECT_TRUE(InkOnlyIn(rightHalf));
  Play(sans + EditText(5, {.Twips = FieldTwips, .Font = 2, .Text = "ab"}) + Place(1, 5));
  EXPECT_TRUE(InkOnlyIn(leftHalf));
  // HTML shows its plain text only: two letters, no tags.
  Play(sans +
       EditText(5, {.Twips = FieldTwips, .Font = 2, .Text = "<p><b>ab</b></p>", .Html = true}) +
       Place(1, 5));
  EXPECT_TRUE(InkOnlyIn(leftHalf));

  // Words that do not fit one line go on to the next when the field wraps them.
  const QRect tall(1000, 800, 2000, 2000);
  const QRect secondLine(50, 62, 100, 38);
  const QString words = QStringLiteral("alpha beta gamma delta epsilon");
  Play(sans + EditText(5, {.Twips = tall, .Font = 2, .Text = words}) + Place(1, 5));
  EXPECT_EQ(Ink(secondLine).first, 0);
  Play(sans +
       EditText(5, {.Twips = tall, .Font = 2, .Text = words, .WordWrap = true, .Multiline = true}) +
       Place(1, 5));
  EXPECT_GT(Ink(secondLine).first, 0);
  EXPECT_TRUE(InkOnlyIn(QRect(50, 40, 100, 100)));
  // A line break starts a new line too.
  Play(sans + EditText(5, {.Twips = tall, .Font = 2, .Text = "one\rtwo", .Multiline = true}) +
       Place(1, 5));
  EXPECT_GT(Ink(secondLine).first, 0);
}

TEST_F(TextAndBoundsTest, EmbeddedFontsStaticTextAndButtonsDrawFromTheirCharacters) {
  // Two block glyphs of 12 pixels: each 600/1024 em wide, 800/1024 em high.
  for (const int version : {2, 3}) {
    SCOPED_TRACE(version);
    Play(BlockFont(3, version, u'A') +
         EditText(5, {.Twips = FieldTwips,
                      .Font = 3,
                      .Height = 400,
                      .Color = Qt::blue,
                      .Text = "AA",
                      .Outlines = true}) +
         Place(1, 5));
    // Gutter 2 px, baseline at the ascent (900/1024 of 20 px), first block from x 52.
    EXPECT_TRUE(InkOnlyIn(QRect(52, 42, 30, 18)));
  }

  // Aligned right, and wrapped at the space once two blocks fill the line.
  const QByteArray font = BlockFont(3, 2, u'A');
  Play(font +
       EditText(5, {.Twips = FieldTwips,
                    .Font = 3,
                    .Height = 400,
                    .Align = 1,
                    .Text = "A",
                    .Outlines = true}) +
       Place(1, 5));
  EXPECT_TRUE(InkOnlyIn(QRect(130, 40, 20, 20)));
  const QRect narrow(1000, 800, 1000, 2000);
  const QRect secondLine(50, 62, 50, 38);
  Play(font +
       EditText(5, {.Twips = narrow, .Font = 3, .Height = 400, .Text = "AA AA", .Outlines = true}) +
       Place(1, 5));
  EXPECT_EQ(Ink(secondLine).first, 0);
  Play(font +
       EditText(5, {.Twips = narrow,
                    .Font = 3,
                    .Height = 400,
                    .Text = "AA AA",
                    .WordWrap = true,
                    .Multiline = true,
                    .Outlines = true}) +
       Place(1, 5));
  EXPECT_GT(Ink(secondLine).first, 0);
  EXPECT_TRUE(InkOnlyIn(QRect(50, 40, 50, 60)));

  // Static text: two 20 px blocks 20 px apart on the baseline y 100, the first from x 102.
  for (const int version : {1, 2}) {
    SCOPED_TRACE(version);
    Play(BlockFont(3, version == 1 ? 1 : 3, u'A') +
         StaticText(5, version, QRect(0, -400, 800, 0), 3, 400, Qt::red, 2, 400, 2000, 2000) +
         Place(1, 5));
    EXPECT_TRUE(InkOnlyIn(QRect(100, 83, 36, 19)));
    EXPECT_GT(Ink(QRect(102, 86, 8, 12)).first, 0); // first block
    EXPECT_GT(Ink(QRect(122, 86, 8, 12)).first, 0); // second block
    EXPECT_EQ(Ink(QRect(114, 86, 6, 12)).first, 0); // the gap between them
  }

  // A button shows its up state only.
  Play(RectangleShape(1, QRect(0, 0, 1000, 400), Qt::blue) +
       RectangleShape(2, QRect(0, 0, 7000, 5000), Qt::red) + Button(5, 2, 1, 2, 1000, 800) +
       Place(1, 5));
  EXPECT_TRUE(InkOnlyIn(QRect(50, 40, 50, 20)));
}

TEST_F(TextAndBoundsTest, DemoClipsShowTheItemTextTheDesignerSends) {
  const struct {
    const char* clip;
    const char* key;
  } clips[] = {{"button", "caption"}, {"label", "text"}, {"frame", "title"}};
  for (const auto& [clip, key] : clips) {
    SCOPED_TRACE(clip);
    TShockwaveFlash stage;
    stage.resize(400, 300);
    stage.LoadMovie(101, QStringLiteral(VISTALOOM_BIN_DIR "/repository/%1.swf").arg(clip));
    QCoreApplication::processEvents();
    ASSERT_EQ(stage.LoadError(101), "");
    const auto whitePixels = [&stage] {
      QImage image(stage.size(), QImage::Format_RGB32);
      stage.render(&image);
      int count = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          count += qRed(image.pixel(x, y)) > 200 && qBlue(image.pixel(x, y)) > 200 &&
                   qGreen(image.pixel(x, y)) > 200 && image.pixel(x, y) != qRgb(255, 255, 255);
      return count;
    };
    // Text pixels are antialiased: a caption shows as near-white pixels that are not the
    // stage's pure white.
    const QString variable = QStringLiteral("_root._level101.item.") + key;
    stage.SetVariable(variable, "");
    const int empty = whitePixels();
    stage.SetVariable(variable, "Lights on");
    const int shown = whitePixels();
    EXPECT_GT(shown, empty + 20);
    stage.SetVariable(variable, "Lights on, and a much longer caption");
    EXPECT_GT(whitePixels(), shown);
  }
}
