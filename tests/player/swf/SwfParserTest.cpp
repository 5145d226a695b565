#include "player/swf/SwfParser.h"

#include "player/SwfBuilder.h"
#include "player/swf/SwfError.h"
#include "player/swf/SwfFileDecoder.h"

#include <gtest/gtest.h>

using namespace SwfBuilder;

namespace {

QByteArray Nested(int depth) {
  QByteArray tags = RectangleShape(1, QRect(0, 0, 100, 100), Qt::red);
  for (int i = 0; i < depth; ++i)
    tags = Sprite(100 + i, tags);
  return File(tags);
}

// A shape from (0,0) right to (1000,0), a curve through control (1000,1000) to (0,1000),
// and back up: a quarter-round outline.
QByteArray CurvedShape() {
  Writer writer;
  writer.U16(1).Bytes(Rect(0, 1000, 0, 1000));
  writer.U8(1).U8(0).U8(0).U8(128).U8(0).U8(0).Bits(1, 4).Bits(0, 4);
  writer.Bits(0, 1).Bits(0x05, 5).Bits(13, 5).SignedBits(0, 13).SignedBits(0, 13).Bits(1, 1);
  writer.Bits(0b11, 2).Bits(11, 4).Bits(0, 1).Bits(0, 1).SignedBits(1000, 13);
  writer.Bits(0b10, 2).Bits(11, 4).SignedBits(0, 13).SignedBits(1000, 13);
  writer.SignedBits(-1000, 13).SignedBits(0, 13);
  writer.Bits(0b11, 2).Bits(11, 4).Bits(0, 1).Bits(1, 1).SignedBits(-1000, 13);
  writer.Bits(0, 6);
  return File(Tag(2, writer.Data()));
}

} // namespace

TEST(SwfParser, ReadsHeaderFrameAndBackgroundOfEverySignature) {
  for (const char signature : {'F', 'C', 'Z'}) {
    SCOPED_TRACE(signature);
    const auto movie = ParseSwfMovie(File(Background(QColor(1, 2, 3)), signature, 4000, 2000, 8));
    EXPECT_EQ(movie->Version, 8);
    EXPECT_EQ(movie->FrameRect, QRectF(0, 0, 4000, 2000));
    EXPECT_EQ(movie->FrameRate, 12);
    EXPECT_EQ(movie->FrameCount, 1);
    EXPECT_EQ(movie->Background, QColor(1, 2, 3));
  }
}

TEST(SwfParser, AcceptsLongTagHeadersAndSkipsUnknownTags) {
  const QByteArray tags =
      Tag(777 & 0x3FF, QByteArray(5, 'x')) + Tag(9, QByteArray::fromHex("0a0b0c"), true);
  EXPECT_EQ(ParseSwfMovie(File(tags))->Background, QColor(10, 11, 12));
}

TEST(SwfParser, MalformedFilesEndInAnErrorNotACrash) {
  const QByteArray valid = File(Background(Qt::red));
  // A body that really inflates past the limit, whatever the header declares.
  QByteArray bomb = File(QByteArray((64 << 20) + 1, '\0'), 'C');
  bomb[4] = bomb[5] = bomb[6] = bomb[7] = char(0xFF);
  QByteArray corruptZlib = File(Background(Qt::red), 'C');
  corruptZlib[8] = 0x00;
  const QByteArray truncatedTag = File(Writer().U16((9 << 6) | 0x3F).U32(1000).Bytes("abc").Data());
  const QByteArray pushType = File(Tag(12, QByteArray::fromHex("96020063") + QByteArray(1, 0)));
  const QByteArray truncatedAction = File(Tag(12, QByteArray::fromHex("96ff00")));

  const std::pair<const char*, QByteArray> cases[] = {
      {"empty", QByteArray()},
      {"short header", valid.left(6)},
      {"truncated frame rect", valid.left(9)},
      {"no SWF signature", QByteArray("GIF89a").append(valid.mid(6))},
      {"decompression bomb", bomb},
      {"corrupt zlib stream", corruptZlib},
      {"truncated tag", truncatedTag},
      {"unknown push type", pushType},
      {"truncated action", truncatedAction},
      {"sprites nested past the cap", Nested(40)},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    EXPECT_THROW(ParseSwfMovie(bytes), SwfError);
  }
  EXPECT_NO_THROW(ParseSwfMovie(Nested(20)));
}

TEST(SwfParser, AFileCutShortInsideADefinitionPlaysWhatCameBefore) {
  const QByteArray cutDefinition = Writer().U16((2 << 6) | 0x3F).U32(1000).Bytes("abc").Data();
  // On the first frame: the frame plays as far as it came, and does not loop.
  const auto cutEarly = ParseSwfMovie(File(Background(Qt::red) + cutDefinition));
  EXPECT_EQ(cutEarly->Background, QColor(Qt::red));
  EXPECT_FALSE(cutEarly->Root.Loops);
  EXPECT_TRUE(cutEarly->Damage.startsWith("cut short in the first frame: tag 2 at byte "))
      << cutEarly->Damage.toStdString();
  // After it: the whole frames before play.
  const auto cutLate =
      ParseSwfMovie(File(Background(Qt::red) + ShowFrame() + ShowFrame() + cutDefinition));
  EXPECT_EQ(cutLate->Root.Frames.size(), 2u);
  EXPECT_TRUE(cutLate->Damage.startsWith("damaged after the first frame: "));
  // Inside a sprite, the sprite's own length is at fault: the file is damaged.
  EXPECT_THROW(ParseSwfMovie(File(Tag(39, Writer().U16(7).U16(1).Data() + cutDefinition))),
               SwfError);
}

TEST(SwfParser, APlaceholderLengthBeyondTheLimitIsNoReasonToRefuse) {
  for (const char signature : {'F', 'C', 'Z'}) {
    SCOPED_TRACE(signature);
    QByteArray file = File(Background(Qt::red) + QByteArray(4800, '\0'), signature);
    const quint32 declared = 100 << 20;
    for (int i = 0; i < 4; ++i)
      file[4 + i] = char(declared >> (8 * i));
    EXPECT_EQ(ParseSwfMovie(file)->Background, QColor(Qt::red));
  }
}

TEST(SwfParser, InflatesNoMoreThanTheDeclaredLength) {
  QByteArray file = File(QByteArray(4 << 20, '\0'), 'C');
  const quint32 declared = 200;
  for (int i = 0; i < 4; ++i)
    file[4 + i] = char(declared >> (8 * i));
  EXPECT_EQ(DecodeSwfFile(file).Body.size(), declared - 8);
}

TEST(SwfParser, ToleratesAForgedLzmaDictionarySize) {
  QByteArray file = File(Background(Qt::blue), 'Z');
  for (int i = 13; i < 17; ++i)
    file[i] = char(0xFF);
  EXPECT_EQ(ParseSwfMovie(file)->Background, QColor(Qt::blue));
}

TEST(SwfParser, ShapesOfEveryVersionBecomeFilledOutlines) {
  for (int version = 1; version <= 4; ++version) {
    SCOPED_TRACE(version);
    const auto movie =
        ParseSwfMovie(File(RectangleShape(7, QRect(200, 400, 1000, 600), Qt::green, version)));
    const SwfShape& shape = movie->Shapes.at(7);
    EXPECT_EQ(shape.Bounds, QRectF(200, 400, 1000, 600));
    ASSERT_EQ(shape.Fills.size(), 1u);
    EXPECT_EQ(shape.Fills[0].Style.Color, QColor(Qt::green));
    EXPECT_TRUE(shape.Fills[0].Path.contains(QPointF(700, 700)));
    EXPECT_FALSE(shape.Fills[0].Path.contains(QPointF(100, 700)));
  }
  const SwfShape curved = ParseSwfMovie(CurvedShape())->Shapes.at(1);
  ASSERT_EQ(curved.Fills.size(), 1u);
  EXPECT_TRUE(curved.Fills[0].Path.contains(QPointF(700, 700)));
  EXPECT_FALSE(curved.Fills[0].Path.contains(QPointF(900, 900)));
}

TEST(SwfParser, KeepsTheDisplayListAndScriptsOfFrameOne) {
  Writer placeObject;
  placeObject.U16(1).U16(3).Bytes(Matrix(20, 40));
  Writer move;
  move.U8(0x25).U16(2).Bytes(Matrix(60, 80)).Text(QStringLiteral("renamed"));
  Writer placeObject3;
  placeObject3.U8(0x22)
      .U8(0x08)
      .U16(5)
      .Text(QStringLiteral("Cls"))
      .U16(1)
      .Text(QStringLiteral("third"));
  const QByteArray tags =
      RectangleShape(1, QRect(0, 0, 100, 100), Qt::red) + Tag(4, placeObject.Data()) +
      Place(2, 1, 0, 0, QStringLiteral("first")) + Tag(26, move.Data()) +
      Tag(70, placeObject3.Data()) + Place(9, 1) + Tag(5, Writer().U16(1).U16(9).Data()) +
      Actions().SetThis(QStringLiteral("a"), QStringLiteral("b")).Tag() + ShowFrame() +
      Place(4, 1, 0, 0, QStringLiteral("later")) + Actions().Tag();
  const auto movie = ParseSwfMovie(File(tags));
  const auto& frame1 = movie->Root.Frame1;
  ASSERT_EQ(frame1.size(), 3u);
  EXPECT_EQ(frame1[0].Depth, 2);
  EXPECT_EQ(frame1[0].Name, QStringLiteral("renamed"));
  EXPECT_EQ(frame1[0].Matrix, QTransform::fromTranslate(60, 80));
  EXPECT_EQ(frame1[1].Depth, 3);
  EXPECT_EQ(frame1[1].Matrix, QTransform::fromTranslate(20, 40));
  EXPECT_EQ(frame1[2].Name, QStringLiteral("third"));
  EXPECT_EQ(movie->Root.Frame1Scripts.size(), 1u);
}
