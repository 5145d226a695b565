#include "designer/formats/ClipsXml.h"
#include "designer/formats/InterfaceImport.h"
#include "model/Hash.h"
#include "model/QelStrFunct.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace {

// Reads Bytes as an interface description and builds every element's geometry text, as the
// import does.
void ReadAsDescription(const QByteArray& Bytes) {
  using namespace InterfaceImport;
  for (const TNode& entities : ReadInterface(Bytes, QStringLiteral("full.xml"))) {
    const QString page = RequiredAttribute(entities, QStringLiteral("page"));
    for (const TNode& node : entities.Children) {
      const QString x = RequiredAttribute(node, QStringLiteral("x"));
      const QString y = RequiredAttribute(node, QStringLiteral("y"));
      TQel_Hash geometry;
      geometry.SetText(GeometryText(node, x, y, page));
    }
  }
}

// Every catalogue the preview writes reads back with each clip's class and base name, whatever
// the clip files are called.
void CheckCatalogueRoundTrip(const QString& Text) {
  QStringList clipFiles;
  for (const QString& line : TextToStringList(Text)) {
    // A clip file name is one path segment and cannot hold characters XML cannot carry.
    QString name = line.section(u'/', -1);
    name.removeIf(
        [](QChar c) { return c.unicode() < 0x20 || c.isSurrogate() || c.unicode() >= 0xFFFE; });
    if (!name.isEmpty())
      clipFiles << "/repository/" + name;
  }
  const QHash<QString, QString> map = InterfaceImport::ReadClassMap(
      ClipsXml::CatalogueText(clipFiles), QStringLiteral("clips.xml"));
  for (const QString& clipFile : clipFiles) {
    if (map.value(ExtractFileBaseName(clipFile)) != ExtractFileBaseName(clipFile))
      std::abort();
  }
}

} // namespace

// Reads untrusted bytes as both files of an import: the clip catalogue and the interface
// description. Faults must end in the reader's error, never in a crash or a hang.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  try {
    InterfaceImport::ReadClassMap(bytes, QStringLiteral("clips.xml"));
  } catch (const std::runtime_error&) {
  }
  try {
    ReadAsDescription(bytes);
  } catch (const std::runtime_error&) {
  }
  CheckCatalogueRoundTrip(QString::fromUtf8(bytes));
  return 0;
}
