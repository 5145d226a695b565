// Project preferences, the about box, and the property panel's width kept in Vistaloom.ini.

#include "designer/AboutUnit.h"
#include "designer/PrefInfo.h"
#include "designer/main.h"

#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QSplitter>

namespace {

const QString StorageSection = "TFormVistaloom";
const QString VersionKey = "FormVersion";
const QString PanelWidthKey = "PanelPropery_Width";
constexpr int FormVersion = 0;

QString StorageFile() {
  return QDir::current().filePath("Vistaloom.ini");
}

} // namespace

void TFormVistaloom::ProjectPrefExecute(QObject*) {
  FormPrefInfo->DirectoryEdit1->setText(FRepositoryDir);
  FormPrefInfo->EditIP->setText(FServerIP);
  if (FormPrefInfo->exec() != QDialog::Accepted)
    return;
  FRepositoryDir = FormPrefInfo->DirectoryEdit1->text();
  FServerIP = FormPrefInfo->EditIP->text();
  LoadRepository(FRepositoryDir);
}

void TFormVistaloom::AboutItemClick(QObject*) {
  About->Execute("Vistaloom", "1.3.10");
}

void TFormVistaloom::RestoreFormStorage() {
  FFormStorageRestored = true;
  QSettings Storage(StorageFile(), QSettings::IniFormat);
  Storage.beginGroup(StorageSection);
  if (Storage.value(VersionKey, FormVersion).toInt() < FormVersion)
    return;
  bool IsNumber = false;
  const int Width = Storage.value(PanelWidthKey).toInt(&IsNumber);
  if (!IsNumber)
    return;
  const int Clamped = qBound(PanelPropery->minimumWidth(), Width, PanelPropery->maximumWidth());
  QList<int> Sizes = Splitter1->sizes();
  const int Total = Sizes.value(0) + Sizes.value(1);
  Splitter1->setSizes({Clamped, qMax(0, Total - Clamped)});
  PanelPropery->resize(Clamped, PanelPropery->height());
}

void TFormVistaloom::SaveFormStorage() {
  QSettings Storage(StorageFile(), QSettings::IniFormat);
  Storage.beginGroup(StorageSection);
  Storage.setValue(VersionKey, FormVersion);
  Storage.setValue(PanelWidthKey, PanelPropery->width());
}
