// CreatePreview: fills a folder with everything a preview of the design needs: the main movie,
// the interface description, a copy of every clip used and the clip catalogue.

#include "designer/formats/ClipsXml.h"
#include "designer/formats/WholeFile.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "platform/Dialogs.h"
#include "platform/FileCopy.h"

#include <QAction>
#include <QFileInfo>
#include <stdexcept>

namespace {

// Copies Source to Destination unless both name the same file: copying a file onto itself
// would empty it (a preview made into the folder its clips come from).
void CopyIntoPreview(const QString& Source, const QString& Destination) {
  const QString existing = QFileInfo(Destination).canonicalFilePath();
  if (!existing.isEmpty() && existing == QFileInfo(Source).canonicalFilePath())
    return;
  CopyFile(Source, Destination);
}

} // namespace

void TFormVistaloom::ConnectPreviewActions() {
  ConnectAction(CreatePreview, &TFormVistaloom::CreatePreviewExecute);
  ConnectAction(LoadFromXML, &TFormVistaloom::LoadFromXMLExecute);
}

void TFormVistaloom::CreatePreviewExecute(QObject*) {
  const QString root = FProjectFileName.left(FProjectFileName.lastIndexOf(u'/') + 1);
  QString folder;
  if (!FDialogs->BrowseFolder(this, QStringLiteral("Select preview directory"), root, folder))
    return;
  const QString target = folder + u'/';

  CopyIntoPreview(FExeDir + QStringLiteral("Background/main.swf"),
                  target + QStringLiteral("main.swf"));
  CreateXMLExecute();
  SaveInterfaceXml(target + QStringLiteral("interface.xml"));

  QStringList clipFiles;
  for (const TFlashElement* element : FElements.FItems) {
    const QString clipFile = element->GetMovieFile();
    CopyIntoPreview(clipFile, target + QStringLiteral("objects/") + QFileInfo(clipFile).fileName());
    clipFiles << clipFile;
  }
  const QString catalogueFile = target + QStringLiteral("clips.xml");
  QString error;
  if (!WriteWholeFile(catalogueFile, ClipsXml::CatalogueText(clipFiles), error))
    throw std::runtime_error(error.toStdString());
}
