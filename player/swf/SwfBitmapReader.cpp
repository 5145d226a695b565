#include "player/swf/SwfBitmapReader.h"

#include "player/swf/SwfError.h"
#include "player/swf/SwfFileDecoder.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfReader.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

namespace {

constexpr int ColorMapped = 3;
constexpr int Rgb15 = 4;
constexpr int Rgb32 = 5;
constexpr qsizetype BytesPerPixel = 4;

std::string BitmapName(int id) {
  return "bitmap " + std::to_string(id);
}

// Refuses a bitmap over the limits before anything of its size is allocated.
void CheckBitmapSize(int id, qint64 width, qint64 height) {
  if (width > SwfLimits::MaxBitmapSide || height > SwfLimits::MaxBitmapSide)
    throw SwfError(BitmapName(id) + " is " + std::to_string(width) + " x " +
                   std::to_string(height) + " pixels; more than " +
                   std::to_string(SwfLimits::MaxBitmapSide) + " on a side is refused");
  if (quint64(width * height * BytesPerPixel) > SwfLimits::MaxBitmapBytes)
    throw SwfError(BitmapName(id) + " needs " +
                   std::to_string(width * height * BytesPerPixel / (1024 * 1024)) +
                   " MiB decoded; more than " +
                   std::to_string(SwfLimits::MaxBitmapBytes / (1024 * 1024)) + " MiB is refused");
}

// Takes a bitmap's decoded size from what the movie's bitmaps may still take, before the
// bitmap is decoded.
void ChargeBitmap(std::size_t& bytesLeft, qint64 width, qint64 height) {
  const std::size_t bytes = std::size_t(width * height * BytesPerPixel);
  if (bytes > bytesLeft)
    throw SwfError("bitmaps decode to more than " +
                   std::to_string(SwfLimits::MaxMovieBitmapBytes / (1024 * 1024)) + " MiB in all");
  bytesLeft -= bytes;
}

QImage NewImage(int id, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull())
    throw SwfError(BitmapName(id) + ": out of memory");
  return image;
}

// SWF stores colour premultiplied by alpha; a channel above its alpha cannot be drawn, so it
// is clamped rather than trusted.
QRgb Premultiplied(int red, int green, int blue, int alpha) {
  return qRgba(std::min(red, alpha), std::min(green, alpha), std::min(blue, alpha), alpha);
}

QByteArray InflateExactly(int id, QByteArrayView compressed, qsizetype size) {
  QByteArray data = InflateZlib(compressed, size);
  if (data.size() < size)
    throw SwfError(BitmapName(id) + ": pixel data ends early");
  return data;
}

const uchar* Bytes(const QByteArray& data) {
  return reinterpret_cast<const uchar*>(data.constData());
}

void FillColorMapped(QImage& image, const QByteArray& data, int colors, bool withAlpha) {
  const qsizetype entry = withAlpha ? 4 : 3;
  const uchar* bytes = Bytes(data);
  std::vector<QRgb> table(256, qRgba(0, 0, 0, 0));
  for (int i = 0; i < colors; ++i) {
    const uchar* color = bytes + i * entry;
    table[size_t(i)] = Premultiplied(color[0], color[1], color[2], withAlpha ? color[3] : 255);
  }
  const qsizetype rowBytes = (image.width() + 3) & ~qsizetype(3);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = bytes + colors * entry + y * rowBytes;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      line[x] = table[row[x]];
  }
}

void FillRgb15(QImage& image, const QByteArray& data) {
  const qsizetype rowBytes = (image.width() * 2 + 3) & ~qsizetype(3);
  const auto widen = [](int five) { return (five << 3) | (five >> 2); };
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = Bytes(data) + y * rowBytes;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int pixel = (row[x * 2] << 8) | row[x * 2 + 1];
      line[x] = qRgb(widen((pixel >> 10) & 0x1F), widen((pixel >> 5) & 0x1F), widen(pixel & 0x1F));
    }
  }
}

void FillRgb32(QImage& image, const QByteArray& data, bool withAlpha) {
  for (int y = 0; y < image.height(); ++y) {
    const uchar* pixel = Bytes(data) + qsizetype(y) * image.width() * BytesPerPixel;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x, pixel += BytesPerPixel)
      line[x] = Premultiplied(pixel[1], pixel[2], pixel[3], withAlpha ? pixel[0] : 255);
  }
}

bool StartsWith(QByteArrayView data, QByteArrayView signature) {
  return data.size() >= signature.size() && data.first(signature.size()) == signature;
}

// Joins the encoding tables and the image into one JPEG stream: a single start marker, the
// marker segments of both in order, then the scan. Start and end markers between segments
// are dropped, which also removes the stray end-and-start pair older writers put first.
QByteArray JoinedJpeg(QByteArrayView tables, QByteArrayView image) {
  QByteArray joined("\xFF\xD8", 2);
  for (const QByteArrayView part : {tables, image}) {
    qsizetype at = 0;
    while (at + 1 < part.size()) {
      if (quint8(part[at]) != 0xFF)
        break;
      const quint8 marker = quint8(part[at + 1]);
      if (marker == 0xFF) {
        ++at;
        continue;
      }
      if (marker == 0xD8 || marker == 0xD9) {
        at += 2;
        continue;
      }
      if (marker == 0xDA) {
        joined.append(part.sliced(at));
        return joined;
      }
      if (at + 3 >= part.size())
        break;
      const qsizetype segment = 2 + ((quint8(part[at + 2]) << 8) | quint8(part[at + 3]));
      joined.append(part.sliced(at, std::min(segment, part.size() - at)));
      at += segment;
    }
  }
  return joined;
}

QImage DecodeImage(int id, const QByteArray& encoded, const char* format, std::size_t& bytesLeft) {
  QBuffer buffer;
  buffer.setData(encoded);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  const QSize size = reader.size();
  if (!size.isValid())
    throw SwfError(BitmapName(id) + ": the " + format + " data cannot be read");
  CheckBitmapSize(id, size.width(), size.height());
  ChargeBitmap(bytesLeft, size.width(), size.height());
  reader.setAllocationLimit(int(SwfLimits::MaxBitmapBytes / (1024 * 1024)));
  QImage image = reader.read();
  if (image.isNull())
    throw SwfError(BitmapName(id) + ": the " + format +
                   " data cannot be decoded: " + reader.errorString().toStdString());
  // The size a reader reports first is a promise; the decoded image is checked again.
  CheckBitmapSize(id, image.width(), image.height());
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ApplyAlphaPlane(QImage& image, const QByteArray& alpha) {
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = Bytes(alpha) + qsizetype(y) * image.width();
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      line[x] = Premultiplied(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), row[x]);
  }
}

} // namespace

SwfBitmap ReadLosslessBitmap(SwfReader& body, bool withAlpha, std::size_t& bytesLeft) {
  SwfBitmap bitmap;
  bitmap.Id = body.U16();
  const int format = body.U8();
  const int width = body.U16();
  const int height = body.U16();
  CheckBitmapSize(bitmap.Id, width, height);
  ChargeBitmap(bytesLeft, width, height);
  if (format != ColorMapped && format != Rgb15 && format != Rgb32)
    throw SwfError(BitmapName(bitmap.Id) + ": unknown pixel format " + std::to_string(format));
  const int colors = format == ColorMapped ? body.U8() + 1 : 0;
  if (width == 0 || height == 0)
    return bitmap;
  const qsizetype rows = height;
  qsizetype expected = 0;
  if (format == ColorMapped)
    expected = colors * (withAlpha ? 4 : 3) + rows * ((width + 3) & ~3);
  else if (format == Rgb15)
    expected = rows * ((width * 2 + 3) & ~3);
  else
    expected = rows * width * BytesPerPixel;
  const QByteArray data = InflateExactly(bitmap.Id, body.Bytes(body.Remaining()), expected);
  QImage image = NewImage(bitmap.Id, width, height);
  if (format == ColorMapped)
    FillColorMapped(image, data, colors, withAlpha);
  else if (format == Rgb15)
    FillRgb15(image, data);
  else
    FillRgb32(image, data, withAlpha);
  bitmap.Image = image;
  return bitmap;
}

SwfBitmap ReadJpegBitmap(SwfReader& body, int version, QByteArrayView jpegTables,
                         std::size_t& bytesLeft) {
  SwfBitmap bitmap;
  bitmap.Id = body.U16();
  const qsizetype alphaOffset = version >= 3 ? body.U32() : body.Remaining();
  if (version >= 4)
    body.U16(); // deblocking strength, which drawing does not use
  const QByteArrayView data = body.Bytes(alphaOffset);
  const QByteArrayView alpha = body.Bytes(body.Remaining());
  if (StartsWith(data, "\x89PNG\r\n\x1A\n"))
    bitmap.Image = DecodeImage(bitmap.Id, data.toByteArray(), "png", bytesLeft);
  else if (StartsWith(data, "GIF89a") || StartsWith(data, "GIF87a"))
    bitmap.Image = DecodeImage(bitmap.Id, data.toByteArray(), "gif", bytesLeft);
  else {
    bitmap.Image =
        DecodeImage(bitmap.Id, JoinedJpeg(version == 1 ? jpegTables : QByteArrayView(), data),
                    "jpeg", bytesLeft);
    if (!alpha.isEmpty())
      ApplyAlphaPlane(bitmap.Image,
                      InflateExactly(bitmap.Id, alpha,
                                     qsizetype(bitmap.Image.width()) * bitmap.Image.height()));
  }
  return bitmap;
}
