#include "designer/formats/InterfaceXml.h"

#include "designer/formats/XmlTwinWriter.h"
#include "model/FlashElement.h"
#include "platform/Numbers.h"

#include <QHash>
#include <stdexcept>
#include <utility>

namespace InterfaceXml {

namespace {

using TAttributes = QList<std::pair<QString, QString>>;

bool IsNameStartCharacter(char32_t c) {
  return c == U':' || c == U'_' || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
         (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
         (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
         (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
         (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameCharacter(char32_t c) {
  return IsNameStartCharacter(c) || c == U'-' || c == U'.' || (c >= U'0' && c <= U'9') ||
         c == 0xB7 || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

void RequireXmlName(const QString& name) {
  if (!IsXmlName(name)) {
    throw std::runtime_error(
        QStringLiteral("\"%1\" is not a valid XML name").arg(name).toStdString());
  }
}

// A later attribute of the same name takes over the value and keeps the earlier one's place.
void SetAttribute(TAttributes& attributes, const QString& name, const QString& value) {
  for (auto& attribute : attributes) {
    if (attribute.first == name) {
      attribute.second = value;
      return;
    }
  }
  attributes.append({name, value});
}

TAttributes ElementAttributes(const TFlashElement& element) {
  TAttributes attributes{
      {QStringLiteral("level"), QString::number(element.GetLevel())},
      {QStringLiteral("x"), FloatToWholeText(element.FX)},
      {QStringLiteral("y"), FloatToWholeText(element.FY)},
      {QStringLiteral("width"), FloatToWholeText(element.FWidth)},
      {QStringLiteral("height"), FloatToWholeText(element.FHeight)},
      {QStringLiteral("xscale"), FloatToWholeText(element.XScalePercent())},
      {QStringLiteral("yscale"), FloatToWholeText(element.YScalePercent())},
  };
  if (!element.FName.isEmpty())
    SetAttribute(attributes, QStringLiteral("id"), element.FName);
  for (int i = 0; i < element.FProps.Count(); ++i) {
    const ListItems& property = element.FProps.Items(i);
    if (!property.Key.isEmpty())
      SetAttribute(attributes, property.Key, property.Value);
  }
  return attributes;
}

void WriteElementNode(TXmlTwinWriter& writer, const TFlashElement& element) {
  const TAttributes attributes = ElementAttributes(element);
  // Every name is checked before the node starts, so a bad one leaves no half-written node.
  RequireXmlName(element.FTypeName);
  for (const auto& [name, value] : attributes)
    RequireXmlName(name);

  writer.StartElement(element.FTypeName);
  for (const auto& [name, value] : attributes)
    writer.Attribute(name, value);
  if (element.FSuffix.Count() > 0) {
    writer.StartElement(QStringLiteral("flash_suffix"));
    for (int i = 0; i < element.FSuffix.Count(); ++i) {
      const ListItems& suffix = element.FSuffix.Items(i);
      writer.StartElement(QStringLiteral("suf"));
      writer.Attribute(QStringLiteral("name"), suffix.Key);
      writer.Attribute(QStringLiteral("value"), suffix.Value);
      writer.EndElement();
    }
    writer.EndElement();
  }
  writer.EndElement();
}

// The elements under each entry of Pages: a page listed twice collects its elements under
// its last entry, as a lookup of the last matching node would place them.
QList<QList<const TFlashElement*>> ElementsByPage(const QStringList& pages,
                                                  const QList<TFlashElement*>& elements) {
  QHash<QString, qsizetype> lastEntry;
  for (qsizetype i = 0; i < pages.size(); ++i)
    lastEntry.insert(pages.at(i), i);
  QList<QList<const TFlashElement*>> byPage(pages.size());
  for (const TFlashElement* element : elements) {
    const auto entry = lastEntry.constFind(element->FPage);
    if (entry != lastEntry.constEnd())
      byPage[*entry].append(element);
  }
  return byPage;
}

} // namespace

QByteArray WriteInterfaceDocument(QDomDocument& Document, const QStringList& Pages,
                                  const QList<TFlashElement*>& Elements,
                                  TXmlWrittenTree* Previous) {
  const QList<QList<const TFlashElement*>> byPage = ElementsByPage(Pages, Elements);
  TXmlTwinWriter writer(Document, Previous);
  writer.StartElement(QStringLiteral("interface"));
  for (qsizetype i = 0; i < Pages.size(); ++i) {
    writer.StartElement(QStringLiteral("entities"));
    writer.Attribute(QStringLiteral("page"), Pages.at(i));
    for (const TFlashElement* element : byPage.at(i))
      writer.WriteReusable([&] { WriteElementNode(writer, *element); });
    writer.EndElement();
  }
  writer.EndElement();
  return writer.Finish();
}

QDomNode FindChildByAttribute(const QDomNode& Node, const QString& AttrName, const QString& Value) {
  QDomNode found;
  for (QDomNode child = Node.firstChild(); !child.isNull(); child = child.nextSibling()) {
    const QDomElement element = child.toElement();
    if (!element.isNull() && element.hasAttribute(AttrName) && element.attribute(AttrName) == Value)
      found = child;
  }
  return found;
}

bool IsXmlName(const QString& Name) {
  if (Name.isEmpty())
    return false;
  bool first = true;
  for (qsizetype i = 0; i < Name.size(); ++i) {
    char32_t c = Name.at(i).unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < Name.size() && Name.at(i + 1).isLowSurrogate()) {
      c = QChar::surrogateToUcs4(Name.at(i), Name.at(i + 1));
      ++i;
    } else if (QChar::isSurrogate(c)) {
      return false;
    }
    if (!(first ? IsNameStartCharacter(c) : IsNameCharacter(c)))
      return false;
    first = false;
  }
  return true;
}

} // namespace InterfaceXml
