#pragma once

#include <QByteArray>
#include <initializer_list>

namespace swfgen {

// Packs bit fields most significant bit first, as SWF's RECT, MATRIX and shape records need.
class BitWriter {
public:
  void writeUnsigned(quint32 value, int bitCount);
  void writeSigned(qint32 value, int bitCount);
  // Pads the last byte with zero bits and hands over everything written.
  QByteArray takeBytes();

  // The smallest field width that holds every value as a signed (two's complement) number.
  static int signedBitCount(std::initializer_list<qint32> values);

private:
  QByteArray m_bytes;
  quint8 m_pending = 0;
  int m_pendingBits = 0;
};

} // namespace swfgen
