#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

namespace swfgen {

// SWF stores every multi-byte integer little-endian.
inline void appendUi16(QByteArray& out, quint16 value) {
  const quint16 le = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

inline void appendUi32(QByteArray& out, quint32 value) {
  const quint32 le = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

// Strings are UTF-8 (version 6 and later) and end with a zero byte.
inline void appendString(QByteArray& out, const QString& text) {
  out.append(text.toUtf8());
  out.append('\0');
}

} // namespace swfgen
