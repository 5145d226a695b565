// The interface description of the main window: Create XML builds it in XMLDocument, Save XML
// writes it to a file the user chooses.
#include "designer/InterfaceXml.h"
#include "designer/main.h"
#include "platform/Dialogs.h"
#include "platform/FtpClient.h"

#include <QAction>
#include <QListWidget>
#include <QSaveFile>
#include <stdexcept>

namespace {

const QString InterfaceFilter = QStringLiteral("xml|*.xml");
const QString InterfaceExtension = QStringLiteral("xml");

} // namespace

void TFormVistaloom::ConnectExportActions() {
  IdFTP1 = new TFtpClient(this);
  IdFTP1->setObjectName(QStringLiteral("IdFTP1"));
  ConnectAction(CreateXML, &TFormVistaloom::CreateXMLExecute);
  ConnectAction(SaveXML, &TFormVistaloom::SaveXMLExecute);
  ConnectAction(SaveToFtp, &TFormVistaloom::SaveToFtpExecute);
}

void TFormVistaloom::CreateXMLExecute(QObject*) {
  // A build that fails midway leaves no text of an earlier build to be saved with it.
  FInterfaceXmlText.clear();
  FInterfaceXmlText =
      InterfaceXml::WriteInterfaceDocument(XMLDocument, PageNames(), FElements.FItems);
}

void TFormVistaloom::SaveXMLExecute(QObject*) {
  QString fileName;
  if (!FDialogs->SaveFile(this, InterfaceFilter, InterfaceExtension, fileName))
    return;
  CreateXMLExecute();
  SaveInterfaceXml(fileName);
}

void TFormVistaloom::FindChildByAttribute(const QDomNode& Node, const QString& AttrName,
                                          const QString& Value, QDomNode& Found) {
  Found = InterfaceXml::FindChildByAttribute(Node, AttrName, Value);
}

void TFormVistaloom::SaveInterfaceXml(const QString& FileName) {
  // Written through a temporary file, so a failed write keeps the previous file whole; where
  // the folder allows no new file, an existing file is written in place.
  QSaveFile file(FileName);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(FInterfaceXmlText) != FInterfaceXmlText.size() || !file.commit()) {
    throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2")
                                 .arg(FileName, file.errorString())
                                 .toStdString());
  }
}
