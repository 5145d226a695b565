#pragma once

#include "player/swf/SwfColorTransform.h"

#include <QByteArrayView>
#include <QColor>
#include <QRectF>
#include <QString>
#include <QTransform>

// Little-endian byte and bit reader over a borrowed buffer. Every read is checked against
// what is left and throws SwfError instead of running past the end.
class SwfReader {
public:
  explicit SwfReader(QByteArrayView data) : FData(data) {}

  qsizetype Position() const { return FPos; }
  qsizetype Remaining() const { return FData.size() - FPos; }
  bool AtEnd() const { return Remaining() <= 0; }

  quint8 U8();
  quint16 U16();
  quint32 U32();
  qint16 S16() { return qint16(U16()); }
  float Float32();
  // Eight bytes holding the high 32-bit word first, each word little-endian.
  double SplitDouble();
  // Zero-terminated text; SWF 6 and later store UTF-8, earlier versions a single-byte set.
  QString CString(int swfVersion);
  QByteArrayView Bytes(qsizetype count);
  void Skip(qsizetype count) { Bytes(count); }

  // Bit fields start at the next whole byte after any byte read; AlignToByte drops the
  // unread bits of the current byte.
  quint32 Bits(int count);
  qint32 SignedBits(int count);
  // 16.16 fixed-point bit field.
  double FixedBits(int count) { return SignedBits(count) / 65536.0; }
  void AlignToByte() { FBitCount = 0; }

  // Records shared by several tags.
  QRectF Rect(); // twips
  QTransform Matrix();
  // CXFORM (withAlpha false) or CXFORMWITHALPHA.
  SwfColorTransform ColorTransform(bool withAlpha);
  void SkipColorTransform(bool withAlpha) { ColorTransform(withAlpha); }
  QColor Rgb();
  QColor Rgba();

private:
  void Require(qsizetype count) const;

  QByteArrayView FData;
  qsizetype FPos = 0;
  quint8 FBitBuffer = 0;
  int FBitCount = 0;
};
