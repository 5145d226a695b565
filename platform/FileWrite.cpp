#include "platform/FileWrite.h"

bool WriteFully(QIODevice& Device, QByteArrayView Bytes) {
  qsizetype written = 0;
  while (written < Bytes.size()) {
    // A write the system cuts short reports no error of its own; the next write of the rest
    // fails with the reason.
    const qint64 count = Device.write(Bytes.data() + written, Bytes.size() - written);
    if (count <= 0)
      return false;
    written += qsizetype(count);
  }
  return true;
}

QString StreamWriteError(const QString& FileName, const QString& Reason) {
  return QStringLiteral("Stream write error: cannot write \"%1\". %2").arg(FileName, Reason);
}
