#include "designer/formats/ClipsXml.h"

#include "model/QelStrFunct.h"

#include <QFileInfo>

namespace ClipsXml {

namespace {

// The value between single quotes. Without this a clip file named with "&", "<" or "'" would
// make the whole catalogue unreadable; ordinary names are written unchanged.
QString QuotedValue(const QString& Value) {
  QString escaped;
  escaped.reserve(Value.size());
  for (const QChar c : Value) {
    switch (c.unicode()) {
    case u'&':
      escaped += QStringLiteral("&amp;");
      break;
    case u'<':
      escaped += QStringLiteral("&lt;");
      break;
    case u'\'':
      escaped += QStringLiteral("&apos;");
      break;
    case u'\t':
      escaped += QStringLiteral("&#9;");
      break;
    case u'\n':
      escaped += QStringLiteral("&#10;");
      break;
    case u'\r':
      escaped += QStringLiteral("&#13;");
      break;
    default:
      escaped += c;
    }
  }
  return QuoteStr(escaped);
}

} // namespace

QString ClipLine(const QString& ClipFile) {
  const QString fileName = QFileInfo(ClipFile).fileName();
  return QStringLiteral("<clip class=") + QuotedValue(ExtractFileBaseName(ClipFile)) +
         QStringLiteral(" file=") + QuotedValue(QStringLiteral("./objects/") + fileName) +
         QStringLiteral("></clip>");
}

QStringList CatalogueLines(const QStringList& ClipFiles) {
  QStringList lines{QStringLiteral("<clips>")};
  for (const QString& clipFile : ClipFiles)
    AddUnique(ClipLine(clipFile), lines);
  lines << QStringLiteral("</clips>");
  return lines;
}

QByteArray CatalogueText(const QStringList& ClipFiles) {
  return StringListToText(CatalogueLines(ClipFiles)).toUtf8();
}

} // namespace ClipsXml
