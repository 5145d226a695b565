#pragma once

#include <QByteArray>
#include <QString>

// Writes Text to FileName through a temporary file, so a failed write keeps the earlier file
// whole; where the folder allows no new file, an existing file is written in place. False when
// the write fails, with the system's reason in Error.
bool WriteWholeFile(const QString& FileName, const QByteArray& Text, QString& Error);
