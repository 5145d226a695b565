// The interface description of the main window: Create XML builds it in XMLDocument, Save XML
// writes it to a file the user chooses.
#include "designer/formats/InterfaceXml.h"
#include "designer/formats/WholeFile.h"
#include "designer/main.h"
#include "platform/Dialogs.h"
#include "platform/FtpClient.h"

#include <QAction>
#include <QListWidget>
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
  FStoredElements.Clear();
  // The project record's nodes go while the document they were written into still lives.
  FWrittenProject = {};
  FInterfaceXmlText = InterfaceXml::WriteInterfaceDocument(XMLDocument, PageNames(),
                                                           FElements.FItems, &FWrittenInterface);
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
  QString error;
  if (!WriteWholeFile(FileName, FInterfaceXmlText, error))
    throw std::runtime_error(error.toStdString());
}
