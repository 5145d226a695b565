#include "designer/formats/XmlTwinWriter.h"

#include <utility>

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

// Appends Text as UTF-8; ASCII, the common case, is copied without a temporary.
void AppendUtf8(QByteArray& out, QStringView text) {
  const qsizetype start = out.size();
  out.resize(start + text.size());
  char* next = out.data() + start;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c >= 0x80) {
      out.truncate(next - out.constData());
      out += text.sliced(i).toUtf8();
      return;
    }
    *next++ = static_cast<char>(c);
  }
}

// The reference that stands for c in an attribute value (InAttribute) or element content, or
// nullptr when c stands for itself. A carriage return is always a character reference, since
// readers turn a literal CR LF into LF.
const char* EscapeFor(char16_t c, bool inAttribute) {
  switch (c) {
  case u'&':
    return "&amp;";
  case u'<':
    return "&lt;";
  case u'>':
    return "&gt;";
  case u'\r':
    return "&#13;";
  case u'"':
    return inAttribute ? "&quot;" : nullptr;
  case u'\n':
    return inAttribute ? "&#10;" : nullptr;
  case u'\t':
    return inAttribute ? "&#9;" : nullptr;
  default:
    return nullptr;
  }
}

// Appends Text escaped, copying the runs between references whole. References are ASCII, so
// a run never splits a surrogate pair.
void AppendEscaped(QByteArray& out, QStringView text, bool inAttribute) {
  qsizetype runStart = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char* reference = EscapeFor(text[i].unicode(), inAttribute);
    if (!reference)
      continue;
    AppendUtf8(out, text.sliced(runStart, i - runStart));
    out += reference;
    runStart = i + 1;
  }
  AppendUtf8(out, text.sliced(runStart));
}

// Whether Root is the one node Document holds.
bool HoldsOnly(const QDomDocument& document, const QDomElement& root) {
  return !root.isNull() && document.firstChild() == root && document.lastChild() == root;
}

} // namespace

TXmlTwinWriter::TXmlTwinWriter(QDomDocument& Document, TXmlWrittenTree* Record)
    : FDocument(Document), FRecord(Record) {
  // No handle of the recorded tree may be left when the document drops its tree.
  if (FRecord && HoldsOnly(FDocument, FRecord->Root)) {
    FPrevious = std::exchange(*FRecord, {});
    FDocument.removeChild(FPrevious.Root);
    return;
  }
  if (FRecord)
    *FRecord = {};
  FDocument.clear();
}

void TXmlTwinWriter::StartElement(const QString& Tag) {
  CloseStartTag();
  if (!FTextOnly) {
    const QDomElement element = FDocument.createElement(Tag);
    if (FCurrent.isNull())
      FDocument.appendChild(element);
    else
      FCurrent.appendChild(element);
    FCurrent = element;
  }
  FOpenTags.append(Tag);
  FText += '<';
  AppendUtf8(FText, Tag);
  FStartTagOpen = true;
}

void TXmlTwinWriter::Attribute(const QString& Name, const QString& Value) {
  const QString value = XmlCharacters(Value);
  if (!FTextOnly)
    FCurrent.setAttribute(Name, value);
  FText += ' ';
  AppendUtf8(FText, Name);
  FText += "=\"";
  AppendEscaped(FText, value, true);
  FText += '"';
}

void TXmlTwinWriter::Characters(const QString& Text) {
  const QString text = XmlCharacters(Text);
  if (text.isEmpty())
    return;
  CloseStartTag();
  if (!FTextOnly)
    FCurrent.appendChild(FDocument.createTextNode(text));
  AppendEscaped(FText, text, false);
}

void TXmlTwinWriter::EndElement() {
  const QString tag = FOpenTags.takeLast();
  if (FStartTagOpen) {
    FText += "/>";
    FStartTagOpen = false;
  } else {
    FText += "</";
    AppendUtf8(FText, tag);
    FText += '>';
  }
  if (!FTextOnly)
    FCurrent = FCurrent.parentNode().toElement();
}

void TXmlTwinWriter::WriteReusable(const std::function<void()>& Write) {
  CloseStartTag();
  const qsizetype start = FText.size();
  const qsizetype index = FWritten.size();
  if (index < FPrevious.Elements.size() && InPreviousTree(FPrevious.Elements.at(index).Node)) {
    const TXmlTwinNode& previous = FPrevious.Elements.at(index);
    FTextOnly = true;
    Write();
    FTextOnly = false;
    if (QByteArrayView(FText).sliced(start) == QByteArrayView(previous.Text)) {
      FCurrent.appendChild(previous.Node);
      FWritten.append(previous);
      return;
    }
    FText.truncate(start);
  }
  Write();
  if (FRecord)
    FWritten.append({FText.sliced(start), FCurrent.lastChild().toElement()});
}

QByteArray TXmlTwinWriter::Finish() {
  if (FRecord)
    *FRecord = {FDocument.documentElement(), std::move(FWritten)};
  return FText;
}

bool TXmlTwinWriter::InPreviousTree(QDomNode Node) const {
  if (FPrevious.Root.isNull() || FCurrent.isNull())
    return false;
  // Only nodes of the kept tree belong to this document; a node moved already is no longer
  // under its root, so none is placed twice.
  for (Node = Node.parentNode(); !Node.isNull(); Node = Node.parentNode()) {
    if (Node == FPrevious.Root)
      return true;
  }
  return false;
}

void TXmlTwinWriter::CloseStartTag() {
  if (!FStartTagOpen)
    return;
  FText += '>';
  FStartTagOpen = false;
}
