#include "player/SwfBuilder.h"

#include <QFile>
#include <bit>
#include <cmath>
#include <lzma.h>
#include <zlib.h>

namespace SwfBuilder {

Writer& Writer::U8(int value) {
  Align();
  FData.append(char(value));
  return *this;
}
Writer& Writer::U16(int value) {
  return U8(value & 0xFF).U8((value >> 8) & 0xFF);
}
Writer& Writer::U32(quint32 value) {
  return U16(int(value & 0xFFFF)).U16(int(value >> 16));
}
Writer& Writer::Bytes(const QByteArray& bytes) {
  Align();
  FData.append(bytes);
  return *this;
}
Writer& Writer::Text(const QString& text) {
  return Bytes(text.toUtf8()).U8(0);
}
Writer& Writer::Bits(quint32 value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    FBits = quint8((FBits << 1) | ((value >> i) & 1u));
    if (++FBitCount == 8) {
      FData.append(char(FBits));
      FBits = 0;
      FBitCount = 0;
    }
  }
  return *this;
}
Writer& Writer::SignedBits(qint32 value, int count) {
  return Bits(quint32(value), count);
}
Writer& Writer::Align() {
  if (FBitCount > 0)
    Bits(0, 8 - FBitCount);
  return *this;
}
QByteArray Writer::Data() {
  Align();
  return FData;
}

namespace {

// Bits needed to hold every value as a signed field.
int SignedWidth(std::initializer_list<qint64> values) {
  int width = 1;
  for (const qint64 value : values)
    while (value >= (qint64(1) << (width - 1)) || value < -(qint64(1) << (width - 1)))
      ++width;
  return width;
}

QByteArray Compress(const QByteArray& body, char signature) {
  if (signature == 'C')
    return qCompress(body).mid(4); // drop Qt's length prefix, keep the zlib stream
  lzma_options_lzma options;
  lzma_lzma_preset(&options, 6);
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
    return {};
  QByteArray out(int(body.size() + 1024), '\0');
  stream.next_in = reinterpret_cast<const uint8_t*>(body.constData());
  stream.avail_in = size_t(body.size());
  stream.next_out = reinterpret_cast<uint8_t*>(out.data());
  stream.avail_out = size_t(out.size());
  while (lzma_code(&stream, LZMA_FINISH) == LZMA_OK) {
  }
  out.truncate(qsizetype(stream.total_out));
  lzma_end(&stream);
  // lzma-alone: 5 property bytes, 8 size bytes, data. ZWS: compressed size, properties, data.
  Writer zws;
  zws.U32(quint32(out.size() - 13)).Bytes(out.left(5)).Bytes(out.mid(13));
  return zws.Data();
}

} // namespace

QByteArray Rect(int xMin, int xMax, int yMin, int yMax) {
  const int width = SignedWidth({xMin, xMax, yMin, yMax});
  Writer writer;
  writer.Bits(quint32(width), 5);
  for (const int value : {xMin, xMax, yMin, yMax})
    writer.SignedBits(value, width);
  return writer.Data();
}

QByteArray Matrix(int translateX, int translateY, double scale) {
  Writer writer;
  const bool scaled = scale != 1;
  writer.Bits(scaled, 1);
  if (scaled) {
    const qint32 fixed = qint32(std::lround(scale * 65536));
    const int width = SignedWidth({fixed});
    writer.Bits(quint32(width), 5).SignedBits(fixed, width).SignedBits(fixed, width);
  }
  writer.Bits(0, 1);
  const int width = SignedWidth({translateX, translateY});
  writer.Bits(quint32(width), 5).SignedBits(translateX, width).SignedBits(translateY, width);
  return writer.Data();
}

QByteArray Tag(int code, const QByteArray& body, bool longHeader) {
  Writer writer;
  if (longHeader || body.size() >= 0x3F)
    writer.U16((code << 6) | 0x3F).U32(quint32(body.size()));
  else
    writer.U16((code << 6) | int(body.size()));
  return writer.Bytes(body).Data();
}

QByteArray File(const QByteArray& tags, char signature, int width, int height, int version) {
  Writer body;
  body.Bytes(Rect(0, width, 0, height)).U16(12 << 8).U16(1).Bytes(tags).Bytes(Tag(0, {}));
  const QByteArray uncompressed = body.Data();
  Writer file;
  file.U8(signature).U8('W').U8('S').U8(version).U32(quint32(uncompressed.size() + 8));
  file.Bytes(signature == 'F' ? uncompressed : Compress(uncompressed, signature));
  return file.Data();
}

QByteArray Background(QColor color) {
  return Tag(9, Writer().U8(color.red()).U8(color.green()).U8(color.blue()).Data());
}

namespace {

// A DefineShape of one rectangle filled with the one fill style given as its bytes.
QByteArray FilledRectangle(int id, const QRect& twips, const QByteArray& fillStyle, int version) {
  Writer writer;
  const QByteArray bounds =
      Rect(twips.left(), twips.left() + twips.width(), twips.top(), twips.top() + twips.height());
  writer.U16(id).Bytes(bounds);
  if (version >= 4)
    writer.Bytes(bounds).U8(0);
  writer.U8(1).Bytes(fillStyle);
  writer.U8(0);                 // no line styles
  writer.Bits(1, 4).Bits(0, 4); // one fill bit, no line bits
  const int width = SignedWidth({twips.left(), twips.top(), twips.width(), twips.height()}) + 1;
  // Style change: move to the top left corner, fill style 1 on the left of the edges.
  writer.Bits(0, 1).Bits(0x05, 5).Bits(quint32(width), 5);
  writer.SignedBits(twips.left(), width).SignedBits(twips.top(), width).Bits(1, 1);
  const auto edge = [&](bool vertical, int delta) {
    writer.Bits(1, 1).Bits(1, 1).Bits(quint32(width - 2), 4).Bits(0, 1).Bits(vertical, 1);
    writer.SignedBits(delta, width);
  };
  edge(false, twips.width());
  edge(true, twips.height());
  edge(false, -twips.width());
  edge(true, -twips.height());
  writer.Bits(0, 6); // end of shape
  const int codes[] = {0, 2, 22, 32, 83};
  return Tag(codes[version], writer.Data());
}

} // namespace

QByteArray RectangleShape(int id, const QRect& twips, QColor color, int version) {
  Writer style;
  style.U8(0x00).U8(color.red()).U8(color.green()).U8(color.blue());
  if (version >= 3)
    style.U8(color.alpha());
  return FilledRectangle(id, twips, style.Data(), version);
}

QByteArray BitmapRectangleShape(int id, const QRect& twips, int bitmapId) {
  Writer style;
  style.U8(0x41).U16(bitmapId).Bytes(Matrix(twips.left(), twips.top(), 20));
  return FilledRectangle(id, twips, style.Data(), 2);
}

QByteArray OpaqueBitmap(int id, const QImage& image) {
  QByteArray pixels;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      pixels.append(char(0xFF)).append(char(qRed(pixel))).append(char(qGreen(pixel)));
      pixels.append(char(qBlue(pixel)));
    }
  Writer body;
  body.U16(id).U8(5).U16(image.width()).U16(image.height()).Bytes(qCompress(pixels).mid(4));
  return Tag(20, body.Data(), true);
}

QByteArray Place(int depth, int character, int x, int y, const QString& name, double scale) {
  Writer writer;
  writer.U8(0x06 | (name.isEmpty() ? 0 : 0x20)).U16(depth).U16(character);
  writer.Bytes(Matrix(x, y, scale));
  if (!name.isEmpty())
    writer.Text(name);
  return Tag(26, writer.Data());
}

QByteArray PlaceSkewed(int depth, int character, double skew) {
  Writer matrix;
  const qint32 fixed = qint32(std::lround(skew * 65536));
  const int width = SignedWidth({0, fixed});
  matrix.Bits(0, 1)
      .Bits(1, 1)
      .Bits(quint32(width), 5)
      .SignedBits(0, width)
      .SignedBits(fixed, width);
  matrix.Bits(0, 5); // no translation
  Writer writer;
  writer.U8(0x06).U16(depth).U16(character).Bytes(matrix.Data());
  return Tag(26, writer.Data());
}

QByteArray PlaceWithEffects(int depth, int character, int x, int y, const QByteArray& filters,
                            int blendMode) {
  Writer writer;
  writer.U8(0x06).U8((filters.isEmpty() ? 0 : 0x01) | (blendMode ? 0x02 : 0));
  writer.U16(depth).U16(character).Bytes(Matrix(x, y));
  writer.Bytes(filters);
  if (blendMode)
    writer.U8(blendMode);
  return Tag(70, writer.Data());
}

QByteArray Sprite(int id, const QByteArray& tags) {
  return Tag(39, Writer().U16(id).U16(1).Bytes(tags).Bytes(ShowFrame()).Bytes(Tag(0, {})).Data());
}

QByteArray ShowFrame() {
  return Tag(1, {});
}

Actions& Actions::ConstantPool(const QStringList& strings) {
  Writer payload;
  payload.U16(int(strings.size()));
  for (const QString& text : strings)
    payload.Text(text);
  const QByteArray bytes = payload.Data();
  FBytes += Writer().U8(0x88).U16(int(bytes.size())).Bytes(bytes).Data();
  return *this;
}

Actions& Actions::PushRecord(const QByteArray& record) {
  FBytes += Writer().U8(0x96).U16(int(record.size())).Bytes(record).Data();
  return *this;
}

Actions& Actions::Push(const QString& text) {
  return PushRecord(Writer().U8(0).Text(text).Data());
}
Actions& Actions::PushNumber(double value) {
  const quint64 bits = std::bit_cast<quint64>(value);
  return PushRecord(Writer().U8(6).U32(quint32(bits >> 32)).U32(quint32(bits)).Data());
}
Actions& Actions::PushFloat(float value) {
  return PushRecord(Writer().U8(1).U32(std::bit_cast<quint32>(value)).Data());
}
Actions& Actions::PushInteger(qint32 value) {
  return PushRecord(Writer().U8(7).U32(quint32(value)).Data());
}
Actions& Actions::PushBoolean(bool value) {
  return PushRecord(Writer().U8(5).U8(value).Data());
}
Actions& Actions::PushNull() {
  return PushRecord(Writer().U8(2).Data());
}
Actions& Actions::PushUndefined() {
  return PushRecord(Writer().U8(3).Data());
}
Actions& Actions::PushRegister(int number) {
  return PushRecord(Writer().U8(4).U8(number).Data());
}
Actions& Actions::PushConstant(int index) {
  return PushRecord(index < 256 ? Writer().U8(8).U8(index).Data()
                                : Writer().U8(9).U16(index).Data());
}
Actions& Actions::Op(int code) {
  FBytes.append(char(code));
  return *this;
}
Actions& Actions::GetUrl(const QString& url, const QString& target) {
  const QByteArray payload = Writer().Text(url).Text(target).Data();
  FBytes += Writer().U8(0x83).U16(int(payload.size())).Bytes(payload).Data();
  return *this;
}
Actions& Actions::Raw(const QByteArray& bytes) {
  FBytes += bytes;
  return *this;
}
Actions& Actions::SetThis(const QString& name, const QString& value) {
  return Push(QStringLiteral("this")).Op(0x1C).Push(name).Push(value).Op(0x4F);
}
Actions& Actions::AnnounceLoad() {
  Push(QStringLiteral("FSCommand:load")).Push(QStringLiteral("this")).Op(0x1C);
  Push(QStringLiteral("_target")).Op(0x4E);
  return Raw(Writer().U8(0x9A).U16(1).U8(0).Data());
}
QByteArray Actions::Tag() const {
  return SwfBuilder::Tag(12, FBytes + QByteArray(1, '\0'));
}

QString Save(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    file.write(bytes);
  return path;
}

} // namespace SwfBuilder
