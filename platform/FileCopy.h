#pragma once

#include <QString>

// How CopyFile may replace its destination: only by a complete copy, or, where the folder lets
// no temporary file be made beside it, by writing the existing destination in place (a copy
// that then fails midway leaves the destination damaged: for copies whose source stays whole).
enum class TCopyReplace { WholeOnly, InPlaceWhereNoTempFile };

// Copies Source to Destination, creating the destination's missing folders and replacing an
// existing destination file; the copy keeps the source's modification time. With WholeOnly the
// destination is replaced only by a complete copy: after any failure it holds what it held before.
// Throws std::runtime_error with "Cannot open file <Source>" (followed by " (not a regular file)"
// for a folder, a device or a link to one) or "Cannot create file <Destination>", and with
// "Stream read error" or "Stream write error" followed by the file and the system's reason when
// a transfer fails midway.
void CopyFile(const QString& Source, const QString& Destination,
              TCopyReplace Replace = TCopyReplace::WholeOnly);
