// Load from XML: rebuilds the pages and elements of an interface description in the current
// directory, taking every element's clip from the repository through the clip catalogue.

#include "designer/formats/InterfaceImport.h"
#include "designer/formats/WholeFile.h"
#include "designer/main.h"
#include "model/FlashElement.h"

#include <QListWidget>
#include <stdexcept>

namespace {

const QString ClipsFileName = QStringLiteral("./clips.xml");
const QString DescriptionFileName = QStringLiteral("./full.xml");
const QString AllPage = QStringLiteral("all");

QByteArray ReadImportFile(const QString& FileName) {
  QByteArray bytes;
  QString error;
  if (!ReadWholeFile(FileName, bytes, error))
    throw std::runtime_error(error.toStdString());
  return bytes;
}

// Sets E's position and page from Text. An element whose geometry cannot be read is taken out
// of the design again, so no element without a clip on the stage stays behind.
void SetImportedGeometry(TObjectList& Elements, TFlashElement* E, const QString& Text) {
  try {
    E->SetGeometryText(Text);
  } catch (...) {
    Elements.FItems.removeOne(E);
    throw;
  }
}

} // namespace

void TFormVistaloom::LoadFromXMLExecute(QObject*) {
  using namespace InterfaceImport;
  ResetPageList();
  const QHash<QString, QString> classMap =
      ReadClassMap(ReadImportFile(ClipsFileName), ClipsFileName);
  const QList<TNode> pages =
      ReadInterface(ReadImportFile(DescriptionFileName), DescriptionFileName);

  for (const TNode& entities : pages) {
    const QString page = RequiredAttribute(entities, QStringLiteral("page"));
    if (page != AllPage)
      LBPages->addItem(page);
    for (const TNode& node : entities.Children) {
      setWindowTitle(QString::number(node.Attributes.size()));
      const QString x = RequiredAttribute(node, QStringLiteral("x"));
      const QString y = RequiredAttribute(node, QStringLiteral("y"));
      TakeNextLevel();
      TFlashElement* element = CreateElementFromRepository(FLastLevel, classMap.value(node.Name));
      if (!element)
        continue;
      FImportedElements.insert(element);
      SetImportedGeometry(FElements, element, GeometryText(node, x, y, page));
      element->AttachToFlash(ShockwaveFlash);
    }
  }
}
