#include "designer/formats/DriverCatalogue.h"

#include "platform/XmlNesting.h"

#include <stdexcept>

namespace DriverCatalogue {

namespace {

const QString NameAttribute = QStringLiteral("name");

QDomElement Root(const QDomDocument& Document) {
  return Document.firstChildElement(QStringLiteral("drivers"));
}

QDomElement Driver(const QDomDocument& Document, const QString& Name) {
  return FindChildByName(Name, Root(Document));
}

QStringList ChildNames(const QDomElement& Parent) {
  QStringList names;
  for (QDomElement child = Parent.firstChildElement(); !child.isNull();
       child = child.nextSiblingElement()) {
    const QString name = child.attribute(NameAttribute);
    if (!name.isEmpty())
      names.append(name);
  }
  return names;
}

QStringList ChildTexts(const QDomElement& Parent) {
  QStringList texts;
  for (QDomElement child = Parent.firstChildElement(); !child.isNull();
       child = child.nextSiblingElement())
    texts.append(child.text());
  return texts;
}

} // namespace

void ParseDocument(QDomDocument& Document, const QByteArray& Bytes, const QString& FileName) {
  RefuseDeepXmlNesting(Bytes, FileName);
  QDomDocument parsed;
  QString message;
  int line = 0;
  int column = 0;
  if (!parsed.setContent(Bytes, &message, &line, &column)) {
    throw std::runtime_error(
        QStringLiteral("The driver catalogue is not well-formed XML: %1: %2 (line %3, column %4)")
            .arg(FileName)
            .arg(message)
            .arg(line)
            .arg(column)
            .toStdString());
  }
  Document = parsed;
}

QDomElement FindChildByName(const QString& Name, const QDomNode& Node) {
  QDomElement found;
  if (Name.isEmpty())
    return found;
  for (QDomElement child = Node.firstChildElement(); !child.isNull();
       child = child.nextSiblingElement())
    if (child.attribute(NameAttribute) == Name)
      found = child;
  return found;
}

QStringList DriverNames(const QDomDocument& Document) {
  return ChildNames(Root(Document));
}

QStringList CommandNames(const QDomDocument& Document, const QString& Driver) {
  return ChildNames(
      DriverCatalogue::Driver(Document, Driver).firstChildElement(QStringLiteral("commands")));
}

QList<TParameterRow> ParameterRows(const QDomDocument& Document, const QString& Driver,
                                   const QString& Command) {
  const QDomElement driver = DriverCatalogue::Driver(Document, Driver);
  const QDomElement command =
      FindChildByName(Command, driver.firstChildElement(QStringLiteral("commands")));
  const QDomElement types = driver.firstChildElement(QStringLiteral("types"));
  QList<TParameterRow> rows;
  for (QDomElement parameter = command.firstChildElement(); !parameter.isNull();
       parameter = parameter.nextSiblingElement()) {
    const QDomElement type = FindChildByName(parameter.attribute(QStringLiteral("type")), types);
    const QString dataType = type.attribute(QStringLiteral("datatype"));
    const QString caption = parameter.attribute(QStringLiteral("caption"));
    if (dataType == u"string")
      rows.append({caption, false, {}});
    else if (dataType == u"enum")
      rows.append({caption, true, ChildTexts(type)});
  }
  return rows;
}

} // namespace DriverCatalogue
