#pragma once

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

// Writes all of Bytes to Device, going on after a short write until the system refuses more.
// False when not every byte was written; Device's errorString() then holds the system's reason
// ("No space left on device", "File too large"). A file must be open unbuffered, or a buffered
// write would report success before anything reached the disk.
bool WriteFully(QIODevice& Device, QByteArrayView Bytes);

// The message of a write that failed midway: "Stream write error: cannot write "<FileName>".
// <Reason>".
QString StreamWriteError(const QString& FileName, const QString& Reason);
