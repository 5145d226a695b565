#include "tools/swfgen/BitWriter.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace swfgen {

void BitWriter::writeUnsigned(quint32 value, int bitCount) {
  if (bitCount < 0 || bitCount > 32 || (bitCount < 32 && (quint64(value) >> bitCount) != 0))
    throw std::out_of_range("value does not fit its bit field");
  for (int bit = bitCount - 1; bit >= 0; --bit) {
    m_pending = quint8((m_pending << 1) | ((value >> bit) & 1u));
    if (++m_pendingBits == 8) {
      m_bytes.append(char(m_pending));
      m_pending = 0;
      m_pendingBits = 0;
    }
  }
}

void BitWriter::writeSigned(qint32 value, int bitCount) {
  if (bitCount < 32 && signedBitCount({value}) > bitCount)
    throw std::out_of_range("value does not fit its bit field");
  const quint32 mask = bitCount == 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1u;
  writeUnsigned(quint32(value) & mask, bitCount);
}

QByteArray BitWriter::takeBytes() {
  if (m_pendingBits > 0)
    m_bytes.append(char(m_pending << (8 - m_pendingBits)));
  m_pending = 0;
  m_pendingBits = 0;
  return std::exchange(m_bytes, {});
}

int BitWriter::signedBitCount(std::initializer_list<qint32> values) {
  int bits = 1;
  for (const qint32 value : values) {
    // A non-negative value needs its magnitude bits plus a zero sign bit; a negative one the
    // bits of its complement plus a one sign bit.
    quint32 magnitude = value < 0 ? ~quint32(value) : quint32(value);
    int needed = 1;
    while (magnitude != 0) {
      ++needed;
      magnitude >>= 1;
    }
    bits = std::max(bits, needed);
  }
  return bits;
}

} // namespace swfgen
