// CreatePreview: fills a folder with everything a preview of the design needs: the main movie,
// the interface description, a copy of every clip used and the clip catalogue.

#include "designer/formats/ClipsXml.h"
#include "designer/formats/WholeFile.h"
#include "designer/main.h"
#include "model/FlashElement.h"
#include "platform/Dialogs.h"
#include "platform/FileCopy.h"

#include <QAction>
#include <QDir>
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

// Folder with its links resolved where it exists, else with "." and ".." taken out.
QString ResolvedFolder(const QString& Folder) {
  const QString canonical = QFileInfo(Folder).canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(QDir(Folder).absolutePath()) : canonical;
}

// True when Folder is Root or lies below it.
bool IsFolderWithin(const QString& Folder, const QString& Root) {
  const QString folder = ResolvedFolder(Folder);
  QString root = ResolvedFolder(Root);
  if (folder == root)
    return true;
  if (!root.endsWith(u'/'))
    root += u'/';
  return folder.startsWith(root);
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
  // A named project keeps its preview in its own folder or below it.
  if (!root.isEmpty() && !IsFolderWithin(folder, root)) {
    FDialogs->Message(this, QStringLiteral("Cannot create the preview in \"%1\": it lies outside "
                                           "the project folder \"%2\". Choose that folder or "
                                           "one inside it.")
                                .arg(QDir::cleanPath(folder), root));
    return;
  }
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
