#include "designer/XmlTwinWriter.h"

#include <QDomElement>

namespace {

bool IsXmlCharacter(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\r' || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

bool IsXmlText(const QString& text) {
  for (const QChar c : text) {
    if (c.isSurrogate() || !IsXmlCharacter(c.unicode()))
      return false;
  }
  return true;
}

// Text without the characters XML 1.0 forbids; surrogates are kept only in valid pairs.
QString XmlCharacters(const QString& text) {
  if (IsXmlText(text))
    return text;
  QString result;
  result.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      result.append(c).append(text.at(++i));
    } else if (!c.isSurrogate() && IsXmlCharacter(c.unicode())) {
      result.append(c);
    }
  }
  return result;
}

// Appends Text escaped for an attribute value (InAttribute) or element content. A carriage
// return is always a character reference, since readers turn a literal CR LF into LF.
void AppendEscaped(QString& out, const QString& text, bool inAttribute) {
  for (const QChar c : text) {
    switch (c.unicode()) {
    case u'&':
      out += QLatin1String("&amp;");
      break;
    case u'<':
      out += QLatin1String("&lt;");
      break;
    case u'>':
      out += QLatin1String("&gt;");
      break;
    case u'\r':
      out += QLatin1String("&#13;");
      break;
    case u'"':
      out += inAttribute ? QLatin1String("&quot;") : QLatin1String("\"");
      break;
    case u'\n':
      out += inAttribute ? QLatin1String("&#10;") : QLatin1String("\n");
      break;
    case u'\t':
      out += inAttribute ? QLatin1String("&#9;") : QLatin1String("\t");
      break;
    default:
      out += c;
    }
  }
}

} // namespace

TXmlTwinWriter::TXmlTwinWriter(QDomDocument& Document) : FDocument(Document) {
  FDocument.clear();
}

void TXmlTwinWriter::StartElement(const QString& Tag) {
  CloseStartTag();
  const QDomElement element = FDocument.createElement(Tag);
  // A null current node is the document level, before the first element.
  FCurrent = FCurrent.isNull() ? FDocument.appendChild(element) : FCurrent.appendChild(element);
  FOpenTags.append(Tag);
  FText += QLatin1Char('<') + Tag;
  FStartTagOpen = true;
}

void TXmlTwinWriter::Attribute(const QString& Name, const QString& Value) {
  const QString value = XmlCharacters(Value);
  FCurrent.toElement().setAttribute(Name, value);
  FText += QLatin1Char(' ') + Name + QLatin1String("=\"");
  AppendEscaped(FText, value, true);
  FText += QLatin1Char('"');
}

void TXmlTwinWriter::Characters(const QString& Text) {
  const QString text = XmlCharacters(Text);
  if (text.isEmpty())
    return;
  CloseStartTag();
  FCurrent.appendChild(FDocument.createTextNode(text));
  AppendEscaped(FText, text, false);
}

void TXmlTwinWriter::EndElement() {
  const QString tag = FOpenTags.takeLast();
  if (FStartTagOpen) {
    FText += QLatin1String("/>");
    FStartTagOpen = false;
  } else {
    FText += QLatin1String("</") + tag + QLatin1Char('>');
  }
  FCurrent = FCurrent.parentNode();
}

void TXmlTwinWriter::CloseStartTag() {
  if (!FStartTagOpen)
    return;
  FText += QLatin1Char('>');
  FStartTagOpen = false;
}
