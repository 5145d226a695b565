#include "tools/swfgen/SwfWriter.h"

#include "tools/swfgen/ActionWriter.h"
#include "tools/swfgen/BitWriter.h"
#include "tools/swfgen/ClipDescription.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <lzma.h>
#include <zlib.h>

using namespace swfgen;

namespace {

quint16 ui16(const QByteArray& bytes, qsizetype at) {
  return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 ui32(const QByteArray& bytes, qsizetype at) {
  return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// Reads bit fields back, most significant bit first.
class BitReader {
public:
  explicit BitReader(const QByteArray& bytes, qsizetype at = 0) : m_bytes(bytes), m_bit(at * 8) {}
  quint32 u(int count) {
    quint32 value = 0;
    for (int i = 0; i < count; ++i, ++m_bit)
      value = (value << 1) | ((quint8(m_bytes.at(m_bit / 8)) >> (7 - m_bit % 8)) & 1u);
    return value;
  }
  qint32 s(int count) {
    const quint32 value = u(count);
    return count > 0 && (value >> (count - 1)) ? qint32(value | ~((1u << count) - 1u))
                                               : qint32(value);
  }
  qsizetype bytePosition() const { return (m_bit + 7) / 8; }

private:
  QByteArray m_bytes;
  qsizetype m_bit;
};

struct Tag {
  quint16 code;
  QByteArray body;
};

QList<Tag> readTags(const QByteArray& bytes) {
  QList<Tag> tags;
  qsizetype at = 0;
  while (at < bytes.size()) {
    const quint16 header = ui16(bytes, at);
    at += 2;
    quint32 length = header & 0x3F;
    if (length == 0x3F) {
      length = ui32(bytes, at);
      at += 4;
    }
    tags.append({quint16(header >> 6), bytes.mid(at, length)});
    at += length;
  }
  EXPECT_EQ(at, bytes.size()) << "the last tag runs past the end";
  return tags;
}

QList<quint16> codes(const QList<Tag>& tags) {
  QList<quint16> result;
  for (const Tag& tag : tags)
    result.append(tag.code);
  return result;
}

// The body behind the header, decompressed as the signature says.
QByteArray bodyOf(const QByteArray& file) {
  const QByteArray stored = file.mid(8);
  const quint32 length = ui32(file, 4) - 8;
  if (file.startsWith("FWS"))
    return stored;
  QByteArray body(length, Qt::Uninitialized);
  if (file.startsWith("CWS")) {
    uLongf size = length;
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(body.data()), &size,
                         reinterpret_cast<const Bytef*>(stored.constData()), uLong(stored.size())),
              Z_OK);
    body.truncate(qsizetype(size));
    return body;
  }
  // ZWS: properties at 12, stream at 17; decoded as an lzma_alone stream of unknown size.
  const QByteArray alone = file.mid(12, 5) + QByteArray(8, char(0xFF)) + file.mid(17);
  lzma_stream stream = LZMA_STREAM_INIT;
  EXPECT_EQ(lzma_alone_decoder(&stream, 1 << 26), LZMA_OK);
  stream.next_in = reinterpret_cast<const uint8_t*>(alone.constData());
  stream.avail_in = size_t(alone.size());
  stream.next_out = reinterpret_cast<uint8_t*>(body.data());
  stream.avail_out = size_t(body.size());
  EXPECT_EQ(lzma_code(&stream, LZMA_FINISH), LZMA_STREAM_END);
  body.truncate(body.size() - qsizetype(stream.avail_out));
  lzma_end(&stream);
  return body;
}

ClipDescription parsed(const QString& text) {
  QString error;
  const auto description = ClipDescription::parse(text, &error);
  EXPECT_TRUE(description) << error.toStdString();
  return description.value_or(ClipDescription{});
}

const QString FullClip = QStringLiteral("frame 120 40\nrate 12.5\nbackground #102030\n"
                                        "rect 10 5 100 30 #2E8B57\nitem caption=Power&color=green\n"
                                        "load\n");

} // namespace

TEST(SwfWriterTest, EverySignatureStoresTheSameBodyWithCorrectLengths) {
  ClipDescription description = parsed(FullClip);
  const QByteArray plain = description.toSwf();
  ASSERT_TRUE(plain.startsWith("FWS"));
  EXPECT_EQ(plain.at(3), 13);
  EXPECT_EQ(ui32(plain, 4), quint32(plain.size()));
  const QByteArray body = plain.mid(8);

  description.signature = SwfSignature::Cws;
  const QByteArray zlibFile = description.toSwf();
  ASSERT_TRUE(zlibFile.startsWith("CWS"));
  EXPECT_EQ(ui32(zlibFile, 4), quint32(plain.size()));
  EXPECT_EQ(bodyOf(zlibFile), body);

  description.signature = SwfSignature::Zws;
  const QByteArray lzmaFile = description.toSwf();
  ASSERT_TRUE(lzmaFile.startsWith("ZWS"));
  EXPECT_EQ(ui32(lzmaFile, 4), quint32(plain.size()));
  EXPECT_EQ(ui32(lzmaFile, 8), quint32(lzmaFile.size() - 17));
  EXPECT_EQ(bodyOf(lzmaFile), body);
}

TEST(SwfWriterTest, FrameRectRateAndTagSequence) {
  const QByteArray body = parsed(FullClip).toSwf().mid(8);
  BitReader frame(body);
  const int bits = int(frame.u(5));
  EXPECT_EQ(frame.s(bits), 0);
  EXPECT_EQ(frame.s(bits), 120 * 20);
  EXPECT_EQ(frame.s(bits), 0);
  EXPECT_EQ(frame.s(bits), 40 * 20);
  const qsizetype at = frame.bytePosition();
  EXPECT_EQ(ui16(body, at), 12 * 256 + 128); // 8.8 fixed point
  EXPECT_EQ(ui16(body, at + 2), 1);

  const QList<Tag> tags = readTags(body.mid(at + 4));
  EXPECT_EQ(codes(tags), (QList<quint16>{9, 2, 26, 39, 26, 12, 1, 0}));
  EXPECT_EQ(tags[0].body, QByteArray("\x10\x20\x30", 3));

  // The sprite: id 2, one frame, its own script, frame end, end.
  const QByteArray sprite = tags[3].body;
  EXPECT_EQ(ui16(sprite, 0), 2);
  EXPECT_EQ(ui16(sprite, 2), 1);
  EXPECT_EQ(codes(readTags(sprite.mid(4))), (QList<quint16>{12, 1, 0}));

  // Its instance is named "item" and placed on the next depth.
  const QByteArray place = tags[4].body;
  EXPECT_EQ(quint8(place.at(0)), 0x26);
  EXPECT_EQ(ui16(place, 1), 2);
  EXPECT_EQ(ui16(place, 3), 2);
  EXPECT_EQ(place.mid(6), QByteArray("item", 5));
}

TEST(SwfWriterTest, RectangleShapeIsAClosedSolidOutlinePlacedByItsMatrix) {
  const QList<Tag> tags = readTags(parsed(FullClip).toSwf().mid(8).mid(13));
  const QByteArray shape = tags[1].body;
  EXPECT_EQ(ui16(shape, 0), 1);
  BitReader bounds(shape, 2);
  const int boundBits = int(bounds.u(5));
  const QList<qint32> edges{bounds.s(boundBits), bounds.s(boundBits), bounds.s(boundBits),
                            bounds.s(boundBits)};
  EXPECT_EQ(edges, (QList<qint32>{0, 2000, 0, 600}));
  qsizetype at = bounds.bytePosition();
  EXPECT_EQ(shape.mid(at, 6), QByteArray("\x01\x00\x2E\x8B\x57\x00", 6));

  BitReader records(shape, at + 6);
  EXPECT_EQ(records.u(4), 1u);
  EXPECT_EQ(records.u(4), 0u);
  EXPECT_EQ(records.u(6), 0b000101u); // style change: fill style 1, move to
  const int moveBits = int(records.u(5));
  const int moveX = records.s(moveBits);
  const int moveY = records.s(moveBits);
  QPoint pen(moveX, moveY);
  EXPECT_EQ(records.u(1), 1u);
  QList<QPoint> corners;
  while (records.u(1) == 1) {
    ASSERT_EQ(records.u(1), 1u) << "only straight edges";
    const int bits = int(records.u(4)) + 2;
    if (records.u(1) == 1) {
      const int dx = records.s(bits);
      const int dy = records.s(bits);
      pen += QPoint(dx, dy);
    } else if (records.u(1) == 1) {
      pen.ry() += records.s(bits);
    } else {
      pen.rx() += records.s(bits);
    }
    corners.append(pen);
  }
  EXPECT_EQ(records.u(5), 0u) << "end of shape";
  EXPECT_EQ(records.bytePosition(), shape.size());
  EXPECT_EQ(corners, (QList<QPoint>{{2000, 0}, {2000, 600}, {0, 600}, {0, 0}}));

  BitReader matrix(tags[2].body, 5);
  EXPECT_EQ(matrix.u(2), 0u) << "no scale, no rotation";
  const int translateBits = int(matrix.u(5));
  EXPECT_EQ(matrix.s(translateBits), 200);
  EXPECT_EQ(matrix.s(translateBits), 100);
}

TEST(SwfWriterTest, ScriptsSetTheItemTextAndAnnounceTheTarget) {
  EXPECT_EQ(ActionWriter().setVariable("prop", "a=1").bytes(), QByteArray("\x96\x06\x00\x00prop\x00"
                                                                          "\x96\x05\x00\x00"
                                                                          "a=1\x00"
                                                                          "\x1D\x00",
                                                                          19));
  EXPECT_EQ(ActionWriter().fsCommandWithTarget("load").bytes(),
            QByteArray("\x96\x10\x00\x00"
                       "FSCommand:load\x00"
                       "\x96\x06\x00\x00this\x00\x1C"
                       "\x96\x09\x00\x00_target\x00\x4E"
                       "\x9A\x01\x00\x00\x00",
                       47));
}

TEST(SwfWriterTest, PushValuesUseTheirWireForms) {
  EXPECT_EQ(ActionWriter().pushDouble(1.0).bytes(),
            QByteArray("\x96\x09\x00\x06\x00\x00\xF0\x3F\x00\x00\x00\x00\x00", 13));
  EXPECT_EQ(ActionWriter().pushInteger(-2).bytes(),
            QByteArray("\x96\x05\x00\x07\xFE\xFF\xFF\xFF\x00", 9));
  EXPECT_EQ(ActionWriter().pushConstant(3).pushConstant(300).bytes(),
            QByteArray("\x96\x02\x00\x08\x03\x96\x03\x00\x09\x2C\x01\x00", 12));
  EXPECT_EQ(ActionWriter().constantPool({"a", "bc"}).bytes(), QByteArray("\x88\x07\x00\x02\x00"
                                                                         "a\x00"
                                                                         "bc\x00\x00",
                                                                         11));
  EXPECT_THROW(ActionWriter().action(ActionCode::Push), std::invalid_argument);
  EXPECT_THROW(ActionWriter().record(0x17, "x"), std::invalid_argument);
}

TEST(SwfWriterTest, TagHeadersAndBitFieldsAtTheirLimits) {
  EXPECT_EQ(SwfWriter::tag(TagCode::DoAction, QByteArray(62, 'x')).left(2),
            QByteArray("\x3E\x03", 2));
  EXPECT_EQ(SwfWriter::tag(TagCode::DoAction, QByteArray(63, 'x')).left(6),
            QByteArray("\x3F\x03\x3F\x00\x00\x00", 6));
  EXPECT_EQ(SwfWriter::longTag(TagCode::End, {}), QByteArray("\x3F\x00\x00\x00\x00\x00", 6));

  EXPECT_EQ(BitWriter::signedBitCount({0}), 1);
  EXPECT_EQ(BitWriter::signedBitCount({-1}), 1);
  EXPECT_EQ(BitWriter::signedBitCount({1, -2}), 2);
  EXPECT_EQ(BitWriter::signedBitCount({4095}), 13);
  EXPECT_EQ(BitWriter::signedBitCount({-4097}), 14);
  BitWriter writer;
  writer.writeSigned(-3, 3);
  writer.writeUnsigned(1, 1);
  EXPECT_EQ(writer.takeBytes(), QByteArray("\xB0", 1));
  EXPECT_THROW(writer.writeSigned(4, 3), std::out_of_range);
  EXPECT_THROW(writer.writeUnsigned(8, 3), std::out_of_range);
}

TEST(SwfWriterTest, DescriptionsReportTheFaultyLine) {
  const ClipDescription description =
      parsed("// comment\n\nsignature ZWS\nitem  title=Zone 1&color=grey \n");
  EXPECT_EQ(description.signature, SwfSignature::Zws);
  EXPECT_EQ(description.itemProperties, QStringLiteral("title=Zone 1&color=grey"));
  EXPECT_FALSE(description.announcesLoad);
  EXPECT_FALSE(description.background);

  const std::pair<const char*, const char*> faults[] = {
      {"frame 10 10\nshape 1", "line 2: unknown command \"shape\""},
      {"rect 0 0 10 10 #12345", "line 1: \"#12345\" is no #RRGGBB colour"},
      {"rect 0 0 0 10 #123456", "line 1: \"0\" is no whole number from 1 to 52428"},
      {"frame 800", "line 1: \"frame\" takes 2 argument(s)"},
      {"signature GZS", "line 1: signature must be FWS, CWS or ZWS, not \"GZS\""},
      {"rate 300", "line 1: rate must be above 0 and below 256"},
  };
  for (const auto& [text, message] : faults) {
    QString error;
    EXPECT_FALSE(ClipDescription::parse(QString::fromLatin1(text), &error)) << text;
    EXPECT_EQ(error, QString::fromLatin1(message));
  }
}

TEST(SwfWriterTest, DrawingDirectivesWriteTheirStylesPlacementsAndBitmapTags) {
  const QByteArray body =
      bodyOf(parsed("frame 100 100\n"
                    "mask 1 0 0 50 50 mult=1,1,1,0.5 add=0,-20,0,0\n"
                    "gradient 0 0 40 20 focal 0:#FF000080,255:#0000FF spread=reflect "
                    "interpolation=linear focus=-0.5\n"
                    "bitmap 0 0 8 8 jpeg 4 #000000 #FFFFFF fill=clip smooth=no\n"
                    "bitmap 0 0 8 8 jpeg3 4 #000000 #FFFFFF\n"
                    "line 2.5 #11223344 0,0 10,0 10,10 cap=square endcap=none join=miter miter=4 "
                    "noclose=yes "
                    "hinting=yes scale=none\n")
                 .toSwf());
  BitReader frame(body);
  const int frameBits = int(frame.u(5));
  for (int edge = 0; edge < 4; ++edge)
    frame.u(frameBits);
  const QList<Tag> tags = readTags(body.mid(frame.bytePosition() + 4));
  // Mask (shape, place), gradient (DefineShape4, place), JPEGTables and DefineBits (shape,
  // place), DefineBitsJPEG3 (shape, place), line (DefineShape4, place), frame end, end.
  EXPECT_EQ(codes(tags), (QList<quint16>{2, 26, 83, 26, 8, 6, 32, 26, 35, 32, 26, 83, 26, 1, 0}));

  // The mask's placement carries a colour transform and the depth it masks up to.
  const QByteArray mask = tags[1].body;
  EXPECT_EQ(quint8(mask.at(0)), 0x4E);
  BitReader colors(mask, 6);
  EXPECT_EQ(colors.u(2), 3u) << "adds and multiplies";
  const int colorBits = int(colors.u(4));
  QList<qint32> terms;
  for (int i = 0; i < 8; ++i)
    terms.append(colors.s(colorBits));
  EXPECT_EQ(terms, (QList<qint32>{256, 256, 256, 128, 0, -20, 0, 0}));
  EXPECT_EQ(ui16(mask, mask.size() - 2), 2) << "clip depth";

  // The focal gradient: reflect spread, linear-light interpolation, two RGBA stops, focus.
  const QByteArray gradient = tags[2].body;
  const qsizetype styles = gradient.indexOf(char(0x13));
  ASSERT_GT(styles, 0);
  BitReader matrix(gradient, styles + 1);
  ASSERT_EQ(matrix.u(1), 1u);
  const int scaleBits = int(matrix.u(5));
  EXPECT_EQ(matrix.s(scaleBits), 65536 * 800 / 32768);
  const qsizetype gradientAt =
      styles + 1 +
      QByteArray(SwfWriter::matrix(QTransform(800 / 32768.0, 0, 0, 400 / 32768.0, 400, 200)))
          .size();
  EXPECT_EQ(quint8(gradient.at(gradientAt)), 0x52);
  EXPECT_EQ(gradient.mid(gradientAt + 1, 10),
            QByteArray("\x00\xFF\x00\x00\x80\xFF\x00\x00\xFF\xFF", 10));
  EXPECT_EQ(qint16(ui16(gradient, gradientAt + 11)), -128);

  // The bitmap shapes name their bitmaps: clipped and sharp is fill type 0x43.
  EXPECT_EQ(ui16(tags[5].body, 0), 3);
  EXPECT_NE(tags[6].body.indexOf(QByteArray("\x01\x43\x03\x00", 4)), -1);
  EXPECT_TRUE(tags[4].body.startsWith("\xFF\xD8\xFF\xDB")) << "quantisation tables";
  EXPECT_EQ(ui32(tags[8].body, 2) + 6 < quint32(tags[8].body.size()), true) << "alpha follows";

  // The line style: 50 twips; square start cap, miter join, no scaling, hinting, no close,
  // no end cap.
  const QByteArray line = tags[11].body;
  const qsizetype lineAt = line.indexOf(QByteArray("\x00\x01\x32\x00", 4));
  ASSERT_GT(lineAt, 0);
  BitReader flags(line, lineAt + 4);
  EXPECT_EQ(flags.u(2), 2u);
  EXPECT_EQ(flags.u(2), 2u);
  EXPECT_EQ(flags.u(4), 0b0111u) << "no fill, no horizontal or vertical scaling, hinting";
  EXPECT_EQ(flags.u(5), 0u);
  EXPECT_EQ(flags.u(1), 1u);
  EXPECT_EQ(flags.u(2), 1u) << "no end cap";
  EXPECT_EQ(ui16(line, lineAt + 6), 4 * 256);
  EXPECT_EQ(line.mid(lineAt + 8, 4), QByteArray("\x11\x22\x33\x44", 4));

  const std::pair<const char*, const char*> faults[] = {
      {"gradient 0 0 10 10 conic 0:#000000", "line 1: \"conic\" is none of linear|radial|focal"},
      {"gradient 0 0 10 10 linear 0-#000000", "line 1: \"0-#000000\" is no RATIO:COLOUR stop"},
      {"bitmap 0 0 8 8 tiff 4 #000000 #FFFFFF",
       "line 1: \"tiff\" is none of "
       "lossless8|lossless15|lossless24|lossless2-8|lossless2-32|jpeg|jpeg2|jpeg3|jpeg4|png|gif"},
      {"line 1 #000000 0,0 5,5 dash=yes", "line 1: unknown option \"dash\""},
      {"rect 0 0 5 5 #000000 mult=1,1,1", "line 1: \"1,1,1\" needs 4 numbers"},
      {"line 1 #0000 0,0 5,5", "line 1: \"#0000\" is no #RRGGBB or #RRGGBBAA colour"},
  };
  for (const auto& [text, message] : faults) {
    QString error;
    EXPECT_FALSE(ClipDescription::parse(QString::fromLatin1(text), &error)) << text;
    EXPECT_EQ(error, QString::fromLatin1(message));
  }
}
