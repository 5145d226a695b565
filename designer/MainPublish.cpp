// Publishing: Save XML to Ftp saves the project and uploads its interface description to the
// device at the project's server address.
#include "designer/main.h"
#include "platform/FtpClient.h"

#include <QAction>
#include <QScopeGuard>

namespace {

const QString LocalCopyName = QStringLiteral("temp.xml");
const QString DeviceUser = QStringLiteral("tessaryn");
const QString DevicePassword = QStringLiteral("qorvandi");
const QString DeviceDirectory = QStringLiteral("www");
const QString DeviceFileName = QStringLiteral("interface.xml");

} // namespace

void TFormVistaloom::SaveToFtpExecute(QObject*) {
  SaveExecute();
  CreateXMLExecute();
  const QString localCopy = FExeDir + LocalCopyName;
  SaveInterfaceXml(localCopy);

  // The command cannot start again while its own transfer lets events run.
  SaveToFtp->setEnabled(false);
  const auto enable = qScopeGuard([this] { SaveToFtp->setEnabled(true); });
  // A connection still open from elsewhere is closed, so the upload starts from a clean login.
  IdFTP1->Quit();
  IdFTP1->SetUsername(DeviceUser);
  IdFTP1->SetPassword(DevicePassword);
  IdFTP1->SetHost(FServerIP);
  IdFTP1->Connect();
  try {
    IdFTP1->ChangeDir(DeviceDirectory);
    IdFTP1->Put(localCopy, DeviceFileName);
  } catch (...) {
    // Closed after a failed step too, so the next run logs in afresh and uploads again.
    IdFTP1->Quit();
    throw;
  }
  IdFTP1->Quit();
}
