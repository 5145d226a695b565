#include "platform/XmlNesting.h"

#include <QXmlStreamReader>
#include <stdexcept>

void RefuseDeepXmlNesting(const QByteArray& Bytes, const QString& FileName) {
  QXmlStreamReader reader(Bytes);
  reader.setNamespaceProcessing(false);
  int depth = 0;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::EndElement) {
      --depth;
    } else if (token == QXmlStreamReader::StartElement && ++depth > MaxXmlNesting) {
      throw std::runtime_error(QStringLiteral("%1: elements nest deeper than %2 levels (line %3, "
                                              "column %4)")
                                   .arg(FileName)
                                   .arg(MaxXmlNesting)
                                   .arg(reader.lineNumber())
                                   .arg(reader.columnNumber())
                                   .toStdString());
    }
  }
}
