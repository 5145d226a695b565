#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The clip catalogue clips.xml of a preview folder: which clip file under "objects" plays each
// element type. It is written as plain text lines, one per distinct clip, so a device can read
// it line by line as well as as XML.
namespace ClipsXml {

// The catalogue line of one clip file: "<clip class='" + its base name + "' file='./objects/" +
// its file name + "'></clip>". Characters that would end the quoted value or break the XML
// ("&", "<", "'", tab and line breaks) are written as references; every other character is
// written as it is.
QString ClipLine(const QString& ClipFile);

// "<clips>", the line of every distinct clip in order of first use, "</clips>".
QStringList CatalogueLines(const QStringList& ClipFiles);

// The catalogue as stored: each line followed by CR LF, in UTF-8 without a declaration.
QByteArray CatalogueText(const QStringList& ClipFiles);

} // namespace ClipsXml
