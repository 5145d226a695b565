#pragma once

#include <QString>

// Copies Source to Destination, creating the destination's missing folders and replacing an
// existing destination file; the copy keeps the source's modification time. The destination
// is replaced only by a complete copy: after any failure it holds what it held before. Throws
// std::runtime_error with "Cannot open file <Source>" or "Cannot create file <Destination>",
// and "Stream read error" or "Stream write error" when a transfer fails midway.
void CopyFile(const QString& Source, const QString& Destination);
