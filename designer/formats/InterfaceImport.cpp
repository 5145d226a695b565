#include "designer/formats/InterfaceImport.h"

#include "model/QelStrFunct.h"
#include "platform/XmlNesting.h"

#include <QXmlStreamReader>
#include <stdexcept>

namespace InterfaceImport {

namespace {

[[noreturn]] void Fail(const QString& Message) {
  throw std::runtime_error(Message.toStdString());
}

TNode StartNode(const QXmlStreamReader& Reader) {
  TNode node;
  node.Name = Reader.qualifiedName().toString();
  const QXmlStreamAttributes attributes = Reader.attributes();
  node.Attributes.reserve(attributes.size());
  for (const QXmlStreamAttribute& attribute : attributes)
    node.Attributes.append({attribute.qualifiedName().toString(), attribute.value().toString()});
  return node;
}

// Reads the whole document, so a fault anywhere in it fails the read before anything is used,
// and keeps the top-level element with two levels below it. Deeper elements are passed over
// without being stored; a file nested past the limit is refused whole.
TNode ReadTopLevel(const QByteArray& Bytes, const QString& FileName, const QString& RootName) {
  RefuseDeepXmlNesting(Bytes, FileName);
  QXmlStreamReader reader(Bytes);
  reader.setNamespaceProcessing(false);
  TNode root;
  bool rootSeen = false;
  int depth = 0;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
      ++depth;
      if (depth == 1) {
        root = StartNode(reader);
        rootSeen = true;
      } else if (depth == 2) {
        root.Children.append(StartNode(reader));
      } else if (depth == 3) {
        root.Children.last().Children.append(StartNode(reader));
      }
    } else if (token == QXmlStreamReader::EndElement) {
      --depth;
    }
  }
  if (reader.hasError() || !rootSeen) {
    const QString problem = rootSeen ? reader.errorString() : QStringLiteral("no root element");
    Fail(QStringLiteral("%1 is not well-formed XML: %2 (line %3, column %4)")
             .arg(FileName, problem)
             .arg(reader.lineNumber())
             .arg(reader.columnNumber()));
  }
  if (root.Name != RootName)
    Fail(QStringLiteral("%1 has no \"%2\" element: it cannot be imported").arg(FileName, RootName));
  return root;
}

} // namespace

QHash<QString, QString> ReadClassMap(const QByteArray& Bytes, const QString& FileName) {
  const TNode clips = ReadTopLevel(Bytes, FileName, QStringLiteral("clips"));
  // Hashed: a catalogue of many thousand clips is read and looked up in linear time.
  QHash<QString, QString> map;
  map.reserve(clips.Children.size());
  for (const TNode& clip : clips.Children) {
    const QString className = RequiredAttribute(clip, QStringLiteral("class"));
    map.insert(className, ExtractFileBaseName(RequiredAttribute(clip, QStringLiteral("file"))));
  }
  return map;
}

QList<TNode> ReadInterface(const QByteArray& Bytes, const QString& FileName) {
  return ReadTopLevel(Bytes, FileName, QStringLiteral("interface")).Children;
}

QString RequiredAttribute(const TNode& Node, const QString& Name) {
  for (const TAttribute& attribute : Node.Attributes) {
    if (attribute.Name == Name)
      return attribute.Value;
  }
  Fail(QStringLiteral("Could not convert variant of type (Null) into type (String)"));
}

QString GeometryText(const TNode& Node, const QString& X, const QString& Y, const QString& Page) {
  QString text =
      QStringLiteral("x=") + X + QStringLiteral("&y=") + Y + QStringLiteral("&page=") + Page;
  for (const TAttribute& attribute : Node.Attributes)
    text += u'&' + attribute.Name + u'=' + attribute.Value;
  return text;
}

} // namespace InterfaceImport
