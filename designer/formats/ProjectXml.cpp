#include "designer/formats/ProjectXml.h"

#include "designer/formats/StoredElementIndex.h"
#include "designer/formats/XmlTwinWriter.h"
#include "model/FlashElement.h"
#include "platform/Numbers.h"
#include "platform/XmlNesting.h"

#include <QFileDevice>
#include <stdexcept>

namespace ProjectXml {

namespace {

constexpr int FirstStoredId = 101;

[[noreturn]] void ThrowConversionError(const QString& from, const QString& to) {
  throw std::runtime_error(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                               .arg(from, to)
                               .toStdString());
}

void WriteTableNode(TXmlTwinWriter& writer, const QString& tagName, const TQel_Hash& table) {
  if (table.Count() == 0)
    return;
  writer.StartElement(tagName);
  writer.Attribute(QStringLiteral("name"), table.GetText());
  writer.EndElement();
}

void WriteElementNode(TXmlTwinWriter& writer, const TFlashElement& element, int id) {
  writer.StartElement(QStringLiteral("element"));
  writer.Attribute(QStringLiteral("filename"), element.FTypeName);
  writer.Attribute(QStringLiteral("x"), FloatToText(element.FX));
  writer.Attribute(QStringLiteral("y"), FloatToText(element.FY));
  writer.Attribute(QStringLiteral("width"), FloatToText(element.FWidth));
  writer.Attribute(QStringLiteral("height"), FloatToText(element.FHeight));
  writer.Attribute(QStringLiteral("id"), QString::number(id));
  writer.Attribute(QStringLiteral("page"), element.FPage);
  writer.Attribute(QStringLiteral("name"), element.FName);
  WriteTableNode(writer, QStringLiteral("flash_info"), element.FProps);
  if (!element.FOnExecute.isEmpty()) {
    writer.StartElement(QStringLiteral("OnExecute"));
    writer.Characters(element.FOnExecute);
    writer.EndElement();
  }
  WriteTableNode(writer, QStringLiteral("flash_suffix"), element.FSuffix);
  writer.EndElement();
}

std::optional<QString> OptionalAttribute(const QDomElement& node, const QString& name) {
  // One lookup in the element's attribute map: the node is null when the attribute is absent.
  // The lookup is declared non-const, so it goes through a handle of our own.
  const QDomAttr attribute = QDomElement(node).attributeNode(name);
  if (attribute.isNull())
    return std::nullopt;
  return attribute.value();
}

std::optional<double> OptionalNumber(const QDomElement& node, const QString& name) {
  const std::optional<QString> text = OptionalAttribute(node, name);
  if (!text)
    return std::nullopt;
  return ReadNumber(*text);
}

std::optional<QString> ChildNameAttribute(const QDomElement& node, const QString& tagName) {
  return OptionalAttribute(node.firstChildElement(tagName), QStringLiteral("name"));
}

} // namespace

QByteArray WriteProjectDocument(QDomDocument& Document, const QString& ServerIP,
                                const QString& RepositoryDir, const QStringList& Pages,
                                const QList<TFlashElement*>& Elements, TXmlWrittenTree* Previous) {
  TXmlTwinWriter writer(Document, Previous);
  writer.StartElement(QStringLiteral("interface"));

  writer.StartElement(QStringLiteral("repositories"));
  writer.Attribute(QStringLiteral("serverip"), ServerIP);
  writer.Attribute(QStringLiteral("repositorydir"), RepositoryDir);
  writer.EndElement();

  writer.StartElement(QStringLiteral("list"));
  for (qsizetype i = 1; i < Pages.size(); ++i) {
    writer.StartElement(QStringLiteral("page"));
    writer.Attribute(QStringLiteral("name"), Pages.at(i));
    writer.EndElement();
  }
  writer.EndElement();

  writer.StartElement(QStringLiteral("entities"));
  int id = FirstStoredId;
  for (const TFlashElement* element : Elements) {
    writer.WriteReusable([&] { WriteElementNode(writer, *element, id); });
    ++id;
  }
  writer.EndElement();

  writer.EndElement();
  return writer.Finish();
}

void ParseDocument(QDomDocument& Document, const QByteArray& Bytes, const QString& SourceName) {
  RefuseDeepXmlNesting(Bytes, SourceName);
  QString message;
  int line = 0;
  int column = 0;
  if (!Document.setContent(Bytes, &message, &line, &column)) {
    throw std::runtime_error(
        QStringLiteral("The project is not well-formed XML: %1: %2 (line %3, column %4)")
            .arg(SourceName)
            .arg(message)
            .arg(line)
            .arg(column)
            .toStdString());
  }
}

QString StreamName(const QIODevice* Stream) {
  const auto* file = qobject_cast<const QFileDevice*>(Stream);
  return file ? file->fileName() : QStringLiteral("undo snapshot");
}

QString StoredElementLabel(const QDomNode& Node) {
  const QDomElement element = Node.toElement();
  return QStringLiteral("element %1 \"%2\"")
      .arg(element.attribute(QStringLiteral("id")), element.attribute(QStringLiteral("name")));
}

QDomElement RequiredChild(const QDomNode& Parent, const QString& TagName) {
  const QDomElement child = Parent.firstChildElement(TagName);
  if (child.isNull()) {
    throw std::runtime_error(
        QStringLiteral("The project has no \"%1\" element: it cannot be loaded")
            .arg(TagName)
            .toStdString());
  }
  return child;
}

QString RequiredText(const QDomNode& Node, const QString& Attribute) {
  const QDomElement element = Node.toElement();
  if (!element.hasAttribute(Attribute))
    ThrowConversionError(QStringLiteral("Null"), QStringLiteral("String"));
  return element.attribute(Attribute);
}

int RequiredInteger(const QDomNode& Node, const QString& Attribute) {
  const QDomElement element = Node.toElement();
  if (!element.hasAttribute(Attribute))
    ThrowConversionError(QStringLiteral("Null"), QStringLiteral("Integer"));
  bool ok = false;
  const int value = element.attribute(Attribute).trimmed().toInt(&ok, 10);
  if (!ok)
    ThrowConversionError(QStringLiteral("String"), QStringLiteral("Integer"));
  return value;
}

std::optional<double> ReadNumber(const QString& Text) {
  double value = 0;
  if (TextToFloat(Text, value))
    return value;
  const QChar separator = DecimalSeparator();
  const QChar other = separator == QLatin1Char('.') ? QLatin1Char(',') : QLatin1Char('.');
  if (!Text.contains(separator) && TextToFloat(QString(Text).replace(other, separator), value))
    return value;
  return std::nullopt;
}

QDomElement FindEntitiesNode(const QDomDocument& Document) {
  return Document.firstChildElement(QStringLiteral("interface"))
      .firstChildElement(QStringLiteral("entities"));
}

QDomElement FindStoredElementNode(const QDomElement& Entities, int Level) {
  TStoredElementIndex index;
  return index.Find(Entities, Level);
}

TStoredAttributes ReadStoredAttributes(const QDomElement& Node) {
  TStoredAttributes stored;
  stored.X = OptionalNumber(Node, QStringLiteral("x"));
  stored.Y = OptionalNumber(Node, QStringLiteral("y"));
  stored.Width = OptionalNumber(Node, QStringLiteral("width"));
  stored.Height = OptionalNumber(Node, QStringLiteral("height"));
  stored.Page = OptionalAttribute(Node, QStringLiteral("page"));
  stored.Name = OptionalAttribute(Node, QStringLiteral("name"));
  stored.FlashSuffix = ChildNameAttribute(Node, QStringLiteral("flash_suffix"));
  const QDomElement onExecute = Node.firstChildElement(QStringLiteral("OnExecute"));
  if (!onExecute.isNull())
    stored.OnExecute = onExecute.text();
  stored.FlashInfo = ChildNameAttribute(Node, QStringLiteral("flash_info"));
  return stored;
}

void AssignStoredAttributes(TFlashElement& Element, const TStoredAttributes& Stored) {
  if (Stored.X)
    Element.SetX(*Stored.X);
  if (Stored.Y)
    Element.SetY(*Stored.Y);
  if (Stored.Width)
    Element.SetWidth(*Stored.Width);
  if (Stored.Height)
    Element.SetHeight(*Stored.Height);
  if (Stored.Page)
    Element.FPage = *Stored.Page;
  if (Stored.Name)
    Element.FName = *Stored.Name;
  if (Stored.FlashSuffix)
    Element.FSuffix.SetText(*Stored.FlashSuffix);
  if (Stored.OnExecute)
    Element.FOnExecute = *Stored.OnExecute;
  if (Stored.FlashInfo)
    Element.FProps.AddText(*Stored.FlashInfo);
}

} // namespace ProjectXml
