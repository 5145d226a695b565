#pragma once

#include <QByteArray>
#include <QString>

// The deepest element nesting accepted in an XML file from outside the program. The files the
// designer reads need a handful of levels; a deeper tree is refused before a document is built
// from it, since building and walking a tree costs far more than the file's size.
inline constexpr int MaxXmlNesting = 256;

// Throws std::runtime_error "<FileName>: elements nest deeper than 256 levels (line L, column
// C)" when an element of Bytes lies deeper than MaxXmlNesting. One streaming pass, in time
// linear in the size of Bytes. Faults of another kind are left to the parser that follows, so
// its own message reports them.
void RefuseDeepXmlNesting(const QByteArray& Bytes, const QString& FileName);
