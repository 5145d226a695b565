#include "player/swf/SwfReader.h"

#include "player/swf/SwfError.h"

#include <bit>
#include <cstring>

void SwfReader::Require(qsizetype count) const {
  if (count < 0 || count > Remaining())
    throw SwfError("truncated (" + std::to_string(count) + " bytes needed at byte " +
                   std::to_string(FPos) + ", " + std::to_string(Remaining()) + " left)");
}

quint8 SwfReader::U8() {
  Require(1);
  FBitCount = 0;
  return quint8(FData[FPos++]);
}

quint16 SwfReader::U16() {
  const quint16 low = U8();
  return quint16(low | (U8() << 8));
}

quint32 SwfReader::U32() {
  const quint32 low = U16();
  return low | (quint32(U16()) << 16);
}

float SwfReader::Float32() {
  return std::bit_cast<float>(U32());
}

double SwfReader::SplitDouble() {
  const quint64 high = U32();
  const quint64 low = U32();
  return std::bit_cast<double>((high << 32) | low);
}

QString SwfReader::CString(int swfVersion) {
  const char* begin = FData.data() + FPos;
  const void* terminator = std::memchr(begin, 0, size_t(Remaining()));
  if (!terminator)
    throw SwfError("truncated (text at byte " + std::to_string(FPos) + " has no end)");
  const qsizetype length = static_cast<const char*>(terminator) - begin;
  const QByteArrayView bytes = Bytes(length);
  Skip(1);
  return swfVersion >= 6 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

QByteArrayView SwfReader::Bytes(qsizetype count) {
  Require(count);
  FBitCount = 0;
  const QByteArrayView result = FData.sliced(FPos, count);
  FPos += count;
  return result;
}

quint32 SwfReader::Bits(int count) {
  if (count < 0 || count > 32)
    throw SwfError("corrupt bit field (" + std::to_string(count) + " bits, at most 32 allowed)");
  quint32 value = 0;
  for (int i = 0; i < count; ++i) {
    if (FBitCount == 0) {
      Require(1);
      FBitBuffer = quint8(FData[FPos++]);
      FBitCount = 8;
    }
    --FBitCount;
    value = (value << 1) | ((FBitBuffer >> FBitCount) & 1u);
  }
  return value;
}

qint32 SwfReader::SignedBits(int count) {
  const quint32 value = Bits(count);
  if (count == 0 || count == 32)
    return qint32(value);
  const quint32 signBit = 1u << (count - 1);
  return qint32((value ^ signBit) - signBit);
}

QRectF SwfReader::Rect() {
  AlignToByte();
  const int bits = int(Bits(5));
  const qint32 xMin = SignedBits(bits);
  const qint32 xMax = SignedBits(bits);
  const qint32 yMin = SignedBits(bits);
  const qint32 yMax = SignedBits(bits);
  AlignToByte();
  return QRectF(QPointF(xMin, yMin), QPointF(xMax, yMax)).normalized();
}

QTransform SwfReader::Matrix() {
  AlignToByte();
  double scaleX = 1, scaleY = 1, skew0 = 0, skew1 = 0;
  if (Bits(1)) {
    const int bits = int(Bits(5));
    scaleX = FixedBits(bits);
    scaleY = FixedBits(bits);
  }
  if (Bits(1)) {
    const int bits = int(Bits(5));
    skew0 = FixedBits(bits);
    skew1 = FixedBits(bits);
  }
  const int bits = int(Bits(5));
  const qint32 translateX = SignedBits(bits);
  const qint32 translateY = SignedBits(bits);
  AlignToByte();
  return QTransform(scaleX, skew0, skew1, scaleY, translateX, translateY);
}

SwfColorTransform SwfReader::ColorTransform(bool withAlpha) {
  AlignToByte();
  const bool hasAdd = Bits(1);
  const bool hasMultiply = Bits(1);
  const int bits = int(Bits(4));
  const size_t channels = withAlpha ? 4 : 3;
  SwfColorTransform transform;
  // Multipliers are 8.8 fixed-point numbers.
  if (hasMultiply)
    for (size_t channel = 0; channel < channels; ++channel)
      transform.Multiply[channel] = SignedBits(bits) / 256.0;
  if (hasAdd)
    for (size_t channel = 0; channel < channels; ++channel)
      transform.Add[channel] = SignedBits(bits);
  AlignToByte();
  return transform;
}

QColor SwfReader::Rgb() {
  const QByteArrayView bytes = Bytes(3);
  return QColor(quint8(bytes[0]), quint8(bytes[1]), quint8(bytes[2]));
}

QColor SwfReader::Rgba() {
  const QByteArrayView bytes = Bytes(4);
  return QColor(quint8(bytes[0]), quint8(bytes[1]), quint8(bytes[2]), quint8(bytes[3]));
}
