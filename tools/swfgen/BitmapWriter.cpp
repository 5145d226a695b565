#include "tools/swfgen/SwfBytes.h"
#include "tools/swfgen/SwfWriter.h"

#include <QBuffer>
#include <QHash>
#include <stdexcept>
#include <zlib.h>

// The bitmap tags of SwfWriter: pixels packed as the lossless formats store them, or encoded
// as JPEG, PNG or GIF for the JPEG tags.
namespace swfgen::SwfWriter {

namespace {

constexpr int PaletteSize = 256;

QByteArray deflate(const QByteArray& data) {
  return qCompress(data, 9).mid(4); // drop Qt's length prefix, keep the zlib stream
}

QImage premultiplied(const QImage& image) {
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Every colour of the image, premultiplied, in the order first met; at most 256.
QList<QRgb> palette(const QImage& image) {
  QList<QRgb> colors;
  QHash<QRgb, int> seen;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (seen.contains(pixel))
        continue;
      if (colors.size() == PaletteSize)
        throw std::invalid_argument("a colour-mapped bitmap holds at most 256 colours");
      seen.insert(pixel, int(colors.size()));
      colors.append(pixel);
    }
  return colors;
}

void padRow(QByteArray& out, qsizetype rowStart) {
  while ((out.size() - rowStart) % 4)
    out.append('\0');
}

QByteArray losslessPixels(const QImage& image, BitmapFormat format) {
  QByteArray pixels;
  const bool withAlpha = format == BitmapFormat::ColorMappedAlpha || format == BitmapFormat::Argb32;
  if (format == BitmapFormat::ColorMapped || format == BitmapFormat::ColorMappedAlpha) {
    const QList<QRgb> colors = palette(image);
    for (const QRgb color : colors) {
      pixels.append(char(qRed(color))).append(char(qGreen(color))).append(char(qBlue(color)));
      if (withAlpha)
        pixels.append(char(qAlpha(color)));
    }
    for (int y = 0; y < image.height(); ++y) {
      const qsizetype rowStart = pixels.size();
      for (int x = 0; x < image.width(); ++x)
        pixels.append(char(colors.indexOf(image.pixel(x, y))));
      padRow(pixels, rowStart);
    }
    return pixels;
  }
  for (int y = 0; y < image.height(); ++y) {
    const qsizetype rowStart = pixels.size();
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (format == BitmapFormat::Rgb15) {
        const int packed =
            ((qRed(pixel) >> 3) << 10) | ((qGreen(pixel) >> 3) << 5) | (qBlue(pixel) >> 3);
        pixels.append(char(packed >> 8)).append(char(packed & 0xFF));
      } else {
        pixels.append(char(withAlpha ? qAlpha(pixel) : 0xFF));
        pixels.append(char(qRed(pixel))).append(char(qGreen(pixel))).append(char(qBlue(pixel)));
      }
    }
    padRow(pixels, rowStart);
  }
  return pixels;
}

QByteArray defineLossless(quint16 characterId, const QImage& image, BitmapFormat format) {
  const bool withAlpha = format == BitmapFormat::ColorMappedAlpha || format == BitmapFormat::Argb32;
  const bool mapped =
      format == BitmapFormat::ColorMapped || format == BitmapFormat::ColorMappedAlpha;
  const QImage source =
      withAlpha ? premultiplied(image) : image.convertToFormat(QImage::Format_RGB32);
  QByteArray body;
  appendUi16(body, characterId);
  body.append(char(mapped ? 3 : format == BitmapFormat::Rgb15 ? 4 : 5));
  appendUi16(body, quint16(source.width()));
  appendUi16(body, quint16(source.height()));
  if (mapped)
    body.append(char(palette(source).size() - 1));
  body.append(deflate(losslessPixels(source, format)));
  return tag(withAlpha ? TagCode::DefineBitsLossless2 : TagCode::DefineBitsLossless, body);
}

QByteArray encoded(const QImage& image, const char* format) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format, 100))
    throw std::runtime_error(std::string("the image cannot be encoded as ") + format);
  return buffer.data();
}

// Appends the bits of one code, least significant first, as GIF packs them.
class GifCodeWriter {
public:
  void write(int code, int width) {
    m_pending |= quint32(code) << m_pendingBits;
    m_pendingBits += width;
    while (m_pendingBits >= 8) {
      m_bytes.append(char(m_pending & 0xFF));
      m_pending >>= 8;
      m_pendingBits -= 8;
    }
  }
  QByteArray finish() {
    if (m_pendingBits > 0)
      m_bytes.append(char(m_pending & 0xFF));
    return m_bytes;
  }

private:
  QByteArray m_bytes;
  quint32 m_pending = 0;
  int m_pendingBits = 0;
};

// A GIF89a of the image's colours (at most 256, opaque). Its LZW stream sends a clear code
// before the code table would grow, so every code stays nine bits wide.
QByteArray encodedGif(const QImage& image) {
  const QImage source = image.convertToFormat(QImage::Format_RGB32);
  const QList<QRgb> colors = palette(source);
  QByteArray gif("GIF89a");
  appendUi16(gif, quint16(source.width()));
  appendUi16(gif, quint16(source.height()));
  gif.append(char(0xF7)).append('\0').append('\0'); // a global table of 256 colours
  for (int i = 0; i < PaletteSize; ++i) {
    const QRgb color = i < colors.size() ? colors[i] : 0;
    gif.append(char(qRed(color))).append(char(qGreen(color))).append(char(qBlue(color)));
  }
  gif.append(',');
  appendUi16(gif, 0);
  appendUi16(gif, 0);
  appendUi16(gif, quint16(source.width()));
  appendUi16(gif, quint16(source.height()));
  gif.append('\0');
  constexpr int MinimumCodeSize = 8;
  constexpr int Clear = 1 << MinimumCodeSize;
  constexpr int EndOfData = Clear + 1;
  constexpr int CodeWidth = MinimumCodeSize + 1;
  GifCodeWriter codes;
  int sinceClear = 0;
  codes.write(Clear, CodeWidth);
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x) {
      if (sinceClear == Clear - 2) {
        codes.write(Clear, CodeWidth);
        sinceClear = 0;
      }
      codes.write(int(colors.indexOf(source.pixel(x, y))), CodeWidth);
      ++sinceClear;
    }
  codes.write(EndOfData, CodeWidth);
  const QByteArray data = codes.finish();
  gif.append(char(MinimumCodeSize));
  for (qsizetype at = 0; at < data.size(); at += 255) {
    const QByteArray block = data.mid(at, 255);
    gif.append(char(block.size())).append(block);
  }
  gif.append('\0').append(';');
  return gif;
}

// Splits a JPEG stream into its tables (quantisation and Huffman segments) and the rest,
// each with its own start and end markers, as JPEGTables and DefineBits store them.
std::pair<QByteArray, QByteArray> splitJpeg(const QByteArray& jpeg) {
  QByteArray tables("\xFF\xD8", 2);
  QByteArray image("\xFF\xD8", 2);
  qsizetype at = 2;
  while (at + 4 <= jpeg.size()) {
    const quint8 marker = quint8(jpeg[at + 1]);
    if (marker == 0xDA) {
      image.append(jpeg.mid(at));
      break;
    }
    const qsizetype length = 2 + ((quint8(jpeg[at + 2]) << 8) | quint8(jpeg[at + 3]));
    (marker == 0xDB || marker == 0xC4 ? tables : image).append(jpeg.mid(at, length));
    at += length;
  }
  tables.append("\xFF\xD9", 2);
  return {tables, image};
}

QByteArray alphaPlane(const QImage& image) {
  const QImage source = image.convertToFormat(QImage::Format_ARGB32);
  QByteArray alpha;
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x)
      alpha.append(char(qAlpha(source.pixel(x, y))));
  return deflate(alpha);
}

// The colour data of a JPEG with alpha is premultiplied, as the player reads it.
QImage premultipliedOnBlack(const QImage& image) {
  QImage opaque(image.size(), QImage::Format_RGB32);
  opaque.fill(Qt::black);
  const QImage source = premultiplied(image);
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x)
      opaque.setPixel(x, y, source.pixel(x, y) | 0xFF000000);
  return opaque;
}

QByteArray defineJpeg(quint16 characterId, const QImage& image, BitmapFormat format) {
  QByteArray body;
  appendUi16(body, characterId);
  if (format == BitmapFormat::Jpeg) {
    const auto [tables, data] = splitJpeg(encoded(image, "JPEG"));
    body.append(data);
    return tag(TagCode::JpegTables, tables) + longTag(TagCode::DefineBits, body);
  }
  if (format == BitmapFormat::Jpeg3 || format == BitmapFormat::Jpeg4) {
    const QByteArray data = encoded(premultipliedOnBlack(image), "JPEG");
    appendUi32(body, quint32(data.size()));
    if (format == BitmapFormat::Jpeg4)
      appendUi16(body, 0); // no deblocking
    body.append(data);
    body.append(alphaPlane(image));
    return longTag(
        format == BitmapFormat::Jpeg3 ? TagCode::DefineBitsJpeg3 : TagCode::DefineBitsJpeg4, body);
  }
  body.append(format == BitmapFormat::Png   ? encoded(image, "PNG")
              : format == BitmapFormat::Gif ? encodedGif(image)
                                            : encoded(image, "JPEG"));
  return longTag(TagCode::DefineBitsJpeg2, body);
}

} // namespace

QByteArray defineBitmap(quint16 characterId, const QImage& image, BitmapFormat format) {
  if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF)
    throw std::invalid_argument("bitmap size out of range");
  switch (format) {
  case BitmapFormat::ColorMapped:
  case BitmapFormat::Rgb15:
  case BitmapFormat::Rgb24:
  case BitmapFormat::ColorMappedAlpha:
  case BitmapFormat::Argb32:
    return defineLossless(characterId, image, format);
  case BitmapFormat::Jpeg:
  case BitmapFormat::Jpeg2:
  case BitmapFormat::Jpeg3:
  case BitmapFormat::Jpeg4:
  case BitmapFormat::Png:
  case BitmapFormat::Gif:
    break;
  }
  return defineJpeg(characterId, image, format);
}

} // namespace swfgen::SwfWriter
