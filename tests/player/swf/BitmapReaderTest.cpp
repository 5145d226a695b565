#include "player/SwfBuilder.h"
#include "player/swf/SwfParser.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace SwfBuilder;

namespace {

QByteArray Deflated(const QByteArray& data) {
  return qCompress(data).mid(4); // the zlib stream without Qt's length prefix
}

QByteArray Jpeg(const QColor& color) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(color);
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", 100);
  return buffer.data();
}

// DefineBitsLossless (2 with alpha) of a width x height bitmap, format 3 with a table of
// colors (RGB or RGBA bytes) or format 5, followed by the given pixel bytes.
QByteArray Lossless(bool withAlpha, int format, int width, int height, const QByteArray& table,
                    const QByteArray& pixels) {
  Writer body;
  body.U16(1).U8(format).U16(width).U16(height);
  if (format == 3)
    body.U8(int(table.size() / (withAlpha ? 4 : 3)) - 1);
  body.Bytes(Deflated(table + pixels));
  return Tag(withAlpha ? 36 : 20, body.Data(), true);
}

QImage BitmapOf(const QByteArray& tags) {
  return ParseSwfMovie(File(tags))->Bitmaps.at(1);
}

// Why the movie's first unreadable bitmap draws nothing; the rest of the movie still loads.
std::string FaultOf(const QByteArray& tags) {
  const auto movie = ParseSwfMovie(File(tags + Background(Qt::green)));
  EXPECT_EQ(movie->Background, QColor(Qt::green)) << "the movie goes on after the bitmap";
  EXPECT_FALSE(movie->Bitmaps.contains(1));
  return movie->BitmapFaults.empty() ? "no fault" : movie->BitmapFaults.front().toStdString();
}

TEST(BitmapReaderTest, PixelsAreReadAsPlayersStoreThem) {
  // A stray end-and-start pair before the image, as older writers left it, is accepted.
  const QImage prefixed = BitmapOf(
      Tag(21, Writer().U16(1).Bytes(QByteArray("\xFF\xD9\xFF\xD8", 4) + Jpeg(Qt::red)).Data()));
  ASSERT_EQ(prefixed.size(), QSize(8, 8));
  EXPECT_GT(prefixed.pixelColor(4, 4).red(), 240);
  EXPECT_LT(prefixed.pixelColor(4, 4).green(), 16);

  // Premultiplied colours above their alpha cannot be drawn: they are clamped to it. A
  // palette index past the table is transparent.
  const QImage argb =
      BitmapOf(Lossless(true, 5, 2, 1, {}, QByteArray("\x80\xFF\x40\x10\x00\x00\x00\x00", 8)));
  EXPECT_EQ(argb.pixel(0, 0), qRgba(0x80, 0x40, 0x10, 0x80));
  const QImage mapped = BitmapOf(
      Lossless(false, 3, 3, 1, QByteArray("\x10\x20\x30", 3), QByteArray("\x00\x05\x00\x00", 4)));
  EXPECT_EQ(mapped.pixel(0, 0), qRgb(0x10, 0x20, 0x30));
  EXPECT_EQ(mapped.pixel(1, 0), qRgba(0, 0, 0, 0));

  // The alpha plane of a JPEG: opaque, clear and half-covered pixels.
  QByteArray alpha(64, char(0xFF));
  alpha[1] = 0;
  alpha[2] = char(0x80);
  const QByteArray jpeg = Jpeg(Qt::white);
  const QImage translucent = BitmapOf(
      Tag(35, Writer().U16(1).U32(quint32(jpeg.size())).Bytes(jpeg).Bytes(Deflated(alpha)).Data()));
  EXPECT_EQ(qAlpha(translucent.pixel(0, 0)), 0xFF);
  EXPECT_EQ(translucent.pixel(1, 0), qRgba(0, 0, 0, 0));
  EXPECT_EQ(qAlpha(translucent.pixel(2, 0)), 0x80);
  EXPECT_LE(qRed(translucent.pixel(2, 0)), 0x80);
}

TEST(BitmapReaderTest, BrokenAndOversizedBitmapsDrawNothingAndSayWhy) {
  EXPECT_EQ(FaultOf(Lossless(false, 5, 4, 4, {}, QByteArray(20, '\0'))),
            "bitmap 1: pixel data ends early");
  EXPECT_EQ(FaultOf(Lossless(false, 7, 4, 4, {}, QByteArray(64, '\0'))),
            "bitmap 1: unknown pixel format 7");
  const QByteArray jpeg = Jpeg(Qt::white);
  EXPECT_EQ(FaultOf(Tag(35, Writer()
                                .U16(1)
                                .U32(quint32(jpeg.size()))
                                .Bytes(jpeg)
                                .Bytes(Deflated(QByteArray(10, '\0')))
                                .Data())),
            "bitmap 1: pixel data ends early");
  EXPECT_EQ(FaultOf(Tag(21, Writer().U16(1).Bytes("\xFF\xD8\xFF\xD9").Data())),
            "bitmap 1: the jpeg data cannot be read");
  EXPECT_EQ(FaultOf(Tag(21, Writer().U16(1).Data())), "bitmap 1: the jpeg data cannot be read");
  // A JPEG3 whose alpha offset is 0: no image data, everything after it taken for alpha.
  EXPECT_EQ(FaultOf(Tag(35, Writer().U16(1).U32(0).Bytes(jpeg).Data())),
            "bitmap 1: the jpeg data cannot be read");
  EXPECT_EQ(FaultOf(Lossless(false, 5, 1, 8193, {}, {})),
            "bitmap 1 is 1 x 8193 pixels; more than 8192 on a side is refused");

  // Each bitmap may be large, but together they may not exceed what a movie can hold.
  const QByteArray pixels = Deflated(QByteArray(8192 * 2048 * 4, '\0'));
  QByteArray many;
  for (int id = 1; id <= 5; ++id)
    many += Tag(20, Writer().U16(id).U8(5).U16(8192).U16(2048).Bytes(pixels).Data(), true);
  const auto movie = ParseSwfMovie(File(many));
  EXPECT_EQ(movie->Bitmaps.size(), 4u);
  ASSERT_EQ(movie->BitmapFaults.size(), 1u);
  EXPECT_EQ(movie->BitmapFaults[0], "bitmaps decode to more than 256 MiB in all");
}

} // namespace
