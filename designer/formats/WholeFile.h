#pragma once

#include <QByteArray>
#include <QString>

// Writes Text to FileName through a temporary file, so a failed write keeps the earlier file
// whole. Where the folder allows no new file, an existing file is written in place, and a
// failed write there puts the earlier bytes back. False when the write fails, with a message
// in Error that names the file and the system's reason.
bool WriteWholeFile(const QString& FileName, const QByteArray& Text, QString& Error);

// The largest file from outside the program (a project, a catalogue, an import) that is read.
constexpr qint64 MaxOutsideFileSize = 256 * 1024 * 1024;

// Why FileName cannot be read as a whole outside file: it is no regular file (a folder, a
// device, a link to one) or larger than MaxOutsideFileSize; "" when it can be read, or when it
// does not exist.
QString OutsideFileProblem(const QString& FileName);

// Reads the whole of FileName, a regular file of at most MaxOutsideFileSize bytes. False when it
// cannot, with a message in Error that names the file and the reason.
bool ReadWholeFile(const QString& FileName, QByteArray& Bytes, QString& Error);
